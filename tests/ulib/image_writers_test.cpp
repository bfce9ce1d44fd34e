#include "ulib/image_writers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"

namespace {

using Kind = platform::ScriptedPlatform::CallKind;

std::uint32_t U32(const std::string& b, size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
std::uint16_t U16(const std::string& b, size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                    static_cast<std::uint8_t>(b[at + 1]) << 8);
}

std::vector<std::uint8_t> Ramp(int width, int height) {
  std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i + 1);
  return pixels;
}

TEST(WriteBmp24Test, FourByTwoImageHasEveryHeaderFieldAndThePixelsAsPassed) {
  nv4test::TempDir dir;
  platform::ScopedScriptedPlatform scripted;
  const auto pixels = Ramp(4, 2);
  ASSERT_EQ(WriteBmp24(dir.File("a.bmp").c_str(), pixels.data(), 4, 2), 1);
  const std::string b = nv4test::ReadFileBytes(dir.File("a.bmp"));
  ASSERT_EQ(b.size(), 78u);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(U32(b, 2), 78u);    // file size
  EXPECT_EQ(U32(b, 6), 0u);     // reserved
  EXPECT_EQ(U32(b, 10), 54u);   // pixel offset
  EXPECT_EQ(U32(b, 14), 40u);   // info header size
  EXPECT_EQ(U32(b, 18), 4u);    // width
  EXPECT_EQ(U32(b, 22), 2u);    // height, positive: bottom-up
  EXPECT_EQ(U16(b, 26), 1u);    // planes
  EXPECT_EQ(U16(b, 28), 24u);   // bits per pixel
  for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(U32(b, at), 0u) << "field at " << at;
  EXPECT_EQ(b.substr(54), std::string(pixels.begin(), pixels.end()));
  EXPECT_TRUE(scripted->Calls().empty());
}

TEST(WriteBmp24Test, AWidthNotAMultipleOfFourWritesPaddedRows) {
  nv4test::TempDir dir;
  platform::ScopedScriptedPlatform scripted;
  const auto pixels = Ramp(3, 2);  // 9 bytes a row, padded to 12
  ASSERT_EQ(WriteBmp24(dir.File("b.bmp").c_str(), pixels.data(), 3, 2), 1);
  const std::string b = nv4test::ReadFileBytes(dir.File("b.bmp"));
  ASSERT_EQ(b.size(), 54u + 24u);
  EXPECT_EQ(U32(b, 2), 78u);
  EXPECT_EQ(b.substr(54, 9), std::string(pixels.begin(), pixels.begin() + 9));
  EXPECT_EQ(b.substr(63, 3), std::string(3, '\0'));
  EXPECT_EQ(b.substr(66, 9), std::string(pixels.begin() + 9, pixels.end()));
  EXPECT_EQ(b.substr(75, 3), std::string(3, '\0'));
}

TEST(WriteBmp24Test, FailuresAreReportedNeverSilent) {
  nv4test::TempDir dir;
  const auto pixels = Ramp(4, 2);
  struct Case {
    std::string path;
    int width, height;
    std::string message;
  };
  const Case cases[] = {
      {dir.File("missing/a.bmp"), 4, 2, "Cannot write " + dir.File("missing/a.bmp")},
      {"/dev/full", 4, 2, " cannot save image Please set correct X Y"},  // short write
      {dir.File("zero.bmp"), 0, 2, "Cannot save image " + dir.File("zero.bmp") + ": size 0 x 2"},
      {dir.File("neg.bmp"), 4, -1, "Cannot save image " + dir.File("neg.bmp") + ": size 4 x -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    platform::ScopedScriptedPlatform scripted;
    EXPECT_EQ(WriteBmp24(c.path.c_str(), pixels.data(), c.width, c.height), 0);
    auto boxes = scripted->CallsOf(Kind::kMessage);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].caption, "NortavelV4");
  }
}

TEST(SaveImageAsTest, AnEncoderFailureIsReportedWithTheFileName) {
  platform::ScopedScriptedPlatform scripted;
  scripted->SetImageEncoder([](const std::string&, const std::uint8_t*, int, int) {
    return std::string("Unsupported image format");
  });
  const auto pixels = Ramp(4, 2);
  SaveImageAs("/tmp/x.jpq", pixels.data(), 4, 2);
  auto boxes = scripted->CallsOf(Kind::kMessage);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Cannot save image /tmp/x.jpq: Unsupported image format");
}

}  // namespace
