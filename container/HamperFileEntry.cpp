#include "container/HamperFileEntry.h"

#include "container/HamperFile.h"
#include "container/HamperHeader.h"
#include "container/HamperItemMedia.h"
#include "filetypes/FileType.h"

MINIHamperFileEntry::MINIHamperFileEntry(const CHamperIndexEntry& record, const MINavigationInterface& parent,
                                         const MINIHamperFile& file)
    : MINIABCHamperEntry(record.IsHidden(), parent, file), record_(record) {}

std::string MINIHamperFileEntry::GetName() const {
  const std::string& path = record_.GetPath();
  const std::size_t colon = path.rfind(':');
  return colon == std::string::npos ? path : path.substr(colon + 1);
}

const CFileType* MINIHamperFileEntry::FileTypeOfItemType(int itemType) {
  switch (itemType) {
    case 1: return &TesselSongFileType();
    case 2: return &PolywinderPatchFileType();
    case 3: return &SX24SamplerPatchFileType();
    case 4: return &LooptorPatchFileType();
    case 5: return &ThumprPatchFileType();
    case 6: return &Slivver2FileType();
    case 7: return &SlcFileType();
    case 8: return &TiffFileType();
    case 9: return &JpegBitmapFileType();
    case 10: return &MidiFileType();
    case 11: return &VorpFileType();  // audio is stored VORP-coded
    case 12: return &Slivver1FileType();
    case 13: return &PublishedTesselSongFileType();
    default: return nullptr;
  }
}

const CFileType* MINIHamperFileEntry::GetFileType() const { return FileTypeOfItemType(record_.GetItemType()); }

int MINIHamperFileEntry::GetImage() const {
  const CFileType* type = GetFileType();
  if (!type) return kDefaultImage;
  struct ImageOfType {
    const CFileType& (*type)();
    int image;
  };
  static constexpr ImageOfType kImages[] = {
      {Slivver2FileType, 206},        {SlcFileType, 211},       {Slivver1FileType, 213},
      {TesselSongFileType, 2},        {PublishedTesselSongFileType, 204}, {PolywinderPatchFileType, 210},
      {SX24SamplerPatchFileType, 209}, {ThumprPatchFileType, 208}, {HamperFileType, 205},
      {VorpFileType, 207},
  };
  for (const ImageOfType& entry : kImages) {
    if (type == &entry.type()) return entry.image;
  }
  return kDefaultImage;
}

std::unique_ptr<NSFerryman::CMedia> MINIHamperFileEntry::OpenMedia() const {
  const MINIHamperFile& file = GetHamperFile();
  const CHamperDescription& header = file.GetHeader();
  // The index is not trusted: an item that reaches past the end of the file is refused before
  // any of its bytes are read.
  if (!ItemLiesInsideHamper(header, record_, file.GetCheckedFileSize())) {
    throw NSFerryman::XBadFormat("damaged Hamper: the item " + record_.GetPath() + " (" +
                                 std::to_string(record_.GetSize()) + " bytes at " +
                                 std::to_string(record_.GetOffset()) + ") lies outside the file");
  }
  const std::uint64_t start = std::uint64_t{header.GetDataOffset()} + record_.GetOffset();
  return std::make_unique<CHamperItemMedia>(file, start, record_.GetSize());
}
