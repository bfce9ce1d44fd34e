#include "ulib/ui/list_layout_check.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <functional>

#include "platform/scripted_platform.h"
#include "tests/ulib/ui/list_fixture.h"
#include "ulib/ui/cu_list.h"

namespace {

using namespace listtest;

struct FormatCase {
  const char* fmt;
  CellType type;
  bool fits;
};

TEST(ListLayoutCheckTest, FormatsFitTheirCellTypes) {
  const FormatCase kCases[] = {
      {"%d", CellInt, true},       {"%5d", CellInt, true},    {"#%-3i", CellInt, true},
      {"%u", CellInt, false},      {"%f", CellInt, false},    {"%s", CellInt, false},
      {"%ld", CellInt, false},     {"%d%d", CellInt, false},  {"", CellInt, false},
      {"%*d", CellInt, false},     {"%u", CellExist, true},   {"%d", CellExist, true},
      {"%x", CellExist, true},     {"%.1f", CellFloat, true}, {"%.6f", CellDouble, true},
      {"%lf", CellDouble, true},   {"%e", CellDouble, true},  {"%10.3g", CellFloat, true},
      {"%d", CellFloat, false},    {"%s", CellDouble, false}, {"%.1f%%", CellFloat, true},
      {"%%", CellFloat, false},    {"%n", CellDouble, false}, {"%.1Lf", CellDouble, false},
      {"%b", CellCheck, true},     {"%s", CellString, true},  {"%b", CellMark, true},
  };
  for (const FormatCase& c : kCases) {
    SCOPED_TRACE(std::string(c.fmt) + " type " + std::to_string(c.type));
    char fmt[kListFormatChars] = {};
    std::strncpy(fmt, c.fmt, sizeof fmt - 1);
    EXPECT_EQ(FormatFitsCellType(fmt, c.type), c.fits);
  }
  const char unterminated[kListFormatChars] = {'%', '.', '1', 'f', 'x', 'x', 'x', 'x'};
  EXPECT_FALSE(FormatFitsCellType(unterminated, CellFloat));
}

struct LayoutCase {
  const char* name;
  std::function<void(ListLayout&)> breakIt;
  const char* fault;  // part of the text; null: the layout is sound
};

TEST(ListLayoutCheckTest, LayoutsAgainstTheirTable) {
  const LayoutCase kCases[] = {
      {"sound", [](ListLayout&) {}, nullptr},
      {"no columns", [](ListLayout& l) { l.columnCount = 0; }, "0 columns"},
      {"too many columns", [](ListLayout& l) { l.columnCount = 101; }, "101 columns"},
      // A line column of 0 would write line numbers into exist and kill the rows.
      {"line column is exist", [](ListLayout& l) { l.dlineColumn = 0; }, "line column 0"},
      {"row column is exist", [](ListLayout& l) { l.itemdataColumn = 0; }, "row column 0"},
      {"same column twice", [](ListLayout& l) { l.itemdataColumn = l.dlineColumn; },
       "two different"},
      {"line column not an int", [](ListLayout& l) { l.dlineColumn = kFloat; }, "CellInt"},
      {"row column outside the table", [](ListLayout& l) { l.itemdataColumn = 12; }, "row column 12"},
      {"column outside the table", [](ListLayout& l) { l.columns[2].tableColumn = 40; },
       "table column 40"},
      {"format does not fit", [](ListLayout& l) { std::strcpy(l.columns[0].fmt, "%s"); },
       "column 0 (num)"},
      {"menu text without its end",
       [](ListLayout& l) { std::memset(l.columns[1].menuText, 'm', kListMenuTextChars); },
       "menu text"},
  };
  for (const LayoutCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ListLayout layout = MakeLayout();
    c.breakIt(layout);
    const std::string fault = CheckListLayout(layout, kEveryType);
    if (!c.fault) {
      EXPECT_EQ(fault, "");
    } else {
      EXPECT_NE(fault.find(c.fault), std::string::npos) << fault;
      EXPECT_NE(fault.find("NVtest.csv"), std::string::npos) << fault;
    }
  }
}

TEST(ListLayoutCheckTest, BindEndsTheProgramOnABadLayout) {
  CUTable table(&kEveryType);
  ListLayout layout = MakeLayout();
  layout.dlineColumn = 0;
  QWidget parent;
  CUList list;
  EXPECT_EXIT(
      {
        platform::ScopedScriptedPlatform scripted;
        list.Bind(&parent, &layout, &table);
      },
      ::testing::ExitedWithCode(247), "List layout of NVtest.csv: line column 0");
}

}  // namespace
