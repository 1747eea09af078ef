// An index that claims much and holds little: 300,000 empty records of 14 bytes (a sparse file of
// 4 MB), every one after the first a twin of it. The readers hold it as stored and word what
// they print only: each runs in a small address space, and the warnings are the first few and a
// count of the rest; verify lists the records with a problem the same way.

#include <gtest/gtest.h>

#include <algorithm>

#include "cli/PackedContent.h"

using namespace packedtest;

namespace {

constexpr std::uint32_t kRecords = 300000;

TEST(HostileIndex, ReadersCostWhatTheyPrint) {
  test::TempDir dir;
  WriteTree(dir / "Hostile.hmp", hampertest::FakeTree(), "Hostile");
  Bytes bytes = test::ReadFileBytes(dir / "Hostile.hmp");
  // The description record: four strings ("Hostile" and three empty ones), then the numbers.
  const std::size_t numbers = 264 + 4 + 7 + 3 * 4;
  const auto indexOffset = static_cast<std::uint32_t>(bytes.size());
  const std::uint32_t size = indexOffset + kRecords * 14;
  PutU32BE(bytes, numbers, kRecords);
  PutU32BE(bytes, numbers + 4, indexOffset);
  PutU32BE(bytes, numbers + 8, size);
  PutU32BE(bytes, 4, size);
  test::WriteFileBytes(dir / "Hostile.hmp", bytes);
  fs::resize_file(dir / "Hostile.hmp", size);

  struct Case {
    std::string args;
    int code;
    std::string out;   // a part of standard output
    std::size_t lines;  // of standard output
    std::string last;   // line on standard error
  };
  const std::string more = "hamper: warning: Hostile.hmp: and " + std::to_string(kRecords - 1 - 20) + " more";
  const std::string sum = "hamper: warning: Hostile.hmp: 299999 of the 300000 items lie outside the file, over "
                          "another item or under another item's path";
  const Case cases[] = {
      {"info", 1, "300000 items (0 hidden) of 0 bytes", 11, sum},
      {"info --json", 1, "\"items\": 300000,", 20, sum},
      {"list", 0, "0         Unknown item type  0       0     no      \n", kRecords + 9, more},
      {"list --long", 0, "0         Unknown item type  0       0     no                                              \n",
       kRecords + 9, more},
      {"list --json", 0, "{\"path\": \"\", \"itemType\": 0,", kRecords + 11, more},
      {"thumbnail Hostile.hmp out.png", 1, "", 0, "hamper: Hostile.hmp: the Hamper has no splash picture"},
      {"verify", 1, "", 0, "hamper: Hostile.hmp: and " + std::to_string(kRecords - 1 - 20) + " more"},
      {"verify --json", 1, "\"failuresNotListed\": " + std::to_string(kRecords - 1 - 1000), 1011, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string args = c.args.starts_with("thumbnail") ? c.args : c.args + " Hostile.hmp";
    const int code = test::RunCommand("cd " + Q(dir.Path()) + " && bash -c 'ulimit -v 100000; exec " + HAMPER_EXE + " " +
                                      args + "' >out.txt 2>err.txt");
    EXPECT_EQ(code, c.code);
    const Bytes outBytes = test::ReadFileBytes(dir / "out.txt");
    const std::string out(outBytes.begin(), outBytes.end());
    const Bytes errBytes = test::ReadFileBytes(dir / "err.txt");
    const std::string err(errBytes.begin(), errBytes.end());
    EXPECT_NE(out.find(c.out), std::string::npos) << out.substr(0, 2000);
    EXPECT_EQ(static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n')), c.lines);
    EXPECT_LE(std::count(err.begin(), err.end(), '\n'), 21) << err;
    if (c.last.empty()) continue;
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.substr(err.rfind('\n', err.size() - 2) + 1), c.last + "\n") << err;
  }
  EXPECT_FALSE(fs::exists(dir / "out.png"));
}

}  // namespace
