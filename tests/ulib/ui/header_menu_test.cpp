#include "ulib/ui/header_menu.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "tests/ulib/ui/list_widget_fixture.h"
#include "ulib/ui/list_messages.h"
#include "ulib/ui/row_select_dlg.h"

namespace {

using namespace listtest;

std::vector<int> Ids(const std::vector<HeaderMenuItem>& items) {
  std::vector<int> ids;
  for (const HeaderMenuItem& item : items) ids.push_back(item.id);
  return ids;
}

TEST(HeaderMenuItemsTest, ByLayoutAndColumnType) {
  const std::vector<int> kBase = {139, 138, 0, 136, 137};
  auto with = [&](std::vector<int> more) {
    std::vector<int> ids = kBase;
    ids.insert(ids.end(), more.begin(), more.end());
    return ids;
  };
  struct Case {
    const char* name;
    int menuMsgBase;
    CellType type;
    int rclickMsg;
    std::vector<int> ids;
  };
  const Case kCases[] = {
      {"plain", 0, CellInt, 0, kBase},
      {"no group commands on a mark", 0, CellMark, 0, kBase},
      {"reset only", 2, CellMark, 0, with({0, 892})},
      {"reset only, not on a check", 2, CellCheck, 0, kBase},
      {"group on a check", 0x600, CellCheck, 0, with({0, 890, 891})},
      {"group and reset on a mark", 0x600, CellMark, 0, with({0, 890, 891, 892})},
      {"group not on an int", 0x600, CellInt, 0, kBase},
      {"extra item", 0, CellFloat, 0x594, with({0, 893})},
      {"group then extra", 0x600, CellCheck, 0x594, with({0, 890, 891, 0, 893})},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ListLayout layout = MakeLayout();
    layout.menuMsgBase = c.menuMsgBase;
    ListColumn column = MakeColumn(kNum, "%d");
    column.rclickMsg = c.rclickMsg;
    EXPECT_EQ(Ids(HeaderMenuItems(layout, column, c.type)), c.ids);
  }
  ListLayout layout = MakeLayout();
  ListColumn column = MakeColumn(kNum, "%d");
  column.rclickMsg = 1;
  const auto items = HeaderMenuItems(layout, column, CellInt);
  EXPECT_EQ(items[0].label, "Hide");
  EXPECT_EQ(items[1].label, "Row Select");
  EXPECT_EQ(items[3].label, "Sort +");
  EXPECT_EQ(items[4].label, "Sort -");
  EXPECT_EQ(items.back().label, "") << "an empty menu text is a blank item";
  std::strcpy(column.menuText, "Change");
  EXPECT_EQ(HeaderMenuItems(layout, column, CellInt).back().label, "Change");
}

TEST(HeaderMenuItemsTest, Position) {
  EXPECT_EQ(HeaderMenuPosition({100, 200}, true, {30, 25}).x, 130);
  EXPECT_EQ(HeaderMenuPosition({100, 200}, true, {30, 25}).y, 225);
  EXPECT_EQ(HeaderMenuPosition({100, 200}, true, {-40, -5}).x, 100) << "clamped to the list";
  EXPECT_EQ(HeaderMenuPosition({100, 200}, false, {30, 25}).y, 200) << "no lines: the corner";
}

class HeaderMenuTest : public ListWidgetTest {
 protected:
  QHeaderView* Header() { return View()->horizontalHeader(); }
  void ClickHeader(int listColumn) {
    QTest::mouseClick(Header()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(Header()->sectionViewportPosition(listColumn) + 5,
                             Header()->height() / 2));
  }
  // Clicks a header and chooses a menu item; returns the labels the menu showed.
  QStringList Choose(int listColumn, int commandId) {
    QStringList labels;
    ChooseMenuItem(commandId, &labels);
    ClickHeader(listColumn);
    return labels;
  }
  std::vector<int> Rows() {
    std::vector<int> rows;
    for (int line = 0; line < list.lineCount(); ++line) rows.push_back(list.RowOfLine(line));
    return rows;
  }
  void ExpectLineCellsMatch() {
    for (int line = 0; line < list.lineCount(); ++line) {
      EXPECT_EQ(ReadCellInt(table.LiveCell(list.RowOfLine(line), kDline)), line);
    }
  }
};

TEST_F(HeaderMenuTest, SortsUpAndDownByEachType) {
  const int nums[] = {5, -2, 9, 0};
  const float floats[] = {0.5f, 2.0f, -1.0f, 1.0f};
  const char* names[] = {"b", "d", nullptr, "a"};
  const char* tags[] = {"y", "x", "z", "w"};
  const std::uint32_t marks[] = {4, 1, 0, 2};
  const std::uint32_t checks[] = {1, 0, 0, 0};
  const double doubles[] = {-1e-9, 1e9, 0.0, 3.0};
  for (int i = 0; i < 4; ++i) {
    AddRow(table, nums[i], floats[i], names[i]);
    table.SetString(i, kTag, tags[i]);
    WriteCellUint(table.CellForWrite(i, kMark), marks[i]);
    WriteCellUint(table.CellForWrite(i, kChk), checks[i]);
    WriteCellDouble(table.CellForWrite(i, kDouble), doubles[i]);
  }
  Show();
  struct Case {
    int listColumn;
    std::vector<int> ascending;
  };
  const Case kCases[] = {
      {0, {1, 3, 0, 2}},  // num
      {1, {2, 0, 3, 1}},  // float
      {2, {2, 3, 0, 1}},  // name: null first
      {3, {2, 1, 3, 0}},  // mark
      {5, {0, 2, 3, 1}},  // double
      {6, {3, 1, 0, 2}},  // tag
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.listColumn);
    Choose(c.listColumn, kHeaderCmdSortUp);
    EXPECT_EQ(Rows(), c.ascending);
    EXPECT_EQ(list.sortColumn(), TableColumnAt(c.listColumn));
    EXPECT_EQ(list.sortDirection(), 1);
    ExpectLineCellsMatch();
    Choose(c.listColumn, kHeaderCmdSortDown);
    std::vector<int> descending = c.ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(Rows(), descending);
    EXPECT_EQ(list.sortDirection(), -1);
    ExpectLineCellsMatch();
    EXPECT_EQ(Shown(0, 0), QString::number(nums[descending[0]])) << "the view follows";
  }
  Choose(4, kHeaderCmdSortDown);  // check: the one set row first
  EXPECT_EQ(Rows()[0], 0);
}

