#include "container/HamperIndexEntry.h"

#include <utility>

using NSFerryman::CMedia;

CHamperIndexEntry::CHamperIndexEntry(int itemType, std::uint32_t size, std::uint32_t offset, bool hidden,
                                     std::string path)
    : path_(std::move(path)), itemType_(itemType), offset_(offset), size_(size), hidden_(hidden) {}

void CHamperIndexEntry::Write(CMedia& media) const {
  media.WriteString(path_);
  media.WriteByte(static_cast<std::uint8_t>(itemType_));
  media.WriteU32(offset_);
  media.WriteU32(size_);
  media.WriteByte(hidden_ ? 1 : 0);
}

CHamperIndexEntry CHamperIndexEntry::Read(CMedia& media) {
  CHamperIndexEntry e;
  e.path_ = media.ReadString();
  e.itemType_ = media.ReadByte();
  e.offset_ = media.ReadU32();
  e.size_ = media.ReadU32();
  // Only the value 1 marks a hidden item; any other byte reads as visible.
  e.hidden_ = media.ReadByte() == 1;
  return e;
}
