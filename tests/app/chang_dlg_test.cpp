// Change Pos on the demo tree, through its real window: what it shows, what OK and every other
// way of closing leave behind, and the map's rays following the selected lines.

#include "app/chang_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "analysis/clicks_writer.h"
#include "app/list_layouts.h"
#include "platform/qt/dialog_units.h"
#include "tests/app/chang_dlg_fixture.h"
#include "tests/support/hang_guard.h"
#include "tests/support/truth_files.h"
#include "ulib/ui/grid_scale.h"
#include "ulib/ui/list_placement.h"

namespace changtest {
namespace {

QString ItemText(QWidget* window, int itemId) {
  auto* label = qobject_cast<QLabel*>(platform::FindItem(window, itemId));
  return label ? label->text() : QString("(no item %1)").arg(itemId);
}

std::string Fixed2(float value) {
  char text[32];
  platform::FormatC(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

// Every line shows its row's click, in click order while the list is not sorted.
void ExpectListShowsClicks(CUList& list, const ObservationRecord& record) {
  ASSERT_EQ(list.lineCount(), record.clickCount);
  ASSERT_EQ(list.table()->rowCount, record.clickCount);
  EXPECT_EQ(list.HeaderText(0), "pos");
  EXPECT_EQ(list.HeaderText(1), "az");
  EXPECT_EQ(list.HeaderText(2), "ev");
  for (int line = 0; line < list.lineCount(); ++line) {
    SCOPED_TRACE(line);
    const int k = list.RowOfLine(line);
    EXPECT_EQ(k, line);
    EXPECT_EQ(list.CellTextAt(line, 0), std::to_string(record.clicks.pos[k]));
    EXPECT_EQ(list.CellTextAt(line, 1), Fixed2(record.clicks.az[k]));
    EXPECT_EQ(list.CellTextAt(line, 2), Fixed2(record.clicks.ev[k]));
    // The angles are the record's bits, not a rounding of them.
    EXPECT_EQ(std::memcmp(list.table()->LiveCell(k, kClickAz), &record.clicks.az[k], 4), 0);
    EXPECT_EQ(std::memcmp(list.table()->LiveCell(k, kClickEv), &record.clicks.ev[k], 4), 0);
  }
}

TEST_F(ChangDlgTest, ShowsTheResultsPairItsClicksAndItsRays) {
  ReadDemo();
  // The first event: NV01's and NV02's records of 15:12:04 UT, stamped in JST.
  const int pairRow = FindPair("20230813_0012", "NV01", "NV02");
  ASSERT_GE(pairRow, 0);
  const int resultRow = FindResult(pairRow, 7);
  ASSERT_GE(resultRow, 0);
  const int c1 = ResultInt(resultRow, kResultC1), c2 = ResultInt(resultRow, kResultC2);
  const ObservationRecord& record1 = Record1Of(pairRow);
  const ObservationRecord& record2 = Record2Of(pairRow);
  const std::vector<int> before1 = Positions(record1), before2 = Positions(record2);
  const std::vector<ResultLine> resultsBefore = Results();

  const int result = RunDialog(resultRow, [&](CChangDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Change Pos");
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
    EXPECT_EQ(dialog.size(), platform::DialogUnitsToPixels(0, 0, 209, 265).size());
    EXPECT_EQ(dialog.pairRow(), pairRow);
    EXPECT_EQ(dialog.record1(), &record1);
    EXPECT_EQ(dialog.record2(), &record2);
    EXPECT_EQ(dialog.click1(), c1);
    EXPECT_EQ(dialog.click2(), c2);

    // The texts, from the pair row as stored.
    EXPECT_EQ(ItemText(&dialog, kChangPairItem).toStdString(),
              "#" + std::to_string(PairInt(pairRow, kPairNumber)) + "  " +
                  PairText(pairRow, kPairLocaltime));
    EXPECT_TRUE(ItemText(&dialog, kChangPairItem).endsWith("  20230813_001204"));
    EXPECT_EQ(ItemText(&dialog, kChangId1Item), "ID1= NV01 A");
    EXPECT_EQ(ItemText(&dialog, kChangId2Item), "ID2= NV02 A");
    struct Item {
      int id, x, y, width, height;
    };
    for (const Item& item : {Item{kChangPairItem, 1, 6, 121, 8}, Item{kChangId1Item, 1, 20, 81, 8},
                             Item{kChangId2Item, 109, 20, 68, 8}}) {
      SCOPED_TRACE(item.id);
      QWidget* label = platform::FindItem(&dialog, item.id);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->geometry(),
                platform::DialogUnitsToPixels(item.x, item.y, item.width, item.height));
      auto* asLabel = qobject_cast<QLabel*>(label);
      ASSERT_NE(asLabel, nullptr);
      EXPECT_LE(asLabel->sizeHint().width(), label->width()) << "the text fits";
    }

    // OK, the default button, and Cancel at their places.
    auto* ok = qobject_cast<QPushButton*>(platform::FindItem(&dialog, 1));
    auto* cancel = qobject_cast<QPushButton*>(platform::FindItem(&dialog, 2));
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), platform::DialogUnitsToPixels(131, 1, 36, 14));
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_EQ(cancel->geometry(), platform::DialogUnitsToPixels(170, 1, 36, 14));

    // Both lists: every click of their record, the result's click selected.
    CUList& list1 = dialog.clickList1();
    CUList& list2 = dialog.clickList2();
    EXPECT_EQ(list1.layout(), &layoutC1);
    EXPECT_EQ(list1.table(), clickTable1);
    EXPECT_EQ(list2.layout(), &layoutC2);
    EXPECT_EQ(list2.table(), clickTable2);
    ExpectListShowsClicks(list1, record1);
    ExpectListShowsClicks(list2, record2);
    EXPECT_EQ(list1.SelectedLine(), c1);
    EXPECT_EQ(list2.SelectedLine(), c2);

    // Placed in grid units in the window, and again when it is resized.
    for (QSize size : {dialog.size(), dialog.size() + QSize(120, 80)}) {
      dialog.resize(size);
      for (CUList* list : {&list1, &list2}) {
        const ListRect r =
            PlaceScaledRect(*list->layout(), size.width(), size.height(), gridScaleX, gridScaleY);
        EXPECT_EQ(list->View()->geometry(), QRect(r.x, r.y, r.width, r.height));
      }
    }
    EXPECT_LE(list1.View()->geometry().right(), list2.View()->geometry().left())
        << "side by side";

    // The map shows the two records' rays, the result's clicks highlighted.
    EXPECT_EQ(selectionState.pairView, 1);
    EXPECT_EQ(selectionState.highlight1, c1);
    EXPECT_EQ(selectionState.highlight2, c2);
    const std::vector<std::uint8_t> shown = Picture();
    EXPECT_GT(CountColour(shown, 255, 255, 255), 50) << "station 1's white ray";
    EXPECT_GT(CountColour(shown, 0, 255, 255), 50) << "station 2's yellow ray";
    EXPECT_TRUE(shown == PictureOfRays(c1, c2));
    EXPECT_FALSE(shown == PictureOfRays(c1 + 3, c2));

    QTest::mouseClick(cancel, Qt::LeftButton);
  });

  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(clickTable1->rowCount, 0);
  EXPECT_EQ(clickTable2->rowCount, 0);
  EXPECT_EQ(selectionState.pairView, 0);
  EXPECT_EQ(Positions(record1), before1);
  EXPECT_EQ(Positions(record2), before2);
  EXPECT_EQ(Results(), resultsBefore);
}

// Until the dialog fills them the three texts show "---".
TEST_F(ChangDlgTest, TextsShowDashesUntilFilled) {
  ReadDemo();
  platform::ScriptedPlatform silent;  // records the texts, leaves the window alone
  platform::Platform* previous = platform::Install(&silent);
  RunDialog(0, [&](CChangDlg& dialog) {
    for (int id : {kChangPairItem, kChangId1Item, kChangId2Item}) {
      EXPECT_EQ(ItemText(&dialog, id), "---");
    }
    EXPECT_EQ(silent.itemTexts.count({static_cast<QWidget*>(&dialog), kChangId1Item}), 1u);
    dialog.reject();
  });
  platform::Install(previous);
}

TEST_F(ChangDlgTest, OpensTenPixelsRightOfWhereItWouldOpen) {
  ReadDemo();
  QDialog plain;
  plain.resize(platform::DialogUnitsToPixels(0, 0, 209, 265).size());
  plain.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain, nv4test::kHangGuardMs));
  const QPoint wouldOpen = plain.pos();
  plain.hide();
  RunDialog(0, [&](CChangDlg& dialog) {
    EXPECT_EQ(dialog.pos(), wouldOpen + QPoint(10, 0));
    dialog.reject();
  });
}

