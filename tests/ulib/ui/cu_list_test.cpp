#include "ulib/ui/cu_list.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QScrollBar>

#include "tests/ulib/ui/list_widget_fixture.h"
#include "ulib/ui/edit_line_dlg.h"
#include "ulib/ui/grid_scale.h"

namespace {

using namespace listtest;

using CUListReloadTest = ListWidgetTest;

TEST_F(CUListReloadTest, EmptyTableHasNoLines) {
  Show();
  EXPECT_EQ(list.lineCount(), 0);
  EXPECT_EQ(View()->model()->rowCount(), 0);
  EXPECT_EQ(View()->model()->columnCount(), 7);
  EXPECT_EQ(list.CellTextAt(0, 0), "");
  EXPECT_EQ(list.CellTextAt(-1, 0), "");
  EXPECT_EQ(list.controlId() + 1, [&] {
    CUList other;
    other.Bind(&parent, &layout, &table);
    return other.controlId();
  }()) << "each Bind draws the next control id";
}

TEST_F(CUListReloadTest, HeaderNamesAndWidthsComeFromTheLayout) {
  layout.columns[2].width = 123;
  Show();
  QHeaderView* header = View()->horizontalHeader();
  ASSERT_EQ(header->count(), 7);
  EXPECT_EQ(View()->model()->headerData(0, Qt::Horizontal).toString(), "num");
  EXPECT_EQ(View()->model()->headerData(2, Qt::Horizontal).toString(), "name");
  EXPECT_EQ(header->sectionSize(2), 123);
  EXPECT_EQ(header->sectionSize(0), 60);
  EXPECT_EQ(layout.columns[2].width, 123) << "a reload does not write widths back";
}

TEST_F(CUListReloadTest, DeadRowsGetNoLineAndKeepTheirLineCell) {
  AddRows(9);  // three blocks of four rows
  for (int r = 0; r < 9; ++r) WriteCellInt(table.CellForWrite(r, kDline), 99);
  table.DeleteRow(1);
  table.DeleteRow(6);
  Show();
  ASSERT_EQ(list.lineCount(), 7);
  const int kRows[] = {0, 2, 3, 4, 5, 7, 8};
  for (int line = 0; line < 7; ++line) {
    EXPECT_EQ(list.RowOfLine(line), kRows[line]);
    EXPECT_EQ(ReadCellInt(table.LiveCell(kRows[line], kDline)), line);
    EXPECT_EQ(Shown(line, 0), QString::number(100 + kRows[line]));
  }
  EXPECT_EQ(ReadCellInt(table.CellForWrite(1, kDline)), 99);
  EXPECT_EQ(ReadCellInt(table.CellForWrite(6, kDline)), 99);
}

TEST_F(CUListReloadTest, FilterLeavesOutMatchingRows) {
  for (int v : {7, 3, 7, 5}) AddRow(table, v);
  Show();
  list.Reload(kNum, 7);
  EXPECT_EQ(list.lineCount(), 2);
  EXPECT_EQ(list.RowOfLine(0), 1);
  EXPECT_EQ(list.RowOfLine(1), 3);
  EXPECT_EQ(list.filterColumn(), kNum);
  list.Reload(0, 7);
  EXPECT_EQ(list.lineCount(), 4) << "filter column 0 lists every live row";
}

TEST_F(CUListReloadTest, EveryColumnHiddenStillListsColumnZero) {
  AddRows(2);
  for (int i = 0; i < layout.columnCount; ++i) layout.columns[i].shown = 0;
  layout.columns[0].width = 77;
  Show();
  ASSERT_EQ(View()->model()->columnCount(), 1);
  EXPECT_EQ(View()->model()->headerData(0, Qt::Horizontal).toString(), "num");
  EXPECT_EQ(View()->horizontalHeader()->sectionSize(0), 77);
  EXPECT_EQ(layout.columns[0].shown, 0);
  EXPECT_EQ(layout.columns[0].subitem, 0);
  EXPECT_EQ(Shown(1, 0), "101");
}

TEST_F(CUListReloadTest, ShownColumnsMapBothWays) {
  layout.columns[1].shown = 0;
  layout.columns[4].shown = 0;
  Show();
  const int kSubitem[] = {0, -1, 1, 2, -1, 3, 4};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(layout.columns[i].subitem, kSubitem[i]) << i;
  const int kLayoutColumnAt[] = {0, 2, 3, 5, 6};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(layout.columns[k].layoutColumnAt, kLayoutColumnAt[k]) << k;
}

TEST_F(CUListReloadTest, CellsShowTheirTypeAndFormat) {
  const int row = AddRow(table, -12, 2.5f, "Ondrejov");
  WriteCellUint(table.CellForWrite(row, kMark), 9);
  WriteCellUint(table.CellForWrite(row, kChk), 5);
  WriteCellDouble(table.CellForWrite(row, kDouble), 1e300);
  table.SetString(row, kTag, "AB");
  Show();
  EXPECT_EQ(Shown(0, 0), "-12");
  EXPECT_EQ(Shown(0, 1), "2.50");
  EXPECT_EQ(Shown(0, 2), "Ondrejov");
  EXPECT_EQ(Shown(0, 3), "") << "a mark of 9 has no text";
  EXPECT_EQ(Shown(0, 4), "*") << "a check of 5 is set";
  EXPECT_EQ(Shown(0, 5).size(), 255) << "1e300 cut at the cell buffer";
  EXPECT_EQ(Shown(0, 6), "AB");
  EXPECT_EQ(Shown(1, 0), "") << "past the lines";
}

// A listed row deleted without a reload showed the text left over from the cell painted before.
TEST_F(CUListReloadTest, ADeadListedRowShowsEmptyCells) {
  AddRows(3);
  Show();
  table.DeleteRow(1);
  list.RedrawLine(1);
  for (int c = 0; c < 7; ++c) EXPECT_EQ(Shown(1, c), "") << c;
  EXPECT_EQ(Shown(2, 0), "102");
}

TEST_F(CUListReloadTest, RowOfLineBeyondEveryBlockEndsTheProgram) {
  AddRows(2);
  Show();
  EXPECT_EXIT(list.RowOfLine(4), ::testing::ExitedWithCode(247), "CUTABLE invalid access");
}

TEST_F(CUListReloadTest, SelectRowAndRedrawLine) {
  AddRows(60);
  table.DeleteRow(3);
  Show();
  EXPECT_EQ(list.SelectRow(50), 49);
  EXPECT_EQ(list.SelectedLine(), 49);
  const QRect visible = Viewport()->rect();
  EXPECT_TRUE(visible.contains(View()->visualRect(View()->model()->index(49, 0))))
      << "scrolled into view";
  View()->verticalScrollBar()->setValue(0);
  EXPECT_EQ(list.SelectRow(50), 49);
  EXPECT_EQ(View()->verticalScrollBar()->value(), 0) << "the selected row is not scrolled to";
  EXPECT_EQ(list.SelectRow(3), -1) << "a dead row has no line";
  EXPECT_EQ(list.SelectedLine(), -1);

  WriteCellInt(table.LiveCell(0, kNum), 555);
  list.RedrawLine(-1);  // no selection: line 0
  EXPECT_EQ(Shown(0, 0), "555");
}

TEST_F(CUListReloadTest, PlacementInPixelsAndGridUnits) {
  layout.top = 20;
  layout.bottom = -10;
  layout.left = 5;
  layout.right = 300;
  Show();
  EXPECT_EQ(View()->geometry(), QRect(5, 20, 295, 370));
  list.Place(QRect(0, 0, 100, 20));
  EXPECT_EQ(View()->geometry().size(), QSize(295, 0)) << "a small parent clamps to 0";
  layout.top = 10;
  layout.bottom = 110;
  layout.left = 20;
  layout.right = 220;
  list.PlaceScaled(parent.rect());
  EXPECT_EQ(View()->geometry(), QRect(29, 22, 281, 206));
  gridScaleX = 2.0;
  list.PlaceScaled(parent.rect());
  EXPECT_EQ(View()->geometry().width(), 401);
  gridScaleX = 1.4;
}

TEST_F(CUListReloadTest, DeleteAllRowsEmptiesTheWholeTable) {
  AddRows(7);
  Show();
  list.Reload(kNum, 103);  // one row filtered out
  ASSERT_EQ(list.lineCount(), 6);
  list.DeleteAllRows();
  EXPECT_EQ(list.lineCount(), 0);
  EXPECT_EQ(table.rowCount, 0) << "the filtered row goes too";
  EXPECT_EQ(list.filterColumn(), 0);
  EXPECT_EQ(View()->model()->rowCount(), 0);
  EXPECT_EQ(AddRow(table, 1), 0);
}

TEST_F(CUListReloadTest, ReloadShowsTheWaitCursor) {
  Show();
  const int before = scripted->waitCursorsShown;
  list.Reload(0, 0);
  EXPECT_EQ(scripted->waitCursorsShown, before + 1);
  EXPECT_EQ(scripted->waitDepth, 0);
}

// The owner of a list's window lets go of the view while the window stands; a list that
// outlives its windows may also see its window, and the view with it, go first.
TEST_F(CUListReloadTest, ReleaseDeletesTheViewWhileItsWindowStands) {
  AddRows(3);
  Show();
  QPointer<QTableView> view = View();
  list.Release();
  EXPECT_TRUE(view.isNull()) << "deleted while the window stands";
  EXPECT_EQ(list.View(), nullptr);
  EXPECT_EQ(list.parent(), nullptr);
  EXPECT_EQ(list.table(), nullptr);
  EXPECT_EQ(list.lineCount(), 0);
  list.Reload(0, 0);  // bound to nothing: nothing happens
  list.DeleteAllRows();
  EXPECT_EQ(table.rowCount, 3);
  Show();
  EXPECT_EQ(list.lineCount(), 3) << "bound again";

  QPointer<QTableView> kept;
  {
    CUList outliving(CUList::ViewOwner::kWindow);
    outliving.Bind(&parent, &layout, &table);
    kept = outliving.View();
    outliving.Release();
    EXPECT_TRUE(kept.isNull());
    outliving.Bind(&parent, &layout, &table);
    kept = outliving.View();
    // The window goes first: the list sees its view gone.
    kept->setParent(nullptr);
    delete kept.data();
    EXPECT_EQ(outliving.View(), nullptr);
  }
  EXPECT_EQ(View()->parentWidget(), &parent) << "the other list's view is untouched";
}

// --- messages ------------------------------------------------------------------------------

using CUListMessageTest = ListWidgetTest;

TEST_F(CUListMessageTest, ClickPostsAfterTheSelectionMoved) {
  AddRows(5);
  Show();
  Click(CellCenter(2, 1));
  std::vector<Message> got = recorder.Take();
  ASSERT_EQ(got, (std::vector<Message>{Msg(kSelectMsg, 1, 2)}));
  EXPECT_EQ(got[0].selectedLineOnArrival, 2);

  Click(BelowLastLine());
  EXPECT_TRUE(recorder.Take().empty()) << "below the last line: nothing";
  EXPECT_EQ(list.SelectedLine(), 2) << "and the selection stays";

  layout.selectMsg = 0;
  Click(CellCenter(3, 0));
  EXPECT_TRUE(recorder.Take().empty());
  EXPECT_EQ(list.SelectedLine(), 3) << "without a message the click still selects";
}

TEST_F(CUListMessageTest, UpAndDownCarryTheLineBeforeTheMove) {
  AddRows(4);
  Show();
  Key(Qt::Key_Down);
  EXPECT_TRUE(recorder.Take().empty()) << "nothing selected";
  EXPECT_EQ(list.SelectedLine(), -1);

  list.SelectRow(1);
  Key(Qt::Key_Down);
  std::vector<Message> got = recorder.Take();
  ASSERT_EQ(got, (std::vector<Message>{Msg(kSelectMsg, 0, 1)}));
  EXPECT_EQ(got[0].selectedLineOnArrival, 2);
  Key(Qt::Key_Up);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kSelectMsg, 0, 2)}));
  EXPECT_EQ(list.SelectedLine(), 1);

  list.SelectRow(0);
  Key(Qt::Key_Up);
  EXPECT_TRUE(recorder.Take().empty()) << "up on line 0";
  EXPECT_EQ(list.SelectedLine(), 0);
  list.SelectRow(3);
  Key(Qt::Key_Down);
  EXPECT_TRUE(recorder.Take().empty()) << "down on the last line";
  EXPECT_EQ(list.SelectedLine(), 3);

  layout.noArrowNotify = 1;
  Key(Qt::Key_Up);
  EXPECT_TRUE(recorder.Take().empty());
  EXPECT_EQ(list.SelectedLine(), 2) << "the key still moves";
}

