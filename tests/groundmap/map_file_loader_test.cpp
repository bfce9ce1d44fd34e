#include "groundmap/map_file_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "groundmap/map_file_encoder.h"
#include "groundmap/map_projection.h"
#include "platform/c_locale.h"
#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"

namespace groundmap {
namespace {

using platform::ScriptedPlatform;

// The header of a map with these integers, and its zero byte.
std::string Header(int cx, int cy, int lon = 1360000, int lat = 340000, int fov = 160000) {
  std::string text = platform::StringPrintfC("Korvanta%8d,%8d,%8d,%8d,%8d,%8d,%8d,%8d", cx, cy, lon,
                                             lat, fov, 0, 0, 0);
  return text + std::string(1, '\0');
}

// A row of cx pixels all of one level, in long codes.
std::string UniformRow(int cx, int level) {
  std::vector<std::uint8_t> row(static_cast<std::size_t>(cx), static_cast<std::uint8_t>(level));
  std::string bytes;
  EncodeMapRow(row.data(), cx, &bytes);
  return bytes;
}

std::string UniformMap(int cx, int cy, int level) {
  std::string bytes = Header(cx, cy);
  for (int y = 0; y < cy; ++y) bytes += UniformRow(cx, level);
  return bytes;
}

std::uint8_t Pixel(int x, int y) {
  return mapProjection.raster[static_cast<std::size_t>(y) * mapProjection.CX + x];
}

std::vector<std::string> Messages(ScriptedPlatform& scripted) {
  std::vector<std::string> texts;
  for (const auto& call : scripted.CallsOf(ScriptedPlatform::CallKind::kMessage)) {
    EXPECT_EQ(call.caption, "NortavelV4");
    texts.push_back(call.text);
  }
  return texts;
}

class MapFileLoaderTest : public ::testing::Test {
 protected:
  // Loads a known 6 x 4 map of level 7 at 10 E 20 N, half field of view 30: the map that a
  // failed load must leave in place.
  void LoadPreviousMap() {
    const std::string path = dir_.File("previous.DAT");
    nv4test::WriteFileBytes(path, Header(6, 4, 100000, 200000, 300000) + UniformRow(6, 7) +
                                      UniformRow(6, 7) + UniformRow(6, 7) + UniformRow(6, 7));
    ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
  }

  void ExpectPreviousMap() {
    EXPECT_EQ(mapProjection.CX, 6);
    EXPECT_EQ(mapProjection.CY, 4);
    EXPECT_DOUBLE_EQ(mapProjection.centreLon, 10.0);
    EXPECT_DOUBLE_EQ(mapProjection.centreLat, 20.0);
    EXPECT_DOUBLE_EQ(mapProjection.halfFov, 30.0);
    EXPECT_DOUBLE_EQ(mapProjection.scale, MapScale(6, 30.0));
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel(x, y), 7) << x << "," << y;
    }
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.File(name);
    nv4test::WriteFileBytes(path, bytes);
    return path;
  }

  nv4test::TempDir dir_;
  platform::ScopedScriptedPlatform scripted_;
};