// Observer NV02 numbered the twelfth point of the 17:47 UT event 112; NV01 numbered it 12, so
// the pair had no result for it until the user renumbered NV02's click.
TEST_F(ChangDlgTest, OkWithTheEditStillOpenTriangulatesTheRenumberedPoint) {
  const fs::path night = demo / "20230812";
  RenumberPoint(night / "20230812_174718_NV02_clicks.csv", 12, 112);
  ReadDemo();
  const int pairRow = FindPair("20230813_0247", "NV01", "NV02");
  ASSERT_GE(pairRow, 0);
  ASSERT_EQ(FindResult(pairRow, 12), -1);
  ASSERT_EQ(FindResult(pairRow, 112), -1);
  const int anyResult = FindResult(pairRow, 1);
  ASSERT_GE(anyResult, 0);
  const ObservationRecord& nv02 = Record2Of(pairRow);
  ASSERT_STREQ(nv02.lid, "NV02");
  const int resultCount = resultTable->rowCount;
  std::vector<int> expected2 = Positions(nv02);
  const std::vector<int> before1 = Positions(Record1Of(pairRow));

  const int result = RunDialog(anyResult, [&](CChangDlg& dialog) {
    CUList& list2 = dialog.clickList2();
    const int line = LineShowingPos(list2, 112);
    ASSERT_GE(line, 0);
    expected2[list2.RowOfLine(line)] = 12;
    CCellEdit* editor = TypePos(&dialog, list2, line, "12");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "12");
    ASSERT_TRUE(list2.editing());
    // Not confirmed with Enter: OK itself must store it.
    QTest::mouseClick(platform::FindItem(&dialog, 1), Qt::LeftButton);
  });

  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(Positions(Record2Of(pairRow)), expected2);
  EXPECT_EQ(Positions(Record1Of(pairRow)), before1);
  EXPECT_EQ(clickTable1->rowCount, 0);
  EXPECT_EQ(clickTable2->rowCount, 0);
  EXPECT_EQ(selectionState.pairView, 0);

  // What the Main page runs after the dialog.
  SelectAndPair();
  EXPECT_EQ(resultTable->rowCount, resultCount + 1);
  const int newPair = FindPair("20230813_0247", "NV01", "NV02");
  const int row = FindResult(newPair, 12);
  ASSERT_GE(row, 0) << "a result for the renumbered point";
  const nv4test::TruePoint truth =
      nv4test::ReadTruthFile(night / "20230812_174718_truth.csv").at(12);
  // Clicks carry 0.02 degrees of noise: a few hundred metres at these distances.
  EXPECT_NEAR(ResultFloat(row, kResultLng), truth.lng, 0.01);
  EXPECT_NEAR(ResultFloat(row, kResultLat), truth.lat, 0.01);
  EXPECT_NEAR(ResultFloat(row, kResultH1) * 1000, truth.heightM, 1000);
  EXPECT_NEAR(ResultFloat(row, kResultH2) * 1000, truth.heightM, 1000);

  // "write clicks" carries the corrected number; the files read again bring the old one back.
  const fs::path merged = fs::path(::testing::TempDir()) /
                          ("nv4_chang_merged_" + std::to_string(::getpid())) /
                          "M_ALL_clicksb.csv";
  fs::create_directories(merged.parent_path());
  scripted.AnswerPath(merged.string());
  WriteClicksCsv("20230812");
  ASSERT_TRUE(fs::exists(merged));
  auto nv02Positions = [] {
    for (int i = 0; i < theRecordStore().recordCount; ++i) {
      const ObservationRecord& r = Record(i);
      if (std::strcmp(r.lid, "NV02") == 0 && std::strncmp(r.localtime, "20230813_0247", 13) == 0) {
        return Positions(r);
      }
    }
    return std::vector<int>();
  };
  EmptyRecordStore();
  ASSERT_EQ(ScanClicksDir(merged.parent_path().string().c_str()), 0);
  EXPECT_EQ(nv02Positions(), expected2) << "the merged file has 12";
  fs::remove_all(merged.parent_path());

  ReadDemo();
  std::vector<int> old = expected2;
  for (int& pos : old) pos = pos == 12 ? 112 : pos;
  EXPECT_EQ(nv02Positions(), old) << "the clicks files were not touched";
  EXPECT_EQ(FindResult(FindPair("20230813_0247", "NV01", "NV02"), 12), -1);
}

