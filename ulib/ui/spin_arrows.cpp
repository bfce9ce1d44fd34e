#include "ulib/ui/spin_arrows.h"

#include <QKeyEvent>

#include "ulib/ui/arrow_button.h"

SpinArrows::SpinArrows(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  // Reachable by Tab for the arrow keys, but a click leaves the focus where the user typed.
  setFocusPolicy(Qt::TabFocus);
  const bool vertical = orientation == Qt::Vertical;
  upOrRight_ = new ArrowButton(vertical ? Qt::UpArrow : Qt::RightArrow, this);
  downOrLeft_ = new ArrowButton(vertical ? Qt::DownArrow : Qt::LeftArrow, this);
  connect(upOrRight_, &ArrowButton::stepped, this,
          [this] { emit arrowClicked(ArrowDirection::kUpOrRight); });
  connect(downOrLeft_, &ArrowButton::stepped, this,
          [this] { emit arrowClicked(ArrowDirection::kDownOrLeft); });
}

void SpinArrows::Click(ArrowDirection direction) { emit arrowClicked(direction); }

void SpinArrows::resizeEvent(QResizeEvent* event) {
  // Each arrow takes half of the pair; an odd pixel goes to the lower or the right one.
  const int w = width();
  const int h = height();
  if (orientation_ == Qt::Vertical) {
    const int split = h / 2;
    upOrRight_->setGeometry(0, 0, w, split);
    downOrLeft_->setGeometry(0, split, w, h - split);
  } else {
    const int split = w / 2;
    downOrLeft_->setGeometry(0, 0, split, h);
    upOrRight_->setGeometry(split, 0, w - split, h);
  }
  QWidget::resizeEvent(event);
}

void SpinArrows::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
      emit arrowClicked(ArrowDirection::kUpOrRight);
      return;
    case Qt::Key_Down:
    case Qt::Key_Left:
      emit arrowClicked(ArrowDirection::kDownOrLeft);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}
