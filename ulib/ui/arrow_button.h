#pragma once
// One arrow of a SpinArrows pair: a small button that the style draws (its push-button panel and
// its arrow indicator). It steps once when pressed and, held, again at Qt's auto-repeat pace
// until it is released. Held with the pointer off it, the arrow is drawn raised and its repeat
// waits; back on it, the repeat starts over from the first delay.

#include <QAbstractButton>
#include <QStyle>

class ArrowButton : public QAbstractButton {
  Q_OBJECT

 public:
  // arrow: the way the glyph points, Qt::UpArrow, DownArrow, LeftArrow or RightArrow.
  ArrowButton(Qt::ArrowType arrow, QWidget* parent);

 signals:
  // The press, then each beat of the repeat while the arrow is held.
  void stepped();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Ends a hold that will hear no release, as a release off the arrow would end it: no step, no
  // repeat, and the pointer coming back over the arrow with the button still down holds nothing.
  void LetGo();

  QStyle::PrimitiveElement glyph_;
};
