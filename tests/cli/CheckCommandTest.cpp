#include <gtest/gtest.h>

#include "support/ContentFolder.h"

namespace fs = std::filesystem;

// One run finds every problem of a folder that has many.
TEST(CheckCommand, ReportsEveryProblemAtOnce) {
  test::TempDir dir;
  const fs::path in = dir / "In";
  contenttest::WriteUsualFolder(in);
  fs::remove(in / "Splash.jpg");
  test::WriteFileText(in / "INFO.TXT", "COMMENTS \"no name\"");
  test::WriteFileBytes(in / "Samples/bad.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  test::WriteFileBytes(in / "Samples/three.wav",
                       sampletest::Container("RIFF", "WAVE", {{"fmt ", sampletest::Fmt(1, 3, 8000, 16)}, {"data", {}}}));
  test::WriteFileBytes(in / "Songs/lost.tns", contenttest::Authored(contenttest::SongScript("lost.wav", "Bass Pack")));
  test::WriteFileBytes(in / "Samples/KICK.wav", contenttest::Wave());
  std::string out;
  EXPECT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " check --json " + in.string(), &out), 1);
  // The twins are named in the order the file system lists them.
  const bool lowerFirst = out.find("\"twin\": \"Samples:kick.wav\"") != std::string::npos;
  const std::string twins = lowerFirst ? "\"path\": \"Samples:KICK.wav\", \"twin\": \"Samples:kick.wav\""
                                       : "\"path\": \"Samples:kick.wav\", \"twin\": \"Samples:KICK.wav\"";
  EXPECT_EQ(out, "{\n  \"folder\": \"" + in.string() + "\",\n  \"name\": \"\",\n  \"packableFiles\": 7,\n"
                 "  \"problems\": [\n"
                 "    {\"file\": \"\", \"kind\": \"no name\", \"detail\": \"no NAME.TXT, and no NAME in INFO.TXT\"},\n"
                 "    {\"file\": \"\", \"kind\": \"no splash\", \"detail\": \"a 64 x 64 Splash.jpg is needed at the top level\"},\n"
                 "    {\"file\": \"Samples:bad.wav\", \"kind\": \"bad format\", \"detail\": \"WAV file without a \\\"fmt \\\" chunk\"},\n"
                 "    {\"file\": \"Samples:three.wav\", \"kind\": \"unsupported format\", \"detail\": \"WAV file with 3 channels (only mono and stereo)\"},\n"
                 "    {\"file\": \"Songs:lost.tns\", \"kind\": \"bad reference\", \"detail\": \"lost.wav\", "
                 "\"reason\": \"found through none of its paths\"}\n"
                 "  ],\n"
                 "  \"externalHampers\": [\n"
                 "    {\"file\": \"Songs:lost.tns\", \"hampers\": [\"Bass Pack\"]}\n"
                 "  ],\n"
                 "  \"warnings\": [\n"
                 "    {\"kind\": \"letter-case twins\", " + twins + ", \"cause\": \"the two differ only in "
                 "letter case: both are packed, but a reader that ignores case cannot tell them apart\"}\n"
                 "  ]\n}\n");
  EXPECT_EQ(contenttest::FilesIn(dir.Path()).size(), 9u) << "nothing is written";

  // The usual folder has nothing to report.
  fs::remove_all(in);
  contenttest::WriteUsualFolder(in);
  out.clear();
  EXPECT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " check " + in.string(), &out), 0);
  EXPECT_EQ(out, in.string() + ": Hamper \"Test Kit\", 4 packable files\nNo problems: the folder can be packed.\n");
}

