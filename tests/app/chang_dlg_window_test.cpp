// Change Pos as the user meets it: opened by a right-click on a result of the Main page in the
// program's main window, modal over it, with its rays on the Ground Map page; and a picture of
// that for a person to look at.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTableView>

#include "app/chang_dlg.h"
#include "app/cu_dlg.h"
#include "app/page_main.h"
#include "tests/app/chang_dlg_fixture.h"
#include "tests/support/hang_guard.h"
#include "ulib/messages.h"

namespace changtest {
namespace {

// The main window with the dialogs open over it, as the screen shows them.
QImage ScreenOf(QWidget* main, const std::vector<QWidget*>& over) {
  QImage picture = main->grab().toImage();
  QPainter painter(&picture);
  for (QWidget* window : over) {
    painter.drawImage(window->geometry().topLeft() - main->geometry().topLeft(),
                      window->grab().toImage());
  }
  return picture;
}

TEST_F(ChangDlgTest, OpensFromTheMainPagesResultListOverTheMap) {
  std::snprintf(AP.indir, sizeof AP.indir, "%s", demo.string().c_str());
  AP.latest = 0;
  CUDlg main(nullptr);
  main.OnInitDialog();
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main, nv4test::kHangGuardMs));
  ASSERT_EQ(MainDialog, static_cast<QWidget*>(&main));
  CPageMain* mainPage = main.mainPage();
  ASSERT_NE(mainPage, nullptr);
  ASSERT_EQ(theGmapPage, main.gmapPage());
  // "read clicls", clicked through the window system as a person's click comes.
  QWidget* read = platform::FindItem(mainPage, kIdReadClicks);
  ASSERT_NE(read, nullptr);
  auto clickRead = [&] {
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      read->mapTo(&main, read->rect().center()));
  };
  clickRead();
  ASSERT_GT(theRecordStore().recordCount, 0);
  CUList& results = mainPage->resultList();
  ASSERT_GT(results.lineCount(), 0);

  const int pairRow = FindPair("20230813_0012", "NV01", "NV02");
  ASSERT_GE(pairRow, 0);
  const int resultRow = FindResult(pairRow, 10);
  ASSERT_GE(resultRow, 0);
  const int line = ReadCellInt(resultTable->LiveCell(resultRow, kResultDline));
  results.View()->scrollTo(results.View()->model()->index(line, 0));
  const int records = theRecordStore().recordCount;
  const int resultsBefore = resultTable->rowCount;

  bool seen = false;
  QTimer watcher;
  watcher.setInterval(10);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<CChangDlg*>(QApplication::activeModalWidget());
    if (!dialog || seen) return;
    seen = true;
    watcher.stop();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog, nv4test::kHangGuardMs))
        << "Change Pos not shown";
    EXPECT_EQ(dialog->parentWidget(), &main) << "modal over the main window";
    EXPECT_EQ(selectionState.selectedResult, resultRow);
    EXPECT_EQ(dialog->pairRow(), pairRow);
    EXPECT_EQ(dialog->clickList1().SelectedLine(), ResultInt(resultRow, kResultC1));

    // The main window takes no command while the dialog is open: a read of an empty folder
    // would have emptied the store.
    const fs::path empty = demo / "empty";
    fs::create_directories(empty);
    char indir[sizeof AP.indir];
    std::memcpy(indir, AP.indir, sizeof indir);
    std::snprintf(AP.indir, sizeof AP.indir, "%s", empty.string().c_str());
    clickRead();
    QCoreApplication::processEvents();
    EXPECT_EQ(theRecordStore().recordCount, records);
    EXPECT_TRUE(dialog->isVisible());
    std::memcpy(AP.indir, indir, sizeof indir);

    // Station 1's ray moves to its eighth click: white, station 2's yellow, on the map page.
    ClickLine(dialog->clickList1(), 7);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(selectionState.highlight1, 7);
    EXPECT_EQ(selectionState.pairView, 1);
    EXPECT_EQ(theGmapPage, main.gmapPage());
    EXPECT_TRUE(Picture() == PictureOfRays(7, selectionState.highlight2));
    EXPECT_GT(CountColour(Picture(), 255, 255, 255), 50);
    EXPECT_GT(CountColour(Picture(), 0, 255, 255), 50);
    QCoreApplication::processEvents();

    const QImage screen = ScreenOf(&main, {dialog});
    const std::string path = std::string(NV4_BINARY_DIR) + "/app_chang_dlg.png";
    EXPECT_TRUE(screen.save(QString::fromStdString(path), "PNG")) << path;

    QTest::mouseClick(platform::FindItem(dialog, 1), Qt::LeftButton);
  });
  watcher.start();
  QTest::mouseClick(results.View()->viewport(), Qt::RightButton, Qt::NoModifier,
                    results.View()->visualRect(results.View()->model()->index(line, 1)).center());
  QCoreApplication::processEvents();
  watcher.stop();
  ASSERT_TRUE(seen) << "no Change Pos opened";

  // After OK the page paired again: the same results, the map back to them.
  EXPECT_EQ(selectionState.pairView, 0);
  EXPECT_EQ(clickTable1->rowCount, 0);
  EXPECT_EQ(clickTable2->rowCount, 0);
  EXPECT_EQ(resultTable->rowCount, resultsBefore);
  EXPECT_EQ(results.lineCount(), resultsBefore);
  main.close();
}

}  // namespace
}  // namespace changtest