TEST_F(CUListMessageTest, DoubleClickPostsThePressThenTheDoubleClick) {
  AddRows(3);
  layout.columns[1].dblClickMsg = kDblClickMsg;
  layout.columns[2].readOnly = 1;
  Show();
  DoubleClick(CellCenter(1, 1));
  EXPECT_EQ(recorder.Take(),
            (std::vector<Message>{Msg(kSelectMsg, 1, 1), Msg(kDblClickMsg, 1, 1)}));
  EXPECT_FALSE(list.editing());

  DoubleClick(CellCenter(2, 2));
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kSelectMsg, 2, 2)}))
      << "read-only without a message: only the press";
  EXPECT_FALSE(list.editing());

  DoubleClick(CellCenter(0, 0));
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kSelectMsg, 0, 0)}));
  EXPECT_TRUE(list.editing()) << "an editable column opens the editor";
  list.EndCellEdit();

  DoubleClick(BelowLastLine());
  EXPECT_TRUE(recorder.Take().empty());
  EXPECT_FALSE(list.editing());
}

TEST_F(CUListMessageTest, RightClickPostsOrOpensTheRecord) {
  AddRows(3);
  layout.columns[1].rclickMsg = 1;
  Show();
  Click(CellCenter(2, 1), Qt::RightButton);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kRclickMsg, 1, 2)}));
  EXPECT_EQ(list.SelectedLine(), -1) << "a right-click does not select";

  QString title;
  int shownRow = -1;
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<CEditLineDlg*>(w);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    shownRow = dialog->row();
    dialog->reject();
  });
  Click(CellCenter(1, 0), Qt::RightButton);
  EXPECT_EQ(title, "NVtest.csv");
  EXPECT_EQ(shownRow, 1);
  EXPECT_TRUE(recorder.Take().empty());

  Click(BelowLastLine(), Qt::RightButton);  // nothing opens: a dialog would fail the test
  EXPECT_TRUE(recorder.Take().empty());
}

