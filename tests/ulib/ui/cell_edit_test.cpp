#include "ulib/ui/cell_edit.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "tests/support/hang_guard.h"
#include "tests/ulib/ui/list_widget_fixture.h"
#include "ulib/ui/list_messages.h"

namespace {

using namespace listtest;

class CellEditTest : public ListWidgetTest {
 protected:
  CCellEdit* Editor() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (CCellEdit* editor : Viewport()->findChildren<CCellEdit*>()) {
      if (editor->isVisible()) return editor;
    }
    return nullptr;
  }
  // Opens the editor over a cell and types text into it (replacing the selected first text).
  CCellEdit* EditCell(int line, int listColumn, const char* text) {
    DoubleClick(CellCenter(line, listColumn));
    CCellEdit* editor = Editor();
    if (editor && text) QTest::keyClicks(editor, text);
    return editor;
  }
  std::int32_t Num(int row) { return ReadCellInt(table.LiveCell(row, kNum)); }
};

TEST_F(CellEditTest, EnterStoresByType) {
  AddRows(3);
  layout.editMsg = kEditMsg;
  Show();
  DoubleClick(CellCenter(1, 0));
  CCellEdit* editor = Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "101");
  EXPECT_EQ(editor->selectedText(), "101") << "all of it selected";
  EXPECT_TRUE(editor->hasFocus());
  EXPECT_EQ(list.editRow(), 1);
  EXPECT_EQ(list.editLine(), 1);
  EXPECT_EQ(list.editSubitem(), 0);
  const QRect cell = View()->visualRect(View()->model()->index(1, 0));
  EXPECT_EQ(editor->geometry(), cell.adjusted(0, -1, 0, 3));
  recorder.Take();

  QTest::keyClicks(editor, "17");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Num(1), 17);
  EXPECT_EQ(Shown(1, 0), "17");
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kEditMsg, 0, 1)}));

  struct Case {
    int listColumn;
    const char* typed;
    const char* shown;
  };
  const Case kCases[] = {
      {1, "-3.14159", "-3.14"},   // float, "%.2f"
      {5, "0.1", "0.100"},        // double
      {2, "Ondrejov", "Ondrejov"},
      {6, "TOOLONGTAG", "TOOLONG"},
      {0, "42 km", "42"},         // the number that begins the text
      {0, "km", "42"},            // no number: unchanged
      {0, "-99999999999", "42"},  // out of range: unchanged
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    ASSERT_NE(EditCell(2, c.listColumn, c.typed), nullptr);
    QTest::keyClick(Editor(), Qt::Key_Enter);
    EXPECT_EQ(Shown(2, c.listColumn), c.shown);
  }
  EXPECT_EQ(ReadCellDouble(table.LiveCell(2, kDouble)), 0.1) << "double precision kept";
  EXPECT_EQ(ReadCellFloat(table.LiveCell(2, kFloat)), -3.14159f);
}

TEST_F(CellEditTest, StringsAreCutAndEmptyTextMakesThemNull) {
  AddRows(1);
  Show();
  ASSERT_NE(EditCell(0, 2, std::string(70, 'z').c_str()), nullptr);
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(table.GetStringOrEmpty(0, kName), std::string(60, 'z'));
  ASSERT_NE(EditCell(0, 2, nullptr), nullptr);
  QTest::keyClick(Editor(), Qt::Key_Delete);
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(table.GetString(0, kName), nullptr);
}

// An untouched "%f" text would have rounded the cell to six decimals.
TEST_F(CellEditTest, AnUntouchedEditorWritesNothing) {
  AddRows(1);
  WriteCellDouble(table.LiveCell(0, kDouble), 1.2e-7);
  Show();
  CCellEdit* editor = EditCell(0, 5, nullptr);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "0.000000");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(ReadCellDouble(table.LiveCell(0, kDouble)), 1.2e-7);
}

TEST_F(CellEditTest, EscapeDiscards) {
  AddRows(2);
  layout.editMsg = kEditMsg;
  Show();
  ASSERT_NE(EditCell(0, 0, "55"), nullptr);
  recorder.Take();
  QTest::keyClick(Editor(), Qt::Key_Escape);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Num(0), 100);
  EXPECT_TRUE(recorder.Take().empty()) << "nothing posted";
}

