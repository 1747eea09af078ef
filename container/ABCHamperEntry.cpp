#include "container/ABCHamperEntry.h"

#include "container/HamperFile.h"

CNavigationHolder MINIABCHamperEntry::GetParent() const {
  return CNavigationHolder::Share(const_cast<MINavigationInterface*>(&parent_));
}

bool MINIABCHamperEntry::IsAvailable() const { return file_.IsAvailable(); }

void MINIABCHamperEntry::AddReference() const {
  MINavigationInterface::AddReference();
  parent_.AddReference();
}

void MINIABCHamperEntry::Release() const {
  // The tree owns this node, so its own count never ends it; the parent's release may end the
  // whole tree, so nothing of this node is touched after it.
  const MINavigationInterface& parent = parent_;
  MINavigationInterface::Release();
  parent.Release();
}