TEST_F(MapFileLoaderTest, RejectsBadHeadersAndSizesWithTheirMessageAndKeepsTheShownMap) {
  const std::string header79 = Header(4, 2).substr(0, 79);
  // One blank fewer or more in the first field: texts that parse, so that only their length
  // can reject them.
  const std::string header78 = std::string(header79).erase(8, 1);
  const std::string header80 = std::string(header79).insert(8, " ");
  MapHeaderFields parsed;
  ASSERT_TRUE(ParseMapHeader(header78.c_str(), &parsed));
  ASSERT_TRUE(ParseMapHeader(header80.c_str(), &parsed));
  std::string notANumber = Header(4, 1);
  notANumber.replace(8, 8, "    four");
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;  // with %s for the path
  };
  const Case cases[] = {
      {"78 characters", header78 + std::string(1, '\0') + UniformRow(4, 1) + UniformRow(4, 1),
       "GroundMap Broken header %s"},
      {"80 characters", header80 + std::string(1, '\0') + UniformRow(4, 1) + UniformRow(4, 1),
       "GroundMap Broken header %s"},
      // Before, the zero byte was looked for beyond the bytes read and found in stale memory.
      {"no zero byte, file ends after the text", header79, "GroundMap Broken header %s"},
      {"no zero byte in 3200 bytes", std::string(3300, 'K'), "GroundMap Broken header %s"},
      {"shorter than 80 bytes", "Korvanta", "GroundMap Broken header %s"},
      {"empty file", "", "GroundMap Broken header %s"},
      {"another magic", "Korvantb" + Header(4, 1).substr(8) + UniformRow(4, 1),
       "GroundMap Broken header %s"},
      {"a field that is not a number", notANumber + UniformRow(4, 1), "GroundMap Broken header %s"},
      {"half field of view 0", Header(4, 1, 0, 0, 0) + UniformRow(4, 1),
       "GroundMap Broken header %s"},
      {"half field of view 90", Header(4, 1, 0, 0, 900000) + UniformRow(4, 1),
       "GroundMap Broken header %s"},
      {"half field of view negative", Header(4, 1, 0, 0, -100000) + UniformRow(4, 1),
       "GroundMap Broken header %s"},
      {"centre latitude beyond the pole", Header(4, 1, 0, 910000, 100000) + UniformRow(4, 1),
       "GroundMap Broken header %s"},
      {"width 3201", Header(3201, 1) + UniformRow(3201, 1), "GroundMap Broken CX,CY %s"},
      {"height 2401", Header(4, 2401), "GroundMap Broken CX,CY %s"},
      // Before, sizes of 0 or less loaded, and a negative width gave negative raster indexes.
      {"width 0", Header(0, 1), "GroundMap Broken CX,CY %s"},
      {"height 0", Header(4, 0), "GroundMap Broken CX,CY %s"},
      {"negative width", Header(-4, 2) + UniformRow(4, 1), "GroundMap Broken CX,CY %s"},
      {"negative height", Header(4, -2), "GroundMap Broken CX,CY %s"},
  };
  LoadPreviousMap();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    scripted_->ClearCalls();
    const std::string path = Write("broken.DAT", c.bytes);
    EXPECT_EQ(LoadGroundMap(path.c_str()), 0);
    const std::vector<std::string> messages = Messages(*scripted_);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], platform::StringPrintfC(c.message, path.c_str()));
    ExpectPreviousMap();
  }
}

TEST_F(MapFileLoaderTest, MissingFileSaysItCannotOpenIt) {
  LoadPreviousMap();
  const std::string path = dir_.File("nowhere.DAT");
  EXPECT_EQ(LoadGroundMap(path.c_str()), 0);
  EXPECT_EQ(Messages(*scripted_), std::vector<std::string>{"Cannot Open GroundMap " + path});
  ExpectPreviousMap();
}

TEST_F(MapFileLoaderTest, LargestSizeLoadsWithItsGeometry) {
  const std::string path = Write("largest.DAT", UniformMap(3200, 2400, 3));
  ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
  EXPECT_TRUE(Messages(*scripted_).empty());
  EXPECT_EQ(mapProjection.CX, 3200);
  EXPECT_EQ(mapProjection.CY, 2400);
  EXPECT_DOUBLE_EQ(mapProjection.centreLon, 136.0);
  EXPECT_DOUBLE_EQ(mapProjection.centreLat, 34.0);
  EXPECT_DOUBLE_EQ(mapProjection.halfFov, 16.0);
  EXPECT_DOUBLE_EQ(mapProjection.scale, 1600.0 / std::tan(16.0 * 0.01745329251994329));
  EXPECT_EQ(Pixel(0, 0), 3);
  EXPECT_EQ(Pixel(3199, 2399), 3);
}