TEST_F(CellEditTest, AClickElsewhereStoresFirstThenActs) {
  AddRows(3);
  layout.editMsg = kEditMsg;
  Show();
  ASSERT_NE(EditCell(0, 0, "9"), nullptr);
  recorder.Take();
  Click(CellCenter(2, 1));
  EXPECT_EQ(Num(0), 9);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(recorder.Take(),
            (std::vector<Message>{Msg(kEditMsg, 0, 0), Msg(kSelectMsg, 1, 2)}));
  EXPECT_EQ(list.SelectedLine(), 2);

  layout.columns[0].rclickMsg = 1;  // the right-click posts instead of opening the record
  ASSERT_NE(EditCell(1, 0, "8"), nullptr);
  recorder.Take();
  Click(CellCenter(0, 0), Qt::RightButton);
  EXPECT_EQ(Num(1), 8) << "a right-click stores too";
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kEditMsg, 0, 1), Msg(kRclickMsg, 0, 0)}));
}

TEST_F(CellEditTest, ReloadStoresAndBindDrops) {
  AddRows(2);
  Show();
  ASSERT_NE(EditCell(0, 0, "1"), nullptr);
  list.Reload(0, 0);
  EXPECT_EQ(Num(0), 1);
  ASSERT_NE(EditCell(1, 0, "2"), nullptr);
  list.Bind(&parent, &layout, &table);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(Num(1), 101) << "Bind drops an open edit";
}

TEST_F(CellEditTest, CheckAndMarkCellsToggle) {
  AddRows(1);
  layout.editMsg = kEditMsg;
  Show();
  struct Step {
    int listColumn;
    std::uint32_t before, after;
  };
  const Step kSteps[] = {
      {4, 0, 1}, {4, 1, 0}, {4, 5, 0},                          // check column
      {3, 0, 4}, {3, 4, 0}, {3, 1, 2}, {3, 2, 1}, {3, 3, 1}, {3, 5, 1}, {3, 6, 6}, {3, 7, 7},
  };
  for (const Step& s : kSteps) {
    SCOPED_TRACE(std::to_string(s.listColumn) + ": " + std::to_string(s.before));
    const int column = s.listColumn == 4 ? kChk : kMark;
    WriteCellUint(table.LiveCell(0, column), s.before);
    recorder.Take();
    DoubleClick(CellCenter(0, s.listColumn));
    EXPECT_EQ(ReadCellUint(table.LiveCell(0, column)), s.after);
    EXPECT_FALSE(list.editing()) << "no editor opens";
    EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kSelectMsg, s.listColumn, 0),
                                                     Msg(kEditMsg, s.listColumn, 0)}));
  }
  EXPECT_EQ(Shown(0, 3), "+");
}

TEST_F(CellEditTest, ExistAndReadOnlyColumnsAreNeverEdited) {
  layout = MakeLayout({MakeColumn(kExist, "%d"), MakeColumn(kNum, "%d")});
  layout.columns[1].readOnly = 1;
  AddRows(1);
  Show();
  DoubleClick(CellCenter(0, 0));
  EXPECT_FALSE(list.editing()) << "a 0 in exist would kill the row";
  DoubleClick(CellCenter(0, 1));
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(table.RowExists(0), 1u);
}

