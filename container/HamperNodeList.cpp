#include "container/HamperNodeList.h"

#include "container/ABCHamperEntry.h"
#include "container/HamperDirEntry.h"
#include "framework/media/AsciiCase.h"
#include "navigation/PortableName.h"

namespace {

std::string NameKey(std::string_view name) { return NSFerryman::AsciiUpperCopy(PortableName(name)); }

}  // namespace

CHamperNodeList::CHamperNodeList() = default;
CHamperNodeList::~CHamperNodeList() = default;

MINIABCHamperEntry& CHamperNodeList::Append(std::unique_ptr<MINIABCHamperEntry> node) {
  node->position_ = nodes_.size();
  if (auto* folder = dynamic_cast<MINIHamperDirEntry*>(node.get())) folders_.emplace(folder->GetName(), folder);
  byPortableName_[NameKey(node->GetName())].push_back(node->position_);
  nodes_.push_back(std::move(node));
  return *nodes_.back();
}

MINIHamperDirEntry* CHamperNodeList::FindFolder(const std::string& name) const {
  const auto it = folders_.find(name);
  return it == folders_.end() ? nullptr : it->second;
}

const std::vector<std::size_t>& CHamperNodeList::PositionsWithPortableName(std::string_view name) const {
  static const std::vector<std::size_t> kNone;
  const auto it = byPortableName_.find(NameKey(name));
  return it == byPortableName_.end() ? kNone : it->second;
}

void CHamperNodeList::Clear() {
  byPortableName_.clear();
  folders_.clear();
  nodes_.clear();
}

bool CHamperNodeList::Find(const MINavigationInterface& child, std::size_t& position) const {
  // Nodes know their place, so stepping through a list costs no search.
  const auto* node = dynamic_cast<const MINIABCHamperEntry*>(&child);
  if (!node || node->position_ >= nodes_.size() || nodes_[node->position_].get() != node) return false;
  position = node->position_;
  return true;
}

CNavigationHolder CHamperNodeList::Share(std::size_t position) const {
  if (position >= nodes_.size()) return {};
  return CNavigationHolder::Share(nodes_[position].get());
}
