#pragma once
// CItemColumns: the columns of a Hamper's item tree (CHamperTreeModel) sized to what they show,
// each up to a width of its own so that Rate, Loop and Root key fit beside the details at the
// browser's first size. They grow as more rows show (a folder opened, the filter's rows); a
// column the user has sized by hand stays as the user left it. A cut cell shows its whole text as
// tooltip.
//
//   columns_ = new CItemColumns(*tree_, this);
//   columns_->FitAfresh();   // once a new model's rows are shown
//   columns_->Fit();         // when more rows show

#include <QObject>
#include <vector>

class QTreeView;

class CItemColumns : public QObject {
  Q_OBJECT
 public:
  CItemColumns(QTreeView& tree, QObject* parent = nullptr);

  // Widens the columns not sized by hand to what the rows shown need, up to their widest.
  void Fit();
  // Fits the columns of a model just set, whatever their widths were.
  void FitAfresh();

 private:
  QTreeView& tree_;
  std::vector<bool> byHand_;
  bool fitting_ = false;
  bool fresh_ = true;
};
