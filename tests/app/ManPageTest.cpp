// hamper-packer's manual page is written by hand: it must name exactly the options and arguments
// that `hamper-packer --help` lists, and format without warnings.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "support/ManPageText.h"
#include "support/TestSupport.h"

namespace {

const std::filesystem::path kPage = std::filesystem::path(HAMPER_BINARY_DIR) / "man" / "hamper-packer.1";

// "-h", "--hampers", "DIR", "FOLDER": the option names and the value and argument names of a
// Qt help listing ("  --hampers <DIR>   A folder ...", "  [FOLDER]   The content ...").
std::set<std::string> HelpNames(const std::string& help) {
  std::set<std::string> names;
  std::istringstream lines(help);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] != ' ') {
      inside = line == "Options:" || line == "Arguments:";
      continue;
    }
    if (!inside) continue;
    // The names column ends where the description begins, after two spaces.
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    std::istringstream column(line.substr(start, line.find("  ", start) - start));
    for (std::string word; column >> word;) {
      if (word.back() == ',') word.pop_back();
      if (word.size() > 2 && (word.front() == '<' || word.front() == '[')) word = word.substr(1, word.size() - 2);
      names.insert(word);
    }
  }
  return names;
}

// The same names from the page's OPTIONS section: the words of each term line after ".TP".
std::set<std::string> PageNames(const std::string& page) {
  std::set<std::string> names;
  std::istringstream lines(page);
  std::string line;
  bool inside = false;
  bool term = false;
  while (std::getline(lines, line)) {
    if (line.starts_with(".SH")) inside = line == ".SH OPTIONS";
    if (!inside) continue;
    if (term) {
      std::istringstream words(line);
      for (std::string word; words >> word;) {
        if (word.back() == ',') word.pop_back();
        names.insert(word);
      }
    }
    term = line == ".TP";
  }
  return names;
}

TEST(HamperPackerManPage, NamesWhatHelpListsAndNothingElse) {
  std::string help;
  ASSERT_EQ(test::RunCommand(std::string("QT_QPA_PLATFORM=offscreen '") + HAMPER_PACKER_EXE + "' --help", &help), 0);
  const std::set<std::string> helpNames = HelpNames(help);
  ASSERT_TRUE(helpNames.contains("--hampers")) << help;
  ASSERT_TRUE(helpNames.contains("FOLDER")) << help;

  ASSERT_TRUE(std::filesystem::exists(kPage));
  const std::string page = test::ManPagePlainText(
      [] {
        const auto bytes = test::ReadFileBytes(kPage);
        return std::string(bytes.begin(), bytes.end());
      }());
  EXPECT_EQ(PageNames(page), helpNames);
  EXPECT_EQ(page.find("@"), std::string::npos) << "a placeholder was left unfilled";
}

TEST(HamperPackerManPage, FormatsWithoutWarnings) { EXPECT_EQ(test::ManPageWarnings(kPage), ""); }

}  // namespace
