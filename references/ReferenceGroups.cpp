#include "references/ReferenceGroups.h"

#include "framework/resources/ResourceId.h"
#include "references/ReferenceErrors.h"

using NSFerryman::CIFFChunk;
using NSFerryman::CIFFFileReader;
using NSFerryman::CIFFFileWriter;
using NSFerryman::CMedia;

namespace {

constexpr NSFerryman::ResourceId kBadReferenceAlert = NSFerryman::AlertId(NSFerryman::kApplicationResources, 15);

bool IsReferenceGroup(const CIFFChunk& chunk) { return chunk.kind == CIFFChunk::kCAT && chunk.chars == kReferenceGroupType; }

void CopyContents(CMedia& from, CMedia& to) {
  from.SetPosition(0);
  to.CopyFrom(from, static_cast<std::int64_t>(from.GetSize()));
}

// Opens the same kind of chunk in the writer, copies the contents and closes it.
void CopyChunk(CIFFFileReader& reader, CIFFFileWriter& writer) {
  const CIFFChunk& chunk = reader.GetCurrentChunk();
  if (chunk.IsGroup()) {
    writer.BeginGroup(chunk.kind, chunk.chars);
  } else {
    writer.BeginChunk(chunk.chars);
  }
  CopyContents(reader.GetCurrentMedia(), writer.GetCurrentMedia());
  writer.EndLevel();
}

// What a reference group may hold: records, and embedded files carried along.
enum class EGroupChild { kRecord, kEmbeddedFile };

EGroupChild ClassifyGroupChild(const CIFFChunk& chunk) {
  if (chunk.kind == CIFFChunk::kPlain && chunk.chars == kReferenceRecordID) return EGroupChild::kRecord;
  if (chunk.kind == CIFFChunk::kForm && chunk.chars == kEmbeddedFileType) return EGroupChild::kEmbeddedFile;
  throw NSFerryman::XBadFormat("\"REFS\" group holds " + std::string(chunk.IsGroup() ? "a group of type " : "a chunk ") +
                               NSFerryman::QuoteIFFCode(chunk.chars));
}

// Runs one record's work; an unresolvable reference is reported as the context asks. Answers
// false when the record was set aside (listed as unresolved).
template <class Work>
bool WithBadReferenceReport(const CReferenceContext& context, const CSF10ReferenceChunk& record, Work&& work) {
  try {
    work();
    return true;
  } catch (const XBadReference& e) {
    if (context.unresolved) {
      context.unresolved->push_back({record.displayName, e.what()});
      return false;
    }
    if (!context.alerts) throw;
    NSFerryman::ShowAlert(*context.alerts, kBadReferenceAlert, {context.referencingName, record.displayName}, e.what());
    throw NSFerryman::XAlertAlreadyShown(context.referencingName + ": bad reference to " + record.displayName);
  }
}

CSF10ReferenceChunk ReadRecord(CIFFFileReader& reader) {
  CMedia& media = reader.GetCurrentMedia();
  media.SetPosition(0);
  return CSF10ReferenceChunk::Read(media);
}

}  // namespace

void CheckReferenceGroup(CIFFFileReader& reader, const CReferenceContext& context, ExternalHamperNames& names) {
  if (!reader.EnterFirst()) return;
  do {
    if (ClassifyGroupChild(reader.GetCurrentChunk()) != EGroupChild::kRecord) continue;
    const CSF10ReferenceChunk record = ReadRecord(reader);
    WithBadReferenceReport(context, record, [&] { CheckReference(context, record, names); });
  } while (reader.Next());
}

void RewriteReferenceGroup(CIFFFileReader& reader, CIFFFileWriter& writer, const CReferenceContext& context) {
  if (!reader.EnterFirst()) return;
  do {
    if (ClassifyGroupChild(reader.GetCurrentChunk()) == EGroupChild::kEmbeddedFile) {
      CopyChunk(reader, writer);
      continue;
    }
    const CSF10ReferenceChunk record = ReadRecord(reader);
    CSF10ReferenceChunk rewritten;
    if (!WithBadReferenceReport(context, record, [&] { rewritten = RewriteReference(context, record); })) {
      rewritten = record;
    }
    writer.BeginChunk(kReferenceRecordID);
    rewritten.Write(writer.GetCurrentMedia());
    writer.EndLevel();
  } while (reader.Next());
}

void CheckReferencesOfChunk(CIFFFileReader& reader, const CReferenceContext& context, ExternalHamperNames& names) {
  bool found = false;
  if (reader.EnterFirst()) {
    do {
      if (!IsReferenceGroup(reader.GetCurrentChunk())) continue;
      if (found) throw NSFerryman::XBadFormat("more than one \"REFS\" group");
      found = true;
      CheckReferenceGroup(reader, context, names);
    } while (reader.Next());
  }
  if (!found) throw NSFerryman::XBadFormat("no \"REFS\" group");
}

void CopyChunksRewritingReferences(CIFFFileReader& reader, CIFFFileWriter& writer, const CReferenceContext& context) {
  if (!reader.EnterFirst()) return;
  do {
    if (IsReferenceGroup(reader.GetCurrentChunk())) {
      writer.BeginCAT(kReferenceGroupType);
      RewriteReferenceGroup(reader, writer, context);
      writer.EndLevel();
    } else {
      CopyChunk(reader, writer);
    }
  } while (reader.Next());
}
