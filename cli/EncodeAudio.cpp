// `hamper encode-audio INPUT OUTPUT.vrp`: codes a WAV or AIFF/AIFC file as the audio item a
// Hamper stores for it: the 26-byte header, then the VORP stream.

#include <memory>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "cli/TerminalText.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"
#include "items/AIFFInfo.h"
#include "items/AudioPacker.h"
#include "items/LoadSample.h"
#include "items/WaveInfo.h"

namespace cli {
namespace {

struct EncodeOptions {
  std::string input;
  std::string output;
  bool verbose = false;
};

int EncodeAudio(const EncodeOptions& options, Streams& streams) {
  NSFerryman::COpenFile input{NSFerryman::CFileSpec(options.input)};
  NSFerryman::CAtomicOutputFile output(options.output, {options.input});
  const std::uint64_t written = PackAudioItem(input, output.Media());
  output.Commit();

  if (options.verbose) {
    const CSampleInfo info =
        SampleFileKindOf(input) == ESampleFileKind::kWave ? ReadWaveInfo(input) : ReadAIFFInfo(input);
    const std::uint64_t pcmBytes = std::uint64_t{info.frameCount} * info.channels * 2;
    streams.out << EscapeForTerminal(options.input) << ": " << info.frameCount << " frames, " << info.channels << " channel"
                << (info.channels == 1 ? "" : "s") << ", " << info.bits << " bits, " << info.sampleRate << " Hz -> "
                << EscapeForTerminal(options.output) << ": " << written << " bytes";
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
        NSFerryman::InstallPartialOutputRemoval();
        return ReportingFailures(streams, options->input, [&] { return EncodeAudio(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
