#include "platform/qt/window_message.h"

namespace platform {

QEvent::Type WindowMessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void PostWindowMessage(QObject* receiver, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
  if (!receiver) return;
  QCoreApplication::postEvent(receiver, new WindowMessageEvent(message, wParam, lParam));
}

}  // namespace platform
