#include "app/list_layouts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "analysis/result_tables.h"
#include "app/click_table.h"
#include "ulib/table_store.h"
#include "ulib/ui/list_layout_check.h"
#include "ulib/ui/list_messages.h"

namespace {

struct ExpectedColumn {
  const char* name;  // of the table column shown
  int shown;
  int readOnly;
  int width;
  const char* fmt;
  unsigned dblClickMsg;
  unsigned rclickMsg;
};

struct ExpectedLayout {
  const char* prefix;
  const ListLayout* layout;
  const TableDescriptor* table;
  int top, bottom, left, right;
  unsigned rclickMsg, selectMsg;
  const char* dline;     // name of the line column
  const char* itemdata;  // name of the row column
  std::vector<ExpectedColumn> columns;
};

std::vector<ExpectedColumn> PairListColumns() {
  struct Short {
    const char* name;
    int width;
    const char* fmt;
  };
  const Short kColumns[] = {
      {"*", 16, "%b"},         {"#", 28, "%d"},      {"localtime", 100, "%s"}, {"ID1", 70, "%s"},
      {"s1", 28, "%s"},        {"ID2", 70, "%s"},    {"s2", 28, "%s"},         {"GD", 40, "%.1f"},
      {"DT", 50, "%.1f"},      {"lng1", 50, "%.2f"}, {"lat1", 50, "%.2f"},     {"alt1", 40, "%.1f"},
      {"gioidh1", 40, "%.1f"}, {"lng2", 50, "%.2f"}, {"lat2", 50, "%.2f"},     {"alt2", 40, "%.1f"},
      {"gioidh2", 40, "%.1f"},
  };
  std::vector<ExpectedColumn> columns;
  for (const Short& c : kColumns) {
    // The check column opens the record editor on a right-click instead.
    const unsigned rclick = std::strcmp(c.name, "*") == 0 ? 0 : UM_UR_RCLICK;
    columns.push_back({c.name, 1, 1, c.width, c.fmt, UM_UR_SELECT, rclick});
  }
  return columns;
}

std::vector<ExpectedColumn> ResultListColumns() {
  struct Short {
    const char* name;
    int shown;
    int readOnly;
    int width;
    const char* fmt;
  };
  const Short kColumns[] = {
      {"*", 1, 0, 16, "%b"},      {"#", 1, 1, 28, "%d"},     {"localtime", 0, 1, 100, "%s"},
      {"ID1", 1, 1, 70, "%s"},    {"ID2", 1, 1, 70, "%s"},   {"pos", 1, 1, 30, "%d"},
      {"lng", 1, 1, 60, "%.4f"},  {"lat", 1, 1, 50, "%.4f"}, {"H1", 1, 1, 40, "%.1f"},
      {"H2", 1, 1, 40, "%.1f"},   {"dH", 1, 1, 40, "%.2f"},  {"Qc", 1, 1, 40, "%.1f"},
      {"ld1", 1, 1, 40, "%.1f"},  {"ld2", 1, 1, 40, "%.1f"}, {"dlng", 1, 1, 60, "%.6f"},
      {"dlat", 1, 1, 60, "%.6f"}, {"dh1", 1, 1, 60, "%.6f"}, {"dh2", 1, 1, 60, "%.6f"},
      {"dl1", 1, 1, 60, "%.6f"},  {"dl2", 1, 1, 60, "%.6f"},
  };
  std::vector<ExpectedColumn> columns;
  for (const Short& c : kColumns) {
    columns.push_back({c.name, c.shown, c.readOnly, c.width, c.fmt, UM_UP_SELECT, UM_UP_RCLICK});
  }
  return columns;
}

// pos is edited in place (no double-click message); the angles select.
std::vector<ExpectedColumn> ClickListColumns(unsigned selectMsg, unsigned rclickMsg) {
  return {{"pos", 1, 0, 30, "%d", 0, rclickMsg},
          {"az", 1, 1, 50, "%.2f", selectMsg, rclickMsg},
          {"ev", 1, 1, 50, "%.2f", selectMsg, rclickMsg}};
}

std::vector<ExpectedLayout> ExpectedLayouts() {
  return {
      {"UR", &layoutUR, &PairTable, 500, -1, -1, 498, UM_UR_RCLICK, UM_UR_SELECT, "dline",
       "itemdata", PairListColumns()},
      {"UP", &layoutUP, &ResultTable, 120, -1, -1, -1, UM_UP_RCLICK, UM_UP_SELECT, "dline",
       "itemdata", ResultListColumns()},
      {"C1", &layoutC1, &ClickTable, 50, -1, -1, 150, UM_C1_RCLICK, UM_C1_SELECT, "dline",
       "itemdata", ClickListColumns(UM_C1_SELECT, UM_C1_RCLICK)},
      {"C2", &layoutC2, &ClickTable, 50, -1, 154, -1, UM_C2_RCLICK, UM_C2_SELECT, "dline2",
       "itemdata2", ClickListColumns(UM_C2_SELECT, UM_C2_RCLICK)},
  };
}

// Each list is bound to its table kind, which checks the layout once; a wrong one ends the
// program at the list's first showing.
TEST(ListLayoutsTest, EveryLayoutFitsItsTable) {
  for (const ExpectedLayout& e : ExpectedLayouts()) {
    SCOPED_TRACE(e.prefix);
    EXPECT_EQ(CheckListLayout(*e.layout, *e.table), "");
  }
}

TEST(ListLayoutsTest, TheLayoutsAsDesigned) {
  for (const ExpectedLayout& e : ExpectedLayouts()) {
    SCOPED_TRACE(e.prefix);
    const ListLayout& l = *e.layout;
    const TableDescriptor& t = *e.table;
    EXPECT_EQ(l.top, e.top);
    EXPECT_EQ(l.bottom, e.bottom);
    EXPECT_EQ(l.left, e.left);
    EXPECT_EQ(l.right, e.right);
    EXPECT_EQ(l.editMsg, 0);
    EXPECT_EQ(l.rclickMsg, static_cast<std::int32_t>(e.rclickMsg));
    EXPECT_EQ(l.selectMsg, static_cast<std::int32_t>(e.selectMsg));
    EXPECT_EQ(l.deleteMsg, 0);
    EXPECT_EQ(l.menuMsgBase, 0);
    EXPECT_EQ(l.sortableHeader, 1);
    EXPECT_EQ(l.noArrowNotify, 0);
    ASSERT_GT(l.dlineColumn, 0);
    ASSERT_GT(l.itemdataColumn, 0);
    EXPECT_STREQ(t.columns[l.dlineColumn].name, e.dline);
    EXPECT_STREQ(t.columns[l.itemdataColumn].name, e.itemdata);
    ASSERT_EQ(l.columnCount, static_cast<int>(e.columns.size()));
    for (int i = 0; i < l.columnCount; ++i) {
      const ListColumn& c = l.columns[i];
      const ExpectedColumn& x = e.columns[static_cast<std::size_t>(i)];
      SCOPED_TRACE(i);
      ASSERT_GE(c.tableColumn, 0);
      ASSERT_LT(c.tableColumn, t.columnCount);
      EXPECT_STREQ(t.columns[c.tableColumn].name, x.name);
      EXPECT_EQ(c.shown, x.shown);
      EXPECT_EQ(c.readOnly, x.readOnly);
      EXPECT_EQ(c.width, x.width);
      EXPECT_STREQ(c.fmt, x.fmt);
      EXPECT_EQ(c.dblClickMsg, static_cast<std::int32_t>(x.dblClickMsg));
      EXPECT_EQ(c.rclickMsg, static_cast<std::int32_t>(x.rclickMsg));
      EXPECT_STREQ(c.menuText, "");
      EXPECT_EQ(c.subitem, 0);
      EXPECT_EQ(c.layoutColumnAt, 0);
    }
    // Records beyond columnCount are never used and carry nothing.
    EXPECT_EQ(l.columns[l.columnCount].tableColumn, 0);
    EXPECT_EQ(l.columns[l.columnCount].width, 0);
  }
}

TEST(ListLayoutsTest, SettingsOrderAndPrefixes) {
  const std::vector<ExpectedLayout> expected = ExpectedLayouts();
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(kSettingsLayoutCount));
  for (int i = 0; i < kSettingsLayoutCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(kSettingsLayouts[i].prefix, expected[static_cast<std::size_t>(i)].prefix);
    EXPECT_EQ(kSettingsLayouts[i].layout, expected[static_cast<std::size_t>(i)].layout);
  }
}

