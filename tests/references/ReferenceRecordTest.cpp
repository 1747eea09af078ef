#include <gtest/gtest.h>

#include "framework/media/MemoryMedia.h"
#include "references/ReferenceRecord.h"

using NSFerryman::CMemoryMedia;
using NSFerryman::CVersion;

namespace {

CSF10ReferenceChunk FullRecord() {
  CSF10ReferenceChunk r;
  r.relative.present = true;
  r.relative.levelsUp = 2;
  r.relative.components = {"Samples", "kick.wav"};
  r.database.present = true;
  r.database.hamperName = "Demo";
  r.database.components = {"Demo", "Samples", "kick.wav"};
  r.volume.present = true;
  r.volume.volumeName = "DEMOCD";
  r.volume.volumeKind = kVolumeKindCdRomByName;
  r.volume.components = {"Samples", "kick.wav"};
  r.volume.mediaFlag = true;
  r.displayName = "kick.wav";
  r.hamperName = "Demo";
  r.hamperUrl = "http://example.com/";
  r.trailingFlag = 7;
  return r;
}

CSF10ReferenceChunk RoundTrip(const CSF10ReferenceChunk& record, bool storedForms) {
  CMemoryMedia media;
  if (storedForms) {
    record.WriteInStoredForms(media);
  } else {
    record.Write(media);
  }
  media.SetPosition(0);
  CSF10ReferenceChunk read = CSF10ReferenceChunk::Read(media);
  EXPECT_EQ(media.GetPosition(), media.GetSize()) << "the whole record is read";
  return read;
}

}  // namespace

TEST(ReferenceRecord, CurrentFormsRoundTrip) {
  const CSF10ReferenceChunk read = RoundTrip(FullRecord(), false);
  EXPECT_EQ(read, FullRecord());
  // Absent parts are their version and a zero byte.
  CSF10ReferenceChunk empty;
  CMemoryMedia media;
  empty.Write(media);
  EXPECT_EQ(media.GetSize(), 5u + 3 * 6 + 3 * 4 + 1);
}

// Each stored form of each part: what reading it gives back.
TEST(ReferenceRecord, EveryStoredFormIsRead) {
  struct Case {
    const char* name;
    CVersion relative, database, volume;
    bool databaseNameKept;
    bool volumeKindKept, volumeFlagKept, volumeDiscarded;
  };
  const Case cases[] = {
      {"current", {1, 1, 0}, {1, 2, 0}, {1, 4, 0}, true, true, true, false},
      {"old relative", {1, 0, 0}, {1, 1, 0}, {1, 3, 0}, true, true, false, false},
      {"database without name", {1, 1, 0}, {1, 0, 0}, {1, 2, 0}, false, false, false, false},
      {"old volume", {1, 1, 0}, {1, 2, 0}, {1, 1, 0}, true, false, false, false},
      {"first volume form", {1, 1, 0}, {1, 2, 0}, {1, 0, 0}, true, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSF10ReferenceChunk written = FullRecord();
    written.relative.storedVersion = c.relative;
    written.database.storedVersion = c.database;
    written.volume.storedVersion = c.volume;
    const CSF10ReferenceChunk read = RoundTrip(written, true);
    EXPECT_EQ(read.relative.IsOldForm(), c.relative == CVersion(1, 0, 0));
    EXPECT_EQ(read.relative.components, written.relative.components);
    EXPECT_EQ(read.database.hamperName, c.databaseNameKept ? "Demo" : "");
    EXPECT_EQ(read.database.components, written.database.components);
    if (c.volumeDiscarded) {
      EXPECT_FALSE(read.volume.present);
    } else {
      EXPECT_TRUE(read.volume.present);
      EXPECT_EQ(read.volume.components, written.volume.components);
      // Without a stored kind, a named volume is a CD-ROM by name.
      EXPECT_EQ(read.volume.volumeKind, kVolumeKindCdRomByName);
      EXPECT_EQ(read.volume.mediaFlag, c.volumeFlagKept);
    }
    EXPECT_EQ(read.displayName, "kick.wav");
    EXPECT_EQ(read.trailingFlag, 7);
  }
  // An unnamed volume without a stored kind is kind 15.
  CSF10ReferenceChunk unnamed = FullRecord();
  unnamed.volume.volumeName.clear();
  unnamed.volume.storedVersion = CVersion(1, 2, 0);
  EXPECT_EQ(RoundTrip(unnamed, true).volume.volumeKind, kVolumeKindUnnamed);
}

TEST(ReferenceRecord, DamagedRecordsAreRefused) {
  CMemoryMedia good;
  FullRecord().Write(good);
  const std::vector<std::uint8_t> bytes(good.Data(), good.Data() + good.GetSize());
  struct Case {
    const char* name;
    std::size_t offset;
    std::vector<std::uint8_t> replacement;
    bool unsupported;
  };
  // Offsets: record version 0..4, relative version 5..9, present 10, levels 11..14, count 15..18.
  const Case cases[] = {
      {"record major 2", 1, {2}, true},
      {"record marker", 0, {0xBB}, false},
      {"relative major 2", 6, {2}, false},
      {"component count near 2^32", 15, {0xFF, 0xFF, 0xFF, 0xF0}, false},
      {"component longer than the record", 19, {0x00, 0x10, 0x00, 0x00}, false},
      {"zero byte in a component", 23, {0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> damaged = bytes;
    std::copy(c.replacement.begin(), c.replacement.end(), damaged.begin() + static_cast<std::ptrdiff_t>(c.offset));
    CMemoryMedia media;
    media.Write(damaged.size(), damaged.data());
    media.SetPosition(0);
    if (c.unsupported) {
      EXPECT_THROW(CSF10ReferenceChunk::Read(media), NSFerryman::XUnsupportedFormat);
    } else {
      try {
        CSF10ReferenceChunk::Read(media);
        ADD_FAILURE() << "accepted";
      } catch (const NSFerryman::XBadFormat&) {
      } catch (const NSFerryman::XUnsupportedFormat&) {
        ADD_FAILURE() << "unsupported instead of bad";
      }
    }
  }
  // Cut anywhere, a record is a read failure, never more.
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    CMemoryMedia media;
    media.Write(cut, bytes.data());
    media.SetPosition(0);
    EXPECT_THROW(CSF10ReferenceChunk::Read(media), NSFerryman::XMedia) << cut;
  }
}
