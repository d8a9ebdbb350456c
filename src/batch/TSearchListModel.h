#pragma once

#include "TSearchList.h"

#include <QAbstractListModel>

// listboxTags's rows: the items of a TSearchList, each checkable. A tick given in the view goes
// straight into the list; operations on the list are shown by Refresh.
class TSearchListModel : public QAbstractListModel {
public:
  TSearchListModel(lodestar::TSearchList& list, QObject* parent);

  // Shows the list as it now is, after any of its operations.
  void Refresh();

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  bool IsItem(const QModelIndex& index) const;

  lodestar::TSearchList& FList;
};
