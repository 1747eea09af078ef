#pragma once
// CFileView: the checks of a sliced-loop file over bytes it does not own.
//
//   NSSLC::CFileView view;
//   if (view.Open(bytes, size) == kSLCOK && view.CheckSliceTable() == kSLCOK) ... view.Slice(0) ...
//
// Open checks the header and that the regions it names tile the buffer exactly; every later
// call relies on that, so none reads outside the buffer whatever the bytes hold. Each check
// gives one of the library's result codes; which damage is found where is in slc/README.md.

#include <cstdint>
#include <string_view>

#include "SLCFormat.h"
#include "SLCSharedLibrary.h"

namespace NSSLC {

struct CLayout {
  std::uint32_t kind = 0;
  std::uint16_t formatMajor = 0;
  std::uint16_t formatMinor = 0;
  std::uint32_t headerSize = 0;
  std::uint32_t sampleRate = 0;
  std::uint16_t channels = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint32_t frameCount = 0;
  std::uint32_t tempo = 0;
  std::uint32_t sliceCount = 0;
  std::uint32_t creatorOffset = 0;
  std::uint32_t creatorSize = 0;
  std::uint32_t sliceTableOffset = 0;
  std::uint32_t sliceTableCRC = 0;
  std::uint32_t audioOffset = 0;
  std::uint32_t audioCRC = 0;
};

class CFileView {
 public:
  // The header checks. On any result but kSLCOK the view stays unusable.
  SLCResult Open(const std::uint8_t* bytes, std::uint64_t size);

  const CLayout& Layout() const { return layout_; }
  const std::uint8_t* Bytes() const { return bytes_; }

  // The creator text (not terminated); kSLCNoCreatorInfo when the file has no creator block.
  SLCResult ReadCreator(std::string_view& text) const;
  SLCResult CheckSliceTable() const;
  SLCResult CheckAudio() const;

  // The entries as stored; sound once CheckSliceTable gave kSLCOK. `index` below the slice count.
  CSlice Slice(std::uint32_t index) const;
  // One sample; `frame` below the frame count, `channel` below the channel count.
  std::int16_t Sample(std::uint64_t frame, std::uint32_t channel) const;

 private:
  const std::uint8_t* bytes_ = nullptr;
  std::uint64_t size_ = 0;
  CLayout layout_;
};

}  // namespace NSSLC
