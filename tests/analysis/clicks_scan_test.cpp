#include "analysis/clicks_scan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/record_store.h"
#include "analysis/scrambler.h"
#include "tests/analysis/clicks_test_support.h"
#include "tools/clicks_gen/sample_sets.h"

namespace {

using clicks_test::ClickLine;

TEST(IsClicksFileName, ExactLowerCaseEndings) {
  struct Case {
    const char* name;
    bool read;
  };
  const Case kCases[] = {
      {"20070101_clicks.csv", true}, {"Mx_ALL_clicksb.csv", true}, {"clicks.csv", true},
      {"clicksb.csv", true},         {"licks.csv", false},         {"x_CLICKS.CSV", false},
      {"x_clicks.CSV", false},       {"x_clicks.csv.bak", false},  {"x_clicksc.csv", false},
      {"x_clicks.txt", false},       {"", false},
  };
  for (const Case& c : kCases) EXPECT_EQ(IsClicksFileName(c.name), c.read) << c.name;
}

class ClicksScanTest : public clicks_test::StoreTest {
 protected:
  std::string Folder(const std::string& name) {
    std::string path = dir.File(name);
    EXPECT_EQ(mkdir(path.c_str(), 0755), 0) << path;
    return path;
  }
  std::vector<std::string> Lids() {
    std::vector<std::string> lids;
    for (int i = 0; i < store().recordCount; ++i) lids.push_back(store().records[i].lid);
    return lids;
  }
};

// Two stations; the second station's record has lines in two folders. Expected values from the
// formulas, evaluated independently in double precision.
TEST_F(ClicksScanTest, GroupsTheLinesOfOneStationAcrossFolders) {
  EXPECT_EQ(ScanClicksDir((clicks_test::kFixtureDir + "/two_stations").c_str()), 0);
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(store().recordCount, 2);  // neither the dot-named file nor notes.txt
  const ObservationRecord& a = store().records[0];
  const ObservationRecord& b = store().records[1];
  EXPECT_STREQ(a.key, "20070102050000TKY01");
  EXPECT_EQ(a.clickCount, 2);
  EXPECT_STREQ(b.key, "20070102050001OSK02");
  EXPECT_STREQ(b.localtime, "20070102_050001");
  ASSERT_EQ(b.clickCount, 2);
  EXPECT_EQ(b.clicks.pos[0], 1);  // from b/
  EXPECT_EQ(b.clicks.pos[1], 2);  // from c/
  EXPECT_EQ(b.clicks.ddeg[1], 0.06f);
  // The record's station values are its first line's.
  EXPECT_EQ(b.lng, 135.5f);
  EXPECT_EQ(b.lat, 34.7f);
  EXPECT_EQ(b.alt, 20.0f);
  EXPECT_EQ(b.gioidh, 35.0f);
  EXPECT_NEAR(b.mjd, 54101.833348379587, 1e-10);
  EXPECT_NEAR(b.lstDeg, 176.59491551581627, 1e-9);
  EXPECT_NEAR(b.ecef[0], -3744201.0634411611, 1e-6);
  EXPECT_NEAR(b.ecef[1], 3679416.1375984931, 1e-6);
  EXPECT_NEAR(b.ecef[2], 3610585.9529793696, 1e-6);
  EXPECT_EQ(store().minMjd, a.mjd);
  EXPECT_EQ(store().maxMjd, b.mjd);
  EXPECT_EQ(Caption(), "NortavelV4 -- 2 records");
}

TEST_F(ClicksScanTest, VisitsNamesInByteOrderAndWalksFoldersOfAnyName) {
  WriteFile("b_clicks.csv", ClickLine(0, 1, 1, "b") + "\n");
  WriteFile("a_clicks.csv", ClickLine(0, 1, 1, "a") + "\n");
  WriteFile("A_clicksb.csv", ClickLine(0, 1, 1, "A") + "\n");
  WriteFile("Z_CLICKS.CSV", ClickLine(0, 1, 1, "upper") + "\n");
  WriteFile("z_clicks.csv.bak", ClickLine(0, 1, 1, "bak") + "\n");
  Folder("B_clicks.csv");  // a folder so named is walked, not read
  WriteFile("B_clicks.csv/in_clicks.csv", ClickLine(0, 1, 1, "inB") + "\n");
  Folder(".hidden");
  WriteFile(".hidden/h_clicks.csv", ClickLine(0, 1, 1, "hidden") + "\n");
  EXPECT_EQ(ScanClicksDir(dir.path().c_str()), 0);
  EXPECT_EQ(Lids(), (std::vector<std::string>{"A", "inB", "a", "b"}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ClicksScanTest, FollowsLinksToFoldersButNeverEntersAFolderTwice) {
  // Before, a link back up the tree was walked until the paths grew too long.
  std::string inner = Folder("inner");
  WriteFile("inner/x_clicks.csv", ClickLine(0, 1, 1, "x") + "\n");
  ASSERT_EQ(symlink("..", (inner + "/up").c_str()), 0);
  ASSERT_EQ(symlink(dir.path().c_str(), (inner + "/again").c_str()), 0);
  nv4test::TempDir elsewhere;
  nv4test::WriteFileBytes(elsewhere.File("y_clicks.csv"), ClickLine(0, 1, 1, "y") + "\n");
  ASSERT_EQ(symlink(elsewhere.path().c_str(), dir.File("linked").c_str()), 0);
  EXPECT_EQ(ScanClicksDir(dir.path().c_str()), 0);
  EXPECT_EQ(Lids(), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(store().records[0].clickCount, 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ClicksScanTest, UnreadableEntriesAndFolders) {
  EXPECT_EQ(ScanClicksDir((dir.path() + "/missing").c_str()), -1);
  EXPECT_TRUE(Messages().empty());  // a folder that cannot be listed is passed over silently

  std::string broken = dir.File("broken_clicks.csv");
  ASSERT_EQ(symlink((dir.path() + "/nowhere").c_str(), broken.c_str()), 0);
  WriteFile("c_clicks.csv", ClickLine(0, 1, 1, "c") + "\nbad\n");
  WriteFile("d_clicks.csv", "bad\n" + ClickLine(0, 1, 1, "d") + "\n");
  EXPECT_EQ(ScanClicksDir(dir.path().c_str()), 0);
  EXPECT_EQ(Lids(), (std::vector<std::string>{"c", "d"}));
  // One box for the file, one for all lines not read in the whole walk, at its end.
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{
                "file " + broken + " cannot open",
                "Lines not read: 2\nFirst: " + dir.File("c_clicks.csv") +
                    " line 2: Y_ut does not scan"}));
}

TEST_F(ClicksScanTest, PassesOverPipesNamedLikeClicksFiles) {
  // Before, the walk opened a pipe so named and waited for a writer that never came.
  WriteFile("a_clicks.csv", ClickLine(0, 1, 1, "a") + "\n");
  const std::string pipe = dir.File("p_clicks.csv");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  // Should the walk open the pipe, this writer lets it go on and read a record "pipe", so that
  // the test fails instead of hanging.
  std::atomic<bool> walked{false};
  std::thread writer([&] {
    const std::string line = ClickLine(0, 1, 1, "pipe") + "\n";
    while (!walked) {
      int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        EXPECT_EQ(write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        close(fd);
        return;
      }
      usleep(1000);
    }
  });
  EXPECT_EQ(ScanClicksDir(dir.path().c_str()), 0);
  walked = true;
  writer.join();
  EXPECT_EQ(Lids(), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ClicksScanTest, AFullStoreStopsTheWalkWithOneMessage) {
  std::string bytes = clicks_test::FullStoreLines();
  WriteFile("a_clicks.csv", bytes + ClickLine(59, 1, 1, "one more") + "\n");
  WriteFile("b_clicks.csv", ClickLine(58, 1, 1, "b") + "\nbad\n");
  ScanClicksDir(dir.path().c_str());
  EXPECT_EQ(store().recordCount, kMaxRecords);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Too Many Records, Please change dir"}));
  EXPECT_EQ(Caption(), "NortavelV4 -- 10000 records");
}

// Every value a walk leaves in the store, bit for bit, and the scrambling state that a later write
// draws from: 64-bit FNV-1a over the used fields of the used records and slots (texts up to
// their NUL).
class StoreHash {
 public:
  StoreHash() {
    const RecordStore& s = theRecordStore();
    Add(s.recordCount);
    Add(s.stopReading);
    Add(s.minMjd);
    Add(s.maxMjd);
    Add(scrambleState);
    for (int i = 0; i < s.recordCount; ++i) AddRecord(s.records[i]);
  }
  std::uint64_t value() const { return hash_; }

 private:
  void AddBytes(const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ p[i]) * 1099511628211ull;
  }
  template <typename T>
  void Add(const T& value) {
    AddBytes(&value, sizeof value);
  }
  void AddText(const char* text) { AddBytes(text, std::strlen(text) + 1); }
  void AddRecord(const ObservationRecord& r) {
    for (std::int32_t v : {r.Y_ut, r.M_ut, r.D_ut, r.h_ut, r.m_ut}) Add(v);
    for (float v : {r.s_ut, r.lng, r.lat, r.alt, r.gioidh}) Add(v);
    for (const char* text : {r.lid, r.sid, r.localtime, r.key}) AddText(text);
    for (double v : {r.ttMjd, r.lstDeg, r.ecef[0], r.ecef[1], r.ecef[2], r.mjd}) Add(v);
    Add(r.clickCount);
    const Click& c = r.clicks;
    for (int k = 0; k < r.clickCount; ++k) {
      Add(c.pos[k]);
      for (float v : {c.x[k], c.y[k], c.az[k], c.ev[k], c.ddeg[k]}) Add(v);
      Add(c.ra[k]);
      Add(c.dec[k]);
      for (int axis = 0; axis < 3; ++axis) {
        for (double v : {c.sight[axis][k], c.sightPerturbed[axis][k], c.planeNormal[axis][k],
                         c.planeNormalPerturbed[axis][k]}) {
          Add(v);
        }
      }
    }
  }

  std::uint64_t hash_ = 14695981039346656037ull;
};

// Walks of many files, as the largest trees give them, with what a walk meets besides: a station
// whose lines of one second stand in two files with other seconds and another location, refused
// lines of every kind, lone CR line ends, a link to nowhere. The records are pinned by the hash of
// every value as the walk read them before it was made faster; the messages and caption by text.
TEST_F(ClicksScanTest, AWalkOfManyFilesKeepsEveryValueAndMessage) {
  ASSERT_EQ(WriteLargeTree(dir.File("large"), 400), "");  // 800 records of 50 clicks
  const std::string mixed = Folder("mixed");
  nv4test::WriteFileBytes(mixed + "/m1_clicks.csv",
                          ClickLine(0, 12.2, 1, "SPLIT") + "\n" + ClickLine(0, 12.3, 2, "SPLIT") +
                              "\n\nbad\n" + ClickLine(0, 12.6, 1, "OTHER") + "\r" +
                              "2007,01,01,20,00,1\x00" + "2.0,1\n");
  std::string moved = ClickLine(0, 12.4, 3, "SPLIT");
  moved.replace(moved.find("139.70,35.70"), 12, "139.75,35.65");
  std::string crowded;  // one click too many for the record of OTHER
  for (int pos = 2; pos <= kMaxClicksPerRecord + 1; ++pos) {
    crowded += ClickLine(0, 12.7, pos, "OTHER") + "\n";
  }
  nv4test::WriteFileBytes(mixed + "/m2_clicks.csv",
                          moved + "\n" + crowded + std::string(1200, '1') + "\n" +
                              "1850,01,01,20,00,00.0,1,1,1,1,1,1,1,_OLD,_A,139.70,35.70,40.0\n" +
                              ClickLine(0, 12.9, 4, "SPLIT"));
  const std::string broken = mixed + "/n_clicks.csv";
  ASSERT_EQ(symlink((mixed + "/nowhere").c_str(), broken.c_str()), 0);
  nv4test::WriteFileBytes(mixed + "/z_clicks.csv", "bad again\n" + ClickLine(1, 0, 1, "LAST"));

  scrambleState = 12345;  // whatever an earlier test left
  EXPECT_EQ(ScanClicksDir(dir.path().c_str()), 0);
  EXPECT_EQ(store().recordCount, 804);
  EXPECT_EQ(StoreHash().value(), 10251233294651756347u);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "file " + broken + " cannot open",
                            "Lines not read: 6\nFirst: " + mixed +
                                "/m1_clicks.csv line 4: Y_ut does not scan"}));
  EXPECT_EQ(Caption(), "NortavelV4 -- 804 records");
}

