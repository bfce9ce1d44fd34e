#include "groundmap/map_file_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "groundmap/map_file_loader.h"
#include "groundmap/map_projection.h"
#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"

namespace groundmap {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

TEST(MapFileEncoderTest, RowCodesUseShortCodesUpTo8AndSplitAt2048) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> runs;  // level, length
    std::string codes;
  };
  const Case cases[] = {
      {"one pixel", {{3, 1}}, Bytes({0x30})},
      {"eight pixels", {{5, 8}}, Bytes({0x57})},
      {"nine pixels", {{5, 9}}, Bytes({0x58, 0x08})},
      {"256 pixels", {{15, 256}}, Bytes({0xF8, 0xFF})},
      {"2048 pixels", {{15, 2048}}, Bytes({0xFF, 0xFF})},
      {"2049 pixels", {{1, 2049}}, Bytes({0x1F, 0xFF, 0x10})},
      {"3200 pixels", {{0, 3200}}, Bytes({0x0F, 0xFF, 0x0C, 0x7F})},
      {"three runs", {{0, 2}, {9, 1}, {0, 10}}, Bytes({0x01, 0x90, 0x08, 0x09})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> row;
    for (auto [level, length] : c.runs) row.insert(row.end(), length, level);
    std::string codes;
    EncodeMapRow(row.data(), static_cast<int>(row.size()), &codes);
    EXPECT_EQ(codes, c.codes);
  }
}

TEST(MapFileEncoderTest, HeaderIsTheExact79CharacterText) {
  std::string bytes, error;
  const std::vector<std::uint8_t> raster(3200 * 2400, 0);
  ASSERT_TRUE(
      EncodeGroundMap(MakeMapHeader(3200, 2400, 136.0, 34.0, 16.0), raster.data(), &bytes, &error))
      << error;
  EXPECT_EQ(bytes.substr(0, 80),
            std::string("Korvanta    3200,    2400, 1360000,  340000,  160000,       0,       0,"
                        "       0") +
                std::string(1, '\0'));
}

TEST(MapFileEncoderTest, RefusesWhatTheFormatCannotHold) {
  const std::vector<std::uint8_t> raster(16, 0);
  std::vector<std::uint8_t> tooHigh(16, 0);
  tooHigh[5] = 16;
  MapHeaderFields wideField = MakeMapHeader(4, 4, 0, 0, 10);
  wideField.values[7] = 100000000;
  struct Case {
    const char* what;
    MapHeaderFields header;
    const std::uint8_t* raster;
  };
  const Case cases[] = {
      {"width 0", MakeMapHeader(0, 4, 0, 0, 10), raster.data()},
      {"width 3201", MakeMapHeader(3201, 1, 0, 0, 10), raster.data()},
      {"height 2401", MakeMapHeader(1, 2401, 0, 0, 10), raster.data()},
      {"a field of 9 characters", wideField, raster.data()},
      // Before, such angles became a field of 0, which fitted.
      {"a centre longitude beyond any integer", MakeMapHeader(4, 4, 1e300, 0, 10), raster.data()},
      {"a half field of view that is not a number", MakeMapHeader(4, 4, 0, 0, NAN), raster.data()},
      {"a level of 16", MakeMapHeader(4, 4, 0, 0, 10), tooHigh.data()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes, error;
    EXPECT_FALSE(EncodeGroundMap(c.header, c.raster, &bytes, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(MapFileEncoderTest, LoaderReadsBackWhatWasEncoded) {
  platform::ScopedScriptedPlatform scripted;
  nv4test::TempDir dir;
  std::mt19937 random(20240601);
  struct Case {
    int cx, cy;
    int meanRun;  // pixels per run on average
  };
  const Case cases[] = {{1, 1, 1}, {7, 5, 1}, {3200, 2400, 40}, {3200, 3, 1}, {2500, 4, 3000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cx << " x " << c.cy << ", runs of " << c.meanRun);
    std::vector<std::uint8_t> raster(static_cast<std::size_t>(c.cx) * c.cy);
    std::geometric_distribution<int> runLength(1.0 / c.meanRun);
    std::uniform_int_distribution<int> level(0, 15);
    for (std::size_t i = 0; i < raster.size();) {
      const int length = 1 + runLength(random);
      const auto v = static_cast<std::uint8_t>(level(random));
      for (int k = 0; k < length && i < raster.size(); ++k) raster[i++] = v;
    }
    std::string bytes, error;
    ASSERT_TRUE(EncodeGroundMap(MakeMapHeader(c.cx, c.cy, -175.5, -33.25, 12.5), raster.data(),
                                &bytes, &error))
        << error;
    // No row takes more bytes than it has pixels.
    EXPECT_LE(bytes.size(), 80 + raster.size());
    const std::string path = dir.File("round.DAT");
    ASSERT_TRUE(WriteMapFile(path.c_str(), bytes, &error)) << error;
    ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
    EXPECT_EQ(mapProjection.CX, c.cx);
    EXPECT_EQ(mapProjection.CY, c.cy);
    EXPECT_DOUBLE_EQ(mapProjection.centreLon, -175.5);
    EXPECT_DOUBLE_EQ(mapProjection.centreLat, -33.25);
    EXPECT_DOUBLE_EQ(mapProjection.halfFov, 12.5);
    EXPECT_TRUE(std::equal(raster.begin(), raster.end(), mapProjection.raster));
  }
  EXPECT_TRUE(scripted->Calls().empty());
}

}  // namespace
}  // namespace groundmap
