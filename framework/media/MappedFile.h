#pragma once
// A file mapped into memory for reading, as a media. Readers that walk a large file once (the
// audio encoder over a WAV's frames) take its bytes where they are, without copying them into
// a buffer of their own first.

#include <cstdint>

#include "framework/media/FileSpec.h"
#include "framework/media/Media.h"

namespace NSFerryman {

class CMappedFile : public CMedia {
 public:
  // XFile family when the file cannot be opened or mapped.
  explicit CMappedFile(const CFileSpec& file);
  ~CMappedFile() override;

  MediaSize GetSize() override { return size_; }
  MediaSize GetPosition() override { return position_; }
  void SetPosition(MediaSize position) override { position_ = position; }
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override;
  // Read-only: XWrite.
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override;

  // The file's bytes; null for an empty file.
  const std::uint8_t* Data() const { return data_; }

 private:
  const std::uint8_t* data_ = nullptr;
  MediaSize size_ = 0;
  MediaSize position_ = 0;
  std::string path_;
};

}  // namespace NSFerryman
