#include "tests/support/modal_watchdog.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <functional>

namespace {

class ModalWatchdogTest : public ::testing::Test {
 protected:
  // Lets the event loop run until the watchdog has looked many more times than it needs to
  // judge a window: counted in looks, so a slow machine only makes it take longer.
  void LetManyLooksPass() {
    const int until = watchdog.looks() + 20;
    while (watchdog.looks() < until) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }

  nv4test::ModalWatchdog watchdog;
};

struct UnansweredCase {
  const char* what;
  std::function<void(nv4test::ModalWatchdog&)> open;
};

TEST_F(ModalWatchdogTest, AWindowNoStepAnswersFailsTheTestAndIsClosed) {
  const UnansweredCase kCases[] = {
      {"a dialog", [](nv4test::ModalWatchdog&) { QDialog().exec(); }},
      {"a popup menu",
       [](nv4test::ModalWatchdog&) {
         QMenu menu;
         menu.addAction("item");
         menu.exec(QPoint(10, 10));
       }},
      // What a step over the program's main window does when a button it presses opens a box.
      {"a dialog opened by a step over an owned window",
       [](nv4test::ModalWatchdog& dog) {
         QDialog main;
         dog.Own([&main](const QWidget* w) { return w == &main; });
         QTimer::singleShot(0, &main, [&main] {
           nv4test::StepScope step;
           QDialog().exec();
           main.accept();
         });
         main.exec();
       }},
  };
  for (const UnansweredCase& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_NONFATAL_FAILURE(c.open(watchdog), "came up that no test step answers");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  }
}

// The main dialog stayed up through a step that, on a busy machine, took longer than the
// watchdog once allowed any window, and the test failed.
TEST_F(ModalWatchdogTest, AWindowDrivenByAStepOrOwnedIsNeverJudgedHoweverLongItStaysUp) {
  {
    SCOPED_TRACE("driven by a step");
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&] {
      nv4test::StepScope step;
      LetManyLooksPass();
      dialog.accept();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  }
  {
    SCOPED_TRACE("owned, with no step running in it");
    QDialog dialog;
    watchdog.Own([&dialog](const QWidget* w) { return w == &dialog; });
    const int until = watchdog.looks() + 20;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (watchdog.looks() >= until) dialog.accept();
    });
    closer.start();
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  }
}

TEST_F(ModalWatchdogTest, AStepWaitingForAWindowAnswersItAndOneWhoseWindowNeverCameFails) {
  QDialog dialog;
  bool answered = false;
  watchdog.WhenUp([] { return QApplication::activeModalWidget(); },
                  [&](QWidget* up) {
                    answered = up == &dialog;
                    // Slow or not, the step's own window is not judged while it works.
                    LetManyLooksPass();
                    dialog.reject();
                  });
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_TRUE(answered);

  EXPECT_NONFATAL_FAILURE(
      {
        nv4test::ModalWatchdog inner;
        inner.WhenUp([]() -> QWidget* { return nullptr; }, [](QWidget*) {});
      },
      "the expected dialog or menu did not come up");
}

}  // namespace
