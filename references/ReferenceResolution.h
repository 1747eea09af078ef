#pragma once
// Resolving, classifying and rewriting the reference records of songs and patches.
//
// A record is external when its Hamper name is not empty and differs (as portable names) from
// the Name of the Hamper being built: it points into another Hamper and is only reported.
// Otherwise it is internal and must resolve to an item below the root folder (the input folder
// while packing; the folder that holds the finished Hamper in its final verification), tried
// through its relative part, then its database part, else its volume part.
//
// All names are compared as portable names (navigation/PortableName.h). Nothing here keeps state
// between calls; the functions may run on several threads at once.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/resources/AlertHost.h"
#include "navigation/ExternalHamperNames.h"
#include "navigation/NavigationHolder.h"
#include "navigation/NavigationInterface.h"
#include "references/ReferenceRecord.h"

class CDatabase;

// Where the references of one file are checked or rewritten.
// An internal record that resolves nowhere: its display name, and why (the XBadReference's words,
// "its database path names the folder ...").
struct CUnresolvedReference {
  std::string displayName;
  std::string reason;
  bool operator==(const CUnresolvedReference&) const = default;
};

struct CReferenceContext {
  // The folder whose contents the Hamper holds; internal references must resolve below it.
  CNavigationHolder rootFolder;
  // The Name and URL of the Hamper being built, as the description gives them.
  std::string hamperName;
  std::string hamperUrl;
  // The song or patch whose records these are; its parent is the referencing folder.
  CNavigationHolder referencingItem;
  // The file's name for messages ("The file '^0' refers to ...").
  std::string referencingName;
  // Volume searches and the root item's name; GetDatabase() when null.
  CDatabase* database = nullptr;
  // Where the "Bad reference" alert is shown. Null: XBadReference passes on to the caller.
  NSFerryman::MAlertHost* alerts = nullptr;
  // When set, an unresolvable internal record is listed here and checking goes on with the next
  // record, so that one pass finds every problem.
  std::vector<CUnresolvedReference>* unresolved = nullptr;
};

// How an internal record was found.
enum class EReferencePart { kRelative, kDatabase, kVolume };

struct CReferenceTarget {
  CNavigationHolder item;
  EReferencePart foundThrough = EReferencePart::kRelative;
};

bool IsExternalReference(const CSF10ReferenceChunk& record, const std::string& hamperName);

// The item an internal record refers to, or XBadReference.
CReferenceTarget FindReferenceTarget(const CReferenceContext& context, const CSF10ReferenceChunk& record);

// Checking: an external record adds its Hamper name to `names` (once); an internal one must
// resolve (XBadReference otherwise).
void CheckReference(const CReferenceContext& context, const CSF10ReferenceChunk& record, ExternalHamperNames& names);

// The record to write in place of `record` in the packed copy.
CSF10ReferenceChunk RewriteReference(const CReferenceContext& context, const CSF10ReferenceChunk& record);

// Depth-first search below `start` for the path of portable names `components`; none for an
// empty list or no match.
CNavigationHolder ResolvePathList(const MINavigationInterface& start, std::span<const std::string> components);
// Climbs the part's levels from the referencing folder, then searches the folder reached and its
// same-named siblings in child order. None for an absent part.
CNavigationHolder ResolveRelativePath(const CRelativePathRef& part, const MINavigationInterface& referencingFolder);
// The same, but never leaving `root`'s subtree: what the part finds once the tree below root is
// all there is, as inside the finished Hamper.
CNavigationHolder ResolveRelativePathWithin(const CRelativePathRef& part, const MINavigationInterface& referencingFolder,
                                            const MINavigationInterface& root);
// From the top of the file system, or for a CD-ROM volume named in the part from that volume
// (which the database may ask the user to insert). None for an absent part.
CNavigationHolder ResolveVolumePath(const CVolumePathRef& part, CDatabase& database);
// Portable names of the item and its ancestors below `root`, outermost first; XBadReference when
// the item is not below root.
CPathComponents PathBelowRoot(const MINavigationInterface& item, const MINavigationInterface& root);
// The relative part that leads from the folder `from` to `to`; absent when there is no `to`,
// when `from` is the database's root, or when the two share nothing.
CRelativePathRef MakeRelativePath(const MINavigationInterface& from, const MINavigationInterface* to,
                                  CDatabase& database);
