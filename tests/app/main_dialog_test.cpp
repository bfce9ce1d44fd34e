#include "app/cu_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "analysis/record_store.h"
#include "app/list_layouts.h"
#include "app/page_main.h"
#include "app/window_placement.h"
#include "groundmap/ui/page_gmap.h"
#include "params/app_params.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/window_message.h"
#include "tests/app/main_window_support.h"
#include "tests/support/hang_guard.h"
#include "ulib/messages.h"
#include "ulib/ui/cu_sheet.h"
#include "ulib/ui/list_messages.h"
#include "ulib/ui/list_placement.h"

namespace {

using apptest::AddPair;
using apptest::AddResult;
using apptest::PairMarkOf;
using apptest::ResultMarkOf;
using apptest::Sides;

class MainDialogTest : public ::testing::Test {
 protected:
  MainDialogTest() {
    SetDefaultAppParams();
    selectionState = SelectionState{};
    theRecordStore().recordCount = 0;
  }
  ~MainDialogTest() override { MainDialog = nullptr; }

  // Four pairs shown in the list: pair 0 with results 0 and 1, pair 1 with result 2, pair 2
  // with results 3 and 4, pair 3 with none. Every mark starts at 1, as pairing leaves them.
  void FillPairs() {
    for (int i = 0; i < 4; ++i) AddPair(i + 1);
    AddResult(0);
    AddResult(0);
    AddResult(1);
    AddResult(2);
    AddResult(2);
  }

