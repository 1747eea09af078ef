#include "items/AudioItemDecoder.h"

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "framework/media/ByteOrder.h"
#include "framework/media/MemoryMedia.h"
#include "items/AIFFFileWriter.h"
#include "items/SampleInfoRules.h"
#include "items/WaveFileWriter.h"

using namespace NSFerryman;

namespace {

constexpr std::size_t kWritePiece = std::size_t{1} << 18;

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

void CheckAudioItemDecodesToFile(CMedia& item, EAudioFileFormat format) {
  const MediaSize start = item.GetPosition();
  const CAudioItemDecoder decoder(item);
  const CVORPSampleHeader& header = decoder.GetHeader();
  const CSampleInfo info = InfoOf(header);
  if (format == EAudioFileFormat::kAIFF) {
    CAIFFFileWriter::CheckFormat(header.channelCount, header.frameCount, header.sampleRate, info);
  } else {
    CWaveFileWriter::CheckFormat(header.channelCount, header.frameCount, header.sampleRate, info);
  }
  item.SetPosition(start);
}

void DecodeAudioItemToFile(CMedia& item, CMedia& out, EAudioFileFormat format) {
  CAudioItemDecoder decoder(item);
  const CVORPSampleHeader& header = decoder.GetHeader();
  const CSampleInfo info = InfoOf(header);
  // The writers check the fields before they write the first byte.
  CMemoryMedia head(128);
  const bool aiff = format == EAudioFileFormat::kAIFF;
  if (aiff) {
    CAIFFFileWriter::WriteHeader(head, header.channelCount, header.frameCount, header.sampleRate, info);
  } else {
    CWaveFileWriter::WriteHeader(head, header.channelCount, header.frameCount, header.sampleRate, info);
  }
  // Written in large pieces, the header with the first frames: a short sample costs one write.
  std::vector<std::uint8_t> pending(head.Data(), head.Data() + head.GetSize());
  const auto flush = [&] {
    if (!pending.empty()) out.Write(pending.size(), pending.data());
    pending.clear();
  };
  // 16-bit frames fill the audio chunk to an even length: no pad byte follows.
  const bool asInMemory = (std::endian::native == std::endian::little) != aiff;
  decoder.Decode([&](const std::int16_t* frames, std::uint32_t count) {
    const std::size_t values = std::size_t{count} * header.channelCount;
    const std::size_t at = pending.size();
    pending.resize(at + values * 2);
    if (asInMemory) {
      std::memcpy(&pending[at], frames, values * 2);
    } else {
      for (std::size_t i = 0; i < values; ++i) {
        const auto v = static_cast<std::uint16_t>(frames[i]);
        aiff ? StoreBE16(&pending[at + 2 * i], v) : StoreLE16(&pending[at + 2 * i], v);
      }
    }
    if (pending.size() >= kWritePiece) flush();
  });
  flush();
}

void VerifyAudioItem(CMedia& item) {
  CAudioItemDecoder decoder(item);
  decoder.Decode([](const std::int16_t*, std::uint32_t) {});
}
