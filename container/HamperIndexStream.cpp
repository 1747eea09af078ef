#include "container/HamperIndexStream.h"

#include <string>

#include "framework/media/Exceptions.h"

CHamperIndexStream::CHamperIndexStream(NSFerryman::CMedia& media, const CHamperDescription& description)
    : media_(media), start_(description.GetIndexOffset()), count_(description.GetEntryCount()) {
  const NSFerryman::MediaSize size = media.GetSize();
  // Every record takes at least an empty path's worth of bytes.
  const std::uint64_t minimum = std::uint64_t{count_} * CHamperIndexEntry::StoredSizeForPath(0);
  if (start_ > size || minimum > size - start_) {
    throw NSFerryman::XBadFormat("damaged Hamper: " + std::to_string(count_) + " index records do not fit in the file");
  }
}

bool CHamperIndexStream::Next(CHamperIndexEntry& record) {
  if (next_ >= count_) return false;
  // The media may have been read elsewhere since the last record.
  media_.SetPosition(next_ == 0 ? start_ : position_);
  try {
    record = CHamperIndexEntry::Read(media_);
    position_ = media_.GetPosition();
  } catch (const NSFerryman::XRead&) {
    throw NSFerryman::XBadFormat("damaged Hamper: index record " + std::to_string(next_ + 1) + " runs past the end");
  }
  ++next_;
  return true;
}
