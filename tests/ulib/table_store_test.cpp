#include "ulib/table_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/scripted_platform.h"
#include "ulib/string_pool.h"

namespace {

// Four rows per block, so that growth is seen after a few rows.
constexpr TableDescriptor kSmall = {
    "NVsmall.csv", 3, 4, 6,
    {{CellExist, 0, "exist"},
     {CellInt, 1, "num"},
     {CellFloat, 1, "f"},
     {CellDouble, 1, "d"},
     {CellString, 1, "name"},
     {CellChars, 1, "tag"}}};
constexpr int kNum = 1, kFloat = 2, kDouble = 3, kName = 4, kTag = 5;

// Operations of a row-life script: a = AddRow, 0-9 = DeleteRow of that row, c = Clear.
struct RowLifeCase {
  const char* name;
  const char* script;
  int rowCount;
  std::vector<std::uint32_t> exists;  // RowExists of rows 0, 1, ...
  int blocks;
};

int BlockCount(const CUTable& table) {
  int n = 0;
  for (TableBlock* b = table.firstBlock; b; b = b->next) ++n;
  return n;
}

TEST(TableStoreTest, RowLife) {
  const RowLifeCase kCases[] = {
      {"new table", "", 0, {0, 0}, 1},
      {"add three", "aaa", 3, {1, 1, 1, 0}, 1},
      {"delete middle keeps the count", "aaa1", 3, {1, 0, 1, 0}, 1},
      {"delete last shortens", "aaa2", 2, {1, 1, 0}, 1},
      {"delete last leaves an earlier dead row", "aaa12", 2, {1, 0, 0}, 1},
      {"deleted middle is not reused", "aaa1a", 4, {1, 0, 1, 1, 0}, 1},
      {"deleted last is reused", "aaa2a", 3, {1, 1, 1, 0}, 1},
      {"clear keeps the blocks", "aaaaaac", 0, {0, 0, 0, 0, 0, 0}, 2},
      {"clear then add reuses the first block", "aaaaaaca", 1, {1, 0}, 2},
      {"growth past a block", "aaaaaaaaa", 9, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, 3},
  };
  for (const RowLifeCase& c : kCases) {
    SCOPED_TRACE(c.name);
    CUTable table(&kSmall);
    for (const char* op = c.script; *op; ++op) {
      if (*op == 'a') {
        const int row = table.AddRow();
        EXPECT_EQ(row, table.rowCount - 1);
      } else if (*op == 'c') {
        table.Clear();
      } else {
        table.DeleteRow(*op - '0');
      }
    }
    EXPECT_EQ(table.rowCount, c.rowCount);
    for (std::size_t row = 0; row < c.exists.size(); ++row) {
      EXPECT_EQ(table.RowExists(static_cast<int>(row)), c.exists[row]) << "row " << row;
    }
    EXPECT_EQ(table.RowExists(-1), 0u);
    EXPECT_EQ(BlockCount(table), c.blocks);
    EXPECT_EQ(table.AddRow(), c.rowCount);
  }
}

TEST(TableStoreTest, CellsKeepTheirAddressesWhileTheTableGrows) {
  CUTable table(&kSmall);
  std::vector<void*> cells;
  for (int row = 0; row < 13; ++row) {
    EXPECT_EQ(table.AddRow(), row);
    WriteCellInt(table.CellForWrite(row, kNum), row * 10);
    cells.push_back(table.LiveCell(row, kNum));
  }
  EXPECT_EQ(table.lastBlock->endRow, 16);
  for (int row = 0; row < 13; ++row) {
    EXPECT_EQ(table.LiveCell(row, kNum), cells[static_cast<std::size_t>(row)]);
    EXPECT_EQ(ReadCellInt(table.LiveCell(row, kNum)), row * 10);
  }
}

TEST(TableStoreTest, TheRowAfterAFullBlockStartsASecondOne) {
  TableDescriptor big = kSmall;
  big.rowsPerBlock = 10000;
  CUTable table(&big);
  for (int row = 0; row < 10000; ++row) table.AddRow();
  EXPECT_EQ(table.firstBlock, table.lastBlock);
  EXPECT_EQ(table.AddRow(), 10000);
  ASSERT_NE(table.firstBlock, table.lastBlock);
  EXPECT_EQ(table.firstBlock->endRow, 10000);
  EXPECT_EQ(table.lastBlock->endRow, 20000);
  EXPECT_EQ(table.lastBlock->prev, table.firstBlock);
}

// The block of a row, as the chain tells it: the one whose rows run up to its endRow.
const TableBlock* ChainBlockOf(const CUTable& table, int row) {
  for (const TableBlock* b = table.firstBlock; b; b = b->next) {
    if (b->endRow - kSmall.rowsPerBlock <= row && row < b->endRow) return b;
  }
  return nullptr;
}

bool CellLiesIn(const TableBlock* block, const void* cell) {
  const auto* start = const_cast<TableBlock*>(block)->Cells();
  const auto* at = static_cast<const unsigned char*>(cell);
  const std::size_t bytes =
      static_cast<std::size_t>(kSmall.rowsPerBlock * kSmall.columnCount * kTableCellBytes);
  return at >= start && at < start + bytes;
}

// After Clear the table keeps its blocks, and rows added again take the same cells in them,
// whichever block they lie in.
TEST(TableStoreTest, RowsAddedAfterClearTakeTheirCellsAgain) {
  CUTable table(&kSmall);
  std::vector<void*> cells;
  for (int row = 0; row < 14; ++row) {
    table.AddRow();
    cells.push_back(table.CellForWrite(row, kDouble));
  }
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    table.Clear();
    for (int row = 0; row < 14; ++row) {
      ASSERT_EQ(table.AddRow(), row);
      WriteCellInt(table.CellForWrite(row, kNum), row + 100 * pass);
      EXPECT_EQ(table.CellForWrite(row, kDouble), cells[static_cast<std::size_t>(row)]);
      const TableBlock* block = ChainBlockOf(table, row);
      ASSERT_NE(block, nullptr);
      EXPECT_TRUE(CellLiesIn(block, table.LiveCell(row, kNum))) << "row " << row;
    }
    for (int row = 0; row < 14; ++row) {
      EXPECT_EQ(ReadCellInt(table.LiveCell(row, kNum)), row + 100 * pass);
    }
  }
  EXPECT_EQ(BlockCount(table), 4);
}

