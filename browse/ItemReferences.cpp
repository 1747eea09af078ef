#include "browse/ItemReferences.h"

#include <filesystem>
#include <stdexcept>

#include "browse/HamperContents.h"
#include "container/FindItemByPath.h"
#include "container/HamperFile.h"
#include "framework/media/Exceptions.h"
#include "items/HostFile.h"
#include "navigation/PortableName.h"
#include "references/Database.h"
#include "references/ReferenceErrors.h"
#include "references/ReferenceResolution.h"

namespace {

EHostFileKind HostKindOf(int itemType) {
  switch (itemType) {
    case 1: return EHostFileKind::kSong;
    case 13: return EHostFileKind::kPublishedSong;
    case 2: case 3: case 4: case 5: return EHostFileKind::kPatch;
    default: throw NSFerryman::XBadFormat("not a song, published song or patch");
  }
}

// The names from below `top` down to the item, joined by ":"; empty when the item is not below it.
std::string PathInside(const CNavigationHolder& item, const MINavigationInterface& top) {
  std::vector<std::string> names;
  for (CNavigationHolder current = item; current; current = current->GetParent()) {
    if (current->IsSame(top)) {
      std::string path;
      for (auto it = names.rbegin(); it != names.rend(); ++it) path += (path.empty() ? "" : ":") + *it;
      return path;
    }
    names.push_back(current->GetName());
  }
  return {};
}

void ResolveExternal(CResolvedReference& reference, CDatabase& database) {
  const CSF10ReferenceChunk& r = reference.record;
  const CNavigationHolder hamper = database.FindInstalledHamper(r.hamperName);
  if (!hamper) {
    reference.where = "the Hamper \"" + r.hamperName + "\" is not installed";
    return;
  }
  // The database path names the item below the Hamper, sometimes after the Hamper's own name.
  std::span<const std::string> components(r.database.components);
  CNavigationHolder found = r.database.present ? ResolvePathList(*hamper, components) : CNavigationHolder();
  if (!found && components.size() > 1 && SamePortableName(components.front(), hamper->GetName())) {
    found = ResolvePathList(*hamper, components.subspan(1));
  }
  if (!found) {
    reference.where = "not found in the installed Hamper \"" + hamper->GetName() + "\"";
    return;
  }
  reference.status = EReferenceStatus::kInInstalledHamper;
  reference.where = hamper->GetName() + ": " + PathInside(found, *hamper);
}

}  // namespace

std::vector<CResolvedReference> ReadItemReferences(const CHamperContents& contents, std::size_t record,
                                               CDatabase& database) {
  if (record >= contents.Index().Size()) throw std::out_of_range("no record " + std::to_string(record));
  const CHamperIndexEntry entry = contents.Record(record);
  const EHostFileKind kind = HostKindOf(entry.GetItemType());
  std::vector<CSF10ReferenceChunk> records;
  {
    const auto item = contents.OpenItem(record);
    records = ReadHostFileReferences(kind, *item);
  }

  CDatabaseScope scope(database);
  const CNavigationHolder hamper =
      database.ItemForPath(std::filesystem::absolute(contents.Path()).lexically_normal().string());
  CReferenceContext context;
  if (dynamic_cast<const MINIHamperFile*>(hamper.Get())) {
    context.rootFolder = hamper->GetParent();
    context.hamperName = contents.Description().GetName();
    context.hamperUrl = contents.Description().GetURL();
    try {
      context.referencingItem = FindItemByPath(*hamper, entry);
    } catch (const NSFerryman::XBadFormat&) {
      // A hidden item, or one twinned with another: its records can still be read and listed.
    }
    context.referencingName = entry.GetPath();
    context.database = &database;
  }

  std::vector<CResolvedReference> references;
  for (const CSF10ReferenceChunk& r : records) {
    CResolvedReference reference;
    reference.record = r;
    reference.external = IsExternalReference(r, contents.Description().GetName());
    if (reference.external) {
      ResolveExternal(reference, database);
    } else if (!context.referencingItem) {
      reference.where = "the item cannot be found by its path in the Hamper";
    } else {
      try {
        const CNoVolumeWaitingHere noWaiting;
        const CReferenceTarget target = FindReferenceTarget(context, r);
        const std::string inside = PathInside(target.item, *hamper);
        if (inside.empty()) {
          reference.where = "found outside the Hamper";
        } else {
          reference.status = EReferenceStatus::kInThisHamper;
          reference.where = inside;
        }
      } catch (const XBadReference& e) {
        reference.where = e.what();
      } catch (const XVolumeWaitNotHere& e) {
        reference.where = e.what();
      }
    }
    references.push_back(std::move(reference));
  }
  return references;
}

namespace {

std::string Components(const CPathComponents& components, const std::function<std::string(std::string_view)>& escape) {
  std::string out;
  for (const std::string& c : components) out += (out.empty() ? "" : ":") + escape(c);
  return out;
}

}  // namespace

std::vector<std::string> DescribeReferenceParts(const CSF10ReferenceChunk& r,
                                                const std::function<std::string(std::string_view)>& escape) {
  std::vector<std::string> lines;
  lines.push_back("Hamper name: \"" + escape(r.hamperName) + "\"  URL: \"" + escape(r.hamperUrl) + "\"");
  std::string line = "relative:    ";
  if (r.relative.present) {
    line += std::to_string(r.relative.levelsUp) + " up, " + Components(r.relative.components, escape) +
            (r.relative.IsOldForm() ? "  (old form)" : "");
  } else {
    line += "absent";
  }
  lines.push_back(line);
  line = "database:    ";
  if (r.database.present) {
    line += "\"" + escape(r.database.hamperName) + "\": " + Components(r.database.components, escape);
  } else {
    line += "absent";
  }
  lines.push_back(line);
  line = "volume:      ";
  if (r.volume.present) {
    line += "\"" + escape(r.volume.volumeName) + "\" kind " + std::to_string(int{r.volume.volumeKind}) + ": " +
            Components(r.volume.components, escape) + (r.volume.IsOldForm() ? "  (old form)" : "");
  } else {
    line += "absent";
  }
  lines.push_back(line);
  return lines;
}
