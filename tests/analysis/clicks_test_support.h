#pragma once
// What the clicks reader, walk and writer tests share: a fresh record store under a scripted
// platform, and clicks lines made to order.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/record_store.h"
#include "geo/calendar.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"
#include "ulib/messages.h"

namespace clicks_test {

inline const std::string kFixtureDir =
    std::string(NV4_SOURCE_DIR) + "/tests/fixtures/analysis/clicks";

inline constexpr const char* kHeader =
    "_Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,_x,_y,_az,_ev,_ra,_dec,_lid,_sid,_long,_lat,_alt,"
    ",,,_gioidh,_ddeg";

// A clicks line of 2007-01-01 20:mm:ss UT with the rest of the fields fixed.
inline std::string ClickLine(int minute, double second, int pos, const char* lid = "ST1",
                             const char* sid = "A", const char* tail = "") {
  return platform::StringPrintfC(
      "2007,01,01,20,%02d,%.3f,%d,10.5,20.5,100.25,30.5,80.125,25.5,_%s,_%s,139.70,35.70,40.0%s",
      minute, second, pos, lid, sid, tail);
}

// kMaxRecords lines, each a record of its own: one a second from 2007-01-01 00:00:00 UT.
inline std::string FullStoreLines() {
  std::string bytes;
  for (int i = 0; i < kMaxRecords; ++i) {
    bytes += platform::StringPrintfC(
        "2007,01,01,%02d,%02d,%02d.0,1,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\n", i / 3600,
        i / 60 % 60, i % 60);
  }
  return bytes;
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCalendarTables();
    savedParams_ = AP;
    AP.tz = 32400;
    EmptyRecordStore();
    MainDialog = &mainWindowTag_;
  }
  void TearDown() override {
    MainDialog = nullptr;
    AP = savedParams_;
    EmptyRecordStore();
  }

  RecordStore& store() { return theRecordStore(); }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& call : scripted->CallsOf(platform::ScriptedPlatform::CallKind::kMessage)) {
      EXPECT_EQ(call.caption, "NortavelV4");
      texts.push_back(call.text);
    }
    return texts;
  }
  std::string Caption() { return scripted->windowTexts[MainDialog]; }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::string path = dir.File(name);
    nv4test::WriteFileBytes(path, bytes);
    return path;
  }

  platform::ScopedScriptedPlatform scripted;
  nv4test::TempDir dir;

 private:
  AppParams savedParams_{};
  int mainWindowTag_ = 0;
};

}  // namespace clicks_test
