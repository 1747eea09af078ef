#include "navigation/NavigationInterface.h"

CNavigationHolder MINavigationInterface::GetLastChild() const {
  CNavigationHolder last;
  for (CNavigationHolder child = GetFirstChild(); child; child = GetNextChild(*child)) last = child;
  return last;
}

void MINavigationInterface::AddReference() const {
  references_.fetch_add(1, std::memory_order_relaxed);
}

void MINavigationInterface::Release() const {
  // acq_rel so that everything done through other references happens before the destruction.
  if (references_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}