// Only OK writes back; every way of closing empties both tables and ends the pair view, so the
// next opening finds only its own rows.
TEST_F(ChangDlgTest, EveryWayOfClosing) {
  ReadDemo();
  const int pairRow = FindPair("20230813_0012", "NV01", "NV03");
  ASSERT_GE(pairRow, 0);
  const int resultRow = FindResult(pairRow, 3);
  ASSERT_GE(resultRow, 0);
  ObservationRecord& record1 = Record1Of(pairRow);
  ObservationRecord& record2 = Record2Of(pairRow);
  const std::vector<int> before1 = Positions(record1), before2 = Positions(record2);
  const std::vector<ResultLine> resultsBefore = Results();
  // Renumbered, station 2's first click matches nothing any more, in each pair of its record.
  const int record2Index = PairInt(pairRow, kPairRec2);
  int matchingFirstClick = 0;
  for (const ResultLine& r : resultsBefore) {
    const bool ofRecord2 = (PairInt(r.rline, kPairRec1) == record2Index && r.c1 == 0) ||
                           (PairInt(r.rline, kPairRec2) == record2Index && r.c2 == 0);
    matchingFirstClick += ofRecord2;
  }
  ASSERT_GT(matchingFirstClick, 0);

  enum class Edit { kNone, kOpen, kConfirmed };
  struct Case {
    const char* name;
    Edit edit;  // of station 2's first click: 77
    std::function<void(CChangDlg&)> close;
    int result;
  };
  auto key = [](Qt::Key k) {
    return [k](CChangDlg& dialog) {
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus && focus->window() == &dialog ? focus : &dialog, k);
    };
  };
  auto button = [](int id) {
    return [id](CChangDlg& dialog) {
      QTest::mouseClick(platform::FindItem(&dialog, id), Qt::LeftButton);
    };
  };
  const Case kCases[] = {
      {"OK, nothing changed", Edit::kNone, button(1), QDialog::Accepted},
      {"Cancel button", Edit::kConfirmed, button(2), QDialog::Rejected},
      {"Cancel with the edit open", Edit::kOpen, button(2), QDialog::Rejected},
      {"Escape", Edit::kConfirmed, key(Qt::Key_Escape), QDialog::Rejected},
      {"window manager's close", Edit::kConfirmed, [](CChangDlg& d) { d.close(); },
       QDialog::Rejected},
      {"window manager's close with the edit open", Edit::kOpen,
       [](CChangDlg& d) { d.close(); }, QDialog::Rejected},
      {"Enter", Edit::kConfirmed, key(Qt::Key_Return), QDialog::Accepted},
      {"OK with the edit open", Edit::kOpen, button(1), QDialog::Accepted},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const int result = RunDialog(resultRow, [&](CChangDlg& dialog) {
      // Nothing left over from the last opening.
      ASSERT_EQ(dialog.clickList1().lineCount(), record1.clickCount);
      ASSERT_EQ(dialog.clickList2().lineCount(), record2.clickCount);
      if (c.edit != Edit::kNone) {
        CCellEdit* editor = TypePos(&dialog, dialog.clickList2(), 0, "77");
        ASSERT_NE(editor, nullptr);
        if (c.edit == Edit::kConfirmed) {
          QTest::keyClick(editor, Qt::Key_Return);
          EXPECT_EQ(ReadCellInt(clickTable2->LiveCell(0, kClickPos)), 77);
          EXPECT_TRUE(dialog.isVisible()) << "Enter in the editor only stores the edit";
        }
      }
      c.close(dialog);
      EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(clickTable1->rowCount, 0);
    EXPECT_EQ(clickTable2->rowCount, 0);
    EXPECT_EQ(selectionState.pairView, 0);
    EXPECT_EQ(Positions(record1), before1);
    std::vector<int> expected2 = before2;
    if (c.result == QDialog::Accepted && c.edit != Edit::kNone) expected2[0] = 77;
    EXPECT_EQ(Positions(record2), expected2);

    SelectAndPair();
    if (expected2 == before2) {
      EXPECT_EQ(Results(), resultsBefore) << "the same pairs and results again";
    } else {
      EXPECT_EQ(resultTable->rowCount, static_cast<int>(resultsBefore.size()) - matchingFirstClick)
          << "station 2's first point no longer matches";
      std::copy(before2.begin(), before2.end(), record2.clicks.pos);
      SelectAndPair();
    }
    ASSERT_EQ(Results(), resultsBefore);
  }
}

// A record with no clicks lists nothing, and OK writes nothing into it.
TEST_F(ChangDlgTest, ARecordWithNoClicksGivesAnEmptyList) {
  ReadDemo();
  const int pairRow = FindPair("20230813_0012", "NV01", "NV02");
  ASSERT_GE(pairRow, 0);
  const int resultRow = FindResult(pairRow, 2);
  ASSERT_GE(resultRow, 0);
  ObservationRecord& record2 = Record2Of(pairRow);
  const ObservationRecord saved = record2;
  record2.clickCount = 0;
  const std::vector<int> before1 = Positions(Record1Of(pairRow));

  const int result = RunDialog(resultRow, [&](CChangDlg& dialog) {
    EXPECT_EQ(dialog.clickList2().lineCount(), 0);
    EXPECT_EQ(clickTable2->rowCount, 0);
    EXPECT_EQ(dialog.clickList2().SelectedLine(), -1);
    EXPECT_EQ(dialog.clickList2().CellTextAt(0, 0), "");
    EXPECT_EQ(dialog.clickList1().lineCount(), Record1Of(pairRow).clickCount);
    // Clicking into the empty list changes nothing.
    QTest::mouseClick(dialog.clickList2().View()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, 20));
    QTest::keyClick(dialog.clickList2().View(), Qt::Key_Down);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(selectionState.highlight2, ResultInt(resultRow, kResultC2));
    QTest::mouseClick(platform::FindItem(&dialog, 1), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(record2.clickCount, 0);
  EXPECT_EQ(std::memcmp(record2.clicks.pos, saved.clicks.pos, sizeof saved.clicks.pos), 0);
  EXPECT_EQ(Positions(Record1Of(pairRow)), before1);
  record2 = saved;
}

// A click, Up and Down move the station's highlighted ray to the line now selected, in both
// lists; the map is drawn again at once.
TEST_F(ChangDlgTest, HighlightFollowsTheSelectedLine) {
  ReadDemo();
  const int pairRow = FindPair("20230813_0012", "NV01", "NV02");
  ASSERT_GE(pairRow, 0);
  const int resultRow = FindResult(pairRow, 10);
  ASSERT_GE(resultRow, 0);

  RunDialog(resultRow, [&](CChangDlg& dialog) {
    struct Station {
      CUList* list;
      std::int32_t* highlight;
      const ObservationRecord* record;
    };
    const Station kStations[] = {
        {&dialog.clickList1(), &selectionState.highlight1, dialog.record1()},
        {&dialog.clickList2(), &selectionState.highlight2, dialog.record2()}};
    for (Station s : kStations) {
      CUList& list = *s.list;
      SCOPED_TRACE(list.layout() == &layoutC1 ? "C1" : "C2");
      auto expectFollows = [&](int line, const char* how) {
        SCOPED_TRACE(how);
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(list.SelectedLine(), line);
        EXPECT_EQ(*s.highlight, list.RowOfLine(line));
        EXPECT_TRUE(Picture() ==
                    PictureOfRays(selectionState.highlight1, selectionState.highlight2))
            << "the map shows the highlight";
      };
      ClickLine(list, 3);
      expectFollows(3, "click on az");
      ClickLine(list, 5, 0);
      expectFollows(5, "click on pos");
      list.View()->setFocus();
      QTest::keyClick(list.View(), Qt::Key_Down);
      expectFollows(6, "Down");
      QTest::keyClick(list.View(), Qt::Key_Down);
      expectFollows(7, "Down again");
      QTest::keyClick(list.View(), Qt::Key_Up);
      expectFollows(6, "Up");
      DoubleClick(&dialog, list, 9, 2);
      expectFollows(9, "double-click on ev");
      EXPECT_FALSE(list.editing());

      // Sorted by azimuth descending, lines and clicks part: the highlight is the click.
      list.Sort(kClickAz, -1);
      const float* az = s.record->clicks.az;
      const int clicks = s.record->clickCount;
      ClickLine(list, 0);
      expectFollows(0, "click on the first line of the sorted list");
      EXPECT_EQ(*s.highlight, std::max_element(az, az + clicks) - az)
          << "the click of the largest azimuth";
      QTest::keyClick(list.View(), Qt::Key_Down);
      expectFollows(1, "Down in the sorted list");
      EXPECT_EQ(std::count_if(az, az + clicks, [&](float a) { return a > az[*s.highlight]; }), 1)
          << "the click of the second largest azimuth";
      QTest::keyClick(list.View(), Qt::Key_Up);
      QTest::keyClick(list.View(), Qt::Key_Up);
      expectFollows(0, "Up stops at the first line");
    }
    EXPECT_EQ(selectionState.pairView, 1);
    dialog.reject();
  });
}

// Keys typed into an open editor stay there: the selection, the highlight and the map stay.
TEST_F(ChangDlgTest, KeysTypedInAnOpenEditorMoveNothing) {
  ReadDemo();
  const int pairRow = FindPair("20230813_0012", "NV01", "NV02");
  ASSERT_GE(pairRow, 0);
  const int resultRow = FindResult(pairRow, 10);
  ASSERT_GE(resultRow, 0);

  RunDialog(resultRow, [&](CChangDlg& dialog) {
    CUList& list = dialog.clickList1();
    CCellEdit* editor = TypePos(&dialog, list, 4, "40");
    ASSERT_NE(editor, nullptr);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(list.SelectedLine(), 4);
    ASSERT_EQ(selectionState.highlight1, list.RowOfLine(4));
    const std::vector<std::uint8_t> before = Picture();
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Up}) {
      QTest::keyClick(editor, k);
      QCoreApplication::sendPostedEvents();
      EXPECT_EQ(list.SelectedLine(), 4);
      EXPECT_EQ(selectionState.highlight1, list.RowOfLine(4));
      EXPECT_TRUE(list.editing());
    }
    EXPECT_TRUE(Picture() == before);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(ReadCellInt(clickTable1->LiveCell(list.RowOfLine(4), kClickPos)), 40);
    dialog.reject();
  });
}

}  // namespace
}  // namespace changtest
