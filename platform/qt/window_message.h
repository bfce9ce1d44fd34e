#pragma once
// A window message posted to a parent: the message number with its word and long parameters.
// A parent that handles messages overrides customEvent and looks for this type; one that does
// not simply ignores it.

#include <QCoreApplication>
#include <QEvent>
#include <cstdint>

class QObject;

namespace platform {

// The first private message number of the program's windows.
inline constexpr unsigned kWmUser = 0x0400;

class WindowMessageEvent : public QEvent {
 public:
  static QEvent::Type EventType();

  WindowMessageEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
      : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(lParam) {}

  unsigned message() const { return message_; }
  std::uintptr_t wParam() const { return wParam_; }
  std::intptr_t lParam() const { return lParam_; }

 private:
  unsigned message_;
  std::uintptr_t wParam_;
  std::intptr_t lParam_;
};

// Posts the message to the receiver's queue; it arrives after the current event.
void PostWindowMessage(QObject* receiver, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam);

}  // namespace platform
