#pragma once
// Small WAV and AIFF files built byte by byte for the sample readers' tests, and test signals
// that sox turns into files of every bit depth (an independent writer).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/media/MemoryMedia.h"
#include "support/TestSupport.h"

namespace sampletest {

using Bytes = std::vector<std::uint8_t>;

inline void PutLE(Bytes& b, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutBE(Bytes& b, std::uint64_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

struct Chunk {
  std::string id;
  Bytes data;
  // The size field to write in place of the data's size (for lying headers).
  std::int64_t sizeOverride = -1;
};

// A container ("RIFF" little-endian, "FORM" big-endian) holding the chunks, each padded to even.
inline Bytes Container(const std::string& id, const std::string& type, const std::vector<Chunk>& chunks) {
  const bool le = id == "RIFF";
  Bytes body;
  PutText(body, type);
  for (const auto& c : chunks) {
    PutText(body, c.id);
    const std::uint64_t size = c.sizeOverride >= 0 ? static_cast<std::uint64_t>(c.sizeOverride) : c.data.size();
    le ? PutLE(body, size, 4) : PutBE(body, size, 4);
    body.insert(body.end(), c.data.begin(), c.data.end());
    if (c.data.size() & 1) body.push_back(0);
  }
  Bytes file;
  PutText(file, id);
  le ? PutLE(file, body.size(), 4) : PutBE(file, body.size(), 4);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

inline Bytes Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                 std::int64_t byteRate = -1, std::int64_t blockAlign = -1) {
  const std::uint32_t align = channels * ((bits + 7) / 8);
  Bytes b;
  PutLE(b, tag, 2);
  PutLE(b, channels, 2);
  PutLE(b, rate, 4);
  PutLE(b, byteRate >= 0 ? static_cast<std::uint64_t>(byteRate) : std::uint64_t{rate} * align, 4);
  PutLE(b, blockAlign >= 0 ? static_cast<std::uint64_t>(blockAlign) : align, 2);
  PutLE(b, bits, 2);
  return b;
}

// KSDATAFORMAT_SUBTYPE_PCM and _IEEE_FLOAT as stored.
inline const Bytes kPCMGuid = {0x01, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
inline const Bytes kFloatGuid = {0x03, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};

inline Bytes FmtExtensible(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, const Bytes& guid) {
  Bytes b = Fmt(0xFFFE, channels, rate, bits);
  PutLE(b, 22, 2);    // extension size
  PutLE(b, bits, 2);  // valid bits
  PutLE(b, channels == 1 ? 4 : 3, 4);
  b.insert(b.end(), guid.begin(), guid.end());
  return b;
}

struct SmplLoop {
  std::uint32_t type = 0;
  std::uint32_t start = 0;
  std::uint32_t end = 0;  // inclusive, as stored
};

inline Bytes Smpl(std::uint32_t unity, std::uint32_t fraction, const std::vector<SmplLoop>& loops = {},
                  std::uint32_t smpte = 0, std::int64_t loopCountOverride = -1, std::uint32_t samplerData = 0) {
  Bytes b;
  PutLE(b, 0, 4);
  PutLE(b, 0, 4);
  PutLE(b, 22675, 4);
  PutLE(b, unity, 4);
  PutLE(b, fraction, 4);
  PutLE(b, smpte, 4);
  PutLE(b, 0, 4);
  PutLE(b, loopCountOverride >= 0 ? static_cast<std::uint64_t>(loopCountOverride) : loops.size(), 4);
  PutLE(b, samplerData, 4);
  for (const auto& l : loops) {
    PutLE(b, 0, 4);
    PutLE(b, l.type, 4);
    PutLE(b, l.start, 4);
    PutLE(b, l.end, 4);
    PutLE(b, 0, 4);
    PutLE(b, 0, 4);
  }
  b.insert(b.end(), samplerData, 0);
  return b;
}

// The 80-bit IEEE extended form of a rate.
inline Bytes Extended(double rate) {
  Bytes b;
  if (rate == 0) return Bytes(10, 0);
  int exponent;
  const double m = std::frexp(std::fabs(rate), &exponent);  // |rate| = m * 2^exponent, 0.5 <= m < 1
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));
  PutBE(b, static_cast<std::uint64_t>(exponent - 1 + 16383) | (rate < 0 ? 0x8000u : 0u), 2);
  PutBE(b, mantissa, 8);
  return b;
}

inline Bytes Comm(std::int16_t channels, std::uint32_t frames, std::int16_t bits, double rate,
                  const std::string& compression = "") {
  Bytes b;
  PutBE(b, static_cast<std::uint16_t>(channels), 2);
  PutBE(b, frames, 4);
  PutBE(b, static_cast<std::uint16_t>(bits), 2);
  Bytes r = Extended(rate);
  b.insert(b.end(), r.begin(), r.end());
  if (!compression.empty()) {
    PutText(b, compression);
    b.push_back(0);  // empty name, padded
    b.push_back(0);
  }
  return b;
}

struct InstLoop {
  std::int16_t mode = 0;
  std::int16_t begin = 0;
  std::int16_t end = 0;
};

inline Bytes Inst(std::uint8_t baseNote, std::int8_t detune, InstLoop sustain, InstLoop release = {},
                  std::uint8_t lowNote = 0, std::uint8_t highNote = 127, std::uint8_t lowVelocity = 1,
                  std::uint8_t highVelocity = 127) {
  Bytes b = {baseNote, static_cast<std::uint8_t>(detune), lowNote, highNote, lowVelocity, highVelocity};
  PutBE(b, 0, 2);  // gain
  for (const InstLoop& l : {sustain, release}) {
    PutBE(b, static_cast<std::uint16_t>(l.mode), 2);
    PutBE(b, static_cast<std::uint16_t>(l.begin), 2);
    PutBE(b, static_cast<std::uint16_t>(l.end), 2);
  }
  return b;
}

struct Marker {
  std::int16_t id;
  std::uint32_t position;
  std::string name;
};

inline Bytes Mark(const std::vector<Marker>& markers) {
  Bytes b;
  PutBE(b, markers.size(), 2);
  for (const auto& m : markers) {
    PutBE(b, static_cast<std::uint16_t>(m.id), 2);
    PutBE(b, m.position, 4);
    b.push_back(static_cast<std::uint8_t>(m.name.size()));
    PutText(b, m.name);
    if ((m.name.size() + 1) & 1) b.push_back(0);
  }
  return b;
}

// "SSND": offset, block size, then the frames.
inline Bytes Ssnd(const Bytes& frames, std::uint32_t offset = 0) {
  Bytes b;
  PutBE(b, offset, 4);
  PutBE(b, 0, 4);
  b.insert(b.end(), offset, 0xEE);
  b.insert(b.end(), frames.begin(), frames.end());
  return b;
}

inline std::unique_ptr<NSFerryman::CMemoryMedia> MediaOf(const Bytes& bytes) {
  auto m = std::make_unique<NSFerryman::CMemoryMedia>();
  if (!bytes.empty()) m->WriteAt(0, bytes.size(), bytes.data());
  m->SetPosition(0);
  return m;
}

// ---- Signals for sox ----

// Interleaved integer samples in the range of `bits`, covering the full-scale extremes, opposite
// full-scale stereo, steps between them, a sine and noise, over more frames than one conversion
// portion or coding block.
inline std::vector<std::int32_t> TestSignal(int bits, int channels, std::size_t frames = 9000) {
  const std::int64_t max = (std::int64_t{1} << (bits - 1)) - 1;
  const std::int64_t min = -max - 1;
  std::vector<std::int32_t> v;
  std::uint32_t noise = 12345;
  for (std::size_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      std::int64_t x;
      const std::size_t section = f / 1000;
      if (section == 0) {
        // extremes, alternating and opposite between the channels
        x = ((f + c) & 1) ? max : min;
      } else if (section == 1) {
        x = (f & 64) ? (c ? min : max) : (c ? max : min);
      } else if (section == 2) {
        x = static_cast<std::int64_t>(std::lround(static_cast<double>(max) * std::sin(f * (0.01 + 0.003 * c))));
      } else if (section == 3) {
        x = (f & 1) ? -1 : 0;  // around zero, where flooring shows
      } else {
        noise = noise * 1664525u + 1013904223u;
        x = min + static_cast<std::int64_t>((std::uint64_t{noise} * static_cast<std::uint64_t>(max - min + 1)) >> 32);
      }
      v.push_back(static_cast<std::int32_t>(std::clamp(x, min, max)));
    }
  }
  return v;
}

// The 16-bit value the loaders must make of a `bits`-deep value: 8-bit moves to the top byte,
// 24-bit keeps its top 16 bits rounded toward minus infinity.
inline std::int16_t Expected16(std::int32_t v, int bits) {
  if (bits <= 16) return static_cast<std::int16_t>(v * (1 << (16 - bits)));
  return static_cast<std::int16_t>(static_cast<std::int32_t>(std::floor(v / static_cast<double>(1 << (bits - 16)))));
}

// Raw little-endian signed samples of `bits` (8, 16 or 24) for sox.
inline Bytes RawLE(const std::vector<std::int32_t>& values, int bits) {
  Bytes b;
  for (std::int32_t v : values) PutLE(b, static_cast<std::uint32_t>(v), bits / 8);
  return b;
}

// Writes the signal with sox as a file of the type its extension names (".wav", ".aif", ".aifc").
// Returns false when sox is missing or fails (the message goes to `error`).
inline bool WriteWithSox(const std::filesystem::path& out, const std::vector<std::int32_t>& values, int bits,
                         int channels, std::uint32_t rate, std::string* error) {
  const std::filesystem::path raw = out.string() + ".raw";
  test::WriteFileBytes(raw, RawLE(values, bits));
  std::string output;
  const std::string type = out.extension() == ".aifc" ? "aifc" : out.extension() == ".wav" ? "wav" : "aiff";
  const std::string cmd = "sox -D -t raw -r " + std::to_string(rate) + " -e signed-integer -b " +
                          std::to_string(bits) + " -c " + std::to_string(channels) + " -L '" + raw.string() +
                          "' -t " + type + " -b " + std::to_string(bits) + " '" + out.string() + "'";
  const int rc = test::RunCommand(cmd, &output, true);
  std::filesystem::remove(raw);
  if (rc != 0 && error) *error = cmd + ": " + output;
  return rc == 0;
}

}  // namespace sampletest
