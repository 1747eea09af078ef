#pragma once
// Finds the navigation item that an index record's Path names below a root item (a Hamper file
// item, usually). Each ":"-separated component must match exactly one child of the item reached
// so far; names are compared after mapping every character outside the printable range " " to
// "~", and each of "/", ":", "\" and "|", to "_", with equal length and letter case ignored.
// Hidden top-level items of a Hamper are not among its children and cannot be found.
//
// Where several children match (names that differ only in letter case), the one whose name is
// spelled exactly as the component is taken, when there is exactly one such.
//
// Returns the item with a reference for the caller; the root itself for an empty Path.
// XBadFormat when a component matches no child, or several and none or more than one exactly.

#include "container/HamperIndexEntry.h"
#include "navigation/NavigationHolder.h"

class MINavigationInterface;

CNavigationHolder FindItemByPath(MINavigationInterface& root, const CHamperIndexEntry& record);
