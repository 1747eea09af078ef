// `hamper encode-audio INPUT OUTPUT.vrp`: codes a WAV or AIFF/AIFC file as the audio item a
// Hamper stores for it: the 26-byte header, then the VORP stream.

#include <bit>
#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "cli/AtomicOutputFile.h"
#include "cli/Command.h"
#include "codec/VORPEncoder.h"
#include "framework/iff/IFFChunk.h"
#include "framework/media/MappedFile.h"
#include "framework/media/PartialMedia.h"
#include "items/AIFFInfo.h"
#include "items/LoadSample.h"
#include "items/VORPHeaderFromInfo.h"
#include "items/WaveInfo.h"

namespace cli {
namespace {

struct EncodeOptions {
  std::string input;
  std::string output;
  bool verbose = false;
};

// The frames of a 16-bit WAV are, on a little-endian machine, the interleaved host-order frames
// the encoder takes: it reads them where the file is mapped, with no copy and no sample memory.
std::unique_ptr<NSFerryman::CABCAudioAccessor> MappedWaveFrames(NSFerryman::CMappedFile& input,
                                                                const CSampleInfo& info,
                                                                std::unique_ptr<NSFerryman::CPartialMedia>& window) {
  if constexpr (std::endian::native != std::endian::little) return nullptr;
  CWaveDataLayout layout;
  input.SetPosition(0);
  ReadWaveInfo(input, layout);
  if (layout.bytesPerSample != 2 || layout.dataStart % alignof(std::int16_t) != 0 || !input.Data()) return nullptr;
  // The reader checked that the frames lie inside the file.
  const auto* frames = reinterpret_cast<const std::int16_t*>(input.Data() + layout.dataStart);
  window = std::make_unique<NSFerryman::CPartialMedia>(input, layout.dataStart,
                                                       std::int64_t{info.frameCount} * info.channels * 2);
  return std::make_unique<NSFerryman::CNative16BitAccessor>(*window, info.frameCount, info.channels, frames);
}

int EncodeAudio(const EncodeOptions& options, Streams& streams) {
  NSFerryman::CMappedFile input{NSFerryman::CFileSpec(options.input)};
  // The contents decide, not the name: ".wav" files that are AIFF exist, and the other way round.
  const ESampleFileKind kind = SampleFileKindOf(input);
  if (kind == ESampleFileKind::kUnknown) {
    throw NSFerryman::XUnsupportedFormat("not a WAV or AIFF file (it starts with neither \"RIFF\" nor \"FORM\")");
  }
  const bool wave = kind == ESampleFileKind::kWave;
  const CSampleInfo info = wave ? ReadWaveInfo(input) : ReadAIFFInfo(input);
  std::unique_ptr<NSFerryman::CPartialMedia> window;
  std::unique_ptr<NSFerryman::CABCAudioAccessor> sample = wave ? MappedWaveFrames(input, info, window) : nullptr;
  if (!sample) {
    input.SetPosition(0);
    sample = wave ? LoadWaveSample(input, 16) : LoadAIFFSample(input, 16);
  }
  const CVORPSampleHeader header = VORPHeaderFromInfo(info, 16);

  CAtomicOutputFile output(options.output);
  NSFerryman::CMedia& media = output.Media();
  header.Write(media);
  EncodeVORPStream(header, media, *sample);
  const NSFerryman::MediaSize written = media.GetSize();
  output.Commit();

  if (options.verbose) {
    const std::uint64_t pcmBytes = std::uint64_t{info.frameCount} * info.channels * 2;
    streams.out << options.input << ": " << info.frameCount << " frames, " << info.channels << " channel"
                << (info.channels == 1 ? "" : "s") << ", " << info.bits << " bits, " << info.sampleRate << " Hz -> "
                << options.output << ": " << written << " bytes";
    if (pcmBytes > 0) streams.out << " (" << (written * 1000 / pcmBytes) / 10.0 << "% of 16-bit PCM)";
    streams.out << "\n";
  }
  return kExitOk;
}

const CommandRegistrar kEncodeAudio(
    "encode-audio", "Code a WAV or AIFF file as a VORP audio item (.vrp)",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<EncodeOptions>();
      sub.add_option("INPUT", options->input, "The WAV or AIFF/AIFC file to code")->required();
      sub.add_option("OUTPUT", options->output, "The item to write (replaced if it exists)")->required();
      sub.add_flag("-v,--verbose", options->verbose, "Print the format and the coded size");
      return [options](Streams& streams) {
        return ReportingFailures(streams, options->input, [&] { return EncodeAudio(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
