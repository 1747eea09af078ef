#include <gtest/gtest.h>

#include "cli/PackedContent.h"

using namespace packedtest;

// A Hamper cut short in each of its regions is refused by every command that reads it, with a
// message naming the file, and extract writes nothing.
TEST(HamperTruncation, EveryRegion) {
  test::TempDir dir;
  WriteContent(dir / "content");
  const fs::path whole = dir / "whole.hmp";
  Pack(dir / "content", whole);
  const Bytes bytes = test::ReadFileBytes(whole);
  CHamperDescription header;
  IndexOf(bytes, &header);
  const std::pair<const char*, std::size_t> cuts[] = {
      {"magic", 2},
      {"size field", 6},
      {"signature block", 100},
      {"description", 270},
      {"index", header.GetIndexOffset() + 3},
      {"data", header.GetDataOffset() + 10},
      {"last byte", bytes.size() - 1},
  };
  for (const auto& [region, length] : cuts) {
    SCOPED_TRACE(region);
    const fs::path cut = dir / "cut.hmp";
    test::WriteFileBytes(cut, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
    for (const std::string command : {"list", "verify -q", "extract"}) {
      SCOPED_TRACE(command);
      fs::remove_all(dir / "out");
      const CommandRun run =
          Hamper(command + " " + Q(cut) + (command == "extract" ? " " + Q(dir / "out") : std::string()), dir.Path());
      EXPECT_EQ(run.code, 1) << run.err;
      EXPECT_NE(run.err.find("cut.hmp"), std::string::npos) << run.err;
      if (command == "extract" && fs::exists(dir / "out")) {
        EXPECT_TRUE(fs::is_empty(dir / "out")) << "extract wrote from a damaged Hamper";
      }
    }
  }
}
