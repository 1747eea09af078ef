#include "references/ReferenceResolution.h"

#include <algorithm>

#include "navigation/PortableName.h"
#include "references/Database.h"
#include "references/ReferenceErrors.h"

namespace {

// A real path has far fewer components than this; a longer list can only be a damaged record,
// and following it through looping folder links would never end.
constexpr std::size_t kMaxComponents = 2048;
// Items a single search may look at before it gives up: same-named folders reached through
// links could otherwise multiply the work without bound.
constexpr std::size_t kSearchBudget = 1'000'000;

CDatabase& DatabaseOf(const CReferenceContext& context) {
  if (context.database) return *context.database;
  if (CDatabase* database = GetDatabase()) return *database;
  throw NSFerryman::XBase("no installed-Hamper database");
}

CNavigationHolder SearchBelow(const MINavigationInterface& start, std::span<const std::string> components,
                              std::size_t& budget) {
  const auto tryChild = [&](const CNavigationHolder& child) -> CNavigationHolder {
    if (components.size() == 1) return child;
    return SearchBelow(*child, components.subspan(1), budget);
  };
  // Items that index their children's names answer at once; others are walked.
  if (const auto indexed = start.ChildrenWithPortableName(components.front())) {
    for (const CNavigationHolder& child : *indexed) {
      if (budget == 0) return {};
      --budget;
      if (CNavigationHolder found = tryChild(child)) return found;
    }
    return {};
  }
  for (CNavigationHolder child = start.GetFirstChild(); child; child = start.GetNextChild(*child)) {
    if (budget == 0) return {};
    --budget;
    if (!SamePortableName(child->GetName(), components.front())) continue;
    if (CNavigationHolder found = tryChild(child)) return found;
  }
  return {};
}

// The folder reached and the folders beside it that carry the same portable name, in child
// order. The folder itself is always among them: where its parent lists it under another name
// (a Hamper file is listed by its file name but named by its description), it goes first.
std::vector<CNavigationHolder> SameNamedCandidates(const CNavigationHolder& folder) {
  CNavigationHolder parent = folder->GetParent();
  if (!parent) return {folder};
  std::vector<CNavigationHolder> candidates;
  bool metItself = false;
  const std::string name = folder->GetName();
  for (CNavigationHolder child = parent->GetFirstChild(); child; child = parent->GetNextChild(*child)) {
    if (!SamePortableName(child->GetName(), name)) continue;
    if (child->IsSame(*folder)) {
      metItself = true;
      candidates.push_back(folder);
    } else {
      candidates.push_back(child);
    }
  }
  if (!metItself) candidates.insert(candidates.begin(), folder);
  return candidates;
}

CNavigationHolder SearchCandidates(const std::vector<CNavigationHolder>& candidates,
                                   const CPathComponents& components) {
  for (const CNavigationHolder& candidate : candidates) {
    if (CNavigationHolder found = ResolvePathList(*candidate, components)) return found;
  }
  return {};
}

bool IsSameItem(const MINavigationInterface& a, const MINavigationInterface& b) { return &a == &b || a.IsSame(b); }

// Portable names from the outermost item down to `item`, after the database root's name.
CPathComponents FullComponents(const MINavigationInterface& item, const std::string& rootName) {
  CPathComponents names;
  names.push_back(PortableName(item.GetName()));
  for (CNavigationHolder parent = item.GetParent(); parent; parent = parent->GetParent()) {
    names.push_back(PortableName(parent->GetName()));
  }
  names.push_back(PortableName(rootName));
  std::reverse(names.begin(), names.end());
  return names;
}

// Why a database path finds no root folder: the folders it could have meant (any but the last two
// components), as the author sees them; most often the folder was renamed or copied since.
std::string DatabaseFoldersNamed(const CPathComponents& components) {
  std::string names;
  const std::size_t folders = components.size() > 2 ? components.size() - 2 : 1;
  for (std::size_t i = 0; i < folders && i < components.size(); ++i) {
    names += (i ? ", \"" : "\"") + components[i] + "\"";
  }
  return std::string("its database path names the folder") + (folders > 1 ? "s " : " ") + names;
}

// Step b of finding a target: the database part names the root folder somewhere in its path; the
// rest of the path is searched from the root folder.
CNavigationHolder ResolveDatabasePath(const CDatabasePathRef& part, const MINavigationInterface& rootFolder) {
  std::span<const std::string> components(part.components);
  if (components.empty()) throw XBadReference("the database path is empty");
  const std::string rootName = PortableName(rootFolder.GetName());
  while (!PortableNamesEqual(PortableName(components.front()), rootName)) {
    if (components.size() <= 2) {
      throw XBadReference(DatabaseFoldersNamed(part.components) + "; this folder is \"" + rootFolder.GetName() + "\"");
    }
    components = components.subspan(1);
  }
  return ResolvePathList(rootFolder, components.subspan(1));
}

CNavigationHolder ReferencingFolder(const CReferenceContext& context) {
  if (!context.referencingItem) throw NSFerryman::XBase("reference check without a referencing item");
  return context.referencingItem->GetParent();
}

}  // namespace

bool IsExternalReference(const CSF10ReferenceChunk& record, const std::string& hamperName) {
  return !record.hamperName.empty() && !SamePortableName(record.hamperName, hamperName);
}

CNavigationHolder ResolvePathList(const MINavigationInterface& start, std::span<const std::string> components) {
  if (components.empty() || components.size() > kMaxComponents) return {};
  std::size_t budget = kSearchBudget;
  return SearchBelow(start, components, budget);
}

