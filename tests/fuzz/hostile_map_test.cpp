// Ground-map files that are not maps, or not whole ones, chosen while the shipped map is shown:
// each is refused with the message naming its fault and the file, and the shipped map stays as
// it was (the entry itself compares its geometry and levels before and after).

#include <string>
#include <vector>

#include "groundmap/map_projection.h"
#include "tests/fuzz/fuzz_test_support.h"

namespace fuzz_test {
namespace {

class HostileMapTest : public FuzzEntryTest {
 protected:
  void SetUp() override {
    const fuzz::MapRun shipped =
        Run(fuzz::FuzzGroundMap, nv4test::ReadFileBytes(SourcePath("data/GMe136n34_16.DAT")));
    ASSERT_TRUE(shipped.loaded);
    ASSERT_EQ(groundmap::mapProjection.CX, 3200);
    shipped_ = groundmap::mapProjection;
  }
  void ExpectShippedMapShown() const {
    EXPECT_EQ(groundmap::mapProjection.CX, shipped_.CX);
    EXPECT_EQ(groundmap::mapProjection.CY, shipped_.CY);
    EXPECT_EQ(groundmap::mapProjection.centreLon, shipped_.centreLon);
    EXPECT_EQ(groundmap::mapProjection.scale, shipped_.scale);
    EXPECT_EQ(groundmap::mapProjection.raster, shipped_.raster);
  }

 private:
  groundmap::MapProjection shipped_;
};

TEST_F(HostileMapTest, RefusedWithItsFault) {
  struct Case {
    const char* fixture;
    const char* fault;  // the message, before the path
  };
  const Case kCases[] = {
      {"binary_garbage.DAT", "GroundMap Broken header "},
      {"header_78_chars.DAT", "GroundMap Broken header "},
      {"header_utf16.DAT", "GroundMap Broken header "},
      {"header_numbers.DAT", "GroundMap Broken header "},  // 1e999 and -nan
      {"header_hex.DAT", "GroundMap Broken header "},      // 0x1p3
      {"header_fov_90.DAT", "GroundMap Broken header "},
      {"header_lat_99999.DAT", "GroundMap Broken header "},
      {"header_negative_size.DAT", "GroundMap Broken CX,CY "},
      // 3200 x 2400 claimed, one row given.
      {"claims_3200x2400_one_row.DAT", "GroundMap Broken data "},
      {"row_window_overrun.DAT", "GroundMap Broken data "},
      {"run_past_row_end.DAT", "GroundMap Broken data "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fixture);
    const fuzz::MapRun run = Run(fuzz::FuzzGroundMap, Fixture(std::string("groundmap/") + c.fixture));
    EXPECT_FALSE(run.loaded);
    EXPECT_EQ(Messages(), std::vector<std::string>{c.fault + run.path});
    ExpectShippedMapShown();
  }
}

TEST_F(HostileMapTest, EmptyFile) {
  const fuzz::MapRun run = Run(fuzz::FuzzGroundMap, std::string());
  EXPECT_FALSE(run.loaded);
  EXPECT_EQ(Messages(), std::vector<std::string>{"GroundMap Broken header " + run.path});
  ExpectShippedMapShown();
}

}  // namespace
}  // namespace fuzz_test
