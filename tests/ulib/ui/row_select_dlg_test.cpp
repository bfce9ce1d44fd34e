#include "ulib/ui/row_select_dlg.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "tests/ulib/ui/list_widget_fixture.h"

namespace {

using namespace listtest;

class RowSelectDlgTest : public ListWidgetTest {
 protected:
  RowSelectDlgTest() {
    layout = MakeLayout({MakeColumn(kNum, "%d"), MakeColumn(kHid, "%d"), MakeColumn(kName, "%s"),
                         MakeColumn(kFloat, "%.1f")});
    layout.columns[2].shown = 0;
  }
  static QTreeWidget* Columns(QWidget* dialog) {
    return dialog->findChild<QTreeWidget*>("columnList");
  }
  static QStringList Marks(QTreeWidget* columns) {
    QStringList marks;
    for (int k = 0; k < columns->topLevelItemCount(); ++k) marks << columns->topLevelItem(k)->text(1);
    return marks;
  }
  static void ClickItem(QTreeWidget* columns, int k) {
    const QRect at = columns->visualItemRect(columns->topLevelItem(k));
    QTest::mouseClick(columns->viewport(), Qt::LeftButton, Qt::NoModifier, at.center());
  }
};

TEST_F(RowSelectDlgTest, ListsTheColumnsWithTheirMarks) {
  Show();
  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Row Select");
    QTreeWidget* columns = Columns(dialog);
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(columns->headerItem()->text(0), "ROW");
    EXPECT_EQ(columns->headerItem()->text(1), "ON");
    EXPECT_EQ(columns->columnWidth(0), 100);
    EXPECT_EQ(columns->columnWidth(1), 32);
    ASSERT_EQ(columns->topLevelItemCount(), 3) << "no entry for a hidden-type column";
    EXPECT_EQ(columns->topLevelItem(0)->text(0), "num");
    EXPECT_EQ(columns->topLevelItem(1)->text(0), "name");
    EXPECT_EQ(columns->topLevelItem(2)->text(0), "f");
    EXPECT_EQ(Marks(columns), (QStringList{"*", " ", "*"}));
    qobject_cast<QDialog*>(dialog)->reject();
  });
  list.SelectColumns();
}

// With two entries selected, a click used to toggle the first selected one, not the one under
// the mouse.
TEST_F(RowSelectDlgTest, AClickTogglesTheColumnUnderIt) {
  Show();
  WhenModal([](QWidget* dialog) {
    QTreeWidget* columns = Columns(dialog);
    columns->topLevelItem(0)->setSelected(true);
    columns->topLevelItem(2)->setSelected(true);
    ClickItem(columns, 1);  // shown and hidden flip for "name" only
    EXPECT_EQ(Marks(columns), (QStringList{"*", "*", "*"}));
    columns->topLevelItem(0)->setSelected(true);
    QTest::mouseClick(columns->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      columns->visualItemRect(columns->topLevelItem(2)).center());
    EXPECT_EQ(Marks(columns), (QStringList{"*", "*", " "}));
    QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
  });
  list.SelectColumns();
  EXPECT_EQ(layout.columns[0].shown, 1);
  EXPECT_EQ(layout.columns[2].shown, 1);
  EXPECT_EQ(layout.columns[3].shown, 0);
  ASSERT_EQ(View()->model()->columnCount(), 3);  // num, hid, name
  EXPECT_EQ(View()->model()->headerData(2, Qt::Horizontal).toString(), "name");
}

TEST_F(RowSelectDlgTest, AllOnAllOffAndCancel) {
  Show();
  WhenModal([](QWidget* dialog) {
    QTest::mouseClick(dialog->findChild<QPushButton*>("allOn"), Qt::LeftButton);
    EXPECT_EQ(Marks(Columns(dialog)), (QStringList{"*", "*", "*"}));
    QTest::mouseClick(dialog->findChild<QPushButton*>("allOff"), Qt::LeftButton);
    EXPECT_EQ(Marks(Columns(dialog)), (QStringList{"", "", ""}));
    QTest::mouseClick(dialog->findChild<QPushButton*>("cancel"), Qt::LeftButton);
  });
  list.SelectColumns();
  EXPECT_EQ(View()->model()->columnCount(), 3) << "Cancel leaves the list as it was";
  for (int i : {0, 2, 3}) EXPECT_EQ(layout.columns[i].shown, 0) << "the flags stay changed";
  EXPECT_EQ(layout.columns[1].shown, 1) << "the hidden-type column had no entry";
}

// After a cancelled dialog the list still shows its old columns while the shown flags are new;
// a divider drag then gave each list column's width to the wrong layout column.
TEST_F(RowSelectDlgTest, ADividerDragAfterCancelStoresEachWidthInItsOwnColumn) {
  layout.columns[0].width = 50;
  layout.columns[1].width = 70;
  layout.columns[2].width = 40;
  layout.columns[3].width = 90;
  Show();
  WhenModal([](QWidget* dialog) {
    ClickItem(Columns(dialog), 0);  // "num" off, "name" on
    ClickItem(Columns(dialog), 1);
    QTest::mouseClick(dialog->findChild<QPushButton*>("cancel"), Qt::LeftButton);
  });
  list.SelectColumns();
  ASSERT_EQ(View()->model()->columnCount(), 3);  // still num, hid, f
  QHeaderView* header = View()->horizontalHeader();
  const int edge = header->sectionViewportPosition(2) + header->sectionSize(2) - 1;
  const int y = header->height() / 2;
  QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge, y));
  QTest::mouseMove(header->viewport(), QPoint(edge + 10, y));
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge + 10, y));
  EXPECT_EQ(layout.columns[0].width, 50);
  EXPECT_EQ(layout.columns[1].width, 70);
  EXPECT_EQ(layout.columns[2].width, 40) << "not on screen: keeps its width";
  EXPECT_EQ(layout.columns[3].width, 100);

  list.Reload(0, 0);
  EXPECT_EQ(header->sectionSize(1), 40) << "name";
  EXPECT_EQ(header->sectionSize(2), 100) << "f";
}

}  // namespace
