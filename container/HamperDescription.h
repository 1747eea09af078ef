#pragma once
// The description record of a Hamper, stored right after the signature block:
//   Name, Comments, URL, Copyright (strings), then EntryCount, IndexOffset, DataOffset (u32).
// A fresh record has the three numbers 0; the writer fills them in.

#include <cstdint>
#include <string>

#include "framework/media/Media.h"

class CHamperDescription {
 public:
  CHamperDescription() = default;
  CHamperDescription(std::string name, std::string comments, std::string url, std::string copyright);

  const std::string& GetName() const { return name_; }
  const std::string& GetComments() const { return comments_; }
  const std::string& GetURL() const { return url_; }
  const std::string& GetCopyright() const { return copyright_; }
  void SetName(std::string name) { name_ = std::move(name); }
  void SetComments(std::string comments) { comments_ = std::move(comments); }
  void SetURL(std::string url) { url_ = std::move(url); }
  void SetCopyright(std::string copyright) { copyright_ = std::move(copyright); }

  std::uint32_t GetEntryCount() const { return entryCount_; }
  std::uint32_t GetIndexOffset() const { return indexOffset_; }
  std::uint32_t GetDataOffset() const { return dataOffset_; }
  void SetEntryCount(std::uint32_t count) { entryCount_ = count; }
  void SetIndexOffset(std::uint32_t offset) { indexOffset_ = offset; }
  void SetDataOffset(std::uint32_t offset) { dataOffset_ = offset; }

  // Bytes the record takes when written.
  std::uint64_t GetStoredSize() const;

  // Write and read at the media's position. Reading fails with XBadFormat on a string that runs
  // past the end or holds a zero byte.
  void Write(NSFerryman::CMedia& media) const;
  static CHamperDescription Read(NSFerryman::CMedia& media);

  bool operator==(const CHamperDescription&) const = default;

 private:
  std::string name_;
  std::string comments_;
  std::string url_;
  std::string copyright_;
  std::uint32_t entryCount_ = 0;
  std::uint32_t indexOffset_ = 0;
  std::uint32_t dataOffset_ = 0;
};
