#include "ulib/ui/cu_sheet.h"

#include <QEvent>
#include <QStackedWidget>
#include <algorithm>

#include "ulib/ui/sheet_page.h"

CUSheet::CUSheet(const std::vector<QWidget*>& pages, const char* caption, QWidget* parent,
                 unsigned selectedPage)
    : QTabWidget(parent) {
  setWindowTitle(QString::fromLocal8Bit(caption ? caption : ""));
  for (QWidget* page : pages) {
    if (!page) break;
    addTab(page, page->windowTitle());
  }
  if (selectedPage < static_cast<unsigned>(count())) {
    setCurrentIndex(static_cast<int>(selectedPage));
    Activate(static_cast<int>(selectedPage));
  }
  // A tab the user picks goes through the same steps as one the program picks.
  connect(this, &QTabWidget::currentChanged, this, [this](int index) {
    if (index != activeIndex_) Activate(index);
  });
}

void CUSheet::SetActivePage(int index) {
  if (index < 0 || index >= count()) return;
  if (index == activeIndex_) return;
  setCurrentIndex(index);
  if (index != activeIndex_) Activate(index);
}

void CUSheet::Activate(int index) {
  if (activeIndex_ >= 0 && activeIndex_ < count()) {
    if (auto* previous = dynamic_cast<SheetPage*>(widget(activeIndex_))) previous->OnKillActive();
  }
  activeIndex_ = index;
  QWidget* page = widget(index);
  auto* sheetPage = dynamic_cast<SheetPage*>(page);
  if (!sheetPage) return;
  if (std::find(initialised_.begin(), initialised_.end(), page) == initialised_.end()) {
    initialised_.push_back(page);
    sheetPage->OnInitDialog();
  }
  sheetPage->OnSetActive();
}

void CUSheet::FitToClient() {
  // The tab widget places its tab bar and page stack itself; asking it for a new layout now,
  // rather than at the next event round, means the caller sees the fitted page at once.
  QEvent relayout(QEvent::LayoutRequest);
  event(&relayout);
  if (QWidget* page = currentWidget()) {
    setCurrentWidget(page);
    page->update();
  }
}
