// `hamper decode-audio INPUT.vrp OUTPUT.wav`: decodes a VORP audio item into a 16-bit WAV file,
// with a "smpl" chunk for its root key, fine tune and loop when it has them.

#include <memory>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"
#include "items/AudioItemDecoder.h"

namespace cli {
namespace {

struct DecodeOptions {
  std::string input;
  std::string output;
};

int DecodeAudio(const DecodeOptions& options) {
  NSFerryman::COpenFile input{NSFerryman::CFileSpec(options.input)};
  // An item no WAV file can carry is refused before its output is made.
  CheckAudioItemDecodesToWave(input);
  NSFerryman::CAtomicOutputFile output(options.output, {options.input});
  DecodeAudioItemToWave(input, output.Media());
  output.Commit();
  return kExitOk;
}

const CommandRegistrar kDecodeAudio(
    "decode-audio", "Decode a VORP audio item (.vrp) into a 16-bit WAV file",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<DecodeOptions>();
      sub.add_option("INPUT", options->input, "The VORP item to decode")->required();
      sub.add_option("OUTPUT", options->output, "The WAV file to write (replaced if it exists)")->required();
      return [options](Streams& streams) {
        NSFerryman::InstallPartialOutputRemoval();
        return ReportingFailures(streams, options->input, [&] { return DecodeAudio(*options); });
      };
    });

}  // namespace
}  // namespace cli
