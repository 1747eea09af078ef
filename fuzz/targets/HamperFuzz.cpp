// The Hamper reader: the header check and the index over a media, and the navigation tree a file
// item builds from them - every node walked both ways, every record looked up by its path, every
// item's bytes opened and read at both ends.
//
// The two roads must agree: a file item has a header and the index's records exactly when the
// header check and the index read accept the same bytes.

#include <algorithm>
#include <vector>

#include "container/FindItemByPath.h"
#include "container/HamperDirEntry.h"
#include "container/HamperFile.h"
#include "container/HamperHeader.h"
#include "container/HamperIndex.h"
#include "container/HamperIndexLayout.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/ScratchFile.h"

namespace {

// Reads up to 64 bytes at each end of an item.
void ReadEnds(const MINavigationInterface& node) {
  fuzz::Tolerate([&] {
    const auto media = node.OpenMedia();
    if (!media) return;
    const std::uint64_t size = media->GetSize();
    std::uint8_t bytes[64];
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof bytes));
    media->ReadAt(0, count, bytes);
    media->ReadAt(size - count, count, bytes);
  });
}

// Every node below a list, hidden ones included; returns how many item nodes there are.
std::size_t WalkNodes(const CHamperNodeList& nodes) {
  std::size_t items = 0;
  for (std::size_t i = 0; i < nodes.Size(); ++i) {
    const MINIABCHamperEntry& node = nodes.At(i);
    (void)node.GetName();
    (void)node.GetImage();
    (void)node.GetFileType();
    (void)node.GetSize();
    fuzz::Expect(static_cast<bool>(node.GetParent()), "a Hamper node without a parent");
    if (const auto* folder = dynamic_cast<const MINIHamperDirEntry*>(&node)) {
      fuzz::Expect(!folder->Children().Empty(), "an empty folder node");
      items += WalkNodes(folder->Children());
    } else {
      ReadEnds(node);
      ++items;
    }
  }
  return items;
}

// The visible children forwards and backwards; both walks must meet the same number.
void WalkVisible(const MINavigationInterface& item) {
  std::size_t forwards = 0;
  for (CNavigationHolder c = item.GetFirstChild(); c; c = item.GetNextChild(*c)) ++forwards;
  std::size_t backwards = 0;
  for (CNavigationHolder c = item.GetLastChild(); c; c = item.GetPreviousChild(*c)) ++backwards;
  fuzz::Expect(forwards == backwards, "visible children differ forwards and backwards");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto media = fuzz::MediaOf(data, size);
  CHamperDescription header;
  std::vector<CHamperIndexEntry> records;
  const bool readable = fuzz::Tolerate([&] {
    header = ReadAndCheckHamperHeader(*media);
    records = ReadHamperIndex(*media, header);
  });

  const CNavigationHolder hamper = MINIHamperFile::Make(fuzz::WriteScratchFile(data, size));
  const auto& file = static_cast<const MINIHamperFile&>(*hamper);
  fuzz::Expect(file.IsIndexLoaded() == readable, "the file item and the header check disagree");
  if (!readable) {
    fuzz::Expect(file.GetName().empty() && file.Children().Empty(), "an unreadable Hamper with a name or children");
    return 0;
  }
  fuzz::Expect(file.GetHeader().GetName() == header.GetName(), "the file item's name differs from the header's");

  // The index held as stored reads the same records, and its layout check words each problem.
  const CHamperIndex index = ReadHamperIndexRecords(*media, header);
  fuzz::Expect(index.Size() == records.size(), "the index held as stored has another number of records");
  for (std::size_t r = 0; r < index.Size(); ++r) fuzz::Expect(index.Entry(r) == records[r], "a record reads otherwise");
  const CIndexLayoutProblems problems = CheckHamperIndexLayout(header, index, media->GetSize());
  for (std::size_t r = 0; r < index.Size(); ++r) {
    if (const auto problem = problems.Of(r)) {
      fuzz::Expect(!problems.Text(*problem, header, index, media->GetSize()).empty(), "a problem without words");
    }
  }

  fuzz::Expect(WalkNodes(file.Children()) == records.size(), "the tree does not hold every index record");
  WalkVisible(file);
  for (const CHamperIndexEntry& record : records) {
    fuzz::Tolerate([&] {
      const CNavigationHolder found = FindItemByPath(*hamper, record);
      WalkVisible(*found);
      ReadEnds(*found);
    });
  }
  fuzz::Expect(file.GetOpenCount() == 0, "an item media left the Hamper file open");
  return 0;
}