  // The dialog built and shown, its pair list reloaded over the tables' rows.
  CUDlg& Open() {
    dialog = std::make_unique<CUDlg>(nullptr);
    dialog->OnInitDialog();
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), nv4test::kHangGuardMs));
    thePairList.Reload(0, 0);
    return *dialog;
  }

  void SelectLine(int line) {
    QTableView* view = thePairList.View();
    view->selectionModel()->setCurrentIndex(
        view->model()->index(line, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }

  std::vector<std::uint32_t> PairMarks() {
    std::vector<std::uint32_t> marks;
    for (int r = 0; r < pairTable->rowCount; ++r) marks.push_back(PairMarkOf(r));
    return marks;
  }
  std::vector<std::uint32_t> ResultMarks() {
    std::vector<std::uint32_t> marks;
    for (int r = 0; r < resultTable->rowCount; ++r) marks.push_back(ResultMarkOf(r));
    return marks;
  }
  bool CaptionWritten() { return scripted->windowTexts.count(dialog.get()) != 0; }

  platform::ScopedScriptedPlatform scripted;
  apptest::ScopedTables tables;
  std::unique_ptr<CUDlg> dialog;
};

TEST_F(MainDialogTest, BuildsTheListAndBothPagesAndPublishesItself) {
  FillPairs();
  CUDlg& d = Open();
  EXPECT_EQ(d.windowTitle().left(10), "NortavelV4");
  EXPECT_EQ(MainDialog, &d);
  EXPECT_EQ(thePairList.parent(), &d);
  EXPECT_EQ(thePairList.layout(), &layoutUR);
  EXPECT_EQ(thePairList.table(), pairTable);
  EXPECT_EQ(thePairList.lineCount(), 4);

  ASSERT_NE(d.sheet(0), nullptr);
  ASSERT_NE(d.sheet(1), nullptr);
  EXPECT_EQ(d.sheet(0)->count(), 1);
  EXPECT_EQ(d.sheet(0)->tabText(0), "Main");
  EXPECT_EQ(d.sheet(0)->currentWidget(), d.mainPage());
  EXPECT_EQ(d.sheet(1)->count(), 1);
  EXPECT_EQ(d.sheet(1)->tabText(0), "Ground Map");
  EXPECT_EQ(d.sheet(1)->currentWidget(), d.gmapPage());
  EXPECT_EQ(theMainPage, d.mainPage());
  EXPECT_EQ(theGmapPage, d.gmapPage());
  EXPECT_EQ(d.mainPage()->active(), 1);
  EXPECT_EQ(d.gmapPage()->active, 1);
}

// The client size that gives the window an outer size.
QSize ClientSizeFor(const CUDlg& d, QSize outer) {
  return outer.shrunkBy(d.windowHandle()->frameMargins());
}

TEST_F(MainDialogTest, PlacesTheHoldersAndThePairListForEverySize) {
  CUDlg& d = Open();
  for (QSize size : {QSize(820, 570), QSize(1300, 800), QSize(1900, 1200)}) {
    SCOPED_TRACE(size.width());
    d.resize(ClientSizeFor(d, size));
    QCoreApplication::processEvents();
    const int cx = d.width();
    const int cy = d.height();
    ASSERT_EQ(d.frameGeometry().size(), size);
    EXPECT_EQ(d.sheet(0)->geometry(), QRect(1, 1, 499, 490));
    EXPECT_EQ(d.sheet(1)->geometry(), QRect(501, 1, cx - 502, cy - 2));
    const ListRect list = PlaceRect(layoutUR, cx, cy);
    EXPECT_EQ(thePairList.View()->geometry(), QRect(list.x, list.y, list.width, list.height));
    EXPECT_EQ(list.y, 500);
    // The pages fill their holders.
    EXPECT_GT(d.mainPage()->height(), 400);
    EXPECT_GT(d.gmapPage()->width(), cx - 502 - 20);
  }
}

// The limits hold on the outer window, frame included.
TEST_F(MainDialogTest, SizeStaysWithinTheDragLimits) {
  CUDlg& d = Open();
  d.resize(500, 300);
  EXPECT_EQ(d.frameGeometry().size(), QSize(kMinDragWidth, kMinDragHeight));
  d.resize(2500, 1500);
  EXPECT_EQ(d.frameGeometry().size(), QSize(kMaxDragWidth, kMaxDragHeight));
  // Laid out for the size it was brought back to, not the one asked for.
  EXPECT_EQ(d.sheet(1)->geometry(), QRect(501, 1, d.width() - 502, d.height() - 2));
  EXPECT_LT(d.width(), 2000);
}

// Before, a drag of the left or top edge past the greatest size moved the right or bottom edge
// out instead, off the screen. The window holds the limits itself where the window manager
// does not.
TEST_F(MainDialogTest, ALeftOrTopEdgeDraggedPastTheGreatestSizeStopsThereAndTheOtherEdgeStays) {
  AP.dlgrect = {700, 500, 2300, 1300};
  CUDlg& d = Open();
  ASSERT_EQ(d.frameGeometry(), QRect(700, 500, 1600, 800));
  const QMargins frame = d.windowHandle()->frameMargins();
  // The left and top edges pulled 600 and 500 pixels out by a window manager that does not keep
  // the size hints: as if there were none.
  d.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  d.setGeometry(QRect(100, 0, 2200, 1300) - frame);
  QCoreApplication::processEvents();
  EXPECT_EQ(d.frameGeometry(), QRect(2300 - kMaxDragWidth, 1300 - kMaxDragHeight, kMaxDragWidth,
                                     kMaxDragHeight));
  EXPECT_EQ(d.sheet(1)->geometry(), QRect(501, 1, d.width() - 502, d.height() - 2));
  // The right and bottom edges pulled out: the left and top stay.
  d.setGeometry(QRect(100, 50, 900, 700) - frame);
  QCoreApplication::processEvents();
  d.resize(2500, 1500);
  QCoreApplication::processEvents();
  EXPECT_EQ(d.frameGeometry(), QRect(100, 50, kMaxDragWidth, kMaxDragHeight));
}

// The window manager keeps the drag limits while the frame is dragged only when they are size
// hints: before, a window dragged past the greatest size under a window manager that refuses
// the program's own resizing during the drag stayed larger than the limit. A maximised window
// has no greatest size, so that it fills a screen wider than 1900 pixels.
TEST_F(MainDialogTest, TheDragLimitsAreSizeHintsAndAMaximisedWindowHasNoGreatest) {
  CUDlg& d = Open();
  const QMargins frame = d.windowHandle()->frameMargins();
  EXPECT_EQ(d.minimumSize().grownBy(frame), QSize(kMinDragWidth, kMinDragHeight));
  EXPECT_EQ(d.maximumSize().grownBy(frame), QSize(kMaxDragWidth, kMaxDragHeight));
  d.showMaximized();
  QCoreApplication::processEvents();
  EXPECT_EQ(d.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
  EXPECT_EQ(d.minimumSize().grownBy(frame), QSize(kMinDragWidth, kMinDragHeight));
  d.showNormal();
  QCoreApplication::processEvents();
  EXPECT_EQ(d.maximumSize().grownBy(frame), QSize(kMaxDragWidth, kMaxDragHeight));
  EXPECT_EQ(d.frameGeometry().size(), QSize(820, 570)) << "its normal size back";
}

// Where a control of a page is cut off or covered, as text for the test's message; empty when it
// is whole: inside its page and the window's client area, clear of the others, its text no
// wider than the control shows it.
// overlaps: also look for controls that cover each other (the Main page's template lets "range"
// reach into "all" and the "TZ" label, whose texts stay clear).
std::string ClippedControls(const CUDlg& d, const QWidget* page, bool overlaps) {
  std::string faults;
  const QRect client = d.rect();
  for (const QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (control->isHidden()) continue;
    QString text;
    int room = control->width();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
      text = button->text();
      // A check box or radio button shows its text beside its indicator.
      const bool check = qobject_cast<const QCheckBox*>(control) != nullptr;
      if (check || qobject_cast<const QRadioButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(control);
        option.text = text;
        room = control->style()
                   ->subElementRect(check ? QStyle::SE_CheckBoxContents
                                          : QStyle::SE_RadioButtonContents,
                                    &option, control)
                   .width();
      } else {
        room -= 4;  // the push button's bevel
      }
    } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
      text = label->text();
    }
    // A list view reaches one pixel past its parent's left and right edges by its placement;
    // what it shows is its viewport.
    QRect place = control->geometry();
    if (const auto* view = qobject_cast<const QAbstractScrollArea*>(control)) {
      place = QRect(view->viewport()->mapTo(page, QPoint(0, 0)), view->viewport()->size());
    }
    const QRect inWindow(page->mapTo(&d, place.topLeft()), place.size());
    const std::string name = text.isEmpty() ? control->metaObject()->className()
                                            : "\"" + text.toStdString() + "\"";
    if (!page->rect().contains(place)) faults += name + " leaves its page; ";
    if (!client.contains(inWindow)) faults += name + " leaves the window; ";
    for (const QWidget* other : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (overlaps && other != control && !other->isHidden() && control < other &&
          control->geometry().intersects(other->geometry())) {
        faults += name + " overlaps a " + other->metaObject()->className() + "; ";
      }
    }
    if (!text.isEmpty() && control->fontMetrics().horizontalAdvance(text) > room) {
      faults += name + " cuts its text (needs " +
                std::to_string(control->fontMetrics().horizontalAdvance(text)) + " of " +
                std::to_string(room) + " pixels); ";
    }
  }
  return faults;
}

