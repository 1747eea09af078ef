// The description files written from a Hamper's texts read back, through the folder reader, as
// the same texts: INFO.TXT where its form holds them, a file of their own where not.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "pack/DescriptionFileWriter.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// What the folder reader makes of the files, written into a folder of their own.
CHamperDescription ReadBack(const std::vector<CDescriptionFile>& files) {
  test::TempDir dir;
  for (const CDescriptionFile& file : files) test::WriteFileText(dir / file.name, file.text);
  CFileEntryList top = ListTopLevel(CItemReference::ForPath(dir.Path().string()));
  return ReadDescriptionFiles(top).description;
}

TEST(DescriptionFileWriter, TheFolderReaderReadsTheSameTextsBack) {
  struct CCase {
    const char* what;
    CHamperDescription description;
    std::set<std::string> files;
  };
  const std::vector<CCase> cases = {
      {"a name alone", {"Kit", "", "", ""}, {"INFO.TXT"}},
      {"all four on one line each", {"Kit", "Drums, mostly", "https://example.com/kit", "(c) 2025"}, {"INFO.TXT"}},
      {"spaces, tabs and = kept", {"  padded\t ", "a = b", "", " "}, {"INFO.TXT"}},
      {"bytes of any encoding", {"\xff\xfe Kit", "Caf\xc3\xa9", "", ""}, {"INFO.TXT"}},
      {"lines of comments", {"Kit", "First line\nsecond line", "", ""}, {"INFO.TXT", "COMMENTS.TXT"}},
      {"a double quote", {"Kit", "", "", "\"Kit\" (c) 2025"}, {"INFO.TXT", "COPYRIGHT.TXT"}},
      {"carriage returns alone", {"One\rTwo", "", "", ""}, {"NAME.TXT"}},
      {"carriage return and line feed", {"Kit", "", "a\r\nb", ""}, {"INFO.TXT", "URL.TXT"}},
      {"line breaks in front", {"Kit", "\n\nlow", "", ""}, {"INFO.TXT", "COMMENTS.TXT"}},
      {"every text in a file of its own", {"\"N\"", "C\nC", "U\rU", "\"C\""},
       {"NAME.TXT", "COMMENTS.TXT", "URL.TXT", "COPYRIGHT.TXT"}},
      {"nothing at all", {"", "", "", ""}, {}},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.what);
    const CDescriptionFileSet set = DescriptionFilesFor(c.description);
    EXPECT_TRUE(set.problems.empty());
    std::set<std::string> names;
    for (const CDescriptionFile& file : set.files) names.insert(file.name);
    EXPECT_EQ(names, c.files);
    EXPECT_EQ(ReadBack(set.files), c.description);
  }
}

TEST(DescriptionFileWriter, SaysWhatNoFileCanGiveBack) {
  const CHamperDescription description("Kit", "Ends in a break\r\n", "", std::string(kMaxDescriptionTextSize, 'c'));
  const CDescriptionFileSet set = DescriptionFilesFor(description);
  ASSERT_EQ(set.problems.size(), 2u);
  EXPECT_EQ(set.problems[0], "the Comments text ends in a line break, which no description file can give back; it is "
                             "written without the line breaks at its end");
  EXPECT_EQ(set.problems[1], "the Copyright text holds 1048576 bytes; a pack reads a description file of at most 1048576");
  // The rest is written all the same.
  ASSERT_EQ(set.files.size(), 3u);
  EXPECT_EQ(set.files[1].name, "COMMENTS.TXT");
  EXPECT_EQ(set.files[1].text, "Ends in a break\n");
}

}  // namespace
