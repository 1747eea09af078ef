// `hamper decode-audio INPUT.vrp OUTPUT.wav`: decodes a VORP audio item into a 16-bit WAV file,
// with a "smpl" chunk for its root key, fine tune and loop when it has them.

#include <bit>
#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "cli/AtomicOutputFile.h"
#include "cli/Command.h"
#include "codec/VORPDecoder.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialMedia.h"
#include "items/SampleInfoRules.h"
#include "items/WaveFileWriter.h"
#include "items/WaveSample.h"

namespace cli {
namespace {

struct DecodeOptions {
  std::string input;
  std::string output;
};

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

int DecodeAudio(const DecodeOptions& options) {
  NSFerryman::COpenFile input{NSFerryman::CFileSpec(options.input)};
  const CVORPSampleHeader header = CVORPSampleHeader::Read(input);
  // Every coded value takes at least one bit, so a frame count the stream cannot hold is a lie
  // found before the frames' memory is taken.
  const std::uint64_t values = std::uint64_t{header.frameCount} * header.channelCount;
  const std::uint64_t bits = input.Remaining() * 8;
  if (values > bits) {
    throw NSFerryman::XBadFormat("the stream of " + std::to_string(input.Remaining()) + " bytes cannot hold " +
                                 std::to_string(header.frameCount) + " frames");
  }
  if (header.sampleRate == 0) throw NSFerryman::XBadFormat("the item's sample rate is 0");

  CAtomicOutputFile output(options.output);
  if constexpr (std::endian::native == std::endian::little) {
    // WAV frames are little-endian, as ours are in memory: the decoder writes its blocks straight
    // into the file behind the header, and memory use does not grow with the length.
    CWaveFileWriter::WriteHeader(output.Media(), header.channelCount, header.frameCount, header.sampleRate,
                                 InfoOf(header));
    NSFerryman::CPartialMedia audio(output.Media(), output.Media().GetPosition());
    NSFerryman::CNative16BitAccessor frames(audio, header.frameCount, header.channelCount);
    DecodeVORPStream(header, input, frames);
  } else {
    CWaveSample sample(CSampleFormat{header.channelCount, 16, header.sampleRate, header.frameCount});
    DecodeVORPStream(header, input, sample);
    CWaveFileWriter::Write(output.Media(), sample, header.sampleRate, InfoOf(header));
  }
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
        return ReportingFailures(streams, options->input, [&] { return DecodeAudio(*options); });
      };
    });

}  // namespace
}  // namespace cli
