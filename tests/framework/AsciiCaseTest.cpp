#include "framework/media/AsciiCase.h"

#include <gtest/gtest.h>

#include <string>

using namespace NSFerryman;

TEST(AsciiCase, FoldsOnlyTheLettersAToZ) {
  // Bytes of other encodings (here Latin-1 and UTF-8 letters) and the neighbours of the letter
  // ranges are left alone.
  const std::string mixed = "aZ@[`{ \xE9\xC9\xC3\xA9.Wav";
  EXPECT_EQ(AsciiUpperCopy(mixed), "AZ@[`{ \xE9\xC9\xC3\xA9.WAV");
  for (char c : mixed) EXPECT_EQ(AsciiLower(AsciiUpper(c)), AsciiLower(c));
  EXPECT_EQ(AsciiLower('Q'), 'q');
  EXPECT_EQ(AsciiUpper('q'), 'Q');

  EXPECT_TRUE(AsciiEqualsIgnoringCase("Splash.JPG", "SPLASH.jpg"));
  EXPECT_TRUE(AsciiEqualsIgnoringCase("", ""));
  EXPECT_FALSE(AsciiEqualsIgnoringCase("caf\xE9", "CAF\xC9"));  // é and É differ outside ASCII
  EXPECT_FALSE(AsciiEqualsIgnoringCase("a@", "a`"));
  EXPECT_FALSE(AsciiEqualsIgnoringCase("wav", "wave"));
}
