#include "ulib/ui/list_input.h"

ArrowKeyAction DecideArrowKey(const ListLayout& layout, bool up, std::int32_t selectedLine,
                              std::int32_t lineCount) {
  if (layout.noArrowNotify != 0 || layout.selectMsg == 0) return ArrowKeyAction::kDefault;
  if (selectedLine < 0 || selectedLine >= lineCount) return ArrowKeyAction::kDrop;
  if (up && selectedLine == 0) return ArrowKeyAction::kDrop;
  if (!up && selectedLine == lineCount - 1) return ArrowKeyAction::kDrop;
  return ArrowKeyAction::kPostAndMove;
}

DoubleClickAction DecideDoubleClick(const ListColumn& column, CellType type) {
  if (column.dblClickMsg != 0) return DoubleClickAction::kPostMessage;
  if (column.readOnly != 0 || !IsEditableCellType(type)) return DoubleClickAction::kNothing;
  return DoubleClickAction::kEditCell;
}

RightClickAction DecideRightClick(const ListLayout& layout, const ListColumn& column) {
  if (layout.rclickMsg != 0 && column.rclickMsg != 0) return RightClickAction::kPostMessage;
  return RightClickAction::kEditRecord;
}

CellEditAction CellEditActionFor(CellType type) {
  switch (type) {
    case CellCheck: return CellEditAction::kToggleCheck;
    case CellMark: return CellEditAction::kStepMark;
    case CellInt:
    case CellFloat:
    case CellDouble:
    case CellString:
    case CellChars: return CellEditAction::kOpenEditor;
    default: return CellEditAction::kNone;
  }
}
