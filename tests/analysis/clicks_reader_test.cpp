#include "analysis/clicks_reader.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/clicks_read_report.h"
#include "analysis/record_store.h"
#include "tests/analysis/clicks_test_support.h"

namespace {

using clicks_test::ClickLine;
using clicks_test::kHeader;

class ClicksReaderTest : public clicks_test::StoreTest {
 protected:
  std::vector<int> PosOf(const ObservationRecord& r) {
    return std::vector<int>(r.clicks.pos, r.clicks.pos + r.clickCount);
  }
};

// One station's file, written on Windows (CR LF), with a scrambled location, geoid height and
// ddeg. Expected values from the formulas of the calendar, Earth and horizontal functions,
// evaluated independently in double precision (Python, float inputs narrowed as the reader
// narrows them).
TEST_F(ClicksReaderTest, HandCheckedRecordOfOneStation) {
  ReadClicksCsv((clicks_test::kFixtureDir + "/two_stations/a/TKY01_clicks.csv").c_str());
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(store().recordCount, 1);
  const ObservationRecord& r = store().records[0];
  EXPECT_EQ(r.Y_ut, 2007);
  EXPECT_EQ(r.M_ut, 1);
  EXPECT_EQ(r.D_ut, 1);
  EXPECT_EQ(r.h_ut, 20);
  EXPECT_EQ(r.m_ut, 0);
  EXPECT_EQ(r.s_ut, 0.2f);
  EXPECT_STREQ(r.lid, "TKY");
  EXPECT_STREQ(r.sid, "01");
  EXPECT_EQ(r.lng, 139.7f);  // decoded from the scrambled fields
  EXPECT_EQ(r.lat, 35.7f);
  EXPECT_EQ(r.alt, 40.0f);
  EXPECT_EQ(r.gioidh, 36.5f);
  // AP.tz 32400: UT 2007-01-01 20:00:00.2 is local 2007-01-02 05:00:00; mjd stays UT.
  EXPECT_STREQ(r.localtime, "20070102_050000");
  EXPECT_STREQ(r.key, "20070102050000TKY01");
  EXPECT_NEAR(r.mjd, 54101.833335648174, 1e-10);
  EXPECT_NEAR(r.ttMjd, 54101.833708148173, 1e-10);
  EXPECT_NEAR(r.lstDeg, 180.79031658218562, 1e-9);
  EXPECT_NEAR(r.ecef[0], -3954858.9955996703, 1e-6);
  EXPECT_NEAR(r.ecef[1], 3353964.697837831, 1e-6);
  EXPECT_NEAR(r.ecef[2], 3701255.6454495513, 1e-6);
  EXPECT_EQ(store().minMjd, r.mjd);
  EXPECT_EQ(store().maxMjd, r.mjd);

  ASSERT_EQ(r.clickCount, 2);
  EXPECT_EQ(PosOf(r), (std::vector<int>{1, 2}));
  const Click& c = r.clicks;
  EXPECT_EQ(c.x[0], 320.5f);
  EXPECT_EQ(c.y[0], 240.2f);
  EXPECT_EQ(c.az[0], 296.70f);
  EXPECT_EQ(c.ev[0], 6.72f);
  EXPECT_EQ(c.ra[0], static_cast<double>(80.125f));
  EXPECT_EQ(c.dec[0], static_cast<double>(25.5f));
  EXPECT_EQ(c.ddeg[0], 0.05f);
  struct Vector {
    const char* name;
    const double (*v)[kMaxClicksPerRecord];
    double x, y, z;
  };
  const Vector kVectors[] = {
      {"sight", c.sight, 0.69998503106381837, 0.56972886308276971, 0.4306158135240738},
      {"planeNormal", c.planeNormal, -0.1070153844516113, 0.67984095624261298,
       -0.72550946355357993},
      {"sightPerturbed", c.sightPerturbed, 0.69946102490997708, 0.56954227902161403,
       0.43171271354773683},
      {"planeNormalPerturbed", c.planeNormalPerturbed, -0.10633659644860637,
       0.68028732047845131, -0.72519079548210974},
  };
  for (const Vector& v : kVectors) {
    SCOPED_TRACE(v.name);
    EXPECT_NEAR(v.v[0][0], v.x, 1e-12);
    EXPECT_NEAR(v.v[1][0], v.y, 1e-12);
    EXPECT_NEAR(v.v[2][0], v.z, 1e-12);
  }
}

TEST_F(ClicksReaderTest, CrLfBlankAndBadLinesAddNoClicks) {
  // Before, a CR LF file gave an empty line after every line, and an empty or unreadable line
  // repeated the previous line's click.
  std::string bytes = std::string(kHeader) + "\r\n" + ClickLine(0, 12.2, 1) + "\r\n\r\n" +
                      ClickLine(0, 12.3, 2) + "\r\n" +
                      "2007,01,01,20,00,x,9,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\r\n" +
                      "   \r" + ClickLine(0, 12.4, 3) + "\r" + ClickLine(0, 12.45, 4);
  std::string path = WriteFile("w_clicks.csv", bytes);
  ReadClicksCsv(path.c_str());
  ASSERT_EQ(store().recordCount, 1);
  EXPECT_EQ(PosOf(store().records[0]), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_STREQ(store().records[0].sid, "A");  // no CR in the last field
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Lines not read: 1\nFirst: " + path +
                                      " line 5: s_ut does not scan"}));
}

