#include "app/chang_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include "analysis/result_tables.h"
#include "app/chang_records.h"
#include "app/click_table.h"
#include "app/list_layouts.h"
#include "groundmap/ui/page_gmap.h"
#include "params/app_params.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/window_message.h"
#include "ulib/messages.h"
#include "ulib/table_cell.h"
#include "ulib/ui/list_messages.h"

namespace {

// The window in dialog units.
constexpr int kWidthDu = 209;
constexpr int kHeightDu = 265;
// Where the dialog opens, relative to where it would open on its own.
constexpr int kOpenShiftX = 10;

QWidget* AddStatic(QWidget* window, int itemId, int x, int y, int width, int height) {
  auto* label = new QLabel("---", window);
  label->setObjectName(QString("static%1").arg(itemId));
  label->setGeometry(platform::DialogUnitsToPixels(x, y, width, height));
  platform::SetItemId(label, itemId);
  return label;
}

QPushButton* AddButton(QWidget* window, int itemId, const char* text, int x, int y) {
  auto* button = new QPushButton(text, window);
  button->setGeometry(platform::DialogUnitsToPixels(x, y, 36, 14));
  platform::SetItemId(button, itemId);
  return button;
}

void RedrawMap() {
  if (theGmapPage) theGmapPage->Redraw();
}

}  // namespace

CChangDlg::CChangDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("CChangDlg");
  setWindowTitle("Change Pos");
}

// The tables must never keep this opening's rows, however the dialog went away.
CChangDlg::~CChangDlg() { CloseOut(); }

int CChangDlg::DoModal() {
  // Modal over the main window: while the dialog is open nothing there can read or pair.
  if (!parentWidget() && MainDialog) {
    setParent(static_cast<QWidget*>(MainDialog), windowFlags() | Qt::Dialog);
  }
  OnInitDialog();
  const int result = exec();
  // A dialog hidden by other means than closing ends the loop too.
  CloseOut();
  return result;
}

void CChangDlg::BuildWindow() {
  resize(platform::DialogUnitsToPixels(0, 0, kWidthDu, kHeightDu).size());
  // OK comes first, so it has the focus and Enter presses it.
  QPushButton* ok = AddButton(this, 1, "OK", 131, 1);
  ok->setObjectName("ok");
  ok->setDefault(true);
  QPushButton* cancel = AddButton(this, 2, "Cancel", 170, 1);
  cancel->setObjectName("cancel");
  connect(ok, &QPushButton::clicked, this, &CChangDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CChangDlg::reject);
  AddStatic(this, kChangPairItem, 1, 6, 121, 8);
  AddStatic(this, kChangId1Item, 1, 20, 81, 8);
  AddStatic(this, kChangId2Item, 109, 20, 68, 8);
}

bool CChangDlg::OnInitDialog() {
  BuildWindow();

  // 10 pixels right of where it opens, the size kept: Qt places a dialog as it shows it, once
  // the window frame is known, so the move waits for that.
  shiftWhenShown_ = true;

  const ChangTarget target = ReadChangTarget(selectionState.selectedResult);
  pairRow_ = target.pairRow;
  record1_ = target.record1;
  record2_ = target.record2;
  click1_ = target.click1;
  click2_ = target.click2;

  // An empty string cell shows as nothing between the blanks.
  QWidget* window = this;
  SetDlgItemTextF(window, kChangPairItem, "#%d  %s",
                  ReadCellInt(pairTable->LiveCell(pairRow_, kPairNumber)),
                  pairTable->GetStringOrEmpty(pairRow_, kPairLocaltime));
  SetDlgItemTextF(window, kChangId1Item, "ID1= %s %s",
                  pairTable->GetStringOrEmpty(pairRow_, kPairId1),
                  pairTable->GetStringOrEmpty(pairRow_, kPairS1));
  SetDlgItemTextF(window, kChangId2Item, "ID2= %s %s",
                  pairTable->GetStringOrEmpty(pairRow_, kPairId2),
                  pairTable->GetStringOrEmpty(pairRow_, kPairS2));

  FillClickTable(*record1_, clickTable1);
  FillClickTable(*record2_, clickTable2);
  open_ = true;

  clickList1_.Bind(this, &layoutC1, clickTable1);
  clickList1_.PlaceScaled(rect());
  clickList1_.Reload(0, 0);
  clickList1_.SelectRow(click1_);
  clickList2_.Bind(this, &layoutC2, clickTable2);
  clickList2_.PlaceScaled(rect());
  clickList2_.Reload(0, 0);
  clickList2_.SelectRow(click2_);

  selectionState.pairView = 1;
  selectionState.highlight1 = click1_;
  selectionState.highlight2 = click2_;
  RedrawMap();
  return true;
}

void CChangDlg::accept() {
  if (open_) {
    // A number typed but not yet confirmed with Enter counts: the edit is stored before the
    // tables are read.
    clickList1_.EndCellEdit();
    clickList2_.EndCellEdit();
    CopyPositionsBack(*clickTable1, record1_);
    CopyPositionsBack(*clickTable2, record2_);
  }
  QDialog::accept();
}

void CChangDlg::done(int result) {
  CloseOut();
  QDialog::done(result);
}

void CChangDlg::CloseOut() {
  if (!open_) return;
  open_ = false;
  clickList1_.DeleteAllRows();
  clickList2_.DeleteAllRows();
  selectionState.pairView = 0;
}

void CChangDlg::customEvent(QEvent* event) {
  if (event->type() != platform::WindowMessageEvent::EventType()) {
    QDialog::customEvent(event);
    return;
  }
  const auto* message = static_cast<platform::WindowMessageEvent*>(event);
  if (message->message() == UM_C1_SELECT) {
    FollowSelection(clickList1_, &selectionState.highlight1);
  } else if (message->message() == UM_C2_SELECT) {
    FollowSelection(clickList2_, &selectionState.highlight2);
  }
  // The right-click messages mean nothing here.
}

// Up and Down post the line selected before the key moved it; by the time the message arrives
// the selection has moved, so the list's selection is the line the user now sees selected.
void CChangDlg::FollowSelection(CUList& list, std::int32_t* highlight) {
  const std::int32_t line = list.SelectedLine();
  if (line < 0 || line >= list.lineCount()) return;
  *highlight = list.RowOfLine(line);
  RedrawMap();
}

void CChangDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!shiftWhenShown_) return;
  shiftWhenShown_ = false;
  move(pos() + QPoint(kOpenShiftX, 0));
}

void CChangDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const QRect client(QPoint(0, 0), event->size());
  if (clickList1_.View()) clickList1_.PlaceScaled(client);
  if (clickList2_.View()) clickList2_.PlaceScaled(client);
}
