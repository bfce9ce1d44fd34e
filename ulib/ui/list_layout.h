#pragma once
// The static description of one list view: where it sits in its parent, which messages it posts
// there, which table columns it shows and how. One writable record per list; the user's column
// choices (shown flags, widths) are kept in it and saved with the settings, and the run-time
// fields are rewritten by every CUList::Reload.

#include <cstdint>

inline constexpr int kMaxListColumns = 100;
inline constexpr int kListFormatChars = 8;
inline constexpr int kListMenuTextChars = 20;

struct ListColumn {
  std::int32_t tableColumn;  // the table column shown
  std::int32_t shown;        // 1 shown, 0 hidden (setting "%s_d%d")
  std::int32_t readOnly;     // 1: no in-place edit, read-only in the Edit record dialog
  std::int32_t width;        // pixels (setting "%s_w%d"); divider drags write it
  char fmt[kListFormatChars];  // printf format of CellInt, CellExist, CellFloat, CellDouble cells
  std::int32_t dblClickMsg;  // posted on a double-click; 0 = in-place edit unless readOnly
  std::int32_t rclickMsg;    // non-zero: right-click posts the layout's rclickMsg, and the header
                             // menu gets an extra item posting this value
  char menuText[kListMenuTextChars];  // label of that extra header-menu item
  std::int32_t subitem;         // run time: the list column showing this column, -1 when hidden
  std::int32_t layoutColumnAt;  // run time, by list column k: the layout column shown there
};

struct ListLayout {
  // Placement in the parent: pixels for CUList::Place, grid units for CUList::PlaceScaled.
  // A negative bottom or right counts from the parent's bottom or right edge.
  std::int32_t top;
  std::int32_t bottom;
  std::int32_t left;
  std::int32_t right;
  std::int32_t columnCount;  // used records of columns, 1 to kMaxListColumns
  std::int32_t editMsg;      // posted after a cell or a record was edited; 0 = none
  std::int32_t rclickMsg;    // posted on a right-click on a column with its own rclickMsg
  std::int32_t selectMsg;    // posted on a left click on a line and on Up/Down; 0 = none
  std::int32_t deleteMsg;    // the Edit record dialog's "Delete This Item"; 0 = button hidden
  std::int32_t menuMsgBase;  // header group commands: 0 none, 2 "reset" only, else "all On"
                             // posts this and "all Off" this + 1
  std::int32_t sortableHeader;  // 1: header clicks open the header menu
  std::int32_t dlineColumn;     // CellInt table column receiving each listed row's line
  std::int32_t itemdataColumn;  // CellInt table column used as the line-to-row array
  std::int32_t noArrowNotify;   // 1: Up and Down post nothing
  ListColumn columns[kMaxListColumns];
};
