// A symbolic link that leads to nothing, standing at the output path of a command that writes a
// file: it is an existing output (pack asks about it), it is replaced itself, and the place it
// points to is never created.

#include <gtest/gtest.h>

#include "cli/PackedContent.h"

using namespace packedtest;

namespace {

class OutputLink : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = std::make_unique<test::TempDir>();
    WriteContent(*scratch_ / "In");
    Pack(*scratch_ / "In", *scratch_ / "kit.hmp");
    const CommandRun r = Hamper("encode-audio " + Q(*scratch_ / "In/Samples/kick.wav") + " " + Q(*scratch_ / "kick.vrp"),
                                scratch_->Path());
    ASSERT_EQ(r.code, 0) << r.err;
  }
  static void TearDownTestSuite() { scratch_.reset(); }
  static fs::path Scratch() { return scratch_->Path(); }

  test::TempDir dir;
  static std::unique_ptr<test::TempDir> scratch_;
};

std::unique_ptr<test::TempDir> OutputLink::scratch_;

TEST_F(OutputLink, ALinkToNothingIsReplacedItselfNeverFollowed) {
  struct Case {
    std::string command;  // OUT stands for the output path
    bool asks;            // whether replacing an existing output needs -f
  };
  const Case cases[] = {
      {"pack -q " + Q(Scratch() / "In") + " -o OUT", true},
      {"thumbnail " + Q(Scratch() / "kit.hmp") + " OUT 128", false},
      {"encode-audio " + Q(Scratch() / "In/Samples/tone.aif") + " OUT", false},
      {"decode-audio " + Q(Scratch() / "kick.vrp") + " OUT", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    fs::create_directory(dir / "elsewhere");
    const fs::path out = dir / "out";
    // Straight to nothing, and through a second link into another folder.
    for (const fs::path& target : {dir / "nowhere", dir / "hop"}) {
      fs::create_symlink(target, out);
      if (target == dir / "hop") fs::create_symlink(dir / "elsewhere" / "made", dir / "hop");
      std::string command = c.command;
      command.replace(command.find("OUT"), 3, Q(out));
      if (c.asks) {
        const CommandRun refused = Hamper(command + " </dev/null", dir.Path());
        EXPECT_EQ(refused.code, 1) << refused.err;
        EXPECT_NE(refused.err.find("File already exists"), std::string::npos) << refused.err;
        EXPECT_TRUE(fs::is_symlink(out));
        command += " -f";
      }
      const CommandRun r = Hamper(command, dir.Path());
      EXPECT_EQ(r.code, 0) << r.err;
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out)));
      EXPECT_GT(fs::file_size(out), 0u);
      EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "nowhere")));
      EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
      fs::remove(out);
      fs::remove(dir / "hop");
    }
    fs::remove_all(dir / "elsewhere");
  }
}

}  // namespace
