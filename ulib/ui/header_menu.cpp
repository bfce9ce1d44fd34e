#include "ulib/ui/header_menu.h"

#include <algorithm>
#include <cstring>

#include "ulib/ui/list_messages.h"

std::vector<HeaderMenuItem> HeaderMenuItems(const ListLayout& layout, const ListColumn& column,
                                            CellType type) {
  std::vector<HeaderMenuItem> items = {{kHeaderCmdHide, "Hide"},
                                       {kHeaderCmdRowSelect, "Row Select"},
                                       {0, ""},
                                       {kHeaderCmdSortUp, "Sort +"},
                                       {kHeaderCmdSortDown, "Sort -"}};
  const bool flagColumn = type == CellCheck || type == CellMark;
  if (layout.menuMsgBase == 2 && type == CellMark) {
    items.push_back({0, ""});
    items.push_back({kHeaderCmdReset, "reset"});
  } else if (layout.menuMsgBase != 0 && layout.menuMsgBase != 2 && flagColumn) {
    items.push_back({0, ""});
    items.push_back({kHeaderCmdAllOn, "all On"});
    items.push_back({kHeaderCmdAllOff, "all Off"});
    if (type == CellMark) items.push_back({kHeaderCmdReset, "reset"});
  }
  if (column.rclickMsg != 0) {
    items.push_back({0, ""});
    items.push_back({kHeaderCmdExtra,
                     std::string(column.menuText, strnlen(column.menuText, kListMenuTextChars))});
  }
  return items;
}

MenuPoint HeaderMenuPosition(MenuPoint listWindowTopLeft, bool hasLines, MenuPoint cellTopLeft) {
  if (!hasLines) cellTopLeft = {0, 0};
  return {listWindowTopLeft.x + std::max(cellTopLeft.x, 0),
          listWindowTopLeft.y + std::max(cellTopLeft.y, 0)};
}
