// The IFF readers: the level-by-level walk of CIFFFileReader over every group of the file, in
// both byte orders, and the simple chunk finder of CIFFReader for the containers we read (FORM,
// RIFF) and for the container-less chunk list of MIDI files.
//
// Every chunk the walk meets must lie inside its level, and its contents window must be exactly
// as long as the chunk says.

#include "framework/iff/IFFFileReader.h"
#include "framework/iff/IFFReader.h"
#include "fuzz/FuzzInput.h"

using namespace NSFerryman;

namespace {

// Walks the level the reader stands in; returns the chunks met.
std::size_t WalkLevel(CIFFFileReader& reader, MediaSize levelSize) {
  std::size_t chunks = 0;
  if (!reader.EnterFirst()) return 0;
  do {
    ++chunks;
    const CIFFChunk chunk = reader.GetCurrentChunk();
    CMedia& contents = reader.GetCurrentMedia();
    fuzz::Expect(contents.GetSize() == chunk.ContentLength(), "a chunk's window differs from its size");
    fuzz::Expect(chunk.start + chunk.HeaderLength() + chunk.ContentLength() <= levelSize,
                 "a chunk reaches past its level");
    if (contents.GetSize() > 0) {
      std::uint8_t last;
      contents.ReadAt(contents.GetSize() - 1, 1, &last);
    }
    if (chunk.IsGroup()) {
      const std::size_t depth = reader.GetDepth();
      // A damaged child ends the walk of this group only.
      fuzz::Tolerate([&] { chunks += WalkLevel(reader, contents.GetSize()); });
      fuzz::Expect(reader.GetDepth() >= depth, "the walk left more levels than it entered");
      while (reader.GetDepth() > depth) reader.Leave();
    }
  } while (reader.Next());
  return chunks;
}

void WalkFile(CMedia& media, EIFFByteOrder order) {
  fuzz::Tolerate([&] {
    CIFFFileReader reader(media, order);
    WalkLevel(reader, media.GetSize());
    fuzz::Expect(reader.GetDepth() == 0, "the walk did not come back to the top");
  });
  // The entering look-ups a parser starts with.
  fuzz::Tolerate([&] {
    CIFFFileReader reader(media, order);
    if (reader.TryEnterForm("PTCH") || reader.TryEnterCAT("TS10") || reader.TryEnterChunk("BODY")) {
      reader.TryEnterCAT("REFS");
    }
  });
}

void FindChunks(CIFFReader& reader, std::initializer_list<const char*> ids) {
  for (const char* id : ids) {
    fuzz::Tolerate([&] {
      std::uint32_t size = 0;
      if (reader.FindChunk(id, size)) {
        std::uint8_t head[18];
        reader.ReadChunk(id, head, 0, size < sizeof head ? size : sizeof head);
      }
    });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto media = fuzz::MediaOf(data, size);
  WalkFile(*media, EIFFByteOrder::kBigEndian);
  WalkFile(*media, EIFFByteOrder::kLittleEndian);

  CIFFReader form(*media, "FORM");
  FindChunks(form, {"COMM", "SSND", "INST", "MARK"});
  RIFF_READER riff(*media);
  FindChunks(riff, {"fmt ", "data", "smpl"});
  CMIDIFileReader midi(*media);
  FindChunks(midi, {"MThd", "MTrk"});
  return 0;
}
