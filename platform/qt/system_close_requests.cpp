#include "platform/qt/system_close_requests.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

Q_LOGGING_CATEGORY(lcClose, "nv4.close", QtWarningMsg)

constexpr int kCloseSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = static_cast<int>(std::size(kCloseSignals));

// The writing end of the pipe while a listener exists, else -1. Read in the handler, which may
// interrupt anything, so it is a lock-free atomic.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

// How each signal was handled before the listener, and whether the listener took it over.
struct sigaction previousActions[kSignalCount];
bool caught[kSignalCount] = {};

extern "C" void OnCloseSignal(int signalNumber) {
  const int savedErrno = errno;
  const int pipe = signalPipe.load(std::memory_order_relaxed);
  if (pipe >= 0) {
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // The pipe does not block; a full one already holds a request, and one is all that counts.
    [[maybe_unused]] const ssize_t written = ::write(pipe, &byte, 1);
  }
  errno = savedErrno;
}

const char* SignalName(int signalNumber) {
  switch (signalNumber) {
    case SIGTERM: return "SIGTERM";
    case SIGINT: return "SIGINT";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}

const char* ClassOf(const QObject* object) { return object->metaObject()->className(); }

}  // namespace

SystemCloseRequests::SystemCloseRequests(std::function<QWidget*()> mainWindow)
    : mainWindow_(std::move(mainWindow)) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    qCWarning(lcClose, "no pipe for the close signals (%s): they end the program at once",
              std::strerror(errno));
  } else {
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SystemCloseRequests::ReadSignals);
    signalPipe.store(writeEnd_);

    struct sigaction action = {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kCloseSignals) sigaddset(&action.sa_mask, signalNumber);
    // A signal that comes while a file is being written must not make the write fail.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kSignalCount; ++i) {
      struct sigaction before = {};
      sigaction(kCloseSignals[i], nullptr, &before);
      caught[i] = before.sa_handler != SIG_IGN;
      if (caught[i]) sigaction(kCloseSignals[i], &action, &previousActions[i]);
    }
  }

  qApp->installEventFilter(this);
}

SystemCloseRequests::~SystemCloseRequests() {
  signalPipe.store(-1);
  if (!requested_) {
    for (int i = 0; i < kSignalCount; ++i) {
      if (caught[i]) sigaction(kCloseSignals[i], &previousActions[i], nullptr);
      caught[i] = false;
    }
  }
  if (qApp) qApp->removeEventFilter(this);
  delete notifier_;
  if (readEnd_ >= 0) ::close(readEnd_);
  if (writeEnd_ >= 0) ::close(writeEnd_);
}

void SystemCloseRequests::ReadSignals() {
  unsigned char bytes[16];
  ssize_t count;
  while ((count = ::read(readEnd_, bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < count; ++i) Request(SignalName(bytes[i]));
  }
}

void SystemCloseRequests::Request(const char* from) {
  if (requested_) {
    qCInfo(lcClose, "close requested again by %s: already closing", from);
    return;
  }
  requested_ = true;
  qCInfo(lcClose, "close requested by %s", from);
  QueueStep();
}

void SystemCloseRequests::QueueStep() {
  if (stepQueued_) return;
  stepQueued_ = true;
  // Taken up by the loop that runs when control is back in one: never inside the code that is
  // about to open a window and run its loop.
  QMetaObject::invokeMethod(this, &SystemCloseRequests::Step, Qt::QueuedConnection);
}

void SystemCloseRequests::Step() {
  stepQueued_ = false;
  QWidget* main = mainWindow_ ? mainWindow_() : nullptr;
  QWidget* top = QApplication::activePopupWidget();
  if (!top) top = QApplication::activeModalWidget();
  if (top && top != main) {
    // The loop that shows it ends, and the code that opened it goes on as after Cancel; the
    // windows below go one by one, each when the loop above it has let it be the top.
    qCInfo(lcClose, "dismissing %s as Cancel", ClassOf(top));
    auto* dialog = qobject_cast<QDialog*>(top);
    if (dialog) dialog->reject();
    if (top->isVisible()) top->close();
    if (top->isVisible()) {
      qCWarning(lcClose, "%s stays open: the close waits for it", ClassOf(top));
      return;
    }
    QueueStep();
    return;
  }
  if (!main || !main->isVisible()) return;  // a main window yet to show takes it up when it shows
  qCInfo(lcClose, "closing %s through its close command", ClassOf(main));
  main->close();
}

bool SystemCloseRequests::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Quit:
      // The session manager's last word (also the desktop's own quit command): the program
      // ends through its close command, not by its event loops being stopped under it.
      if (watched == qApp) {
        Request("the session's end");
        return true;
      }
      break;
    case QEvent::Show:
      if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        auto* window = static_cast<QWidget*>(watched);
        const bool isMain = mainWindow_ && window == mainWindow_();
        qCInfo(lcClose, "window up: %s%s", ClassOf(window),
               isMain ? " (main window)" : window->isModal() ? " (modal)" : "");
        if (requested_) QueueStep();
      }
      break;
    default:
      break;
  }
  return false;
}

}  // namespace platform
