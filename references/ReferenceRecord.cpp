#include "references/ReferenceRecord.h"

#include <string>

#include "framework/media/Exceptions.h"

using NSFerryman::CMedia;
using NSFerryman::CVersion;
using NSFerryman::XBadFormat;

namespace {

CVersion ReadPartVersion(CMedia& media, const char* part) {
  const CVersion version = CVersion::Read(media);
  if (version.GetMajor() != 1) {
    throw XBadFormat(std::string("reference record: ") + part + " part of version " + version.ToString());
  }
  return version;
}

bool ReadFlag(CMedia& media) { return media.ReadByte() != 0; }

CPathComponents ReadComponents(CMedia& media) {
  const std::uint32_t count = media.ReadU32();
  // Each component takes at least its 4-byte count, so a larger count cannot be honest.
  if (count > media.Remaining() / 4) {
    throw XBadFormat("reference record: " + std::to_string(count) + " path components in " +
                     std::to_string(media.Remaining()) + " bytes");
  }
  CPathComponents components;
  components.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) components.push_back(media.ReadString());
  return components;
}

void WriteComponents(CMedia& media, const CPathComponents& components) {
  media.WriteU32(static_cast<std::uint32_t>(components.size()));
  for (const std::string& component : components) media.WriteString(component);
}

}  // namespace

void CRelativePathRef::Read(CMedia& media) {
  *this = {};
  storedVersion = ReadPartVersion(media, "relative");
  present = ReadFlag(media);
  if (!present) return;
  levelsUp = media.ReadU32();
  components = ReadComponents(media);
}

void CRelativePathRef::WriteAs(CMedia& media, CVersion version) const {
  version.Write(media);
  media.WriteByte(present ? 1 : 0);
  if (!present) return;
  media.WriteU32(levelsUp);
  WriteComponents(media, components);
}

void CDatabasePathRef::Read(CMedia& media) {
  *this = {};
  storedVersion = ReadPartVersion(media, "database");
  present = ReadFlag(media);
  if (!present) return;
  if (storedVersion.IsAtLeast(CVersion(1, 1, 0))) hamperName = media.ReadString();
  components = ReadComponents(media);
}

void CDatabasePathRef::WriteAs(CMedia& media, CVersion version) const {
  version.Write(media);
  media.WriteByte(present ? 1 : 0);
  if (!present) return;
  if (version.IsAtLeast(CVersion(1, 1, 0))) media.WriteString(hamperName);
  WriteComponents(media, components);
}

void CVolumePathRef::Read(CMedia& media) {
  *this = {};
  storedVersion = ReadPartVersion(media, "volume");
  const bool storedPresent = ReadFlag(media);
  if (storedVersion == kDiscardedFormVersion) {
    // The first form of this part: read to its end and forget it.
    media.ReadString();
    media.ReadString();
    ReadComponents(media);
    return;
  }
  present = storedPresent;
  if (!present) return;
  volumeName = media.ReadString();
  if (storedVersion.IsAtLeast(CVersion(1, 3, 0))) {
    volumeKind = media.ReadByte();
  } else {
    volumeKind = volumeName.empty() ? kVolumeKindUnnamed : kVolumeKindCdRomByName;
  }
  components = ReadComponents(media);
  mediaFlag = storedVersion.IsAtLeast(CVersion(1, 4, 0)) ? ReadFlag(media) : false;
}

void CVolumePathRef::WriteAs(CMedia& media, CVersion version) const {
  version.Write(media);
  media.WriteByte(present ? 1 : 0);
  if (version == kDiscardedFormVersion) {
    media.WriteString(volumeName);
    media.WriteString("");
    WriteComponents(media, components);
    return;
  }
  if (!present) return;
  media.WriteString(volumeName);
  if (version.IsAtLeast(CVersion(1, 3, 0))) media.WriteByte(volumeKind);
  WriteComponents(media, components);
  if (version.IsAtLeast(CVersion(1, 4, 0))) media.WriteByte(mediaFlag ? 1 : 0);
}

CSF10ReferenceChunk CSF10ReferenceChunk::Read(CMedia& media) {
  CSF10ReferenceChunk record;
  const CVersion version = CVersion::Read(media);
  if (version.GetMajor() != 1) {
    throw NSFerryman::XUnsupportedFormat("reference record of version " + version.ToString());
  }
  record.relative.Read(media);
  record.database.Read(media);
  record.volume.Read(media);
  record.displayName = media.ReadString();
  record.hamperName = media.ReadString();
  record.hamperUrl = media.ReadString();
  record.trailingFlag = media.ReadByte();
  return record;
}

void CSF10ReferenceChunk::Write(CMedia& media) const {
  kCurrentVersion.Write(media);
  relative.Write(media);
  database.Write(media);
  volume.Write(media);
  WriteTexts(media);
}

void CSF10ReferenceChunk::WriteInStoredForms(CMedia& media) const {
  kCurrentVersion.Write(media);
  relative.WriteAs(media, relative.storedVersion);
  database.WriteAs(media, database.storedVersion);
  volume.WriteAs(media, volume.storedVersion);
  WriteTexts(media);
}

void CSF10ReferenceChunk::WriteTexts(CMedia& media) const {
  media.WriteString(displayName);
  media.WriteString(hamperName);
  media.WriteString(hamperUrl);
  media.WriteByte(trailingFlag);
}
