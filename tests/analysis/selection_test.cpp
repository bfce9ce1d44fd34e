// The selection pass: which records are selected, their order, which of them pair, and what
// the pass tells the windows.

#include "analysis/selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

#include "analysis/pairing.h"
#include "tests/analysis/selection_pass_fixture.h"
#include "tests/support/locale_guard.h"

namespace nv4test {
namespace {

using CallKind = platform::ScriptedPlatform::CallKind;

// The longitude east of (lng, lat) at which the ground distance is distanceKm.
float LongitudeAtDistance(float lng, float lat, double distanceKm) {
  double lo = 0, hi = 1;
  for (int i = 0; i < 100; ++i) {
    const double mid = (lo + hi) / 2;
    (GroundDistanceKm(lng, lat, lng + mid, lat) < distanceKm ? lo : hi) = mid;
  }
  return static_cast<float>(lng + hi);
}

using SelectionTest = SelectionPassTest;

TEST_F(SelectionTest, DateRangeTakesFirstMidnightAndLeavesSecond) {
  struct Case {
    const char* what;
    int h, mi;
    float s;
    int dayOffset;  // from the first date, 2007-03-10
    bool selected;
  };
  const Case cases[] = {
      {"midnight of the first date", 0, 0, 0.0f, 0, true},
      {"last second before the first date", 23, 59, 59.9f, -1, false},
      {"last second of the range", 23, 59, 59.9f, 1, true},
      {"midnight of the second date", 0, 0, 0.0f, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EmptyRecordStore();
    SetDates(2007, 3, 10, 2007, 3, 12);
    AddRecord("ST1", "a", 135, 34, 2007, 3, 10 + c.dayOffset, c.h, c.mi, c.s);
    SelectAndPair();
    EXPECT_EQ(selectedRecords.selectedCount, c.selected ? 1 : 0);
  }
}

TEST_F(SelectionTest, EqualDatesSelectNothingAndSetTheDateRange) {
  AddRecord("ST1", "a", 135, 34, 2007, 3, 10, 0, 0, 0);
  SetDates(2007, 3, 10, 2007, 3, 10);
  dateRange = DateRange{};
  SelectAndPair();
  EXPECT_EQ(selectedRecords.selectedCount, 0);
  EXPECT_EQ(dateRange.date1.day, 10);
  EXPECT_EQ(dateRange.date2.year, 2007);
  EXPECT_EQ(link.redraws, 1);
  EXPECT_EQ(link.reloads, 0);
  EXPECT_EQ(link.statusLines, 1);
  EXPECT_EQ(pairTable->rowCount, 0);
}

TEST_F(SelectionTest, EmptyStoreGivesEmptyTablesAndStatusLine) {
  SelectAndPair();
  EXPECT_EQ(selectedRecords.selectedCount, 0);
  EXPECT_EQ(pairTable->rowCount, 0);
  EXPECT_EQ(resultTable->rowCount, 0);
  EXPECT_EQ(link.clears, 1);
  EXPECT_EQ(link.statusLines, 1);
  EXPECT_EQ(theRecordStore().busy, 0);
  EXPECT_EQ(scripted->waitDepth, 0);
  EXPECT_EQ(scripted->waitCursorsShown, 1);
}

TEST_F(SelectionTest, TheTenThousandthRecordInRangeStopsThePass) {
  SetDates(2007, 1, 1, 2007, 2, 1);
  // One record outside the range does not count.
  AddRecord("OUT", "a", 135, 34, 2006, 12, 31, 12, 0, 0);
  for (int i = 0; i < kMaxRecords - 1; ++i) {
    AddRecord(i % 2 ? "ST1" : "ST2", "a", i % 2 ? 135.0f : 136.0f, 34, 2007, 1, 1 + i / 3600,
              i % 3600 / 60, 0, static_cast<float>(i % 60));
  }
  ASSERT_EQ(theRecordStore().recordCount, kMaxRecords);

  SelectAndPair();
  EXPECT_EQ(selectedRecords.selectedCount, kMaxRecords - 1);
  EXPECT_TRUE(scripted->CallsOf(CallKind::kMessage).empty());
  EXPECT_GT(pairTable->rowCount, 0);
  EXPECT_EQ(link.reloads, 1);

  // One more record in range: the 10000th. The store holds 10000, so drop the one outside.
  ObservationRecord& outside = theRecordStore().records[0];
  outside.mjd = DateToMjd(2007, 1, 20, 0, 0, 0);
  link = CountingWindowLink{};
  SelectAndPair();
  const auto messages = scripted->CallsOf(CallKind::kMessage);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Too Many records");
  EXPECT_EQ(messages[0].caption, "NortavelV4");
  EXPECT_EQ(selectedRecords.selectedCount, kMaxRecords);
  EXPECT_EQ(pairTable->rowCount, 0);
  EXPECT_EQ(resultTable->rowCount, 0);
  EXPECT_EQ(link.clears, 1);
  EXPECT_EQ(link.reloads, 0);
  EXPECT_EQ(link.redraws, 0);
  EXPECT_EQ(link.statusLines, 1);
  EXPECT_EQ(theRecordStore().busy, 0);
}

TEST_F(SelectionTest, BusyStoreLeavesEverythingAsItWas) {
  AddRecord("ST1", "a", 135, 34, 2007, 1, 1, 12, 0, 0);
  AddRecord("ST2", "a", 136, 34, 2007, 1, 1, 12, 0, 1);
  SetDates(2007, 1, 1, 2007, 1, 2);
  SelectAndPair();
  ASSERT_EQ(pairTable->rowCount, 1);
  theRecordStore().busy = 1;
  link = CountingWindowLink{};
  SelectAndPair();
  EXPECT_EQ(pairTable->rowCount, 1);
  EXPECT_EQ(link.clears + link.reloads + link.redraws + link.statusLines, 0);
  EXPECT_EQ(theRecordStore().busy, 1);
}

// Before, the selected rows survived the emptying of the tables and pointed at dead rows.
TEST_F(SelectionTest, PassForgetsTheSelectedPairAndResult) {
  AddRecord("ST1", "a", 135, 34, 2007, 1, 1, 12, 0, 0);
  AddRecord("ST2", "a", 136, 34, 2007, 1, 1, 12, 0, 1);
  SetDates(2007, 1, 1, 2007, 1, 2);
  selectionState.selectedPair = 3;
  selectionState.selectedResult = 7;
  SelectAndPair();
  EXPECT_EQ(selectionState.selectedPair, -1);
  EXPECT_EQ(selectionState.selectedResult, -1);
}

TEST_F(SelectionTest, PassStartsFromEmptyTablesAndNumbersFromOne) {
  AddRecord("ST1", "a", 135, 34, 2007, 1, 1, 12, 0, 0);
  AddRecord("ST2", "a", 136, 34, 2007, 1, 1, 12, 0, 1);
  SetDates(2007, 1, 1, 2007, 1, 2);
  // Rows a list left behind, one of them dead.
  for (int i = 0; i < 3; ++i) pairTable->AddRow();
  pairTable->DeleteRow(0);
  resultTable->AddRow();
  nextPairNumber = 42;
  SelectAndPair();
  ASSERT_EQ(pairTable->rowCount, 1);
  EXPECT_EQ(PairInt(0, kPairNumber), 1);
  EXPECT_EQ(nextPairNumber, 2);
  EXPECT_EQ(link.pairsAtReload, 1);
}

TEST_F(SelectionTest, TimeDifferenceAndGroundDistanceDecidePairs) {
  const float lng1 = 135.0f, lat = 34.0f;
  struct Case {
    const char* what;
    float apDt, apGd;
    float s1, s2;  // seconds of the two records, 12:00 UT
    double gdKm;   // ground distance of the two stations
    bool sameStation;
    bool pairs;
  };
  const Case cases[] = {
      {"3.0 s apart, AP.dt 3", 3, 10, 10.0f, 13.0f, 50, false, true},
      {"3.1 s apart, AP.dt 3", 3, 10, 10.0f, 13.1f, 50, false, false},
      // Before, the rounding of the record times made these fail to pair.
      {"exactly AP.dt apart at 12.2 s", 3, 10, 12.2f, 15.2f, 50, false, true},
      {"exactly AP.dt apart at 44.7 s", 0.3f, 10, 44.7f, 45.0f, 50, false, true},
      {"9.9 km apart, AP.GD 10", 3, 10, 10.0f, 11.0f, 9.9, false, false},
      {"10.001 km apart, AP.GD 10", 3, 10, 10.0f, 11.0f, 10.001, false, true},
      {"one station, AP.GD 0", 3, 0, 10.0f, 11.0f, 0, true, true},
      {"one station, AP.GD 10", 3, 10, 10.0f, 11.0f, 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EmptyRecordStore();
    AP.dt = c.apDt;
    AP.GD = c.apGd;
    SetDates(2007, 1, 1, 2007, 1, 2);
    const float lng2 = c.sameStation ? lng1 : LongitudeAtDistance(lng1, lat, c.gdKm);
    AddRecord("ST1", "a", lng1, lat, 2007, 1, 1, 12, 0, c.s1);
    AddRecord(c.sameStation ? "ST1" : "ST2", c.sameStation ? "b" : "a", lng2, lat, 2007, 1, 1,
              12, 0, c.s2);
    SelectAndPair();
    EXPECT_EQ(pairTable->rowCount, c.pairs ? 1 : 0);
    if (c.pairs && pairTable->rowCount == 1) {
      EXPECT_NEAR(PairFloat(0, kPairDt), c.s2 - c.s1, 1e-3);
      EXPECT_NEAR(PairFloat(0, kPairGd), c.gdKm, 1e-3);
    }
  }
}

TEST_F(SelectionTest, LaterKeyWithEarlierTimePairsWhateverAPdt) {
  AP.dt = 0;
  SetDates(2007, 1, 1, 2007, 1, 2);
  // Both round to the local second 12:00:12; "AAA" sorts first but was 0.4 s later.
  AddRecord("BBB", "a", 136, 34, 2007, 1, 1, 12, 0, 12.0f);
  AddRecord("AAA", "a", 135, 34, 2007, 1, 1, 12, 0, 12.4f);
  SelectAndPair();
  ASSERT_EQ(pairTable->rowCount, 1);
  EXPECT_EQ(PairText(0, kPairId1), "AAA");
  EXPECT_NEAR(PairFloat(0, kPairDt), -0.4, 1e-3);
}

TEST_F(SelectionTest, ThreeStationsGiveThreePairsInKeyOrder) {
  SetDates(2007, 1, 1, 2007, 1, 2);
  // Stored out of key order on purpose.
  const int r3 = AddRecord("ST3", "c", 136.0f, 34.5f, 2007, 1, 1, 20, 0, 1.5f);
  const int r1 = AddRecord("ST1", "a", 135.0f, 34.0f, 2007, 1, 1, 20, 0, 0.9f);
  const int r2 = AddRecord("ST2", "b", 135.5f, 35.0f, 2007, 1, 1, 20, 0, 1.2f);
  SelectAndPair();
  ASSERT_EQ(pairTable->rowCount, 3);
  struct Expected {
    const char* id1;
    const char* s1;
    const char* id2;
    const char* s2;
    int rec1, rec2;
    float dt;
  };
  const Expected expected[] = {{"ST1", "a", "ST2", "b", r1, r2, 0.3f},
                               {"ST1", "a", "ST3", "c", r1, r3, 0.6f},
                               {"ST2", "b", "ST3", "c", r2, r3, 0.3f}};
  const ObservationRecord* records = theRecordStore().records;
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    const Expected& e = expected[row];
    const ObservationRecord& a = records[e.rec1];
    const ObservationRecord& b = records[e.rec2];
    EXPECT_EQ(PairInt(row, kPairNumber), row + 1);
    EXPECT_EQ(PairText(row, kPairLocaltime), "20070102_050001");
    EXPECT_EQ(PairText(row, kPairId1), e.id1);
    EXPECT_EQ(PairText(row, kPairS1), e.s1);
    EXPECT_EQ(PairText(row, kPairId2), e.id2);
    EXPECT_EQ(PairText(row, kPairS2), e.s2);
    EXPECT_NEAR(PairFloat(row, kPairDt), e.dt, 1e-3);
    EXPECT_FLOAT_EQ(PairFloat(row, kPairGd),
                    static_cast<float>(GroundDistanceKm(a.lng, a.lat, b.lng, b.lat)));
    EXPECT_EQ(PairFloat(row, kPairLng1), a.lng);
    EXPECT_EQ(PairFloat(row, kPairLat1), a.lat);
    EXPECT_EQ(PairFloat(row, kPairAlt1), a.alt);
    EXPECT_EQ(PairFloat(row, kPairGioidh1), a.gioidh);
    EXPECT_EQ(PairFloat(row, kPairLng2), b.lng);
    EXPECT_EQ(PairFloat(row, kPairLat2), b.lat);
    EXPECT_EQ(PairFloat(row, kPairAlt2), b.alt);
    EXPECT_EQ(PairFloat(row, kPairGioidh2), b.gioidh);
    EXPECT_EQ(ReadCellUint(pairTable->LiveCell(row, kPairMark)), 1u);
    EXPECT_EQ(PairInt(row, kPairWork), 0);
    EXPECT_EQ(PairInt(row, kPairRec1), e.rec1);
    EXPECT_EQ(PairInt(row, kPairRec2), e.rec2);
    EXPECT_EQ(PairInt(row, kPairDline), 0);
    EXPECT_EQ(PairInt(row, kPairItemdata), 0);
  }
  EXPECT_EQ(nextPairNumber, 4);
}

// The pair CSV: the written columns by name and in order, each with its value.
TEST_F(SelectionTest, PairCsvWritesTheNumberedColumnsInOrder) {
  SetDates(2007, 1, 1, 2007, 1, 2);
  AddRecord("ST1", "a", 135.0f, 34.0f, 2007, 1, 1, 20, 0, 0.9f);
  AddRecord("ST2", "b", 135.5f, 35.0f, 2007, 1, 1, 20, 0, 1.2f);
  SelectAndPair();
  ASSERT_EQ(pairTable->rowCount, 1);
  TempDir dir;
  const std::string path = dir.File("NVpair.csv");
  ASSERT_TRUE(pairTable->WriteCsv(path.c_str(), 0, 0, 0, 0));
  const std::string text = ReadFileBytes(path);

  const std::string header =
      "_Version,_#,_localtime,_ID1,_s1,_ID2,_s2,_GD,_DT,_lng1,_lat1,_alt1,_gioidh1,_lng2,_lat2,"
      "_alt2,_gioidh2\r\n";
  ASSERT_EQ(text.substr(0, header.size()), header);
  std::string expected = "512,1,_20070102_050001,_ST1,_a,_ST2,_b";
  const int floatColumns[] = {kPairGd,      kPairDt,   kPairLng1, kPairLat1, kPairAlt1,
                              kPairGioidh1, kPairLng2, kPairLat2, kPairAlt2, kPairGioidh2};
  for (int column : floatColumns) {
    char field[64];
    std::snprintf(field, sizeof field, ",%f", static_cast<double>(PairFloat(0, column)));
    expected += field;
  }
  EXPECT_EQ(text.substr(header.size()), expected + "\r\n");
}

TEST_F(SelectionTest, StationsWhoseValuesAreNotFiniteDoNotPair) {
  SetDates(2007, 1, 1, 2007, 1, 2);
  AddRecord("ST1", "a", 135, 34, 2007, 1, 1, 12, 0, 0);
  const int bad = AddRecord("ST2", "a", 136, 34, 2007, 1, 1, 12, 0, 1);
  theRecordStore().records[bad].alt = std::nanf("");
  SelectAndPair();
  EXPECT_EQ(pairTable->rowCount, 0);
}

// Before, an unsorted selection (left by the old quicksort) put a later record first,
// and its negative time difference paired records hours apart.
TEST_F(SelectionTest, RecordsHoursApartNeverPair) {
  SetDates(2007, 1, 1, 2007, 1, 2);
  // Keys ranked 3, 4, 2, 1 in store order.
  AddRecord("ST3", "a", 135, 34, 2007, 1, 1, 3, 0, 0);
  AddRecord("ST4", "a", 136, 34, 2007, 1, 1, 4, 0, 0);
  AddRecord("ST2", "a", 137, 34, 2007, 1, 1, 2, 0, 0);
  AddRecord("ST1", "a", 138, 34, 2007, 1, 1, 1, 0, 0);
  SelectAndPair();
  EXPECT_EQ(pairTable->rowCount, 0);
  const std::vector<int> order(selectedRecords.selected, selectedRecords.selected + 4);
  EXPECT_EQ(order, (std::vector<int>{3, 2, 0, 1}));
}

// The pairs of the pass are those of comparing every two selected records, also when record
// times disagree with the order of their keys (the scan over later records may end early).
TEST_F(SelectionTest, PairsAreThoseOfTheFullComparison) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> jitterSec(-3.0, 3.0);
  SetDates(2007, 1, 1, 2007, 1, 3);
  AP.dt = 2;
  AP.GD = 5;
  for (int i = 0; i < 600; ++i) {
    const float lng = 135.0f + 0.2f * static_cast<float>(i % 4);
    const int index = AddRecord(i % 3 == 0 ? "A" : "B", "s", lng, 34, 2007, 1, 1, 12, i / 60,
                                static_cast<float>(i % 60));
    // Times that stray from their keys by up to 3 s each way, some far off.
    ObservationRecord& r = theRecordStore().records[index];
    r.mjd += (i % 97 == 0 ? -3600.0 : jitterSec(rng)) / 86400.0;
  }
  SelectAndPair();

  const ObservationRecord* records = theRecordStore().records;
  std::vector<std::pair<int, int>> expected, actual;
  const int n = selectedRecords.selectedCount;
  for (int i = 0; i + 1 < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      const ObservationRecord& a = records[selectedRecords.selected[i]];
      const ObservationRecord& b = records[selectedRecords.selected[j]];
      const double dt = (b.mjd - a.mjd) * 24 * 3600;
      if (dt <= AP.dt + kPairTimeSlackSec && GroundDistanceKm(a.lng, a.lat, b.lng, b.lat) >= AP.GD)
        expected.emplace_back(selectedRecords.selected[i], selectedRecords.selected[j]);
    }
  }
  for (int row = 0; row < pairTable->rowCount; ++row)
    actual.emplace_back(PairInt(row, kPairRec1), PairInt(row, kPairRec2));
  EXPECT_GT(expected.size(), 100u);
  EXPECT_EQ(actual, expected);
}

using SortTest = SelectionPassTest;

// Keys in store order; the sorted selection as record indices.
std::vector<int> SortedOrder(const std::vector<std::string>& keys) {
  RecordStore& store = theRecordStore();
  EmptyRecordStore();
  for (size_t i = 0; i < keys.size(); ++i) {
    std::snprintf(store.records[i].key, sizeof store.records[i].key, "%s", keys[i].c_str());
    selectedRecords.selected[i] = static_cast<int>(i);
  }
  store.recordCount = selectedRecords.selectedCount = static_cast<int>(keys.size());
  SortSelectionByKey(0, static_cast<int>(keys.size()) - 1);
  return std::vector<int>(selectedRecords.selected, selectedRecords.selected + keys.size());
}

TEST_F(SortTest, PermutationsComeOutSorted) {
  struct Case {
    std::vector<std::string> keys;
    std::vector<int> order;
  };
  const Case cases[] = {
      // Left unsorted (as 1, 3, 2, 4) by the quicksort that reads its pivot again.
      {{"k3", "k4", "k2", "k1"}, {3, 2, 0, 1}},
      {{"k2", "k1"}, {1, 0}},
      {{"k1"}, {0}},
      // Bytes compare unsigned: 0xE9 after 'z'.
      {{"\xE9", "z", "A"}, {2, 1, 0}},
      // Equal keys keep the order of their records.
      {{"b", "a", "b", "a", "b"}, {1, 3, 0, 2, 4}},
      {{"20070101120000AB", "20070101120000A", "20070101115959ZZ"}, {2, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys[0]);
    EXPECT_EQ(SortedOrder(c.keys), c.order);
  }
}

TEST_F(SortTest, LargeRandomSelectionsComeOutSortedAndStable) {
  std::mt19937 rng(99);
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    std::vector<std::string> keys(3000);
    for (std::string& key : keys) key = "2007010112" + std::to_string(rng() % 500);
    std::vector<int> expected(keys.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](int a, int b) { return std::strcmp(keys[a].c_str(), keys[b].c_str()) < 0; });
    EXPECT_EQ(SortedOrder(keys), expected);
  }
}

TEST_F(SortTest, SortsOnlyTheStretchAsked) {
  const std::vector<std::string> keys = {"d", "c", "b", "a"};
  RecordStore& store = theRecordStore();
  for (size_t i = 0; i < keys.size(); ++i) {
    std::snprintf(store.records[i].key, sizeof store.records[i].key, "%s", keys[i].c_str());
    selectedRecords.selected[i] = static_cast<int>(i);
  }
  store.recordCount = 4;
  SortSelectionByKey(1, 2);
  EXPECT_EQ(std::vector<int>(selectedRecords.selected, selectedRecords.selected + 4),
            (std::vector<int>{0, 2, 1, 3}));
}

}  // namespace
}  // namespace nv4test
