#include "ulib/ui/cu_list.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QWidget>
#include <cstring>

#include "platform/platform.h"
#include "platform/qt/window_message.h"
#include "ulib/messages.h"
#include "ulib/ui/cell_edit.h"
#include "ulib/ui/cell_store.h"
#include "ulib/ui/cell_text.h"
#include "ulib/ui/cell_toggle.h"
#include "ulib/ui/cu_list_model.h"
#include "ulib/ui/cu_list_view.h"
#include "ulib/ui/edit_line_dlg.h"
#include "ulib/ui/grid_scale.h"
#include "ulib/ui/header_menu.h"
#include "ulib/ui/list_input.h"
#include "ulib/ui/list_layout_check.h"
#include "ulib/ui/list_line_map.h"
#include "ulib/ui/list_messages.h"
#include "ulib/ui/list_placement.h"
#include "ulib/ui/list_sort.h"
#include "ulib/ui/row_select_dlg.h"

namespace {

// Child-window ids of the lists, one per Bind.
std::int32_t nextListControlId = 911;

// The editor's text as it is stored: its first 254 characters.
constexpr std::size_t kEditorReadChars = 254;

}  // namespace

CUList::CUList(ViewOwner owner) : viewOwner_(owner) {}

CUList::~CUList() {
  if (viewOwner_ == ViewOwner::kList) Release();
}

void CUList::Release() {
  editing_ = 0;
  // The in-place editor and the model are children of the view and go with it. The pointers
  // are emptied too, so that a list of static storage holds nothing of Qt's at its own end.
  delete view_.data();
  view_ = nullptr;
  model_ = nullptr;
  cellEdit_ = nullptr;
  parent_ = nullptr;
  table_ = nullptr;
  descriptor_ = nullptr;
  layout_ = nullptr;
  lineCount_ = 0;
  listColumnCount_ = 0;
}

void CUList::Bind(QWidget* parent, ListLayout* layout, CUTable* table) {
  if (editing_ != 0) DiscardCellEdit();
  const std::string fault = CheckListLayout(*layout, *table->descriptor);
  if (!fault.empty()) FatalError("%s", fault.c_str());

  table_ = table;
  layout_ = layout;
  parent_ = parent;
  descriptor_ = table->descriptor;
  lineCount_ = 0;
  filterColumn_ = 0;
  listColumnCount_ = 0;
  standInColumn_ = false;
  controlId_ = nextListControlId++;

  delete view_.data();
  view_ = new CUListView(this, parent);
  view_->setObjectName(QString("list%1").arg(controlId_));
  model_ = new CUListModel(this, view_);
  view_->setModel(model_);
  view_->horizontalHeader()->setSectionsClickable(layout->sortableHeader != 0);
  view_->setGeometry(0, 0, 100, 100);
  view_->show();
}

QTableView* CUList::View() const { return view_.data(); }

