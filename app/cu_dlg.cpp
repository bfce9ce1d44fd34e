#include "app/cu_dlg.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <vector>

#include "analysis/result_tables.h"
#include "app/list_layouts.h"
#include "app/list_selection.h"
#include "app/page_main.h"
#include "app/window_placement.h"
#include "groundmap/ui/page_gmap.h"
#include "params/app_params.h"
#include "platform/platform.h"
#include "platform/qt/window_frame.h"
#include "platform/qt/window_message.h"
#include "ulib/table_cell.h"
#include "ulib/ui/cu_sheet.h"
#include "ulib/ui/list_messages.h"
#include "ulib/ui/main_dialog_link.h"

// Static objects are destroyed after Qt's own, also when the process ends through exit with the
// window still open (a fatal error, a lost display): the list never deletes its view itself.
CUList thePairList(CUList::ViewOwner::kWindow);

namespace {

// The holders' places in the client area, in pixels: the Main page's fixed at the top left, the
// Ground Map page's over the rest, one pixel inside the edges.
constexpr QRect kLeftHolder(1, 1, 499, 490);
constexpr int kRightHolderLeft = 501;

std::uint32_t PairMark(std::int32_t row) {
  return ReadCellUint(pairTable->LiveCell(row, kPairMark));
}

ScreenRect FromQRect(const QRect& r) {
  return ScreenRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

CUDlg::CUDlg(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setWindowTitle("NortavelV4");
  // The drag limits are size hints, which the window manager keeps while the user drags the
  // frame, the opposite edge staying where it is; they grow smaller by the frame once that is
  // known. The greatest is no hint while the window is maximised (FollowDragLimits): it would
  // stop the window short of a screen wider than 1900 pixels.
  setMinimumSize(kMinDragWidth, kMinDragHeight);
  setMaximumSize(kMaxDragWidth, kMaxDragHeight);
  frameCheck_.setSingleShot(true);
  frameCheck_.setInterval(100);
  connect(&frameCheck_, &QTimer::timeout, this, [this] {
    FollowFrame();
    if (gmapPage_) gmapPage_->RefitToFrame();
  });
}

// The pages and holders are children of the window and go with it; the pair list's view goes
// first, while the window stands.
CUDlg::~CUDlg() {
  if (thePairList.parent() == this) thePairList.Release();
}

int CUDlg::DoModal() {
  OnInitDialog();
  return exec();
}

bool CUDlg::OnInitDialog() {
  BindMainDialog(this);

  thePairList.Bind(this, &layoutUR, pairTable);
  thePairList.Place(rect());
  thePairList.Reload(0, 0);

  mainPage_ = new CPageMain;
  gmapPage_ = new CPageGmap;
  // The left holder, and with it the Main page, is made and activated before the right one.
  sheets_[0] = new CUSheet({mainPage_}, "", this, 0);
  sheets_[1] = new CUSheet({gmapPage_}, "", this, 0);

  RestorePlacement();

  sheets_[1]->SetActivePage(0);
  sheets_[0]->SetActivePage(0);
  return true;
}

void CUDlg::RestorePlacement() {
  std::vector<ScreenRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    screens.push_back(FromQRect(screen->availableGeometry()));
  }
  const ScreenRect place = RestoredPlacement(AP.dlgrect, screens);
  openedRect_ = place;
  shownNormal_ = false;
  normalOuter_ = place;
  // The frame's top left; the client area as large as the outer rectangle less the frame known
  // so far, which FollowFrame corrects when the window manager has framed the window.
  const ScreenRect client = ClientRectOf(place, normalFrame_);
  move(place.left, place.top);
  resize(client.right - client.left, client.bottom - client.top);
  switch (ShowStateOf(AP.showcmd)) {
    case WindowShowState::kMaximised:
      setWindowState(Qt::WindowMaximized);
      break;
    case WindowShowState::kMinimised:
      setWindowState(Qt::WindowMinimized);
      break;
    case WindowShowState::kNormal:
      setWindowState(Qt::WindowNoState);
      break;
  }
  FollowDragLimits();
}

void CUDlg::FollowDragLimits() {
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
    greatestHinted_ = false;
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return;
  }
  greatestHinted_ = true;
  const WindowSize greatest = MaxClientSize(normalFrame_);
  setMaximumSize(greatest.width, greatest.height);
}

void CUDlg::StorePlacement() {
  AP.showcmd = ShowCommandOf(isMaximized(), isMinimized());
  if (!shownNormal_) {
    AP.dlgrect = openedRect_;
    return;
  }
  // The outer rectangle of the normal (restored) window.
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  AP.dlgrect = OuterRectOf(FromQRect(normal), normalFrame_);
}

FrameMargins CUDlg::CurrentFrame() const {
  const QMargins frame = WindowFrameMargins(this);
  return FrameMargins{frame.left(), frame.top(), frame.right(), frame.bottom()};
}

ScreenRect CUDlg::OuterRect() const { return OuterRectOf(FromQRect(geometry()), normalFrame_); }