TEST_F(HeaderMenuTest, ASortStaysThroughReloads) {
  for (int v : {3, 1, 2}) AddRow(table, v);
  Show();
  list.SelectRow(0);  // line 0
  Choose(0, kHeaderCmdSortUp);
  EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(list.SelectedLine(), 0) << "the selected line number stays";
  AddRow(table, 0);
  list.Reload(0, 0);
  EXPECT_EQ(Rows(), (std::vector<int>{3, 1, 2, 0}));
  Choose(1, kHeaderCmdHide);
  EXPECT_EQ(layout.columns[1].shown, 0);
  EXPECT_EQ(View()->model()->columnCount(), 6);
  EXPECT_EQ(Rows(), (std::vector<int>{3, 1, 2, 0})) << "hiding reloads, sorted again";
}

TEST_F(HeaderMenuTest, AnEmptyListRecordsTheSort) {
  Show();
  Choose(2, kHeaderCmdSortDown);
  EXPECT_EQ(list.sortColumn(), kName);
  EXPECT_EQ(list.sortDirection(), -1);
  EXPECT_EQ(list.lastHeaderSubitem(), 2);
}

TEST_F(HeaderMenuTest, AHeaderWithoutButtonsOpensNoMenu) {
  AddRows(2);
  layout.sortableHeader = 0;
  Show();
  ClickHeader(1);  // a menu would stay up until the watchdog closed it, failing the test
  EXPECT_EQ(list.lastHeaderSubitem(), -1);
}

TEST_F(HeaderMenuTest, GroupAndExtraItemsPost) {
  AddRows(2);
  layout.menuMsgBase = 0x600;
  layout.columns[1].rclickMsg = UM_UP_RCLICK;
  Show();
  EXPECT_EQ(Choose(4, kHeaderCmdAllOn),
            (QStringList{"Hide", "Row Select", "-", "Sort +", "Sort -", "-", "all On", "all Off"}));
  Choose(4, kHeaderCmdAllOff);
  Choose(1, kHeaderCmdExtra);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(0x600, kChk, 0), Msg(0x601, kChk, 0),
                                                   Msg(UM_UP_RCLICK, kFloat, 0)}));
}

TEST_F(HeaderMenuTest, ResetKeepsOnlyTheStarBit) {
  for (int i = 0; i < 8; ++i) {
    AddRow(table, i);
    WriteCellUint(table.CellForWrite(i, kMark), static_cast<std::uint32_t>(i));
  }
  layout.menuMsgBase = 2;
  Show();
  const QStringList labels = Choose(3, kHeaderCmdReset);
  EXPECT_EQ(labels.back(), "reset");
  const std::uint32_t kAfter[] = {0, 1, 0, 1, 0, 1, 0, 1};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ReadCellUint(table.LiveCell(i, kMark)), kAfter[i]) << i;
  EXPECT_TRUE(recorder.Take().empty()) << "nothing posted";
}