// Counts the context menu requests that reach a widget.
class ContextMenuRequests : public QObject {
 public:
  explicit ContextMenuRequests(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ContextMenu) ++count;
    return false;
  }
};

// The window system's context menu request of a right-click went on to the parent, as though
// the list had left the click to it.
TEST_F(CUListMessageTest, ARightClickLeavesTheParentNoContextMenuRequest) {
  AddRows(3);
  layout.columns[1].rclickMsg = 1;
  Show();
  ContextMenuRequests requests(&parent);
  for (QPoint at : {CellCenter(1, 1), BelowLastLine()}) {
    QTest::mouseClick(parent.windowHandle(), Qt::RightButton, Qt::NoModifier,
                      Viewport()->mapTo(&parent, at));
  }
  EXPECT_EQ(requests.count, 0);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kRclickMsg, 1, 1)}));
}

// The parent learns of a new selection only through a left click or an arrow key.
TEST_F(CUListMessageTest, NeitherTypingNorDraggingNorOtherButtonsMoveTheSelection) {
  AddRows(30);
  Show();
  Click(CellCenter(0, 0));
  recorder.Take();
  QTest::keyClicks(View(), "12");
  EXPECT_EQ(list.SelectedLine(), 0);
  QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2, 0));
  QTest::mouseMove(Viewport(), CellCenter(6, 0));
  QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(6, 0));
  EXPECT_EQ(list.SelectedLine(), 2);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kSelectMsg, 0, 2)}));

  // The middle and side buttons selected the line under them, posting nothing.
  for (Qt::MouseButton button : {Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
    SCOPED_TRACE(button);
    QTest::mouseClick(parent.windowHandle(), button, Qt::NoModifier,
                      Viewport()->mapTo(&parent, CellCenter(4, 1)));
    QTest::mouseDClick(parent.windowHandle(), button, Qt::NoModifier,
                       Viewport()->mapTo(&parent, CellCenter(5, 1)));
    EXPECT_EQ(list.SelectedLine(), 2);
    EXPECT_TRUE(recorder.Take().empty());
  }
}