// Before, at the least size the Ground Map page's "save" button and its vertical pan arrows
// were cut off at the window's right edge.
TEST_F(MainDialogTest, EveryControlOfEveryPageIsWholeAtTheLeastAndTheGreatestSize) {
  FillPairs();
  CUDlg& d = Open();
  for (QSize size : {QSize(kMinDragWidth, kMinDragHeight), QSize(kMaxDragWidth, kMaxDragHeight)}) {
    SCOPED_TRACE(size.width());
    d.resize(ClientSizeFor(d, size));
    QCoreApplication::processEvents();
    ASSERT_EQ(d.frameGeometry().size(), size);
    EXPECT_EQ(ClippedControls(d, d.mainPage(), false), "");
    EXPECT_EQ(ClippedControls(d, d.gmapPage(), true), "");
    EXPECT_EQ(ClippedControls(d, &d, true), "") << "the pair list and the page holders";
  }
}

// ---- pair selection ---------------------------------------------------------------------------

TEST_F(MainDialogTest, APlainClickMarksOnlyThatPairAndSwapsTheDateRange) {
  FillPairs();
  AP.y1 = 2023, AP.m1 = 8, AP.d1 = 12, AP.y2 = 2023, AP.m2 = 8, AP.d2 = 14;
  ApplyDateRange();
  selectionState.selectedResult = 3;
  Open();
  SelectLine(1);
  dialog->OnPairSelect(false);

  EXPECT_EQ(selectionState.selectedPair, 1);
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{0, 1, 0, 0}));
  EXPECT_EQ(ResultMarks(), (std::vector<std::uint32_t>{0, 0, 1, 0, 0}));
  EXPECT_EQ(dateRange.date1.day, 14) << "the end date comes first while a pair is selected";
  EXPECT_EQ(dateRange.date2.day, 12);
  EXPECT_TRUE(CaptionWritten()) << "the status line follows every selection";
}

