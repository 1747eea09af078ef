// The description texts and the splash of an input folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "framework/media/Exceptions.h"
#include "framework/resources/AlertHost.h"
#include "items/PictureTestFiles.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "support/TestSupport.h"

using namespace NSFerryman;

namespace {

namespace fs = std::filesystem;

class CRecordingHost : public MAlertHost {
 public:
  int PresentAlert(const CAlert& alert) override {
    shown.push_back(alert);
    return kAlertButton1;
  }
  std::vector<CAlert> shown;
};

std::string Splash(std::uint32_t width = 64, std::uint32_t height = 64) {
  const auto b = picturetest::MakeJPEG({.width = width, .height = height});
  return std::string(b.begin(), b.end());
}

// An input folder with the given files ("name" -> contents; names ending in "/" are folders).
struct CInput {
  explicit CInput(const std::map<std::string, std::string>& files) {
    fs::create_directory(dir / "in");
    for (const auto& [name, contents] : files) {
      if (name.back() == '/') {
        fs::create_directories(dir / "in" / name);
      } else {
        fs::create_directories((dir / "in" / name).parent_path());
        test::WriteFileText(dir / "in" / name, contents);
      }
    }
    top = ListTopLevel(CItemReference::ForPath((dir / "in").string()));
  }

  CHamperDescription Read() {
    return ReadFolderDescription(top, host, [this](const CBitmap32& b) { previews.push_back(b); });
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : top) names.push_back(e->GetName());
    return names;
  }

  test::TempDir dir;
  CFileEntryList top;
  CRecordingHost host;
  std::vector<CBitmap32> previews;
};

}  // namespace

TEST(NormaliseDescriptionText, LineBreaksAndZeroBytes) {
  std::string twentyLines, twentyLinesWidened;
  for (int i = 0; i < 20; ++i) {
    twentyLines += "line " + std::to_string(i) + "\r";
    twentyLinesWidened += "line " + std::to_string(i) + (i < 19 ? "\r\n" : "");
  }
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"Drum Kits", "Drum Kits"},
      {"Drum Kits\n\n", "Drum Kits"},
      {"Drum\nKits\n", "Drum\nKits"},
      {"Drum\r\nKits\r\n", "Drum\r\nKits"},
      {"Drum\rKits\r", "Drum\r\nKits"},
      {"a\rb\nc", "a\rb\nc"},  // a line feed anywhere: carriage returns are left as they are
      {twentyLines, twentyLinesWidened},
      {std::string("Drum\0Kits", 9), "Drum"},
      {std::string("Drum\0\r\rx", 8), "Drum"},
      {" \tpadded\t ", " \tpadded\t "},
      {"\r\n\r\n", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NormaliseDescriptionText(c.text), c.expected) << c.text;
}

TEST(ParseInfoText, KeysAndQuotedValues) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    std::string text;
    Pairs expected;
  };
  const Case cases[] = {
      {"NAME = \"Drum Kits\"\r\nURL=\"http://x\"\n", {{"NAME", "Drum Kits"}, {"URL", "http://x"}}},
      {"NAME\n\"Drum Kits\"", {{"NAME", "Drum Kits"}}},
      {"name \"lower\"", {{"name", "lower"}}},
      {"NAME: \"colon\"", {{"NAME:", "colon"}}},
      {"NA\tME \"tab\"", {{"NA\tME", "tab"}}},
      {"COMMENTS \"two\r\nlines\"", {{"COMMENTS", "twolines"}}},
      {"NAME is called \"x\"", {{"NAME", "x"}}},
      {"NAME \"open", {}},
      {"NAME \"a\" URL \"open", {{"NAME", "a"}}},
      {"NAME", {}},
      {"NAME \"\"", {{"NAME", ""}}},
      {std::string("NAME \"a\0b\"", 10), {{"NAME", "a"}}},
      {"  \t\r\n", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInfoText(c.text), c.expected) << c.text;
}