// Writing far beyond the last row appends every block up to the row at once; the rows added
// later find the cells written then.
TEST(TableStoreTest, AWriteFarAheadAppendsTheBlocksUpToItsRow) {
  CUTable table(&kSmall);
  void* far = table.CellForWrite(13, kNum);
  EXPECT_EQ(BlockCount(table), 4);
  EXPECT_EQ(table.lastBlock->endRow, 16);
  EXPECT_TRUE(CellLiesIn(table.lastBlock, far));
  WriteCellInt(far, 77);
  EXPECT_EQ(ReadCellInt(table.CellForWrite(13, kNum)), 77);
  EXPECT_EQ(table.RowExists(13), 0u);
  for (int row = 0; row < 14; ++row) table.AddRow();
  EXPECT_EQ(table.LiveCell(13, kNum), far);
  EXPECT_EQ(ReadCellInt(far), 0);  // added as a new row
  EXPECT_EQ(BlockCount(table), 4);
}

TEST(TableStoreTest, ARowAddedAfterClearReadsAsNew) {
  CUTable table(&kSmall);
  int row = table.AddRow();
  WriteCellInt(table.CellForWrite(row, kNum), 7);
  WriteCellFloat(table.CellForWrite(row, kFloat), 1.5f);
  WriteCellDouble(table.CellForWrite(row, kDouble), -2.25);
  table.SetString(row, kName, "ABC");
  table.SetString(row, kTag, "xyz");
  table.Clear();
  ASSERT_EQ(table.AddRow(), 0);
  EXPECT_EQ(ReadCellInt(table.LiveCell(0, kNum)), 0);
  EXPECT_EQ(ReadCellFloat(table.LiveCell(0, kFloat)), 0.0f);
  EXPECT_EQ(ReadCellDouble(table.LiveCell(0, kDouble)), 0.0);
  EXPECT_EQ(table.GetString(0, kName), nullptr);
  EXPECT_STREQ(table.GetString(0, kTag), "");
}