void CUDlg::FollowFrame() {
  if (!isVisible()) return;
  if (windowState() & Qt::WindowMaximized) maximisedGeometry_ = geometry();
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return;
  shownNormal_ = true;
  // Restored, the window is normal before the window manager has given it back its normal size:
  // the maximised size is no drag to hold.
  if (geometry().size() == maximisedGeometry_.size()) return;
  // Only now: the hint set on a window still at its maximised size would shrink it to the limit.
  if (!greatestHinted_) FollowDragLimits();
  // The window manager may draw a maximised window without its border, so the frame kept is the
  // one of the normal window.
  const FrameMargins frame = CurrentFrame();
  if (!(frame == normalFrame_)) {
    // A frame that arrives or changes keeps the outer size: the client area gives way.
    const ScreenRect outer = OuterRect();
    normalFrame_ = frame;
    const WindowSize least = MinClientSize(frame);
    setMinimumSize(least.width, least.height);
    FollowDragLimits();
    const ScreenRect client = ClientRectOf(outer, frame);
    resize(client.right - client.left, client.bottom - client.top);
  }
  const ScreenRect proposed = OuterRect();
  const ScreenRect held = HeldDragRect(normalOuter_, proposed);
  normalOuter_ = held;
  // Laid out at the size it has now, and again when the held size arrives.
  if (held == proposed) return;
  // The frame's corner, as a window is placed (move), and the client area's size.
  const ScreenRect client = ClientRectOf(held, frame);
  resize(client.right - client.left, client.bottom - client.top);
  move(held.left, held.top);
}

void CUDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FollowFrame();
}

void CUDlg::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  FollowFrame();
  frameCheck_.start();
}

void CUDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  frameCheck_.start();
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
    // Maximised, the window fills the screen; it gets its greatest drag size back when its
    // normal size has arrived (FollowFrame).
    FollowDragLimits();
  } else if (isVisible()) {
    // Only noted: a window manager may tell the new state before the new size, so the frame
    // and limits are followed when the size arrives.
    shownNormal_ = true;
  }
}

void CUDlg::reject() {}

void CUDlg::closeEvent(QCloseEvent* event) {
  StorePlacement();
  done(QDialog::Rejected);
  event->accept();
}

void CUDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CUDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FollowFrame();
  frameCheck_.start();
  const int cx = width();
  const int cy = height();
  if (thePairList.View() && thePairList.parent() == this) thePairList.Place(QRect(0, 0, cx, cy));
  if (sheets_[0]) {
    sheets_[0]->setGeometry(kLeftHolder);
    sheets_[0]->FitToClient();
  }
  if (sheets_[1]) {
    sheets_[1]->setGeometry(kRightHolderLeft, 1, cx - 502, cy - 2);
    sheets_[1]->FitToClient();
  }
}

void CUDlg::customEvent(QEvent* event) {
  if (event->type() != platform::WindowMessageEvent::EventType()) {
    QDialog::customEvent(event);
    return;
  }
  const auto* message = static_cast<platform::WindowMessageEvent*>(event);
  // The list has moved its selection before its message arrives; the handler reads it.
  if (message->message() == UM_UR_SELECT) {
    OnPairSelect(CtrlKeyDown());
  }
}

void CUDlg::OnPairSelect(bool ctrl) {
  const std::int32_t line = thePairList.SelectedLine();
  if (line < 0 || line >= thePairList.lineCount()) {
    selectionState.selectedPair = -1;
    selectionState.selectedResult = -1;
    return;
  }
  platform::WaitCursor wait;
  const std::int32_t row = thePairList.RowOfLine(line);
  if (ctrl) {
    // Ctrl adds or removes one pair; the other marks and the date range stay.
    if (PairMark(row) == 0) {
      SetPairMark(row, 1);
      selectionState.selectedPair = row;
    } else {
      SetPairMark(row, 0);
      thePairList.DeselectLine(line);
      selectionState.selectedPair = -1;
    }
  } else if (row == selectionState.selectedPair) {
    // A second click on the selected pair lets it go; its mark stays.
    thePairList.DeselectLine(line);
    selectionState.selectedPair = -1;
  } else {
    // A plain click makes this pair the only marked one among those shown.
    ClearListedMarks(thePairList, kPairMark);
    ApplyDateRangeSwapped();
    SetPairMark(row, 1);
    selectionState.selectedPair = row;
  }
  selectionState.selectedResult = -1;
  RedrawMapAndStatus();
}

void SetPairMark(std::int32_t row, std::uint32_t value) {
  WriteCellUint(pairTable->CellForWrite(row, kPairMark), value);
  thePairList.RedrawLine(ReadCellInt(pairTable->LiveCell(row, kPairDline)));
  SyncResultMarks();
}

void SyncResultMarks() {
  if (resultTable && pairTable) {
    for (std::int32_t r = 0; r < resultTable->rowCount; ++r) {
      if (resultTable->RowExists(r) == 0) continue;
      const std::int32_t pair = ReadCellInt(resultTable->LiveCell(r, kResultRline));
      WriteCellUint(resultTable->CellForWrite(r, kResultMark), PairMark(pair) != 0 ? 1u : 0u);
    }
  }
  if (theMainPage) theMainPage->resultList().Reload(0, 0);
}
