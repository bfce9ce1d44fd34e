#include "ulib/ui/spin_arrows.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimerEvent>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/hang_guard.h"

// Failures name the arrow rather than print its bytes.
void PrintTo(ArrowDirection direction, std::ostream* out) {
  *out << (direction == ArrowDirection::kUpOrRight ? "kUpOrRight" : "kDownOrLeft");
}

namespace {

using enum ArrowDirection;
using Directions = std::vector<ArrowDirection>;

// The mouse on a pair, delivered as its window delivers it: the press to the arrow under the
// point, the moves and the release to that arrow while the button is held. QTest's way through
// the window would also run the event loop after each event, where a held arrow's repeat could
// come due on a slow machine.
class Pointer {
 public:
  explicit Pointer(SpinArrows& pair) : pair_(pair) {}

  void Press(QPoint at) {
    held_ = ArrowAt(at);
    QTest::mousePress(held_, Qt::LeftButton, Qt::NoModifier, held_->mapFrom(&pair_, at));
  }
  void Move(QPoint at) { QTest::mouseMove(held_, held_->mapFrom(&pair_, at)); }
  void Release(QPoint at) {
    QTest::mouseRelease(held_, Qt::LeftButton, Qt::NoModifier, held_->mapFrom(&pair_, at));
  }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QAbstractButton* arrow = ArrowAt(at);
    QTest::mouseClick(arrow, button, Qt::NoModifier, arrow->mapFrom(&pair_, at));
  }

  QAbstractButton* ArrowAt(QPoint at) const {
    auto* arrow = qobject_cast<QAbstractButton*>(pair_.childAt(at));
    EXPECT_NE(arrow, nullptr) << "no arrow at " << at.x() << ", " << at.y();
    return arrow;
  }

 private:
  SpinArrows& pair_;
  QAbstractButton* held_ = nullptr;
};

// The interval of an arrow's pending repeat as the event loop holds it; 0 when none is pending.
int RepeatInterval(QObject* arrow) {
  const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(arrow);
  return timers.isEmpty() ? 0 : timers.front().interval;
}

// One beat of a held arrow's repeat, fired now rather than when its time is up.
void Beat(QObject* arrow) {
  const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(arrow);
  ASSERT_EQ(timers.size(), 1) << "the repeat is the arrow's only timer";
  QTimerEvent beat(timers.front().timerId);
  QCoreApplication::sendEvent(arrow, &beat);
}

// A point of a pair of this orientation and size, and the arrow it lies on.
struct ArrowAt {
  Qt::Orientation orientation;
  QSize size;
  QPoint at;
  ArrowDirection direction;
};

class SpinArrowsTest : public ::testing::Test {
 protected:
  SpinArrowsTest() {
    window.resize(120, 60);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window, nv4test::kHangGuardMs));
  }

  // The arrows the pair reported since the last call.
  static Directions Take(QSignalSpy& spy) {
    Directions taken;
    for (const QList<QVariant>& args : spy) taken.push_back(args.at(0).value<ArrowDirection>());
    spy.clear();
    return taken;
  }

  QWidget window;
};

TEST_F(SpinArrowsTest, EachHalfOfThePairIsItsOwnArrow) {
  // An odd pixel goes to the lower or the right arrow.
  const ArrowAt cases[] = {{Qt::Vertical, QSize(16, 19), QPoint(8, 0), kUpOrRight},
                           {Qt::Vertical, QSize(16, 19), QPoint(8, 8), kUpOrRight},
                           {Qt::Vertical, QSize(16, 19), QPoint(8, 9), kDownOrLeft},
                           {Qt::Vertical, QSize(16, 19), QPoint(15, 18), kDownOrLeft},
                           {Qt::Vertical, QSize(11, 26), QPoint(0, 12), kUpOrRight},
                           {Qt::Vertical, QSize(11, 26), QPoint(10, 13), kDownOrLeft},
                           {Qt::Horizontal, QSize(32, 16), QPoint(0, 8), kDownOrLeft},
                           {Qt::Horizontal, QSize(32, 16), QPoint(15, 15), kDownOrLeft},
                           {Qt::Horizontal, QSize(32, 16), QPoint(16, 0), kUpOrRight},
                           {Qt::Horizontal, QSize(33, 16), QPoint(16, 8), kUpOrRight},
                           {Qt::Horizontal, QSize(33, 16), QPoint(32, 8), kUpOrRight}};
  for (const ArrowAt& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height() << " at "
                                    << c.at.x() << ", " << c.at.y());
    SpinArrows spin(c.orientation, &window);
    spin.setGeometry(QRect(QPoint(10, 10), c.size));
    spin.show();
    EXPECT_EQ(spin.orientation(), c.orientation);
    QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
    Pointer(spin).Click(c.at);
    EXPECT_EQ(Take(spy), Directions{c.direction});
  }
}

