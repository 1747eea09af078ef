#include "browse/HamperExtraction.h"

#include <algorithm>
#include <cstdint>
#include <fnmatch.h>
#include <vector>

#include "container/HamperHeader.h"
#include "container/HamperItemPath.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/Exceptions.h"
#include "framework/media/PartialMedia.h"
#include "items/AudioItemDecoder.h"

namespace {

constexpr int kAudioItemType = 11;
constexpr std::size_t kCopyBlock = 65536;

void CopyItem(NSFerryman::CMedia& item, NSFerryman::CMedia& out) {
  std::vector<std::uint8_t> buffer(kCopyBlock);
  const NSFerryman::MediaSize size = item.GetSize();
  for (NSFerryman::MediaSize done = 0; done < size;) {
    const auto n = static_cast<std::size_t>(std::min<NSFerryman::MediaSize>(size - done, buffer.size()));
    item.ReadAt(done, n, buffer.data());
    out.Write(n, buffer.data());
    done += n;
  }
}

CHamperItemPath TargetPath(const CHamperIndexEntry& record) {
  CHamperItemPath target = SplitHamperItemPath(record.GetPath());
  if (target.problem.empty() && record.GetItemType() == kAudioItemType) {
    target.components.back() = WaveFileName(target.components.back());
  }
  return target;
}

}  // namespace

std::string WaveFileName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  const std::string_view extension = dot == std::string::npos ? "" : std::string_view(name).substr(dot);
  if (NSFerryman::AsciiEqualsIgnoringCase(extension, ".wav") || NSFerryman::AsciiEqualsIgnoringCase(extension, ".wave")) {
    return name;
  }
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".wav";
}

std::string ExtractionTarget(const CHamperIndexEntry& record) {
  const CHamperItemPath target = TargetPath(record);
  return target.problem.empty() ? target.Relative() : std::string();
}

bool PathMatchesPattern(std::string_view path, const std::string& pattern) {
  // Paths hold no zero byte (the reader refuses one), so the copy ends where the Path does.
  return ::fnmatch(pattern.c_str(), std::string(path).c_str(), FNM_CASEFOLD) == 0;
}

std::string CHamperExtraction::Extract(const CHamperIndexEntry& record, bool replace) {
  const CHamperItemPath target = TargetPath(record);
  if (!target.problem.empty()) throw NSFerryman::XBadFormat("not written: " + target.problem);
  const bool audio = record.GetItemType() == kAudioItemType;
  const std::string relative = target.Relative();
  // Twin records, or a name that only became equal with ".wav": the second must not replace the
  // first, even when replacing is agreed.
  if (written_.contains(relative)) throw NSFerryman::XCreateFailed(relative + ": another item was written there");
  if (!ItemLiesInsideHamper(header_, record, hamper_.GetSize())) {
    throw NSFerryman::XBadFormat("the item lies outside the file");
  }
  NSFerryman::CPartialMedia item(hamper_, std::uint64_t{header_.GetDataOffset()} + record.GetOffset(), record.GetSize());
  if (audio) CheckAudioItemDecodesToWave(item);
  const auto out = folder_.CreateFile(target.Folders(), target.FileName(), replace);
  if (audio) {
    DecodeAudioItemToWave(item, out->Media());
  } else {
    CopyItem(item, out->Media());
  }
  out->Commit();
  written_.insert(relative);
  return relative;
}
