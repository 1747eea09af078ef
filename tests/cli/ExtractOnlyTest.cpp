// `hamper extract --only`: which items each pattern takes, and a pattern that takes none.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cli/PackedContent.h"

using namespace packedtest;

namespace {

class ExtractOnly : public ::testing::Test {
 protected:
  void SetUp() override {
    hampertest::FakeTree tree;
    std::uint8_t n = 0;
    for (const char* path : {"Drums:Kick.mid", "Drums:Sub:Snare.mid", "Drums Old:Tom.mid", "Keys:Kick.mid", "top.mid",
                             "Caf\xc3\xa9.mid", "Stra\xc3\x9f" "e:Bass.mid", "\xff\xfe.mid"}) {
      tree.Add(hampertest::FakeEntry::File(path, 10, {++n}));
    }
    kit = WriteTree(dir / "Kit.hmp", tree);
  }

  CommandRun Extract(const std::string& only) {
    fs::remove_all(out);
    return Hamper("extract " + Q(kit) + " " + Q(out) + " " + only, dir.Path());
  }

  // The files below the output folder, "/" between names.
  std::set<std::string> Files() const {
    std::set<std::string> files;
    if (!fs::exists(out)) return files;
    for (const auto& e : fs::recursive_directory_iterator(out)) {
      if (e.is_regular_file()) files.insert(fs::relative(e.path(), out).string());
    }
    return files;
  }

  test::TempDir dir;
  fs::path kit;
  fs::path out = dir / "out";
};

TEST_F(ExtractOnly, TakesTheItemsEachPatternMatches) {
  struct CCase {
    std::string only;
    std::set<std::string> files;
  };
  const std::string cafe = "Caf\xc3\xa9.mid";
  const std::vector<CCase> cases = {
      {"--only 'Drums:*'", {"Drums/Kick.mid", "Drums/Sub/Snare.mid"}},
      {"--only 'drums:kick.MID'", {"Drums/Kick.mid"}},
      {"--only '*Kick*' --only top.mid", {"Drums/Kick.mid", "Keys/Kick.mid", "top.mid"}},
      {"--only '?eys:*'", {"Keys/Kick.mid"}},
      {"--only '[!D]*:*'", {"Keys/Kick.mid", "Stra\xc3\x9f" "e/Bass.mid"}},
      // A folder takes what lies below it, at any depth.
      {"--only Drums", {"Drums/Kick.mid", "Drums/Sub/Snare.mid"}},
      {"--only Drums:", {"Drums/Kick.mid", "Drums/Sub/Snare.mid"}},
      {"--only drums:sub", {"Drums/Sub/Snare.mid"}},
      {"--only 'D*'", {"Drums/Kick.mid", "Drums/Sub/Snare.mid", "Drums Old/Tom.mid"}},
      // Characters, not bytes; letter case and composition folded the Unicode way.
      {"--only 'Caf?.mid'", {cafe}},
      {"--only '[a-c]af[\xc3\xa9].mid'", {cafe}},
      {"--only 'CAF\xc3\x89.MID'", {cafe}},
      {"--only 'cafe\xcc\x81.mid'", {cafe}},
      {"--only STRASSE", {"Stra\xc3\x9f" "e/Bass.mid"}},
      // A byte outside UTF-8 is a character of its own.
      {"--only '??.mid'", {"\xff\xfe.mid"}},
      {"--only '\\*'", {}},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.only);
    const CommandRun r = Extract(c.only);
    if (c.files.empty()) {
      EXPECT_EQ(r.code, 1);
      continue;
    }
    ASSERT_EQ(r.code, 0) << r.err;
    // The description goes with the whole Hamper, not with a choice of its items.
    EXPECT_EQ(Files(), c.files);
  }
}

TEST_F(ExtractOnly, APatternThatTakesNothingIsNamed) {
  const std::string advice = " (paths name folders with \":\", as `hamper list` shows them)\n";
  CommandRun r = Extract("--only 'Bass:*'");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "hamper: " + kit.string() + ": no item's path matches Bass:*" + advice);
  EXPECT_FALSE(fs::exists(out));

  // Also beside a pattern that takes something: those items are written, and the exit says not all was.
  r = Extract("--only Keys --only 'Nope*' --only top.mid --only '\xff'");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "hamper: " + kit.string() + ": no item's path matches Nope*" + advice + "hamper: " + kit.string() +
                       ": no item's path matches \\xff" + advice);
  EXPECT_EQ(Files(), (std::set<std::string>{"Keys/Kick.mid", "top.mid"}));
}

}  // namespace
