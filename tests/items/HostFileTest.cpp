#include <gtest/gtest.h>

#include "framework/iff/IFFFileReader.h"
#include "items/HostFile.h"
#include "items/ZlibStream.h"
#include "references/ReferenceFixtures.h"

using reftest::ContentFolder;

namespace {

const char* const kRefs = R"(refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
  embed "embedded"
  ref "bass.wav"
    hamper "Bass Pack"
end
)";

std::string Script(const std::string& kind, const std::string& extra = "") {
  return "kind " + kind + "\nchunk NAME \"Lead\"\n" + kRefs + "chunk TAIL hex \"010203\"\n" + extra;
}

std::vector<std::uint8_t> Rewrite(EHostFileKind kind, const std::vector<std::uint8_t>& bytes,
                                  const CReferenceContext& context) {
  const auto in = reftest::MediaOf(bytes);
  NSFerryman::CMemoryMedia out;
  const std::uint64_t size = RewriteHostFile(kind, *in, out, context);
  EXPECT_EQ(size, out.GetSize());
  return {out.Data(), out.Data() + out.GetSize()};
}

// The chunks of a published song's outer form, with the body unpacked.
struct COuterChunk {
  std::string code;
  std::vector<std::uint8_t> bytes;
  bool operator==(const COuterChunk&) const = default;
};

std::vector<COuterChunk> OuterChunks(const std::vector<std::uint8_t>& file, bool deflated) {
  const auto media = reftest::MediaOf(file);
  NSFerryman::CIFFFileReader reader(*media, NSFerryman::EIFFByteOrder::kBigEndian);
  reader.EnterForm(deflated ? "TPS2" : "TNPS");
  std::vector<COuterChunk> chunks;
  if (!reader.EnterFirst()) return chunks;
  do {
    NSFerryman::CMedia& contents = reader.GetCurrentMedia();
    contents.SetPosition(0);
    NSFerryman::CMemoryMedia bytes;
    const bool body = reader.GetCurrentChunk().chars == NSFerryman::CFourCharCode("BODY");
    if (body && deflated) {
      InflateMedia(contents, bytes);
    } else {
      bytes.CopyFrom(contents, static_cast<std::int64_t>(contents.GetSize()));
    }
    chunks.push_back({NSFerryman::QuoteIFFCode(reader.GetCurrentChunk().chars),
                      std::vector<std::uint8_t>(bytes.Data(), bytes.Data() + bytes.GetSize())});
  } while (reader.Next());
  return chunks;
}

}  // namespace

// Songs and all four patch kinds: the rewrite is the same file with rewritten records.
TEST(HostFile, SongsAndPatchesAreRewrittenChunkByChunk) {
  ContentFolder content;
  const CReferenceContext context = content.Context("lead.zyp");
  for (const char* kind : {"song", "polywinder", "sx24", "thumpr", "looptor"}) {
    SCOPED_TRACE(kind);
    const EHostFileKind hostKind = std::string(kind) == "song" ? EHostFileKind::kSong : EHostFileKind::kPatch;
    const auto source = reftest::Authored(Script(kind));
    const auto rewritten = Rewrite(hostKind, source, context);
    const auto expected = reftest::Authored(Script(kind).replace(Script(kind).find("    relative"), 0,
                                                                 "    hamper \"Demo Kit\" \"http___example.com_demo_\"\n"
                                                                 "    database \"Demo Kit\" \"Samples\" \"kick.wav\"\n"));
    EXPECT_EQ(rewritten, expected);
    ExternalHamperNames names;
    const auto media = reftest::MediaOf(source);
    CheckHostFile(hostKind, *media, context, names);
    EXPECT_EQ(names, ExternalHamperNames{"Bass Pack"});
    EXPECT_EQ(HostFileKindOf(*reftest::MediaOf(source)), hostKind);
    EXPECT_EQ(ReadHostFileReferences(hostKind, *reftest::MediaOf(source)).size(), 2u);
  }
}

TEST(HostFile, PublishedSongsCarryTheRewrittenSongInTheirBody) {
  ContentFolder content;
  const CReferenceContext context = content.Context("demo.tps");
  for (const bool second : {false, true}) {
    SCOPED_TRACE(second ? "second generation" : "first generation");
    const std::string kind = second ? "published-song-2" : "published-song-1";
    const std::string outer = "outer chunk AUTH \"Someone\"\nbody\nouter form ARTW \"picture\"\n";
    const auto source = reftest::Authored(Script(kind, outer));
    const auto rewritten = Rewrite(EHostFileKind::kPublishedSong, source, context);

    const auto song = reftest::Authored(Script("song"));
    const std::vector<COuterChunk> expected = {
        {"\"AUTH\"", {'S', 'o', 'm', 'e', 'o', 'n', 'e'}},
        {"\"BODY\"", reftest::RewriteSong(song, context)},
        {"\"ARTW\"", {'p', 'i', 'c', 't', 'u', 'r', 'e'}}};
    EXPECT_EQ(OuterChunks(rewritten, second), expected);

    ExternalHamperNames names;
    CheckHostFile(EHostFileKind::kPublishedSong, *reftest::MediaOf(source), context, names);
    EXPECT_EQ(names, ExternalHamperNames{"Bass Pack"});
    EXPECT_EQ(ReadHostFileReferences(EHostFileKind::kPublishedSong, *reftest::MediaOf(source)).size(), 2u);
  }
}

TEST(HostFile, MissingMainChunksAreBadFormat) {
  ContentFolder content;
  const CReferenceContext context = content.Context("x.tns");
  const std::pair<EHostFileKind, std::string> cases[] = {
      {EHostFileKind::kSong, "kind polywinder\n"},      // a patch where a song belongs: no "TS10"
      {EHostFileKind::kPatch, "kind song\nrefs\nend\n"},  // no "PTCH"
      {EHostFileKind::kPublishedSong, "kind song\nrefs\nend\n"},
      {EHostFileKind::kPublishedSong, "kind published-song-1\nouter chunk BODY \"not a song\"\nbody\n"},
  };
  for (const auto& [kind, script] : cases) {
    SCOPED_TRACE(script);
    ExternalHamperNames names;
    const auto bytes = reftest::Authored(script);
    EXPECT_THROW(CheckHostFile(kind, *reftest::MediaOf(bytes), context, names), NSFerryman::XBadFormat);
    NSFerryman::CMemoryMedia out;
    EXPECT_THROW(RewriteHostFile(kind, *reftest::MediaOf(bytes), out, context), NSFerryman::XBadFormat);
  }
  // A second-generation body that is not a zlib stream.
  auto damaged = reftest::Authored(Script("published-song-2"));
  damaged[damaged.size() - 20] ^= 0xFF;
  ExternalHamperNames names;
  EXPECT_THROW(CheckHostFile(EHostFileKind::kPublishedSong, *reftest::MediaOf(damaged), context, names),
               NSFerryman::XBadFormat);
  EXPECT_THROW(HostFileKindOf(*reftest::MediaOf({1, 2, 3})), NSFerryman::XBadFormat);
}
