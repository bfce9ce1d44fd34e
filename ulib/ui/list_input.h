#pragma once
// What a list does with a key or a mouse button, decided apart from the widget.

#include <cstdint>

#include "ulib/table_store.h"
#include "ulib/ui/list_layout.h"

enum class ArrowKeyAction {
  kDefault,      // the key moves the selection, nothing is posted
  kDrop,         // nothing at all: no selection or at an end
  kPostAndMove,  // post selectMsg (0, the selected line), then move
};
// Up or Down. selectedLine is -1 when nothing is selected.
ArrowKeyAction DecideArrowKey(const ListLayout& layout, bool up, std::int32_t selectedLine,
                              std::int32_t lineCount);

enum class DoubleClickAction {
  kPostMessage,  // post the column's dblClickMsg (list column, line)
  kEditCell,     // toggle a check or mark cell, or open the in-place editor
  kNothing,      // read-only column
};
DoubleClickAction DecideDoubleClick(const ListColumn& column, CellType type);

enum class RightClickAction {
  kPostMessage,  // post the layout's rclickMsg (list column, line)
  kEditRecord,   // open the Edit record dialog for the line
};
RightClickAction DecideRightClick(const ListLayout& layout, const ListColumn& column);

enum class CellEditAction {
  kToggleCheck,
  kStepMark,
  kOpenEditor,
  kNone,  // the exist column and cells with no text
};
CellEditAction CellEditActionFor(CellType type);

// The exist column is never edited: a 0 typed there would kill a listed row.
inline bool IsEditableCellType(CellType type) {
  return type != CellExist && type != CellRawInt && type != CellHidden;
}
