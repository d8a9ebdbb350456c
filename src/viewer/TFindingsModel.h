#pragma once

#include "TCheckResult.h"

#include <QAbstractTableModel>
#include <QIcon>

// The findings panel's rows: one finding a row, the severity as an icon and a word, then the rule
// ID, directory, tag, position and message.
class TFindingsModel : public QAbstractTableModel {
public:
  enum TColumn { Severity, Rule, Directory, Tag, Position, Message, ColumnCount };

  using QAbstractTableModel::QAbstractTableModel;

  void SetResult(lodestar::check::TCheckResult result);
  const lodestar::check::TCheckResult& Result() const { return FResult; }
  // Null outside the rows.
  const lodestar::check::TFinding* Finding(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  lodestar::check::TCheckResult FResult;
};
