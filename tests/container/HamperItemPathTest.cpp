#include "container/HamperItemPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(HamperItemPath, SplitsAtColonsAndRefusesNamesThatLeaveTheFolder) {
  struct Case {
    std::string path;
    std::vector<std::string> components;
    bool refused;
  };
  const Case cases[] = {
      {"Kick.wav", {"Kick.wav"}, false},
      {"Kits:Drums:Kick.wav", {"Kits", "Drums", "Kick.wav"}, false},
      {"..a:b..:...", {"..a", "b..", "..."}, false},
      {"a\\b:c d", {"a\\b", "c d"}, false},
      {"", {""}, true},
      {":Kick.wav", {"", "Kick.wav"}, true},
      {"Kits:", {"Kits", ""}, true},
      {"Kits::Kick.wav", {"Kits", "", "Kick.wav"}, true},
      {"..", {".."}, true},
      {"Kits:..:..:etc:passwd", {"Kits", "..", "..", "etc", "passwd"}, true},
      {".:Kick.wav", {".", "Kick.wav"}, true},
      {"Kits:../x", {"Kits", "../x"}, true},
      {"/etc/passwd", {"/etc/passwd"}, true},
      {std::string("a\0b", 3), {std::string("a\0b", 3)}, true},
  };
  for (const Case& c : cases) {
    const CHamperItemPath split = SplitHamperItemPath(c.path);
    EXPECT_EQ(split.components, c.components) << c.path;
    EXPECT_EQ(!split.problem.empty(), c.refused) << c.path << ": " << split.problem;
  }
  const CHamperItemPath kick = SplitHamperItemPath("Kits:Drums:Kick.wav");
  EXPECT_EQ(std::vector<std::string>(kick.Folders().begin(), kick.Folders().end()), (std::vector<std::string>{"Kits", "Drums"}));
  EXPECT_EQ(kick.FileName(), "Kick.wav");
  EXPECT_EQ(kick.Relative(), "Kits/Drums/Kick.wav");
}
