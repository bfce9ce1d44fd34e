#include "ulib/ui/cell_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "tests/support/locale_guard.h"

namespace {

struct Cell {
  unsigned char bytes[kTableCellBytes] = {};
};

Cell IntCell(std::int32_t v) { Cell c; WriteCellInt(c.bytes, v); return c; }
Cell UintCell(std::uint32_t v) { Cell c; WriteCellUint(c.bytes, v); return c; }
Cell FloatCell(float v) { Cell c; std::memset(c.bytes, 0xAB, sizeof c.bytes); WriteCellFloat(c.bytes, v); return c; }
Cell DoubleCell(double v) { Cell c; WriteCellDouble(c.bytes, v); return c; }
Cell PointerCell(const char* v) { Cell c; WriteCellPointer(c.bytes, const_cast<char*>(v)); return c; }
Cell CharsCell(const char* v) { Cell c; std::memcpy(c.bytes, v, std::min<std::size_t>(std::strlen(v), 7)); return c; }

struct TextCase {
  const char* name;
  CellType type;
  Cell cell;
  const char* fmt;
  std::string text;
};

TEST(CellTextTest, ListTextByTypeAndFormat) {
  const TextCase kCases[] = {
      {"int %d", CellInt, IntCell(-42), "%d", "-42"},
      {"int padded", CellInt, IntCell(7), "%03d", "007"},
      {"exist %d", CellExist, UintCell(1), "%d", "1"},
      {"exist %u", CellExist, UintCell(4000000000u), "%u", "4000000000"},
      {"check clear", CellCheck, UintCell(0), "%b", ""},
      {"check set", CellCheck, UintCell(1), "%b", "*"},
      {"check of 5 is set", CellCheck, UintCell(5), "%b", "*"},
      {"mark 0", CellMark, UintCell(0), "%b", ""},
      {"mark 1", CellMark, UintCell(1), "%b", "*"},
      {"mark 2", CellMark, UintCell(2), "%b", "-"},
      {"mark 3", CellMark, UintCell(3), "%b", "-"},
      {"mark 4", CellMark, UintCell(4), "%b", "+"},
      {"mark 7", CellMark, UintCell(7), "%b", "+"},
      {"mark 9 shows nothing", CellMark, UintCell(9), "%b", ""},
      {"raw int shows nothing", CellRawInt, IntCell(5), "%d", ""},
      {"float widened, upper bytes ignored", CellFloat, FloatCell(1.5f), "%.2f", "1.50"},
      {"float %.6f", CellFloat, FloatCell(0.1f), "%.6f", "0.100000"},
      {"double %.1f", CellDouble, DoubleCell(-12.25), "%.1f", "-12.2"},
      {"double %e", CellDouble, DoubleCell(1.2e-7), "%.3e", "1.200e-07"},
      {"string", CellString, PointerCell("Ondrejov"), "%s", "Ondrejov"},
      {"null string", CellString, PointerCell(nullptr), "%s", ""},
      {"chars", CellChars, CharsCell("AB12"), "%s", "AB12"},
      {"seven chars", CellChars, CharsCell("ABCDEFG"), "%s", "ABCDEFG"},
      {"hidden shows nothing", CellHidden, IntCell(3), "%d", ""},
  };
  for (const TextCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ListCellText(c.type, c.cell.bytes, c.fmt), c.text);
  }
}

TEST(CellTextTest, NumbersUseTheCLocaleWhateverTheUserLocale) {
  nv4test::ScopedLocale german("de_DE.UTF-8");
  const Cell cell = DoubleCell(1.5);
  EXPECT_EQ(ListCellText(CellDouble, cell.bytes, "%.1f"), "1.5");
  EXPECT_EQ(EditorStartText(CellDouble, cell.bytes, "%.1f"), "1.500000");
  EXPECT_EQ(RecordFieldText(CellDouble, cell.bytes), "1.500000");
}

// "%f" of 1e300 has over 300 digits: it used to run past the fixed text buffers.
TEST(CellTextTest, HugeNumbersAreCutAtTheirBuffer) {
  const Cell huge = DoubleCell(1e300);
  const std::string list = ListCellText(CellDouble, huge.bytes, "%f");
  EXPECT_EQ(list.size(), kListCellTextMax);
  EXPECT_EQ(list.substr(0, 4), "1000");
  EXPECT_EQ(EditorStartText(CellDouble, huge.bytes, "%.1f").size(), kEditorTextMax);
  EXPECT_EQ(RecordFieldText(CellDouble, huge.bytes).size(), kRecordFieldTextMax);
  const Cell big = FloatCell(3e38f);
  EXPECT_EQ(RecordFieldText(CellFloat, big.bytes).substr(0, 3), "300");
}

// A pooled string holds up to 1023 characters, four times the editor's buffer.
TEST(CellTextTest, LongStringsAreCutAtTheirBuffer) {
  const std::string long_text(1023, 'x');
  const Cell cell = PointerCell(long_text.c_str());
  EXPECT_EQ(ListCellText(CellString, cell.bytes, "%s"), std::string(kListCellTextMax, 'x'));
  EXPECT_EQ(EditorStartText(CellString, cell.bytes, "%s"), std::string(kEditorTextMax, 'x'));
  EXPECT_EQ(RecordFieldText(CellString, cell.bytes), std::string(kRecordFieldTextMax, 'x'));
}

TEST(CellTextTest, EditorAndRecordFormats) {
  const Cell f = FloatCell(2.25f);
  const Cell i = IntCell(-3);
  const Cell mark = UintCell(4);
  EXPECT_EQ(EditorStartText(CellFloat, f.bytes, "%.1f"), "2.250000") << "always %f";
  EXPECT_EQ(EditorStartText(CellInt, i.bytes, "%04d"), "-003") << "the column's format";
  EXPECT_EQ(RecordFieldText(CellInt, i.bytes), "-3") << "never the column's format";
  EXPECT_EQ(RecordFieldText(CellMark, mark.bytes), "4");
  EXPECT_EQ(RecordFieldText(CellCheck, mark.bytes), "4");
  EXPECT_EQ(RecordFieldText(CellRawInt, i.bytes), "");
}

TEST(CellTextTest, CutNeverSplitsAUtf8Character) {
  EXPECT_EQ(CutText("abc", 5), "abc");
  EXPECT_EQ(CutText("abcdef", 3), "abc");
  EXPECT_EQ(CutText("ab\xC3\xA9", 3), "ab") << "a two-byte e-acute is left out whole";
  EXPECT_EQ(CutText("ab\xC3\xA9", 4), "ab\xC3\xA9");
  EXPECT_EQ(CutText("\xE2\x82\xAC" "x", 2), "");
}

}  // namespace
