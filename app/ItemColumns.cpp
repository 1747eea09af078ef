#include "app/ItemColumns.h"

#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

#include "app/ElidingDelegate.h"
#include "app/HamperTreeModel.h"

namespace {

// Name, Kind, Size, Length, Channels, Rate, Loop, Root key.
constexpr int kWidestColumn[CHamperTreeModel::kColumnCount] = {240, 160, 66, 62, 56, 70, 110, 58};

}  // namespace

CItemColumns::CItemColumns(QTreeView& tree, QObject* parent)
    : QObject(parent), tree_(tree), byHand_(CHamperTreeModel::kColumnCount, false) {
  connect(tree_.header(), &QHeaderView::sectionResized, this, [this](int column) {
    if (!fitting_ && column >= 0 && column < CHamperTreeModel::kColumnCount) byHand_[static_cast<std::size_t>(column)] = true;
  });
  connect(&tree_, &QTreeView::expanded, this, [this] { Fit(); });
  // The rows on screen only: a fit on each key typed in the filter box must not measure thousands.
  tree_.header()->setResizeContentsPrecision(0);
  // A name keeps its extension when cut (the view's own mode); a kind or a loop reads from its start.
  auto* elideAtEnd = new CElidingDelegate(Qt::ElideRight, this);
  for (int column = CHamperTreeModel::kKind; column < CHamperTreeModel::kColumnCount; ++column) {
    tree_.setItemDelegateForColumn(column, elideAtEnd);
  }
}

void CItemColumns::FitAfresh() {
  // A new model: the header's widths are its defaults, not anyone's choice.
  byHand_.assign(byHand_.size(), false);
  fresh_ = true;
  Fit();
}

void CItemColumns::Fit() {
  fitting_ = true;
  for (int column = 0; column < CHamperTreeModel::kColumnCount; ++column) {
    const int before = fresh_ ? 0 : tree_.columnWidth(column);
    if (byHand_[static_cast<std::size_t>(column)] || before >= kWidestColumn[column]) continue;
    tree_.resizeColumnToContents(column);
    tree_.setColumnWidth(column, std::max(before, std::min(tree_.columnWidth(column), kWidestColumn[column])));
  }
  fitting_ = false;
  fresh_ = false;
}
