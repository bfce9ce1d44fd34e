#include <gtest/gtest.h>

#include <string>

#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"
#include "ulib/string_pool.h"
#include "ulib/table_store.h"

namespace {

// Every type once; the exist column, a hidden column and an int column with csv 0 are not
// written.
constexpr TableDescriptor kAllTypes = {
    "NVall.csv", 210, 10000, 11,
    {{CellExist, 0, "exist"},
     {CellInt, 1, "n"},
     {CellCheck, 1, "chk"},
     {CellMark, 1, "mark"},
     {CellRawInt, 1, "raw"},
     {CellFloat, 1, "f"},
     {CellDouble, 1, "d"},
     {CellString, 1, "s"},
     {CellChars, 1, "c"},
     {CellHidden, 0, "hid"},
     {CellInt, 0, "skip"}}};

struct RowValues {
  std::int32_t n;
  std::uint32_t chk, mark;
  std::int32_t raw;
  float f;
  double d;
  const char* s;
  const char* c;
};

// Row 1 is deleted, so the file must not show it.
void Fill(CUTable& table) {
  const RowValues kRows[] = {
      {1, 1, 5, -7, 1.5f, -2.25, "ABC", "xyz"},
      {9, 9, 9, 9, 9.0f, 9.0, "dead", "dead"},
      {2, 0, 0, 0, -0.125f, 1234567.891, nullptr, ""},
      {3, 0xFFFFFFFFu, 7, 2147483647, 100.0f, 0.0, "a b;c", "1234567"},
      {-1, 0, 0, 0, 0.0f, 0.0, "", nullptr},
  };
  for (const RowValues& v : kRows) {
    const int row = table.AddRow();
    WriteCellInt(table.CellForWrite(row, 1), v.n);
    WriteCellUint(table.CellForWrite(row, 2), v.chk);
    WriteCellUint(table.CellForWrite(row, 3), v.mark);
    WriteCellInt(table.CellForWrite(row, 4), v.raw);
    WriteCellFloat(table.CellForWrite(row, 5), v.f);
    WriteCellDouble(table.CellForWrite(row, 6), v.d);
    table.SetString(row, 7, v.s);
    table.SetString(row, 8, v.c);
    WriteCellInt(table.CellForWrite(row, 10), 555);
  }
  table.DeleteRow(1);
}

std::string Fixture(const char* name) {
  return nv4test::ReadFileBytes(std::string(NV4_SOURCE_DIR) + "/tests/fixtures/ulib/" + name);
}

class TableCsvTest : public ::testing::Test {
 protected:
  ~TableCsvTest() override { UcbufFreeAll(); }
  nv4test::TempDir dir;
};

TEST_F(TableCsvTest, WritesEveryTypeByteForByte) {
  const std::string golden = Fixture("table_all_types.csv");
  ASSERT_FALSE(golden.empty());
  CUTable table(&kAllTypes);
  Fill(table);
  ASSERT_TRUE(table.WriteCsv(dir.File("a.csv").c_str(), 0, 0, 0, 0));
  EXPECT_EQ(nv4test::ReadFileBytes(dir.File("a.csv")), golden);
}

// A decimal comma in the user's locale must not reach the file.
TEST_F(TableCsvTest, NumbersStayInTheCLocaleUnderAGermanLocale) {
  nv4test::ScopedLocale german(nv4test::kGermanLocale);
  ASSERT_TRUE(german.ok());
  CUTable table(&kAllTypes);
  Fill(table);
  ASSERT_TRUE(table.WriteCsv(dir.File("de.csv").c_str(), 0, 0, 0, 0));
  EXPECT_EQ(nv4test::ReadFileBytes(dir.File("de.csv")), Fixture("table_all_types.csv"));
}

TEST_F(TableCsvTest, FilterAndFirstRowSelectTheLines) {
  CUTable table(&kAllTypes);
  Fill(table);
  const std::string header = "_Version,_n,_chk,_mark,_raw,_f,_d,_s,_c\r\n";
  const std::string row0 = "210,1,1,5,-7,1.500000,-2.250000,_ABC,_xyz\r\n";
  const std::string row2 = "210,2,0,0,0,-0.125000,1234567.891000,_,_\r\n";
  const std::string row3 = "210,3,4294967295,7,2147483647,100.000000,0.000000,_a b;c,_1234567\r\n";
  const std::string row4 = "210,-1,0,0,0,0.000000,0.000000,_,_\r\n";
  struct Case {
    const char* name;
    int filterColumn, lo, hi, firstRow;
    std::string expected;
  };
  const Case kCases[] = {
      {"marked results: column 1 from 1 to 2", 1, 1, 2, 0, header + row0 + row2},
      {"signed filter", 1, -1, 1, 0, header + row0 + row4},
      {"first row skips earlier rows", 0, 0, 0, 3, header + row3 + row4},
      {"first row on a dead row", 0, 0, 0, 1, header + row2 + row3 + row4},
      {"nothing in range", 1, 5, 9, 0, header},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(table.WriteCsv(dir.File("f.csv").c_str(), c.filterColumn, c.lo, c.hi,
                               c.firstRow));
    EXPECT_EQ(nv4test::ReadFileBytes(dir.File("f.csv")), c.expected);
  }
}

TEST_F(TableCsvTest, AnEmptyTableWritesTheHeaderOnly) {
  CUTable table(&kAllTypes);
  ASSERT_TRUE(table.WriteCsv(dir.File("e.csv").c_str(), 0, 0, 0, 0));
  EXPECT_EQ(nv4test::ReadFileBytes(dir.File("e.csv")),
            "_Version,_n,_chk,_mark,_raw,_f,_d,_s,_c\r\n");
}

// A line feed inside a stored text used to reach the file bare, though every other line feed
// of the file is CR LF.
TEST_F(TableCsvTest, LineFeedsInsideTextsAreWrittenAsCrLf) {
  static constexpr TableDescriptor kTexts = {
      "NVtexts.csv", 7, 16, 3,
      {{CellExist, 0, "exist"}, {CellString, 1, "s"}, {CellChars, 1, "c"}}};
  struct Case {
    const char* s;
    const char* c;
    const char* line;
  };
  const Case kCases[] = {
      {"two\nlines", "a\nb", "7,_two\r\nlines,_a\r\nb\r\n"},
      {"\n", "\n\n", "7,_\r\n,_\r\n\r\n\r\n"},
      {"cr\r alone", "\r", "7,_cr\r alone,_\r\r\n"},
      {"ends\n", "1234567", "7,_ends\r\n,_1234567\r\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    CUTable table(&kTexts);
    const int row = table.AddRow();
    table.SetString(row, 1, c.s);
    table.SetString(row, 2, c.c);
    ASSERT_TRUE(table.WriteCsv(dir.File("t.csv").c_str(), 0, 0, 0, 0));
    EXPECT_EQ(nv4test::ReadFileBytes(dir.File("t.csv")),
              std::string("_Version,_s,_c\r\n") + c.line);
  }
}

// Before, a file that could not be created was silently not written.
TEST_F(TableCsvTest, AFileThatCannotBeWrittenIsReportedAndFails) {
  platform::ScopedScriptedPlatform scripted;
  CUTable table(&kAllTypes);
  Fill(table);
  const std::string missing = dir.File("no such folder/r.csv");
  EXPECT_FALSE(table.WriteCsv(missing.c_str(), 0, 0, 0, 0));
  // /dev/full opens but every write fails: the error shows when the data are flushed.
  EXPECT_FALSE(table.WriteCsv("/dev/full", 0, 0, 0, 0));
  const auto boxes = scripted->CallsOf(platform::ScriptedPlatform::CallKind::kMessage);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "NortavelV4");
  EXPECT_EQ(boxes[0].text.rfind("Cannot write " + missing + "\n", 0), 0u) << boxes[0].text;
  EXPECT_EQ(boxes[1].text.rfind("Cannot write /dev/full\n", 0), 0u) << boxes[1].text;
}

}  // namespace
