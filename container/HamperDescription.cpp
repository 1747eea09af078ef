#include "container/HamperDescription.h"

#include <utility>

using NSFerryman::CMedia;

CHamperDescription::CHamperDescription(std::string name, std::string comments, std::string url,
                                       std::string copyright)
    : name_(std::move(name)), comments_(std::move(comments)), url_(std::move(url)), copyright_(std::move(copyright)) {}

std::uint64_t CHamperDescription::GetStoredSize() const {
  return 4 * 4 + std::uint64_t{name_.size()} + comments_.size() + url_.size() + copyright_.size() + 3 * 4;
}

void CHamperDescription::Write(CMedia& media) const {
  media.WriteString(name_);
  media.WriteString(comments_);
  media.WriteString(url_);
  media.WriteString(copyright_);
  media.WriteU32(entryCount_);
  media.WriteU32(indexOffset_);
  media.WriteU32(dataOffset_);
}

CHamperDescription CHamperDescription::Read(CMedia& media) {
  CHamperDescription d;
  d.name_ = media.ReadString();
  d.comments_ = media.ReadString();
  d.url_ = media.ReadString();
  d.copyright_ = media.ReadString();
  d.entryCount_ = media.ReadU32();
  d.indexOffset_ = media.ReadU32();
  d.dataOffset_ = media.ReadU32();
  return d;
}
