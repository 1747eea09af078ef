#include "container/HamperIndexLayout.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <string_view>

namespace {

using EKind = CIndexLayoutProblem::EKind;

std::string Range(std::uint64_t start, std::uint64_t end) {
  return "bytes " + std::to_string(start) + " to " + std::to_string(end);
}

// 32-bit fields summed in 64 bits cannot wrap.
std::uint64_t StartOf(const CHamperDescription& description, const CHamperIndex& index, std::size_t r) {
  return std::uint64_t{description.GetDataOffset()} + index.Offset(r);
}
std::uint64_t EndOf(const CHamperDescription& description, const CHamperIndex& index, std::size_t r) {
  return StartOf(description, index, r) + index.ItemSize(r);
}

// The first record of each Path, in an open-addressed table of record numbers (four bytes a slot,
// at most half full): a map of Paths would cost some fifty bytes each.
class CFirstOfPath {
 public:
  explicit CFirstOfPath(const CHamperIndex& index) : index_(index) {}

  // The first record with record r's Path; r itself when it is the first.
  std::size_t Take(std::size_t r) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    const std::string_view path = index_.Path(r);
    for (std::size_t at = Hash(path);; at = (at + 1) & (slots_.size() - 1)) {
      if (slots_[at] == 0) {
        slots_[at] = static_cast<std::uint32_t>(r + 1);
        ++used_;
        return r;
      }
      if (index_.Path(slots_[at] - 1) == path) return slots_[at] - 1;
    }
  }

 private:
  std::size_t Hash(std::string_view path) const { return std::hash<std::string_view>()(path) & (slots_.size() - 1); }

  void Grow() {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(16, old.size() * 2), 0);
    for (const std::uint32_t slot : old) {
      if (slot == 0) continue;
      std::size_t at = Hash(index_.Path(slot - 1));
      while (slots_[at] != 0) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = slot;
    }
  }

  const CHamperIndex& index_;
  std::vector<std::uint32_t> slots_;  // record + 1; 0 is free
  std::size_t used_ = 0;
};

// The items placed so far: those of sound records. They never overlap one another, so a new item
// can only collide with the nearest placed item that starts at or before it, or the nearest one
// after it. The items that may be placed (inside the file, not empty) are ordered by start once,
// and a Fenwick tree counts the placed ones among them: both neighbours are found in log n steps
// at eight bytes an item, however the records are ordered or overlap.
class CPlacedItems {
 public:
  CPlacedItems(const CHamperDescription& description, const CHamperIndex& index, std::uint64_t fileSize)
      : description_(description), index_(index) {
    for (std::size_t r = 0; r < index.Size(); ++r) {
      if (index.ItemSize(r) > 0 && EndOf(description, index, r) <= fileSize) order_.push_back(static_cast<std::uint32_t>(r));
    }
    std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) { return Before(a, b); });
    counts_.assign(order_.size() + 1, 0);
  }

  // An earlier placed record whose item shares a byte with record r's (not empty, inside the
  // file): the one starting at or before it when both neighbours do.
  std::optional<std::size_t> Overlapped(std::size_t r) const {
    const std::size_t position = PositionOf(r);
    const std::size_t before = PlacedBefore(position);
    const std::uint64_t start = StartOf(description_, index_, r);
    std::optional<std::size_t> overlapped;
    if (before < placed_) {
      const std::uint32_t next = order_[Placed(before + 1)];
      if (StartOf(description_, index_, next) < EndOf(description_, index_, r)) overlapped = next;
    }
    if (before > 0) {
      const std::uint32_t previous = order_[Placed(before)];
      if (EndOf(description_, index_, previous) > start) overlapped = previous;
    }
    return overlapped;
  }

  void Place(std::size_t r) {
    for (std::size_t i = PositionOf(r) + 1; i < counts_.size(); i += i & (~i + 1)) ++counts_[i];
    ++placed_;
  }

 private:
  bool Before(std::size_t a, std::size_t b) const {
    const std::uint64_t startA = StartOf(description_, index_, a);
    const std::uint64_t startB = StartOf(description_, index_, b);
    return startA != startB ? startA < startB : a < b;
  }
  std::size_t PositionOf(std::size_t r) const {
    return static_cast<std::size_t>(
        std::lower_bound(order_.begin(), order_.end(), r, [&](std::uint32_t a, std::size_t b) { return Before(a, b); }) -
        order_.begin());
  }
  // Placed items among the first `position` of the order.
  std::size_t PlacedBefore(std::size_t position) const {
    std::size_t sum = 0;
    for (std::size_t i = position; i > 0; i -= i & (~i + 1)) sum += counts_[i];
    return sum;
  }
  // Where in the order the k-th placed item stands (k from 1).
  std::size_t Placed(std::size_t k) const {
    std::size_t position = 0;
    for (std::size_t step = std::bit_floor(order_.size()); step > 0; step >>= 1) {
      if (position + step < counts_.size() && counts_[position + step] < k) {
        position += step;
        k -= counts_[position];
      }
    }
    return position;
  }

  const CHamperDescription& description_;
  const CHamperIndex& index_;
  std::vector<std::uint32_t> order_;   // the records that may be placed, by start
  std::vector<std::uint32_t> counts_;  // the Fenwick tree over the order, from 1
  std::size_t placed_ = 0;
};

}  // namespace

