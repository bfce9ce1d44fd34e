#include "ulib/ui/cell_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/ulib/ui/list_fixture.h"

namespace {

using namespace listtest;

class CellStoreTest : public ::testing::Test {
 protected:
  CellStoreTest() : table(&kEveryType) {
    row = table.AddRow();
    WriteCellInt(table.CellForWrite(row, kNum), 5);
    WriteCellUint(table.CellForWrite(row, kChk), 1);
    WriteCellUint(table.CellForWrite(row, kMark), 4);
    WriteCellFloat(table.CellForWrite(row, kFloat), 2.5f);
    WriteCellDouble(table.CellForWrite(row, kDouble), 1.2e-7);
    table.SetString(row, kName, "old");
    table.SetString(row, kTag, "T1");
  }
  std::int32_t Int(int c) { return ReadCellInt(table.LiveCell(row, c)); }
  std::uint32_t Uint(int c) { return ReadCellUint(table.LiveCell(row, c)); }
  std::string Str(int c) { return table.GetStringOrEmpty(row, c); }

  CUTable table;
  int row = 0;
};

TEST_F(CellStoreTest, EditorWritesByType) {
  StoreEditorText(table, row, kNum, "17x");
  EXPECT_EQ(Int(kNum), 17);
  StoreEditorText(table, row, kNum, "abc");
  EXPECT_EQ(Int(kNum), 17) << "no number: unchanged";
  StoreEditorText(table, row, kNum, "3000000000");
  EXPECT_EQ(Int(kNum), 17) << "out of range: unchanged";
  StoreEditorText(table, row, kFloat, " -0.75");
  EXPECT_EQ(ReadCellFloat(table.LiveCell(row, kFloat)), -0.75f);
  StoreEditorText(table, row, kDouble, "0.1");
  EXPECT_EQ(ReadCellDouble(table.LiveCell(row, kDouble)), 0.1) << "double precision kept";
  StoreEditorText(table, row, kDouble, "none");
  EXPECT_EQ(ReadCellDouble(table.LiveCell(row, kDouble)), 0.1);

  StoreEditorText(table, row, kName, std::string(80, 'n'));
  EXPECT_EQ(Str(kName), std::string(60, 'n'));
  StoreEditorText(table, row, kName, "");
  EXPECT_EQ(table.GetString(row, kName), nullptr) << "empty text: a null string";
  StoreEditorText(table, row, kTag, "ABCDEFGHIJ");
  EXPECT_EQ(Str(kTag), "ABCDEFG");

  // Check, mark and the exist column are not the editor's.
  StoreEditorText(table, row, kChk, "0");
  StoreEditorText(table, row, kMark, "0");
  StoreEditorText(table, row, kExist, "0");
  EXPECT_EQ(Uint(kChk), 1u);
  EXPECT_EQ(Uint(kMark), 4u);
  EXPECT_EQ(table.RowExists(row), 1u);
}

TEST_F(CellStoreTest, RecordDialogWritesByType) {
  StoreRecordFieldText(table, row, kChk, "");
  EXPECT_EQ(Uint(kChk), 0u) << "empty check text stores 0";
  StoreRecordFieldText(table, row, kMark, "3");
  EXPECT_EQ(Uint(kMark), 3u);
  StoreRecordFieldText(table, row, kMark, "-1");
  EXPECT_EQ(Uint(kMark), 3u) << "-1 is no unsigned number";
  StoreRecordFieldText(table, row, kMark, "");
  EXPECT_EQ(Uint(kMark), 0u);
  StoreRecordFieldText(table, row, kNum, "");
  EXPECT_EQ(Int(kNum), 5) << "empty int text: unchanged";
  StoreRecordFieldText(table, row, kName, std::string(200, 's'));
  EXPECT_EQ(Str(kName), std::string(200, 's')) << "the whole text";
  StoreRecordFieldText(table, row, kName, "");
  EXPECT_EQ(table.GetString(row, kName), nullptr);
  StoreRecordFieldText(table, row, kTag, "LONGTAG9");
  EXPECT_EQ(Str(kTag), "LONGTAG");
  StoreRecordFieldText(table, row, kExist, "0");
  EXPECT_EQ(table.RowExists(row), 1u) << "the exist column is never written";
}

TEST_F(CellStoreTest, ADeadRowEndsTheProgram) {
  const int other = table.AddRow();
  table.DeleteRow(row);
  ASSERT_EQ(table.RowExists(row), 0u);
  (void)other;
  EXPECT_EXIT(StoreEditorText(table, row, kNum, "1"), ::testing::ExitedWithCode(247),
              "UT recored was deteled");
  EXPECT_EXIT(StoreRecordFieldText(table, row, kName, "x"), ::testing::ExitedWithCode(247),
              "UT recored was deteled");
}

}  // namespace
