// Menu scripts.

#include <gtest/gtest.h>

#include "framework/resources/MenuScript.h"

using namespace NSFerryman;

TEST(ResourceMenu, ApplicationMenus) {
  const CMenuScript file = LoadMenuScript(MenuId(128, 1));
  EXPECT_EQ(file.title, "File");
  EXPECT_EQ(file.items, (std::vector<CMenuItem>{{"Open Hamper...", 'O', 20, false}, {"Quit", 'Q', 25, false}}));

  const CMenuScript hamper = LoadMenuScript(MenuId(128, 2));
  EXPECT_EQ(hamper.title, "Hamper");
  EXPECT_EQ(hamper.items, (std::vector<CMenuItem>{
                              {"Select Input Folder...", 0, 101, false},
                              {"Select Output Folder...", 0, 102, false},
                              {"Create Hamper...", 0, 103, false},
                              {"Check Folder...", 0, 105, false},
                              {"Warn For External Hamper References", 0, 104, false},
                          }));

  const CMenuScript help = LoadMenuScript(MenuId(128, 5));
  EXPECT_EQ(help.title, "Help");
  EXPECT_EQ(help.items, (std::vector<CMenuItem>{
                            {"Go to the Harborlantern Homepage", 0, 800, false},
                            {"Tessel Tech Info and Support", 0, 804, false},
                            {"", 0, 0, true},
                            {"About Hamper Packer", 0, 400, false},
                        }));
  // The File menu of a Hamper browser window.
  const CMenuScript browser = LoadMenuScript(MenuId(128, 3));
  EXPECT_EQ(browser.title, "File");
  EXPECT_EQ(browser.items, (std::vector<CMenuItem>{{"Open...", 'O', 20, false},
                                                   {"", 0, 0, true},
                                                   {"Extract Selected...", 'E', 30, false},
                                                   {"Extract All...", 0, 31, false},
                                                   {"", 0, 0, true},
                                                   {"Packer Window", 0, 21, false},
                                                   {"", 0, 0, true},
                                                   {"Close", 'W', 26, false},
                                                   {"Quit", 'Q', 25, false}}));
  EXPECT_THROW(LoadMenuScript(MenuId(128, 4)), XBadFormat);
}

TEST(ResourceMenu, ScriptCases) {
  const CMenuScript m = ParseMenuScript("Edit;Un#do#Z=7;C# Notes=8;-;;Last=9;");
  EXPECT_EQ(m.title, "Edit");
  EXPECT_EQ(m.items, (std::vector<CMenuItem>{{"Un#do", 'Z', 7, false},
                                             {"C# Notes", 0, 8, false},
                                             {"", 0, 0, true},
                                             {"Last", 0, 9, false}}));
  EXPECT_TRUE(ParseMenuScript("Empty").items.empty());
  for (std::string_view bad : {"M;NoCommand", "M;Item=", "M;Item=12a", "M;Item=1234567890"}) {
    EXPECT_THROW(ParseMenuScript(bad), XBadFormat) << bad;
  }
}
