#include "container/HamperIndex.h"

#include <algorithm>
#include <cstring>


using NSFerryman::CMedia;
using NSFerryman::MediaSize;
using NSFerryman::XBadFormat;

namespace {

// A record is its Path's count, the Path, ItemType, Offset, Size and Hidden.
constexpr std::size_t kCountBytes = 4;
constexpr std::size_t kFieldBytes = 1 + 4 + 4 + 1;
constexpr std::size_t kEmptyRecordBytes = kCountBytes + kFieldBytes;

std::uint32_t BigEndian(const char* at) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(at);
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

// Records the media can still hold, and the bytes they may take, for reserving memory once: the
// writer's index ends where the data begins; a damaged one at the end of the file.
void ReserveFor(CHamperIndex& index, CMedia& media, const CHamperDescription& description, std::size_t limit) {
  const MediaSize size = media.GetSize();
  const MediaSize room = description.GetIndexOffset() <= size ? size - description.GetIndexOffset() : 0;
  const MediaSize records = std::min<MediaSize>({description.GetEntryCount(), room / kEmptyRecordBytes, limit});
  MediaSize bytes = records * kEmptyRecordBytes;
  if (records == description.GetEntryCount() && description.GetDataOffset() >= description.GetIndexOffset()) {
    bytes = std::max<MediaSize>(bytes, description.GetDataOffset() - description.GetIndexOffset());
  }
  index.Reserve(static_cast<std::size_t>(records), static_cast<std::size_t>(std::min(bytes, room)));
}

}  // namespace

CHamperIndex CHamperIndex::FromEntries(const std::vector<CHamperIndexEntry>& entries) {
  CHamperIndex index;
  std::size_t bytes = 0;
  for (const CHamperIndexEntry& entry : entries) bytes += kEmptyRecordBytes + entry.GetPath().size();
  index.Reserve(entries.size(), bytes);
  const auto put = [&](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) index.bytes_.push_back(static_cast<char>(value >> (24 - 8 * i)));
  };
  for (const CHamperIndexEntry& entry : entries) {
    if (index.bytes_.size() + kEmptyRecordBytes + entry.GetPath().size() > 0xFFFFFFFFu) {
      throw XBadFormat("the index runs past 4 GiB");
    }
    index.starts_.push_back(static_cast<std::uint32_t>(index.bytes_.size()));
    put(static_cast<std::uint32_t>(entry.GetPath().size()));
    index.bytes_.insert(index.bytes_.end(), entry.GetPath().begin(), entry.GetPath().end());
    index.bytes_.push_back(static_cast<char>(entry.GetItemType()));
    put(entry.GetOffset());
    put(entry.GetSize());
    index.bytes_.push_back(entry.IsHidden() ? 1 : 0);
  }
  return index;
}

std::size_t CHamperIndex::FieldsOf(std::size_t r) const {
  const std::size_t start = starts_[r];
  return start + kCountBytes + BigEndian(&bytes_[start]);
}

std::uint32_t CHamperIndex::U32(std::size_t at) const { return BigEndian(&bytes_[at]); }

std::string_view CHamperIndex::Path(std::size_t r) const {
  const std::size_t start = starts_[r];
  return {bytes_.data() + start + kCountBytes, BigEndian(&bytes_[start])};
}

CHamperIndexEntry CHamperIndex::Entry(std::size_t r) const {
  return CHamperIndexEntry(ItemType(r), ItemSize(r), Offset(r), IsHidden(r), std::string(Path(r)));
}

void CHamperIndex::Reserve(std::size_t records, std::size_t bytes) {
  starts_.reserve(records);
  bytes_.reserve(bytes);
}

void CHamperIndex::ReadRecord(CMedia& media) {
  const std::uint32_t length = media.ReadU32();
  if (length > media.Remaining()) {
    throw XBadFormat("string of " + std::to_string(length) + " bytes runs past the end of the data");
  }
  const std::size_t start = bytes_.size();
  const std::uint64_t end = std::uint64_t{start} + kEmptyRecordBytes + length;
  // Where records begin is kept in 32 bits; no Hamper's index comes near.
  if (end > 0xFFFFFFFFu) throw XBadFormat("the index runs past 4 GiB");
  bytes_.resize(static_cast<std::size_t>(end));
  char* record = bytes_.data() + start;
  for (int i = 0; i < 4; ++i) record[i] = static_cast<char>(length >> (24 - 8 * i));
  try {
    media.Read(length + kFieldBytes, record + kCountBytes);
    if (std::memchr(record + kCountBytes, 0, length)) throw XBadFormat("string holds a zero byte");
  } catch (...) {
    bytes_.resize(start);
    throw;
  }
  starts_.push_back(static_cast<std::uint32_t>(start));
}

CHamperIndex ReadHamperIndexRecords(CMedia& media, const CHamperDescription& description) {
  const MediaSize size = media.GetSize();
  const std::uint64_t count = description.GetEntryCount();
  // Every record takes at least an empty path's worth of bytes; refuse a count the file cannot
  // hold before reserving room for it.
  if (description.GetIndexOffset() > size || count * kEmptyRecordBytes > size - description.GetIndexOffset()) {
    throw XBadFormat("damaged Hamper: " + std::to_string(count) + " index records do not fit in the file");
  }
  CHamperIndex index;
  ReserveFor(index, media, description, static_cast<std::size_t>(-1));
  media.SetPosition(description.GetIndexOffset());
  for (std::uint64_t i = 0; i < count; ++i) {
    try {
      index.ReadRecord(media);
    } catch (const NSFerryman::XRead&) {
      throw XBadFormat("damaged Hamper: index record " + std::to_string(i + 1) + " runs past the end");
    } catch (const XBadFormat& e) {
      throw XBadFormat("damaged Hamper: index record " + std::to_string(i + 1) + ": " + e.what());
    }
  }
  return index;
}

CHamperIndexReading ReadHamperIndexAsFarAsItGoes(CMedia& media, const CHamperDescription& description,
                                                 std::size_t limit) {
  CHamperIndexReading reading;
  const std::uint32_t count = description.GetEntryCount();
  try {
    ReserveFor(reading.index, media, description, limit);
    media.SetPosition(description.GetIndexOffset());
    for (std::uint32_t i = 0; i < count; ++i) {
      if (reading.index.Size() == limit) {
        reading.limited = true;
        break;
      }
      // Every record takes at least 14 bytes: a count the file cannot hold ends here.
      if (media.Remaining() < kEmptyRecordBytes) throw XBadFormat("the file ends");
      reading.index.ReadRecord(media);
    }
  } catch (const NSFerryman::XBase& e) {
    reading.problem = e.what();
  }
  return reading;
}
