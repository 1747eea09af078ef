// Reference records and the "REFS" groups of songs and patches: a record read from the raw input,
// and the input as a song and as a patch checked (CheckReferencesOfChunk through the song and patch
// checks) and rewritten, all resolved against a small tree in memory.
//
// A record written in the current form reads back as the same record; a rewrite keeps every
// record of the group, so the rewritten file holds as many records as the file it came from.

#include <vector>

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTree.h"
#include "items/HostFile.h"

using namespace NSFerryman;

namespace {

void ReadRecord(CMedia& media) {
  CSF10ReferenceChunk record;
  if (!fuzz::Tolerate([&] { record = CSF10ReferenceChunk::Read(media); })) return;
  CMemoryMedia written;
  record.Write(written);
  written.SetPosition(0);
  const CSF10ReferenceChunk again = CSF10ReferenceChunk::Read(written);
  CMemoryMedia rewritten;
  again.Write(rewritten);
  fuzz::Expect(written.GetSize() == rewritten.GetSize() &&
                   std::equal(written.Data(), written.Data() + written.GetSize(), rewritten.Data()),
               "a record written in the current form reads back as another record");
  CMemoryMedia stored;
  fuzz::Tolerate([&] { record.WriteInStoredForms(stored); });
}

void CheckAndRewrite(EHostFileKind kind, CMedia& file) {
  const CReferenceContext& context = fuzz::FuzzReferenceContext();
  ExternalHamperNames names;
  fuzz::Tolerate([&] { CheckHostFile(kind, file, context, names); });
  std::vector<CSF10ReferenceChunk> records;
  const bool readable = fuzz::Tolerate([&] { records = ReadHostFileReferences(kind, file); });

  CMemoryMedia output;
  // A file whose records cannot be read may still be copied (a song without a reference group);
  // one whose records can be read must stay so.
  if (!fuzz::Tolerate([&] { RewriteHostFile(kind, file, output, context); }) || !readable) return;
  output.SetPosition(0);
  std::vector<CSF10ReferenceChunk> rewritten;
  fuzz::ExpectFinishes([&] { rewritten = ReadHostFileReferences(kind, output); },
                       "a rewritten file cannot be read again");
  fuzz::Expect(rewritten.size() == records.size(), "a rewrite lost or added reference records");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto media = fuzz::MediaOf(data, size);
  ReadRecord(*media);
  fuzz::Tolerate([&] { (void)HostFileKindOf(*media); });
  CheckAndRewrite(EHostFileKind::kSong, *media);
  CheckAndRewrite(EHostFileKind::kPatch, *media);
  return 0;
}
