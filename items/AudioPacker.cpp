#include "items/AudioPacker.h"

#include "codec/VORPEncoder.h"
#include "items/LoadSample.h"
#include "items/SampleFileAccessor.h"
#include "items/SampleFileLayout.h"
#include "items/VORPHeaderFromInfo.h"

using namespace NSFerryman;

std::uint64_t PackAudioItem(CMedia& source, CMedia& output) {
  // The contents decide, not the name: ".wav" files that are AIFF exist, and the other way round.
  CSampleFileLayout layout;
  switch (SampleFileKindOf(source)) {
    case ESampleFileKind::kWave:
      layout = ReadWaveLayout(source);
      break;
    case ESampleFileKind::kAIFF:
      layout = ReadAIFFLayout(source);
      break;
    default:
      throw XUnsupportedFormat("not a WAV or AIFF file (it starts with neither \"RIFF\" nor \"FORM\")");
  }
  const CVORPSampleHeader header = VORPHeaderFromInfo(layout.info, 16);
  CSampleFileAccessor frames(source, layout);
  const MediaSize start = output.GetPosition();
  header.Write(output);
  EncodeVORPStream(header, output, frames);
  return output.GetPosition() - start;
}
