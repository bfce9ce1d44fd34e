#include "ulib/ui/cell_edit.h"

#include <QKeyEvent>

#include "ulib/ui/cu_list.h"

namespace {

bool IsEndKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CCellEdit::CCellEdit(CUList* list, QWidget* parent) : QLineEdit(parent), list_(list) {
  setObjectName("CCellEdit");
}

bool CCellEdit::event(QEvent* event) {
  // No shortcut of the window may take Enter or Escape from the editor.
  if (event->type() == QEvent::ShortcutOverride &&
      IsEndKey(static_cast<QKeyEvent*>(event)->key())) {
    event->accept();
    return true;
  }
  // Nor may Tab take the focus to the next control of a dialog: the editor keeps every key.
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      event->accept();
      return true;
    }
  }
  return QLineEdit::event(event);
}

void CCellEdit::keyPressEvent(QKeyEvent* event) {
  if (!IsEndKey(event->key())) {
    QLineEdit::keyPressEvent(event);
    // Used or not, the key ends here. Passed on to the list, Up, Down, Page Up and Page Down
    // would move its selection under the open editor without the parent being told.
    event->accept();
    return;
  }
  event->accept();
  list_->OnEditorKey(event->key());
}
