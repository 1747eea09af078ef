#pragma once
// The columns of a Hamper's item tree (CHamperTreeModel) sized to what they show, each up to a
// width of its own so that Rate, Loop and Root key fit beside the details at the browser's first
// size; a column can be made wider by hand, and a cut cell shows its whole text as tooltip.

class QTreeView;

void SizeItemColumns(QTreeView& tree);