TEST_F(MapFileLoaderTest, HeaderFieldsReadLikePercent8d) {
  // Blanks skipped, a sign allowed, the spare fields accepting anything.
  std::string text = "Korvanta3,2,-1234567,+45,10000,-9999999,99999999,      -1";
  text.resize(79, ' ');
  const std::string path =
      Write("fields.DAT", text + std::string(1, '\0') + UniformRow(3, 2) + UniformRow(3, 2));
  ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
  EXPECT_EQ(mapProjection.CX, 3);
  EXPECT_EQ(mapProjection.CY, 2);
  EXPECT_DOUBLE_EQ(mapProjection.centreLon, -123.4567);
  EXPECT_DOUBLE_EQ(mapProjection.centreLat, 0.0045);
  EXPECT_DOUBLE_EQ(mapProjection.halfFov, 1.0);
  // Integer halving of the width: 3 / 2 = 1.
  EXPECT_DOUBLE_EQ(mapProjection.scale, 1.0 / std::tan(1.0 * 0.01745329251994329));
}

TEST_F(MapFileLoaderTest, CentreLongitudeBeyond180LoadsAsTheSameMeridian) {
  struct Case {
    int units;  // header field, 1/10000 degree
    double centreLon;
  };
  const Case cases[] = {{1750000, 175.0},  {1800000, 180.0},   {-1800000, -180.0},
                        {1805000, -179.5}, {36005000, 0.5},    {-7195000, 0.5},
                        {99995000, -80.5}, {-9999999, 80.0001}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    const std::string path = Write("far.DAT", Header(4, 1, c.units) + UniformRow(4, 1));
    ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
    EXPECT_NEAR(mapProjection.centreLon, c.centreLon, 1e-9);
  }
}

TEST_F(MapFileLoaderTest, DecodesShortAndLongRunCodes) {
  // 8 pixels of level 5, 2048 of 15, 256 of 15, 1 of 0, 1 of 9 (a long code of length 1).
  const std::string row("\x57\xFF\xFF\xF8\xFF\x08\x00\x98\x00", 9);
  const int cx = 8 + 2048 + 256 + 1 + 1;
  const std::string path = Write("runs.DAT", Header(cx, 1) + row);
  ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
  std::vector<int> expected;
  expected.insert(expected.end(), 8, 5);
  expected.insert(expected.end(), 2048 + 256, 15);
  expected.push_back(0);
  expected.push_back(9);
  for (int x = 0; x < cx; ++x) ASSERT_EQ(Pixel(x, 0), expected[static_cast<std::size_t>(x)]) << x;
}

TEST_F(MapFileLoaderTest, RowsOf3200SinglePixelCodesFillTheirWindowExactly) {
  std::string bytes = Header(3200, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3200; ++x) bytes.push_back(static_cast<char>(((x + y) % 16) << 4));
  }
  ASSERT_EQ(LoadGroundMap(Write("single.DAT", bytes).c_str()), 1);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3200; ++x) ASSERT_EQ(Pixel(x, y), (x + y) % 16) << x << "," << y;
  }
}

TEST_F(MapFileLoaderTest, DamagedRasterSaysSoAndKeepsTheShownMap) {
  const std::string good = UniformRow(4, 2);
  std::string tooLongForWindow = Header(1601, 1);
  // 1601 long codes of one pixel need 3202 bytes: more than a row's window.
  for (int x = 0; x < 1601; ++x) tooLongForWindow += std::string("\x28\x00", 2);
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"a run past the end of its row", Header(4, 3) + good + "\x24" + good},
      {"a long run past the end of its row", Header(4, 2) + good + "\x28\x04"},
      // Before, the bytes left in the window from the previous rows were decoded again.
      {"the file ends before the last row", Header(4, 3) + good + good},
      {"the file ends inside a row", Header(4, 2) + good + "\x21"},
      {"the file ends inside a long code", Header(4, 2) + good + "\x28"},
      {"a row's codes overrun the window", tooLongForWindow},
  };
  LoadPreviousMap();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    scripted_->ClearCalls();
    const std::string path = Write("damaged.DAT", c.bytes);
    EXPECT_EQ(LoadGroundMap(path.c_str()), 0);
    // Before, it failed without a word, so choosing such a file seemed to do nothing.
    EXPECT_EQ(Messages(*scripted_), std::vector<std::string>{"GroundMap Broken data " + path});
    ExpectPreviousMap();
  }
}

