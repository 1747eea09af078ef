#pragma once
// The kinds of items a Hamper holds, in words, as the browser and `hamper list` and `info` show
// them beside the item type number:
//
//   ItemKindName(11)   // "Sample"
//   ItemKindName(5)    // "Drum patch (Thumpr)"
//
// A number no Hamper holds is "Unknown item type". The predicates group the types by what can
// be shown of them.

#include <string_view>

inline constexpr int kFirstItemType = 1;
inline constexpr int kLastItemType = 14;

std::string_view ItemKindName(int itemType);

inline bool IsSampleItemType(int itemType) { return itemType == 11; }
inline bool IsPictureItemType(int itemType) { return itemType == 8 || itemType == 9; }
inline bool IsSlicedLoopItemType(int itemType) { return itemType == 6 || itemType == 7 || itemType == 12; }
// Songs, published songs and the four kinds of patch: what carries reference records.
inline bool IsReferringItemType(int itemType) {
  return (itemType >= 1 && itemType <= 5) || itemType == 13;
}
