#include "ulib/ui/main_dialog_link.h"

#include <QDialog>
#include <QObject>
#include <QWidget>

#include "ulib/messages.h"

void BindMainDialog(QWidget* window) {
  MainDialog = window;
  if (!window) return;
  auto release = [window]() {
    if (MainDialog == window) MainDialog = nullptr;
  };
  // A closed dialog may live on a while before it is destroyed; boxes shown after the close
  // (at shut-down) must not be owned by a window that is gone from the screen.
  if (auto* dialog = qobject_cast<QDialog*>(window)) {
    QObject::connect(dialog, &QDialog::finished, release);
  }
  QObject::connect(window, &QObject::destroyed, release);
}
