// Our sliced-loop library, through its entry points: the handle's creation, creator text, info and
// every slice, rendering at several output rates, and the preview; and the handle-free info of
// SLCGetInfoFromBuffer, which must answer as the handle does.
//
// Every byte of a sound file is guarded by a CRC, so random changes rarely get past the first
// check. Each input therefore also runs resealed: every CRC that the header's offsets let us find
// is recomputed first, so that the checks behind the CRCs are reached.

#include <algorithm>
#include <cstring>
#include <vector>

#include "SLCFormat.h"
#include "SLCSharedLibrary.h"
#include "fuzz/FuzzInput.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Frames rendered at most for one call; renders that need more are only measured.
constexpr std::uint32_t kMaxRenderFrames = 1u << 18;

bool RegionFits(const Bytes& file, std::uint64_t offset, std::uint64_t size) {
  return offset <= file.size() && size <= file.size() - offset;
}

// The file with every CRC recomputed that its header lets us find; false when there is no header.
bool Reseal(Bytes& file) {
  using namespace NSSLC;
  if (file.size() < header::kMinimumSize) return false;
  std::uint8_t* h = file.data();
  const std::uint32_t headerSize = GetU32(h + header::kHeaderSize);
  if (headerSize < header::kMinimumSize || headerSize > file.size()) return false;
  const std::uint64_t channels = GetU16(h + header::kChannels);
  const std::uint64_t frames = GetU32(h + header::kFrameCount);
  const std::uint64_t slices = GetU32(h + header::kSliceCount);
  const std::uint32_t creatorOffset = GetU32(h + header::kCreatorOffset);
  const std::uint32_t creatorSize = GetU32(h + header::kCreatorSize);
  if (creatorSize >= 4 && RegionFits(file, creatorOffset, creatorSize)) {
    PutU32(h + creatorOffset + creatorSize - 4, CRC32(h + creatorOffset, creatorSize - 4));
  }
  const std::uint32_t tableOffset = GetU32(h + header::kSliceTableOffset);
  if (RegionFits(file, tableOffset, slices * kSliceEntryBytes)) {
    PutU32(h + header::kSliceTableCRC, CRC32(h + tableOffset, slices * kSliceEntryBytes));
  }
  const std::uint32_t audioOffset = GetU32(h + header::kAudioOffset);
  if (RegionFits(file, audioOffset, frames * channels * 2)) {
    PutU32(h + header::kAudioCRC, CRC32(h + audioOffset, frames * channels * 2));
  }
  PutU32(h + headerSize - 4, CRC32(h, headerSize - 4));
  return true;
}

void RenderSlices(SLCHandle handle, const SLCInfo& info) {
  std::vector<std::int16_t> frames;
  for (std::uint32_t rate : {0u, 8000u, 96000u}) {
    if (rate != 0) fuzz::Expect(SLCSetOutputSampleRate(handle, rate) == kSLCOK, "an output rate in range refused");
    for (std::uint32_t i = 0; i < std::min(info.sliceCount, 8u); ++i) {
      std::uint32_t needed = 0;
      fuzz::Expect(SLCRenderSlice(handle, i, nullptr, 0, &needed) == kSLCOK, "a slice of a sound file cannot be measured");
      if (needed > kMaxRenderFrames) continue;
      frames.resize(std::size_t{needed} * info.channels + 1);
      std::uint32_t written = 0;
      fuzz::Expect(SLCRenderSlice(handle, i, frames.data(), needed, &written) == kSLCOK && written == needed,
                   "a slice renders otherwise than measured");
    }
  }
  fuzz::Expect(SLCSetOutputSampleRate(handle, 0) != kSLCOK, "an output rate of 0 accepted");
}

void Preview(SLCHandle handle, const SLCInfo& info) {
  std::vector<std::int16_t> frames(std::size_t{4096} * info.channels);
  std::uint32_t written = 0;
  fuzz::Expect(SLCRenderPreviewBatch(handle, frames.data(), 4096, &written) == kSLCPreviewStopped,
               "a preview rendered before it was started");
  fuzz::Expect(SLCStartPreview(handle) == kSLCOK, "a sound file's preview does not start");
  for (std::uint32_t tempo : {0u, 1000u, 1000000u, 123456u}) {
    if (tempo != 0) fuzz::Expect(SLCSetPreviewTempo(handle, tempo) == kSLCOK, "a tempo in range refused");
    fuzz::Expect(SLCRenderPreviewBatch(handle, frames.data(), 4096, &written) == kSLCOK && written == 4096,
                 "a preview batch fell short");
  }
  SLCStopPreview(handle);
}

void Exercise(const Bytes& file) {
  const auto count = static_cast<std::uint32_t>(file.size());
  SLCInfo bufferInfo{};
  const SLCResult bufferResult = SLCGetInfoFromBuffer(file.data(), count, sizeof bufferInfo, &bufferInfo);
  SLCHandle handle = nullptr;
  const SLCResult created = SLCCreate(&handle, file.data(), count, 0, 0);
  if (created != kSLCOK) {
    fuzz::Expect(handle == nullptr, "a refused file left a handle");
    fuzz::Expect(bufferResult != kSLCOK, "a file refused by SLCCreate passes SLCGetInfoFromBuffer");
    return;
  }
  char creator[1280];
  const SLCResult creatorResult = SLCGetCreatorInfo(handle, sizeof creator, creator);
  if (creatorResult == kSLCOK || creatorResult == kSLCNoCreatorInfo) {
    fuzz::Expect(std::memchr(creator, 0, sizeof creator) != nullptr, "a creator text without its end");
  }
  SLCInfo info{};
  const SLCResult infoResult = SLCGetInfo(handle, sizeof info, &info);
  fuzz::Expect(infoResult == bufferResult, "SLCGetInfo and SLCGetInfoFromBuffer disagree");
  if (infoResult == kSLCOK) {
    fuzz::Expect(std::memcmp(&info, &bufferInfo, sizeof info) == 0, "SLCGetInfo and SLCGetInfoFromBuffer give other answers");
    for (std::uint32_t i = 0; i < info.sliceCount; ++i) {
      SLCSliceInfo slice{};
      fuzz::Expect(SLCGetSliceInfo(handle, i, sizeof slice, &slice) == kSLCOK, "a counted slice cannot be had");
      fuzz::Expect(slice.frameCount > 0 && std::uint64_t{slice.startFrame} + slice.frameCount <= info.frameCount,
                   "a slice outside the audio");
    }
    SLCSliceInfo past{};
    fuzz::Expect(SLCGetSliceInfo(handle, info.sliceCount, sizeof past, &past) != kSLCOK, "a slice past the count");
    RenderSlices(handle, info);
    Preview(handle, info);
  }
  SLCDelete(&handle);
  fuzz::Expect(handle == nullptr, "SLCDelete left the handle set");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Expect(Open() == 1, "the library does not open");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes file(data, data + size);
  Exercise(file);
  if (Reseal(file)) Exercise(file);
  return 0;
}