TEST_F(HeaderMenuTest, TheMenuOpensAtLineZerosCell) {
  AddRows(3);
  Show();
  QPoint at;
  WhenUp([] { return QApplication::activePopupWidget(); },
         [&](QWidget* menu) {
           at = menu->pos();
           menu->close();
         });
  ClickHeader(2);
  const QRect cell = View()->visualRect(View()->model()->index(0, 2));
  const QPoint expected = View()->mapToGlobal(Viewport()->mapTo(View(), cell.topLeft()));
  EXPECT_EQ(at, expected);
}

TEST_F(HeaderMenuTest, RowSelectFromTheMenuAndTheHeaderDoubleClick) {
  AddRows(2);
  Show();
  WhenModal([](QWidget* w) {
    auto* dialog = qobject_cast<CRSDlg*>(w);
    ASSERT_NE(dialog, nullptr);
    QPushButton* allOff = dialog->findChild<QPushButton*>("allOff");
    QTest::mouseClick(allOff, Qt::LeftButton);
    dialog->accept();
  });
  Choose(0, kHeaderCmdRowSelect);
  EXPECT_EQ(View()->model()->columnCount(), 1) << "OK rebuilt the list";
  for (int i = 0; i < layout.columnCount; ++i) EXPECT_EQ(layout.columns[i].shown, 0);

  WhenModal([](QWidget* w) {
    auto* dialog = qobject_cast<CRSDlg*>(w);
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QPushButton*>("allOn"), Qt::LeftButton);
    dialog->reject();
  });
  emit Header()->sectionDoubleClicked(0);
  EXPECT_EQ(View()->model()->columnCount(), 1) << "Cancel leaves the list as it is";
  EXPECT_EQ(layout.columns[3].shown, 1) << "but the flags changed";
  list.Reload(0, 0);
  EXPECT_EQ(View()->model()->columnCount(), 7);
}

TEST_F(HeaderMenuTest, DividerDragsGoBackIntoTheLayout) {
  AddRows(2);
  layout.columns[1].shown = 0;
  Show();
  QHeaderView* header = Header();
  const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
  const int y = header->height() / 2;
  QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge, y));
  QTest::mouseMove(header->viewport(), QPoint(edge + 25, y));
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge + 25, y));
  EXPECT_EQ(header->sectionSize(1), 85);
  EXPECT_EQ(layout.columns[2].width, 85) << "list column 1 shows layout column 2";
  EXPECT_EQ(layout.columns[1].width, 60) << "hidden columns keep their width";

  header->resizeSection(0, 33);  // not a drag: stored at the next release only
  list.Reload(0, 0);
  EXPECT_EQ(layout.columns[0].width, 60) << "a reload's own resizing is not the user's";
}

// The header's minimum section size widened a narrow column (8 pixels became the width of the
// font's widest character), and the next divider drag stored the widened width in the layout.
TEST_F(HeaderMenuTest, NarrowWidthsStayAsTheLayoutHasThem) {
  AddRows(2);
  layout.columns[0].width = 8;
  layout.columns[1].width = 0;
  layout.columns[3].width = 3;
  Show();
  QHeaderView* header = Header();
  EXPECT_EQ(header->sectionSize(0), 8);
  EXPECT_EQ(header->sectionSize(1), 0);
  EXPECT_EQ(header->sectionSize(3), 3);
  const int edge = header->sectionViewportPosition(2) + header->sectionSize(2) - 1;
  const int y = header->height() / 2;
  QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge, y));
  QTest::mouseMove(header->viewport(), QPoint(edge + 20, y));
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge + 20, y));
  EXPECT_EQ(layout.columns[2].width, 80);
  EXPECT_EQ(layout.columns[0].width, 8);
  EXPECT_EQ(layout.columns[1].width, 0);
  EXPECT_EQ(layout.columns[3].width, 3);
}

TEST_F(HeaderMenuTest, HidingTheLastColumnShowsColumnZeroAndStoresNoWidth) {
  layout = MakeLayout({MakeColumn(kNum, "%d", 50), MakeColumn(kFloat, "%.1f", 70)});
  layout.columns[0].shown = 0;
  AddRows(1);
  Show();
  Choose(0, kHeaderCmdHide);
  ASSERT_EQ(View()->model()->columnCount(), 1);
  EXPECT_EQ(View()->model()->headerData(0, Qt::Horizontal).toString(), "num");
  QHeaderView* header = Header();
  const int edge = header->sectionSize(0) - 1;
  QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge, 5));
  QTest::mouseMove(header->viewport(), QPoint(edge + 30, 5));
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge + 30, 5));
  EXPECT_EQ(layout.columns[0].width, 50);
  EXPECT_EQ(layout.columns[1].width, 70);
}

}  // namespace
