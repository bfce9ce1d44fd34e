#pragma once
// A shown parent window with one bound list over a table of the every-type kind.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "platform/scripted_platform.h"
#include "tests/support/hang_guard.h"
#include "tests/support/modal_watchdog.h"
#include "tests/ulib/ui/list_fixture.h"
#include "ulib/ui/cu_list.h"

namespace listtest {

class ListWidgetTest : public ::testing::Test {
 protected:
  ListWidgetTest() : table(&kEveryType), layout(MakeLayout()), recorder(&parent) {
    parent.resize(640, 400);
  }

  // Binds, places and reloads the list and shows the parent.
  void Show() {
    list.Bind(&parent, &layout, &table);
    list.Place(parent.rect());
    list.Reload(0, 0);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent, nv4test::kHangGuardMs));
    recorder.Watch(&list);
    recorder.Take();
  }

  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      const int row = AddRow(table, 100 + i, 0.5f * i, ("row" + std::to_string(i)).c_str());
      WriteCellDouble(table.CellForWrite(row, kDouble), i * 1.25);
    }
  }

  QTableView* View() { return list.View(); }
  QWidget* Viewport() { return list.View()->viewport(); }
  QPoint CellCenter(int line, int listColumn) {
    return View()->visualRect(View()->model()->index(line, listColumn)).center();
  }
  QPoint BelowLastLine() {
    const QRect last = View()->visualRect(View()->model()->index(list.lineCount() - 1, 0));
    return QPoint(last.center().x(), last.bottom() + 20);
  }
  QString Shown(int line, int listColumn) {
    return View()->model()->index(line, listColumn).data().toString();
  }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Viewport(), button, Qt::NoModifier, at);
  }
  // A double-click as the window system delivers it: press, release, press, double-click,
  // release.
  void DoubleClick(QPoint at) {
    QTest::mouseDClick(parent.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       Viewport()->mapTo(&parent, at));
  }
  void Key(Qt::Key key) { QTest::keyClick(View(), key); }
  int TableColumnAt(int listColumn) {
    return layout.columns[layout.columns[listColumn].layoutColumnAt].tableColumn;
  }

  platform::ScopedScriptedPlatform scripted;
  QWidget parent;
  CUTable table;
  ListLayout layout;
  MessageRecorder recorder;
  CUList list;
  // A dialog or menu that no test step answers would wait for a person: it fails the test.
  nv4test::ModalWatchdog watchdog;
};

}  // namespace listtest
