#include "ulib/ui/spin_arrows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "tests/support/hang_guard.h"

namespace {

class SpinArrowsTest : public ::testing::Test {
 protected:
  SpinArrowsTest() {
    window.resize(120, 60);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window, nv4test::kHangGuardMs));
  }

  // The directions the pair reported since the last call.
  std::vector<int> Take(QSignalSpy& spy) {
    std::vector<int> taken;
    for (const QList<QVariant>& args : spy) taken.push_back(args.at(0).toInt());
    spy.clear();
    return taken;
  }

  QWidget window;
};

TEST_F(SpinArrowsTest, VerticalPairReportsUpAsZeroAndDownAsOne) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  QTest::mouseClick(&spin, Qt::LeftButton, Qt::NoModifier, QPoint(8, 0));
  QTest::mouseClick(&spin, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
  QTest::mouseClick(&spin, Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
  QTest::mouseClick(&spin, Qt::LeftButton, Qt::NoModifier, QPoint(15, 18));
  EXPECT_EQ(Take(spy), (std::vector<int>{0, 0, 1, 1}));
  EXPECT_EQ(spin.orientation(), Qt::Vertical);
}

TEST_F(SpinArrowsTest, HorizontalPairReportsRightAsZeroAndLeftAsOne) {
  SpinArrows pan(Qt::Horizontal, &window);
  pan.setGeometry(10, 10, 32, 16);
  pan.show();
  QSignalSpy spy(&pan, &SpinArrows::arrowClicked);
  QTest::mouseClick(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(4, 8));
  QTest::mouseClick(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(28, 8));
  EXPECT_EQ(Take(spy), (std::vector<int>{1, 0}));
}

TEST_F(SpinArrowsTest, OnlyTheLeftButtonOfAnEnabledPairClicks) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  QTest::mouseClick(&spin, Qt::RightButton, Qt::NoModifier, QPoint(8, 4));
  QTest::mouseClick(&spin, Qt::MiddleButton, Qt::NoModifier, QPoint(8, 14));
  spin.setEnabled(false);
  QTest::mouseClick(&spin, Qt::LeftButton, Qt::NoModifier, QPoint(8, 4));
  EXPECT_TRUE(Take(spy).empty());
}

TEST_F(SpinArrowsTest, ArrowKeysClickWhenFocused) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  EXPECT_EQ(spin.focusPolicy(), Qt::TabFocus) << "a click leaves the focus in the edit box";
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  spin.setFocus();
  QTest::keyClick(&spin, Qt::Key_Up);
  QTest::keyClick(&spin, Qt::Key_Down);
  QTest::keyClick(&spin, Qt::Key_Right);
  QTest::keyClick(&spin, Qt::Key_Left);
  QTest::keyClick(&spin, Qt::Key_A);
  QTest::keyClick(&spin, Qt::Key_PageUp);
  EXPECT_EQ(Take(spy), (std::vector<int>{0, 1, 0, 1}));
}

// Before, holding an arrow gave one step, so panning across the map took dozens of clicks.
TEST_F(SpinArrowsTest, HeldArrowRepeatsUntilReleased) {
  struct Case {
    Qt::Orientation orientation;
    QSize size;
    QPoint at;
    int direction;
  };
  const Case cases[] = {{Qt::Vertical, QSize(16, 19), QPoint(8, 2), 0},
                        {Qt::Vertical, QSize(16, 19), QPoint(8, 16), 1},
                        {Qt::Horizontal, QSize(32, 16), QPoint(28, 8), 0},
                        {Qt::Horizontal, QSize(32, 16), QPoint(4, 8), 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    SpinArrows spin(c.orientation, &window);
    spin.setGeometry(QRect(QPoint(10, 10), c.size));
    spin.show();
    QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
    QTest::mousePress(&spin, Qt::LeftButton, Qt::NoModifier, c.at);
    EXPECT_EQ(spy.count(), 1) << "the press steps at once";
    // However busy the machine, a held arrow steps again; the wait only bounds a hang.
    EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 3; }, 20000));
    QTest::mouseRelease(&spin, Qt::LeftButton, Qt::NoModifier, c.at);
    const std::vector<int> held = Take(spy);
    EXPECT_GE(held.size(), 3u);
    EXPECT_EQ(held, std::vector<int>(held.size(), c.direction));
    QTest::qWait(800);  // several repeat intervals
    EXPECT_EQ(spy.count(), 0) << "no step after the release";
  }
}

TEST_F(SpinArrowsTest, HeldArrowPausesOffItAndStopsWhenDisabled) {
  SpinArrows spin(Qt::Vertical, &window);
  spin.setGeometry(10, 10, 16, 19);
  spin.show();
  QSignalSpy spy(&spin, &SpinArrows::arrowClicked);
  QTest::mousePress(&spin, Qt::LeftButton, Qt::NoModifier, QPoint(8, 2));
  // Dragged onto the other arrow, the held one waits and the other does not step.
  QTest::mouseMove(&spin, QPoint(8, 16));
  QTest::qWait(800);
  EXPECT_EQ(Take(spy), (std::vector<int>{0}));
  QTest::mouseMove(&spin, QPoint(8, 2));
  EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 1; }, 20000));
  spin.setEnabled(false);
  spy.clear();
  QTest::qWait(800);
  EXPECT_EQ(spy.count(), 0) << "a disabled pair hears no release, yet stops";
}

TEST_F(SpinArrowsTest, ClickReportsAsTheUserWould) {
  SpinArrows pan(Qt::Horizontal, &window);
  QSignalSpy spy(&pan, &SpinArrows::arrowClicked);
  pan.Click(0);
  pan.Click(1);
  EXPECT_EQ(Take(spy), (std::vector<int>{0, 1}));
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
  auto rowWidth = [&](int y) { return DarkPixels(image, QRect(2, y, 12, 1), face); };
  int upTop = 0, upBottom = 0, downTop = 0, downBottom = 0;
  for (int y = 2; y <= 4; ++y) upTop += rowWidth(y);
  for (int y = 5; y <= 7; ++y) upBottom += rowWidth(y);
  for (int y = 11; y <= 13; ++y) downTop += rowWidth(y);
  for (int y = 14; y <= 16; ++y) downBottom += rowWidth(y);
  EXPECT_LT(upTop, upBottom);
  EXPECT_GT(downTop, downBottom);

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