// Quick clicks each step, also when the window system makes a double click of them. Through the
// window as a user's are: the release stops the repeat before QTest runs the event loop.
TEST_F(SpinArrowsTest, ADoubleClickStepsTwice) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                     spin.mapTo(&window, QPoint(8, 14)));
  EXPECT_EQ(Take(spy), (Directions{kDownOrLeft, kDownOrLeft}));
}

TEST_F(SpinArrowsTest, OnlyTheLeftButtonOfAnEnabledPairClicks) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  Pointer pointer(spin);
  pointer.Click(QPoint(8, 4), Qt::RightButton);
  pointer.Click(QPoint(8, 14), Qt::MiddleButton);
  spin.setEnabled(false);
  pointer.Click(QPoint(8, 4));
  EXPECT_TRUE(Take(spy).empty());
}

TEST_F(SpinArrowsTest, ArrowKeysClickWhenFocused) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  EXPECT_EQ(spin.focusPolicy(), Qt::TabFocus) << "a click leaves the focus in the edit box";
  for (const QAbstractButton* arrow : spin.findChildren<QAbstractButton*>()) {
    EXPECT_EQ(arrow->focusPolicy(), Qt::NoFocus) << "the pair, not an arrow, has the keys";
  }
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  spin.setFocus();
  QTest::keyClick(&spin, Qt::Key_Up);
  QTest::keyClick(&spin, Qt::Key_Down);
  QTest::keyClick(&spin, Qt::Key_Right);
  QTest::keyClick(&spin, Qt::Key_Left);
  QTest::keyClick(&spin, Qt::Key_A);
  QTest::keyClick(&spin, Qt::Key_PageUp);
  QTest::keyClick(&spin, Qt::Key_Space);
  EXPECT_EQ(Take(spy), (Directions{kUpOrRight, kDownOrLeft, kUpOrRight, kDownOrLeft}));
}

// Before, holding an arrow gave one step, so panning across the map took dozens of clicks.
TEST_F(SpinArrowsTest, HeldArrowRepeatsAfterAFirstDelayUntilReleased) {
  const ArrowAt cases[] = {{Qt::Vertical, QSize(16, 19), QPoint(8, 2), kUpOrRight},
                           {Qt::Vertical, QSize(16, 19), QPoint(8, 16), kDownOrLeft},
                           {Qt::Horizontal, QSize(32, 16), QPoint(28, 8), kUpOrRight},
                           {Qt::Horizontal, QSize(32, 16), QPoint(4, 8), kDownOrLeft}};
  for (const ArrowAt& c : cases) {
    SCOPED_TRACE(testing::Message() << c.orientation << " " << testing::PrintToString(c.direction));
    SpinArrows spin(c.orientation, &window);
    spin.setGeometry(QRect(QPoint(10, 10), c.size));
    spin.show();
    QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
    Pointer pointer(spin);
    QAbstractButton* arrow = pointer.ArrowAt(c.at);
    pointer.Press(c.at);
    EXPECT_EQ(Take(spy), Directions{c.direction}) << "the press steps at once";
    EXPECT_EQ(RepeatInterval(arrow), 300) << "the first repeat waits";
    Beat(arrow);
    EXPECT_EQ(Take(spy), Directions{c.direction});
    EXPECT_EQ(RepeatInterval(arrow), 100) << "then the steps come faster";
    Beat(arrow);
    Beat(arrow);
    EXPECT_EQ(Take(spy), (Directions{c.direction, c.direction}));
    EXPECT_EQ(RepeatInterval(arrow), 100);
    pointer.Release(c.at);
    EXPECT_TRUE(Take(spy).empty()) << "the release is no step";
    EXPECT_EQ(RepeatInterval(arrow), 0) << "and no repeat is left";
  }
}

