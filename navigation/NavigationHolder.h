#pragma once
// CNavigationHolder: a value that keeps one counted reference to a navigation item, or none.
// Copying adds a reference, assigning releases the old item and references the new one,
// destroying releases. Every navigation operation that hands out an item returns a holder that
// has taken over the reference added for the caller, so nothing has to be released by hand.
//
// Two holders are equal when both are empty, when they hold the same item, or when the held items
// answer IsSame with true.

#include <utility>

class MINavigationInterface;

class CNavigationHolder {
 public:
  CNavigationHolder() = default;
  CNavigationHolder(const CNavigationHolder& other);
  CNavigationHolder(CNavigationHolder&& other) noexcept : item_(std::exchange(other.item_, nullptr)) {}
  CNavigationHolder& operator=(const CNavigationHolder& other);
  CNavigationHolder& operator=(CNavigationHolder&& other) noexcept;
  ~CNavigationHolder();

  // Takes over a reference the caller already counted (a new item starts with one).
  static CNavigationHolder Adopt(MINavigationInterface* item);
  // Adds a reference of its own.
  static CNavigationHolder Share(MINavigationInterface* item);

  MINavigationInterface* Get() const { return item_; }
  MINavigationInterface* operator->() const { return item_; }
  MINavigationInterface& operator*() const { return *item_; }
  explicit operator bool() const { return item_ != nullptr; }

  // Releases the held item, if any, and leaves the holder empty.
  void Reset();
  // Hands the counted reference to the caller, who must release it; the holder is left empty.
  MINavigationInterface* Detach() { return std::exchange(item_, nullptr); }

  friend bool operator==(const CNavigationHolder& a, const CNavigationHolder& b);

 private:
  MINavigationInterface* item_ = nullptr;
};

// Creates an item (its count starts at one) and hands it over in a holder.
template <class Item, class... Args>
CNavigationHolder MakeNavigationItem(Args&&... args) {
  return CNavigationHolder::Adopt(new Item(std::forward<Args>(args)...));
}
