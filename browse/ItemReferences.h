#pragma once
// What a song, published song or patch inside a Hamper refers to, record by record, and where
// each record leads from inside that Hamper:
//
//   CDatabaseScope scope(database);
//   for (const CResolvedReference& r : ReadItemReferences(contents, record, database)) ...
//
// An internal record (no Hamper name, or this Hamper's) is resolved as the final verification
// resolves it, from the item's place inside the Hamper: found inside the Hamper it is kInThisHamper
// with the item's Path; found anywhere else, or nowhere, it is kUnresolved with the reason. An
// external record is kInInstalledHamper when an installed Hamper of its name holds the item its
// database path names, else kUnresolved (the Hamper is not installed, or lacks the item). A
// search that would have to ask for a CD does not ask: it is unresolved.
//
// Failures of the item itself (damaged, not a song or patch) are thrown as the readers throw them.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "references/ReferenceRecord.h"

class CDatabase;
class CHamperContents;

enum class EReferenceStatus { kInThisHamper, kInInstalledHamper, kUnresolved };

struct CResolvedReference {
  CSF10ReferenceChunk record;
  bool external = false;
  EReferenceStatus status = EReferenceStatus::kUnresolved;
  // Where it leads: a Path in this Hamper, or "Hamper: Path" in an installed one; else the reason.
  std::string where;
};

std::vector<CResolvedReference> ReadItemReferences(const CHamperContents& contents, std::size_t record,
                                               CDatabase& database);

// The parts of a record, one line each, as `hamper refs` prints them under its status line:
// "Hamper name: ...  URL: ...", "relative: ...", "database: ...", "volume: ...". Texts from the
// record pass through `escape`.
std::vector<std::string> DescribeReferenceParts(const CSF10ReferenceChunk& record,
                                                const std::function<std::string(std::string_view)>& escape);