std::int32_t CUList::SelectedLine() const {
  if (!view_ || !view_->selectionModel()) return -1;
  const QModelIndexList rows = view_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void CUList::Reload(std::int32_t filterColumn, std::int32_t filterValue) {
  if (!layout_) return;
  platform::WaitCursor wait;
  filterColumn_ = filterColumn;
  filterValue_ = filterValue;
  EndCellEdit();

  reloading_ = true;
  if (model_) model_->BeginRebuild();
  int k = -1;
  for (int i = 0; i < layout_->columnCount; ++i) {
    ListColumn& column = layout_->columns[i];
    if (column.shown) {
      ++k;
      column.subitem = k;
      layout_->columns[k].layoutColumnAt = i;
    } else {
      column.subitem = -1;
    }
  }
  standInColumn_ = k < 0;
  if (standInColumn_) {
    // With every column hidden the list still shows layout column 0; it stays hidden.
    k = 0;
    layout_->columns[0].subitem = 0;
    layout_->columns[0].layoutColumnAt = 0;
  }
  listColumnCount_ = k + 1;
  lineCount_ = BuildLineMaps(*table_, *layout_, filterColumn_, filterValue_);
  if (model_) model_->EndRebuild();
  ApplyColumnWidths();
  reloading_ = false;

  RepaintVisibleLines();
  if (sortColumn_ >= 0) Sort(sortColumn_, sortDirection_);
}

void CUList::ClearAndReload(std::int32_t filterColumn, std::int32_t filterValue) {
  if (model_) model_->BeginRebuild();
  lineCount_ = 0;
  if (model_) model_->EndRebuild();
  Reload(filterColumn, filterValue);
}

void CUList::ApplyColumnWidths() {
  if (!view_) return;
  QHeaderView* header = view_->horizontalHeader();
  for (int k = 0; k < listColumnCount_ && k < header->count(); ++k) {
    header->resizeSection(k, layout_->columns[layout_->columns[k].layoutColumnAt].width);
  }
}

void CUList::RepaintVisibleLines() {
  if (view_) view_->viewport()->update();
}

std::int32_t CUList::RowOfLine(std::int32_t line) const {
  return ReadLineRow(*table_, layout_->itemdataColumn, line);
}

std::int32_t CUList::CheckedRowOfLine(std::int32_t line) const {
  const std::int32_t row = RowOfLine(line);
  if (row < 0 || row >= table_->rowCount) FatalError("CLU: line %d not exist", row);
  return row;
}

void CUList::RedrawLine(std::int32_t line) {
  if (line == -1) line = SelectedLine();
  if (line < 0) line = 0;
  if (model_) model_->LineChanged(line);
}

void CUList::Place(const QRect& client) {
  if (!view_) return;
  const ListRect r = PlaceRect(*layout_, client.x() + client.width(), client.y() + client.height());
  view_->setGeometry(r.x, r.y, r.width, r.height);
}

void CUList::PlaceScaled(const QRect& client) {
  if (!view_) return;
  const ListRect r = PlaceScaledRect(*layout_, client.x() + client.width(),
                                     client.y() + client.height(), gridScaleX, gridScaleY);
  view_->setGeometry(r.x, r.y, r.width, r.height);
}

std::int32_t CUList::SelectRow(std::int32_t row) {
  if (!view_) return -1;
  QItemSelectionModel* selection = view_->selectionModel();
  const std::int32_t selected = SelectedLine();
  if (selected >= 0) {
    if (RowOfLine(selected) == row) return selected;
    selection->clear();
  }
  for (std::int32_t line = 0; line < lineCount_; ++line) {
    if (RowOfLine(line) != row) continue;
    const QModelIndex index = model_->index(line, 0);
    selection->setCurrentIndex(index,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index, QAbstractItemView::EnsureVisible);
    return line;
  }
  return -1;
}

void CUList::Sort(std::int32_t tableColumn, std::int32_t direction) {
  sortDirection_ = direction;
  sortColumn_ = tableColumn;
  if (!layout_) return;
  if (tableColumn < 0 || tableColumn >= descriptor_->columnCount) {
    FatalError("CUTABLE invalid access");
  }
  SortLineMaps(*table_, *layout_, lineCount_, tableColumn, direction);
  RepaintVisibleLines();
}

std::string CUList::CellTextAt(std::int32_t line, std::int32_t listColumn) const {
  if (!layout_ || line < 0 || line >= lineCount_ || listColumn < 0 ||
      listColumn >= listColumnCount_) {
    return std::string();
  }
  const std::int32_t row = RowOfLine(line);
  if (table_->RowExists(row) == 0) return std::string();
  const ListColumn& column = layout_->columns[layout_->columns[listColumn].layoutColumnAt];
  const CellType type = descriptor_->columns[column.tableColumn].type;
  return ListCellText(type, table_->LiveCell(row, column.tableColumn), column.fmt);
}

std::string CUList::HeaderText(int listColumn) const {
  if (!layout_ || listColumn < 0 || listColumn >= listColumnCount_) return std::string();
  const ListColumn& column = layout_->columns[layout_->columns[listColumn].layoutColumnAt];
  const char* name = descriptor_->columns[column.tableColumn].name;
  return std::string(name, strnlen(name, kTableColumnNameChars));
}

void CUList::Post(std::int32_t message, std::intptr_t wParam, std::intptr_t lParam) const {
  platform::PostWindowMessage(parent_.data(), static_cast<unsigned>(message),
                              static_cast<std::uintptr_t>(wParam), lParam);
}

// --- mouse and keys --------------------------------------------------------------------------

bool CUList::OnLButtonDown(const QPoint& point) {
  EndCellEdit();
  const QModelIndex index = view_->indexAt(point);
  if (!index.isValid()) return false;
  if (layout_->selectMsg != 0) Post(layout_->selectMsg, index.column(), index.row());
  return true;
}

void CUList::OnLButtonDblClk(const QPoint& point) {
  const QModelIndex index = view_->indexAt(point);
  if (!index.isValid()) return;
  const std::int32_t line = index.row();
  const std::int32_t subitem = index.column();
  const std::int32_t row = CheckedRowOfLine(line);
  const std::int32_t layoutColumn = layout_->columns[subitem].layoutColumnAt;
  if (layoutColumn < 0 || layoutColumn >= layout_->columnCount) {
    FatalError("CLU: row %d not exist", layoutColumn);
  }
  const ListColumn& column = layout_->columns[layoutColumn];
  switch (DecideDoubleClick(column, descriptor_->columns[column.tableColumn].type)) {
    case DoubleClickAction::kPostMessage:
      Post(column.dblClickMsg, subitem, line);
      break;
    case DoubleClickAction::kEditCell:
      editLayoutColumn_ = layoutColumn;
      editRow_ = row;
      editLine_ = line;
      editSubitem_ = subitem;
      BeginCellEdit();
      break;
    case DoubleClickAction::kNothing:
      break;
  }
}

void CUList::OnRButtonDown(const QPoint& point) {
  EndCellEdit();
  const QModelIndex index = view_->indexAt(point);
  if (!index.isValid()) return;
  const std::int32_t line = index.row();
  const std::int32_t subitem = index.column();
  CheckedRowOfLine(line);
  const ListColumn& column = layout_->columns[layout_->columns[subitem].layoutColumnAt];
  if (DecideRightClick(*layout_, column) == RightClickAction::kPostMessage) {
    Post(layout_->rclickMsg, subitem, line);
    return;
  }
  EditLine(line, 1);
}

bool CUList::OnArrowKey(bool up) {
  switch (DecideArrowKey(*layout_, up, SelectedLine(), lineCount_)) {
    case ArrowKeyAction::kDefault:
      return true;
    case ArrowKeyAction::kDrop:
      return false;
    case ArrowKeyAction::kPostAndMove:
      Post(layout_->selectMsg, 0, SelectedLine());
      return true;
  }
  return true;
}

void CUList::OnEditorKey(int key) {
  if (editing_ == 0) return;
  if (key == Qt::Key_Escape) {
    DiscardCellEdit();
  } else {
    EndCellEdit();
  }
}

// --- in-place editing ------------------------------------------------------------------------

void CUList::BeginCellEdit() {
  if (editing_ != 0) EndCellEdit();
  const ListColumn& column = layout_->columns[editLayoutColumn_];
  const std::int32_t tableColumn = column.tableColumn;
  const CellType type = descriptor_->columns[tableColumn].type;
  const CellEditAction action = CellEditActionFor(type);
  if (action == CellEditAction::kNone || !view_) return;
  if (action == CellEditAction::kToggleCheck || action == CellEditAction::kStepMark) {
    void* cell = table_->LiveCell(editRow_, tableColumn);
    const std::uint32_t value = ReadCellUint(cell);
    WriteCellUint(cell, action == CellEditAction::kToggleCheck ? ToggledCheck(value)
                                                               : NextMarkState(value));
    if (layout_->editMsg != 0) Post(layout_->editMsg, editSubitem_, editLine_);
    RedrawLine(editLine_);
    return;
  }

  editStartText_ = EditorStartText(type, table_->LiveCell(editRow_, tableColumn), column.fmt);
  const QRect cellRect = view_->visualRect(model_->index(editLine_, editSubitem_));
  auto* editor = new CCellEdit(this, view_->viewport());
  editor->setGeometry(cellRect.adjusted(0, -1, 0, 3));
  editor->setFont(view_->font());
  editor->setText(QString::fromStdString(editStartText_));
  editor->selectAll();
  editor->show();
  editor->setFocus();
  cellEdit_ = editor;
  editing_ = 1;
}

void CUList::EndCellEdit() {
  if (editing_ == 0) return;
  std::string text = editStartText_;
  if (cellEdit_) {
    const QByteArray bytes = cellEdit_->text().toUtf8();
    text = std::string(CutText(std::string_view(bytes.constData(), bytes.size()), kEditorReadChars));
  }
  // An untouched editor writes nothing: its "%f" text would round the cell.
  if (text != editStartText_) {
    StoreEditorText(*table_, editRow_, layout_->columns[editLayoutColumn_].tableColumn, text);
  }
  CloseEditor();
  RedrawLine(editLine_);
  if (layout_->editMsg != 0) Post(layout_->editMsg, editSubitem_, editLine_);
}

void CUList::DiscardCellEdit() { CloseEditor(); }

void CUList::CloseEditor() {
  editing_ = 0;
  if (!cellEdit_) return;
  const bool hadFocus = cellEdit_->hasFocus();
  cellEdit_->hide();
  // The editor may be the one calling (its Enter or Escape), so it goes once that returns.
  cellEdit_->deleteLater();
  cellEdit_ = nullptr;
  if (hadFocus && view_) view_->setFocus();
}

// --- rows and dialogs ------------------------------------------------------------------------

void CUList::DeselectLine(std::int32_t line) {
  QTableView* view = View();
  if (!view || !view->selectionModel() || line < 0 || line >= lineCount_) return;
  QItemSelectionModel* selection = view->selectionModel();
  selection->select(view->model()->index(line, 0),
                    QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
  if (selection->currentIndex().row() == line) selection->clearCurrentIndex();
}

void CUList::DeleteAllRows() {
  if (!layout_) return;
  EndCellEdit();
  if (model_) model_->BeginRebuild();
  for (std::int32_t line = lineCount_ - 1; line >= 0; --line) {
    table_->DeleteRow(RowOfLine(line));
  }
  lineCount_ = 0;
  if (model_) model_->EndRebuild();
  table_->Clear();
  Reload(0, 0);
}

void CUList::SelectColumns() {
  if (!layout_) return;
  EndCellEdit();
  CRSDlg dialog(this, view_ ? view_->window() : nullptr);
  if (dialog.exec() == QDialog::Accepted) Reload(filterColumn_, filterValue_);
}

std::int32_t CUList::EditLine(std::int32_t line, std::int32_t showDelete) {
  if (!layout_) return 0;
  if (line < 0) line = SelectedLine();
  // An explicit line past the end is refused like a missing selection: it shows no row.
  if (line < 0 || line >= lineCount_) return 0;
  CEditLineDlg dialog(this, RowOfLine(line), showDelete);
  if (dialog.exec() != QDialog::Accepted) return 0;
  RedrawLine(line);
  if (layout_->editMsg != 0) Post(layout_->editMsg, -1, line);
  return 1;
}

// --- header ----------------------------------------------------------------------------------

std::int32_t CUList::TableColumnOfListColumn(int listColumn) const {
  return layout_->columns[layout_->columns[listColumn].layoutColumnAt].tableColumn;
}

void CUList::OnHeaderItemClick(int listColumn) {
  if (listColumn < 0 || listColumn >= listColumnCount_) return;
  lastHeaderSubitem_ = listColumn;
  const ListColumn& column = layout_->columns[layout_->columns[listColumn].layoutColumnAt];
  const CellType type = descriptor_->columns[column.tableColumn].type;

  QRect cell;
  if (lineCount_ > 0) {
    const QRect inViewport = view_->visualRect(model_->index(0, listColumn));
    cell = QRect(view_->viewport()->mapTo(view_.data(), inViewport.topLeft()), inViewport.size());
  }
  const QPoint window = view_->mapToGlobal(QPoint(0, 0));
  const MenuPoint at =
      HeaderMenuPosition({window.x(), window.y()}, lineCount_ > 0, {cell.left(), cell.top()});

  QMenu menu(view_.data());
  for (const HeaderMenuItem& item : HeaderMenuItems(*layout_, column, type)) {
    if (item.id == 0) {
      menu.addSeparator();
    } else {
      menu.addAction(QString::fromStdString(item.label))->setData(item.id);
    }
  }
  QAction* chosen = menu.exec(QPoint(at.x, at.y));
  if (chosen) OnCommand(chosen->data().toInt());
}

void CUList::OnHeaderItemDblClick(int) { SelectColumns(); }

void CUList::OnHeaderEndTrack() {
  if (!view_ || !layout_ || standInColumn_) return;
  // Each list column's width goes to the layout column it shows. The shown flags may already
  // differ from what is on screen (a cancelled Row Select changes them for the next reload only),
  // so the columns are matched as the last reload laid them out.
  QHeaderView* header = view_->horizontalHeader();
  for (int k = 0; k < listColumnCount_ && k < header->count(); ++k) {
    layout_->columns[layout_->columns[k].layoutColumnAt].width = header->sectionSize(k);
  }
}

void CUList::OnCommand(int commandId) {
  if (!layout_ || lastHeaderSubitem_ < 0 || lastHeaderSubitem_ >= listColumnCount_) return;
  const std::int32_t layoutColumn = layout_->columns[lastHeaderSubitem_].layoutColumnAt;
  ListColumn& column = layout_->columns[layoutColumn];
  const std::int32_t tableColumn = column.tableColumn;
  switch (commandId) {
    case kHeaderCmdHide:
      column.shown = 0;
      Reload(filterColumn_, filterValue_);
      break;
    case kHeaderCmdRowSelect:
      SelectColumns();
      break;
    case kHeaderCmdSortUp:
    case kHeaderCmdSortDown:
      // An open edit belongs to the line it was opened on: store it before the lines move.
      EndCellEdit();
      Sort(tableColumn, commandId == kHeaderCmdSortUp ? 1 : -1);
      break;
    case kHeaderCmdAllOn:
      Post(layout_->menuMsgBase, tableColumn, 0);
      break;
    case kHeaderCmdAllOff:
      Post(layout_->menuMsgBase + 1, tableColumn, 0);
      break;
    case kHeaderCmdReset:
      if (descriptor_->columns[tableColumn].type != CellMark) break;
      for (std::int32_t line = 0; line < lineCount_; ++line) {
        void* cell = table_->LiveCell(RowOfLine(line), tableColumn);
        const std::uint32_t value = ReadCellUint(cell);
        if (ResetMark(value) == value) continue;
        WriteCellUint(cell, ResetMark(value));
        RedrawLine(line);
      }
      break;
    case kHeaderCmdExtra:
      Post(column.rclickMsg, tableColumn, 0);
      break;
    default:
      break;
  }
}
