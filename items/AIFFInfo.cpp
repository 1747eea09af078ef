#include "items/AIFFInfo.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "framework/iff/IFFChunk.h"
#include "framework/iff/IFFReader.h"
#include "framework/media/ByteOrder.h"
#include "items/SampleInfoRules.h"

using namespace NSFerryman;

namespace {

std::int16_t SignedBE16(const std::uint8_t* p) { return static_cast<std::int16_t>(LoadBE16(p)); }

MediaSize BytesAfter(CMedia& media, MediaSize position) {
  const MediaSize size = media.GetSize();
  return position < size ? size - position : 0;
}

// The 80-bit IEEE extended sample rate, truncated to an integer; nullopt when it is not a
// positive number that fits 32 bits.
std::optional<std::uint32_t> ExtendedToRate(const std::uint8_t* p) {
  const bool negative = p[0] & 0x80;
  const int exponent = ((p[0] & 0x7F) << 8) | p[1];
  std::uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa = (mantissa << 8) | p[2 + i];
  if (exponent == 0x7FFF) return std::nullopt;  // infinity or not a number
  if (mantissa == 0) return 0;
  const double value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  if (negative) return value < 1.0 ? std::optional<std::uint32_t>(0) : std::nullopt;
  if (value >= 4294967296.0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

struct CMarker {
  std::int16_t id;
  std::uint32_t position;
};

// The markers of the "MARK" chunk; XBadFormat when the chunk is shorter than its markers need.
std::vector<CMarker> ReadMarkers(CMedia& media, std::uint32_t size) {
  const MediaSize start = media.GetPosition();
  if (size > BytesAfter(media, start)) {
    throw XBadFormat("AIFF \"MARK\" chunk claims " + std::to_string(size) + " bytes but the file ends before");
  }
  if (size < 2) throw XBadFormat("AIFF \"MARK\" chunk of " + std::to_string(size) + " bytes has no marker count");
  std::vector<std::uint8_t> bytes(size);
  media.ReadAt(start, size, bytes.data());
  const std::uint16_t count = LoadBE16(bytes.data());
  std::vector<CMarker> markers;
  markers.reserve(count);
  std::size_t at = 2;
  for (std::uint16_t i = 0; i < count; ++i) {
    // id, position, then a name of a length byte and text padded to an even length.
    if (size - at < 7) throw XBadFormat("AIFF \"MARK\" chunk is too short for its " + std::to_string(count) + " markers");
    const std::size_t nameLength = bytes[at + 6];
    std::size_t length = nameLength + 7;
    if (length & 1) ++length;
    if (size - at < length) {
      throw XBadFormat("AIFF \"MARK\" chunk is too short for its " + std::to_string(count) + " markers");
    }
    markers.push_back({SignedBE16(&bytes[at]), LoadBE32(&bytes[at + 2])});
    at += length;
  }
  return markers;
}

const CMarker* FindMarker(const std::vector<CMarker>& markers, std::int16_t id) {
  for (const auto& m : markers) {
    if (m.id == id) return &m;
  }
  return nullptr;
}

bool ValidPlayMode(std::int16_t mode) { return mode >= 0 && mode <= 2; }

void ReadInstrument(CMedia& media, CIFFReader& reader, CSampleInfo& info) {
  std::uint32_t size;
  if (!reader.FindChunk("INST", size)) return;
  if (size < 20 || BytesAfter(media, media.GetPosition()) < 20) {
    throw XBadFormat("AIFF \"INST\" chunk of " + std::to_string(size) + " bytes is too short");
  }
  std::uint8_t b[20];
  media.Read(sizeof b, b);
  const std::uint8_t baseNote = b[0];
  const auto detune = static_cast<std::int8_t>(b[1]);
  const std::uint8_t lowNote = b[2];
  const std::uint8_t highNote = b[3];
  const std::uint8_t lowVelocity = b[4];
  const std::uint8_t highVelocity = b[5];
  const std::int16_t sustainMode = SignedBE16(b + 8);
  const std::int16_t sustainBegin = SignedBE16(b + 10);
  const std::int16_t sustainEnd = SignedBE16(b + 12);
  const std::int16_t releaseMode = SignedBE16(b + 14);
  for (std::uint8_t v : {baseNote, lowNote, highNote, lowVelocity, highVelocity}) {
    if (v >= 128) throw XBadFormat("AIFF \"INST\" note or velocity " + std::to_string(v) + " is above 127");
  }
  if (detune < -50 || detune > 50) {
    throw XBadFormat("AIFF \"INST\" detune of " + std::to_string(detune) + " cents is outside -50 to 50");
  }
  if (!ValidPlayMode(sustainMode) || !ValidPlayMode(releaseMode)) {
    throw XBadFormat("AIFF \"INST\" loop play mode " + std::to_string(ValidPlayMode(sustainMode) ? releaseMode : sustainMode) +
                     " is not 0, 1 or 2");
  }

  info.instrumentPresent = 1;
  info.rootKey = baseNote;
  info.fineTune = detune;
  info.sourceFlag = 1;
  info.lowKey = lowNote;
  info.highKey = highNote;
  info.loopKind = kLoopKindNone;
  info.loopType = kLoopTypeForward;
  info.loopStart = info.loopEnd = 0;
  // Only the sustain loop becomes a loop; the release loop is checked above and left alone.
  if (sustainBegin < 0 || sustainEnd < 0) return;

  std::uint32_t markSize;
  if (sustainMode != 0) {
    if (!reader.FindChunk("MARK", markSize)) {
      if (sustainBegin > 0 && sustainEnd > 0) throw XBadFormat("AIFF sustain loop without a \"MARK\" chunk");
      return;
    }
    const std::vector<CMarker> markers = ReadMarkers(media, markSize);
    const CMarker* begin = FindMarker(markers, sustainBegin);
    if (!begin) {
      if (sustainBegin > 0) throw XBadFormat("AIFF sustain loop marker " + std::to_string(sustainBegin) + " is missing");
      return;
    }
    const CMarker* end = FindMarker(markers, sustainEnd);
    if (!end) {
      if (sustainEnd > 0) throw XBadFormat("AIFF sustain loop marker " + std::to_string(sustainEnd) + " is missing");
      return;
    }
    SetSampleLoop(info, kLoopKindLoop, sustainMode == 2 ? kLoopTypeAlternating : kLoopTypeForward,
                  static_cast<std::int32_t>(begin->position), static_cast<std::int32_t>(end->position));
    return;
  }

  // A sustain loop marked as not looping is recorded but not kept; any trouble on the way only
  // means there is no such loop.
  try {
    if (!reader.FindChunk("MARK", markSize)) return;
    const std::vector<CMarker> markers = ReadMarkers(media, markSize);
    const CMarker* begin = FindMarker(markers, sustainBegin);
    const CMarker* end = FindMarker(markers, sustainEnd);
    if (!begin || !end) return;
    SetSampleLoop(info, kLoopKindNotKept, kLoopTypeForward, static_cast<std::int32_t>(begin->position),
                  static_cast<std::int32_t>(end->position));
  } catch (const XMedia&) {
    info.loopKind = kLoopKindNone;
    info.loopType = kLoopTypeForward;
    info.loopStart = info.loopEnd = 0;
  }
}

}  // namespace

CSampleInfo ReadAIFFInfo(CMedia& media) {
  CAIFFDataLayout layout;
  return ReadAIFFInfo(media, layout);
}

CSampleInfo ReadAIFFInfo(CMedia& media, CAIFFDataLayout& layout) {
  media.SetPosition(0);
  CIFFReader reader(media, "FORM");

  std::uint32_t commSize;
  if (!reader.FindChunk("COMM", commSize)) throw XBadFormat("AIFF file without a \"COMM\" chunk");
  const MediaSize commStart = media.GetPosition();
  if (commSize < 18 || BytesAfter(media, commStart) < 18) {
    throw XBadFormat("AIFF \"COMM\" chunk of " + std::to_string(commSize) + " bytes is too short");
  }
  std::uint8_t comm[18];
  media.ReadAt(commStart, sizeof comm, comm);
  const std::int16_t channels = SignedBE16(comm);
  const std::uint32_t frames = LoadBE32(comm + 2);
  const std::int16_t bitsField = SignedBE16(comm + 6);
  const std::optional<std::uint32_t> rate = ExtendedToRate(comm + 8);

  if (channels == 0) throw XBadFormat("AIFF file with 0 channels");
  if (static_cast<std::int32_t>(frames) < 0) throw XBadFormat("AIFF file with a negative frame count");
  if (!rate) throw XBadFormat("AIFF file with a sample rate that is not a number of frames per second");
  if (*rate == 0) throw XBadFormat("AIFF file with a sample rate of 0");
  if (channels != 1 && channels != 2) {
    throw XUnsupportedFormat("AIFF file with " + std::to_string(channels) + " channels (only mono and stereo)");
  }
  const std::uint32_t bits = bitsField > 0 ? SupportedSampleBits(static_cast<std::uint32_t>(bitsField)) : 0;
  if (bits == 0) {
    throw XUnsupportedFormat("AIFF file with " + std::to_string(bitsField) +
                             " bits per sample (only 8, 16, 20, 22 and 24)");
  }

  // An AIFC file names its encoding after the rate. Reading anything but plain integer PCM as if
  // it were would turn it into noise.
  std::uint8_t formType[4];
  media.ReadAt(8, 4, formType);
  layout.littleEndian = false;
  if (CFourCharCode(LoadBE32(formType)) == CFourCharCode("AIFC") && commSize >= 22 &&
      BytesAfter(media, commStart) >= 22) {
    std::uint8_t encoding[4];
    media.ReadAt(commStart + 18, 4, encoding);
    const CFourCharCode code(LoadBE32(encoding));
    if (code == CFourCharCode("sowt")) {
      layout.littleEndian = true;
    } else if (code != CFourCharCode("NONE") && code != CFourCharCode("twos")) {
      throw XUnsupportedFormat("AIFC file encoded as " + QuoteIFFCode(code) + ", not integer PCM");
    }
  }

  CSampleInfo info;
  info.channels = static_cast<std::uint16_t>(channels);
  info.bits = bits;
  info.sampleRate = *rate;
  info.frameCount = frames;
  layout.bytesPerSample = BytesPerSample(bits);

  ReadInstrument(media, reader, info);
  return info;
}
