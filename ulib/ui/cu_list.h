#pragma once
// A list view of one table's live rows, one line per row and one list column per shown column
// of its layout. The view holds no data: it knows how many lines there are and asks for each
// cell's text when it paints it. Which row a line shows, and on which line a row stands, is kept
// in the table itself (the layout's itemdata and dline columns). Clicks and keys are posted to
// the parent as window messages named by the layout; the parent decides what they mean.
//
// A CUList is constructed without a window, so it can live anywhere; Bind creates the view as a
// child of the parent, and the view dies with the parent.

#include <QPointer>
#include <QWidget>
#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

#include "ulib/table_store.h"
#include "ulib/ui/list_layout.h"

class QPoint;
class QTableView;
class QWidget;
class CCellEdit;
class CUListModel;
class CUListView;

class CUList {
 public:
  // Who deletes the view when the list itself ends before its window.
  enum class ViewOwner {
    kList,    // the list: a list that is part of its window goes before the window's children
    kWindow,  // the window: a list that outlives its windows (one of static storage, which ends
              // only after Qt's own end) never touches its view at its end; the window's owner
              // lets go of it with Release when the window goes
  };

  explicit CUList(ViewOwner owner = ViewOwner::kList);
  ~CUList();
  CUList(const CUList&) = delete;
  CUList& operator=(const CUList&) = delete;

  // Creates the view in the parent (which receives the messages) over the table. An open
  // in-place edit is dropped, not stored. The layout is checked once against the table: a
  // layout that does not fit ends the program. The list is empty until Reload.
  void Bind(QWidget* parent, ListLayout* layout, CUTable* table);
  // Deletes the view (and with it an open in-place edit, not stored) while its window still
  // stands, and forgets the window and the table: the list is bound to nothing until the next
  // Bind. Nothing happens when there is no view.
  void Release();

  // Rebuilds columns and lines from layout and table, leaving out rows whose filterColumn cell
  // equals filterValue (filterColumn 0: none), and sorts again by the last Sort. An open
  // in-place edit is stored first.
  void Reload(std::int32_t filterColumn, std::int32_t filterValue);
  void ClearAndReload(std::int32_t filterColumn, std::int32_t filterValue);

  // The row shown on a line (0 <= line < lineCount()).
  std::int32_t RowOfLine(std::int32_t line) const;
  // Repaints one line; -1 is the selected line, or line 0 when none is selected.
  void RedrawLine(std::int32_t line);
  // Moves and sizes the view in the parent's client rectangle: the layout's placement in
  // pixels, or in grid units (gridScaleX, gridScaleY).
  void Place(const QRect& client);
  void PlaceScaled(const QRect& client);
  // Selects the line that shows the row and returns it; -1 (and no selection) when no line
  // shows it. The row already selected is left as it is.
  std::int32_t SelectRow(std::int32_t row);
  // The line loses its selected and focused state, so that the next click on it selects it
  // again. A line outside the list: nothing.
  void DeselectLine(std::int32_t line);
  // Reorders the lines by a table column, direction > 0 ascending, otherwise descending. The
  // column and direction are kept and applied again by every Reload.
  void Sort(std::int32_t tableColumn, std::int32_t direction);

  // A double-click on a cell of a column without a double-click message, with the edit state
  // set: toggles a check or mark cell, or opens the in-place editor over the cell.
  void BeginCellEdit();
  // Stores an open in-place edit into its cell, closes it, repaints the line and posts editMsg.
  void EndCellEdit();
  // Empties the list and its whole table, rows the filter left out included.
  void DeleteAllRows();
  // The Row Select dialog; OK rebuilds the list.
  void SelectColumns();
  // The Edit record dialog for a line (-1: the selected line). 1 when it closed with OK; 0 when
  // it was cancelled or nothing was opened (no line selected, a line at or beyond lineCount).
  std::int32_t EditLine(std::int32_t line, std::int32_t showDelete);
  // The header popup menu's commands, acting on the column whose header was clicked last.
  void OnCommand(int commandId);

  // The list's state.
  QTableView* View() const;
  std::int32_t SelectedLine() const;  // -1 when none
  std::int32_t controlId() const { return controlId_; }
  ListLayout* layout() const { return layout_; }
  const TableDescriptor* descriptor() const { return descriptor_; }
  CUTable* table() const { return table_; }
  QWidget* parent() const { return parent_; }
  bool editing() const { return editing_ != 0; }
  std::int32_t editRow() const { return editRow_; }
  std::int32_t editLayoutColumn() const { return editLayoutColumn_; }
  std::int32_t editLine() const { return editLine_; }
  std::int32_t editSubitem() const { return editSubitem_; }
  std::int32_t filterColumn() const { return filterColumn_; }
  std::int32_t filterValue() const { return filterValue_; }
  std::int32_t lineCount() const { return lineCount_; }
  std::int32_t lastHeaderSubitem() const { return lastHeaderSubitem_; }
  std::int32_t sortColumn() const { return sortColumn_; }
  std::int32_t sortDirection() const { return sortDirection_; }

  // The text of one cell as the view shows it (empty outside the lines and for dead rows).
  std::string CellTextAt(std::int32_t line, std::int32_t listColumn) const;
  // The list columns shown (at least one once bound and reloaded) and their header texts.
  int ListColumnCount() const { return listColumnCount_; }
  std::string HeaderText(int listColumn) const;

 private:
  friend class CUListView;
  friend class CCellEdit;

  // Handlers of the view's events; each returns true when the view's own processing follows.
  bool OnLButtonDown(const QPoint& point);
  void OnLButtonDblClk(const QPoint& point);
  void OnRButtonDown(const QPoint& point);
  bool OnArrowKey(bool up);
  void OnEditorKey(int key);  // Enter and Escape from the in-place editor
  void OnHeaderItemClick(int listColumn);
  void OnHeaderItemDblClick(int listColumn);
  void OnHeaderEndTrack();

  void DiscardCellEdit();
  void CloseEditor();
  void Post(std::int32_t message, std::intptr_t wParam, std::intptr_t lParam) const;
  std::int32_t CheckedRowOfLine(std::int32_t line) const;
  void RepaintVisibleLines();
  void ApplyColumnWidths();
  std::int32_t TableColumnOfListColumn(int listColumn) const;

  ViewOwner viewOwner_;
  std::int32_t controlId_ = 0;
  ListLayout* layout_ = nullptr;
  const TableDescriptor* descriptor_ = nullptr;
  CUTable* table_ = nullptr;
  QPointer<QWidget> parent_;
  QPointer<CCellEdit> cellEdit_;
  std::string editStartText_;  // unchanged text is not written back
  std::int32_t editing_ = 0;
  std::int32_t editRow_ = 0;
  std::int32_t editLayoutColumn_ = 0;
  std::int32_t editLine_ = 0;
  std::int32_t editSubitem_ = 0;
  std::int32_t filterColumn_ = 0;
  std::int32_t filterValue_ = 0;
  std::int32_t lineCount_ = 0;
  std::int32_t lastHeaderSubitem_ = -1;
  std::int32_t sortColumn_ = -1;
  std::int32_t sortDirection_ = 1;

  int listColumnCount_ = 0;
  bool standInColumn_ = false;  // every column hidden: layout column 0 is shown, hidden, widthless
  bool reloading_ = false;  // the header's resize signals during Reload are not the user's
  QPointer<CUListView> view_;
  QPointer<CUListModel> model_;  // owned by the view
};
