#pragma once
// CHamperTreeModel: a Hamper's item tree (browse/HamperTree.h) as a Qt item model, one row per
// folder or item, with the columns Name, Kind, Size, Length, Channels, Rate, Loop and Root key
// (the last five for samples, from their headers, read when first shown). Hidden items are grey;
// failing items (a damaged record, or a failure of the verification) are red with a warning mark
// and their reason as tooltip, and so are the folders above them. Sizes read "12.3 kB" (the exact
// bytes as tooltip), lengths "m:ss.mmm"; kSortRole gives each cell's raw value to sort by. Rows drag out as what the
// window makes of the nodes dragged (app/DragOutData.h): nothing is written before the drop.
//
// CHamperTreeFilter narrows it to the rows whose names hold a text (and what is below and above
// them, CHamperTree::Filter), with or without hidden items, and to the failing items and their
// folders when asked; it counts the items it shows. It sorts by the raw values, folders first in
// either direction, names in the locale's order with numbers by value ("Hit 2" before "Hit 10").

#include <QAbstractItemModel>
#include <QCollator>
#include <QSortFilterProxyModel>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CHamperContents;

class CHamperTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  enum EColumn { kName, kKind, kSize, kLength, kChannels, kRate, kLoop, kRootKey, kColumnCount };
  // A cell's value to sort by: text, a number, or nothing (a folder's Rate, a picture's Length).
  static constexpr int kSortRole = Qt::UserRole + 1;

  explicit CHamperTreeModel(const CHamperContents& contents, QObject* parent = nullptr);
  ~CHamperTreeModel() override;

  // The tree node of an index (CHamperTree::kRoot for the invisible root).
  std::uint32_t NodeOf(const QModelIndex& index) const;
  QModelIndex IndexOf(std::uint32_t node, int column = 0) const;

  // Marks items as failing with their reasons (by index record), in place of those marked before;
  // damaged records stay marked.
  void SetFailures(std::map<std::size_t, std::string> failures);
  // The reason an item fails; "" when it does not.
  std::string FailureOf(std::size_t record) const;
  // Whether the node fails, or a folder has failing items below it.
  bool IsFailing(std::uint32_t node) const { return failingBelow_[node] > 0; }

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // What a drag of the nodes hands over; null for nothing.
  void SetDragData(std::function<QMimeData*(std::vector<std::uint32_t> nodes)> make) { makeDragData_ = std::move(make); }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

 private:
  void MarkFailingFolders();

  const CHamperContents& contents_;
  std::map<std::size_t, std::string> failures_;
  std::vector<std::uint32_t> failingBelow_;  // per node: failing items at or below it
  std::function<QMimeData*(std::vector<std::uint32_t>)> makeDragData_;
};

class CHamperTreeFilter : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  CHamperTreeFilter(const CHamperContents& contents, QObject* parent = nullptr);

  // `failuresOnly`: the failing items and their folders only (as the model marks them now).
  void SetFilter(const QString& text, bool withHidden, bool failuresOnly = false);
  // The items (not folders) shown, and in all.
  std::size_t ShownItems() const { return shownItems_; }
  std::size_t AllItems() const { return allItems_; }

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  void CountShown();

  const CHamperContents& contents_;
  std::vector<bool> shown_;
  std::size_t shownItems_ = 0;
  std::size_t allItems_ = 0;
  QCollator collator_;
};
