#include "app/ReportList.h"

#include "app/AppTexts.h"
#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

void CReportListModel::SetRows(std::vector<CReportRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int CReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CReportListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CReportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const CReportRow& row = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case kKind: return DisplayText(row.kind);
      case kFile: return DisplayText(row.file);
      case kCause: return DisplayText(row.cause);
      default: return {};
    }
  }
  if (role == Qt::ToolTipRole) {
    if (index.column() == kFile) return PathText(row.path.string());
    if (index.column() == kCause) return DisplayText(row.cause);
  }
  return {};
}

QVariant CReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) return {};
  return DisplayText(NSFerryman::GetString(apptext::kFirstReportColumnTitle + static_cast<NSFerryman::ResourceId>(section)));
}
