#include "TSearchListModel.h"

TSearchListModel::TSearchListModel(lodestar::TSearchList& list, QObject* parent)
    : QAbstractListModel(parent), FList(list) {}

void TSearchListModel::Refresh() {
  beginResetModel();
  endResetModel();
}

int TSearchListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : FList.Count();
}

bool TSearchListModel::IsItem(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && !index.parent().isValid() &&
         index.column() == 0 && index.row() < FList.Count();
}

QVariant TSearchListModel::data(const QModelIndex& index, int role) const {
  if (!IsItem(index))
    return {};
  const lodestar::TSearchItem& item = FList.Item(index.row());
  if (role == Qt::DisplayRole)
    return QString::fromStdString(item.Text);
  if (role == Qt::CheckStateRole)
    return item.Ticked ? Qt::Checked : Qt::Unchecked;
  return {};
}

bool TSearchListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!IsItem(index) || role != Qt::CheckStateRole)
    return false;
  FList.SetTicked(index.row(), value.toInt() == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags TSearchListModel::flags(const QModelIndex& index) const {
  if (!IsItem(index))
    return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
         Qt::ItemNeverHasChildren;
}
