#pragma once
// A pair of small arrow buttons, one above the other (vertical) or side by side (horizontal),
// with no value of their own: each click, and each arrow key while the pair has the focus,
// tells the listener which arrow it was. An arrow held down with the mouse repeats, after a
// first delay, at a steady pace until it is released (ArrowButton). Numeric fields use the
// vertical pair as their spin, the map page two pairs as its pan controls.

#include <QWidget>

class ArrowButton;

// Which arrow of a pair. The values are the positions a spin reports to its page: 0 up, 1 down.
enum class ArrowDirection {
  kUpOrRight = 0,   // the up arrow of a vertical pair, the right arrow of a horizontal one
  kDownOrLeft = 1,  // the other arrow
};

class SpinArrows : public QWidget {
  Q_OBJECT

 public:
  SpinArrows(Qt::Orientation orientation, QWidget* parent);
  Qt::Orientation orientation() const { return orientation_; }

  // Clicks the arrow as a user would.
  void Click(ArrowDirection direction);

 signals:
  void arrowClicked(ArrowDirection direction);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Qt::Orientation orientation_;
  ArrowButton* upOrRight_;
  ArrowButton* downOrLeft_;
};
