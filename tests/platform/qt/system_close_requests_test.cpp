#include "platform/qt/system_close_requests.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/modal_watchdog.h"

namespace {

// Stands in for the program's main dialog: closed only through its close command, which it
// counts; Escape leaves it open.
class MainWindow : public QDialog {
 public:
  int closes = 0;
  std::function<void()> onClose;

  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closes;
    if (onClose) onClose();
    done(QDialog::Rejected);
    event->accept();
  }
};

// One way the system asks the program to close.
struct Way {
  const char* name;
  std::function<void()> ask;
};

void SendSessionQuit() {
  QEvent quit(QEvent::Quit);
  QCoreApplication::sendEvent(qApp, &quit);
}

const std::vector<Way> kWays = {
    {"SIGTERM", [] { std::raise(SIGTERM); }},
    {"SIGINT", [] { std::raise(SIGINT); }},
    {"SIGHUP", [] { std::raise(SIGHUP); }},
    {"the session's end", SendSessionQuit},
};

// The kinds of window that can be open over the main window, each opened modally over an owner
// and answered by whatever closes it; what its loop gave back is logged when it returns.
enum class Kind { kBox, kChooser, kMenu, kDialog };

// The signals are caught whatever the test runner left them at (a runner started in the
// background by a script ignores SIGINT).
struct DefaultSignalHandling {
  DefaultSignalHandling() {
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) std::signal(signalNumber, SIG_DFL);
  }
};

// A main window, the listener, and the log of how each window went.
class Scene {
 public:
  explicit Scene(nv4test::ModalWatchdog& watchdog)
      : watchdog_(watchdog), requests_([this] { return MainWindowNow(); }) {
    main.setWindowTitle("main");
    main.onClose = [this] { log.push_back("main closed"); };
  }

  // Opens a window of the kind over the owner and runs its loop; whileUp runs as a step once it
  // is up. Returns once the window was closed, logging what its loop answered.
  void Open(QWidget* owner, Kind kind, const std::function<void(QWidget*)>& whileUp) {
    const auto up = [kind]() -> QWidget* {
      QWidget* top = kind == Kind::kMenu ? QApplication::activePopupWidget()
                                         : QApplication::activeModalWidget();
      return top && top->isVisible() ? top : nullptr;
    };
    QWidget* before = up();
    if (whileUp) {
      watchdog_.WhenUp([up, before] { return up() != before ? up() : nullptr; }, whileUp);
    }
    switch (kind) {
      case Kind::kBox: {
        QMessageBox box(QMessageBox::NoIcon, "NortavelV4", "file already exists overwrite?",
                        QMessageBox::Ok | QMessageBox::Cancel, owner);
        log.push_back(box.exec() == QMessageBox::Ok ? "box OK" : "box Cancel");
        break;
      }
      case Kind::kChooser: {
        QFileDialog chooser(owner, "Save NV4*CSV");
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        log.push_back(chooser.exec() == QDialog::Accepted ? "chooser chosen" : "chooser Cancel");
        break;
      }
      case Kind::kMenu: {
        QMenu menu(owner);
        menu.addAction("Select columns");
        log.push_back(menu.exec(QPoint(10, 10)) ? "menu chosen" : "menu Cancel");
        break;
      }
      case Kind::kDialog: {
        QDialog dialog(owner);
        dialog.setWindowTitle("Change Pos");
        log.push_back(dialog.exec() == QDialog::Accepted ? "dialog OK" : "dialog Cancel");
        break;
      }
    }
  }

  // Opens the windows one over the other, the first over the main window, each from inside the
  // loop of the one below; once the last is up, ask runs.
  void OpenStack(QWidget* owner, const std::vector<Kind>& kinds, std::size_t i,
                 const std::function<void()>& ask) {
    Open(owner, kinds[i], [this, &kinds, i, &ask](QWidget* up) {
      if (i + 1 == kinds.size()) {
        ask();
        return;
      }
      QTimer::singleShot(0, up, [this, up, &kinds, i, &ask] {
        nv4test::StepScope step;
        OpenStack(up, kinds, i + 1, ask);
      });
    });
  }

  // Runs the main window's loop with body working it from inside, as a step.
  void RunMain(const std::function<void()>& body) {
    QTimer::singleShot(0, &main, [body] {
      nv4test::StepScope step;
      body();
    });
    mainShown = true;
    main.exec();
  }

  const platform::SystemCloseRequests& requests() const { return requests_; }

  MainWindow main;
  bool mainShown = false;  // the program has a main window: once it has been started
  std::vector<std::string> log;

 private:
  QWidget* MainWindowNow() { return mainShown ? &main : nullptr; }

  nv4test::ModalWatchdog& watchdog_;
  DefaultSignalHandling defaultHandling_;
  platform::SystemCloseRequests requests_;
};

class CloseRequestsTest : public ::testing::Test {
 protected:
  CloseRequestsTest() {
    watchdog.Own([](const QWidget* w) { return dynamic_cast<const MainWindow*>(w) != nullptr; });
  }
  nv4test::ModalWatchdog watchdog;
};

