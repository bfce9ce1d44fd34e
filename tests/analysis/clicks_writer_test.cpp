#include "analysis/clicks_writer.h"

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/clicks_reader.h"
#include "analysis/clicks_scan.h"
#include "analysis/record_store.h"
#include "analysis/scrambler.h"
#include "analysis/selection.h"
#include "tests/analysis/clicks_test_support.h"

namespace {

using clicks_test::kHeader;
using platform::ScriptedPlatform;

class ClicksWriterTest : public clicks_test::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    savedSelection_ = selectedRecords.selectedCount;
    InstallScrambleClock([this] { return clock_; });
    scrambleState = 77;
  }
  void TearDown() override {
    InstallScrambleClock(nullptr);
    selectedRecords.selectedCount = savedSelection_;
    StoreTest::TearDown();
  }
  void SelectAll() {
    for (int i = 0; i < store().recordCount; ++i) selectedRecords.selected[i] = i;
    selectedRecords.selectedCount = store().recordCount;
  }
  std::string WriteAll(const std::string& name) {
    SelectAll();
    std::string path = dir.File(name);
    EXPECT_TRUE(WriteMergedClicksFile(path.c_str(), selectedRecords.selected,
                                      selectedRecords.selectedCount));
    return path;
  }

  ClockReading clock_{1168000000u, 250u};

 private:
  int32_t savedSelection_ = 0;
};

std::vector<std::string> SplitCrLfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t begin = 0;
  for (size_t end; (end = bytes.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
    lines.push_back(bytes.substr(begin, end - begin));
  }
  EXPECT_EQ(begin, bytes.size()) << "a line without CR LF at the end";
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

// A line with its scrambled fields (19 to 21) left out.
std::string WithoutScrambled(const std::string& line) {
  std::vector<std::string> f = Fields(line);
  EXPECT_EQ(f.size(), 23u) << line;
  std::string out;
  for (size_t i = 0; i < f.size(); ++i) {
    if (i >= 18 && i <= 20) continue;
    out += f[i] + ",";
  }
  return out;
}

TEST_F(ClicksWriterTest, TheCommandOffersTheMergedNameAndWritesUnderTheWaitCursor) {
  std::strcpy(AP.outdir, dir.path().c_str());
  std::string chosen = dir.File("merged_clicksb.csv");
  scripted->AnswerPath(chosen);
  WriteClicksCsv("20070105_");
  auto choosers = scripted->CallsOf(ScriptedPlatform::CallKind::kChooseFile);
  ASSERT_EQ(choosers.size(), 1u);
  const platform::FileRequest& request = choosers[0].file;
  EXPECT_EQ(request.title, "Write M*_clicksb.csv");
  EXPECT_EQ(request.proposed, dir.path() + "/M20070105__ALL_clicksb.csv");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].text, "CSV(*.csv)");
  EXPECT_EQ(request.filters[0].pattern, "*.csv");
  EXPECT_EQ(request.defaultExtension, "csv");
  EXPECT_TRUE(request.save);
  EXPECT_EQ(scripted->waitCursorsShown, 1);
  EXPECT_EQ(scripted->waitDepth, 0);
  // No selected record: the header line alone.
  EXPECT_EQ(nv4test::ReadFileBytes(chosen), std::string(kHeader) + "\r\n");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ClicksWriterTest, CancelWritesNothing) {
  std::strcpy(AP.outdir, dir.path().c_str());
  scripted->AnswerCancel();
  WriteClicksCsv("x");
  EXPECT_EQ(nv4test::ReadFileBytes(dir.path() + "/Mx_ALL_clicksb.csv"), "");
  EXPECT_EQ(scripted->waitCursorsShown, 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ClicksWriterTest, FailuresAreReportedNotHidden) {
  const int32_t none[] = {0};
  std::string missing = dir.path() + "/no/such/folder/m_clicksb.csv";
  EXPECT_FALSE(WriteMergedClicksFile(missing.c_str(), none, 0));
  // Before, a full disk went unnoticed and the command looked successful.
  EXPECT_FALSE(WriteMergedClicksFile("/dev/full", none, 0));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Cannot open " + missing, "Cannot write /dev/full"}));
}

TEST_F(ClicksWriterTest, ARecordGivesOneLinePerClickWithItsScrambledLocation) {
  ReadClicksCsv(WriteFile("in_clicks.csv",
                          "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,,"
                          "-58.38156,-34.60372,40.0\n"
                          "2007,01,01,20,00,12.3,4,11.5,21.5,101.25,31.5,81.125,26.5,_ST1,,"
                          "-58.38156,-34.60372,40.0,,,,36.6,0.07\n"
                          "2007,01,01,20,00,12.4,5,12.5,22.5,102.25,32.5,82.125,27.5,_ST1,_,"
                          "0,0,0,,,,,\n")
                    .c_str());
  ASSERT_EQ(store().recordCount, 1);
  std::vector<std::string> lines = SplitCrLfLines(nv4test::ReadFileBytes(WriteAll("m.csv")));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], kHeader);
  const char* kExpected[] = {
      "2007,01,01,20,00,12.200,3,10.5,20.5,100.25,30.50,80.125,25.500,_ST1,_,-58.38,-34.60,40.0,",
      "2007,01,01,20,00,12.200,4,11.5,21.5,101.25,31.50,81.125,26.500,_ST1,_,-58.38,-34.60,40.0,",
      "2007,01,01,20,00,12.200,5,12.5,22.5,102.25,32.50,82.125,27.500,_ST1,_,-58.38,-34.60,40.0,",
  };
  const char* kTails[] = {",35.00,0.0600", ",35.00,0.0600", ",35.00,0.0600"};
  std::vector<std::string> scrambled;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    std::vector<std::string> f = Fields(lines[i + 1]);
    ASSERT_EQ(f.size(), 23u);
    std::string front;
    for (int k = 0; k < 18; ++k) front += f[k] + ",";
    EXPECT_EQ(front, kExpected[i]);
    EXPECT_EQ("," + f[21] + "," + f[22], kTails[i]);
    scrambled.push_back(f[18] + "," + f[19] + "," + f[20]);
  }
  EXPECT_EQ(scrambled[1], scrambled[0]);
  EXPECT_EQ(scrambled[2], scrambled[0]);
  // The scrambled fields carry the location to 5 decimals, west and south included.
  std::vector<std::string> f = Fields(lines[1]);
  double lng = 0, lat = 0;
  UnscrambleLocation(std::stoul(f[18]), std::stoul(f[19]), kScrambleScaleAngleDeg,
                     std::stoul(f[20]), &lng, &lat);
  EXPECT_NEAR(lng, -58.38156, 1.1e-5);
  EXPECT_NEAR(lat, -34.60372, 1.1e-5);
}