// A cell reached by CellForWrite before its row is added must not hold garbage, and the
// deleted last row must not read as live through the raw cell.
TEST(TableStoreTest, CellsBeyondTheRowsAreZeroAndADeletedLastRowIsDead) {
  CUTable table(&kSmall);
  EXPECT_EQ(ReadCellUint(table.CellForWrite(3, 0)), 0u);
  EXPECT_EQ(ReadCellPointer(table.CellForWrite(3, kName)), nullptr);
  EXPECT_EQ(table.rowCount, 0);
  table.AddRow();
  table.AddRow();
  table.DeleteRow(1);
  EXPECT_EQ(table.rowCount, 1);
  EXPECT_EQ(ReadCellUint(table.CellForWrite(1, 0)), 0u);
}

TEST(TableStoreTest, FloatCellsKeepTheirBits) {
  CUTable table(&kSmall);
  int row = table.AddRow();
  std::uint32_t quietNanWithPayload = 0x7FC01234u;
  float nan;
  std::memcpy(&nan, &quietNanWithPayload, sizeof nan);
  WriteCellFloat(table.CellForWrite(row, kFloat), nan);
  std::uint32_t bits;
  float back = ReadCellFloat(table.LiveCell(row, kFloat));
  std::memcpy(&bits, &back, sizeof bits);
  EXPECT_EQ(bits, quietNanWithPayload);
}

struct StringCase {
  const char* name;
  int column;
  std::string text;
  bool isNull;  // SetString leaves the cell null
};

TEST(TableStoreTest, StringCells) {
  const StringCase kCases[] = {
      {"null string", kName, "", true},
      {"short string", kName, "ABC", false},
      {"1023 characters", kName, std::string(1023, 'x'), false},
      {"empty chars", kTag, "", false},
      {"7 chars", kTag, "1234567", false},
  };
  for (const StringCase& c : kCases) {
    SCOPED_TRACE(c.name);
    CUTable table(&kSmall);
    int row = table.AddRow();
    table.SetString(row, c.column, c.text.empty() && c.column == kName ? nullptr : c.text.c_str());
    if (c.isNull) {
      EXPECT_EQ(table.GetString(row, c.column), nullptr);
    } else {
      EXPECT_EQ(std::string(table.GetString(row, c.column)), c.text);
    }
    EXPECT_EQ(std::string(table.GetStringOrEmpty(row, c.column)), c.text);
    table.Clear();
  }
  CUTable table(&kSmall);
  int row = table.AddRow();
  table.SetString(row, kName, "");
  EXPECT_EQ(table.GetString(row, kName), nullptr);
  EXPECT_STREQ(table.GetStringOrEmpty(row, kName), "");
}

// Replacing, deleting and clearing hand the pieces back to the pool; a store-and-free cycle
// leaves the pool's carving point where it was.
TEST(TableStoreTest, StringsGoBackToThePool) {
  CUTable table(&kSmall);
  UcbufAlloc("initial str");
  int row = table.AddRow();
  const char* carve = UCBUF.firstBlock->carve;
  table.SetString(row, kName, "first text");
  table.SetString(row, kName, "second text");
  EXPECT_EQ(UCBUF.firstBlock->freeHeads[1], carve);  // the first text's piece
  table.DeleteRow(row);
  EXPECT_EQ(UCBUF.firstBlock->carve, carve + 16);
  row = table.AddRow();
  table.SetString(row, kName, "third text");  // takes the freed piece
  EXPECT_EQ(table.GetString(row, kName), carve);
  table.Clear();
  EXPECT_EQ(UCBUF.firstBlock->carve, carve);
  EXPECT_EQ(UCBUF.firstBlock->freeHeads[1], nullptr);
  UcbufFreeAll();
}