TEST_F(MainDialogTest, APlainClickOnTheSelectedPairLetsItGoAndKeepsEveryMark) {
  FillPairs();
  Open();
  SelectLine(2);
  dialog->OnPairSelect(false);
  ASSERT_EQ(selectionState.selectedPair, 2);
  dialog->OnPairSelect(false);  // the same line again

  EXPECT_EQ(selectionState.selectedPair, -1);
  EXPECT_EQ(thePairList.SelectedLine(), -1);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{0, 0, 1, 0}));
  EXPECT_EQ(ResultMarks(), (std::vector<std::uint32_t>{0, 0, 0, 1, 1}));
}

TEST_F(MainDialogTest, CtrlAddsAndRemovesOnePairWithoutTouchingTheOthersOrTheDates) {
  FillPairs();
  for (int r : {0, 1, 2, 3}) WriteCellUint(pairTable->CellForWrite(r, kPairMark), 0);
  WriteCellUint(pairTable->CellForWrite(2, kPairMark), 1);
  ApplyDateRange();
  const DateRange before = dateRange;
  Open();

  SelectLine(0);  // unmarked: gains its mark and becomes the selected pair
  dialog->OnPairSelect(true);
  EXPECT_EQ(selectionState.selectedPair, 0);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{1, 0, 1, 0}));
  EXPECT_EQ(ResultMarks(), (std::vector<std::uint32_t>{1, 1, 0, 1, 1}));

  SelectLine(2);  // marked: loses its mark and its selection
  dialog->OnPairSelect(true);
  EXPECT_EQ(selectionState.selectedPair, -1);
  EXPECT_EQ(thePairList.SelectedLine(), -1);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{1, 0, 0, 0}));
  EXPECT_EQ(ResultMarks(), (std::vector<std::uint32_t>{1, 1, 0, 0, 0}));

  EXPECT_EQ(dateRange.date1.year, before.date1.year);
  EXPECT_EQ(dateRange.date1.day, before.date1.day);
  EXPECT_EQ(dateRange.date2.day, before.date2.day);
}

TEST_F(MainDialogTest, WithNoLineSelectedOnlyTheSelectionIsCleared) {
  FillPairs();
  Open();
  selectionState.selectedPair = 2;
  selectionState.selectedResult = 4;
  scripted->ClearCalls();
  scripted->windowTexts.clear();
  dialog->OnPairSelect(false);
  EXPECT_EQ(selectionState.selectedPair, -1);
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{1, 1, 1, 1}));
  EXPECT_FALSE(CaptionWritten());
}

// A click's message that arrives after the list was emptied finds no line any more.
TEST_F(MainDialogTest, ASelectMessageAfterTheListWasEmptiedChangesNothing) {
  FillPairs();
  Open();
  SelectLine(3);
  platform::PostWindowMessage(dialog.get(), UM_UR_SELECT, 0, 3);
  thePairList.DeleteAllRows();
  selectionState.selectedPair = 1;
  scripted->windowTexts.clear();
  QCoreApplication::processEvents();
  EXPECT_EQ(selectionState.selectedPair, -1);
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_FALSE(CaptionWritten());
}

