// The shell patterns of `extract --only` against item Paths: wildcards, sets and escapes by
// characters, letter case folded the Unicode way, and folders taking what lies below them.

#include <gtest/gtest.h>

#include <vector>

#include "browse/PathPattern.h"

namespace {

TEST(PathPattern, MatchesPathsAsAFileManagersSearchDoes) {
  struct CCase {
    const char* path;
    const char* pattern;
    bool matches;
  };
  for (const CCase& c : std::vector<CCase>{
           {"Drums:Kick.wav", "Drums:*", true},
           {"Drums:Sub:Kick.wav", "drums:*", true},
           {"Drums:Kick.wav", "*.WAV", true},
           {"Drums:Kick.wav", "Drums:K?ck.wav", true},
           {"Drums:Kick.wav", "Drums:[KS]*", true},
           {"Drums:Kick.wav", "Drums:[!KS]*", false},
           {"Drums:Kick.wav", "Drums:[^a-z]ick.wav", false},
           {"Drums:Kick.wav", "Drums:[a-z]ick.wav", true},  // K folds to k
           {"Kicks:Deep.wav", "Drums:*", false},
           {"Drums", "Drums:*", false},
           {"a*b", "a\\*b", true},
           {"axb", "a\\*b", false},
           {"a[b", "a[b", true},  // a "[" that opens no set is itself
           {"a]b", "a[]]b", true},
           {"x\\", "x\\", true},
           {"Kick.wav", "**k*.wav", true},
           {"", "*", true},
           // Folders: the pattern, less one ":" at its end, names a folder on the path.
           {"Drums:Sub:Kick.wav", "Drums", true},
           {"Drums:Sub:Kick.wav", "drums:SUB:", true},
           {"Drums:Sub:Kick.wav", "Dr?ms", true},
           {"Drums:Sub:Kick.wav", "Sub", false},
           {"Drums Old:Kick.wav", "Drums", false},
           // Characters of UTF-8, folded and composed.
           {"Caf\xc3\xa9.wav", "Caf?.wav", true},
           {"Caf\xc3\xa9.wav", "Caf??.wav", false},
           {"Cafe\xcc\x81.wav", "Caf?.wav", true},
           {"Caf\xc3\xa9.wav", "CAF\xc3\x89.WAV", true},
           {"\xce\xa3\xce\xbf\xcf\x86\xce\xaf\xce\xb1.wav", "\xcf\x83\xce\xbf\xcf\x86\xce\xaf\xce\xb1.WAV", true},
           {"Stra\xc3\x9f" "e.wav", "strasse.wav", true},
           {"Caf\xc3\xa9.wav", "Caf[\xc3\xa0-\xc3\xaf].wav", true},
           // A byte outside UTF-8 is one character, and only itself.
           {"\xff\xfe.wav", "??.wav", true},
           {"\xff\xfe.wav", "\xff*", true},
           {"\xff\xfe.wav", "\xfe*", false},
       }) {
    EXPECT_EQ(CPathPattern(c.pattern).Matches(c.path), c.matches) << c.path << " " << c.pattern;
  }
}

}  // namespace
