#include "items/HostFile.h"

#include "framework/iff/IFFFileReader.h"
#include "framework/iff/IFFFileWriter.h"
#include "framework/media/SpillMedia.h"
#include "items/ZlibStream.h"
#include "references/ReferenceGroups.h"

using NSFerryman::CFourCharCode;
using NSFerryman::CIFFChunk;
using NSFerryman::CIFFFileReader;
using NSFerryman::CIFFFileWriter;
using NSFerryman::CMedia;
using NSFerryman::CScratchFolder;
using NSFerryman::EIFFByteOrder;
using NSFerryman::XBadFormat;

namespace {

constexpr CFourCharCode kSongType{"TS10"};
constexpr CFourCharCode kPatchType{"PTCH"};
constexpr CFourCharCode kPublishedType1{"TNPS"};
constexpr CFourCharCode kPublishedType2{"TPS2"};
constexpr CFourCharCode kBodyID{"BODY"};
constexpr NSFerryman::MediaSize kRewriteMemoryLimit = NSFerryman::MediaSize{8} << 20;

// The first generation is recognised by its first 12 bytes; everything else is taken for the
// second. The position is restored.
CFourCharCode PublishedSongType(CMedia& file) {
  const NSFerryman::MediaSize position = file.GetPosition();
  std::uint8_t head[12] = {};
  bool first = false;
  if (file.GetSize() >= 12) {
    file.ReadAt(0, sizeof head, head);
    first = CFourCharCode(std::string_view(reinterpret_cast<const char*>(head), 4)) == CIFFChunk::kFormID &&
            CFourCharCode(std::string_view(reinterpret_cast<const char*>(head) + 8, 4)) == kPublishedType1;
  }
  file.SetPosition(position);
  return first ? kPublishedType1 : kPublishedType2;
}

void EnterMainChunk(CIFFFileReader& reader, EHostFileKind kind) {
  if (kind == EHostFileKind::kPatch) {
    reader.EnterForm(kPatchType);
  } else {
    reader.EnterCAT(kSongType);
  }
}

void BeginMainChunk(CIFFFileWriter& writer, EHostFileKind kind) {
  if (kind == EHostFileKind::kPatch) {
    writer.BeginForm(kPatchType);
  } else {
    writer.BeginCAT(kSongType);
  }
}

// Unpacks the body chunk the reader stands in: the song itself, or inflated.
void UnpackBody(CMedia& body, CFourCharCode type, CMedia& song) {
  body.SetPosition(0);
  if (type == kPublishedType1) {
    song.CopyFrom(body, static_cast<std::int64_t>(body.GetSize()));
  } else {
    InflateMedia(body, song, kMaxPublishedSongBodyBytes);
  }
  song.SetPosition(0);
}

void CheckMainChunk(EHostFileKind kind, CMedia& file, const CReferenceContext& context, ExternalHamperNames& names) {
  file.SetPosition(0);
  CIFFFileReader reader(file, EIFFByteOrder::kBigEndian);
  EnterMainChunk(reader, kind);
  CheckReferencesOfChunk(reader, context, names);
}

std::uint64_t RewriteMainChunk(EHostFileKind kind, CMedia& file, CMedia& output, const CReferenceContext& context,
                               const CScratchFolder& scratch) {
  // Written whole first (in memory, or a scratch file for a large one): the item's bytes reach
  // the output only once the rewrite has succeeded.
  NSFerryman::CSpillMedia rewritten(kRewriteMemoryLimit, scratch);
  {
    file.SetPosition(0);
    CIFFFileReader reader(file, EIFFByteOrder::kBigEndian);
    CIFFFileWriter writer(rewritten, EIFFByteOrder::kBigEndian);
    EnterMainChunk(reader, kind);
    BeginMainChunk(writer, kind);
    CopyChunksRewritingReferences(reader, writer, context);
    writer.Close();
  }
  const NSFerryman::MediaSize size = rewritten.GetSize();
  rewritten.SetPosition(0);
  output.CopyFrom(rewritten, static_cast<std::int64_t>(size));
  return size;
}

// The song a published song carries in its first body, unpacked into `song`.
void UnpackPublishedSong(CMedia& file, CMedia& song) {
  const CFourCharCode type = PublishedSongType(file);
  file.SetPosition(0);
  CIFFFileReader reader(file, EIFFByteOrder::kBigEndian);
  reader.EnterForm(type);
  reader.EnterChunk(kBodyID);
  UnpackBody(reader.GetCurrentMedia(), type, song);
}

void CheckPublishedSong(CMedia& file, const CReferenceContext& context, ExternalHamperNames& names,
                        const CScratchFolder& scratch) {
  const std::unique_ptr<CMedia> song = scratch.CreateFile();
  UnpackPublishedSong(file, *song);
  CheckMainChunk(EHostFileKind::kSong, *song, context, names);
}

std::uint64_t RewritePublishedSong(CMedia& file, CMedia& output, const CReferenceContext& context,
                                   const CScratchFolder& scratch) {
  const CFourCharCode type = PublishedSongType(file);
  const NSFerryman::MediaSize start = output.GetPosition();
  file.SetPosition(0);
  CIFFFileReader reader(file, EIFFByteOrder::kBigEndian);
  CIFFFileWriter writer(output, EIFFByteOrder::kBigEndian);
  reader.EnterForm(type);
  writer.BeginForm(type);
  if (reader.EnterFirst()) {
    do {
      const CIFFChunk& chunk = reader.GetCurrentChunk();
      CMedia& contents = reader.GetCurrentMedia();
      if (chunk.IsGroup()) {
        writer.BeginGroup(chunk.kind, chunk.chars);
      } else {
        writer.BeginChunk(chunk.chars);
      }
      if (chunk.kind == CIFFChunk::kPlain && chunk.chars == kBodyID) {
        const std::unique_ptr<CMedia> song = scratch.CreateFile();
        UnpackBody(contents, type, *song);
        const std::unique_ptr<CMedia> rewritten = scratch.CreateFile();
        RewriteMainChunk(EHostFileKind::kSong, *song, *rewritten, context, scratch);
        rewritten->SetPosition(0);
        if (type == kPublishedType1) {
          writer.GetCurrentMedia().CopyFrom(*rewritten, static_cast<std::int64_t>(rewritten->GetSize()));
        } else {
          DeflateMedia(*rewritten, writer.GetCurrentMedia());
        }
      } else {
        contents.SetPosition(0);
        writer.GetCurrentMedia().CopyFrom(contents, static_cast<std::int64_t>(contents.GetSize()));
      }
      writer.EndLevel();
    } while (reader.Next());
  }
  writer.Close();
  return output.GetPosition() - start;
}

void CollectRecords(CIFFFileReader& reader, std::vector<CSF10ReferenceChunk>& records) {
  if (!reader.EnterFirst()) return;
  do {
    const CIFFChunk& chunk = reader.GetCurrentChunk();
    if (chunk.kind == CIFFChunk::kCAT && chunk.chars == kReferenceGroupType) {
      if (reader.EnterFirst()) {
        do {
          const CIFFChunk& child = reader.GetCurrentChunk();
          if (child.kind != CIFFChunk::kPlain || child.chars != kReferenceRecordID) continue;
          reader.GetCurrentMedia().SetPosition(0);
          records.push_back(CSF10ReferenceChunk::Read(reader.GetCurrentMedia()));
        } while (reader.Next());
      }
    }
  } while (reader.Next());
}

}  // namespace

