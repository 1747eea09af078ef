#include "app/ItemColumns.h"

#include <QTreeView>
#include <algorithm>

#include "app/HamperTreeModel.h"

namespace {

// Name, Kind, Size, Length, Channels, Rate, Loop, Root key.
constexpr int kWidestColumn[CHamperTreeModel::kColumnCount] = {176, 84, 66, 62, 56, 70, 96, 58};

}  // namespace

void SizeItemColumns(QTreeView& tree) {
  for (int column = 0; column < CHamperTreeModel::kColumnCount; ++column) {
    // From the rows shown: a large tree is not read whole for it.
    tree.resizeColumnToContents(column);
    tree.setColumnWidth(column, std::min(tree.columnWidth(column), kWidestColumn[column]));
  }
}