std::optional<CIndexLayoutProblem> CIndexLayoutProblems::Of(std::size_t record) const {
  if (kinds_.empty() || kinds_[record] == 0) return std::nullopt;
  const auto kind = static_cast<EKind>(kinds_[record] - 1);
  const std::size_t other = kind == EKind::kOutsideFile ? record : others_[record];
  return CIndexLayoutProblem{kind, record, other, {}};
}

std::string CIndexLayoutProblems::Text(const CIndexLayoutProblem& problem, const CHamperDescription& description,
                                       const CHamperIndex& index, std::uint64_t fileSize) const {
  const std::uint64_t start = StartOf(description, index, problem.record);
  const std::uint64_t end = EndOf(description, index, problem.record);
  switch (problem.kind) {
    case EKind::kOutsideFile:
      return "the item lies outside the file (" + Range(start, end) + " of a file of " + std::to_string(fileSize) + ")";
    case EKind::kOverlap:
      return "the item (" + Range(start, end) + ") overlaps the item " + std::string(index.Path(problem.other));
    case EKind::kDuplicatePath:
      return "record " + std::to_string(problem.other + 1) + " has the same path";
  }
  return {};
}

void CIndexLayoutProblems::Add(EKind kind, std::size_t record, std::size_t other, std::size_t records) {
  if (kinds_.empty()) kinds_.assign(records, 0);
  kinds_[record] = static_cast<std::uint8_t>(1 + static_cast<int>(kind));
  if (kind != EKind::kOutsideFile) {
    if (others_.empty()) others_.assign(records, 0);
    others_[record] = static_cast<std::uint32_t>(other);
  }
  ++count_;
}

CIndexLayoutProblems CheckHamperIndexLayout(const CHamperDescription& description, const CHamperIndex& index,
                                            std::uint64_t fileSize) {
  CIndexLayoutProblems problems;
  CFirstOfPath firstOfPath(index);
  CPlacedItems placed(description, index, fileSize);
  const std::size_t records = index.Size();
  for (std::size_t r = 0; r < records; ++r) {
    const std::size_t first = firstOfPath.Take(r);
    if (EndOf(description, index, r) > fileSize) {
      problems.Add(EKind::kOutsideFile, r, r, records);
      continue;
    }
    const bool occupies = index.ItemSize(r) > 0;
    if (occupies) {
      if (const std::optional<std::size_t> other = placed.Overlapped(r)) {
        problems.Add(EKind::kOverlap, r, *other, records);
        continue;
      }
    }
    if (first != r) {
      problems.Add(EKind::kDuplicatePath, r, first, records);
      continue;
    }
    if (occupies) placed.Place(r);
  }
  return problems;
}

std::vector<CIndexLayoutProblem> CheckHamperIndexLayout(const CHamperDescription& description,
                                                        const std::vector<CHamperIndexEntry>& entries,
                                                        std::uint64_t fileSize) {
  const CHamperIndex index = CHamperIndex::FromEntries(entries);
  const CIndexLayoutProblems problems = CheckHamperIndexLayout(description, index, fileSize);
  std::vector<CIndexLayoutProblem> listed;
  for (std::size_t r = 0; r < index.Size() && listed.size() < problems.Count(); ++r) {
    if (std::optional<CIndexLayoutProblem> problem = problems.Of(r)) {
      problem->message = problems.Text(*problem, description, index, fileSize);
      listed.push_back(std::move(*problem));
    }
  }
  return listed;
}
