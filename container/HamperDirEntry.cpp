#include "container/HamperDirEntry.h"

#include <utility>

MINIHamperDirEntry::MINIHamperDirEntry(bool hidden, std::string name, const MINavigationInterface& parent,
                                       const MINIHamperFile& file)
    : MINIABCHamperEntry(hidden, parent, file), name_(std::move(name)) {}

MINIHamperDirEntry& MINIHamperDirEntry::FindOrCreateFolder(bool hidden, const std::string& name) {
  if (MINIHamperDirEntry* folder = children_.FindFolder(name)) return *folder;
  auto folder = std::make_unique<MINIHamperDirEntry>(hidden, name, *this, GetHamperFile());
  return static_cast<MINIHamperDirEntry&>(children_.Append(std::move(folder)));
}

CNavigationHolder MINIHamperDirEntry::GetFirstChild() const { return children_.Share(0); }

CNavigationHolder MINIHamperDirEntry::GetLastChild() const {
  return children_.Empty() ? CNavigationHolder() : children_.Share(children_.Size() - 1);
}

CNavigationHolder MINIHamperDirEntry::GetNextChild(const MINavigationInterface& child) const {
  std::size_t position = 0;
  return children_.Find(child, position) ? children_.Share(position + 1) : CNavigationHolder();
}

CNavigationHolder MINIHamperDirEntry::GetPreviousChild(const MINavigationInterface& child) const {
  std::size_t position = 0;
  if (!children_.Find(child, position) || position == 0) return {};
  return children_.Share(position - 1);
}

std::optional<std::vector<CNavigationHolder>> MINIHamperDirEntry::ChildrenWithPortableName(std::string_view name) const {
  std::vector<CNavigationHolder> children;
  for (const std::size_t position : children_.PositionsWithPortableName(name)) children.push_back(children_.Share(position));
  return children;
}
