#pragma once
// CReportListModel: the report window's rows (ReportRows.h) as a table of three columns, Kind,
// File and Cause, for a view that sorts them through a proxy; each row's tooltips give what a
// narrow column cuts off (the file's place on disk, the whole cause).

#include <QAbstractTableModel>
#include <vector>

#include "app/ReportRows.h"

class CReportListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum EColumn { kKind, kFile, kCause, kColumnCount };

  using QAbstractTableModel::QAbstractTableModel;

  void SetRows(std::vector<CReportRow> rows);
  const std::vector<CReportRow>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<CReportRow> rows_;
};
