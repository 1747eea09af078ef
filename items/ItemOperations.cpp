#include "items/ItemOperations.h"

#include "framework/media/Exceptions.h"
#include "items/AudioPacker.h"
#include "items/CopyItem.h"
#include "items/HostFile.h"
#include "items/JPEGImage.h"
#include "items/MIDIHeader.h"
#include "items/ReadabilityTest.h"
#include "items/SampleFileLayout.h"
#include "items/SLCFileCheck.h"
#include "items/TIFFImage.h"
#include "items/WaveInfo.h"

using NSFerryman::CMedia;

namespace {

bool Is(const CFileType& type, const CFileType& known) { return TypeMatchesType(known, type); }

bool IsAudioType(const CFileType& type) { return Is(type, AudioIffFileType()) || Is(type, WaveFileType()); }

bool IsPatchType(const CFileType& type) {
  return Is(type, PolywinderPatchFileType()) || Is(type, SX24SamplerPatchFileType()) || Is(type, ThumprPatchFileType()) ||
         Is(type, LooptorPatchFileType());
}

bool IsSliceType(const CFileType& type) {
  return Is(type, Slivver1FileType()) || Is(type, Slivver2FileType()) || Is(type, SlcFileType());
}

void CheckChannels(const CSampleInfo& info) {
  if (info.channels != 1 && info.channels != 2) {
    throw NSFerryman::XBadFormat(std::to_string(info.channels) + " channels");
  }
}

}  // namespace

void CheckItem(const CFileType& type, CMedia& file, const CItemContext& context, ExternalHamperNames& names) {
  file.SetPosition(0);
  if (Is(type, AudioIffFileType())) {
    // The layout, not only the description: audio missing or cut short is found here, where
    // the file can still be left out, instead of cancelling the pack later.
    CheckChannels(ReadAIFFLayout(file).info);
  } else if (Is(type, WaveFileType())) {
    CheckChannels(ReadWaveInfo(file));
  } else if (Is(type, JpegBitmapFileType())) {
    CheckJPEGImage(file);
  } else if (Is(type, MidiFileType())) {
    CheckMIDIHeader(file);
    ReadabilityTest(file);
  } else if (Is(type, HiddenPadFileType())) {
    ReadabilityTest(file);
  } else if (Is(type, TiffFileType())) {
    CheckTIFFImage(file);
  } else if (Is(type, TesselSongFileType())) {
    CheckHostFile(EHostFileKind::kSong, file, context.references, names, context.Scratch());
  } else if (Is(type, PublishedTesselSongFileType())) {
    CheckHostFile(EHostFileKind::kPublishedSong, file, context.references, names, context.Scratch());
  } else if (IsPatchType(type)) {
    CheckHostFile(EHostFileKind::kPatch, file, context.references, names, context.Scratch());
  } else if (IsSliceType(type)) {
    if (!context.slcLibrary) throw NSFerryman::XUnrecoverableCommandError("the sliced-loop library is not loaded");
    CheckSLCFile(*context.slcLibrary, file);
  }
}

std::uint64_t PackItem(const CFileType& type, CMedia& file, CMedia& output, const CItemContext& context) {
  file.SetPosition(0);
  if (IsAudioType(type)) return PackAudioItem(file, output);
  if (Is(type, JpegBitmapFileType())) {
    CheckJPEGImage(file);
    return CopyItem(file, output);
  }
  if (Is(type, TiffFileType())) {
    CheckTIFFImage(file);
    return CopyItem(file, output);
  }
  if (Is(type, TesselSongFileType())) {
    return RewriteHostFile(EHostFileKind::kSong, file, output, context.references, context.Scratch());
  }
  if (Is(type, PublishedTesselSongFileType())) {
    return RewriteHostFile(EHostFileKind::kPublishedSong, file, output, context.references, context.Scratch());
  }
  if (IsPatchType(type)) return RewriteHostFile(EHostFileKind::kPatch, file, output, context.references, context.Scratch());
  return CopyItem(file, output);
}

bool IsStoredUnchanged(const CFileType& type) {
  return !IsAudioType(type) && !Is(type, TesselSongFileType()) && !Is(type, PublishedTesselSongFileType()) &&
         !IsPatchType(type);
}
