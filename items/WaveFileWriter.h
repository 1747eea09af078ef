#pragma once
// Writes audio as a 16-bit integer PCM WAV file: "fmt ", then "smpl" when there is instrument
// data or a kept loop (root key, fine tune and the first loop), then "data".
//
//   CWaveFileWriter::Write(media, sample, sample.GetSampleRate(), info);
//
// The fine tune is stored as the "smpl" pitch fraction so that ReadWaveInfo gives back the same
// root key and fine tune; a negative fine tune is written as a fraction above the key below
// (at key 0, where there is none, the fine tune is dropped).

#include <cstdint>

#include "framework/media/AudioAccessor.h"
#include "framework/media/Media.h"
#include "items/SampleInfo.h"

class CWaveFileWriter {
 public:
  // Writes at the media's position. Only the loop and instrument fields of `info` are used;
  // format and length come from the audio.
  static void Write(NSFerryman::CMedia& out, NSFerryman::CABCAudioAccessor& audio, std::uint32_t sampleRate,
                    const CSampleInfo& info);
  // Everything in front of the audio, up to and including the "data" chunk's header; the caller
  // then writes frames x channels little-endian 16-bit values. CheckFormat runs first.
  static void WriteHeader(NSFerryman::CMedia& out, std::uint16_t channels, std::uint32_t frames,
                          std::uint32_t sampleRate, const CSampleInfo& info);

  // Whether a 16-bit WAV file can carry the audio, for checking before an output is made: a
  // channel count other than 1 or 2 is XUnsupportedFormat; a sample rate of 0, or one whose byte
  // rate (rate x channels x 2) does not fit the 32-bit field, is XBadFormat; audio whose "data"
  // chunk or whole RIFF form would pass 32-bit sizes is XUnsupportedFormat.
  static void CheckFormat(std::uint16_t channels, std::uint32_t frames, std::uint32_t sampleRate,
                          const CSampleInfo& info);

  struct CPitch {
    std::uint32_t unityNote;
    std::uint32_t pitchFraction;
  };
  // The "smpl" unity note and pitch fraction for a root key and a fine tune in cents.
  static CPitch PitchOf(std::uint8_t rootKey, std::int8_t fineTune);
};
