#include "ulib/ui/cu_sheet.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QStackedWidget>
#include <QTabBar>

#include "platform/scripted_platform.h"
#include "ulib/messages.h"
#include "ulib/ui/main_dialog_link.h"
#include "ulib/ui/toggle_check.h"

namespace {

TEST(CUSheetTest, HoldsItsPageAndFitsItToTheClientArea) {
  QWidget parent;
  auto* page = new QWidget;
  page->setWindowTitle("Main");
  CUSheet sheet({page}, "", &parent, 0);
  sheet.setGeometry(0, 0, 400, 300);
  parent.resize(420, 320);
  parent.show();
  sheet.FitToClient();

  ASSERT_EQ(sheet.count(), 1);
  EXPECT_EQ(sheet.tabText(0), "Main");
  EXPECT_EQ(sheet.currentWidget(), page);
  EXPECT_TRUE(page->isVisible());
  const QRect inSheet(page->mapTo(&sheet, QPoint(0, 0)), page->size());
  EXPECT_TRUE(sheet.rect().contains(inSheet));
  EXPECT_GT(page->width(), 400 - 20);
  EXPECT_GT(page->height(), 300 - sheet.tabBar()->height() - 20);

  sheet.setGeometry(0, 0, 600, 500);
  sheet.FitToClient();
  EXPECT_GT(page->width(), 600 - 20);
}

TEST(CUSheetTest, SelectsTheRequestedPageAndStopsAtANullEntry) {
  auto* a = new QWidget;
  auto* b = new QWidget;
  CUSheet sheet({a, b, nullptr}, "", nullptr, 1);
  EXPECT_EQ(sheet.count(), 2);
  EXPECT_EQ(sheet.currentWidget(), b);
}

TEST(ToggleCheckTest, FlipsTheFlagAndTheButton) {
  QCheckBox box;
  std::int32_t flag = 0;
  EXPECT_EQ(ToggleCheck(&box, &flag), 1);
  EXPECT_TRUE(box.isChecked());
  flag = 5;  // any non-zero counts as set
  EXPECT_EQ(ToggleCheck(&box, &flag), 0);
  EXPECT_FALSE(box.isChecked());
}

TEST(MainDialogLinkTest, BoxesAfterTheMainDialogClosedAreUnowned) {
  platform::ScopedScriptedPlatform scripted;
  QDialog dialog;
  BindMainDialog(&dialog);
  EXPECT_EQ(MainDialog, &dialog);
  dialog.show();
  dialog.done(QDialog::Rejected);
  EXPECT_EQ(MainDialog, nullptr);
  ReportError("UE070: Cannot write %s", "NV4_PARAM.QRD");
  EXPECT_EQ(scripted->CallsOf(platform::ScriptedPlatform::CallKind::kMessage).at(0).owner,
            nullptr);

  auto* window = new QWidget;
  BindMainDialog(window);
  delete window;
  EXPECT_EQ(MainDialog, nullptr);
}

}  // namespace
