// hamper's manual page (`hamper --help-man`, installed as hamper(1)) against its --help, and the
// roff writer under it.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/ManPage.h"
#include "support/HelpListing.h"
#include "support/ManPageText.h"
#include "support/TestSupport.h"

namespace {

using test::HelpEntries;
using test::HelpEntry;

std::string Hamper(const std::string& args) {
  std::string out;
  EXPECT_EQ(test::RunCommand(std::string("'") + HAMPER_EXE + "' " + args, &out), 0) << args;
  return out;
}

// A part of the page: from the line `opening` to the next section or subsection heading.
std::string PagePart(const std::string& page, const std::string& opening) {
  const std::size_t start = page.find("\n" + opening + "\n");
  if (start == std::string::npos) return {};
  std::size_t end = start + opening.size() + 2;
  while ((end = page.find('\n', end)) != std::string::npos) {
    if (page.compare(end + 1, 4, ".SH ") == 0 || page.compare(end + 1, 4, ".SS ") == 0) break;
    ++end;
  }
  return page.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void ExpectListed(const std::string& part, const std::vector<HelpEntry>& entries, const std::string& where) {
  for (const HelpEntry& entry : entries) {
    for (const std::string& name : entry.names) {
      EXPECT_NE(part.find(name), std::string::npos) << where << " lacks " << name;
    }
    EXPECT_NE(part.find(entry.description), std::string::npos) << where << " lacks: " << entry.description;
  }
}

TEST(HamperManPage, ListsEveryCommandAndOptionThatHelpShows) {
  const std::string page = test::ManPagePlainText(Hamper("--help-man"));
  const std::string help = Hamper("--help");

  const std::vector<HelpEntry> ownOptions = HelpEntries(help, "Options:");
  ASSERT_GE(ownOptions.size(), 2u);  // -h,--help and --version
  ExpectListed(PagePart(page, ".SH OPTIONS"), ownOptions, "OPTIONS");

  const std::vector<HelpEntry> commands = HelpEntries(help, "Subcommands:");
  ASSERT_GE(commands.size(), 8u);
  for (const HelpEntry& command : commands) {
    const std::string name = command.names.at(0);
    const std::string part = PagePart(page, ".SS \"" + name + "\"");
    ASSERT_FALSE(part.empty()) << "no section for " << name;
    EXPECT_NE(part.find(command.description), std::string::npos) << name;
    EXPECT_NE(part.find("hamper " + name), std::string::npos) << name << " has no usage line";

    const std::string commandHelp = Hamper(name + " --help");
    ExpectListed(part, HelpEntries(commandHelp, "Positionals:"), name);
    std::vector<HelpEntry> options = HelpEntries(commandHelp, "Options:");
    std::erase_if(options, [](const HelpEntry& e) { return e.names.at(0) == "-h"; });  // listed once, above
    ExpectListed(part, options, name);
  }

  // The option that prints the page is for the build, not for users.
  EXPECT_EQ(help.find("--help-man"), std::string::npos);
  EXPECT_EQ(page.find("--help-man"), std::string::npos);
}

TEST(HamperManPage, FormatsWithoutWarnings) {
  test::TempDir dir;
  test::WriteFileText(dir / "hamper.1", Hamper("--help-man"));
  EXPECT_EQ(test::ManPageWarnings(dir / "hamper.1"), "");
}

TEST(RoffText, EscapesWhatRoffWouldTakeAsMarkup) {
  const struct {
    const char* text;
    const char* roff;
  } cases[] = {
      {"plain words", "plain words\n"},
      {"--jobs and -q", "\\-\\-jobs and \\-q\n"},
      {"a\\b", "a\\eb\n"},
      {".hidden as a request", "\\&.hidden as a request\n"},
      {"'also a request", "\\&'also a request\n"},
      {"mid.line 'quote'", "mid.line 'quote'\n"},
      {"one\n.two", "one\n\\&.two\n"},
      {"first\n\nsecond", "first\n.PP\nsecond\n"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::RoffText(c.text), c.roff) << c.text;
}

}  // namespace
