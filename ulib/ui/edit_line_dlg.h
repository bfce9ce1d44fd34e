#pragma once
// "Edit record": one table row of a list as a form, one label and field per layout column in
// layout order (hidden columns included, CellHidden ones left as a gap). OK writes back the
// fields the user changed; an untouched field is never written, so a value the form cannot show
// exactly (1.2e-7 as "0.000000") stays as it was.

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "ulib/table_store.h"
#include "ulib/ui/list_layout.h"

class CUList;
class QLabel;
class QLineEdit;
class QPushButton;

class CEditLineDlg : public QDialog {
  Q_OBJECT

 public:
  // The form of the table row shown by the list; showDelete lets the "Delete This Item" button
  // show when the layout has a delete message.
  CEditLineDlg(CUList* list, std::int32_t row, std::int32_t showDelete);

  std::int32_t row() const { return row_; }

 private:
  void OnInitDialog();
  void OnOkButton();
  void OnDeleteItem();
  bool IsReadOnly(int layoutColumn) const;

  CUList* list_;
  ListLayout* layout_;
  CUTable* table_;
  const TableDescriptor* descriptor_;
  std::int32_t row_;
  std::int32_t showDelete_;
  std::array<QLabel*, kMaxListColumns> labels_{};
  std::array<QLineEdit*, kMaxListColumns> edits_{};
  std::array<std::string, kMaxListColumns> startTexts_;
  QPushButton* deleteButton_ = nullptr;
};
