#include "ulib/ui/cu_list_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "ulib/ui/cu_list.h"

CUListView::CUListView(CUList* list, QWidget* parent) : QTableView(parent), list_(list) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // The selected line stays marked when another window has the focus.
  QPalette colours = palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
  }
  setPalette(colours);

  QHeaderView* lines = verticalHeader();
  lines->hide();
  lines->setSectionResizeMode(QHeaderView::Fixed);
  lines->setDefaultSectionSize(fontMetrics().height() + 4);

  QHeaderView* header = horizontalHeader();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setHighlightSections(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  // A layout's width is kept to the pixel, however narrow: the style's minimum would widen a
  // narrow column, and the next divider drag would store the widened width in the layout.
  header->setMinimumSectionSize(0);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(header, &QHeaderView::sectionClicked, this,
          [this](int section) { list_->OnHeaderItemClick(section); });
  connect(header, &QHeaderView::sectionDoubleClicked, this,
          [this](int section) { list_->OnHeaderItemDblClick(section); });
  connect(header, &QHeaderView::sectionResized, this, [this](int, int, int) {
    if (!list_->reloading_) widthsChanged_ = true;
  });
  header->viewport()->installEventFilter(this);
  verticalScrollBar()->installEventFilter(this);
  horizontalScrollBar()->installEventFilter(this);
}

bool CUListView::Editing() const { return list_->editing(); }

void CUListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (Editing()) return;
  QTableView::scrollTo(index, hint);
}

// The second press of a double-click arrives as the double-click alone, so a double-click
// gives the parent one press message and then the double-click's.
void CUListView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (list_->OnLButtonDown(event->position().toPoint())) {
      QTableView::mousePressEvent(event);
    } else {
      event->accept();
    }
    return;
  }
  if (event->button() == Qt::RightButton) {
    list_->OnRButtonDown(event->position().toPoint());
    event->accept();
    return;
  }
  // Other buttons do nothing: they would select a line without the parent learning of it.
  event->accept();
}

void CUListView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) list_->OnLButtonDblClk(event->position().toPoint());
  event->accept();
}

// Dragging with the button held does not carry the selection along: the parent learns of a
// new selection only from a click or an arrow key.
void CUListView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) {
    event->accept();
    return;
  }
  QTableView::mouseMoveEvent(event);
}

void CUListView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  // The list can have the focus while a cell is edited (the editor keeps its cell when the
  // focus goes elsewhere): Enter stores the edit and Escape drops it, and no key posts anything;
  // each key then goes on as usual.
  if (Editing()) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      list_->OnEditorKey(key);
    }
    QTableView::keyPressEvent(event);
    return;
  }
  if ((key == Qt::Key_Up || key == Qt::Key_Down) && !list_->OnArrowKey(key == Qt::Key_Up)) {
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void CUListView::wheelEvent(QWheelEvent* event) {
  if (Editing()) {
    event->accept();
    return;
  }
  QTableView::wheelEvent(event);
}

// The list has handled a right-click itself (a message or the Edit record dialog); the parent
// gets no context menu request of its own from it.
void CUListView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Mouse) {
    event->accept();
    return;
  }
  QTableView::contextMenuEvent(event);
}

bool CUListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == horizontalHeader()->viewport()) {
    if (event->type() == QEvent::MouseButtonRelease && widthsChanged_) {
      widthsChanged_ = false;
      list_->OnHeaderEndTrack();
    }
    return QTableView::eventFilter(watched, event);
  }
  if (Editing() && (watched == verticalScrollBar() || watched == horizontalScrollBar())) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
      case QEvent::KeyPress:
        return true;
      default:
        break;
    }
  }
  return QTableView::eventFilter(watched, event);
}
