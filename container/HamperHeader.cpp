#include "container/HamperHeader.h"

#include <string>

#include "container/FormatSignature.h"

using NSFerryman::CMedia;
using NSFerryman::MediaSize;
using NSFerryman::XBadFormat;

CHamperDescription ReadAndCheckHamperHeader(CMedia& media) {
  // The checks run in this order and stop at the first failure, so that a damaged file is
  // always reported by the same reason.
  const MediaSize mediaSize = media.GetSize();
  if (mediaSize < kHamperDescriptionPosition) {
    throw XBadFormat("not a Hamper: the file is too short (" + std::to_string(mediaSize) + " bytes)");
  }
  if (media.ReadU32() != kHamperMagic.GetValue()) throw XBadFormat("not a Hamper: the file does not start with \"Hamp\"");
  const std::uint32_t fileSize = media.ReadU32();
  if (fileSize != mediaSize) {
    throw XBadFormat("damaged Hamper: the header gives a size of " + std::to_string(fileSize) +
                     " bytes, the file has " + std::to_string(mediaSize));
  }
  const CFormatSignature signature = CFormatSignature::Read(media);
  const CFormatSignature& expected = CFormatSignature::Hamper();
  if (signature.GetMagic() != expected.GetMagic()) throw XBadFormat("not a Hamper: wrong signature magic");
  if (!signature.GetVersion().IsSameMajor(expected.GetVersion())) {
    throw XBadFormat("unknown Hamper format version " + signature.GetVersion().ToString());
  }
  if (signature.GetText() != expected.GetText()) throw XBadFormat("not a Hamper: wrong signature text");

  CHamperDescription description;
  try {
    description = CHamperDescription::Read(media);
  } catch (const NSFerryman::XRead&) {
    throw XBadFormat("damaged Hamper: the description record runs past the end");
  } catch (const XBadFormat& e) {
    throw XBadFormat(std::string("damaged Hamper: the description record: ") + e.what());
  }
  if (description.GetName().empty()) throw XBadFormat("damaged Hamper: the name is empty");
  if (description.GetDataOffset() > mediaSize) throw XBadFormat("damaged Hamper: the data offset lies past the end");
  if (description.GetIndexOffset() > mediaSize) throw XBadFormat("damaged Hamper: the index offset lies past the end");
  if (description.GetIndexOffset() > description.GetDataOffset()) {
    throw XBadFormat("damaged Hamper: the index lies behind the data");
  }
  return description;
}

std::vector<CHamperIndexEntry> ReadHamperIndex(CMedia& media, const CHamperDescription& description) {
  const MediaSize size = media.GetSize();
  const std::uint64_t count = description.GetEntryCount();
  // Every record takes at least an empty path's worth of bytes; refuse a count the file cannot
  // hold before reserving room for it.
  const std::uint64_t minimum = count * CHamperIndexEntry::StoredSizeForPath(0);
  if (description.GetIndexOffset() > size || minimum > size - description.GetIndexOffset()) {
    throw XBadFormat("damaged Hamper: " + std::to_string(count) + " index records do not fit in the file");
  }
  std::vector<CHamperIndexEntry> entries;
  entries.reserve(count);
  media.SetPosition(description.GetIndexOffset());
  for (std::uint64_t i = 0; i < count; ++i) {
    try {
      entries.push_back(CHamperIndexEntry::Read(media));
    } catch (const NSFerryman::XRead&) {
      throw XBadFormat("damaged Hamper: index record " + std::to_string(i + 1) + " runs past the end");
    }
  }
  return entries;
}

bool ItemLiesInsideHamper(const CHamperDescription& description, const CHamperIndexEntry& entry,
                          std::uint64_t fileSize) {
  // 32-bit fields summed in 64 bits cannot wrap.
  const std::uint64_t end = std::uint64_t{description.GetDataOffset()} + entry.GetOffset() + entry.GetSize();
  return end <= fileSize;
}