TEST_F(MainDialogTest, ClicksOnThePairListRunTheSelectionWithTheCtrlKey) {
  FillPairs();
  for (int r : {0, 1, 2, 3}) WriteCellUint(pairTable->CellForWrite(r, kPairMark), 0);
  Open();
  QTableView* view = thePairList.View();
  auto at = [view](int line) { return view->visualRect(view->model()->index(line, 2)).center(); };

  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at(1));
  QCoreApplication::processEvents();
  EXPECT_EQ(selectionState.selectedPair, 1);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{0, 1, 0, 0}));

  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, at(3));
  QCoreApplication::processEvents();
  EXPECT_EQ(selectionState.selectedPair, 3);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{0, 1, 0, 1}));

  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, at(1));
  QCoreApplication::processEvents();
  EXPECT_EQ(selectionState.selectedPair, -1);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{0, 0, 0, 1}));

  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at(2));
  QCoreApplication::processEvents();
  EXPECT_EQ(selectionState.selectedPair, 2);
  EXPECT_EQ(PairMarks(), (std::vector<std::uint32_t>{0, 0, 1, 0}));
}

TEST_F(MainDialogTest, ResultMarksFollowTheirPairsAndDeletedResultsAreLeftAlone) {
  FillPairs();
  resultTable->DeleteRow(1);
  WriteCellUint(pairTable->CellForWrite(0, kPairMark), 0);
  WriteCellUint(pairTable->CellForWrite(1, kPairMark), 7);  // any non-zero mark counts as set
  SyncResultMarks();
  EXPECT_EQ(ResultMarkOf(0), 0u);
  EXPECT_EQ(resultTable->RowExists(1), 0u);
  EXPECT_EQ(ResultMarkOf(2), 1u);
  EXPECT_EQ(ResultMarkOf(3), 1u);
}

// ---- closing ------------------------------------------------------------------------------

TEST_F(MainDialogTest, EscapeAndEnterLeaveTheWindowOpenAndTheCloseCommandEndsIt) {
  AP.dlgrect = {60, 40, 1000, 700};
  dialog = std::make_unique<CUDlg>(nullptr);
  bool openAfterKeys = false;
  int buttonsPushed = 0;
  QTimer::singleShot(0, [&] {
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    // A button that had the focus last must not become a default that Enter in a field pushes.
    for (QAbstractButton* button : dialog->mainPage()->findChildren<QAbstractButton*>()) {
      QObject::connect(button, &QAbstractButton::clicked, [&] { ++buttonsPushed; });
    }
    auto* read = qobject_cast<QAbstractButton*>(platform::FindItem(dialog->mainPage(), kIdReadClicks));
    auto* field = qobject_cast<QLineEdit*>(platform::FindItem(dialog->mainPage(), 2031));
    EXPECT_NE(read, nullptr);
    EXPECT_NE(field, nullptr);
    if (read && field) {
      read->setFocus();
      field->setFocus();
      QTest::keyClick(field, Qt::Key_Return);
      QTest::keyClick(field, Qt::Key_Enter);
      QTest::keyClick(field, Qt::Key_Escape);
    }
    QTest::keyClick(dialog.get(), Qt::Key_Enter);
    QCoreApplication::processEvents();
    openAfterKeys = dialog->isVisible();
    AP.dlgrect = {0, 0, 0, 0};
    AP.showcmd = 0;
    dialog->close();
  });
  dialog->DoModal();
  EXPECT_TRUE(openAfterKeys);
  EXPECT_EQ(buttonsPushed, 0);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(AP.dlgrect.left, 60) << "the close command stores the placement";
  EXPECT_EQ(AP.dlgrect.right, 1000);
  EXPECT_EQ(AP.showcmd, kShowNormal);
  EXPECT_EQ(MainDialog, nullptr) << "boxes after the close have no owner";
}

