#include "ReportModel.h"

#include <cstring>

namespace {

Qt::Alignment ColumnAlignment(int column) {
  return (lodestar::ReportColumns[column].RightAligned ? Qt::AlignRight : Qt::AlignLeft) |
         Qt::AlignVCenter;
}

} // namespace

void TReportModel::SetRows(lodestar::TReportRows rows) {
  beginResetModel();
  FRows = std::move(rows);
  endResetModel();
}

int TReportModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FRows.Rows.size());
}

int TReportModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : lodestar::ReportColumnCount;
}

bool TReportModel::IsCell(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && !index.parent().isValid() &&
         index.row() < rowCount() && index.column() < columnCount();
}

QVariant TReportModel::data(const QModelIndex& index, int role) const {
  if (!IsCell(index))
    return {};
  if (role == Qt::TextAlignmentRole)
    return static_cast<int>(ColumnAlignment(index.column()));
  if (role != Qt::DisplayRole)
    return {};
  const lodestar::TReportRow& row = FRows.Rows[static_cast<std::size_t>(index.row())];
  const std::string* cell = nullptr;
  if (index.column() == 0)
    cell = &row.Caption;
  else if (static_cast<std::size_t>(index.column()) <= row.SubItems.size())
    cell = &row.SubItems[static_cast<std::size_t>(index.column()) - 1];
  if (cell == nullptr)
    return QString();
  // An "Ascii" value keeps its terminating NUL in the row; the list shows the text before it.
  return QString::fromUtf8(cell->c_str(), static_cast<qsizetype>(std::strlen(cell->c_str())));
}

QVariant TReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= lodestar::ReportColumnCount)
    return {};
  if (role == Qt::DisplayRole)
    return QString::fromUtf8(lodestar::ReportColumns[section].Caption);
  if (role == Qt::TextAlignmentRole)
    return static_cast<int>(ColumnAlignment(section));
  return {};
}

Qt::ItemFlags TReportModel::flags(const QModelIndex& index) const {
  if (!IsCell(index))
    return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