TEST_F(CloseRequestsTest, EachWayClosesTheMainWindowThroughItsCloseCommandOnce) {
  for (const Way& way : kWays) {
    SCOPED_TRACE(way.name);
    Scene scene(watchdog);
    scene.RunMain(way.ask);
    EXPECT_EQ(scene.main.closes, 1);
    EXPECT_FALSE(scene.main.isVisible());
    EXPECT_TRUE(scene.requests().requested());
  }
}

struct StackCase {
  const char* what;
  std::vector<Kind> over;  // opened one over the other, the first over the main window
  std::vector<std::string> log;
};

TEST_F(CloseRequestsTest, WindowsOverTheMainWindowAreDismissedAsCancelTopFirst) {
  const std::vector<StackCase> kCases = {
      {"a message box", {Kind::kBox}, {"box Cancel", "main closed"}},
      {"a chooser", {Kind::kChooser}, {"chooser Cancel", "main closed"}},
      {"a popup menu", {Kind::kMenu}, {"menu Cancel", "main closed"}},
      {"a box over a dialog",
       {Kind::kDialog, Kind::kBox},
       {"box Cancel", "dialog Cancel", "main closed"}},
  };
  for (const Way& way : kWays) {
    for (const StackCase& c : kCases) {
      SCOPED_TRACE(std::string(way.name) + " with " + c.what);
      Scene scene(watchdog);
      scene.RunMain([&] { scene.OpenStack(&scene.main, c.over, 0, way.ask); });
      EXPECT_EQ(scene.log, c.log);
      EXPECT_EQ(scene.main.closes, 1);
    }
  }
}

TEST_F(CloseRequestsTest, AWindowThatOpensWhileTheCloseIsUnderWayIsDismissedToo) {
  Scene scene(watchdog);
  scene.RunMain([&] {
    // The code behind a cancelled question goes on to report something.
    scene.Open(&scene.main, Kind::kBox, [](QWidget*) { std::raise(SIGTERM); });
    scene.Open(&scene.main, Kind::kBox, nullptr);
  });
  // Shut-down, with the main window gone, has something to say as well.
  scene.mainShown = false;
  scene.Open(nullptr, Kind::kBox, nullptr);
  EXPECT_EQ(scene.log,
            (std::vector<std::string>{"box Cancel", "box Cancel", "main closed", "box Cancel"}));
  EXPECT_EQ(scene.main.closes, 1);
}

TEST_F(CloseRequestsTest, LaterRequestsChangeNothing) {
  Scene scene(watchdog);
  scene.main.onClose = [&] {
    scene.log.push_back("main closed");
    // During shut-down, every way again.
    for (const Way& way : kWays) way.ask();
    QCoreApplication::processEvents();
  };
  scene.RunMain([] { std::raise(SIGTERM); });
  for (const Way& way : kWays) way.ask();
  QCoreApplication::processEvents();
  EXPECT_EQ(scene.main.closes, 1);
  EXPECT_EQ(scene.log, (std::vector<std::string>{"main closed"}));
}

TEST_F(CloseRequestsTest, ARequestBeforeTheMainWindowWaitsForItToShow) {
  Scene scene(watchdog);
  std::raise(SIGHUP);
  // Start-up reports something before the main window opens: the box is dismissed, and the
  // main window is closed as soon as it shows.
  scene.Open(nullptr, Kind::kBox, nullptr);
  EXPECT_EQ(scene.main.closes, 0);
  scene.RunMain([] {});
  EXPECT_EQ(scene.log, (std::vector<std::string>{"box Cancel", "main closed"}));
  EXPECT_EQ(scene.main.closes, 1);
}

TEST(CloseSignalsTest, ASignalSetToBeIgnoredByWhoeverStartedTheProgramStaysIgnored) {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction before = {};
  sigaction(SIGHUP, &ignore, &before);
  {
    platform::SystemCloseRequests requests([] { return nullptr; });
    std::raise(SIGHUP);
    QCoreApplication::processEvents();
    EXPECT_FALSE(requests.requested());
    struct sigaction now = {};
    sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
  }
  sigaction(SIGHUP, &before, nullptr);
}

volatile std::sig_atomic_t ownHandlerRuns = 0;
extern "C" void OwnHandler(int) { ownHandlerRuns = ownHandlerRuns + 1; }

TEST(CloseSignalsTest, TheSignalsAreHandledAsBeforeOnceTheListenerIsGoneUnlessItHeardARequest) {
  struct sigaction own = {};
  own.sa_handler = OwnHandler;
  struct sigaction before = {};
  sigaction(SIGTERM, &own, &before);

  { platform::SystemCloseRequests requests([] { return nullptr; }); }
  std::raise(SIGTERM);
  EXPECT_EQ(ownHandlerRuns, 1) << "nothing was requested: the earlier handling is back";

  {
    platform::SystemCloseRequests requests([] { return nullptr; });
    std::raise(SIGINT);
    QCoreApplication::processEvents();
    EXPECT_TRUE(requests.requested());
  }
  // The program is ending at the system's request: a signal now changes nothing, and does not
  // end the process either.
  std::raise(SIGTERM);
  std::raise(SIGINT);
  EXPECT_EQ(ownHandlerRuns, 1);

  sigaction(SIGTERM, &before, nullptr);
}

}  // namespace
