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

// The first record of each record's Path, found in one pass in index order. The table is open
// addressed, a slot holding a record number and a fingerprint of its Path's hash, so that a probe
// seldom reaches into the index; grown as Paths come, so an index of one Path repeated costs one
// slot. Memory: the answer (four bytes a record) and eight bytes a slot, at most 1.6 a Path.
std::vector<std::uint32_t> FirstOfEachPath(const CHamperIndex& index) {
  std::vector<std::uint32_t> first(index.Size());
  std::vector<std::uint64_t> slots;  // fingerprint << 32 | record + 1; 0 is free
  std::size_t used = 0;
  const auto hash = [](std::string_view path) { return std::hash<std::string_view>()(path); };
  const auto fingerprint = [](std::size_t h) { return std::uint64_t{static_cast<std::uint32_t>(h >> 32)} << 32; };
  const auto place = [&](std::uint64_t slot, std::size_t h) {
    std::size_t at = h & (slots.size() - 1);
    while (slots[at] != 0) at = (at + 1) & (slots.size() - 1);
    slots[at] = slot;
  };
  for (std::size_t r = 0; r < index.Size(); ++r) {
    if ((used + 1) * 8 > slots.size() * 5) {
      std::vector<std::uint64_t> old = std::move(slots);
      slots.assign(std::max<std::size_t>(16, old.size() * 2), 0);
      for (const std::uint64_t slot : old) {
        if (slot != 0) place(slot, hash(index.Path((slot & 0xFFFFFFFFu) - 1)));
      }
    }
    const std::string_view path = index.Path(r);
    const std::size_t h = hash(path);
    const std::uint64_t mark = fingerprint(h);
    std::size_t at = h & (slots.size() - 1);
    for (;; at = (at + 1) & (slots.size() - 1)) {
      const std::uint64_t slot = slots[at];
      if (slot == 0) break;
      const std::size_t other = (slot & 0xFFFFFFFFu) - 1;
      if ((slot & ~std::uint64_t{0xFFFFFFFFu}) == mark && index.Path(other) == path) break;
    }
    if (slots[at] == 0) {
      slots[at] = mark | (r + 1);
      ++used;
      first[r] = static_cast<std::uint32_t>(r);
    } else {
      first[r] = static_cast<std::uint32_t>((slots[at] & 0xFFFFFFFFu) - 1);
    }
  }
  return first;
}

// The items placed so far: those of sound records. They never overlap one another, so a new item
// can only collide with the nearest placed item that starts at or before it, or the nearest one
// after it. The items that may be placed (inside the file, not empty) are ordered by start once,
// and a Fenwick tree counts the placed ones among them: both neighbours are found in log n steps
// at sixteen bytes an item, however the records are ordered or overlap.
class CPlacedItems {
 public:
  CPlacedItems(const CHamperDescription& description, const CHamperIndex& index, std::uint64_t fileSize)
      : description_(description), index_(index) {
    for (std::size_t r = 0; r < index.Size(); ++r) {
      if (index.ItemSize(r) > 0 && EndOf(description, index, r) <= fileSize) order_.push_back(Key(r));
    }
    std::sort(order_.begin(), order_.end());
    // Where each record stands in the order: searching for it would reach all over a large
    // order, once for every record.
    if (!order_.empty()) positions_.resize(index.Size());
    for (std::size_t p = 0; p < order_.size(); ++p) positions_[order_[p] & 0xFFFFFFFFu] = static_cast<std::uint32_t>(p);
    counts_.assign(order_.size() + 1, 0);
  }

  // An earlier placed record whose item shares a byte with record r's (not empty, inside the
  // file): the one starting at or before it when both neighbours do.
  std::optional<std::size_t> Overlapped(std::size_t r) const {
    const std::size_t before = PlacedBefore(positions_[r]);
    std::optional<std::size_t> overlapped;
    if (before < placed_) {
      const std::uint64_t next = order_[Placed(before + 1)];
      if (description_.GetDataOffset() + (next >> 32) < EndOf(description_, index_, r)) overlapped = next & 0xFFFFFFFFu;
    }
    if (before > 0) {
      const std::size_t previous = order_[Placed(before)] & 0xFFFFFFFFu;
      if (EndOf(description_, index_, previous) > StartOf(description_, index_, r)) overlapped = previous;
    }
    return overlapped;
  }

  void Place(std::size_t r) {
    for (std::size_t i = positions_[r] + 1; i < counts_.size(); i += i & (~i + 1)) ++counts_[i];
    ++placed_;
  }

 private:
  // Items by start (the Offset: all share DataOffset), then by record.
  std::uint64_t Key(std::size_t r) const { return std::uint64_t{index_.Offset(r)} << 32 | r; }
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
  std::vector<std::uint64_t> order_;   // Offset << 32 | record of the records that may be placed
  std::vector<std::uint32_t> counts_;  // the Fenwick tree over the order, from 1
  std::vector<std::uint32_t> positions_;  // by record: where it stands in the order (those in it)
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

void CIndexLayoutProblems::Add(EKind kind, std::size_t record, std::size_t records) {
  if (kinds_.empty()) kinds_.assign(records, 0);
  kinds_[record] = static_cast<std::uint8_t>(1 + static_cast<int>(kind));
  ++count_;
}

CIndexLayoutProblems CheckHamperIndexLayout(const CHamperDescription& description, const CHamperIndex& index,
                                            std::uint64_t fileSize) {
  CIndexLayoutProblems problems;
  const std::size_t records = index.Size();
  // Each record's earlier twin, then in the same place the other record of each problem: the
  // table of Paths is gone before the items are placed.
  std::vector<std::uint32_t> others = FirstOfEachPath(index);
  CPlacedItems placed(description, index, fileSize);
  bool collisions = false;
  for (std::size_t r = 0; r < records; ++r) {
    if (EndOf(description, index, r) > fileSize) {
      problems.Add(EKind::kOutsideFile, r, records);
      continue;
    }
    const bool occupies = index.ItemSize(r) > 0;
    if (occupies) {
      if (const std::optional<std::size_t> other = placed.Overlapped(r)) {
        problems.Add(EKind::kOverlap, r, records);
        others[r] = static_cast<std::uint32_t>(*other);
        collisions = true;
        continue;
      }
    }
    if (others[r] != r) {
      problems.Add(EKind::kDuplicatePath, r, records);
      collisions = true;
      continue;
    }
    if (occupies) placed.Place(r);
  }
  if (collisions) problems.others_ = std::move(others);
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