TEST(ReadFolderDescription, TextsByPrecedence) {
  struct Case {
    const char* what;
    std::map<std::string, std::string> files;
    CHamperDescription expected;
  };
  const Case cases[] = {
      {"nothing but the splash", {}, {"", "", "", ""}},
      {"INFO.TXT alone",
       {{"INFO.TXT", "NAME=\"N\"\nCOMMENTS=\"C\"\nURL=\"U\"\nCOPYRIGHT=\"R\"\nOTHER=\"O\""}},
       {"N", "C", "U", "R"}},
      {"whole-text files alone",
       {{"NAME.TXT", "N\n"}, {"COMMENTS.TXT", "C1\nC2\n\n"}, {"URL.TXT", "U"}, {"COPYRIGHT.TXT", "R\r"}},
       {"N", "C1\nC2", "U", "R"}},
      {"NAME.TXT and URL.TXT win over INFO.TXT",
       {{"INFO.TXT", "NAME \"A\" URL \"u1\""}, {"NAME.TXT", "B"}, {"URL.TXT", "u2"}},
       {"B", "", "u2", ""}},
      {"an empty NAME.TXT still wins", {{"INFO.TXT", "NAME \"A\""}, {"NAME.TXT", ""}}, {"", "", "", ""}},
      {"INFO.TXT wins over COMMENTS.TXT and COPYRIGHT.TXT",
       {{"INFO.TXT", "COMMENTS \"i\" COPYRIGHT \"j\""}, {"COMMENTS.TXT", "c"}, {"COPYRIGHT.TXT", "r"}},
       {"", "i", "", "j"}},
      {"an empty INFO.TXT value keeps the file's text",
       {{"INFO.TXT", "COMMENTS \"\""}, {"COMMENTS.TXT", "c"}},
       {"", "c", "", ""}},
      {"the last pair of a key counts", {{"INFO.TXT", "NAME \"a\" NAME \"b\""}}, {"b", "", "", ""}},
      {"an empty last pair sets nothing", {{"INFO.TXT", "NAME \"a\" NAME \"\""}, {"NAME.TXT", "n"}}, {"n", "", "", ""}},
      {"keys in any letter case, NAME: is another key",
       {{"INFO.TXT", "name \"lower\"\nURL: \"colon\""}},
       {"lower", "", "", ""}},
      {"file names in any letter case", {{"Info.txt", "URL \"u\""}, {"name.TXT", "n"}}, {"n", "", "u", ""}},
      {"description files in a sub-folder are ordinary files", {{"Sub/NAME.TXT", "n"}}, {"", "", "", ""}},
  };
  for (const auto& c : cases) {
    std::map<std::string, std::string> files = c.files;
    files["Splash.jpg"] = Splash();
    CInput input(files);
    EXPECT_EQ(input.Read(), c.expected) << c.what;
    EXPECT_TRUE(input.host.shown.empty()) << c.what;
  }
}

TEST(ReadFolderDescription, TakesTheTextFilesOutOfTheListAndKeepsTheRest) {
  CInput input({{"bass.wav", ""},
                {"COMMENTS.TXT", "c"},
                {"INFO.TXT", ""},
                {"NAME.TXT", "n"},
                {"notes.txt", "kept"},
                {"Splash.jpg", Splash()},
                {"url.txt", "u"},
                {"Drums/", ""},
                {"COPYRIGHT.TXT/", ""}});
  input.Read();
  EXPECT_EQ(input.Names(), (std::vector<std::string>{"bass.wav", "notes.txt", "Splash.jpg", "COPYRIGHT.TXT", "Drums"}));
  ASSERT_EQ(input.previews.size(), 1u);
  EXPECT_EQ(input.previews[0].width, 64u);
  EXPECT_EQ(input.previews[0].height, 64u);
}

TEST(ReadFolderDescription, RefusesABadSplashWithAlert11) {
  struct Case {
    const char* what;
    std::string splash;
  };
  const Case cases[] = {
      {"64 x 32", Splash(64, 32)},
      {"32 x 64", Splash(32, 64)},
      {"128 x 128", Splash(128, 128)},
      {"not a JPEG", "GIF89a"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    CInput input({{"NAME.TXT", "n"}, {"SPLASH.JPG", c.splash}});
    EXPECT_THROW(input.Read(), XAlertAlreadyShown) << c.what;
    ASSERT_EQ(input.host.shown.size(), 1u) << c.what;
    EXPECT_EQ(input.host.shown[0].title, "Bad format for Hamper splash") << c.what;
    EXPECT_NE(input.host.shown[0].message.find("64x64 pixels"), std::string::npos) << c.what;
    EXPECT_TRUE(input.previews.empty()) << c.what;
  }
}

TEST(ReadFolderDescription, WithoutASplashShowsAlert10AfterReadingTheTexts) {
  const std::map<std::string, std::string> folders[] = {
      {{"NAME.TXT", "n"}, {"URL.TXT", "u"}},
      {{"NAME.TXT", "n"}, {"Art/Splash.jpg", Splash()}},  // a splash counts at the top level only
      {{"NAME.TXT", "n"}, {"Splash.jpg/", ""}},
  };
  for (const auto& files : folders) {
    CInput input(files);
    EXPECT_THROW(input.Read(), XAlertAlreadyShown);
    ASSERT_EQ(input.host.shown.size(), 1u);
    EXPECT_EQ(input.host.shown[0].title, "No splash for Hamper");
    // Every description text was read (and taken out) before the alert.
    for (const auto& name : input.Names()) EXPECT_EQ(name.find(".TXT"), std::string::npos) << name;
  }
}

TEST(ReadFolderDescription, RefusesAnOversizedTextFileByName) {
  CInput fits({{"COMMENTS.TXT", std::string(kMaxDescriptionTextSize, 'c')}, {"Splash.jpg", Splash()}});
  EXPECT_EQ(fits.Read().GetComments().size(), kMaxDescriptionTextSize);

  CInput tooLarge({{"NAME.TXT", std::string(kMaxDescriptionTextSize + 1, 'n')}, {"Splash.jpg", Splash()}});
  try {
    tooLarge.Read();
    ADD_FAILURE() << "an oversized NAME.TXT was read";
  } catch (const XBadFormat& e) {
    EXPECT_NE(e.Detail().find("NAME.TXT"), std::string::npos) << e.Detail();
  }
}
