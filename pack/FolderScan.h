#pragma once
// The folder scan: turning the input folder into a sorted tree of CFileEntry objects.
//
// Order of a list: all files first, then all folders, each group in ascending order of the sort
// key (the name with a-z upper-cased), keys compared byte by byte as unsigned values, a key that
// is a prefix of another first. Entries with equal keys keep the order in which they arrived, so
// names that differ only in letter case stay distinct entries.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "pack/CallbackInterface.h"
#include "pack/FileEntry.h"

// Orders two entries as a list does: true when `a` goes before `b` (equal keys are not ordered).
bool SortsBefore(const CFileEntry& a, const CFileEntry& b);

// Inserts `entry` into a sorted list at its place, behind entries with an equal key, and returns
// it. The list must be sorted (every list built by these functions is).
CFileEntry& InsertSorted(std::unique_ptr<CFileEntry> entry, CFileEntryList& list);

// Adds entries, given in their order of arrival, to a sorted list: the same order as inserting
// them one by one with InsertSorted, reached in O(n log n). `arrived` is left empty.
void InsertAllSorted(CFileEntryList& arrived, CFileEntryList& list);

// The top level of an input folder: an entry without parent for each item the folder yields, in
// sorted order. The folders among them are not scanned yet.
CFileEntryList ListTopLevel(const CItemReference& inputFolder);

// Fills the tree below `folder`: its children in sorted order, then each child folder in list
// order. The callback, when given, is called with the folder's name for every child found; true
// stops with XUserCancelled. On any exception the entries found so far stay in the tree. A file
// entry has no children and is left as it is.
//
// Folders are scanned through links; a folder that leads back to one of its own ancestors is
// XShellUnableToOpenContainer.
void ScanFolder(CFileEntry& folder, CABCCallbackInterface* callback = nullptr);

// The number of files of an item type other than 0 in the entry's subtree (the entry itself when
// it is a file). The callback, when given, is called with a folder's name for each of its
// children; true stops with XUserCancelled.
std::size_t CountPackableFiles(const CFileEntry& entry, CABCCallbackInterface* callback = nullptr);

// XUnsupportedFormat when a name on the file's path, its own or a folder's, holds ":": ":"
// separates the folders of a Hamper path, so such a file could not be found again in the Hamper.
void CheckHamperPath(const CFileEntry& file);

// The relative paths of the files of the tree that are links to nothing (or went away while the
// folder was read), in walk order: they are left out, and the user is told.
std::vector<std::string> FindMissingFiles(const CFileEntryList& list);
