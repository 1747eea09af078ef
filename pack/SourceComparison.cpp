#include "pack/SourceComparison.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "container/HamperItemPath.h"
#include "framework/media/Exceptions.h"
#include "framework/media/OpenFile.h"
#include "framework/media/TemporaryOpenFile.h"
#include "items/AudioItemDecoder.h"
#include "items/HostFile.h"
#include "items/SampleFileAccessor.h"
#include "items/SampleFileLayout.h"
#include "items/VORPHeaderFromInfo.h"
#include "references/Database.h"

using NSFerryman::CMedia;
using NSFerryman::MediaSize;
using NSFerryman::XBadFormat;

namespace {

constexpr std::size_t kBlock = 65536;

[[noreturn]] void Differs(const std::string& how) { throw XBadFormat("differs from its source: " + how); }

// Both media from position 0, in blocks.
void CompareBytes(CMedia& item, CMedia& expected) {
  const MediaSize size = item.GetSize();
  if (size != expected.GetSize()) {
    Differs("the item has " + std::to_string(size) + " bytes, where " + std::to_string(expected.GetSize()) +
            " were expected");
  }
  std::vector<std::uint8_t> a(kBlock);
  std::vector<std::uint8_t> b(kBlock);
  for (MediaSize done = 0; done < size;) {
    const auto n = static_cast<std::size_t>(std::min<MediaSize>(size - done, kBlock));
    item.ReadAt(done, n, a.data());
    expected.ReadAt(done, n, b.data());
    const auto [at, _] = std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n), b.begin());
    if (at != a.begin() + static_cast<std::ptrdiff_t>(n)) {
      const std::size_t i = static_cast<std::size_t>(at - a.begin());
      Differs("byte " + std::to_string(done + i) + " is " + std::to_string(a[i]) + ", where " + std::to_string(b[i]) +
              " was expected");
    }
    done += n;
  }
}

void CompareField(const char* field, std::int64_t item, std::int64_t source) {
  if (item != source) {
    Differs("its " + std::string(field) + " is " + std::to_string(item) + ", the source's " + std::to_string(source));
  }
}

void CompareAudio(CMedia& item, CMedia& source) {
  const CSampleFileLayout layout = ReadSampleFileLayout(source);
  const CVORPSampleHeader expected = VORPHeaderFromInfo(layout.info, 16);
  CAudioItemDecoder decoder(item);
  const CVORPSampleHeader& found = decoder.GetHeader();
  CompareField("channel count", found.channelCount, expected.channelCount);
  CompareField("frame count", found.frameCount, expected.frameCount);
  CompareField("sample rate", found.sampleRate, expected.sampleRate);
  CompareField("root key", found.rootKey, expected.rootKey);
  CompareField("fine tune", found.fineTune, expected.fineTune);
  CompareField("loop mode", found.loopMode, expected.loopMode);
  CompareField("loop start", found.loopStart, expected.loopStart);
  CompareField("loop end", found.loopEnd, expected.loopEnd);

  CSampleFileAccessor frames(source, layout);
  const std::size_t channels = found.channelCount;
  std::vector<std::int16_t> wanted;
  std::uint32_t done = 0;
  decoder.Decode([&](const std::int16_t* block, std::uint32_t count) {
    wanted.resize(std::size_t{count} * channels);
    frames.Read16Stereo(done, count, wanted.data());
    const auto [at, _] = std::mismatch(wanted.begin(), wanted.end(), block);
    if (at != wanted.end()) {
      const std::size_t i = static_cast<std::size_t>(at - wanted.begin());
      Differs("frame " + std::to_string(done + i / channels) + ", channel " + std::to_string(i % channels + 1) +
              ": the item holds " + std::to_string(block[i]) + ", the source " + std::to_string(wanted[i]));
    }
    done += count;
  });
}

std::optional<EHostFileKind> HostFileKindOfItemType(int itemType) {
  switch (itemType) {
    case 1: return EHostFileKind::kSong;
    case 2: case 3: case 4: case 5: return EHostFileKind::kPatch;
    case 13: return EHostFileKind::kPublishedSong;
    default: return std::nullopt;
  }
}

}  // namespace

void CompareItemWithSource(const CHamperIndexEntry& record, CMedia& item, const CHamperDescription& header,
                           const CSourceFolder& source) {
  const CHamperItemPath path = SplitHamperItemPath(record.GetPath());
  if (!path.problem.empty()) throw XBadFormat("cannot be compared with a source file: " + path.problem);
  const std::string sourcePath = source.path + "/" + path.Relative();
  NSFerryman::COpenFile file{NSFerryman::CFileSpec(sourcePath)};
  item.SetPosition(0);

  if (record.GetItemType() == 11) return CompareAudio(item, file);
  if (const auto kind = HostFileKindOfItemType(record.GetItemType())) {
    if (!source.database) throw NSFerryman::XUnrecoverableCommandError("no database to resolve references in");
    CReferenceContext context;
    context.rootFolder = source.database->ItemForPath(source.path);
    context.hamperName = header.GetName();
    context.hamperUrl = header.GetURL();
    context.referencingItem = source.database->ItemForPath(sourcePath);
    context.referencingName = path.FileName();
    context.database = source.database;
    NSFerryman::CTemporaryOpenFile rewritten;
    RewriteHostFile(*kind, file, rewritten, context);
    return CompareBytes(item, rewritten);
  }
  CompareBytes(item, file);
}
