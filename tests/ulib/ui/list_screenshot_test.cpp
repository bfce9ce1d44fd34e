// Writes a picture of a list with a few hundred rows to the build folder, for a person to look
// at; it is not compared with anything.

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <filesystem>

#include "tests/support/hang_guard.h"
#include "tests/ulib/ui/list_widget_fixture.h"

namespace {

using namespace listtest;

TEST(ListScreenshotTest, WritesAPictureOfAFilledList) {
  platform::ScopedScriptedPlatform scripted;
  CUTable table(&kEveryType);
  const char* kStations[] = {"Ondrejov", "Lomnicky", "Kunzak", "Churanov", "Svratouch"};
  for (int i = 0; i < 300; ++i) {
    const int row = AddRow(table, i + 1, 80.0f + 0.37f * (i % 50), kStations[i % 5]);
    WriteCellUint(table.CellForWrite(row, kMark), static_cast<std::uint32_t>(i % 6));
    WriteCellUint(table.CellForWrite(row, kChk), i % 3 == 0 ? 1u : 0u);
    WriteCellDouble(table.CellForWrite(row, kDouble), 14.5 + i * 0.013);
    table.SetString(row, kTag, i % 2 ? "AA" : "BC");
  }
  table.DeleteRow(7);
  ListLayout layout = MakeLayout();
  QWidget parent;
  parent.resize(520, 420);
  CUList list;
  list.Bind(&parent, &layout, &table);
  list.Place(parent.rect());
  list.Reload(0, 0);
  list.Sort(kFloat, -1);
  list.SelectRow(12);
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent, nv4test::kHangGuardMs));
  ASSERT_EQ(list.lineCount(), 299);

  const std::string path = std::string(NV4_BINARY_DIR) + "/ulib_ui_list_screenshot.png";
  const QImage picture = parent.grab().toImage();
  ASSERT_TRUE(picture.save(QString::fromStdString(path), "PNG"));
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
}

}  // namespace
