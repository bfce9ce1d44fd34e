#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "platform/platform.h"
#include "platform/qt/qt_platform.h"
#include "ulib/messages.h"

namespace {

// A window with a page inside it, both holding an item of the same id.
struct WindowWithPage {
  WindowWithPage() {
    own = new QLabel("own", &window);
    platform::SetItemId(own, 1069);
    page = new QWidget(&window);
    pageItem = new QLineEdit("page", page);
    platform::SetItemId(pageItem, 1069);
    onlyInPage = new QLabel("deep", page);
    platform::SetItemId(onlyInPage, 2031);
  }
  QWidget window;
  QLabel* own;
  QWidget* page;
  QLineEdit* pageItem;
  QLabel* onlyInPage;
};

class QtPlatformItemsTest : public ::testing::Test {
 protected:
  QtPlatformItemsTest() : previous(platform::Install(&qt)) {}
  ~QtPlatformItemsTest() override { platform::Install(previous); }
  platform::QtPlatform qt;
  platform::Platform* previous;
};

// Before, the search went through every descendant, so the window's text could land in a page's
// control of the same id.
TEST_F(QtPlatformItemsTest, AWindowsItemTextGoesToItsOwnItemNotToAPagesControl) {
  WindowWithPage w;
  SetDlgItemTextF(&w.window, 1069, "NortavelV4 V%4.2f", 4.04);
  EXPECT_EQ(w.own->text(), "NortavelV4 V4.04");
  EXPECT_EQ(w.pageItem->text(), "page");

  EXPECT_EQ(platform::FindItem(&w.window, 1069), w.own);
  EXPECT_EQ(platform::FindItem(w.page, 1069), w.pageItem);
}

TEST_F(QtPlatformItemsTest, AnItemOnlyInsideAPageIsNotTheWindows) {
  WindowWithPage w;
  EXPECT_EQ(platform::FindItem(&w.window, 2031), nullptr);
  EXPECT_FALSE(qt.SetItemText(&w.window, 2031, "x"));
  EXPECT_EQ(w.onlyInPage->text(), "deep");

  EXPECT_TRUE(qt.SetItemText(w.page, 2031, "page's own"));
  EXPECT_EQ(w.onlyInPage->text(), "page's own");
}

}  // namespace
