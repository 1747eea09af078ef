// Text ids, the resource script parser, placeholder substitution and look-up in the scripts
// compiled into the program.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/resources/ResourceCache.h"
#include "framework/resources/ResourceId.h"
#include "framework/resources/StringResource.h"
#include "framework/resources/Substitute.h"

using namespace NSFerryman;

namespace {

using Entries = std::vector<std::pair<int, std::string>>;

Entries Parse(std::string_view script) {
  Entries out;
  const CStringResource resource(kStringResourceType, 1, script);
  for (const auto& e : resource.GetEntries()) {
    out.emplace_back(e.item, e.text);
  }
  return out;
}

}  // namespace

TEST(ResourceId, ComposeAndDecode) {
  struct Case {
    EResourceKind kind;
    std::uint32_t resource, item;
    ResourceId id;
  };
  const Case cases[] = {
      {EResourceKind::kString, 128, 36, 401280036},
      {EResourceKind::kAlert, 128, 15, 501280015},
      {EResourceKind::kAlert, 1000, 11, 510000011},
      {EResourceKind::kMenu, 9999, 9999, 699999999},
      {EResourceKind::kString, 0, 0, 400000000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComposeResourceId(c.kind, c.resource, c.item), c.id);
    EXPECT_EQ(DecodeResourceId(c.id), (CResourceIdParts{c.kind, c.resource, c.item}));
  }
  static_assert(StringId(128, 36) == 401280036u && AlertId(1000, 11) == 510000011u &&
                MenuId(128, 1) == 601280001u);
  EXPECT_THROW(ComposeResourceId(EResourceKind::kString, 10000, 0), XBase);
  EXPECT_THROW(ComposeResourceId(EResourceKind::kString, 0, 10000), XBase);
}

TEST(ResourceParser, Cases) {
  struct Case {
    const char* name;
    std::string_view script;
    Entries expected;
  };
  const Case cases[] = {
      {"two tabs around an entry and a comment behind it", "12\t\t{OK}\t\t// comment\n",
       {{12, "OK"}}},
      {"menu entry over two lines with a tab", "1\t{File;\r\n\tQuit#Q=25}\r\n",
       {{1, "File;Quit#Q=25"}}},
      {"a line comment ends at LF alone", "// header\n1\t{One}\n// note\n2\t{Two}\n",
       {{1, "One"}, {2, "Two"}}},
      {"a line comment ends at CR LF", "// header\r\n1\t{One}\r\n", {{1, "One"}}},
      {"a commented-out entry is skipped whole", "// 5\t{Old}\n5\t{New}", {{5, "New"}}},
      {"block comments, also across lines and between entries",
       "/* 1 {no} \n 2 {no} */3 {three}/*x*/4{four}", {{3, "three"}, {4, "four"}}},
      {"spaces stay, CR LF TAB inside go, \\r escapes", "7 {  a\tb\r\nc \\r\"^0\"  }",
       {{7, "  abc \r\"^0\"  "}}},
      {"a backslash not before r stays", "8 {a\\b\\}", {{8, "a\\b\\"}}},
      {"an escape split by a line break still counts", "9 {x\\\nr}", {{9, "x\r"}}},
      {"a number whose } comes before any { is dropped through the }", "3 } 4 {four}",
       {{4, "four"}}},
      {"stray characters between entries are skipped", "x1 {a} ;; 2{b}", {{1, "a"}, {2, "b"}}},
      {"an empty text", "6 {}", {{6, ""}}},
      {"duplicates are kept in file order", "1 {first} 1 {second}",
       {{1, "first"}, {1, "second"}}},
      {"empty script", "", {}},
      {"only a comment without line end", "// nothing here {", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse(c.script), c.expected) << c.name;
  }
}

TEST(ResourceParser, MalformedScriptsAreRejectedWithTheResourceNamed) {
  for (std::string_view script : {"1 {open", "/* never closed 1 {a}", "10000 {too big}",
                                  "99999999999999999999 {x}", "1 {a} 2"}) {
    try {
      CStringResource(kAlertResourceType, 77, script);
      ADD_FAILURE() << script;
    } catch (const XBadFormat& e) {
      EXPECT_NE(std::string(e.what()).find("SALR 77"), std::string::npos) << e.what();
    }
  }
}

TEST(ResourceParser, FirstEntryWinsAndMissingIsEmpty) {
  const CStringResource r(kStringResourceType, 128, "1 {first} 1 {second} 2 {two}");
  EXPECT_EQ(r.GetText(1), "first");
  EXPECT_EQ(r.GetText(2), "two");
  EXPECT_EQ(r.GetText(3), "");
}

TEST(ResourceSubstitute, Cases) {
  const std::vector<std::string> eleven = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "K"};
  struct Case {
    std::string_view text;
    std::vector<std::string> arguments;
    std::string expected;
  };
  const Case cases[] = {
      {"Creating ^0", {"X.hmp"}, "Creating X.hmp"},
      {"Creating ^0", {}, "Creating ^0"},
      {"'^0' and ^0", {"f"}, "'f' and f"},
      {"^1^0", {"a", "b"}, "ba"},
      {"^1 ^2", {"a", "b"}, "b ^2"},
      {"^10", eleven, "K"},
      {"^10", {"a", "b"}, "b0"},
      {"^01", {"a", "b"}, "a1"},
      {"^^0^", {"a"}, "^a^"},
      {"size ^0x^1", {"64", "64"}, "size 64x64"},
      // An argument's own text is not substituted again.
      {"^1 / ^0", {"zero", "file^0.wav"}, "file^0.wav / zero"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Substitute(c.text, c.arguments), c.expected) << c.text;
  }
}

