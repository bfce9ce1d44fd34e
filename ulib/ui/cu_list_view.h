#pragma once
// The widget of a CUList: a report view with single, full-row selection that hands the
// list's mouse buttons, keys and header events to the CUList.

#include <QTableView>

class CUList;

class CUListView : public QTableView {
  Q_OBJECT

 public:
  CUListView(CUList* list, QWidget* parent);

  // While an in-place edit is open the editor stays over its cell: scroll requests are dropped.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  // Typed letters do not search the lines: that would move the selection behind the parent's
  // back (and read every line of a long list).
  void keyboardSearch(const QString&) override {}

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Editing() const;

  CUList* list_;
  bool widthsChanged_ = false;  // a divider was dragged; stored when the button is released
};