TEST_F(ClicksWriterTest, NumbersAreWrittenTheCWayUnderAnyLocale) {
  ReadClicksCsv(WriteFile("in_clicks.csv", clicks_test::ClickLine(0, 12.25, 3) + "\n").c_str());
  ASSERT_EQ(store().recordCount, 1);
  nv4test::ScopedLocale german(nv4test::kGermanLocale);
  ASSERT_TRUE(german.ok());
  std::vector<std::string> lines = SplitCrLfLines(nv4test::ReadFileBytes(WriteAll("m.csv")));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(WithoutScrambled(lines[1]),
            "2007,01,01,20,00,12.250,3,10.5,20.5,100.25,30.50,80.125,25.500,_ST1,_A,139.70,35.70,"
            "40.0,35.00,0.0600,");
}

TEST_F(ClicksWriterTest, MergedFileReadsBackAndWritesAgainTheSameButForTheScrambledFields) {
  ScanClicksDir((clicks_test::kFixtureDir + "/two_stations").c_str());
  ReadClicksCsv(WriteFile("west_clicks.csv",
                          "2007,01,01,20,00,2.5,7,1.5,2.5,3.25,4.5,5.125,-6.5,_W,_s,"
                          "-58.38156,-34.60372,12.5,,,,-3.25,0.1\n")
                    .c_str());
  ASSERT_EQ(store().recordCount, 3);
  const ObservationRecord west = store().records[2];
  std::string first = nv4test::ReadFileBytes(WriteAll("first_clicksb.csv"));

  EmptyRecordStore();
  ReadClicksCsv(dir.File("first_clicksb.csv").c_str());
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(store().recordCount, 3);
  const ObservationRecord& back = store().records[2];
  EXPECT_STREQ(back.key, west.key);
  EXPECT_STREQ(back.sid, "s");
  EXPECT_EQ(back.clickCount, 1);
  // The station location comes back from the scrambled fields, not from the clear -58.38.
  EXPECT_LE(back.lng, -58.38155f);
  EXPECT_GE(back.lng, -58.38157f);
  EXPECT_LE(back.lat, -34.60371f);
  EXPECT_GE(back.lat, -34.60373f);
  EXPECT_EQ(back.gioidh, west.gioidh);

  clock_ = ClockReading{1168000999u, 999u};
  std::string second = nv4test::ReadFileBytes(WriteAll("second_clicksb.csv"));
  std::vector<std::string> a = SplitCrLfLines(first), b = SplitCrLfLines(second);
  ASSERT_EQ(a.size(), 6u);  // header and five clicks
  ASSERT_EQ(b.size(), a.size());
  EXPECT_EQ(b[0], a[0]);
  for (size_t i = 1; i < a.size(); ++i) {
    SCOPED_TRACE(a[i]);
    EXPECT_EQ(WithoutScrambled(b[i]), WithoutScrambled(a[i]));
    EXPECT_NE(Fields(b[i])[20], Fields(a[i])[20]) << "a fresh scrambling number per record";
  }
}

}  // namespace
