#include "ulib/ui/cu_list_model.h"

#include "ulib/ui/cu_list.h"

CUListModel::CUListModel(const CUList* list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

int CUListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_->lineCount();
}

int CUListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_->ListColumnCount();
}

QVariant CUListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= list_->lineCount() ||
      index.column() >= list_->ListColumnCount()) {
    return QVariant();
  }
  return QString::fromStdString(list_->CellTextAt(index.row(), index.column()));
}

QVariant CUListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= list_->ListColumnCount()) {
    return QVariant();
  }
  if (role == Qt::DisplayRole) return QString::fromStdString(list_->HeaderText(section));
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return QVariant();
}

Qt::ItemFlags CUListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CUListModel::LineChanged(int line) {
  if (line < 0 || line >= list_->lineCount() || list_->ListColumnCount() == 0) return;
  emit dataChanged(index(line, 0), index(line, list_->ListColumnCount() - 1),
                   {Qt::DisplayRole});
}
