#pragma once

#include "ReportRows.h"

#include <QAbstractTableModel>

// ListView1's rows: a table over TReportRows, one column per report column. A cell a row does
// not carry shows empty; a cell is shown up to its first NUL.
class TReportModel : public QAbstractTableModel {
public:
  using QAbstractTableModel::QAbstractTableModel;

  // Replaces all rows at once; selection and scroll position go with them.
  void SetRows(lodestar::TReportRows rows);
  const lodestar::TReportRows& Rows() const { return FRows; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  bool IsCell(const QModelIndex& index) const;

  lodestar::TReportRows FRows;
};
