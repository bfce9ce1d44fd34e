#pragma once
// The popup menu of a list's column header: its items by layout and column type, and where
// it opens.

#include <string>
#include <vector>

#include "ulib/table_store.h"
#include "ulib/ui/list_layout.h"

struct HeaderMenuItem {
  int id;             // the command; 0 for a separator
  std::string label;
};

// "Hide", "Row Select", "Sort +", "Sort -", then by menuMsgBase and the column's type "all On",
// "all Off" and "reset", and the extra item (labelled with menuText) of a column with its own
// rclickMsg.
std::vector<HeaderMenuItem> HeaderMenuItems(const ListLayout& layout, const ListColumn& column,
                                            CellType type);

struct MenuPoint {
  int x;
  int y;
};
// The menu opens at the top-left corner of line 0's cell in the clicked column (its left and
// top clamped to 0 or more; 0, 0 when the list has no lines), counted from the list window's
// top-left corner on the screen.
MenuPoint HeaderMenuPosition(MenuPoint listWindowTopLeft, bool hasLines, MenuPoint cellTopLeft);
