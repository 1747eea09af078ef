#include "browse/HamperTree.h"

#include <unordered_map>

#include "framework/media/AsciiCase.h"

namespace {

// A folder's children by name while the tree is made: a large folder would otherwise be
// searched once per item put into it.
struct CFolderKey {
  std::uint32_t parent;
  std::string_view name;
  bool operator==(const CFolderKey&) const = default;
};
struct CFolderKeyHash {
  std::size_t operator()(const CFolderKey& key) const {
    return std::hash<std::string_view>()(key.name) * 31 + key.parent;
  }
};

bool HoldsIgnoringCase(std::string_view name, std::string_view text) {
  if (text.size() > name.size()) return false;
  for (std::size_t at = 0; at + text.size() <= name.size(); ++at) {
    if (NSFerryman::AsciiEqualsIgnoringCase(name.substr(at, text.size()), text)) return true;
  }
  return false;
}

}  // namespace

CHamperTree::CHamperTree(const CHamperIndex& index) {
  nodes_.emplace_back();
  nodes_.back().hidden = true;  // until a visible item is put below it
  nodeOfRecord_.resize(index.Size());
  std::unordered_map<CFolderKey, std::uint32_t, CFolderKeyHash> folders;
  folders.reserve(index.Size() / 4 + 16);

  const auto addChild = [&](std::uint32_t parent, std::string_view name, std::size_t record) {
    const auto node = static_cast<std::uint32_t>(nodes_.size());
    CNode child;
    child.name = name;
    child.record = record;
    child.parent = parent;
    child.row = static_cast<std::uint32_t>(nodes_[parent].children.size());
    child.hidden = true;
    nodes_.push_back(std::move(child));
    nodes_[parent].children.push_back(node);
    return node;
  };

  for (std::size_t record = 0; record < index.Size(); ++record) {
    const std::string_view path = index.Path(record);
    std::uint32_t parent = kRoot;
    std::size_t start = 0;
    for (std::size_t colon = path.find(':'); colon != std::string::npos; colon = path.find(':', start)) {
      const std::string_view name = path.substr(start, colon - start);
      const auto found = folders.find({parent, name});
      if (found != folders.end()) {
        parent = found->second;
      } else {
        const std::uint32_t folder = addChild(parent, name, kNoRecord);
        folders.emplace(CFolderKey{parent, name}, folder);
        parent = folder;
      }
      start = colon + 1;
    }
    const std::uint32_t item = addChild(parent, path.substr(start), record);
    nodeOfRecord_[record] = item;
    const bool hidden = index.IsHidden(record);
    for (std::uint32_t n = item;; n = nodes_[n].parent) {
      CNode& node = nodes_[n];
      node.size += index.ItemSize(record);
      ++node.items;
      if (!hidden) node.hidden = false;
      if (n == kRoot) break;
    }
  }
}

std::string CHamperTree::PathOf(std::uint32_t node) const {
  std::vector<std::uint32_t> chain;
  for (std::uint32_t n = node; n != kRoot; n = nodes_[n].parent) chain.push_back(n);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (it != chain.rbegin()) path += ':';
    path += nodes_[*it].name;
  }
  return path;
}

std::vector<std::size_t> CHamperTree::RecordsBelow(std::span<const std::uint32_t> nodes) const {
  std::vector<bool> taken(nodeOfRecord_.size(), false);
  std::vector<std::uint32_t> stack(nodes.begin(), nodes.end());
  while (!stack.empty()) {
    const CNode& node = nodes_[stack.back()];
    stack.pop_back();
    if (!node.IsFolder()) taken[node.record] = true;
    stack.insert(stack.end(), node.children.begin(), node.children.end());
  }
  std::vector<std::size_t> records;
  for (std::size_t r = 0; r < taken.size(); ++r) {
    if (taken[r]) records.push_back(r);
  }
  return records;
}

std::vector<bool> CHamperTree::Filter(std::string_view text, bool withHidden) const {
  std::vector<bool> shown(nodes_.size(), false);
  shown[kRoot] = true;
  // Nodes come after their parents, so one pass in order hands a match down to everything below.
  std::vector<bool> matched(nodes_.size(), false);
  matched[kRoot] = text.empty();
  for (std::uint32_t n = 1; n < nodes_.size(); ++n) {
    const CNode& node = nodes_[n];
    if (node.hidden && !withHidden) continue;
    matched[n] = matched[node.parent] || HoldsIgnoringCase(node.name, text);
    if (!matched[n]) continue;
    for (std::uint32_t up = n; !shown[up]; up = nodes_[up].parent) shown[up] = true;
  }
  return shown;
}
