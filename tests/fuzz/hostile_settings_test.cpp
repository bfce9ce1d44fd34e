// Settings files that no version of the program wrote, read at start-up and written back at
// shut-down: every record before the damage is taken, the damage costs at most the keys it
// touches, and the next start-up reads back what shut-down wrote (the entry checks that).

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/list_layouts.h"
#include "params/app_params.h"
#include "tests/fuzz/fuzz_test_support.h"
#include "ulib/settings_store.h"

namespace fuzz_test {
namespace {

std::string Record(const char* key, const std::string& data, std::uint32_t length) {
  std::string bytes(kSettingsKeyBytes, '\0');
  std::memcpy(bytes.data(), key, std::min<std::size_t>(std::strlen(key), kSettingsKeyChars));
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(length >> (8 * i));
  return bytes + data;
}

std::string IntRecord(const char* key, std::int32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  return Record(key, data, 4);
}

class HostileSettingsTest : public FuzzEntryTest {
 protected:
  fuzz::SettingsRun Load(const std::string& bytes) { return Run(fuzz::FuzzSettings, bytes); }
  // Every setting but those the test names as read from the file holds its default, the
  // fall-backs applied (both folders are the documents folder).
  static void ExpectDefaultsBut(std::int32_t tz) {
    EXPECT_EQ(AP.tz, tz);
    EXPECT_EQ(AP.bw, 0);
    EXPECT_EQ(AP.g_zoom, 5.0f);
    EXPECT_EQ(AP.y1, 2007);
    EXPECT_EQ(AP.dlgrect.top, 10);
    EXPECT_STREQ(AP.g_map, "GMe136n34_16.DAT");
    EXPECT_EQ(std::string(AP.indir), fuzz::ScratchPath("documents"));
    EXPECT_EQ(std::string(AP.outdir), fuzz::ScratchPath("documents"));
  }
};

TEST_F(HostileSettingsTest, BinaryGarbage) {
  // Its first "record" claims more bytes than the file has: nothing in it is a setting.
  Load(Fixture("settings/binary_garbage.qrd"));
  EXPECT_TRUE(Messages().empty());
  ExpectDefaultsBut(32400);
}

TEST_F(HostileSettingsTest, OneByte) {
  Load(Fixture("settings/one_byte.qrd"));
  EXPECT_TRUE(Messages().empty());
  ExpectDefaultsBut(32400);
}

TEST_F(HostileSettingsTest, OneByteMoreThanTheStoreHolds) {
  // "VERSION", "AP.tz", a filler record that ends at byte 50,000, and one byte after it.
  const std::string head = IntRecord("VERSION", 400) + IntRecord("AP.tz", 3600);
  const std::uint32_t filler = kSettingsBufferBytes - static_cast<std::uint32_t>(head.size()) -
                               kSettingsHeaderBytes;
  const std::string bytes = head + Record("ZZ.filler", std::string(filler, '\xa5'), filler) + "X";
  ASSERT_EQ(bytes.size(), 50'001u);
  Load(bytes);
  EXPECT_TRUE(Messages().empty());
  ExpectDefaultsBut(3600);
}

TEST_F(HostileSettingsTest, RecordLengthOfFourGigabytes) {
  // "AP.bw" claims 0xFFFFFFFF bytes; it and "AP.g_zoom" after it count as absent.
  Load(Fixture("settings/length_ffffffff.qrd"));
  EXPECT_TRUE(Messages().empty());
  ExpectDefaultsBut(3600);
}

TEST_F(HostileSettingsTest, VersionOfFiveBytes) {
  const fuzz::SettingsRun run = Load(Fixture("settings/version_5_bytes.qrd"));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Settings file " + run.path +
                                                 ": ignored VERSION (value too long)"});
  ExpectDefaultsBut(3600);
}

TEST_F(HostileSettingsTest, TextsThatFillTheirBuffersWithoutAZero) {
  // "AP.g_map" of 256 bytes and "AP.indir" of 1024, neither with a zero.
  Load(Fixture("settings/text_without_zero.qrd"));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(std::string(AP.g_map), std::string(255, 'G'));
  // A folder of 1023 "I"s does not exist.
  EXPECT_EQ(std::string(AP.indir), fuzz::ScratchPath("documents"));
  EXPECT_EQ(AP.tz, 3600);
}

TEST_F(HostileSettingsTest, KeyThatFillsItsSixteenBytes) {
  // "AP.tzXXXXXXXXXXX" is no key of ours; the real "AP.tz" after it is read.
  Load(Fixture("settings/key_without_zero.qrd"));
  EXPECT_TRUE(Messages().empty());
  ExpectDefaultsBut(3600);
}

TEST_F(HostileSettingsTest, NewerVersion) {
  Load(IntRecord("VERSION", 401) + IntRecord("AP.tz", 3600));
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Version of Settings file is newer than program\n...ignored"});
  ExpectDefaultsBut(32400);
}

}  // namespace
}  // namespace fuzz_test
