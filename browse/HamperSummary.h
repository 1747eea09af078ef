#pragma once
// A Hamper in figures, as `hamper info` prints it: the items and their stored bytes by kind, the
// other Hampers its songs and patches refer to (and which of their items refer to each), and how
// the stored audio compares with the 16-bit PCM it decodes to.
//
//   const CHamperSummary summary = SummariseHamper(*CHamperContents::Open(path));
//
// Every song, published song and patch has its reference records read, and every sample its
// header; an item that cannot be read is left out of those figures and named in `problems`, the
// first kListedProblems of them, the rest counted. Nothing is decoded, and nothing is kept per
// item: a summary of millions of items costs what one of a few does.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CHamperContents;

struct CKindTotal {
  int itemType = 0;
  std::uint32_t items = 0;
  std::uint64_t bytes = 0;
};

struct CExternalHamperUse {
  std::string name;
  std::vector<std::string> usedBy;  // Paths of the items that refer to it, in index order
};

// An item that could not be read, and why.
struct CItemProblem {
  std::string path;
  std::string cause;
};

struct CHamperSummary {
  static constexpr std::size_t kListedProblems = 20;

  std::uint32_t items = 0;
  std::uint32_t hiddenItems = 0;
  std::uint64_t itemBytes = 0;
  std::vector<CKindTotal> kinds;  // by item type, those present only
  std::vector<CExternalHamperUse> externalHampers;  // in order of first mention
  std::uint32_t samples = 0;       // samples whose header was read
  std::uint64_t audioBytes = 0;    // their stored bytes
  std::uint64_t pcmBytes = 0;      // the 16-bit PCM they decode to
  double audioSeconds = 0;
  std::vector<CItemProblem> problems;  // in index order
  std::uint64_t problemsNotListed = 0;

  std::uint64_t ProblemCount() const { return problems.size() + problemsNotListed; }
  void AddProblem(std::string_view path, std::string cause);
};

CHamperSummary SummariseHamper(const CHamperContents& contents);