TEST_F(SpinArrowsTest, HeldArrowRepeatsOnTheEventLoop) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  Pointer pointer(spin);
  pointer.Press(QPoint(8, 2));
  // However busy the machine, a held arrow steps again; the wait only bounds a hang.
  EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 3; }, nv4test::kHangGuardMs));
  pointer.Release(QPoint(8, 2));
  const Directions held = Take(spy);
  EXPECT_EQ(held, Directions(held.size(), kUpOrRight));
}

TEST_F(SpinArrowsTest, HeldArrowWaitsWhileThePointerIsOffIt) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  Pointer pointer(spin);
  QAbstractButton* up = pointer.ArrowAt(QPoint(8, 2));
  QAbstractButton* down = pointer.ArrowAt(QPoint(8, 16));
  pointer.Press(QPoint(8, 2));
  Beat(up);
  EXPECT_EQ(Take(spy), (Directions{kUpOrRight, kUpOrRight}));

  // Dragged onto the other arrow, the held one waits, drawn raised, and the other does not step.
  pointer.Move(QPoint(8, 16));
  EXPECT_FALSE(up->isDown());
  EXPECT_FALSE(down->isDown());
  EXPECT_EQ(RepeatInterval(up), 0);
  EXPECT_EQ(RepeatInterval(down), 0);
  pointer.Move(QPoint(30, 30));  // off the pair
  EXPECT_TRUE(Take(spy).empty());

  // Back on it, the arrow is held again and repeats from the first delay, with no step of its own.
  pointer.Move(QPoint(8, 2));
  EXPECT_TRUE(up->isDown());
  EXPECT_TRUE(Take(spy).empty());
  EXPECT_EQ(RepeatInterval(up), 300);
  Beat(up);
  EXPECT_EQ(Take(spy), Directions{kUpOrRight});

  // Let go off the arrow: no step, and the repeat is over.
  pointer.Move(QPoint(8, 16));
  pointer.Release(QPoint(8, 16));
  EXPECT_TRUE(Take(spy).empty());
  EXPECT_EQ(RepeatInterval(up), 0);
  EXPECT_FALSE(up->isDown());
}

// A pair disabled or hidden while an arrow is held hears no release, yet stops.
TEST_F(SpinArrowsTest, HeldArrowStopsWhenThePairIsDisabledOrHidden) {
  struct Case {
    const char* name;
    void (*change)(SpinArrows&);
  };
  const Case cases[] = {{"disabled", [](SpinArrows& spin) { spin.setEnabled(false); }},
                        {"hidden", [](SpinArrows& spin) { spin.hide(); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SpinArrows spin(Qt::Vertical, &window);
    spin.setGeometry(10, 10, 16, 19);
    spin.show();
    QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
    Pointer pointer(spin);
    QAbstractButton* up = pointer.ArrowAt(QPoint(8, 2));
    pointer.Press(QPoint(8, 2));
    EXPECT_EQ(Take(spy), Directions{kUpOrRight});
    c.change(spin);
    EXPECT_FALSE(up->isDown());
    EXPECT_EQ(RepeatInterval(up), 0) << "no repeat beats on unheard";
    // Shown and enabled again, the arrow is not held: the pointer moving over it steps nothing.
    spin.setEnabled(true);
    spin.show();
    pointer.Move(QPoint(8, 3));
    EXPECT_FALSE(up->isDown());
    EXPECT_EQ(RepeatInterval(up), 0);
    pointer.Release(QPoint(8, 3));
    EXPECT_TRUE(Take(spy).empty());
  }
}

TEST_F(SpinArrowsTest, ClickReportsAsTheUserWould) {
  SpinArrows pan(Qt::Horizontal, &window);
  QSignalSpy spy(&pan, &SpinArrows::arrowClicked);
  pan.Click(kUpOrRight);
  pan.Click(kDownOrLeft);
  EXPECT_EQ(Take(spy), (Directions{kUpOrRight, kDownOrLeft}));
}

// A widget's picture at one pixel per widget pixel, whatever the screen's device pixel ratio.
QImage Shot(QWidget& widget, const QRect& area) {
  QImage shot(area.size(), QImage::Format_RGB32);
  shot.setDevicePixelRatio(1.0);
  widget.render(&shot, QPoint(), QRegion(area));
  return shot;
}

// Darkest grey level in a part of the picture.
int Darkest(const QImage& image, const QRect& area) {
  int darkest = 255;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      darkest = std::min(darkest, qGray(image.pixel(x, y)));
    }
  }
  return darkest;
}

