#include "ulib/ui/edit_line_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/ulib/ui/list_widget_fixture.h"

namespace {

using namespace listtest;

class EditLineDlgTest : public ListWidgetTest {
 protected:
  EditLineDlgTest() {
    layout = MakeLayout({MakeColumn(kExist, "%d"), MakeColumn(kNum, "%d"),
                         MakeColumn(kChk, "%b"), MakeColumn(kMark, "%b"),
                         MakeColumn(kFloat, "%.1f"), MakeColumn(kDouble, "%.1f"),
                         MakeColumn(kName, "%s"), MakeColumn(kTag, "%s"),
                         MakeColumn(kHid, "%d"), MakeColumn(kRaw, "%d")});
    layout.columns[2].shown = 0;  // hidden columns still have their field
    layout.editMsg = kEditMsg;
    AddRow(table, 1);
    const int row = AddRow(table, -7, 0.1234567f, "Ondrejov");
    WriteCellUint(table.CellForWrite(row, kChk), 1);
    WriteCellUint(table.CellForWrite(row, kMark), 4);
    WriteCellDouble(table.CellForWrite(row, kDouble), 1.2e-7);
    table.SetString(row, kTag, "TG");
    WriteCellInt(table.CellForWrite(row, kRaw), 33);
  }
  static QLineEdit* Field(QWidget* dialog, int i) {
    return dialog->findChild<QLineEdit*>(QString("field%1").arg(i));
  }
};

TEST_F(EditLineDlgTest, EveryFieldInLayoutOrder) {
  Show();
  const char* kLabels[] = {"exist", "num", "chk", "mark", "f", "d", "name", "tag", nullptr, "raw"};
  const char* kTexts[] = {"1",        "-7",       "1",  "4", "0.123457", "0.000000",
                          "Ondrejov", "TG",       nullptr, ""};
  bool opened = false;
  WhenModal([&](QWidget* dialog) {
    opened = true;
    EXPECT_EQ(dialog->windowTitle(), "NVtest.csv");
    for (int i = 0; i < 10; ++i) {
      SCOPED_TRACE(i);
      QLineEdit* field = Field(dialog, i);
      auto* label = dialog->findChild<QLabel*>(QString("label%1").arg(i));
      if (!kLabels[i]) {
        EXPECT_EQ(field, nullptr) << "a hidden-type column leaves a gap";
        EXPECT_EQ(label, nullptr);
        continue;
      }
      ASSERT_NE(field, nullptr);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->text(), kLabels[i]);
      EXPECT_EQ(field->text(), kTexts[i]);
      EXPECT_EQ(field->geometry(), QRect(62, 24 + 20 * i, 188, 19));
      EXPECT_EQ(label->geometry(), QRect(10, 24 + 20 * i, 48, 19));
      EXPECT_EQ(field->isReadOnly(), i == 0 || i == 9) << "exist and raw cells are never edited";
    }
    EXPECT_EQ(dialog->height(), 50 + 20 * 10);
    EXPECT_FALSE(dialog->findChild<QPushButton*>("deleteItem")->isVisible());
    qobject_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_EQ(list.EditLine(1, 1), 0) << "Cancel";
  EXPECT_TRUE(opened);
  EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(EditLineDlgTest, OkWritesBackOnlyTheChangedFields) {
  layout.columns[7].readOnly = 1;
  Show();
  const float floatBefore = ReadCellFloat(table.LiveCell(1, kFloat));
  WhenModal([&](QWidget* dialog) {
    Field(dialog, 1)->setText("17x");
    Field(dialog, 2)->setText("");
    Field(dialog, 3)->setText("-1");  // no unsigned number: unchanged
    Field(dialog, 6)->setText("Lomnicky");
    Field(dialog, 7)->setText("RO");   // read-only: never written
    Field(dialog, 0)->setText("0");    // exist: never written
    QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
  });
  EXPECT_EQ(list.EditLine(1, 0), 1);
  EXPECT_EQ(ReadCellInt(table.LiveCell(1, kNum)), 17);
  EXPECT_EQ(ReadCellUint(table.LiveCell(1, kChk)), 0u) << "empty check text stores 0";
  EXPECT_EQ(ReadCellUint(table.LiveCell(1, kMark)), 4u);
  EXPECT_STREQ(table.GetString(1, kName), "Lomnicky");
  EXPECT_STREQ(table.GetString(1, kTag), "TG");
  EXPECT_EQ(table.RowExists(1), 1u);
  // Untouched fields showed "0.123457" and "0.000000"; writing those back lost the values.
  EXPECT_EQ(ReadCellFloat(table.LiveCell(1, kFloat)), floatBefore);
  EXPECT_EQ(ReadCellDouble(table.LiveCell(1, kDouble)), 1.2e-7);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kEditMsg, -1, 1)}));
  EXPECT_EQ(Shown(1, 1), "17");
}

TEST_F(EditLineDlgTest, EveryColumnReadOnlyStillRedrawsAndPosts) {
  for (int i = 0; i < layout.columnCount; ++i) layout.columns[i].readOnly = 1;
  Show();
  WhenModal([&](QWidget* dialog) {
    for (int i = 0; i < 10; ++i) {
      if (QLineEdit* field = Field(dialog, i)) {
        EXPECT_TRUE(field->isReadOnly()) << i;
      }
    }
    Field(dialog, 1)->setText("99");
    qobject_cast<QDialog*>(dialog)->accept();
  });
  list.SelectRow(1);
  EXPECT_EQ(list.EditLine(-1, 0), 1) << "-1: the selected line";
  EXPECT_EQ(ReadCellInt(table.LiveCell(1, kNum)), -7);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kEditMsg, -1, 1)}));
}

TEST_F(EditLineDlgTest, NothingOpensWithoutALine) {
  Show();
  EXPECT_EQ(list.EditLine(-1, 0), 0) << "no line selected";
  // An explicit line past the end used to open the form of whatever row the array held there.
  EXPECT_EQ(list.EditLine(2, 0), 0);
  EXPECT_EQ(list.EditLine(500, 0), 0);
  EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(EditLineDlgTest, DeleteThisItemPostsAndCancels) {
  layout.deleteMsg = 0x5F0;
  Show();
  WhenModal([](QWidget* dialog) {
    EXPECT_FALSE(dialog->findChild<QPushButton*>("deleteItem")->isVisible())
        << "hidden when the creator does not allow it";
    qobject_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_EQ(list.EditLine(1, 0), 0);

  WhenModal([](QWidget* dialog) {
    QPushButton* button = dialog->findChild<QPushButton*>("deleteItem");
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->text(), "Delete This Item");
    QTest::mouseClick(button, Qt::LeftButton);
  });
  EXPECT_EQ(list.EditLine(1, 1), 0) << "the caller sees a Cancel";
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(0x5F0, 0, 1)}));
  EXPECT_EQ(table.RowExists(1), 1u) << "the dialog deletes nothing itself";
}

TEST_F(EditLineDlgTest, ManyColumnsRunInGroupsOfThirty) {
  std::vector<ListColumn> columns(45, MakeColumn(kNum, "%d"));
  layout = MakeLayout(columns);
  Show();
  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->size(), QSize(520, 650));
    EXPECT_EQ(Field(dialog, 29)->geometry().topLeft(), QPoint(62, 604));
    EXPECT_EQ(Field(dialog, 30)->geometry().topLeft(), QPoint(312, 24));
    EXPECT_EQ(Field(dialog, 44)->text(), "-7");
    qobject_cast<QDialog*>(dialog)->reject();
  });
  list.EditLine(1, 0);
}

}  // namespace
