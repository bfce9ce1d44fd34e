#pragma once
// A pane of tabbed pages inside the main dialog. Each page's window title is its tab's text.

#include <QTabWidget>
#include <vector>

class CUSheet : public QTabWidget {
  Q_OBJECT

 public:
  // Adds the pages in order (a null entry ends the list early) and shows the selected one.
  CUSheet(const std::vector<QWidget*>& pages, const char* caption, QWidget* parent,
          unsigned selectedPage);

  // Lays the tabs and the active page out again over the whole of the sheet; the main dialog
  // calls it whenever it is resized.
  void FitToClient();
};
