#include "app/credit_dlg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"

namespace {

struct CreditItem {
  int id;
  int x, y, width, height;  // dialog units
  const char* text;
};

constexpr CreditItem kCreditItems[] = {
    {kCreditVersionItem, 74, 10, 82, 12, "NortavelV4"},
    {kCreditGroundMapItem, 16, 38, 208, 8, "Ground Map :"},
    {kCreditStarMapItem, 16, 50, 208, 8, "Star Map : "},
    {kCreditLineItem, 64, 84, 108, 8, kCreditLine},
};

constexpr int kCreditWidthDu = 242;
constexpr int kCreditHeightDu = 94;
constexpr int kCreditMarginDu = 8;

// A freshly shown window may need a few event rounds before the window system lets it paint.
constexpr int kExposeWaitMs = 300;

}  // namespace

CCreditDlg::CCreditDlg(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("CCreditDlg");
  const QRect size = platform::DialogUnitsToPixels(0, 0, kCreditWidthDu, kCreditHeightDu);
  setFixedSize(size.size());
  const int margin = platform::DialogUnitsToPixels(0, 0, kCreditMarginDu, 0).width();
  for (const CreditItem& item : kCreditItems) {
    auto* label = new QLabel(QString::fromLatin1(item.text), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QRect place = platform::DialogUnitsToPixels(item.x, item.y, item.width, item.height);
    // A text longer than its template place runs on to the window's edge instead of being cut.
    const int room = width() - place.x() - margin;
    place.setWidth(std::max(place.width(), std::min(room, label->sizeHint().width())));
    place.setHeight(std::max(place.height(), label->sizeHint().height()));
    label->setGeometry(place);
    platform::SetItemId(label, item.id);
  }
  show();
  PaintNow();
}

void CCreditDlg::PaintNow() {
  // At least one round, however long a busy machine took to get here: the window system's
  // expose may already be queued.
  QElapsedTimer waited;
  waited.start();
  do {
    if (!windowHandle() || windowHandle()->isExposed()) break;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  } while (waited.elapsed() < kExposeWaitMs);
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CCreditDlg::OnCancel() {
  hide();
  delete this;
}

void CCreditDlg::reject() {}

void CCreditDlg::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // Without a window frame the splash draws its own edge.
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
