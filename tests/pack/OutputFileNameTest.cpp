// The output file name proposed after a Hamper's Name.

#include <gtest/gtest.h>

#include <string>

#include "pack/OutputFileName.h"

namespace {

TEST(OutputFileNameTest, NamesBecomeFileNamesInOneFolder) {
  const struct {
    std::string name;
    std::string file;
  } cases[] = {
      {"Drums", "Drums.hmp"},
      {"Drums & Bass 2", "Drums & Bass 2.hmp"},
      {"AC/DC", "AC_DC.hmp"},
      {"../../etc/x", ".._.._etc_x.hmp"},
      {".", "_.hmp"},
      {"..", "_.hmp"},
      {std::string("a\0b", 3), "a_b.hmp"},
      {"Two\r\nLines\t\x7F", "Two__Lines__.hmp"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HamperFileName(c.name), c.file);
  }
}

TEST(OutputFileNameTest, LongNamesAreCutToOneFileNameAtACharacterBoundary) {
  EXPECT_EQ(HamperFileName(std::string(300, 'x')), std::string(251, 'x') + ".hmp");
  // "é" is two bytes; 250 of them would be cut inside the 126th.
  std::string accented;
  for (int i = 0; i < 200; ++i) accented += "\xC3\xA9";
  const std::string file = HamperFileName(accented);
  EXPECT_EQ(file.size(), 250u + 4u);
  EXPECT_EQ(file.substr(0, 250), accented.substr(0, 250));
}

}  // namespace
