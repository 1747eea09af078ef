#pragma once
// The frames of a WAV or AIFF/AIFC file as 16-bit audio, read from the file's media as they are
// asked for: each read is a positioned read of the frames asked (a portion at a time) and a
// conversion, so memory stays bounded by one portion whatever the file's length, and a file that
// shrinks while it is read is a read error of its media (XRead), never a fault.
//
//   const CSampleFileLayout layout = ReadWaveLayout(media);
//   CSampleFileAccessor frames(media, layout);
//   EncodeVORPStream(header, output, frames);
//
// Read-only: the write operations are XWrite. The media and the layout's frames must outlive it.

#include <cstdint>
#include <vector>

#include "framework/media/AudioAccessor.h"
#include "framework/media/Media.h"
#include "items/SampleFileLayout.h"

class CSampleFileAccessor : public NSFerryman::CABC16BitAccessor {
 public:
  CSampleFileAccessor(NSFerryman::CMedia& media, const CSampleFileLayout& layout);

  void Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) override;
  void Write16Stereo(std::uint32_t first, std::uint32_t count, const std::int16_t* data) override;

 private:
  CSampleFileLayout layout_;
  std::vector<std::uint8_t> raw_;  // one portion of raw frames
};
