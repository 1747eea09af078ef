#include "items/AudioPacker.h"

#include "codec/VORPEncoder.h"
#include "items/SampleFileAccessor.h"
#include "items/SampleFileLayout.h"
#include "items/VORPHeaderFromInfo.h"

using namespace NSFerryman;

std::uint64_t PackAudioItem(CMedia& source, CMedia& output) {
  const CSampleFileLayout layout = ReadSampleFileLayout(source);
  const CVORPSampleHeader header = VORPHeaderFromInfo(layout.info, 16);
  CSampleFileAccessor frames(source, layout);
  const MediaSize start = output.GetPosition();
  header.Write(output);
  EncodeVORPStream(header, output, frames);
  return output.GetPosition() - start;
}
