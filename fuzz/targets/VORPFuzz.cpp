// The VORP decoder over stored audio items (a 26-byte header, then the stream): the block decoder
// of CAudioItemDecoder on every implementation of the code, the whole-item verification, the
// in-memory sample decoder and the WAV writer of hamper extract.
//
// Every implementation must give the same frames, or fail the same way, for any bytes. And the
// code must round-trip: the input's own bytes, taken as 16-bit frames, come back unchanged
// through the encoder and decoder.

#include <algorithm>
#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "codec/VORPEncoder.h"
#include "fuzz/FuzzInput.h"
#include "items/AudioItemDecoder.h"
#include "items/VORPWaveSampleDecoder.h"
#include "items/WaveSample.h"

using namespace NSFerryman;

namespace {

struct CDecoded {
  bool finished = false;
  std::string failure;  // the exception's class when it did not finish
  std::vector<std::int16_t> frames;
};

CDecoded DecodeItem(CMedia& item, EVORPPath path) {
  CDecoded out;
  item.SetPosition(0);
  try {
    CAudioItemDecoder decoder(item, path);
    const unsigned channels = decoder.GetHeader().channelCount;
    decoder.Decode([&](const std::int16_t* frames, std::uint32_t count) {
      out.frames.insert(out.frames.end(), frames, frames + std::size_t{count} * channels);
    });
    out.finished = true;
  } catch (const XBase& e) {
    out.failure = typeid(e).name();
  }
  return out;
}

void DecodeEveryWay(CMedia& item) {
  const CDecoded reference = DecodeItem(item, EVORPPath::kReference);
  for (EVORPPath path : {EVORPPath::kPortable, EVORPPath::kAVX2}) {
    const CDecoded other = DecodeItem(item, path);
    fuzz::Expect(other.finished == reference.finished && other.failure == reference.failure,
                 std::string("the ") + VORPPathName(path) + " decoder ends otherwise than the reference");
    fuzz::Expect(!reference.finished || other.frames == reference.frames,
                 std::string("the ") + VORPPathName(path) + " decoder's frames differ from the reference");
  }
  item.SetPosition(0);
  const bool verified = fuzz::Tolerate([&] { VerifyAudioItem(item); });
  fuzz::Expect(verified == reference.finished, "the verification and the decoder disagree");
  if (!reference.finished) return;

  item.SetPosition(0);
  const CVORPSampleHeader header = CVORPSampleHeader::Read(item);
  std::unique_ptr<CWaveSample> sample = DecodeVORPWaveSample(header, item);
  fuzz::Expect(std::equal(reference.frames.begin(), reference.frames.end(), sample->Frames()),
               "the in-memory decoder's frames differ from the block decoder's");
  item.SetPosition(0);
  CMemoryMedia wav;
  fuzz::Tolerate([&] { DecodeAudioItemToWave(item, wav); });
}

// The input as frames (two bytes each, the first byte choosing mono or stereo) through the
// encoder and back.
void RoundTrip(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return;
  const std::uint16_t channels = (data[0] & 1) ? 2 : 1;
  const std::size_t frames = (size - 1) / (2 * channels);
  CSampleFormat format{channels, 16, 44100, static_cast<std::uint32_t>(frames)};
  CWaveSample sample(format);
  std::memcpy(sample.Frames(), data + 1, frames * 2 * channels);
  CVORPSampleHeader header;
  header.frameCount = static_cast<std::uint32_t>(frames);
  header.channelCount = static_cast<std::uint8_t>(channels);
  header.loopEnd = header.frameCount;
  header.sampleRate = 44100;
  CMemoryMedia item;
  header.Write(item);
  EncodeVORPStream(header, item, sample, data[0] & 2 ? EVORPPath::kReference : EVORPPath::kAuto);
  const CDecoded decoded = DecodeItem(item, EVORPPath::kAuto);
  fuzz::Expect(decoded.finished, "a stream just encoded does not decode");
  fuzz::Expect(std::equal(decoded.frames.begin(), decoded.frames.end(), sample.Frames()) &&
                   decoded.frames.size() == frames * channels,
               "encoding and decoding changed the frames");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto item = fuzz::MediaOf(data, size);
  DecodeEveryWay(*item);
  RoundTrip(data, size);
  return 0;
}