// Storing a cell's own text again used to free the piece first and copy from freed memory.
TEST(TableStoreTest, ACellsOwnTextCanBeStoredAgain) {
  CUTable table(&kSmall);
  UcbufAlloc("initial str");
  const int row = table.AddRow();
  table.SetString(row, kName, "same text stored again");
  table.SetString(table.AddRow(), kName, "so that the first piece is not the last carved");
  table.SetString(row, kName, table.GetString(row, kName));
  EXPECT_STREQ(table.GetString(row, kName), "same text stored again");
  table.SetString(row, kName, table.GetString(row, kName) + 5);
  EXPECT_STREQ(table.GetString(row, kName), "text stored again");
  table.SetString(row, kTag, "abcdefg");
  table.SetString(row, kTag, table.GetString(row, kTag) + 2);
  EXPECT_STREQ(table.GetString(row, kTag), "cdefg");
  UcbufFreeAll();
}

using TableStoreDeathTest = ::testing::Test;

TEST(TableStoreDeathTest, BrokenAccessEndsTheProgramWithItsText) {
  platform::ScopedScriptedPlatform scripted;
  CUTable table(&kSmall);
  table.AddRow();
  table.AddRow();
  table.DeleteRow(0);
  struct Case {
    const char* text;
    void (*act)(CUTable&);
  };
  const Case kCases[] = {
      {"UT recored was deteled", [](CUTable& t) { t.LiveCell(0, kNum); }},
      {"UT recored was deteled", [](CUTable& t) { t.GetString(0, kName); }},
      {"UT recored was deteled", [](CUTable& t) { t.DeleteRow(0); }},
      {"UT recored was deteled",
       [](CUTable&) {
         // No string column, so only the exist cell tells that the row is dead.
         static constexpr TableDescriptor kPlain = {
             "NVplain.csv", 1, 4, 2, {{CellExist, 0, "exist"}, {CellInt, 1, "n"}}};
         CUTable plain(&kPlain);
         plain.AddRow();
         plain.AddRow();
         plain.DeleteRow(0);
         plain.DeleteRow(0);
       }},
      {"CUTABLE invalid access", [](CUTable& t) { t.LiveCell(-1, kNum); }},
      {"CUTABLE invalid access", [](CUTable& t) { t.LiveCell(2, kNum); }},
      {"CUTABLE invalid access", [](CUTable& t) { t.LiveCell(1000, kNum); }},
      {"CUTABLE invalid access", [](CUTable& t) { t.LiveCell(1, 6); }},
      {"CUTABLE underflow", [](CUTable& t) { t.CellForWrite(-1, kNum); }},
      {"CUTable too long chars", [](CUTable& t) { t.SetString(1, kTag, "12345678"); }},
      {"CUTable too long str",
       [](CUTable& t) { t.SetString(1, kName, std::string(1024, 'y').c_str()); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EXIT(c.act(table), ::testing::ExitedWithCode(247), c.text);
  }
}

TEST(TableStoreDeathTest, UnsoundDescriptorsAreRefusedAtCreation) {
  platform::ScopedScriptedPlatform scripted;
  struct Case {
    const char* name;
    void (*spoil)(TableDescriptor&);
  };
  const Case kCases[] = {
      {"no columns", [](TableDescriptor& d) { d.columnCount = 0; }},
      {"too many columns", [](TableDescriptor& d) { d.columnCount = 101; }},
      {"exist written to CSV", [](TableDescriptor& d) { d.columns[0].csv = 1; }},
      {"column 0 not exist", [](TableDescriptor& d) { d.columns[0].type = CellInt; }},
      {"hidden written to CSV",
       [](TableDescriptor& d) { d.columns[kNum] = {CellHidden, 1, "h"}; }},
      {"unknown type", [](TableDescriptor& d) { d.columns[kNum].type = CellType(11); }},
      {"no rows per block", [](TableDescriptor& d) { d.rowsPerBlock = 0; }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    static TableDescriptor spoilt;
    spoilt = kSmall;
    c.spoil(spoilt);
    EXPECT_EXIT(CUTable table(&spoilt), ::testing::ExitedWithCode(247),
                "CUTable bad descriptor NVsmall.csv");
  }
}

}  // namespace
