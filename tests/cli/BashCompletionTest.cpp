// hamper's bash completion (`hamper --bash-completion`, installed for bash-completion) against
// its --help: every command and option that --help shows completes, and values and arguments
// complete as what they are.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/HelpListing.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

std::string Hamper(const std::string& args) {
  std::string out;
  EXPECT_EQ(test::RunCommand(std::string("'") + HAMPER_EXE + "' " + args, &out), 0) << args;
  return out;
}

std::string ShellQuoted(const std::string& word) {
  std::string out = "'";
  for (const char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

class BashCompletion : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteFileText(dir / "hamper.bash", Hamper("--bash-completion")); }

  // What bash offers for a command line whose last word is the one being completed, run in a
  // clean bash in `dir` the way its completion runs: the function `complete` names for hamper,
  // with the words split as bash splits them. Sorted.
  Words Complete(const Words& words) {
    std::string line, array;
    for (const std::string& w : words) {
      line += (line.empty() ? "" : " ") + w;
      array += ShellQuoted(w) + " ";
    }
    const std::string script =
        "cd " + ShellQuoted(dir.Path().string()) + " && source hamper.bash && "
        "COMP_WORDS=(" + array + "); COMP_CWORD=" + std::to_string(words.size() - 1) + "; COMP_LINE=" +
        ShellQuoted(line) + "; COMP_POINT=${#COMP_LINE}; " +
        "function=$(complete -p hamper | sed -E 's/.*-F ([^ ]+).*/\\1/') && \"$function\" hamper && "
        "printf '%s\\n' \"${COMPREPLY[@]}\"";
    std::string out;
    EXPECT_EQ(test::RunCommand("bash --norc --noprofile -c " + ShellQuoted(script), &out), 0) << line;
    Words offered;
    std::istringstream lines(out);
    for (std::string word; std::getline(lines, word);) {
      if (!word.empty()) offered.push_back(word);
    }
    std::sort(offered.begin(), offered.end());
    return offered;
  }

  static Words NamesOf(const std::vector<test::HelpEntry>& entries) {
    Words names;
    for (const test::HelpEntry& entry : entries) names.insert(names.end(), entry.names.begin(), entry.names.end());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir dir;
};

TEST_F(BashCompletion, CompletesEveryCommandAndOptionThatHelpShows) {
  const std::string help = Hamper("--help");
  const Words commands = NamesOf(test::HelpEntries(help, "Subcommands:"));
  ASSERT_GE(commands.size(), 9u);
  EXPECT_EQ(Complete({"hamper", ""}), commands);
  EXPECT_EQ(Complete({"hamper", "pa"}), Words{"pack"});
  EXPECT_EQ(Complete({"hamper", "-"}), NamesOf(test::HelpEntries(help, "Options:")));
  for (const std::string& command : commands) {
    EXPECT_EQ(Complete({"hamper", command, "-"}), NamesOf(test::HelpEntries(Hamper(command + " --help"), "Options:")))
        << command;
  }
}

TEST_F(BashCompletion, CompletesValuesAndArgumentsAsWhatTheyAre) {
  fs::create_directory(dir / "Kit Folder");
  test::WriteFileText(dir / "kit.hmp", "");
  test::WriteFileText(dir / "song.tns", "");
  const Words files = {"Kit Folder", "hamper.bash", "kit.hmp", "song.tns"};
  const struct {
    Words words;
    Words offered;
  } cases[] = {
      {{"hamper", "pack", ""}, {"Kit Folder"}},                 // INPUT_DIR: folders only
      {{"hamper", "pack", "-o", ""}, files},                    // a file to write
      {{"hamper", "pack", "--output", "=", ""}, files},         // "--output=" as bash splits it
      {{"hamper", "pack", "--output", "=", "so"}, {"song.tns"}},
      {{"hamper", "pack", "-j", ""}, {}},                       // a number
      {{"hamper", "pack", "--hampers", ""}, {"Kit Folder"}},    // DIR
      {{"hamper", "pack", "-q", "Kit Folder", "-"}, {"--force", "--hampers", "--help", "--jobs", "--json",
                                                     "--output", "--quiet", "--skip-bad", "--slc-library",
                                                     "--warn-external", "-f", "-h", "-j", "-o", "-q"}},
      {{"hamper", "extract", "k"}, {"kit.hmp"}},
      {{"hamper", "extract", "-f", "kit.hmp", ""}, {"Kit Folder"}},  // DIR, after a flag and FILE
      {{"hamper", "verify", "--source", "Kit Folder", "kit.hmp", ""}, {}},
      {{"hamper", "thumbnail", "kit.hmp", "out.png", ""}, {}},  // SIZE
      {{"hamper", "--version", "li"}, {"list"}},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& w : c.words) line += "[" + w + "]";
    EXPECT_EQ(Complete(c.words), c.offered) << line;
  }
}

}  // namespace
