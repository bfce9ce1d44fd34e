#pragma once
// The system's requests that the program close. Where Windows sends the main window a close
// message, Linux sends the process SIGTERM, SIGINT or SIGHUP, and the session manager of a
// desktop session that ends tells Qt to quit (Qt's Quit event to the application, where a
// program running QApplication::exec would see aboutToQuit; commitDataRequest, which comes
// before, comes as well when the session is only saved, so it is no request to close). Each
// becomes the main window's close command, so that the program ends as when a person closes
// it. A message box, chooser, popup menu or dialog open over the main window is dismissed as
// Cancel first, and so is any that opens while the close is under way. The first request
// counts; later ones change nothing.
//
// The signal handlers only write the signal's number into a pipe (the one thing a handler may
// safely do); the pipe's reading end is watched by the event loop, so the request is taken up
// by whichever loop runs, the main window's or a box's over it.
//
// With QT_LOGGING_RULES="nv4.close.info=true" every window shown and every step of a close is
// written to standard error: a sign, for whoever drives the program from outside, of where it
// stands.

#include <QObject>
#include <functional>

class QEvent;
class QSocketNotifier;
class QWidget;

namespace platform {

class SystemCloseRequests final : public QObject {
 public:
  // mainWindow answers the window whose close command a request gives, or null while there is
  // none: a request then waits for a main window to show. Made after the QApplication; one at a
  // time. A signal that whoever started the program set to be ignored stays ignored (a program
  // started in the background by a script, or under nohup).
  explicit SystemCloseRequests(std::function<QWidget*()> mainWindow);
  // With no request made, the signals are handled as before again. After a request they stay
  // caught and do nothing: the program is already ending at the system's request.
  ~SystemCloseRequests() override;
  SystemCloseRequests(const SystemCloseRequests&) = delete;
  SystemCloseRequests& operator=(const SystemCloseRequests&) = delete;

  // A request, from a signal or the session's end (from names it for the log).
  void Request(const char* from);
  bool requested() const { return requested_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadSignals();
  void QueueStep();
  // One step of the close: the topmost window over the main window is dismissed, or, when there
  // is none, the main window is closed.
  void Step();

  std::function<QWidget*()> mainWindow_;
  int readEnd_ = -1;
  int writeEnd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  bool requested_ = false;
  bool stepQueued_ = false;
};

}  // namespace platform
