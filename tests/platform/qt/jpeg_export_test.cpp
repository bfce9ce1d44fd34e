// Saving the map image as JPEG: encoded from memory, right way up and in the right colours,
// with no temporary file in the current folder.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"
#include "ulib/image_writers.h"

namespace {

// 16 x 16, bottom-up B, G, R: the top half red, the bottom half blue.
std::vector<std::uint8_t> RedOverBlue() {
  const int size = 16;
  std::vector<std::uint8_t> pixels(size * size * 3);
  for (int row = 0; row < size; ++row) {  // row 0 is the bottom row
    const bool top = row >= size / 2;
    for (int x = 0; x < size; ++x) {
      std::uint8_t* p = &pixels[(row * size + x) * 3];
      p[0] = top ? 0 : 255;  // B
      p[1] = 0;              // G
      p[2] = top ? 255 : 0;  // R
    }
  }
  return pixels;
}

class JpegExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    scripted_->SetImageEncoder([this](const std::string& path, const std::uint8_t* pixels,
                                      int width, int height) {
      return qt_.EncodeImageFile(path, pixels, width, height);
    });
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  nv4test::TempDir dir_;
  std::filesystem::path previous_;
  platform::QtPlatform qt_;
  platform::ScopedScriptedPlatform scripted_;
};

TEST_F(JpegExportTest, DecodesWithTheRightOrientationAndColourOrder) {
  const auto pixels = RedOverBlue();
  SaveImageAs(dir_.File("map.jpg").c_str(), pixels.data(), 16, 16);
  EXPECT_TRUE(scripted_->CallsOf(platform::ScriptedPlatform::CallKind::kMessage).empty());

  QImage image(QString::fromStdString(dir_.File("map.jpg")));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(16, 16));
  const QColor top = image.pixelColor(8, 2);
  const QColor bottom = image.pixelColor(8, 13);
  EXPECT_GT(top.red(), 200);
  EXPECT_LT(top.blue(), 60);
  EXPECT_GT(bottom.blue(), 200);
  EXPECT_LT(bottom.red(), 60);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Y.bmp")));
}

TEST_F(JpegExportTest, AUsersFileNamedYbmpSurvives) {
  nv4test::WriteFileBytes(dir_.File("Y.bmp"), "the user's own file");
  const auto pixels = RedOverBlue();
  SaveImageAs(dir_.File("map.jpg").c_str(), pixels.data(), 16, 16);
  EXPECT_EQ(nv4test::ReadFileBytes(dir_.File("Y.bmp")), "the user's own file");
}

TEST_F(JpegExportTest, AnUnwritableNameIsReported) {
  const auto pixels = RedOverBlue();
  SaveImageAs(dir_.File("no/such/folder/map.jpg").c_str(), pixels.data(), 16, 16);
  auto boxes = scripted_->CallsOf(platform::ScriptedPlatform::CallKind::kMessage);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("Cannot save image " + dir_.File("no/such/folder/map.jpg")),
            std::string::npos);
}

}  // namespace
