#include "ulib/ui/edit_line_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/dialog_units.h"
#include "platform/qt/window_message.h"
#include "ulib/ui/cell_store.h"
#include "ulib/ui/cell_text.h"
#include "ulib/ui/cu_list.h"
#include "ulib/ui/edit_record_form.h"

namespace {

// A field's text as it is written back: its first 254 characters.
constexpr std::size_t kFieldReadChars = 254;

}  // namespace

CEditLineDlg::CEditLineDlg(CUList* list, std::int32_t row, std::int32_t showDelete)
    : QDialog(nullptr),
      list_(list),
      layout_(list->layout()),
      table_(list->table()),
      descriptor_(list->descriptor()),
      row_(row),
      showDelete_(showDelete) {
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  ok->setGeometry(platform::DialogUnitsToPixels(0, 0, 50, 12));
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cancel");
  cancel->setGeometry(platform::DialogUnitsToPixels(53, 0, 50, 12));
  deleteButton_ = new QPushButton("Delete This Item", this);
  deleteButton_->setObjectName("deleteItem");
  deleteButton_->setGeometry(platform::DialogUnitsToPixels(138, 0, 60, 13));
  connect(ok, &QPushButton::clicked, this, &CEditLineDlg::OnOkButton);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(deleteButton_, &QPushButton::clicked, this, &CEditLineDlg::OnDeleteItem);
  OnInitDialog();
}

bool CEditLineDlg::IsReadOnly(int layoutColumn) const {
  const ListColumn& column = layout_->columns[layoutColumn];
  // The exist column is never edited (a 0 typed there would kill a listed row), and a raw cell
  // has no text to edit.
  const CellType type = descriptor_->columns[column.tableColumn].type;
  return column.readOnly != 0 || type == CellExist || type == CellRawInt;
}

void CEditLineDlg::OnInitDialog() {
  setWindowTitle(QString::fromUtf8(descriptor_->fileName));
  for (int i = 0; i < layout_->columnCount; ++i) {
    const TableColumn& column = descriptor_->columns[layout_->columns[i].tableColumn];
    if (column.type == CellHidden) continue;
    startTexts_[i] = RecordFieldText(column.type,
                                     table_->LiveCell(row_, layout_->columns[i].tableColumn));
    const RecordFieldGeometry place = RecordFieldGeometryAt(i);

    auto* label = new QLabel(QString::fromUtf8(column.name), this);
    label->setObjectName(QString("label%1").arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(place.label);
    labels_[i] = label;

    auto* edit = new QLineEdit(QString::fromStdString(startTexts_[i]), this);
    edit->setObjectName(QString("field%1").arg(i));
    edit->setGeometry(place.field);
    edit->setReadOnly(IsReadOnly(i));
    edit->setCursorPosition(0);
    edits_[i] = edit;
  }
  deleteButton_->setVisible(showDelete_ != 0 && layout_->deleteMsg != 0);
  const QSize templateSize = platform::DialogUnitsToPixels(0, 0, 202, 404).size();
  resize(RecordFormSize(layout_->columnCount, templateSize));
}

void CEditLineDlg::OnOkButton() {
  for (int i = 0; i < layout_->columnCount; ++i) {
    if (!edits_[i] || IsReadOnly(i)) continue;
    const QByteArray bytes = edits_[i]->text().toUtf8();
    const std::string text(CutText(std::string_view(bytes.constData(), bytes.size()), kFieldReadChars));
    if (text == startTexts_[i]) continue;
    StoreRecordFieldText(*table_, row_, layout_->columns[i].tableColumn, text);
  }
  accept();
}

void CEditLineDlg::OnDeleteItem() {
  platform::PostWindowMessage(list_->parent(), static_cast<unsigned>(layout_->deleteMsg), 0,
                              row_);
  reject();
}
