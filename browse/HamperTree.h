#pragma once
// The items of a Hamper as a tree of folders, made from its index: every leading part of a Path
// (split at ":") is a folder, the last part is the item. Folder names are compared byte for
// byte, letter case significant, as the Hamper reader does; folders and items keep the order
// in which the index first names them.
//
//   const CHamperTree tree(index);                      // index: a CHamperIndex that outlives it
//   for (std::uint32_t child : tree.Node(CHamperTree::kRoot).children) ...
//   tree.RecordsBelow(selectedNodes);                   // the items to extract, in index order
//   const std::vector<bool> shown = tree.Filter("kick", /*withHidden=*/false);
//
// A folder is hidden when every item below it is (an item is hidden by its record). Nodes are
// numbered from the root, 0; the tree is fixed once made and may be read from any thread. Names
// are views of the index's Paths: the index must outlive the tree.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "container/HamperIndex.h"

class CHamperTree {
 public:
  static constexpr std::uint32_t kRoot = 0;
  static constexpr std::size_t kNoRecord = static_cast<std::size_t>(-1);

  struct CNode {
    std::string_view name;
    std::size_t record = kNoRecord;  // the index record of an item; kNoRecord for a folder
    std::uint32_t parent = kRoot;
    std::uint32_t row = 0;           // place among the parent's children
    std::vector<std::uint32_t> children;
    bool hidden = false;
    std::uint64_t size = 0;          // an item's stored size; a folder's, of every item below
    std::uint32_t items = 0;         // items at or below the node

    bool IsFolder() const { return record == kNoRecord; }
  };

  explicit CHamperTree(const CHamperIndex& index);
  CHamperTree(CHamperIndex&&) = delete;

  std::size_t NodeCount() const { return nodes_.size(); }
  const CNode& Node(std::uint32_t node) const { return nodes_[node]; }
  // The item node of an index record.
  std::uint32_t NodeOfRecord(std::size_t record) const { return nodeOfRecord_[record]; }
  // The names from below the root down to the node, joined by ":" (an item's is its Path).
  std::string PathOf(std::uint32_t node) const;

  // The records of the items at or below the nodes, in index order, each once.
  std::vector<std::size_t> RecordsBelow(std::span<const std::uint32_t> nodes) const;

  // Which nodes to show for a filter text: those whose name holds it (letters a to z in any case),
  // everything below them and the folders above them. An empty text shows everything. Without
  // `withHidden`, hidden nodes are never shown. One flag per node.
  std::vector<bool> Filter(std::string_view text, bool withHidden) const;

 private:
  std::vector<CNode> nodes_;
  std::vector<std::uint32_t> nodeOfRecord_;
};
