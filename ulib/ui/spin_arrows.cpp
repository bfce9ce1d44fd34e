#include "ulib/ui/spin_arrows.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace {

constexpr int kNoArrow = -1;
// A held arrow's pace, as Qt's own auto-repeating buttons have it.
constexpr int kFirstRepeatMs = 300;
constexpr int kRepeatMs = 100;

}  // namespace

SpinArrows::SpinArrows(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  // Reachable by Tab for the arrow keys, but a click leaves the focus where the user typed.
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(&repeat_, &QTimer::timeout, this, &SpinArrows::Repeat);
}

void SpinArrows::Click(int direction) { emit arrowClicked(direction); }

QRect SpinArrows::ArrowRect(int direction) const {
  const int w = width();
  const int h = height();
  if (orientation_ == Qt::Vertical) {
    const int split = h / 2;
    return direction == 0 ? QRect(0, 0, w, split) : QRect(0, split, w, h - split);
  }
  const int split = w / 2;
  return direction == 0 ? QRect(split, 0, w - split, h) : QRect(0, 0, split, h);
}

int SpinArrows::ArrowAt(const QPoint& at) const {
  if (!rect().contains(at)) return kNoArrow;
  return ArrowRect(0).contains(at) ? 0 : 1;
}

void SpinArrows::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  const bool enabled = isEnabled();
  painter.fillRect(rect(), pal.color(QPalette::Button));

  for (int direction = 0; direction < 2; ++direction) {
    const QRect r = ArrowRect(direction);
    const bool down = pressed_ == direction && onPressed_;
    // Each arrow is a small raised button, sunken while it is held.
    const QRect inner = r.adjusted(1, 1, -1, -1);
    if (down) painter.fillRect(inner, pal.color(QPalette::Mid));
    painter.setPen(down ? pal.color(QPalette::Dark) : pal.color(QPalette::Light));
    painter.drawLine(inner.topLeft(), inner.topRight());
    painter.drawLine(inner.topLeft(), inner.bottomLeft());
    painter.setPen(down ? pal.color(QPalette::Light) : pal.color(QPalette::Mid));
    painter.drawLine(inner.bottomLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomRight());

    // The glyph: a filled triangle as large as the half allows, at least 5 px across.
    const QPointF c = QRectF(inner).center() + (down ? QPointF(0.5, 0.5) : QPointF(0, 0));
    const bool vertical = orientation_ == Qt::Vertical;
    const double across = vertical ? inner.width() : inner.height();
    const double along = vertical ? inner.height() : inner.width();
    const double half = std::max(2.5, std::min(across * 0.3, along * 0.55));
    const double depth = half;  // a right-angled tip reads best at small sizes
    QPainterPath path;
    if (vertical) {
      const double sign = direction == 0 ? -1 : 1;  // up arrow points to smaller y
      path.moveTo(c.x() - half, c.y() - sign * depth / 2);
      path.lineTo(c.x() + half, c.y() - sign * depth / 2);
      path.lineTo(c.x(), c.y() + sign * depth / 2);
    } else {
      const double sign = direction == 0 ? 1 : -1;  // right arrow points to larger x
      path.moveTo(c.x() - sign * depth / 2, c.y() - half);
      path.lineTo(c.x() - sign * depth / 2, c.y() + half);
      path.lineTo(c.x() + sign * depth / 2, c.y());
    }
    path.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(path, enabled ? pal.color(QPalette::ButtonText)
                                   : pal.color(QPalette::Disabled, QPalette::ButtonText));
    painter.setRenderHint(QPainter::Antialiasing, false);
  }

  // The frame around the pair and the line between the arrows.
  painter.setPen(pal.color(QPalette::Shadow));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(pal.color(QPalette::Dark));
  if (orientation_ == Qt::Vertical) {
    const int y = ArrowRect(1).top();
    painter.drawLine(1, y, width() - 2, y);
  } else {
    const int x = ArrowRect(0).left();
    painter.drawLine(x, 1, x, height() - 2);
  }
  if (hasFocus()) {
    painter.setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

void SpinArrows::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  const int direction = ArrowAt(event->position().toPoint());
  if (direction == kNoArrow) return;
  event->accept();
  pressed_ = direction;
  onPressed_ = true;
  update();
  repeat_.start(kFirstRepeatMs);
  emit arrowClicked(direction);
}

void SpinArrows::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_ == kNoArrow) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const bool on = ArrowAt(event->position().toPoint()) == pressed_;
  if (on != onPressed_) {
    onPressed_ = on;
    update();
  }
}

void SpinArrows::mouseReleaseEvent(QMouseEvent* event) {
  StopHolding();
  QWidget::mouseReleaseEvent(event);
}

void SpinArrows::Repeat() {
  if (pressed_ == kNoArrow) {
    repeat_.stop();
    return;
  }
  if (repeat_.interval() != kRepeatMs) repeat_.start(kRepeatMs);
  if (onPressed_) emit arrowClicked(pressed_);
}

void SpinArrows::StopHolding() {
  repeat_.stop();
  if (pressed_ != kNoArrow) {
    pressed_ = kNoArrow;
    update();
  }
}

void SpinArrows::hideEvent(QHideEvent* event) {
  // A hidden pair hears no release.
  StopHolding();
  QWidget::hideEvent(event);
}

void SpinArrows::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) StopHolding();
  QWidget::changeEvent(event);
}

void SpinArrows::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
      emit arrowClicked(0);
      return;
    case Qt::Key_Down:
    case Qt::Key_Left:
      emit arrowClicked(1);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}