TEST_F(MapFileLoaderTest, BytesAfterTheLastRowAreIgnored) {
  const std::string path =
      Write("trailing.DAT", Header(4, 1) + UniformRow(4, 6) + "anything after the map");
  ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
  EXPECT_EQ(Pixel(3, 0), 6);
}

TEST_F(MapFileLoaderTest, EachLoadReplacesTheWholeMap) {
  ASSERT_EQ(LoadGroundMap(Write("a.DAT", UniformMap(5, 5, 1)).c_str()), 1);
  ASSERT_EQ(LoadGroundMap(Write("b.DAT", UniformMap(3, 2, 4)).c_str()), 1);
  ASSERT_EQ(LoadGroundMap(Write("c.DAT", UniformMap(5, 5, 9)).c_str()), 1);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel(x, y), 9);
  }
}

TEST(GroundMapPathTest, JoinsABareNameToTheFolderAndKeepsAFullPath) {
  struct Case {
    const char* dir;
    const char* name;
    std::string path;
  };
  const std::string longDir = "/" + std::string(1012, 'd');  // 1013 characters
  const Case cases[] = {
      {"/home/obs", "GMe136n34_16.DAT", "/home/obs/GMe136n34_16.DAT"},
      {"/home/obs/", "GMe136n34_16.DAT", "/home/obs/GMe136n34_16.DAT"},
      {"/", "a.DAT", "/a.DAT"},
      {"/home/obs", "/maps/other.DAT", "/maps/other.DAT"},
      {"/home/obs", "maps/other.DAT", "/home/obs/maps/other.DAT"},
      {"", "a.DAT", "a.DAT"},
      {nullptr, "a.DAT", "a.DAT"},
      {"/home/obs", "", ""},
      {"/home/obs", nullptr, ""},
      // 1013 + 1 + 9 = 1023 characters fit the path buffers; one more does not.
      {longDir.c_str(), "123456789", longDir + "/123456789"},
      {longDir.c_str(), "1234567890", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dir ? c.dir : "(null)") + " + " + (c.name ? c.name : "(null)"));
    EXPECT_EQ(GroundMapPath(c.dir, c.name), c.path);
  }
  EXPECT_EQ(GroundMapPath(longDir.c_str(), "123456789").size(), 1023u);
}

TEST(GroundMapPathTest, NameToStoreIsBareOnlyForAMapDirectlyInTheFolder) {
  struct Case {
    const char* dir;
    const char* path;
    const char* stored;
  };
  const Case cases[] = {
      {"/home/obs", "/home/obs/a.DAT", "a.DAT"},
      {"/home/obs/", "/home/obs/a.DAT", "a.DAT"},
      {"/home/obs", "/home/obs//a.DAT", "a.DAT"},
      {"/home/obs", "/home/obs/./a.DAT", "a.DAT"},
      {"/home/obs/maps/..", "/home/obs/a.DAT", "a.DAT"},
      {"/", "/a.DAT", "a.DAT"},
      {"/home/obs", "/home/obs/maps/a.DAT", "/home/obs/maps/a.DAT"},
      {"/home/obs", "/home/observer/a.DAT", "/home/observer/a.DAT"},
      {"/home/obs", "/home/a.DAT", "/home/a.DAT"},
      {"", "/home/obs/a.DAT", "/home/obs/a.DAT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dir) + " : " + c.path);
    const std::string stored = GroundMapName(c.dir, c.path);
    EXPECT_EQ(stored, c.stored);
    // What is stored leads back to the same file.
    EXPECT_EQ(std::filesystem::path(GroundMapPath(c.dir, stored.c_str())).lexically_normal(),
              std::filesystem::path(c.path).lexically_normal());
  }
}

}  // namespace
}  // namespace groundmap
