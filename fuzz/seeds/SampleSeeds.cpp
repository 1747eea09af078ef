// WAV and AIFF/AIFC files of each depth and channel count, with loops and instrument data, and a
// few damaged ones; built byte by byte by the sample readers' test helpers. The IFF target starts
// from the same files and from authored songs and patches (HostFileSeeds.cpp).

#include "fuzz/seeds/SeedWriter.h"
#include "items/SampleTestFiles.h"

namespace seeds {

namespace {

using namespace sampletest;

// `frames` frames of a ramp, in `bytesPerSample`-byte values.
Bytes Frames(std::size_t frames, int channels, int bytesPerSample) {
  Bytes b;
  for (std::size_t i = 0; i < frames * channels * bytesPerSample; ++i) b.push_back(static_cast<std::uint8_t>(i * 37));
  return b;
}

}  // namespace

void WriteSampleSeeds(CSeedFolder& folder) {
  folder.Add("mono16.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 44100, 16)}, {"data", Frames(20, 1, 2)}}));
  folder.Add("stereo8.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 22050, 8)}, {"data", Frames(15, 2, 1)}}));
  folder.Add("stereo24-loop.wav",
             Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 48000, 24)},
                                        {"smpl", Smpl(62, 0x80000100, {{0, 2, 9}})},
                                        {"data", Frames(12, 2, 3)}}));
  folder.Add("extensible20.wav", Container("RIFF", "WAVE", {{"fmt ", FmtExtensible(1, 96000, 20, kPCMGuid)},
                                                            {"LIST", Bytes(5, 'x')},
                                                            {"data", Frames(9, 1, 3)}}));
  folder.Add("float.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(3, 1, 44100, 32)}, {"data", Frames(4, 1, 4)}}));
  folder.Add("data-too-long.wav",
             Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 44100, 16)}, {"data", Frames(8, 1, 2), 1000}}));

  folder.Add("mono16.aif", Container("FORM", "AIFF", {{"COMM", Comm(1, 20, 16, 44100)}, {"SSND", Ssnd(Frames(20, 1, 2))}}));
  folder.Add("stereo8-sustain.aif",
             Container("FORM", "AIFF", {{"COMM", Comm(2, 10, 8, 22050)},
                                        {"MARK", Mark({{1, 2, "begin"}, {2, 8, "end"}})},
                                        {"INST", Inst(60, -12, {1, 1, 2}, {2, 1, 2})},
                                        {"SSND", Ssnd(Frames(10, 2, 1), 3)}}));
  folder.Add("mono24-inst.aifc", Container("FORM", "AIFC", {{"COMM", Comm(1, 8, 24, 48000, "NONE")},
                                                            {"INST", Inst(70, 5, {0, 1, 2})},
                                                            {"MARK", Mark({{1, 0, ""}, {2, 7, "x"}})},
                                                            {"SSND", Ssnd(Frames(8, 1, 3))}}));
  folder.Add("stereo16-sowt.aifc",
             Container("FORM", "AIFC", {{"COMM", Comm(2, 6, 16, 32000, "sowt")}, {"SSND", Ssnd(Frames(6, 2, 2))}}));
  folder.Add("ssnd-short.aif", Container("FORM", "AIFF", {{"COMM", Comm(1, 500, 16, 44100)}, {"SSND", Ssnd(Frames(4, 1, 2))}}));
}

}  // namespace seeds