TEST_F(CUListMessageTest, ALineOutsideTheTableEndsTheProgram) {
  AddRows(3);
  Show();
  table.Clear();  // the owner forgot to reload
  EXPECT_EXIT(DoubleClick(CellCenter(1, 0)), ::testing::ExitedWithCode(247),
              "CLU: line 1 not exist");
  EXPECT_EXIT(Click(CellCenter(2, 0), Qt::RightButton), ::testing::ExitedWithCode(247),
              "CLU: line 2 not exist");
}

TEST_F(CUListMessageTest, AListColumnWithoutALayoutColumnEndsTheProgram) {
  AddRows(2);
  Show();
  layout.columns[1].layoutColumnAt = 50;  // beyond the layout's seven columns
  EXPECT_EXIT(DoubleClick(CellCenter(0, 1)), ::testing::ExitedWithCode(247),
              "CLU: row 50 not exist");
}

TEST_F(CUListMessageTest, ScrollRequestsAreDroppedWhileEditing) {
  AddRows(80);
  Show();
  DoubleClick(CellCenter(0, 0));
  ASSERT_TRUE(list.editing());
  QScrollBar* bar = View()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  QWheelEvent wheel(QPointF(50, 50), Viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                    QPoint(0, -480), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(Viewport(), &wheel);
  EXPECT_EQ(bar->value(), 0);
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 30));
  EXPECT_EQ(bar->value(), 0);
  View()->scrollTo(View()->model()->index(70, 0));
  EXPECT_EQ(bar->value(), 0);

  list.EndCellEdit();
  QApplication::sendEvent(Viewport(), &wheel);
  EXPECT_GT(bar->value(), 0) << "scrolling works again";
}

}  // namespace