CNavigationHolder ResolveRelativePath(const CRelativePathRef& part, const MINavigationInterface& referencingFolder) {
  if (!part.present) return {};
  CNavigationHolder folder = CNavigationHolder::Share(const_cast<MINavigationInterface*>(&referencingFolder));
  for (std::uint32_t level = 0; level < part.levelsUp; ++level) {
    folder = folder->GetParent();
    if (!folder) return {};
  }
  return SearchCandidates(SameNamedCandidates(folder), part.components);
}

CNavigationHolder ResolveRelativePathWithin(const CRelativePathRef& part, const MINavigationInterface& referencingFolder,
                                            const MINavigationInterface& root) {
  if (!part.present) return {};
  CNavigationHolder folder = CNavigationHolder::Share(const_cast<MINavigationInterface*>(&referencingFolder));
  for (std::uint32_t level = 0; level < part.levelsUp; ++level) {
    if (IsSameItem(*folder, root)) return {};
    folder = folder->GetParent();
    if (!folder) return {};
  }
  if (IsSameItem(*folder, root)) return ResolvePathList(*folder, part.components);
  return SearchCandidates(SameNamedCandidates(folder), part.components);
}

CNavigationHolder ResolveVolumePath(const CVolumePathRef& part, CDatabase& database) {
  if (!part.present) return {};
  CNavigationHolder start = part.volumeKind == kVolumeKindCdRomByName ? database.FindVolumeByName(part.volumeName)
                                                                       : database.GetTopOfFileSystem();
  if (!start) return {};
  return ResolvePathList(*start, part.components);
}

CPathComponents PathBelowRoot(const MINavigationInterface& item, const MINavigationInterface& root) {
  CPathComponents names;
  CNavigationHolder current = CNavigationHolder::Share(const_cast<MINavigationInterface*>(&item));
  while (!IsSameItem(*current, root)) {
    names.push_back(PortableName(current->GetName()));
    current = current->GetParent();
    if (!current) throw XBadReference("\"" + item.GetName() + "\" does not lie in \"" + root.GetName() + "\"");
  }
  std::reverse(names.begin(), names.end());
  return names;
}

CRelativePathRef MakeRelativePath(const MINavigationInterface& from, const MINavigationInterface* to,
                                  CDatabase& database) {
  CRelativePathRef part;
  CNavigationHolder root = database.GetRootItem();
  if (!to || IsSameItem(from, *root)) return part;
  const std::string rootName = root->GetName();
  const CPathComponents fromNames = FullComponents(from, rootName);
  const CPathComponents toNames = FullComponents(*to, rootName);
  const std::size_t limit = std::min(toNames.size() - 1, fromNames.size());
  std::size_t common = 0;
  while (common < limit && PortableNamesEqual(fromNames[common], toNames[common])) ++common;
  if (common == 0) return part;
  part.present = true;
  part.levelsUp = static_cast<std::uint32_t>(fromNames.size() - common);
  part.components.assign(toNames.begin() + static_cast<std::ptrdiff_t>(common), toNames.end());
  return part;
}

CReferenceTarget FindReferenceTarget(const CReferenceContext& context, const CSF10ReferenceChunk& record) {
  if (!context.rootFolder) throw NSFerryman::XBase("reference check without a root folder");
  if (CNavigationHolder folder = ReferencingFolder(context)) {
    if (CNavigationHolder found = ResolveRelativePath(record.relative, *folder)) {
      return {std::move(found), EReferencePart::kRelative};
    }
  }
  if (record.database.present) {
    if (CNavigationHolder found = ResolveDatabasePath(record.database, *context.rootFolder)) {
      return {std::move(found), EReferencePart::kDatabase};
    }
  } else if (CNavigationHolder found = ResolveVolumePath(record.volume, DatabaseOf(context))) {
    return {std::move(found), EReferencePart::kVolume};
  }
  throw XBadReference("found through none of its paths");
}

void CheckReference(const CReferenceContext& context, const CSF10ReferenceChunk& record, ExternalHamperNames& names) {
  if (IsExternalReference(record, context.hamperName)) {
    if (std::find(names.begin(), names.end(), record.hamperName) == names.end()) names.push_back(record.hamperName);
    return;
  }
  // Found is not enough: what the Hamper cannot hold, packing could not rewrite.
  PathBelowRoot(*FindReferenceTarget(context, record).item, *context.rootFolder);
}

CSF10ReferenceChunk RewriteReference(const CReferenceContext& context, const CSF10ReferenceChunk& record) {
  CSF10ReferenceChunk result = record;
  result.volume = CVolumePathRef{};
  if (IsExternalReference(record, context.hamperName)) {
    result.relative = CRelativePathRef{};
    return result;
  }
  result.hamperName = PortableName(context.hamperName);
  result.hamperUrl = PortableName(context.hamperUrl);
  const CReferenceTarget target = FindReferenceTarget(context, record);
  result.database = CDatabasePathRef{};
  result.database.present = true;
  result.database.hamperName = result.hamperName;
  result.database.components = PathBelowRoot(*target.item, *context.rootFolder);
  const CNavigationHolder folder = ReferencingFolder(context);
  bool keepRelative = target.foundThrough == EReferencePart::kRelative;
  if (keepRelative) {
    // Kept as stored only while it finds the same item without leaving the folder being packed:
    // inside the finished Hamper nothing outside that folder exists, and a path that climbs out
    // and back in would resolve nowhere there.
    const CNavigationHolder inside = ResolveRelativePathWithin(record.relative, *folder, *context.rootFolder);
    keepRelative = inside && IsSameItem(*inside, *target.item);
  }
  if (!keepRelative) {
    result.relative = folder ? MakeRelativePath(*folder, target.item.Get(), DatabaseOf(context)) : CRelativePathRef{};
  }
  return result;
}
