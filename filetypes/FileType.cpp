#include "filetypes/FileType.h"

#include <array>
#include <utility>

#include "framework/media/AsciiCase.h"

namespace {

std::string_view ExtensionOf(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot);
}

}  // namespace

CFileType::CFileType(std::string description, std::string extensions, std::string_view typeCode)
    : description_(std::move(description)), extensions_(std::move(extensions)), typeCode_(typeCode) {}

std::size_t CFileType::GetExtensionCount() const {
  std::size_t count = 1;
  for (char c : extensions_) {
    if (c == ';') ++count;
  }
  return count;
}

std::string CFileType::GetExtension(std::size_t n) const {
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t sep = extensions_.find(';', start);
    if (sep == std::string::npos) return std::string();
    start = sep + 1;
  }
  const std::size_t end = extensions_.find(';', start);
  return extensions_.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool CFileType::NameMatches(std::string_view fileName) const {
  const std::string_view extension = ExtensionOf(fileName);
  if (extension.empty()) return false;
  const std::size_t count = GetExtensionCount();
  for (std::size_t i = 0; i < count; ++i) {
    if (NSFerryman::AsciiEqualsIgnoringCase(extension, GetExtension(i))) return true;
  }
  return false;
}

bool CFileType::TypeMatches(const CFileType& other) const {
  if (typeCode_ == other.typeCode_) return true;
  const std::size_t count = GetExtensionCount();
  for (std::size_t i = 0; i < count; ++i) {
    if (other.NameMatches(GetExtension(i))) return true;
  }
  return false;
}

#define HAMPER_FILE_TYPE(Accessor, description, extensions, code) \
  const CFileType& Accessor() {                                   \
    static const CFileType type(description, extensions, code);   \
    return type;                                                  \
  }

HAMPER_FILE_TYPE(TextFileType, "Text File", ".txt;.doc", "TEXT")
HAMPER_FILE_TYPE(BmpBitmapFileType, "BMP Bitmap", ".bmp", "BMP ")
HAMPER_FILE_TYPE(JpegBitmapFileType, "JPEG Bitmap", ".jpeg;.jpg", "JPEG")
HAMPER_FILE_TYPE(WaveFileType, "Wave File", ".wav;.wave", "WAVE")
HAMPER_FILE_TYPE(AudioIffFileType, "Audio IFF", ".aif;.aiff", "AIFF")
HAMPER_FILE_TYPE(MidiFileType, "Standard MIDI File", ".mid;.midi", "Midi")
HAMPER_FILE_TYPE(UndefinedBinaryFileType, "Undefined Binary", ".bin", "BINA")
HAMPER_FILE_TYPE(TemporaryFileType, "Temporary File", ".tmp", "TMP ")
HAMPER_FILE_TYPE(Slivver1FileType, "Slivver 1.6/1.7 File", ".slv", "SVSO")
HAMPER_FILE_TYPE(TesselSongFileType, "Tessel Song", ".tns", "TNS ")
HAMPER_FILE_TYPE(PublishedTesselSongFileType, "Published Tessel Song", ".tps", "TPS ")
HAMPER_FILE_TYPE(PolywinderPatchFileType, "Tessel Polywinder Patch", ".zyp", "ZYP ")
HAMPER_FILE_TYPE(SX24SamplerPatchFileType, "Tessel SX24 Sampler Patch", ".smp", "SMP ")
HAMPER_FILE_TYPE(LooptorPatchFileType, "Tessel Looptor Patch", ".sxp", "SXP ")
HAMPER_FILE_TYPE(ThumprPatchFileType, "Tessel Thumpr Patch", ".drp", "DRP ")
HAMPER_FILE_TYPE(Slivver2FileType, "Slivver 2 file", ".sl2", "SLC2")
HAMPER_FILE_TYPE(SlcFileType, "SLC File", ".slc", "SLC ")
HAMPER_FILE_TYPE(VorpFileType, "VORP files", ".vrp;.vorp", "VoRP")
HAMPER_FILE_TYPE(HiddenPadFileType, "Hidden PAD file", ".pad", "PAd ")
HAMPER_FILE_TYPE(TiffFileType, "TIFF File", ".tif;.tiff", "TIFF")
HAMPER_FILE_TYPE(ShortcutFileType, "Shortcut", ".lnk", "????")
HAMPER_FILE_TYPE(HamperFileType, "Hamper file", ".hmp", "HMP ")

HAMPER_FILE_TYPE(ApplicationFileType, "Application", ".exe", "APPL")
HAMPER_FILE_TYPE(TesselPreferenceFileType, "Tessel Preference File", ".prf", "PREF")
HAMPER_FILE_TYPE(TesselDataFileType, "Tessel Data File", ".dat", "????")
HAMPER_FILE_TYPE(PictorixBitmapFileType, "Pictorix Bitmap File", ".dat", "Bmps")
HAMPER_FILE_TYPE(Slc1FileType, "SLC1 File", ".slc", "SLC ")

#undef HAMPER_FILE_TYPE

const CFileType& ClassifyFileName(std::string_view fileName) {
  // The order decides between types that share an extension; keep it as it is.
  using Accessor = const CFileType& (*)();
  static constexpr std::array<Accessor, 19> kOrder = {
      Slivver2FileType,         Slivver1FileType,         SlcFileType,
      TesselSongFileType,       PublishedTesselSongFileType, PolywinderPatchFileType,
      SX24SamplerPatchFileType, LooptorPatchFileType,     ThumprPatchFileType,
      MidiFileType,             JpegBitmapFileType,       TextFileType,
      BmpBitmapFileType,        WaveFileType,             AudioIffFileType,
      TiffFileType,             HamperFileType,           HiddenPadFileType,
      ShortcutFileType,
  };
  for (Accessor type : kOrder) {
    if (type().NameMatches(fileName)) return type();
  }
  return UndefinedBinaryFileType();
}

int GetItemTypeOfFileType(const CFileType& fileType) {
  struct Rule {
    const CFileType& (*type)();
    int itemType;
  };
  static constexpr std::array<Rule, 15> kOrder = {{
      {AudioIffFileType, 11},
      {WaveFileType, 11},
      {JpegBitmapFileType, 9},
      {MidiFileType, 10},
      {TiffFileType, 8},
      {LooptorPatchFileType, 4},
      {TesselSongFileType, 1},
      {PublishedTesselSongFileType, 13},
      {PolywinderPatchFileType, 2},
      {SX24SamplerPatchFileType, 3},
      {Slivver1FileType, 12},
      {Slivver2FileType, 6},
      {SlcFileType, 7},
      {ThumprPatchFileType, 5},
      {HiddenPadFileType, 14},
  }};
  for (const Rule& rule : kOrder) {
    if (fileType.TypeMatches(rule.type())) return rule.itemType;
  }
  return 0;
}
