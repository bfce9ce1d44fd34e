#pragma once
// The in-place editor a CUList opens over one cell. It takes every key itself, so that a dialog
// around the list never acts on Enter or Escape while a cell is edited; those two go to the
// list, which stores or drops the edit. No other key leaves the editor either.

#include <QLineEdit>

class CUList;

class CCellEdit : public QLineEdit {
  Q_OBJECT

 public:
  CCellEdit(CUList* list, QWidget* parent);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CUList* list_;
};
