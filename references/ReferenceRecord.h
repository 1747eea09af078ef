#pragma once
// The reference record of a song or patch: the data of one "REFE" chunk. It names a referenced
// file three ways (a path relative to the referencing file's folder, a path inside a named Hamper,
// a location on a volume) plus the texts shown to the user.
//
// Stored form (integers u32 big-endian; a string is a u32 byte count and that many bytes, no zero
// byte; a version is 0xBC, major, minor, revision, 0):
//   record version (1.0.0; major must be 1, else XUnsupportedFormat)
//   relative part, database part, volume part (each: its own version, then a present byte, then
//     the fields below when present)
//   display name, Hamper name, Hamper URL (strings), trailing flag (1 byte, carried unchanged)
//
//   relative (written 1.1.0; 1.0.0 marks the old form): levels up, component count, components
//   database (written 1.2.0): Hamper name (only from 1.1.0 on), component count, components
//   volume (written 1.4.0; 1.1.0 marks the old form): volume name, volume kind (from 1.3.0 on;
//     before: 13 when the name is not empty, else 15), component count, components, media flag
//     (from 1.4.0 on; before: clear). Stored as 1.0.0 the part has another body (present byte,
//     two strings, a count and that many strings): it is read whole and counts as absent.
// A part's version must have major 1 (XBadFormat). Writing always uses the current versions and
// every optional field; an absent part is its version and a zero byte.
//
// Reading never trusts a count: a string longer than the bytes left, or more components than the
// bytes left could hold, is XBadFormat before anything is allocated.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/media/Media.h"
#include "framework/resources/Version.h"

using CPathComponents = std::vector<std::string>;

struct CRelativePathRef {
  static constexpr NSFerryman::CVersion kCurrentVersion{1, 1, 0};
  static constexpr NSFerryman::CVersion kOldFormVersion{1, 0, 0};

  NSFerryman::CVersion storedVersion = kCurrentVersion;
  bool present = false;
  std::uint32_t levelsUp = 0;
  CPathComponents components;

  bool IsOldForm() const { return storedVersion == kOldFormVersion; }
  void Read(NSFerryman::CMedia& media);
  // In the current form.
  void Write(NSFerryman::CMedia& media) const { WriteAs(media, kCurrentVersion); }
  // In the form of `version` (authoring tools write the older forms too).
  void WriteAs(NSFerryman::CMedia& media, NSFerryman::CVersion version) const;
  bool operator==(const CRelativePathRef&) const = default;
};

struct CDatabasePathRef {
  static constexpr NSFerryman::CVersion kCurrentVersion{1, 2, 0};

  NSFerryman::CVersion storedVersion = kCurrentVersion;
  bool present = false;
  std::string hamperName;
  CPathComponents components;

  void Read(NSFerryman::CMedia& media);
  // In the current form.
  void Write(NSFerryman::CMedia& media) const { WriteAs(media, kCurrentVersion); }
  // In the form of `version` (authoring tools write the older forms too).
  void WriteAs(NSFerryman::CMedia& media, NSFerryman::CVersion version) const;
  bool operator==(const CDatabasePathRef&) const = default;
};

// Volume kinds.
inline constexpr std::uint8_t kVolumeKindCdRomByName = 13;
inline constexpr std::uint8_t kVolumeKindUnnamed = 15;

struct CVolumePathRef {
  static constexpr NSFerryman::CVersion kCurrentVersion{1, 4, 0};
  static constexpr NSFerryman::CVersion kOldFormVersion{1, 1, 0};
  static constexpr NSFerryman::CVersion kDiscardedFormVersion{1, 0, 0};

  NSFerryman::CVersion storedVersion = kCurrentVersion;
  bool present = false;
  std::string volumeName;
  std::uint8_t volumeKind = kVolumeKindUnnamed;
  CPathComponents components;
  bool mediaFlag = false;

  bool IsOldForm() const { return storedVersion == kOldFormVersion; }
  void Read(NSFerryman::CMedia& media);
  // In the current form.
  void Write(NSFerryman::CMedia& media) const { WriteAs(media, kCurrentVersion); }
  // In the form of `version` (authoring tools write the older forms too).
  void WriteAs(NSFerryman::CMedia& media, NSFerryman::CVersion version) const;
  bool operator==(const CVolumePathRef&) const = default;
};

class CSF10ReferenceChunk {
 public:
  static constexpr NSFerryman::CVersion kCurrentVersion{1, 0, 0};

  // Reads a whole record from the media's position (the data of a "REFE" chunk).
  static CSF10ReferenceChunk Read(NSFerryman::CMedia& media);
  // Writes the record with the current versions of every part.
  void Write(NSFerryman::CMedia& media) const;
  // Writes each part in the form of its stored version.
  void WriteInStoredForms(NSFerryman::CMedia& media) const;

  CRelativePathRef relative;
  CDatabasePathRef database;
  CVolumePathRef volume;
  std::string displayName;
  std::string hamperName;
  std::string hamperUrl;
  std::uint8_t trailingFlag = 0;

  bool operator==(const CSF10ReferenceChunk&) const = default;

 private:
  void WriteTexts(NSFerryman::CMedia& media) const;
};
