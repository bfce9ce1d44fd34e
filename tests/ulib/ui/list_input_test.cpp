#include "ulib/ui/list_input.h"

#include <gtest/gtest.h>

#include "tests/ulib/ui/list_fixture.h"
#include "ulib/ui/cell_toggle.h"

namespace {

using namespace listtest;

TEST(ListInputTest, ArrowKeys) {
  struct Case {
    const char* name;
    int selectMsg, noArrowNotify;
    bool up;
    int selected, lines;
    ArrowKeyAction action;
  };
  const Case kCases[] = {
      {"down in the middle", 1, 0, false, 2, 5, ArrowKeyAction::kPostAndMove},
      {"up in the middle", 1, 0, true, 2, 5, ArrowKeyAction::kPostAndMove},
      {"up on line 0", 1, 0, true, 0, 5, ArrowKeyAction::kDrop},
      {"down on the last line", 1, 0, false, 4, 5, ArrowKeyAction::kDrop},
      {"nothing selected", 1, 0, false, -1, 5, ArrowKeyAction::kDrop},
      {"selection past the lines", 1, 0, true, 7, 5, ArrowKeyAction::kDrop},
      {"up from the last line", 1, 0, true, 4, 5, ArrowKeyAction::kPostAndMove},
      {"no select message", 0, 0, false, 0, 5, ArrowKeyAction::kDefault},
      {"arrows post nothing", 1, 1, true, 0, 5, ArrowKeyAction::kDefault},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ListLayout layout = MakeLayout();
    layout.selectMsg = c.selectMsg;
    layout.noArrowNotify = c.noArrowNotify;
    EXPECT_EQ(DecideArrowKey(layout, c.up, c.selected, c.lines), c.action);
  }
}

TEST(ListInputTest, DoubleAndRightClicks) {
  ListColumn column = MakeColumn(kNum, "%d");
  EXPECT_EQ(DecideDoubleClick(column, CellInt), DoubleClickAction::kEditCell);
  column.readOnly = 1;
  EXPECT_EQ(DecideDoubleClick(column, CellInt), DoubleClickAction::kNothing);
  column.dblClickMsg = 5;
  EXPECT_EQ(DecideDoubleClick(column, CellInt), DoubleClickAction::kPostMessage)
      << "the message wins over read-only";
  ListColumn exist = MakeColumn(kExist, "%d");
  // Editing exist would kill a listed row.
  EXPECT_EQ(DecideDoubleClick(exist, CellExist), DoubleClickAction::kNothing);

  ListLayout layout = MakeLayout();
  ListColumn plain = MakeColumn(kNum, "%d");
  ListColumn flagged = plain;
  flagged.rclickMsg = 1;
  EXPECT_EQ(DecideRightClick(layout, plain), RightClickAction::kEditRecord);
  EXPECT_EQ(DecideRightClick(layout, flagged), RightClickAction::kPostMessage);
  layout.rclickMsg = 0;
  EXPECT_EQ(DecideRightClick(layout, flagged), RightClickAction::kEditRecord);
}

TEST(ListInputTest, EditActionsByType) {
  EXPECT_EQ(CellEditActionFor(CellCheck), CellEditAction::kToggleCheck);
  EXPECT_EQ(CellEditActionFor(CellMark), CellEditAction::kStepMark);
  for (CellType t : {CellInt, CellFloat, CellDouble, CellString, CellChars}) {
    EXPECT_EQ(CellEditActionFor(t), CellEditAction::kOpenEditor) << t;
  }
  for (CellType t : {CellExist, CellRawInt, CellHidden}) {
    EXPECT_EQ(CellEditActionFor(t), CellEditAction::kNone) << t;
  }
}

TEST(ListInputTest, CheckAndMarkSteps) {
  EXPECT_EQ(ToggledCheck(0), 1u);
  EXPECT_EQ(ToggledCheck(1), 0u);
  EXPECT_EQ(ToggledCheck(5), 0u);
  const std::uint32_t kAfter[] = {4, 2, 1, 1, 0, 1, 6, 7, 8};
  for (std::uint32_t v = 0; v < 9; ++v) EXPECT_EQ(NextMarkState(v), kAfter[v]) << v;
  const std::uint32_t kReset[] = {0, 1, 0, 1, 0, 1, 0, 1};
  for (std::uint32_t v = 0; v < 8; ++v) EXPECT_EQ(ResetMark(v), kReset[v]) << v;
}

}  // namespace
