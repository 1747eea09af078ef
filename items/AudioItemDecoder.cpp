#include "items/AudioItemDecoder.h"

#include <bit>
#include <string>
#include <vector>

#include "framework/media/ByteOrder.h"
#include "items/SampleInfoRules.h"
#include "items/WaveFileWriter.h"

using namespace NSFerryman;

namespace {

// What the header says about instrument and loop, in the form the WAV writer takes.
CSampleInfo InfoOf(const CVORPSampleHeader& header) {
  CSampleInfo info;
  info.channels = header.channelCount;
  info.bits = 16;
  info.sampleRate = header.sampleRate;
  info.frameCount = header.frameCount;
  // The header keeps 60 and 0 when the source had no instrument data.
  info.instrumentPresent = header.rootKey != 60 || header.fineTune != 0;
  info.rootKey = header.rootKey;
  info.fineTune = header.fineTune;
  if (header.loopMode == kVORPLoopForward || header.loopMode == kVORPLoopAlternating) {
    SetSampleLoop(info, kLoopKindLoop, header.loopMode == kVORPLoopAlternating ? kLoopTypeAlternating : kLoopTypeForward,
                  header.loopStart, header.loopEnd);
  }
  return info;
}

}  // namespace

void CheckAudioItemFrameCount(const CVORPSampleHeader& header, CMedia& stream) {
  const std::uint64_t values = std::uint64_t{header.frameCount} * header.channelCount;
  const MediaSize bytes = stream.Remaining();
  if (values > bytes * 8) {
    throw XBadFormat("audio item: the stream of " + std::to_string(bytes) + " bytes cannot hold " +
                     std::to_string(header.frameCount) + " frames");
  }
}

CAudioItemDecoder::CAudioItemDecoder(CMedia& item, EVORPPath path)
    : item_(item), path_(path), header_(CVORPSampleHeader::Read(item)) {
  CheckAudioItemFrameCount(header_, item_);
}

void CAudioItemDecoder::Decode(const VORPFrameConsumer& consumer) { DecodeVORPBlocks(header_, item_, consumer, path_); }

void CheckAudioItemDecodesToWave(CMedia& item) {
  const MediaSize start = item.GetPosition();
  const CAudioItemDecoder decoder(item);
  const CVORPSampleHeader& header = decoder.GetHeader();
  CWaveFileWriter::CheckFormat(header.channelCount, header.frameCount, header.sampleRate, InfoOf(header));
  item.SetPosition(start);
}

void DecodeAudioItemToWave(CMedia& item, CMedia& wav) {
  CAudioItemDecoder decoder(item);
  const CVORPSampleHeader& header = decoder.GetHeader();
  // WriteHeader checks the fields before it writes the first byte.
  CWaveFileWriter::WriteHeader(wav, header.channelCount, header.frameCount, header.sampleRate, InfoOf(header));
  // 16-bit frames fill the data chunk to an even length: no pad byte follows.
  std::vector<std::uint8_t> bytes;
  decoder.Decode([&](const std::int16_t* frames, std::uint32_t count) {
    const std::size_t values = std::size_t{count} * header.channelCount;
    if constexpr (std::endian::native == std::endian::little) {
      // WAV frames are little-endian, as ours are in memory: straight to the file.
      wav.Write(values * 2, frames);
    } else {
      bytes.resize(values * 2);
      for (std::size_t i = 0; i < values; ++i) StoreLE16(&bytes[2 * i], static_cast<std::uint16_t>(frames[i]));
      wav.Write(bytes.size(), bytes.data());
    }
  });
}

void VerifyAudioItem(CMedia& item) {
  CAudioItemDecoder decoder(item);
  decoder.Decode([](const std::int16_t*, std::uint32_t) {});
}