TEST(ResourceLookup, ApplicationAndFrameworkTexts) {
  struct Case {
    ResourceId id;
    std::string expected;
  };
  const Case cases[] = {
      {StringId(128, 10), "2/5 Packing: \r\"^0\""},
      {StringId(128, 2), "Select a  source folder"},
      {StringId(128, 15), "About Hamper packer..."},
      {StringId(128, 24), "    Name: \"^0\""},
      {StringId(128, 68), "Find Hamper ^0"},
      {StringId(128, 34), "https://www.harborlantern.example/"},
      {StringId(128, 35), "https://www.harborlantern.example/tessel/support/"},
      {StringId(1000, 12), "OK"},
      {StringId(1000, 100), "Untitled"},
      {StringId(128, 999), ""},  // no such entry
      {StringId(4321, 1), ""},  // no such resource
      {AlertId(1000, 1), "[STOP]Not enough memory for dialog or window![OK]"},
      {AlertId(128, 18),
       "[STOP][Stop Pack?]Do you wish to stop the packing that is currently  in progress?[No][Yes]"},
  };
  for (const Case& c : cases) {
    const std::string text = DecodeResourceId(c.id).kind == EResourceKind::kAlert
                                 ? GetAlertScript(c.id)
                                 : GetString(c.id);
    EXPECT_EQ(text, c.expected) << c.id;
  }
  EXPECT_EQ(GetString(StringId(128, 4), {"Drums.hmp"}), "Creating Drums.hmp");
  EXPECT_EQ(GetString(StringId(128, 4)), "Creating ^0");
  EXPECT_EQ(GetMenuScript(MenuId(128, 1)), "File;Open Hamper...#O=20;Quit#Q=25");

  const std::string low_memory = GetString(StringId(1000, 22));
  EXPECT_EQ(low_memory.front(), '\r');
  EXPECT_NE(low_memory.find("\r\r"), std::string::npos);
  EXPECT_TRUE(low_memory.ends_with("the application will try to reclaim the needed memory."));
  EXPECT_EQ(low_memory.find_first_of("\n\t"), std::string::npos);
}

TEST(ResourceLookup, EveryEmbeddedScriptParses) {
  int count = 0;
  for (const EmbeddedResource* e = EmbeddedResources(); e->name != nullptr; ++e, ++count) {
    const std::string name = e->name;
    const std::size_t dash = name.find('-');
    ASSERT_EQ(dash, 4u) << name;
    const CStringResource r(CResourceType(name.substr(0, 4)), std::stoul(name.substr(5)),
                            std::string_view(reinterpret_cast<const char*>(e->bytes), e->size));
    EXPECT_FALSE(r.GetEntries().empty()) << name;
    for (const auto& entry : r.GetEntries()) {
      EXPECT_EQ(entry.text.find_first_of("\n\t{"), std::string::npos) << name << " " << entry.item;
    }
  }
  EXPECT_EQ(count, 5);
}

TEST(ResourceCache, ParsesEachResourceOnceAndServesThreads) {
  const unsigned char strings[] = "1 {one} 2 {two}";
  const unsigned char alerts[] = "1 {[NONE]Hi[OK]}";
  const EmbeddedResource table[] = {{"SSTR-5", strings, sizeof strings - 1},
                                    {"SALR-5", alerts, sizeof alerts - 1},
                                    {nullptr, nullptr, 0}};
  CResourceCache cache(table);
  std::vector<std::thread> threads;
  std::vector<int> wrong(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        if (cache.GetText(kStringResourceType, StringId(5, 2)) != "two") ++wrong[t];
        if (cache.GetText(kAlertResourceType, AlertId(5, 1)) != "[NONE]Hi[OK]") ++wrong[t];
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong, std::vector<int>(8, 0));
  EXPECT_EQ(cache.LoadedCount(), 2u);
  const CStringResource* first = cache.GetResource(kStringResourceType, 5);
  EXPECT_EQ(cache.GetResource(kStringResourceType, 5), first);
  EXPECT_EQ(cache.GetResource(kMenuResourceType, 5), nullptr);
  EXPECT_EQ(cache.GetText(kMenuResourceType, MenuId(5, 1)), "");
  EXPECT_EQ(cache.LoadedCount(), 2u);
}

TEST(ResourceCache, AMalformedScriptFailsEveryTimeAndIsNotKept) {
  const unsigned char broken[] = "1 {never closed";
  const EmbeddedResource table[] = {{"SSTR-9", broken, sizeof broken - 1}, {nullptr, nullptr, 0}};
  CResourceCache cache(table);
  EXPECT_THROW(cache.GetText(kStringResourceType, StringId(9, 1)), XBadFormat);
  EXPECT_THROW(cache.GetText(kStringResourceType, StringId(9, 1)), XBadFormat);
  EXPECT_EQ(cache.LoadedCount(), 0u);
}
