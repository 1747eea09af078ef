#include "container/HamperIndexLayout.h"

#include <iterator>
#include <map>
#include <string_view>
#include <unordered_map>

namespace {

std::string Range(std::uint64_t start, std::uint64_t end) {
  return "bytes " + std::to_string(start) + " to " + std::to_string(end);
}

}  // namespace

std::vector<CIndexLayoutProblem> CheckHamperIndexLayout(const CHamperDescription& description,
                                                        const std::vector<CHamperIndexEntry>& index,
                                                        std::uint64_t fileSize) {
  using EKind = CIndexLayoutProblem::EKind;
  std::vector<CIndexLayoutProblem> problems;
  // The items of sound records, by start: they never overlap one another, so a new item can only
  // collide with the one that starts at or before it or the first one after it. That keeps a
  // crafted index of many records at n log n, however they overlap.
  struct CPlaced {
    std::uint64_t end;
    std::size_t record;
  };
  std::map<std::uint64_t, CPlaced> placed;
  std::unordered_map<std::string_view, std::size_t> firstWithPath;
  firstWithPath.reserve(index.size());

  for (std::size_t i = 0; i < index.size(); ++i) {
    const CHamperIndexEntry& entry = index[i];
    const auto [twin, firstOfPath] = firstWithPath.emplace(entry.GetPath(), i);
    // 32-bit fields summed in 64 bits cannot wrap.
    const std::uint64_t start = std::uint64_t{description.GetDataOffset()} + entry.GetOffset();
    const std::uint64_t end = start + entry.GetSize();
    if (end > fileSize) {
      problems.push_back({EKind::kOutsideFile, i, i,
                          "the item lies outside the file (" + Range(start, end) + " of a file of " +
                              std::to_string(fileSize) + ")"});
      continue;
    }
    if (entry.GetSize() > 0) {
      std::size_t overlapped = index.size();
      auto next = placed.upper_bound(start);
      if (next != placed.end() && next->first < end) overlapped = next->second.record;
      if (next != placed.begin()) {
        const auto before = std::prev(next);
        if (before->second.end > start) overlapped = before->second.record;
      }
      if (overlapped != index.size()) {
        problems.push_back({EKind::kOverlap, i, overlapped,
                            "the item (" + Range(start, end) + ") overlaps the item " +
                                index[overlapped].GetPath()});
        continue;
      }
    }
    if (!firstOfPath) {
      problems.push_back({EKind::kDuplicatePath, i, twin->second,
                          "record " + std::to_string(twin->second + 1) + " has the same path"});
      continue;
    }
    if (entry.GetSize() > 0) placed.emplace(start, CPlaced{end, i});
  }
  return problems;
}
