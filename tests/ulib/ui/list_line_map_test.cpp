#include "ulib/ui/list_line_map.h"

#include <gtest/gtest.h>

#include "tests/ulib/ui/list_fixture.h"

namespace {

using namespace listtest;

TEST(ListLineMapTest, TheRowArrayReachesPastTheRowsInUse) {
  CUTable table(&kEveryType);
  AddRow(table, 1);
  WriteLineRow(table, kItemdata, 10, 77);  // blocks of four: two blocks appended
  EXPECT_EQ(ReadLineRow(table, kItemdata, 10), 77);
  EXPECT_EQ(table.rowCount, 1);
  EXPECT_EQ(ReadLineRow(table, kItemdata, 11), 0) << "inside a block, never written";
  EXPECT_EXIT(ReadLineRow(table, kItemdata, 12), ::testing::ExitedWithCode(247),
              "CUTABLE invalid access");
  EXPECT_EXIT(WriteLineRow(table, kItemdata, -1, 0), ::testing::ExitedWithCode(247),
              "CUTABLE setidemdata underflow");
}

TEST(ListLineMapTest, FilterAndDeadRows) {
  CUTable table(&kEveryType);
  ListLayout layout = MakeLayout();
  for (int v : {4, 9, 4, 1, 4, 2}) AddRow(table, v);
  table.DeleteRow(3);
  EXPECT_EQ(BuildLineMaps(table, layout, kNum, 4), 2);
  EXPECT_EQ(ReadLineRow(table, kItemdata, 0), 1);
  EXPECT_EQ(ReadLineRow(table, kItemdata, 1), 5);
  EXPECT_EQ(ReadCellInt(table.LiveCell(5, kDline)), 1);
  EXPECT_EQ(BuildLineMaps(table, layout, 0, 4), 5);
  EXPECT_EQ(ReadLineRow(table, kItemdata, 3), 4);
}

}  // namespace
