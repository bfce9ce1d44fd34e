#include "ulib/ui/row_select_dlg.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "platform/qt/dialog_units.h"
#include "ulib/ui/cu_list.h"

namespace {

constexpr int kNameColumn = 0;
constexpr int kOnColumn = 1;

int LayoutColumnOf(const QTreeWidgetItem* item) { return item->data(kNameColumn, Qt::UserRole).toInt(); }

}  // namespace

CRSDlg::CRSDlg(CUList* list, QWidget* parent) : QDialog(parent), list_(list) {
  setWindowTitle("Row Select");
  resize(platform::DialogUnitsToPixels(0, 0, 110, 278).size());

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cancel");
  auto* allOn = new QPushButton("allOn", this);
  allOn->setObjectName("allOn");
  auto* allOff = new QPushButton("allOff", this);
  allOff->setObjectName("allOff");
  columnList_ = new QTreeWidget(this);
  columnList_->setObjectName("columnList");

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->addWidget(ok, 0, 0);
  grid->addWidget(cancel, 0, 1);
  grid->addWidget(allOn, 1, 0);
  grid->addWidget(allOff, 1, 1);
  grid->addWidget(columnList_, 2, 0, 1, 2);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(allOn, &QPushButton::clicked, this, [this] { SetAllShown(1, "*"); });
  connect(allOff, &QPushButton::clicked, this, [this] { SetAllShown(0, ""); });
  // The item under the click is the one toggled, whatever else is selected.
  connect(columnList_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { OnClickList(item); });
  OnInitDialog();
}

void CRSDlg::OnInitDialog() {
  columnList_->setColumnCount(2);
  columnList_->setHeaderLabels({"ROW", "ON"});
  columnList_->headerItem()->setTextAlignment(kNameColumn, Qt::AlignRight | Qt::AlignVCenter);
  columnList_->setRootIsDecorated(false);
  columnList_->setUniformRowHeights(true);
  columnList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  columnList_->header()->setStretchLastSection(false);
  columnList_->setColumnWidth(kNameColumn, 100);
  columnList_->setColumnWidth(kOnColumn, 32);

  const ListLayout& layout = *list_->layout();
  const TableDescriptor& descriptor = *list_->descriptor();
  for (int i = 0; i < layout.columnCount; ++i) {
    const TableColumn& column = descriptor.columns[layout.columns[i].tableColumn];
    if (column.type == CellHidden) continue;
    auto* item = new QTreeWidgetItem(columnList_);
    item->setText(kNameColumn, QString::fromUtf8(column.name));
    item->setTextAlignment(kNameColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(kNameColumn, Qt::UserRole, i);
    item->setText(kOnColumn, layout.columns[i].shown == 1 ? "*" : " ");
  }
}

void CRSDlg::OnClickList(QTreeWidgetItem* item) {
  if (!item) return;
  ListLayout& layout = *list_->layout();
  const int i = LayoutColumnOf(item);
  if (i < 0 || i >= layout.columnCount) return;
  ListColumn& column = layout.columns[i];
  column.shown = column.shown == 1 ? 0 : 1;
  item->setText(kOnColumn, column.shown == 1 ? "*" : " ");
}

void CRSDlg::SetAllShown(int shown, const char* mark) {
  ListLayout& layout = *list_->layout();
  for (int k = 0; k < columnList_->topLevelItemCount(); ++k) {
    QTreeWidgetItem* item = columnList_->topLevelItem(k);
    const int i = LayoutColumnOf(item);
    if (i < 0 || i >= layout.columnCount) continue;
    layout.columns[i].shown = shown;
    item->setText(kOnColumn, mark);
  }
}