TEST_F(ClicksReaderTest, RefusesWhatWouldOverflowTheRecords) {
  std::string bytes = ClickLine(0, 1.0, 1) + "\n" +
                      ClickLine(0, 2.0, 1, "ST1", "A", std::string(1200, '0').c_str()) + "\n" +
                      ClickLine(0, 3.0, 1, "abcdefghijklmnopqrstuvwxyz0123456") + "\n" +
                      "1899,12,31,20,00,1.0,1,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\n" +
                      "2100,01,01,20,00,1.0,1,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\n";
  for (int pos = 2; pos <= 51; ++pos) bytes += ClickLine(0, 1.0, pos) + "\n";
  std::string path = WriteFile("big_clicks.csv", bytes);
  ReadClicksCsv(path.c_str());
  ASSERT_EQ(store().recordCount, 1);
  const ObservationRecord& r = store().records[0];
  ASSERT_EQ(r.clickCount, kMaxClicksPerRecord);
  EXPECT_EQ(r.clicks.pos[49], 50);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Lines not read: 5\nFirst: " + path +
                                                  " line 2: line longer than 1122 characters"}));

  // Each refusal by its words, as the first of its read.
  struct Case {
    std::string line;
    const char* words;
  };
  const Case kCases[] = {
      {ClickLine(0, 3.0, 1, "abcdefghijklmnopqrstuvwxyz0123456"), "lid longer than 31 characters"},
      {"1899,12,31,20,00,1.0,1,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0",
       "date outside 1900-2099"},
      {ClickLine(0, 1.0, 99), "more than 50 clicks in one record"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.words);
    scripted->ClearCalls();
    std::string one = WriteFile("one_clicks.csv", c.line + "\n");
    ReadClicksCsv(one.c_str());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Lines not read: 1\nFirst: " + one +
                                                    " line 1: " + c.words}));
  }
  EXPECT_EQ(store().recordCount, 1);
}

TEST_F(ClicksReaderTest, TheLongestLineTakenHas1122CharactersBeforeItsEnd) {
  // Characters after an empty scrambled field are not read, so they only lengthen the line.
  auto lineOf = [](size_t length, int pos) {
    std::string line = ClickLine(0, 1.0, pos) + ",,";
    line.append(length - line.size(), '9');
    return line;
  };
  struct Case {
    size_t length;
    const char* end;
    bool taken;
  };
  const Case kCases[] = {
      {1122, "\n", true}, {1122, "\r\n", true}, {1122, "", true},
      {1123, "\n", false}, {1123, "\r\n", false}, {1123, "", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.length << " characters, end \"" << c.end << "\"");
    EmptyRecordStore();
    scripted->ClearCalls();
    std::string path = WriteFile("long_clicks.csv",
                                 ClickLine(0, 1.0, 1) + "\n" + lineOf(c.length, 2) + c.end);
    ReadClicksCsv(path.c_str());
    ASSERT_EQ(store().recordCount, 1);
    if (c.taken) {
      EXPECT_EQ(PosOf(store().records[0]), (std::vector<int>{1, 2}));
      EXPECT_TRUE(Messages().empty());
    } else {
      EXPECT_EQ(PosOf(store().records[0]), (std::vector<int>{1}));
      const std::string report =
          "Lines not read: 1\nFirst: " + path + " line 2: line longer than 1122 characters";
      EXPECT_EQ(Messages(), (std::vector<std::string>{report}));
    }
  }
}

