#include "ulib/ui/list_layout_check.h"

#include <cstring>
#include <string_view>

#include "ulib/messages.h"

namespace {

bool Terminated(const char* text, std::size_t size) { return strnlen(text, size) < size; }

// The conversion character of the one conversion in fmt, or 0 when there is none or more.
char SoleConversion(std::string_view fmt, bool& longModifier) {
  char conversion = 0;
  longModifier = false;
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') continue;
    ++i;
    if (i < fmt.size() && fmt[i] == '%') continue;
    if (conversion != 0) return 0;
    while (i < fmt.size() && std::strchr("-+ #0", fmt[i])) ++i;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') ++i;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') ++i;
    }
    if (i < fmt.size() && fmt[i] == 'l') {
      longModifier = true;
      ++i;
    }
    if (i >= fmt.size()) return 0;
    conversion = fmt[i];
  }
  return conversion;
}

bool ValidColumn(std::int32_t column, const TableDescriptor& descriptor) {
  return column >= 0 && column < descriptor.columnCount;
}

bool IsIntColumn(std::int32_t column, const TableDescriptor& descriptor) {
  return column >= 1 && ValidColumn(column, descriptor) &&
         descriptor.columns[column].type == CellInt;
}

}  // namespace

bool FormatFitsCellType(const char (&fmt)[kListFormatChars], CellType type) {
  const bool integer = type == CellInt || type == CellExist;
  const bool real = type == CellFloat || type == CellDouble;
  if (!integer && !real) return true;
  if (!Terminated(fmt, kListFormatChars)) return false;
  bool longModifier = false;
  const char conversion = SoleConversion(fmt, longModifier);
  if (conversion == 0) return false;
  if (integer) {
    const char* conversions = type == CellInt ? "di" : "diuxXo";
    return !longModifier && std::strchr(conversions, conversion) != nullptr;
  }
  return std::strchr("fFeEgGaA", conversion) != nullptr;
}

std::string CheckListLayout(const ListLayout& layout, const TableDescriptor& descriptor) {
  const char* table = descriptor.fileName;
  if (layout.columnCount < 1 || layout.columnCount > kMaxListColumns) {
    return FormatMessageText("List layout of %s: %d columns (1 to %d allowed)", table,
                             layout.columnCount, kMaxListColumns);
  }
  if (!IsIntColumn(layout.dlineColumn, descriptor) ||
      !IsIntColumn(layout.itemdataColumn, descriptor) ||
      layout.dlineColumn == layout.itemdataColumn) {
    return FormatMessageText(
        "List layout of %s: line column %d and row column %d must be two different CellInt "
        "columns from 1 up",
        table, layout.dlineColumn, layout.itemdataColumn);
  }
  for (int i = 0; i < layout.columnCount; ++i) {
    const ListColumn& column = layout.columns[i];
    if (!ValidColumn(column.tableColumn, descriptor)) {
      return FormatMessageText("List layout of %s: column %d shows table column %d, which %s has not",
                               table, i, column.tableColumn, table);
    }
    if (!Terminated(column.menuText, kListMenuTextChars)) {
      return FormatMessageText("List layout of %s: column %d has an unterminated menu text", table,
                               i);
    }
    const CellType type = descriptor.columns[column.tableColumn].type;
    if (!FormatFitsCellType(column.fmt, type)) {
      return FormatMessageText("List layout of %s: column %d (%s) has a format that does not fit "
                               "its cell type",
                               table, i, descriptor.columns[column.tableColumn].name);
    }
  }
  return std::string();
}
