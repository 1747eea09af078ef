#pragma once
// The ordered, owned list of nodes at one level of a Hamper's tree (the top level of the file
// item, or the inside of a folder node), with a look-up of its folders by exact name.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "navigation/NavigationHolder.h"

class MINIABCHamperEntry;
class MINIHamperDirEntry;
class MINavigationInterface;

class CHamperNodeList {
 public:
  CHamperNodeList();
  ~CHamperNodeList();
  CHamperNodeList(const CHamperNodeList&) = delete;
  CHamperNodeList& operator=(const CHamperNodeList&) = delete;

  std::size_t Size() const { return nodes_.size(); }
  bool Empty() const { return nodes_.empty(); }
  const MINIABCHamperEntry& At(std::size_t index) const { return *nodes_[index]; }

  // Appends at the end and takes ownership.
  MINIABCHamperEntry& Append(std::unique_ptr<MINIABCHamperEntry> node);
  // The folder node of exactly this name (bytes and letter case compared), or null.
  MINIHamperDirEntry* FindFolder(const std::string& name) const;
  void Clear();

  // The positions of the nodes whose portable name equals that of `name`, in list order.
  const std::vector<std::size_t>& PositionsWithPortableName(std::string_view name) const;

  // The position of `child` in this list, when it is one of its nodes.
  bool Find(const MINavigationInterface& child, std::size_t& position) const;

  // A counted reference to the node at `position`; empty past the end.
  CNavigationHolder Share(std::size_t position) const;

 private:
  std::vector<std::unique_ptr<MINIABCHamperEntry>> nodes_;
  std::unordered_map<std::string, MINIHamperDirEntry*> folders_;
  // Nodes by their portable name with a-z upper-cased.
  std::unordered_map<std::string, std::vector<std::size_t>> byPortableName_;
};