TEST_F(ClicksReaderTest, LinesOfOneSecondAndStationFormOneRecord) {
  std::string bytes =
      ClickLine(0, 12.2, 1, "ST1", "A", ",,,,") + "\n" +
      // Another station location and geoid height: the record keeps the first line's.
      "2007,01,01,20,00,12.4,2,1,1,1,1,1,1,_ST1,_A,140.00,36.00,99.0\n" +
      ClickLine(0, 12.3, 1, "AB", "C") + "\n" + ClickLine(0, 12.3, 1, "A", "BC") + "\n" +
      // Local 59.6 s and 0.2 s of the next minute are the same whole second.
      ClickLine(1, 59.6, 1, "ST2") + "\n" + ClickLine(2, 0.2, 2, "ST2") + "\n" +
      ClickLine(2, 0.6, 3, "ST2") + "\n";
  ReadClicksCsv(WriteFile("g_clicks.csv", bytes).c_str());
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(store().recordCount, 5);
  const ObservationRecord* r = store().records;
  EXPECT_EQ(PosOf(r[0]), (std::vector<int>{1, 2}));
  EXPECT_EQ(r[0].s_ut, 12.2f);
  EXPECT_EQ(r[0].lng, 139.7f);
  EXPECT_EQ(r[0].alt, 40.0f);
  EXPECT_EQ(r[0].gioidh, 35.0f);
  // ("AB", "C") and ("A", "BC") share the key text but are two stations.
  EXPECT_STREQ(r[1].key, "20070102050012ABC");
  EXPECT_STREQ(r[2].key, "20070102050012ABC");
  EXPECT_STREQ(r[1].lid, "AB");
  EXPECT_STREQ(r[2].lid, "A");
  // Before, 59.6 s gave the stamp "...050160" and a record apart from the next minute's lines.
  EXPECT_STREQ(r[3].localtime, "20070102_050200");
  EXPECT_STREQ(r[3].key, "20070102050200ST2A");
  EXPECT_EQ(PosOf(r[3]), (std::vector<int>{1, 2}));
  EXPECT_STREQ(r[4].localtime, "20070102_050201");
  EXPECT_LT(store().minMjd, store().maxMjd);
  EXPECT_EQ(store().minMjd, r[0].mjd);
  EXPECT_EQ(store().maxMjd, r[4].mjd);
}

TEST_F(ClicksReaderTest, TheStoreHoldsTenThousandRecordsAndSaysSoOnce) {
  std::string bytes = clicks_test::FullStoreLines();
  // Before, once the store was full, even a line of a record already stored ended the reading,
  // and the last record lost the rest of its clicks.
  bytes += "2007,01,01,00,00,00.0,2,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\n";
  bytes += "2007,01,01,23,00,00.0,1,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\n";
  std::string full = WriteFile("full_clicks.csv", bytes);
  std::string more = WriteFile("more_clicks.csv", ClickLine(0, 5.0, 1, "X") + "\n");
  {
    ClicksReadReport oneRead;
    ReadClicksCsv(full.c_str());
    ReadClicksCsv(more.c_str());
    ReadClicksCsv((dir.path() + "/missing_clicks.csv").c_str());
  }
  EXPECT_EQ(store().recordCount, kMaxRecords);
  EXPECT_EQ(store().stopReading, 1);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Too Many Records, Please change dir"}));
  EXPECT_STREQ(store().records[kMaxRecords - 1].localtime, "20070101_114639");
  EXPECT_EQ(store().records[0].clickCount, 2);
}

TEST_F(ClicksReaderTest, AFullStoreThatLosesNoRecordSaysNothing) {
  // The last record's further clicks still find room; no record was turned away.
  std::string bytes = clicks_test::FullStoreLines() +
                      "2007,01,01,02,46,39.3,2,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\n";
  ReadClicksCsv(WriteFile("full_clicks.csv", bytes).c_str());
  EXPECT_EQ(store().recordCount, kMaxRecords);
  EXPECT_EQ(store().stopReading, 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(PosOf(store().records[kMaxRecords - 1]), (std::vector<int>{1, 2}));
}

TEST_F(ClicksReaderTest, AFileThatCannotBeOpenedIsNamed) {
  std::string path = dir.path() + "/missing_clicks.csv";
  ReadClicksCsv(path.c_str());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"file " + path + " cannot open"}));
  EXPECT_EQ(store().recordCount, 0);
}

TEST_F(ClicksReaderTest, RefusedLinesOfSeveralFilesMakeOneReport) {
  std::string a = WriteFile("a_clicks.csv", ClickLine(0, 1, 1) + "\nbad\n");
  std::string b = WriteFile("b_clicks.csv", "bad\nbad\n");
  {
    ClicksReadReport oneRead;
    ReadClicksCsv(a.c_str());
    ReadClicksCsv(b.c_str());
    EXPECT_TRUE(Messages().empty());
  }
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Lines not read: 3\nFirst: " + a +
                                                  " line 2: Y_ut does not scan"}));
}

}  // namespace
