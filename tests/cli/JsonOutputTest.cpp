// Every command's --json over names and texts that are not UTF-8: no object repeats a key, and
// every text reads back to its bytes (from its "Hex" member where it has one), as a reader in
// another language takes it.

#include <gtest/gtest.h>

#include "cli/PackedContent.h"
#include "support/ContentFolder.h"

using namespace packedtest;

namespace {

// Reads one JSON document; fails on a repeated key, on a text with U+FFFD and no bytes beside it,
// on bytes with no text or bytes that do not match their text. Prints every text read back, in
// hex, one a line.
constexpr const char* kReader = R"(import json, sys
texts = []
def pairs(items):
    keys = [k for k, _ in items]
    repeated = {k for k in keys if keys.count(k) > 1}
    if repeated: sys.exit("repeated keys: %s" % sorted(repeated))
    members = dict(items)
    for key, value in items:
        if key.endswith("Hex"):
            base = key[:-3]
            if base not in members: sys.exit("%s has no %s" % (key, base))
            hexes = value if isinstance(value, list) else [value]
            plain = members[base] if isinstance(value, list) else [members[base]]
            for h, t in zip(hexes, plain):
                if bytes.fromhex(h).decode("utf-8", "replace") != t: sys.exit("%s does not match %s" % (key, base))
                texts.append(bytes.fromhex(h))
            continue
        values = value if isinstance(value, list) else [value]
        strings = [v for v in values if isinstance(v, str)]
        if key + "Hex" not in members:
            for s in strings:
                if "\ufffd" in s: sys.exit("%s lost bytes: %r" % (key, s))
                texts.append(s.encode())
    return members
json.load(sys.stdin, object_pairs_hook=pairs)
for t in texts: print(t.hex())
)";

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) hex += {digits[c >> 4], digits[c & 15]};
  return hex;
}

TEST(JsonOutput, KeysAreUniqueAndEveryTextReadsBack) {
  if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 is not installed";
  test::TempDir dir;
  const fs::path kit = dir / "Kit\xFF";
  test::WriteFileBytes(kit / "Splash.jpg", contenttest::Splash());
  test::WriteFileText(kit / "INFO.TXT", "NAME \"Kit\xE9\"\nCOMMENTS \"caf\xE9\"\n");
  test::WriteFileBytes(kit / "Samples/k\xE9.wav", contenttest::Wave());
  test::WriteFileBytes(kit / "Samples/T\xE9.wav", contenttest::Wave());
  test::WriteFileBytes(kit / "Samples/t\xE9.wav", contenttest::Wave());
  test::WriteFileBytes(kit / "Samples/bad\xE9.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  fs::create_symlink("nowhere.wav", kit / "Samples/gone\xFE.wav");
  test::WriteFileBytes(kit / "Songs/g\xE9.tns", contenttest::Authored(contenttest::SongScript("k\xE9.wav", "Bass\xE9")));
  test::WriteFileText(dir / "reader.py", kReader);

  const auto run = [&](const std::string& args, int code) {
    std::string out;
    EXPECT_EQ(test::RunCommand("cd " + Q(dir.Path()) + " && '" + HAMPER_EXE + "' " + args + " 2>/dev/null >out.json",
                               nullptr),
              code)
        << args;
    EXPECT_EQ(test::RunCommand("cd " + Q(dir.Path()) + " && python3 reader.py <out.json", &out, true), 0) << args << "\n"
                                                                                                            << out;
    return out;
  };
  struct Case {
    std::string args;
    int code;
    std::vector<std::string> texts;  // some of the texts it holds
  };
  std::vector<Case> cases = {
      {"pack -q --skip-bad --json 'Kit\xFF' -o 'out\xFF.hmp'", 0,
       {"out\xFF.hmp", "Samples:bad\xE9.wav", "Samples:T\xE9.wav", "Samples:t\xE9.wav", "Samples:gone\xFE.wav",
        "Bass\xE9"}},
      {"list --json 'out\xFF.hmp'", 0, {"Kit\xE9", "caf\xE9", "Samples:k\xE9.wav", "Songs:g\xE9.tns"}},
      {"list --long --json 'out\xFF.hmp'", 0, {"Samples:k\xE9.wav"}},
      {"info --json 'out\xFF.hmp'", 0, {"out\xFF.hmp", "Kit\xE9", "caf\xE9", "Bass\xE9", "Songs:g\xE9.tns"}},
      {"refs --json 'Kit\xFF/Songs/g\xE9.tns'", 0, {"Kit\xFF/Songs/g\xE9.tns", "k\xE9.wav", "Bass\xE9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string texts = run(c.args, c.code);
    for (const std::string& text : c.texts) EXPECT_NE(texts.find(Hex(text) + "\n"), std::string::npos) << text;
  }

  // A source that changed, a reference that resolves nowhere, a Hamper cut short.
  test::WriteFileBytes(kit / "Samples/k\xE9.wav", contenttest::Wave(2));
  test::WriteFileBytes(kit / "Songs/lost\xE9.tns", contenttest::Authored(contenttest::SongScript("lost\xE9.wav")));
  Bytes hamper = test::ReadFileBytes(dir / "out\xFF.hmp");
  hamper.resize(hamper.size() - 10);
  test::WriteFileBytes(dir / "cut\xFF.hmp", hamper);
  cases = {
      {"verify --json 'out\xFF.hmp' --source 'Kit\xFF'", 1, {"out\xFF.hmp", "Kit\xFF", "Samples:k\xE9.wav"}},
      {"check --json 'Kit\xFF'", 1,
       {"Kit\xFF", "Kit\xE9", "Samples:bad\xE9.wav", "Songs:lost\xE9.tns", "lost\xE9.wav", "Samples:gone\xFE.wav"}},
      {"info --json 'cut\xFF.hmp'", 1, {"cut\xFF.hmp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string texts = run(c.args, c.code);
    for (const std::string& text : c.texts) EXPECT_NE(texts.find(Hex(text) + "\n"), std::string::npos) << text;
  }
}

}  // namespace
