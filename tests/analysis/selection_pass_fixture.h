#pragma once
// What the tests of the selection pass share: fresh pair and result tables, an empty record
// store, default parameters, a scripted platform and a window link that counts its calls.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "analysis/local_stamp.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "analysis/window_link.h"
#include "geo/calendar.h"
#include "geo/earth.h"
#include "params/app_params.h"
#include "platform/scripted_platform.h"
#include "ulib/table_cell.h"

namespace nv4test {

class CountingWindowLink : public analysis::WindowLink {
 public:
  void ClearResultLists() override { ++clears; }
  void ReloadResultLists() override {
    ++reloads;
    pairsAtReload = pairTable->rowCount;
  }
  void RedrawMapAndStatus() override { ++redraws; }
  void UpdateStatusLine() override { ++statusLines; }
  int clears = 0, reloads = 0, redraws = 0, statusLines = 0;
  int pairsAtReload = -1;
};

class SelectionPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCalendarTables();
    SetDefaultAppParams();
    EmptyRecordStore();
    theRecordStore().busy = 0;
    selectionState = SelectionState{};
    pairTable = new CUTable(&PairTable);
    resultTable = new CUTable(&ResultTable);
    previousLink_ = analysis::InstallWindowLink(&link);
  }
  void TearDown() override {
    analysis::InstallWindowLink(previousLink_);
    delete resultTable;
    delete pairTable;
    resultTable = pairTable = nullptr;
    EmptyRecordStore();
  }

  // Sets the date range to [y1-m1-d1, y2-m2-d2).
  static void SetDates(int y1, int m1, int d1, int y2, int m2, int d2) {
    AP.y1 = y1, AP.m1 = m1, AP.d1 = d1;
    AP.y2 = y2, AP.m2 = m2, AP.d2 = d2;
  }

  // Appends a record with no clicks, stamped and keyed as the reader does it (AP.tz applies).
  static int AddRecord(const char* lid, const char* sid, float lng, float lat, int y, int mo,
                       int d, int h, int mi, float s) {
    RecordStore& store = theRecordStore();
    const int index = store.recordCount++;
    ObservationRecord& r = store.records[index];
    r = ObservationRecord{};
    r.Y_ut = y, r.M_ut = mo, r.D_ut = d, r.h_ut = h, r.m_ut = mi, r.s_ut = s;
    std::strncpy(r.lid, lid, kMaxIdChars);
    std::strncpy(r.sid, sid, kMaxIdChars);
    r.lng = lng, r.lat = lat, r.alt = 50, r.gioidh = 35;
    r.mjd = DateToMjd(y, mo, d, h, mi, s);
    r.ttMjd = DateToTtMjd(y, mo, d, h, mi, s);
    r.lstDeg = LocalSiderealDeg(y, mo, d, h, mi, s, lng);
    GeodeticToEcef(lng, lat, r.alt + r.gioidh, &r.ecef[0], &r.ecef[1], &r.ecef[2]);
    LocalStamp stamp{};
    EXPECT_TRUE(MakeLocalStamp(r.mjd, AP.tz, &stamp));
    FormatLocalStamp(stamp, r.localtime);
    std::snprintf(r.key, sizeof r.key, "%04d%02d%02d%02d%02d%02d%s%s", stamp.year, stamp.month,
                  stamp.day, stamp.hour, stamp.minute, stamp.second, lid, sid);
    return index;
  }

  static int PairInt(int row, int column) { return ReadCellInt(pairTable->LiveCell(row, column)); }
  static float PairFloat(int row, int column) {
    return ReadCellFloat(pairTable->LiveCell(row, column));
  }
  static std::string PairText(int row, int column) {
    return pairTable->GetStringOrEmpty(row, column);
  }

  platform::ScopedScriptedPlatform scripted;
  CountingWindowLink link;

 private:
  analysis::WindowLink* previousLink_ = nullptr;
};

}  // namespace nv4test
