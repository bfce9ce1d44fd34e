#pragma once
// A pane of tabbed pages inside the main dialog. Each page's window title is its tab's text.
// Pages that are SheetPages are initialised the first time the sheet shows them and told when
// they become or stop being the shown page.

#include <QTabWidget>
#include <vector>

class CUSheet : public QTabWidget {
  Q_OBJECT

 public:
  // Adds the pages in order (a null entry ends the list early) and shows the selected one, which
  // is initialised and activated at once.
  CUSheet(const std::vector<QWidget*>& pages, const char* caption, QWidget* parent,
          unsigned selectedPage);

  // Shows page index: the shown page is told it stops, the new one is initialised when it never
  // was and activated. Index out of range: nothing.
  void SetActivePage(int index);

  // Lays the tabs and the active page out again over the whole of the sheet; the main dialog
  // calls it whenever it is resized.
  void FitToClient();

 private:
  void Activate(int index);

  std::vector<QWidget*> initialised_;
  int activeIndex_ = -1;
};
