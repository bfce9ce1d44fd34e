#include "ulib/ui/arrow_button.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// A held arrow's pace: Qt's own for auto-repeating buttons, kept whatever Qt's defaults become.
constexpr int kFirstRepeatMs = 300;
constexpr int kRepeatMs = 100;

QStyle::PrimitiveElement GlyphOf(Qt::ArrowType arrow) {
  switch (arrow) {
    case Qt::UpArrow: return QStyle::PE_IndicatorArrowUp;
    case Qt::DownArrow: return QStyle::PE_IndicatorArrowDown;
    case Qt::LeftArrow: return QStyle::PE_IndicatorArrowLeft;
    default: return QStyle::PE_IndicatorArrowRight;
  }
}

}  // namespace

ArrowButton::ArrowButton(Qt::ArrowType arrow, QWidget* parent)
    : QAbstractButton(parent), glyph_(GlyphOf(arrow)) {
  // The pair takes the focus for its arrow keys, or none at all; a click leaves it where it is.
  setFocusPolicy(Qt::NoFocus);
  setAutoRepeat(true);
  setAutoRepeatDelay(kFirstRepeatMs);
  setAutoRepeatInterval(kRepeatMs);
  // Each beat of the repeat clicks with the arrow still down. The click of the release comes
  // with it up, and is no step: the press was one.
  connect(this, &QAbstractButton::clicked, this, [this] {
    if (isDown()) emit stepped();
  });
}

void ArrowButton::mousePressEvent(QMouseEvent* event) {
  QAbstractButton::mousePressEvent(event);
  // The press steps at once; the repeat's first beat comes only after its delay.
  if (isDown()) emit stepped();
}

void ArrowButton::LetGo() {
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), QPointF(-1, -1),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QAbstractButton::mouseReleaseEvent(&release);
}

void ArrowButton::hideEvent(QHideEvent* event) {
  LetGo();
  QAbstractButton::hideEvent(event);
}

void ArrowButton::changeEvent(QEvent* event) {
  // Disabled while held, Qt only lifts the button, leaves its repeat beating unheard and swallows
  // the release; let go first.
  if (event->type() == QEvent::EnabledChange && !isEnabled()) LetGo();
  QAbstractButton::changeEvent(event);
}

void ArrowButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton button;
  button.initFrom(this);
  button.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
  // The pair holds the focus for its arrow keys; its arrows show it as a button shows its own.
  if (parentWidget() != nullptr && parentWidget()->hasFocus()) {
    button.state |= QStyle::State_HasFocus;
  }
  painter.drawControl(QStyle::CE_PushButton, button);

  // The glyph fills the button's contents, moved as the style moves a pressed button's label.
  button.rect = style()->subElementRect(QStyle::SE_PushButtonContents, &button, this);
  if (isDown()) {
    button.rect.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &button, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &button, this));
  }
  painter.drawPrimitive(glyph_, button);
}