// ---- placement ----------------------------------------------------------------------------

struct PlacementCase {
  const char* what;
  ScreenRect stored;
  ScreenRect opened;
};

TEST_F(MainDialogTest, OpensWhereItWasClosedOrAtTheDefaultWhenThatCannotBeSeen) {
  const PlacementCase kCases[] = {
      {"stored", {100, 50, 1100, 750}, {100, 50, 1100, 750}},
      {"first run", {20, 10, 840, 580}, {20, 10, 840, 580}},
      {"off every screen", {6000, 5000, 7000, 5700}, kDefaultPlacement},
      {"no area", {300, 200, 300, 900}, kDefaultPlacement},
      {"upside down", {300, 900, 1200, 200}, kDefaultPlacement},
  };
  for (const PlacementCase& c : kCases) {
    SCOPED_TRACE(c.what);
    AP.dlgrect = c.stored;
    AP.showcmd = kShowNormal;
    CUDlg& d = Open();
    EXPECT_EQ(d.frameGeometry(), QRect(c.opened.left, c.opened.top, c.opened.right - c.opened.left,
                                       c.opened.bottom - c.opened.top));
    AP.dlgrect = {};
    d.close();
    EXPECT_EQ(Sides(AP.dlgrect), Sides(c.opened));
    EXPECT_EQ(AP.showcmd, kShowNormal);
    dialog.reset();
  }
}

TEST_F(MainDialogTest, ClosedMaximisedItStoresItsNormalRectangleAndComesBackMaximised) {
  AP.dlgrect = {40, 30, 900, 650};
  AP.showcmd = kShowNormal;
  Open();
  dialog->showMaximized();
  QTRY_VERIFY_WITH_TIMEOUT(dialog->isMaximized(), nv4test::kHangGuardMs);
  dialog->close();
  EXPECT_EQ(AP.showcmd, kShowMaximised);
  EXPECT_EQ(Sides(AP.dlgrect), Sides({40, 30, 900, 650}));
  dialog.reset();

  // The next run opens maximised over the same normal rectangle, and keeps both at its close.
  Open();
  EXPECT_TRUE(dialog->isMaximized());
  EXPECT_EQ(dialog->normalGeometry(), QRect(40, 30, 860, 620));
  AP = {};
  dialog->close();
  EXPECT_EQ(AP.showcmd, kShowMaximised);
  EXPECT_EQ(Sides(AP.dlgrect), Sides({40, 30, 900, 650}));
}

TEST_F(MainDialogTest, ShowCommandsOtherThanMaximisedOrMinimisedOpenNormal) {
  struct Case {
    std::int32_t showcmd;
    Qt::WindowStates state;
  };
  const Case kCases[] = {{0, Qt::WindowNoState},
                         {1, Qt::WindowNoState},
                         {2, Qt::WindowMinimized},
                         {3, Qt::WindowMaximized},
                         {9, Qt::WindowNoState}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.showcmd);
    AP.dlgrect = kDefaultPlacement;
    AP.showcmd = c.showcmd;
    dialog = std::make_unique<CUDlg>(nullptr);
    dialog->OnInitDialog();
    EXPECT_EQ(dialog->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), c.state);
    dialog.reset();
  }
}

