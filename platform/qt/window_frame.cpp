#include "platform/qt/window_frame.h"

#include <QWidget>
#include <QWindow>

QMargins WindowFrameMargins(const QWidget* widget) {
  const QWidget* top = widget->window();
  const QWindow* handle = top->windowHandle();
  return handle != nullptr ? handle->frameMargins() : QMargins();
}
