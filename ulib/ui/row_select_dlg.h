#pragma once
// "Row Select": switches a list's layout columns on and off. Every change goes into the layout
// at once; OK has the list rebuilt, Cancel leaves the list as it is on screen, and the changed
// flags show at its next reload and are saved with the settings.

#include <QDialog>

class CUList;
class QTreeWidget;
class QTreeWidgetItem;

class CRSDlg : public QDialog {
  Q_OBJECT

 public:
  CRSDlg(CUList* list, QWidget* parent);

  CUList* list() const { return list_; }

 private:
  void OnInitDialog();
  void OnClickList(QTreeWidgetItem* item);
  void SetAllShown(int shown, const char* mark);

  CUList* list_;
  QTreeWidget* columnList_;
};
