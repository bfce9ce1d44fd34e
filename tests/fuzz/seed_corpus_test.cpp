// Every seed of the fuzz corpora runs through its entry as an ordinary test, so that the corpus
// guards the readers between fuzzing runs.

#include <string>
#include <vector>

#include "analysis/record_store.h"
#include "app/list_layouts.h"
#include "fuzz/seed_sources.h"
#include "params/app_params.h"
#include "tests/fuzz/fuzz_test_support.h"

namespace fuzz_test {
namespace {

class SeedCorpusTest : public FuzzEntryTest {
 protected:
  template <typename Entry>
  void RunEverySeed(const char* target, Entry entry) {
    const std::vector<std::string> seeds = fuzz::SeedFiles(NV4_SOURCE_DIR, target);
    ASSERT_FALSE(seeds.empty()) << "no seeds listed for " << target;
    for (const std::string& seed : seeds) {
      SCOPED_TRACE(seed);
      Run(entry, nv4test::ReadFileBytes(seed));
    }
  }
};

TEST_F(SeedCorpusTest, ClicksSeeds) { RunEverySeed("clicks", fuzz::FuzzClicksFile); }

TEST_F(SeedCorpusTest, GroundMapSeeds) { RunEverySeed("groundmap", fuzz::FuzzGroundMap); }

TEST_F(SeedCorpusTest, SettingsSeeds) { RunEverySeed("settings", fuzz::FuzzSettings); }

// The seeds that the writers made, and the hand-made ones, read as what they hold: a seed that
// the reader refuses would leave the fuzzer only the refusal to start from.
TEST_F(SeedCorpusTest, MadeSeedsReadWhole) {
  const fuzz::ClicksRun merged = Run(fuzz::FuzzClicksFile, nv4test::ReadFileBytes(SourcePath(
                                                               "fuzz/seeds/clicks/M20230812_ALL_clicksb.csv")));
  EXPECT_EQ(merged.records, 3);
  EXPECT_EQ(merged.clicks, 90);
  EXPECT_GT(merged.resultRows, 0);
  EXPECT_TRUE(Messages().empty());

  const fuzz::ClicksRun scrambled = Run(
      fuzz::FuzzClicksFile,
      nv4test::ReadFileBytes(SourcePath("fuzz/seeds/clicks/scrambled_only_clicks.csv")));
  EXPECT_EQ(scrambled.records, 2);
  EXPECT_EQ(scrambled.clicks, 6);
  EXPECT_EQ(scrambled.resultRows, 3);
  EXPECT_TRUE(Messages().empty());
  EXPECT_NEAR(theRecordStore().records[0].lng, 135.5, 1e-4);
  EXPECT_NEAR(theRecordStore().records[0].lat, 34.7, 1e-4);

  for (const std::string& map : fuzz::SeedFiles(NV4_SOURCE_DIR, "groundmap")) {
    if (map.find("/fuzz/seeds/") == std::string::npos && map.find("/data/") == std::string::npos) {
      continue;
    }
    SCOPED_TRACE(map);
    const fuzz::MapRun run = Run(fuzz::FuzzGroundMap, nv4test::ReadFileBytes(map));
    EXPECT_TRUE(run.loaded);
    EXPECT_GT(run.renders, 0);
    EXPECT_TRUE(Messages().empty());
  }

  Run(fuzz::FuzzSettings, nv4test::ReadFileBytes(SourcePath("fuzz/seeds/settings/changed.qrd")));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(AP.tz, -18000);
  EXPECT_EQ(AP.g_zoom, 37.5f);
  EXPECT_STREQ(AP.g_map, "GMw075s33_08.DAT");
  // Stored above the screen and in a folder that is gone: the fall-backs.
  EXPECT_EQ(AP.dlgrect.top, 100);
  EXPECT_EQ(std::string(AP.indir), fuzz::ScratchPath("documents"));
  EXPECT_EQ(layoutUR.columns[0].shown, 0);
  EXPECT_EQ(layoutUR.columns[2].width, 19);
}

}  // namespace
}  // namespace fuzz_test