void CheckHostFile(EHostFileKind kind, CMedia& file, const CReferenceContext& context, ExternalHamperNames& names,
                   const CScratchFolder& scratch) {
  if (kind == EHostFileKind::kPublishedSong) {
    CheckPublishedSong(file, context, names, scratch);
  } else {
    CheckMainChunk(kind, file, context, names);
  }
}

std::uint64_t RewriteHostFile(EHostFileKind kind, CMedia& file, CMedia& output, const CReferenceContext& context,
                              const CScratchFolder& scratch) {
  if (kind == EHostFileKind::kPublishedSong) return RewritePublishedSong(file, output, context, scratch);
  return RewriteMainChunk(kind, file, output, context, scratch);
}

EHostFileKind HostFileKindOf(CMedia& file) {
  std::uint8_t head[12] = {};
  if (file.GetSize() < 12) throw XBadFormat("too short for a song or patch");
  file.ReadAt(0, sizeof head, head);
  file.SetPosition(0);
  const auto code = [&](int at) { return CFourCharCode(std::string_view(reinterpret_cast<const char*>(head) + at, 4)); };
  if (code(0) == CIFFChunk::kCATID && code(8) == kSongType) return EHostFileKind::kSong;
  if (code(0) == CIFFChunk::kFormID && code(8) == kPatchType) return EHostFileKind::kPatch;
  if (code(0) == CIFFChunk::kFormID && (code(8) == kPublishedType1 || code(8) == kPublishedType2)) {
    return EHostFileKind::kPublishedSong;
  }
  throw XBadFormat("neither a song, a published song nor a patch");
}

std::vector<CSF10ReferenceChunk> ReadHostFileReferences(EHostFileKind kind, CMedia& file) {
  std::vector<CSF10ReferenceChunk> records;
  if (kind == EHostFileKind::kPublishedSong) {
    const std::unique_ptr<CMedia> song = CScratchFolder::System().CreateFile();
    UnpackPublishedSong(file, *song);
    CIFFFileReader songReader(*song, EIFFByteOrder::kBigEndian);
    songReader.EnterCAT(kSongType);
    CollectRecords(songReader, records);
    return records;
  }
  file.SetPosition(0);
  CIFFFileReader reader(file, EIFFByteOrder::kBigEndian);
  EnterMainChunk(reader, kind);
  CollectRecords(reader, records);
  return records;
}