// check and pack judge a folder alike: what check lets through packs, what it refuses pack refuses,
// and both warn about the same things.
TEST(CheckCommand, AgreesWithPack) {
  struct Case {
    const char* name;
    void (*change)(const fs::path& in);
    int code;                // of both commands
    const char* checkSays;   // in check's report
    const char* packSays;    // on pack's standard error
  };
  const Case cases[] = {
      {"a folder whose name holds a colon",
       [](const fs::path& in) { test::WriteFileBytes(in / "Odd:Kits/kick2.wav", contenttest::Wave()); }, 1,
       "Odd:Kits:kick2.wav: unsupported format: \"Odd:Kits\" (in \"Odd:Kits:kick2.wav\"): a name in a Hamper cannot "
       "contain \":\"",
       "Unsupported format: The file \"Odd:Kits:kick2.wav\" is in an unsupported format. Continue without this file?"},
      {"a second splash, too large",
       [](const fs::path& in) { test::WriteFileBytes(in / "SPLASH.JPG", contenttest::Splash(128, 128)); }, 1,
       "SPLASH.JPG: bad splash: JPEG picture of 128 x 128 pixels is larger than 64 x 64",
       "Bad format for Hamper splash: The splash image (Splash.jpg) must be a JPEG with the size 64x64 pixels."},
      {"a link to nothing",
       [](const fs::path& in) { fs::create_symlink("gone.wav", in / "Samples/lost.wav"); }, 0,
       "\"Samples:lost.wav\" is a link to a file that is not there: it is left out",
       "hamper: warning: \"Samples:lost.wav\" is a link to a file that is not there: it is left out"},
      {"a song that needs another Hamper",
       [](const fs::path& in) {
         test::WriteFileBytes(in / "Songs/groove.tns", contenttest::Authored(contenttest::SongScript("kick.wav", "Bass Pack")));
       },
       0, "Songs:groove.tns: 'Bass Pack'", "External Hampers: Bass Pack"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    contenttest::WriteUsualFolder(dir / "In");
    c.change(dir / "In");
    std::string out;
    EXPECT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " check " + (dir / "In").string(), &out), c.code);
    EXPECT_NE(out.find(c.checkSays), std::string::npos) << out;
    EXPECT_EQ(test::RunCommand("cd " + dir.Path().string() + " && " + HAMPER_EXE + " pack -q In -o out.hmp </dev/null",
                               &out, true),
              c.code);
    EXPECT_NE(out.find(c.packSays), std::string::npos) << out;
    EXPECT_EQ(fs::exists(dir / "out.hmp"), c.code == 0);
  }
}

// A reference whose database path names the folder it was saved in, packed from a copy under
// another name, resolves nowhere: check, refs and pack all say why, in the same words.
TEST(CheckCommand, SaysWhyAReferenceResolvesNowhere) {
  test::TempDir dir;
  fs::copy(fs::path(HAMPER_SOURCE_DIR) / "examples" / "Harbor Drums", dir / "Copy", fs::copy_options::recursive);
  const std::string why = "its database path names the folder \\\"Harbor Drums\\\"; this folder is \\\"Copy\\\"";
  const std::string quoted = "its database path names the folder \"Harbor Drums\"; this folder is \"Copy\"";
  const std::string copy = (dir / "Copy").string();
  struct Case {
    std::string args;
    std::string says;
  };
  const Case cases[] = {
      {"check '" + copy + "'",
       "Patches:Harbor Kit.drp: bad reference: refers to 'Hat Closed.aif', which is neither in the folder nor in "
       "another Hamper (" + quoted + ")"},
      {"check --json '" + copy + "'",
       "{\"file\": \"Patches:Harbor Kit.drp\", \"kind\": \"bad reference\", \"detail\": \"Hat Closed.aif\", "
       "\"reason\": \"" + why + "\"}"},
      {"refs '" + copy + "/Patches/Harbor Kit.drp'", "\"Hat Closed.aif\": internal, RESOLVES NOWHERE (" + quoted + ")"},
      {"pack -q '" + copy + "' -o '" + (dir / "out.hmp").string() + "' 2>&1",
       "refers to 'Hat Closed.aif'. This file is not included in this Hamper and not part of any external Hamper. "
       "Cancelling.\n  (" + quoted + ")\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::string out;
    EXPECT_EQ(test::RunCommand(std::string(HAMPER_EXE) + " " + c.args + " </dev/null", &out), 1);
    EXPECT_NE(out.find(c.says), std::string::npos) << out;
  }
}