// A merged file of a few hundred records (about 2.3 MB, whose parts are parsed on several cores)
// with every kind of line end and refused lines far from its start: the records and messages are
// those of the file read line by line, pinned as before it was cut into parts.
TEST_F(ClicksScanTest, ALargeFileKeepsEveryValueAndLineNumber) {
  const std::string tree = dir.File("tree");
  ASSERT_EQ(WriteLargeTree(tree, 150), "");  // 300 records of 50 clicks
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
    if (IsClicksFileName(entry.path().filename().c_str())) names.push_back(entry.path());
  }
  std::sort(names.begin(), names.end());
  std::string merged;
  int number = 0;
  for (const std::string& name : names) {
    std::istringstream lines(nv4test::ReadFileBytes(name));
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      ++number;
      merged += line + (number % 7 == 0 ? "\r" : number % 5 == 0 ? "\n" : "\r\n");
      if (number == 4000 || number == 9000 || number == 15000) merged += "bad\n";
    }
  }
  const std::string folder = Folder("merged");
  nv4test::WriteFileBytes(folder + "/Mx_ALL_clicksb.csv", merged);
  scrambleState = 12345;
  EXPECT_EQ(ScanClicksDir(folder.c_str()), 0);
  EXPECT_EQ(store().recordCount, 300);
  EXPECT_EQ(StoreHash().value(), 4548327820840335554u);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Lines not read: 3\nFirst: " + folder +
                                                  "/Mx_ALL_clicksb.csv line 4001: Y_ut does not "
                                                  "scan"}));
}