TEST(ClickTableTest, TheDescriptor) {
  EXPECT_STREQ(ClickTable.fileName, "NVclick.csv");
  EXPECT_EQ(ClickTable.version, 512u);
  EXPECT_EQ(ClickTable.rowsPerBlock, 10000);
  struct Column {
    const char* name;
    CellType type;
    std::uint32_t csv;
  };
  const Column kColumns[] = {
      {"exist", CellExist, 0},  {"pos", CellInt, 1},       {"az", CellFloat, 1},
      {"ev", CellFloat, 1},     {"dline", CellInt, 0},     {"dline2", CellInt, 0},
      {"itemdata", CellInt, 0}, {"itemdata2", CellInt, 0},
  };
  ASSERT_EQ(ClickTable.columnCount, static_cast<int>(std::size(kColumns)));
  static_assert(std::size(kColumns) == kClickColumnCount);
  for (int i = 0; i < ClickTable.columnCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(ClickTable.columns[i].name, kColumns[i].name);
    EXPECT_EQ(ClickTable.columns[i].type, kColumns[i].type);
    EXPECT_EQ(ClickTable.columns[i].csv, kColumns[i].csv);
  }
  // The table accepts the descriptor (its constructor would end the program otherwise), and
  // both click tables wait for start-up to create them.
  CUTable table(&ClickTable);
  EXPECT_EQ(table.AddRow(), 0);
  EXPECT_EQ(clickTable1, nullptr);
  EXPECT_EQ(clickTable2, nullptr);
}

}  // namespace
