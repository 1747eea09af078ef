#pragma once
// Comparing an item of a Hamper with the file it was packed from, for a Hamper whose content
// folder is still at hand (`hamper verify --source DIR`):
//
//   CDatabaseScope scope(database);
//   const CSourceFolder source{"/home/me/Content", &database};
//   CompareItemWithSource(record, itemMedia, header, source);   // throws at the first difference
//
// The source of an item is the file DIR/Path, the Path's ":" read as "/"; a Path that would name
// anything but a file below DIR (CHamperItemPath) is not followed. By item type:
//
//   audio                 the item's header against the one packing makes from the source's
//                         description, then every frame, decoded from the item a block at a time
//                         and read from the source at 16 bits as packing reads it
//   songs, published      byte for byte against the rewrite packing makes of the source, with DIR
//   songs, patches        as the root references resolve in and the header's Name and URL
//   anything else         byte for byte against the source
//
// Memory stays bounded by a block whatever the item's size (the rewrite of a song or patch goes
// to a temporary file). A difference is XBadFormat saying where the two first part ("frame 812,
// channel 2: ..."; "byte 4096: ..."); a missing source is XFileNotFound; the readers', decoder's
// and rewrite's own failures pass as they come.

#include <string>

#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"

class CDatabase;

struct CSourceFolder {
  std::string path;              // the content folder the Hamper was packed from
  CDatabase* database = nullptr; // where references resolve; a scope must be open on it
};

// `item` is the item's bytes (a window on the Hamper); `header` the Hamper's description record.
void CompareItemWithSource(const CHamperIndexEntry& record, NSFerryman::CMedia& item, const CHamperDescription& header,
                           const CSourceFolder& source);
