#pragma once
// The fixed start of a Hamper file and its check:
//   0    "Hamp"
//   4    u32 file size (the whole file)
//   8    signature block (CFormatSignature, 256 bytes)
//   264  description record (CHamperDescription)
// followed by the index at IndexOffset and the item data at DataOffset. All offsets and sizes of
// the format are 32-bit; a Hamper is never larger than kMaxHamperSize.

#include <cstdint>
#include <vector>

#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"
#include "framework/resources/FourCharCode.h"

inline constexpr NSFerryman::CFourCharCode kHamperMagic{"Hamp"};
inline constexpr std::uint64_t kHamperDescriptionPosition = 264;
inline constexpr std::uint64_t kMaxHamperSize = 0xFFFFFFFFu;

// Reads magic, file size, signature block and description record from a media positioned at 0
// and checks them; XBadFormat names the first check that failed. Returns the description.
CHamperDescription ReadAndCheckHamperHeader(NSFerryman::CMedia& media);

// Reads the EntryCount index records at IndexOffset. XBadFormat when they cannot all be there or
// a record is malformed. The records' Offset and Size are returned as stored; use
// ItemLiesInsideHamper before reading an item.
std::vector<CHamperIndexEntry> ReadHamperIndex(NSFerryman::CMedia& media, const CHamperDescription& description);

// True when the item's bytes, DataOffset + Offset and Size, lie within a file of `fileSize` bytes.
bool ItemLiesInsideHamper(const CHamperDescription& description, const CHamperIndexEntry& entry,
                          std::uint64_t fileSize);
