#pragma once
// The item model of a CUList's view. It holds no data: its rows are the list's lines, its
// columns the shown list columns, and every cell's text is asked of the list when painted.

#include <QAbstractTableModel>

class CUList;

class CUListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  CUListModel(const CUList* list, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The list rebuilds its lines and columns between these two.
  void BeginRebuild() { beginResetModel(); }
  void EndRebuild() { endResetModel(); }
  // One line's cells changed.
  void LineChanged(int line);

 private:
  const CUList* list_;
};