// Pixels of a part of the picture at least 80 levels darker than the button face.
int DarkPixels(const QImage& image, const QRect& area, int face) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(image.pixel(x, y)) < face - 80) ++n;
    }
  }
  return n;
}

TEST_F(SpinArrowsTest, SmallPairShowsAFrameAndOneGlyphPerArrow) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  const QImage image = Shot(spin, spin.rect());
  ASSERT_EQ(image.size(), QSize(16, 19));
  const int face = qGray(spin.palette().color(QPalette::Button).rgb());

  // A border all round, darker than the face.
  EXPECT_LT(Darkest(image, QRect(0, 0, 16, 1)), face - 60);
  EXPECT_LT(Darkest(image, QRect(0, 18, 16, 1)), face - 60);
  EXPECT_LT(Darkest(image, QRect(0, 0, 1, 19)), face - 60);
  EXPECT_LT(Darkest(image, QRect(15, 0, 1, 19)), face - 60);

  // Each half carries a glyph of several dark pixels, inside the frame.
  const int up = DarkPixels(image, QRect(2, 2, 12, 6), face);
  const int down = DarkPixels(image, QRect(2, 11, 12, 6), face);
  EXPECT_GE(up, 6);
  EXPECT_GE(down, 6);
  // The up glyph is wider at its bottom than at its top; the down glyph the other way.
  auto glyphRows = [&](int top, int bottom) {
    std::vector<int> widths;  // of the rows with dark pixels, top to bottom
    for (int y = top; y <= bottom; ++y) {
      if (const int n = DarkPixels(image, QRect(2, y, 12, 1), face)) widths.push_back(n);
    }
    return widths;
  };
  const std::vector<int> upRows = glyphRows(2, 7);
  const std::vector<int> downRows = glyphRows(11, 16);
  ASSERT_GE(upRows.size(), 2u);
  ASSERT_GE(downRows.size(), 2u);
  EXPECT_LT(upRows.front(), upRows.back());
  EXPECT_GT(downRows.front(), downRows.back());

  // Held, an arrow looks pressed; the other one stays as it was.
  Pointer pointer(spin);
  pointer.Press(QPoint(8, 2));
  const QImage held = Shot(spin, spin.rect());
  pointer.Release(QPoint(8, 2));
  EXPECT_NE(held.copy(0, 0, 16, 9), image.copy(0, 0, 16, 9));
  EXPECT_EQ(held.copy(0, 9, 16, 10), image.copy(0, 9, 16, 10));

  // With the focus reached by Tab, the pair shows it.
  QLineEdit before(&window);
  before.setGeometry(10, 40, 40, 16);
  before.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window, nv4test::kHangGuardMs));
  before.setFocus();
  QTest::keyClick(&before, Qt::Key_Tab);
  ASSERT_TRUE(spin.hasFocus());
  EXPECT_NE(Shot(spin, spin.rect()), image);
  before.setFocus();
  EXPECT_EQ(Shot(spin, spin.rect()), image);

  // Disabled, the glyphs fade.
  spin.setEnabled(false);
  const QImage faded = Shot(spin, spin.rect());
  EXPECT_LT(DarkPixels(faded, QRect(2, 2, 12, 15), face), up + down);

  // A picture four times the size, for a person to look at: vertical and horizontal pairs at
  // the sizes the pages use, enabled and disabled.
  spin.setEnabled(true);
  SpinArrows pan(Qt::Horizontal, &window);
  pan.setGeometry(40, 10, 32, 16);
  pan.show();
  SpinArrows off(Qt::Vertical, &window);
  off.setGeometry(80, 10, 16, 19);
  off.setEnabled(false);
  off.show();
  QApplication::processEvents();
  const QImage all = Shot(window, QRect(0, 0, 110, 40));
  const QImage big = all.scaled(all.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  const std::string path = std::string(NV4_BINARY_DIR) + "/ulib_ui_spin_arrows.png";
  EXPECT_TRUE(big.save(QString::fromStdString(path), "PNG"));
}

}  // namespace
