#include <gtest/gtest.h>

#include <functional>

#include "items/AudioPacker.h"
#include "items/ItemOperations.h"
#include "items/PictureTestFiles.h"
#include "items/SampleTestFiles.h"
#include "references/ReferenceFixtures.h"
#include "support/SLCTestFiles.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Midi(std::uint16_t division) {
  Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
  sampletest::PutBE(b, division, 2);
  const Bytes track = {'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
  b.insert(b.end(), track.begin(), track.end());
  return b;
}

Bytes Wave(std::uint16_t channels) {
  return sampletest::Container("RIFF", "WAVE", {{"fmt ", sampletest::Fmt(1, channels, 22050, 16)},
                                                {"data", Bytes(std::size_t{channels} * 2 * 50, 1)}});
}

Bytes Aiff(std::int16_t channels) {
  return sampletest::Container("FORM", "AIFF", {{"COMM", sampletest::Comm(channels, 50, 16, 22050)},
                                                {"SSND", sampletest::Ssnd(Bytes(std::size_t(channels) * 2 * 50, 1))}});
}

Bytes Cut(Bytes bytes, std::size_t keep) {
  bytes.resize(std::min(bytes.size(), keep));
  return bytes;
}

}  // namespace

// The check of stage 1, through the dispatch by file type: for each type a file that passes and
// one that fails with the exception a pack reports for it.
TEST(ItemOperations, EachTypeHasItsCheck) {
  reftest::ContentFolder content;
  CItemContext context;
  context.references = content.Context("file");
  CSLCLibrary slc;
  ASSERT_EQ(slc.Load(HAMPER_SLC_LIBRARY_FILE), kSLCLibSuccess);
  context.slcLibrary = &slc;
  test::TempDir dir;
  const Bytes jpeg = picturetest::MakeJPEG({});
  const Bytes tiff = picturetest::MakeTIFF({}, dir / "p.tif");
  enum EFails { kPasses, kBad, kUnsupported };
  struct Case {
    const CFileType& type;
    const char* what;
    Bytes bytes;
    EFails fails;
  };
  const std::string refs = "refs\n ref \"kick.wav\"\n  relative 1 \"Samples\" \"kick.wav\"\nend\n";
  const Case cases[] = {
      {WaveFileType(), "a mono WAV", Wave(1), kPasses},
      {WaveFileType(), "a WAV of three channels", Wave(3), kUnsupported},
      {AudioIffFileType(), "a stereo AIFF", Aiff(2), kPasses},
      {AudioIffFileType(), "an AIFF without COMM", sampletest::Container("FORM", "AIFF", {}), kBad},
      {AudioIffFileType(), "an AIFF without SSND",
       sampletest::Container("FORM", "AIFF", {{"COMM", sampletest::Comm(1, 50, 16, 22050)}}), kBad},
      {AudioIffFileType(), "an AIFF cut short in its audio", Cut(Aiff(1), Aiff(1).size() - 1), kBad},
      {WaveFileType(), "a WAV cut short in its audio", Cut(Wave(1), Wave(1).size() - 1), kBad},
      {JpegBitmapFileType(), "a JPEG", jpeg, kPasses},
      {JpegBitmapFileType(), "a truncated JPEG", Cut(jpeg, jpeg.size() / 2), kBad},
      {TiffFileType(), "a TIFF", tiff, kPasses},
      {TiffFileType(), "a truncated TIFF", Cut(tiff, tiff.size() / 2), kBad},
      {MidiFileType(), "a MIDI file", Midi(96), kPasses},
      {MidiFileType(), "a MIDI file of division 0", Midi(0), kBad},
      {HiddenPadFileType(), "a PAD file", Bytes(5000, 7), kPasses},
      {TesselSongFileType(), "a song", reftest::Authored("kind song\n" + refs), kPasses},
      {TesselSongFileType(), "a song without the TS10 group", reftest::Authored("kind polywinder\n" + refs), kBad},
      {PublishedTesselSongFileType(), "a published song", reftest::Authored("kind published-song-2\n" + refs), kPasses},
      {PublishedTesselSongFileType(), "a published song without a body", Cut(reftest::Authored("kind published-song-1\n" + refs), 12), kBad},
      {PolywinderPatchFileType(), "a patch", reftest::Authored("kind polywinder\n" + refs), kPasses},
      {SX24SamplerPatchFileType(), "a patch without PTCH", reftest::Authored("kind song\n" + refs), kBad},
      {ThumprPatchFileType(), "a Thumpr patch", reftest::Authored("kind thumpr\n" + refs), kPasses},
      {LooptorPatchFileType(), "a Looptor patch", reftest::Authored("kind looptor\n" + refs), kPasses},
      {Slivver2FileType(), "a sliced loop", slctest::LoopFile(), kPasses},
      {SlcFileType(), "an empty sliced loop", {}, kBad},
      {Slivver1FileType(), "a truncated sliced loop", Cut(slctest::LoopFile(), 100), kBad},
      {TextFileType(), "anything of another type", {1, 2, 3}, kPasses},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto media = reftest::MediaOf(c.bytes);
    ExternalHamperNames names;
    const auto check = [&] { CheckItem(c.type, *media, context, names); };
    switch (c.fails) {
      case kPasses: EXPECT_NO_THROW(check()); break;
      case kBad:
        try {
          check();
          ADD_FAILURE() << "passed";
        } catch (const NSFerryman::XUnsupportedFormat& e) {
          ADD_FAILURE() << "unsupported: " << e.what();
        } catch (const NSFerryman::XBadFormat&) {
        }
        break;
      case kUnsupported: EXPECT_THROW(check(), NSFerryman::XUnsupportedFormat); break;
    }
  }
}

// The stored bytes: copies are the files themselves, audio is what encode-audio writes, and the
// stored size counts from where the item starts in the output.
TEST(ItemOperations, PackedBytes) {
  reftest::ContentFolder content;
  CItemContext context;
  context.references = content.Context("file");
  const Bytes wave = Wave(2);
  NSFerryman::CMemoryMedia alone;
  PackAudioItem(*reftest::MediaOf(wave), alone);
  const Bytes jpeg = picturetest::MakeJPEG({});
  const std::pair<const CFileType*, std::pair<Bytes, Bytes>> cases[] = {
      {&WaveFileType(), {wave, Bytes(alone.Data(), alone.Data() + alone.GetSize())}},
      {&JpegBitmapFileType(), {jpeg, jpeg}},
      {&MidiFileType(), {Midi(96), Midi(96)}},
      {&SlcFileType(), {slctest::LoopFile(), slctest::LoopFile()}},
      {&HiddenPadFileType(), {Bytes(70000, 3), Bytes(70000, 3)}},
  };
  for (const auto& [type, files] : cases) {
    SCOPED_TRACE(type->GetDescription());
    NSFerryman::CMemoryMedia output;
    output.Write(10, "before it.");
    const std::uint64_t stored = PackItem(*type, *reftest::MediaOf(files.first), output, context);
    EXPECT_EQ(stored, files.second.size());
    EXPECT_EQ(Bytes(output.Data() + 10, output.Data() + output.GetSize()), files.second);
  }
}
