#pragma once
// MINIABCHamperEntry: what folder and item nodes inside a Hamper have in common.
//
// Nodes belong to the tree of their MINIHamperFile and live exactly as long as it. A reference
// handed out for a node also holds its parent, and so the chain up to the file item: the tree
// stays alive while any node of it is held.

#include <cstddef>
#include <memory>

#include "navigation/NavigationInterface.h"

class MINIHamperFile;

class MINIABCHamperEntry : public MINavigationInterface {
 public:
  // Nodes are destroyed by the list that owns them, never by Release.
  ~MINIABCHamperEntry() override = default;

  bool IsHidden() const { return hidden_; }
  // While the tree is built: a folder that holds a visible item is visible itself.
  void MarkVisible() { hidden_ = false; }
  const MINIHamperFile& GetHamperFile() const { return file_; }
  // Where the node stands in its parent's list.
  std::size_t GetPositionInParent() const { return position_; }
  const MINavigationInterface& GetParentItem() const { return parent_; }

  CNavigationHolder GetParent() const override;
  bool IsAvailable() const override;
  void AddReference() const override;
  void Release() const override;

 protected:
  MINIABCHamperEntry(bool hidden, const MINavigationInterface& parent, const MINIHamperFile& file)
      : hidden_(hidden), parent_(parent), file_(file) {}

 private:
  friend class CHamperNodeList;

  bool hidden_;
  const MINavigationInterface& parent_;
  const MINIHamperFile& file_;
  std::size_t position_ = 0;
};