// A walk that fills the store part way through one of many files: the lines before the stop are
// all taken, the message comes once, and nothing after it is read or reported.
TEST_F(ClicksScanTest, AWalkThatFillsTheStoreAmongManyFilesStopsWhereItFills) {
  constexpr int kFiles = 25;
  constexpr int kRecordsPerFile = 420;  // 10500 records in all
  for (int f = 0; f < kFiles; ++f) {
    std::string bytes;
    for (int i = f * kRecordsPerFile; i < (f + 1) * kRecordsPerFile; ++i) {
      bytes += platform::StringPrintfC(
          "2007,01,01,%02d,%02d,%02d.0,1,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0\n", i / 3600,
          i / 60 % 60, i % 60);
      if (i % 1000 == 999) bytes += "bad\n";
    }
    WriteFile(platform::StringPrintfC("f%02d_clicks.csv", f), bytes);
  }
  ASSERT_EQ(symlink((dir.path() + "/nowhere").c_str(), dir.File("g_clicks.csv").c_str()), 0);
  scrambleState = 12345;  // no line moves it
  ScanClicksDir(dir.path().c_str());
  EXPECT_EQ(store().recordCount, kMaxRecords);
  EXPECT_EQ(StoreHash().value(), 6446439747648680872u);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Too Many Records, Please change dir",
                            "Lines not read: 10\nFirst: " + dir.File("f02_clicks.csv") +
                                " line 161: Y_ut does not scan"}));
  EXPECT_EQ(Caption(), "NortavelV4 -- 10000 records");
}

// Files of many parts with no line end, or one line far longer than a part: each is one line
// refused, at its own line number, and the lines after a long one are taken.
TEST_F(ClicksScanTest, FilesWithNoLineEndAreOneRefusedLineEach) {
  constexpr std::size_t kLong = 3 * 256 * 1024 + 17;  // over three parts
  const std::string zeros = WriteFile("a_clicks.csv", std::string(kLong, '\0'));
  WriteFile("b_clicks.csv", std::string(kLong, 'x') + "\r\n" + ClickLine(10, 1.0, 1));
  WriteFile("c_clicks.csv", "\n" + ClickLine(10, 1.0, 2) + "\n" + std::string(kLong, '7'));
  EXPECT_EQ(ScanClicksDir(dir.path().c_str()), 0);
  ASSERT_EQ(store().recordCount, 1);
  EXPECT_EQ(store().records[0].clickCount, 2);
  EXPECT_EQ(store().records[0].clicks.pos[0], 1);
  EXPECT_EQ(store().records[0].clicks.pos[1], 2);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Lines not read: 3\nFirst: " + zeros +
                                                  " line 1: zero byte in line"}));
}

}  // namespace
