#pragma once
// Keeps window tests from waiting for a person. A modal dialog or popup menu that runs an event
// loop of its own, where no test step runs and for which no step waits, would wait forever: the
// watchdog fails the test and closes it. Which windows it judges depends only on who owns them,
// never on how long anything takes, so a slow machine cannot make a test fail.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace nv4test {

namespace watchdog_detail {

// The event-loop depth at which each running step started, innermost last.
inline std::vector<int>& StepLevels() {
  static std::vector<int> levels;
  return levels;
}

inline int LoopLevel() { return QThread::currentThread()->loopLevel(); }

// The test body itself runs outside every event loop.
inline int InnermostStepLevel() { return StepLevels().empty() ? 0 : StepLevels().back(); }

// Looks apart are counted in rounds of the window's own loop, never in time.
constexpr int kLookIntervalMs = 50;
constexpr int kWaitIntervalMs = 10;
// A window still up and unanswered on this many looks in a row: by then whatever was already
// queued in its loop (a posted close, a timer due at once) has had its turn.
constexpr int kLooksUnanswered = 3;

}  // namespace watchdog_detail

// Marks test code that runs inside an event loop, such as a timer's body working the dialog
// that runs the loop. While it runs, that loop's windows are driven by it and are not judged;
// a window that opens a loop of its own from inside the step still is.
class StepScope {
 public:
  StepScope() { watchdog_detail::StepLevels().push_back(watchdog_detail::LoopLevel()); }
  ~StepScope() { watchdog_detail::StepLevels().pop_back(); }
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;
};

class ModalWatchdog {
 public:
  ModalWatchdog() : previous_(CurrentSlot()) {
    CurrentSlot() = this;
    timer_.setInterval(watchdog_detail::kLookIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start();
  }
  // A step still waiting for its window fails the test here: the window never came.
  ~ModalWatchdog() {
    for (std::size_t i = 0; i < waits_.size(); ++i) {
      ADD_FAILURE() << "the expected dialog or menu did not come up";
    }
    CurrentSlot() = previous_;
  }
  ModalWatchdog(const ModalWatchdog&) = delete;
  ModalWatchdog& operator=(const ModalWatchdog&) = delete;

  // The watchdog of the running test, or null.
  static ModalWatchdog* Current() { return CurrentSlot(); }

  // Windows that the test drives for as long as they are up, such as the program's main
  // dialog: never judged.
  void Own(std::function<bool(const QWidget*)> owns) { owners_.push_back(std::move(owns)); }

  // Runs act, as a step, on the first widget find returns, once the event loop runs (inside
  // the loop of a modal dialog or a popup menu). Until then, whatever find would return is
  // left alone.
  void WhenUp(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(&waitTimers_);
    timer->setInterval(watchdog_detail::kWaitIntervalMs);
    waits_.push_back({timer, find});
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, find, act] {
      QWidget* widget = find();
      if (!widget) return;
      EndWait(timer);
      StepScope step;
      act(widget);
    });
    timer->start();
  }

  // How many times the watchdog has looked.
  int looks() const { return looks_; }

 private:
  struct Wait {
    QTimer* timer;
    std::function<QWidget*()> find;
  };

  static ModalWatchdog*& CurrentSlot() {
    static ModalWatchdog* current = nullptr;
    return current;
  }

  void Look() {
    ++looks_;
    QWidget* up = QApplication::activePopupWidget();
    if (!up) up = QApplication::activeModalWidget();
    // Only a window whose own loop runs with no step inside it waits for a person: one shown
    // from the test body or from a running step does not block, and the step can close it.
    if (!up || Owned(up) || SomeStepWaits() ||
        watchdog_detail::LoopLevel() <= watchdog_detail::InnermostStepLevel()) {
      suspect_ = nullptr;
      suspectLooks_ = 0;
      return;
    }
    if (up != suspect_) {
      suspect_ = up;
      suspectLooks_ = 0;
    }
    if (++suspectLooks_ < watchdog_detail::kLooksUnanswered) return;
    ADD_FAILURE() << "an unexpected " << up->metaObject()->className()
                  << " came up that no test step answers";
    suspect_ = nullptr;
    suspectLooks_ = 0;
    up->close();
  }
  bool Owned(const QWidget* window) const {
    return std::any_of(owners_.begin(), owners_.end(),
                       [window](const auto& owns) { return owns(window); });
  }
  bool SomeStepWaits() const {
    return std::any_of(waits_.begin(), waits_.end(),
                       [](const Wait& w) { return w.find() != nullptr; });
  }
  void EndWait(const QTimer* timer) {
    const auto wait = std::find_if(waits_.begin(), waits_.end(),
                                   [timer](const Wait& w) { return w.timer == timer; });
    if (wait == waits_.end()) return;
    wait->timer->stop();
    waits_.erase(wait);
  }

  QTimer timer_;
  QObject waitTimers_;  // parent of the waits' timers, so that none outlives the test
  std::vector<std::function<bool(const QWidget*)>> owners_;
  std::vector<Wait> waits_;
  QPointer<QWidget> suspect_;
  int suspectLooks_ = 0;
  int looks_ = 0;
  ModalWatchdog* previous_;
};

}  // namespace nv4test
