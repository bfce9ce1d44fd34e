// Clicks files no station would write on purpose, read as the read command reads them: each one
// has a good line of station ST1 before the damage and one of ST2 after it, which must both be
// read, and the damage must be named in the one message of the read.

#include <cmath>
#include <cstring>
#include <string>

#include "analysis/record_store.h"
#include "tests/fuzz/fuzz_test_support.h"

namespace fuzz_test {
namespace {

constexpr const char* kHeader =
    "_Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,_x,_y,_az,_ev,_ra,_dec,_lid,_sid,_long,_lat,_alt,"
    ",,,_gioidh,_ddeg\n";
constexpr const char* kLineBefore =
    "2007,01,01,20,00,12.2,1,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,139.70,35.70,40.0\n";
constexpr const char* kLineAfter =
    "2007,01,01,20,00,12.5,1,10.5,20.5,100.25,30.5,80.125,25.5,_ST2,_A,135.50,35.70,40.0\n";

class HostileClicksTest : public FuzzEntryTest {
 protected:
  fuzz::ClicksRun Read(const std::string& bytes) { return Run(fuzz::FuzzClicksFile, bytes); }

  static const ObservationRecord* Station(const char* lid) {
    const RecordStore& store = theRecordStore();
    for (int i = 0; i < store.recordCount; ++i) {
      if (std::strcmp(store.records[i].lid, lid) == 0) return &store.records[i];
    }
    return nullptr;
  }
  // The good lines around the damage were both read, each as one click at its own station.
  static void ExpectGoodLinesRead(int st1Clicks = 1) {
    const ObservationRecord* before = Station("ST1");
    const ObservationRecord* after = Station("ST2");
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(before->clickCount, st1Clicks);
    EXPECT_EQ(before->clicks.pos[0], 1);
    EXPECT_EQ(before->lng, 139.70f);
    EXPECT_STREQ(before->localtime, "20070102_050012");
    EXPECT_EQ(after->clickCount, 1);
    EXPECT_EQ(after->lng, 135.50f);
    EXPECT_STREQ(after->localtime, "20070102_050012");
  }
  static std::string NotRead(int count, const fuzz::ClicksRun& run, int line,
                             const char* reason) {
    return "Lines not read: " + std::to_string(count) + "\nFirst: " + run.path + " line " +
           std::to_string(line) + ": " + reason;
  }
};

TEST_F(HostileClicksTest, BinaryGarbageBetweenGoodLines) {
  const fuzz::ClicksRun run = Read(Fixture("clicks/binary_garbage.bin"));
  ExpectGoodLinesRead();
  EXPECT_EQ(run.records, 2);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("Lines not read: ", 0), 0u) << Messages()[0];
  EXPECT_NE(Messages()[0].find("\nFirst: " + run.path + " line 3: "), std::string::npos)
      << Messages()[0];
}

TEST_F(HostileClicksTest, TenMegabyteLine) {
  std::string bytes = std::string(kHeader) + kLineBefore;
  const std::string piece = "1234567,89,";
  while (bytes.size() < 10'000'000) bytes += piece;
  bytes += "\n";
  bytes += kLineAfter;
  const fuzz::ClicksRun run = Read(bytes);
  ExpectGoodLinesRead();
  EXPECT_EQ(run.records, 2);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{NotRead(1, run, 3, "line longer than 1122 characters")});
}

TEST_F(HostileClicksTest, ZeroByteInsideALine) {
  // Refused for the zero byte itself, not for whatever field it happened to cut short.
  const fuzz::ClicksRun run = Read(Fixture("clicks/nul_in_line.csv"));
  ExpectGoodLinesRead();
  EXPECT_EQ(Messages(), std::vector<std::string>{NotRead(1, run, 3, "zero byte in line")});
}

TEST_F(HostileClicksTest, ZeroByteBeginningALine) {
  const fuzz::ClicksRun run = Read(Fixture("clicks/nul_first.csv"));
  ExpectGoodLinesRead();
  // Before, the line was taken for a blank one and dropped without a word.
  EXPECT_EQ(Messages(), std::vector<std::string>{NotRead(1, run, 3, "zero byte in line")});
}

TEST_F(HostileClicksTest, Utf16LittleEndian) {
  // Every character is followed by a zero byte, so no line has a field that scans. (The data
  // lines begin with the zero byte after the line feed: see ZeroByteBeginningALine.)
  const fuzz::ClicksRun run = Read(Fixture("clicks/utf16le.csv"));
  EXPECT_EQ(run.records, 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("Lines not read: ", 0), 0u) << Messages()[0];
  EXPECT_NE(Messages()[0].find("\nFirst: " + run.path + " line 1: "), std::string::npos)
      << Messages()[0];
}

TEST_F(HostileClicksTest, Utf16BigEndianWithoutMark) {
  const fuzz::ClicksRun run = Read(Fixture("clicks/utf16be_no_bom.csv"));
  EXPECT_EQ(run.records, 0);
  // Before, every line began with a zero byte and the file read as empty without a word.
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("Lines not read: 3\nFirst: " + run.path + " line 1: ", 0), 0u)
      << Messages()[0];
}

TEST_F(HostileClicksTest, NumbersOutOfTheOrdinary) {
  // Lines 3 to 9: seconds 1e999 (beyond the float range), ra -nan, x 0x1p3, ST3's longitude
  // 1e999, year 1e999 (scans as 1), month 99999999999 (beyond int32). Before, the infinite and
  // NaN values were stored: a station at an infinite longitude, a click with no direction.
  const fuzz::ClicksRun run = Read(Fixture("clicks/odd_numbers.csv"));
  ExpectGoodLinesRead(2);
  EXPECT_EQ(Messages(), std::vector<std::string>{NotRead(5, run, 3, "s_ut does not scan")});
  const ObservationRecord* st1 = Station("ST1");
  ASSERT_NE(st1, nullptr);
  EXPECT_EQ(st1->clicks.pos[1], 4);
  EXPECT_EQ(st1->clicks.x[1], 8.0f);
  EXPECT_EQ(Station("ST3"), nullptr);
  EXPECT_EQ(run.records, 2);
}

TEST_F(HostileClicksTest, DatesFarOutside) {
  // Years 0, 99999 and -2007 are refused; the last evening of 2099 UT is already 2100 local
  // time; 1900-01-01 00:00 UT and 2007-13-45 -3:00 (which carries into 2008-02-13) are read.
  const fuzz::ClicksRun run = Read(Fixture("clicks/far_dates.csv"));
  ExpectGoodLinesRead();
  EXPECT_EQ(Messages(), std::vector<std::string>{NotRead(4, run, 3, "date outside 1900-2099")});
  EXPECT_EQ(Station("ST3"), nullptr);
  const ObservationRecord* first = Station("ST4");
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->localtime, "19000101_090012");
  const ObservationRecord* carried = Station("ST5");
  ASSERT_NE(carried, nullptr);
  EXPECT_STREQ(carried->localtime, "20080214_060012");
  EXPECT_EQ(carried->M_ut, 13);
  EXPECT_EQ(run.records, 4);
}

}  // namespace
}  // namespace fuzz_test
