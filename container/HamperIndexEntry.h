#pragma once
// One record of a Hamper's index: Path (string), ItemType (byte), Offset (u32, relative to the
// data area), Size (u32), Hidden (byte; exactly 1 means hidden).
//
// Path names the item by the folders above it and its file name, joined by ":".

#include <cstdint>
#include <string>

#include "framework/media/Media.h"

class CHamperIndexEntry {
 public:
  CHamperIndexEntry() = default;
  CHamperIndexEntry(int itemType, std::uint32_t size, std::uint32_t offset, bool hidden, std::string path);

  const std::string& GetPath() const { return path_; }
  int GetItemType() const { return itemType_; }
  std::uint32_t GetOffset() const { return offset_; }
  std::uint32_t GetSize() const { return size_; }
  bool IsHidden() const { return hidden_; }

  // Bytes the record takes when written.
  std::uint64_t GetStoredSize() const { return StoredSizeForPath(path_.size()); }
  static constexpr std::uint64_t StoredSizeForPath(std::uint64_t pathLength) { return 4 + pathLength + 1 + 4 + 4 + 1; }

  void Write(NSFerryman::CMedia& media) const;
  // XBadFormat on a bad Path string; the numbers are taken as they are.
  static CHamperIndexEntry Read(NSFerryman::CMedia& media);

  bool operator==(const CHamperIndexEntry&) const = default;

 private:
  std::string path_;
  int itemType_ = 0;
  std::uint32_t offset_ = 0;
  std::uint32_t size_ = 0;
  bool hidden_ = false;
};
