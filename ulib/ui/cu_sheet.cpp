#include "ulib/ui/cu_sheet.h"

#include <QEvent>
#include <QStackedWidget>

CUSheet::CUSheet(const std::vector<QWidget*>& pages, const char* caption, QWidget* parent,
                 unsigned selectedPage)
    : QTabWidget(parent) {
  setWindowTitle(QString::fromLocal8Bit(caption ? caption : ""));
  for (QWidget* page : pages) {
    if (!page) break;
    addTab(page, page->windowTitle());
  }
  if (selectedPage < static_cast<unsigned>(count())) setCurrentIndex(static_cast<int>(selectedPage));
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