TEST_F(CellEditTest, TheEditorKeepsEnterAndEscapeFromADialog) {
  AddRows(2);
  QDialog dialog;
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* holder = new QWidget(&dialog);
  holder->setGeometry(0, 40, 500, 300);
  dialog.resize(520, 360);
  CUList inDialog;
  MessageRecorder dialogMessages(holder);
  inDialog.Bind(holder, &layout, &table);
  inDialog.Place(holder->rect());
  inDialog.Reload(0, 0);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog, nv4test::kHangGuardMs));
  QWidget* viewport = inDialog.View()->viewport();
  const QPoint cell =
      inDialog.View()->visualRect(inDialog.View()->model()->index(0, 0)).center();
  QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                     viewport->mapTo(&dialog, cell));
  ASSERT_TRUE(inDialog.editing());
  QWidget* editor = QApplication::focusWidget();
  ASSERT_NE(qobject_cast<CCellEdit*>(editor), nullptr);
  // Tab used to take the focus on to the OK button, leaving the edit open behind it.
  for (auto [key, name] : {std::pair{Qt::Key_Tab, "Tab"}, std::pair{Qt::Key_Backtab, "Backtab"}}) {
    QTest::keyClick(editor, key);
    EXPECT_EQ(QApplication::focusWidget(), editor) << name << " stays in the editor";
    editor->setFocus();
  }
  QTest::keyClicks(editor, "7");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible()) << "Enter went to the editor, not the default button";
  EXPECT_EQ(ReadCellInt(table.LiveCell(0, kNum)), 7);

  QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                     viewport->mapTo(&dialog, cell));
  ASSERT_TRUE(inDialog.editing());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible()) << "Escape went to the editor, not the dialog";
  EXPECT_FALSE(inDialog.editing());
}

// With the focus on the list while a cell was edited, Up and Down posted the select message and
// Enter and Escape left the edit open.
TEST_F(CellEditTest, KeysOnTheListWhileEditingPostNothingAndEndTheEdit) {
  AddRows(4);
  layout.editMsg = kEditMsg;
  Show();
  ASSERT_NE(EditCell(1, 0, "7"), nullptr);
  View()->setFocus();
  recorder.Take();
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  EXPECT_TRUE(recorder.Take().empty()) << "no select message while editing";
  EXPECT_TRUE(list.editing());
  Key(Qt::Key_Return);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(Num(1), 7);
  EXPECT_EQ(recorder.Take(), (std::vector<Message>{Msg(kEditMsg, 0, 1)}));

  ASSERT_NE(EditCell(2, 0, "8"), nullptr);
  View()->setFocus();
  recorder.Take();
  Key(Qt::Key_Escape);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Num(2), 102);
  EXPECT_TRUE(recorder.Take().empty()) << "Escape posts nothing";
}

// Up, Down, Page Up and Page Down typed into the editor went on to the list, which moved its
// selection without posting the select message, so the parent's idea of the line went stale.
TEST_F(CellEditTest, KeysTypedInTheEditorStayWithIt) {
  AddRows(30);
  Show();
  CCellEdit* editor = EditCell(5, 0, "7");
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(list.SelectedLine(), 5);
  const int topBefore = View()->rowAt(0);
  recorder.Take();
  struct Typed {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  };
  const Typed kKeys[] = {{Qt::Key_Up, Qt::NoModifier},       {Qt::Key_Down, Qt::NoModifier},
                         {Qt::Key_PageUp, Qt::NoModifier},   {Qt::Key_PageDown, Qt::NoModifier},
                         {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_End, Qt::ControlModifier}};
  for (const Typed& typed : kKeys) {
    SCOPED_TRACE(QKeySequence(typed.key | typed.modifiers).toString().toStdString());
    QTest::keyClick(editor, typed.key, typed.modifiers);
    EXPECT_EQ(list.SelectedLine(), 5);
    EXPECT_EQ(View()->currentIndex().row(), 5);
    EXPECT_EQ(View()->rowAt(0), topBefore) << "the lines did not scroll";
    EXPECT_TRUE(list.editing());
    EXPECT_EQ(QApplication::focusWidget(), editor);
  }
  EXPECT_TRUE(recorder.Take().empty());
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(Num(5), 7);
  EXPECT_EQ(Num(4), 104);
}

// A sort from the header menu moved the lines under an open editor, which then stored its text
// into whatever row had come to stand on its line.
TEST_F(CellEditTest, SortingFromTheHeaderStoresTheEditFirst) {
  AddRows(4);
  Show();
  ASSERT_NE(EditCell(0, 0, "500"), nullptr);
  ChooseMenuItem(kHeaderCmdSortDown);
  QTest::mouseClick(View()->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(10, View()->horizontalHeader()->height() / 2));
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(Num(0), 500);
  EXPECT_EQ(list.RowOfLine(0), 0) << "500 is the largest, first when descending";
  EXPECT_EQ(Num(3), 103);
}

}  // namespace
