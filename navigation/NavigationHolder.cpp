#include "navigation/NavigationHolder.h"

#include "navigation/NavigationInterface.h"

CNavigationHolder::CNavigationHolder(const CNavigationHolder& other) : item_(other.item_) {
  if (item_) item_->AddReference();
}

CNavigationHolder& CNavigationHolder::operator=(const CNavigationHolder& other) {
  // Reference the new item before releasing the old: both may be the same item, held only here.
  if (other.item_) other.item_->AddReference();
  MINavigationInterface* old = std::exchange(item_, other.item_);
  if (old) old->Release();
  return *this;
}

CNavigationHolder& CNavigationHolder::operator=(CNavigationHolder&& other) noexcept {
  if (this != &other) {
    MINavigationInterface* old = std::exchange(item_, std::exchange(other.item_, nullptr));
    if (old) old->Release();
  }
  return *this;
}

CNavigationHolder::~CNavigationHolder() { Reset(); }

CNavigationHolder CNavigationHolder::Adopt(MINavigationInterface* item) {
  CNavigationHolder holder;
  holder.item_ = item;
  return holder;
}

CNavigationHolder CNavigationHolder::Share(MINavigationInterface* item) {
  if (item) item->AddReference();
  return Adopt(item);
}

void CNavigationHolder::Reset() {
  if (MINavigationInterface* old = std::exchange(item_, nullptr)) old->Release();
}

bool operator==(const CNavigationHolder& a, const CNavigationHolder& b) {
  if (a.item_ == b.item_) return true;
  if (!a.item_ || !b.item_) return false;
  return a.item_->IsSame(*b.item_);
}
