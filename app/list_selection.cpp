#include "app/list_selection.h"

#include <QApplication>

#include "ulib/table_cell.h"
#include "ulib/ui/cu_list.h"

void ClearListedMarks(CUList& list, std::int32_t markColumn) {
  CUTable* table = list.table();
  if (!table) return;
  for (std::int32_t line = 0; line < list.lineCount(); ++line) {
    void* mark = table->CellForWrite(list.RowOfLine(line), markColumn);
    if (ReadCellUint(mark) == 0) continue;
    WriteCellUint(mark, 0);
    list.RedrawLine(line);
  }
}

void SetListedMarks(CUList& list, std::int32_t markColumn, std::uint32_t value) {
  CUTable* table = list.table();
  if (!table) return;
  for (std::int32_t line = 0; line < list.lineCount(); ++line) {
    WriteCellUint(table->CellForWrite(list.RowOfLine(line), markColumn), value);
    list.RedrawLine(line);
  }
}

bool CtrlKeyDown() { return (QApplication::keyboardModifiers() & Qt::ControlModifier) != 0; }