TEST(WindowPlacementTest, StoredRectanglesThatCannotBeUsedGiveTheDefault) {
  const std::vector<ScreenRect> twoScreens = {{0, 0, 1920, 1170}, {1920, 0, 3200, 1024}};
  struct Case {
    const char* what;
    ScreenRect stored;
    bool kept;
  };
  const Case kCases[] = {
      {"on the first screen", {20, 10, 840, 580}, true},
      {"on the second screen", {2000, 100, 2900, 800}, true},
      {"partly off the right edge", {3000, 100, 3900, 800}, true},
      {"right of every screen", {3200, 100, 4100, 800}, false},
      {"above every screen", {100, -900, 900, 0}, false},
      {"in the gap below the second screen", {2000, 1030, 2900, 1160}, false},
      {"zero width", {500, 100, 500, 800}, false},
      {"negative height", {500, 800, 1300, 100}, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const ScreenRect r = RestoredPlacement(c.stored, twoScreens);
    const ScreenRect expected = c.kept ? c.stored : kDefaultPlacement;
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right, expected.right);
    EXPECT_EQ(r.bottom, expected.bottom);
  }
  // Without a screen to go by, only the area counts.
  EXPECT_EQ(RestoredPlacement({5000, 5000, 6000, 6000}, {}).left, 5000);
  EXPECT_EQ(RestoredPlacement({5000, 5000, 5000, 6000}, {}).left, kDefaultPlacement.left);
}

TEST(WindowPlacementTest, ADragIsHeldAtTheLimitsOnTheEdgeThatWasDragged) {
  const ScreenRect before = {100, 50, 1100, 750};
  struct Case {
    const char* what;
    ScreenRect proposed;
    ScreenRect held;
  };
  const Case kCases[] = {
      {"within the limits", {90, 40, 1300, 900}, {90, 40, 1300, 900}},
      {"right edge past the greatest", {100, 50, 2200, 750}, {100, 50, 2000, 750}},
      {"left edge past the greatest", {-1000, 50, 1100, 750}, {-800, 50, 1100, 750}},
      {"bottom edge past the greatest", {100, 50, 1100, 1400}, {100, 50, 1100, 1250}},
      {"top edge past the greatest", {100, -700, 1100, 750}, {100, -450, 1100, 750}},
      {"right edge below the least", {100, 50, 500, 750}, {100, 50, 920, 750}},
      {"left edge below the least", {800, 50, 1100, 750}, {280, 50, 1100, 750}},
      {"top edge below the least", {100, 600, 1100, 750}, {100, 180, 1100, 750}},
      {"top-left corner past the greatest", {-900, -600, 1100, 750}, {-800, -450, 1100, 750}},
      // Moved and sized at once (by the program, not a drag): the left and top stay.
      {"moved and too large", {0, 0, 2500, 1500}, {0, 0, 1900, 1200}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Sides(HeldDragRect(before, c.proposed)), Sides(c.held));
  }
}

TEST(WindowPlacementTest, TheOuterRectangleIsTheClientAreaAndItsFrame) {
  const FrameMargins frame = {2, 25, 3, 4};
  const ScreenRect outer = {20, 10, 840, 580};
  EXPECT_EQ(Sides(ClientRectOf(outer, frame)), Sides({22, 35, 837, 576}));
  EXPECT_EQ(Sides(OuterRectOf(ClientRectOf(outer, frame), frame)), Sides(outer));
  EXPECT_EQ(Sides(ClientRectOf(outer, FrameMargins{})), Sides(outer)) << "no frame";
  EXPECT_EQ(MinClientSize(frame), (WindowSize{kMinDragWidth - 5, kMinDragHeight - 29}));
  EXPECT_EQ(MinClientSize(FrameMargins{}), (WindowSize{kMinDragWidth, kMinDragHeight}));
  EXPECT_EQ(MinClientSize(FrameMargins{500, 300, 500, 300}), (WindowSize{0, 0}));
}

TEST(WindowPlacementTest, ShowCommandsBothWays) {
  EXPECT_EQ(ShowStateOf(3), WindowShowState::kMaximised);
  EXPECT_EQ(ShowStateOf(2), WindowShowState::kMinimised);
  for (int other : {-1, 0, 1, 4, 5, 10}) EXPECT_EQ(ShowStateOf(other), WindowShowState::kNormal);
  EXPECT_EQ(ShowCommandOf(false, false), 1);
  EXPECT_EQ(ShowCommandOf(true, false), 3);
  EXPECT_EQ(ShowCommandOf(false, true), 2);
  EXPECT_EQ(ShowCommandOf(true, true), 2) << "minimised from maximised is minimised";
}

}  // namespace
