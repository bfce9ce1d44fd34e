#pragma once
// A pair of small arrow buttons, one above the other (vertical) or side by side (horizontal),
// with no value of their own: each click, and each arrow key while the pair has the focus,
// tells the listener which arrow it was. An arrow held down with the mouse repeats, after a
// first delay, at a steady pace until it is released. Numeric fields use the vertical pair as their spin, the
// map page two pairs as its pan controls.

#include <QTimer>
#include <QWidget>

class SpinArrows : public QWidget {
  Q_OBJECT

 public:
  SpinArrows(Qt::Orientation orientation, QWidget* parent);
  Qt::Orientation orientation() const { return orientation_; }

  // Clicks the arrow as a user would: direction 0 the up (or right) arrow, 1 the down (or left).
  void Click(int direction);

 signals:
  // 0: the up arrow of a vertical pair, the right arrow of a horizontal one; 1: the other arrow.
  void arrowClicked(int direction);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The half of the widget that belongs to an arrow (0 up or right, 1 down or left).
  QRect ArrowRect(int direction) const;
  // The arrow under a point of the widget, or -1 outside it.
  int ArrowAt(const QPoint& at) const;
  // The held arrow steps again, while the pointer is still on it.
  void Repeat();
  void StopHolding();

  Qt::Orientation orientation_;
  int pressed_ = -1;  // the arrow held down by the mouse, drawn sunken; -1 none
  bool onPressed_ = false;  // the pointer is on the held arrow; off it the arrow waits
  QTimer repeat_;
};
