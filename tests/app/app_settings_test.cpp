#include "app/cu_app.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/list_layouts.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "groundmap/map_image.h"
#include "platform/scripted_platform.h"
#include "tests/app/main_window_support.h"
#include "tests/app/settings_file_bytes.h"
#include "tests/support/locale_guard.h"

namespace {

using platform::ScriptedPlatform;

// ---- Settings files as bytes ------------------------------------------------------------------

using apptest::FloatRecord;
using apptest::IntRecord;
using apptest::Record;
using apptest::Records;
using apptest::Sides;
using apptest::TextRecord;

std::vector<std::string> Keys(const apptest::SettingsRecords& records) {
  std::vector<std::string> keys;
  for (const auto& record : records) keys.push_back(record.first);
  return keys;
}

// Every key a complete file holds, in file order, as stored (15 characters at most).
std::vector<std::string> CompleteFileKeys() {
  std::vector<std::string> keys;
  for (const SettingsKey& key : kSettingsKeys) {
    if (key.written) keys.push_back(std::string(key.key).substr(0, 15));
  }
  const std::pair<const char*, int> kLayouts[] = {{"UR", 17}, {"UP", 20}, {"C1", 3}, {"C2", 3}};
  for (const auto& [prefix, columns] : kLayouts) {
    for (int i = 0; i < columns; ++i) {
      keys.push_back(std::string(prefix) + "_d" + std::to_string(i));
      keys.push_back(std::string(prefix) + "_w" + std::to_string(i));
    }
  }
  return keys;
}

// ---- Fixture --------------------------------------------------------------------------------

// A start-up folder of its own and a documents folder; the globals the settings fill are put
// back afterwards.
class AppSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kSettingsLayoutCount; ++i)
      savedLayouts[static_cast<std::size_t>(i)] = *kSettingsLayouts[i].layout;
    std::memcpy(savedStartDir, startDir, sizeof startDir);
    std::memcpy(savedDocumentsDir, myDocumentsDir, sizeof myDocumentsDir);
    docs = dir.File("docs");
    std::filesystem::create_directory(docs);
    SetStartDir(dir.path());
    std::snprintf(myDocumentsDir, sizeof myDocumentsDir, "%s", docs.c_str());
    SetDefaultAppParams();
  }

  void TearDown() override {
    RestoreLayouts();
    std::memcpy(startDir, savedStartDir, sizeof startDir);
    std::memcpy(myDocumentsDir, savedDocumentsDir, sizeof myDocumentsDir);
    SetDefaultAppParams();
  }

  void RestoreLayouts() {
    for (int i = 0; i < kSettingsLayoutCount; ++i)
      *kSettingsLayouts[i].layout = savedLayouts[static_cast<std::size_t>(i)];
  }

  static void SetStartDir(const std::string& folder) {
    ASSERT_LT(folder.size(), sizeof startDir);
    std::snprintf(startDir, sizeof startDir, "%s", folder.c_str());
  }

  std::string SettingsFile() const { return dir.File("NV4_PARAM.QRD"); }

  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& call : scripted->CallsOf(ScriptedPlatform::CallKind::kMessage)) {
      texts.push_back(call.text);
    }
    return texts;
  }

  // The first-run values of the globals the settings file can change.
  void ExpectDefaults() {
    EXPECT_EQ(Sides(AP.dlgrect), Sides({20, 10, 840, 580}));
    EXPECT_EQ(AP.showcmd, 1);
    EXPECT_EQ(std::string(AP.indir), docs);
    EXPECT_EQ(std::string(AP.outdir), docs);
    EXPECT_EQ(AP.y1, 2007);
    EXPECT_EQ(AP.d2, 1);
    EXPECT_EQ(AP.latest, 0);
    EXPECT_EQ(AP.GD, 10.0f);
    EXPECT_EQ(AP.tz, 32400);
    EXPECT_STREQ(AP.g_map, "GMe136n34_16.DAT");
    EXPECT_EQ(AP.g_zoom, 5.0f);
    EXPECT_EQ(AP.g_text, 1);
    EXPECT_EQ(AP.g_line, 1);
    EXPECT_EQ(layoutUR.columns[2].width, 100);
    EXPECT_EQ(layoutUP.columns[2].shown, 0);
    EXPECT_EQ(layoutC2.columns[1].width, 50);
  }

  nv4test::TempDir dir;
  platform::ScopedScriptedPlatform scripted;
  std::string docs;
  std::array<ListLayout, kSettingsLayoutCount> savedLayouts{};
  char savedStartDir[kStartDirChars];
  char savedDocumentsDir[kStartDirChars];
};

// ---- Start-up --------------------------------------------------------------------------------

// A folder path of exactly `length` characters below base, made on disk.
std::string MakeFolderOfLength(const std::string& base, std::size_t length) {
  std::string path = base + "/long";
  while (length - path.size() > 201) path += "/" + std::string(200, 'd');
  EXPECT_GE(length - path.size(), 2u);
  path += "/" + std::string(length - path.size() - 1, 'e');
  std::filesystem::create_directories(path);
  return path;
}

TEST_F(AppSettingsTest, StartUpFromSettingsFiles) {
  const std::string in = dir.File("in");
  const std::string out = dir.File("out");
  std::filesystem::create_directory(in);
  std::filesystem::create_directory(out);
  const std::string longFolder = MakeFolderOfLength(dir.path(), 1023);
  // The keys of a file written by a user's earlier run.
  const std::string userKeys =
      IntRecord("AP.dlgrect.top", 30) + IntRecord("AP.dlgrect.left", 40) +
      IntRecord("AP.dlgrect.bottom", 700) + IntRecord("AP.dlgrect.right", 900) +
      IntRecord("AP.showcmd", 3) + TextRecord("AP.indir", in) + TextRecord("AP.outdir", out) +
      IntRecord("AP.y1", 2010) + FloatRecord("AP.GD", 12.5f) + TextRecord("AP.g_map", "other.DAT") +
      IntRecord("AP.g_text", 0) + IntRecord("UR_d2", 0) + IntRecord("UR_w2", 123) +
      IntRecord("UP_d2", 1) + IntRecord("C2_w1", 77);
  auto expectUserValues = [&] {
    EXPECT_EQ(Sides(AP.dlgrect), Sides({40, 30, 900, 700}));
    EXPECT_EQ(AP.showcmd, 3);
    EXPECT_EQ(std::string(AP.indir), in);
    EXPECT_EQ(std::string(AP.outdir), out);
    EXPECT_EQ(AP.y1, 2010);
    EXPECT_EQ(AP.GD, 12.5f);
    EXPECT_STREQ(AP.g_map, "other.DAT");
    EXPECT_EQ(AP.g_text, 0);
    EXPECT_EQ(layoutUR.columns[2].shown, 0);
    EXPECT_EQ(layoutUR.columns[2].width, 123);
    EXPECT_EQ(layoutUP.columns[2].shown, 1);
    EXPECT_EQ(layoutC2.columns[1].width, 77);
  };
  const std::string tooLongKeys =
      "Settings file " + SettingsFile() +
      ": ignored VERSION, AP.indir, AP.tz, AP.g_map, UR_w3 (value too long)";

  struct Case {
    const char* name;
    bool file;
    std::string bytes;
    std::vector<std::string> messages;
    std::function<void()> check;
  };
  const Case kCases[] = {
      {"no file: first-run values", false, "", {}, [&] { ExpectDefaults(); }},
      {"empty file", true, "", {}, [&] { ExpectDefaults(); }},
      {"version 400", true, IntRecord("VERSION", 400) + userKeys, {}, expectUserValues},
      {"no VERSION reads as 400", true, userKeys, {}, expectUserValues},
      {"version 401 is left unread",
       true,
       IntRecord("VERSION", 401) + userKeys,
       {"Version of Settings file is newer than program\n...ignored"},
       [&] { ExpectDefaults(); }},
      // Each of these used to end the program with "UE0105: invalid length".
      {"values too long for their keys keep the defaults",
       true,
       Record("VERSION", std::string("\x91\x01\0\0\0", 5)) + Record("AP.tz", std::string(8, '\1')) +
           TextRecord("AP.indir", std::string(1102, 'i')) +
           TextRecord("AP.g_map", std::string(300, 'm')) + IntRecord("AP.y1", 2011) +
           Record("UR_w3", std::string(8, '\2')) + IntRecord("UR_w4", 44),
       {tooLongKeys},
       [&] {
         EXPECT_EQ(AP.tz, 32400);
         EXPECT_EQ(std::string(AP.indir), docs);
         EXPECT_STREQ(AP.g_map, "GMe136n34_16.DAT");
         EXPECT_EQ(AP.y1, 2011);
         EXPECT_EQ(layoutUR.columns[3].width, 70);
         EXPECT_EQ(layoutUR.columns[4].width, 44);
       }},
      {"top above the screen replaces the whole rectangle",
       true,
       IntRecord("VERSION", 400) + IntRecord("AP.dlgrect.top", -1) +
           IntRecord("AP.dlgrect.left", 5) + IntRecord("AP.dlgrect.bottom", 60) +
           IntRecord("AP.dlgrect.right", 50),
       {},
       [&] {
         EXPECT_EQ(Sides(AP.dlgrect), Sides({20, 100, 920, 680}));
       }},
      {"folders that are gone become the documents folder",
       true,
       IntRecord("VERSION", 400) + TextRecord("AP.indir", dir.File("gone")) +
           TextRecord("AP.outdir", out),
       {},
       [&] {
         EXPECT_EQ(std::string(AP.indir), docs);
         EXPECT_EQ(std::string(AP.outdir), out);
       }},
      {"an empty folder becomes the documents folder",
       true,
       IntRecord("VERSION", 400) + TextRecord("AP.indir", in) + TextRecord("AP.outdir", ""),
       {},
       [&] {
         EXPECT_EQ(std::string(AP.indir), in);
         EXPECT_EQ(std::string(AP.outdir), docs);
       }},
      // These used to stay unterminated, and the shut-down write read past the end of AP.
      {"texts without a zero are ended inside their buffers",
       true,
       IntRecord("VERSION", 400) + Record("AP.indir", longFolder + "x") +
           Record("AP.g_map", std::string(256, 'm')) + Record("AP.outdir", "abc"),
       {},
       [&] {
         EXPECT_EQ(std::string(AP.indir), longFolder);  // exists, so it stays
         EXPECT_EQ(std::string(AP.g_map), std::string(255, 'm'));
         EXPECT_EQ(std::string(AP.outdir), docs);  // "abc" does not exist
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(SettingsFile());
    if (c.file) nv4test::WriteFileBytes(SettingsFile(), c.bytes);
    RestoreLayouts();
    SetDefaultAppParams();
    scripted->ClearCalls();
    groundmap::mapImage.header.biWidth = 7;
    groundmap::mapImage.pixels[1000] = 9;
    CUApp::LoadSettings();
    EXPECT_EQ(Messages(), c.messages);
    c.check();
    EXPECT_EQ(groundmap::mapImage.header.biWidth, 640);
    EXPECT_EQ(groundmap::mapImage.header.biHeight, 480);
    EXPECT_EQ(groundmap::mapImage.pixels[1000], 0);
  }

  // After the unterminated texts, the save writes proper strings.
  CUApp::SaveSettings();
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  const auto records = Records(nv4test::ReadFileBytes(SettingsFile()));
  ASSERT_EQ(records.size(), 111u);
  EXPECT_EQ(records[6].first, "AP.indir");
  EXPECT_EQ(records[6].second, longFolder + '\0');
  EXPECT_EQ(records[20].first, "AP.g_map");
  EXPECT_EQ(records[20].second, std::string(255, 'm') + '\0');
}

// A first run writes a complete file: "VERSION", every "AP." key but "AP.g_text", and the four
// layouts' keys, in that order.
TEST_F(AppSettingsTest, AFirstRunWritesACompleteFile) {
  CUApp::LoadSettings();
  CUApp::SaveSettings();
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  const std::string bytes = nv4test::ReadFileBytes(SettingsFile());
  const auto records = Records(bytes);
  EXPECT_EQ(records.size(), 111u);
  EXPECT_EQ(Keys(records), CompleteFileKeys());
  // A few records byte for byte: key, little-endian length, data.
  EXPECT_EQ(bytes.substr(0, 24),
            std::string("VERSION\0\0\0\0\0\0\0\0\0\x04\0\0\0\x90\x01\0\0", 24));
  auto recordBytes = [&](std::size_t index) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < index; ++i) at += 20 + records[i].second.size();
    return bytes.substr(at, 20 + records[index].second.size());
  };
  EXPECT_EQ(recordBytes(3), std::string("AP.dlgrect.bott\0\x04\0\0\0\x44\x02\0\0", 24));  // 580
  EXPECT_EQ(recordBytes(15), std::string("AP.GD\0\0\0\0\0\0\0\0\0\0\0\x04\0\0\0\0\0\x20\x41", 24));
  EXPECT_EQ(recordBytes(20), std::string("AP.g_map\0\0\0\0\0\0\0\0\x14\0\0\0", 20) +
                                 std::string("GMe136n34_16.DAT\0\0\0\0", 20));
  EXPECT_EQ(records[6].second.substr(0, docs.size() + 1), docs + '\0');
  EXPECT_EQ(records[6].second.size(), (docs.size() + 1 + 3) / 4 * 4);
  EXPECT_EQ(recordBytes(25 + 5),
            std::string("UR_w2\0\0\0\0\0\0\0\0\0\0\0\x04\0\0\0\x64\0\0\0", 24));
}

// The layouts' keys, and every written "AP." key, come back as they were saved; keys of columns
// beyond a layout's columnCount are neither read nor written.
TEST_F(AppSettingsTest, SettingsRoundTrip) {
  for (int l = 0; l < kSettingsLayoutCount; ++l) {
    ListLayout& layout = *kSettingsLayouts[l].layout;
    for (int i = 0; i < layout.columnCount; ++i) {
      layout.columns[i].shown = (i + l) % 2;
      layout.columns[i].width = 1000 * (l + 1) + i;
    }
  }
  std::snprintf(AP.indir, sizeof AP.indir, "%s", dir.path().c_str());
  std::snprintf(AP.outdir, sizeof AP.outdir, "%s", docs.c_str());
  AP.dlgrect = {1, 2, 1003, 804};
  AP.showcmd = 2;
  AP.y2 = 2031;
  AP.latest = 1;
  AP.dt = -0.25f;
  AP.tz = -3600;
  AP.bw = 1;
  std::snprintf(AP.g_map, sizeof AP.g_map, "%s", "GMx.DAT");
  AP.g_ofv = 1e-7f;
  AP.g_text = 0;  // not written: comes back as 1
  AP.g_line = 0;
  const AppParams saved = AP;
  std::array<ListLayout, kSettingsLayoutCount> savedUser{};
  for (int l = 0; l < kSettingsLayoutCount; ++l)
    savedUser[static_cast<std::size_t>(l)] = *kSettingsLayouts[l].layout;
  CUApp::SaveSettings();

  // Keys beyond the layouts' columns, added by hand, are not read.
  std::string bytes = nv4test::ReadFileBytes(SettingsFile());
  bytes += IntRecord("UR_w17", 5) + IntRecord("UR_d17", 1) + IntRecord("C1_w3", 7) +
           IntRecord("UP_w20", 9);
  nv4test::WriteFileBytes(SettingsFile(), bytes);
  RestoreLayouts();
  SetDefaultAppParams();
  CUApp::LoadSettings();
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  EXPECT_EQ(std::memcmp(&AP.dlgrect, &saved.dlgrect, sizeof AP.dlgrect), 0);
  EXPECT_EQ(AP.showcmd, 2);
  EXPECT_STREQ(AP.indir, saved.indir);
  EXPECT_STREQ(AP.outdir, saved.outdir);
  EXPECT_EQ(AP.y2, 2031);
  EXPECT_EQ(AP.latest, 1);
  EXPECT_EQ(AP.dt, -0.25f);
  EXPECT_EQ(AP.tz, -3600);
  EXPECT_EQ(AP.bw, 1);
  EXPECT_STREQ(AP.g_map, "GMx.DAT");
  EXPECT_EQ(AP.g_ofv, 1e-7f);
  EXPECT_EQ(AP.g_text, 1);
  EXPECT_EQ(AP.g_line, 0);
  for (int l = 0; l < kSettingsLayoutCount; ++l) {
    const ListLayout& layout = *kSettingsLayouts[l].layout;
    const ListLayout& expected = savedUser[static_cast<std::size_t>(l)];
    SCOPED_TRACE(kSettingsLayouts[l].prefix);
    for (int i = 0; i <= layout.columnCount; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(layout.columns[i].shown, expected.columns[i].shown);
      EXPECT_EQ(layout.columns[i].width, expected.columns[i].width);
    }
  }
  EXPECT_EQ(layoutUR.columns[17].width, 0);
  EXPECT_EQ(layoutC1.columns[3].width, 0);
  // Saved again, the file is the complete one: the hand-made keys are gone.
  CUApp::SaveSettings();
  EXPECT_EQ(Keys(Records(nv4test::ReadFileBytes(SettingsFile()))), CompleteFileKeys());
}

// A start-up folder too long for the settings file's path used to be cut or overflowed; it is
// now refused by name, and the fall-backs still run.
TEST_F(AppSettingsTest, AStartUpFolderTooLongForTheSettingsPath) {
  // 1009 characters joined with "/NV4_PARAM.QRD" are 1023: the longest path the store takes.
  const std::string fits = "/" + std::string(1008, 'f');
  const std::string tooLong = "/" + std::string(1009, 't');
  SetStartDir(fits);
  CUApp::LoadSettings();
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  CUApp::SaveSettings();  // the folder does not exist
  EXPECT_EQ(Messages(), std::vector<std::string>{"UE070: Cannot write NV4_PARAM.QRD"});

  scripted->ClearCalls();
  SetStartDir(tooLong);
  CUApp::LoadSettings();
  CUApp::SaveSettings();
  // The folder's middle gives way, so that the message holds both its ends.
  const std::string named = tooLong.substr(0, 300) + "..." + tooLong.substr(tooLong.size() - 300);
  const std::string refused = "Start-up folder too long for the settings file NV4_PARAM.QRD, ";
  EXPECT_EQ(Messages(), (std::vector<std::string>{refused + "settings not read:\n" + named,
                                                  refused + "settings not written:\n" + named}));
  ExpectDefaults();
}

// The settings file may be a link, kept private by its owner: the save used to put a plain
// file with a new file's mode in the link's place.
TEST_F(AppSettingsTest, ALinkedPrivateSettingsFileStaysLinkedAndPrivate) {
  const std::string real = dir.File("elsewhere");
  std::filesystem::create_directory(real);
  const std::string target = real + "/mine.qrd";
  nv4test::WriteFileBytes(target, IntRecord("VERSION", 400) + IntRecord("AP.y1", 2015));
  ASSERT_EQ(chmod(target.c_str(), 0600), 0);
  std::filesystem::create_symlink(target, SettingsFile());
  CUApp::LoadSettings();
  EXPECT_EQ(AP.y1, 2015);
  CUApp::SaveSettings();
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  EXPECT_TRUE(std::filesystem::is_symlink(SettingsFile()));
  EXPECT_EQ(Records(nv4test::ReadFileBytes(target)).size(), 111u);
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}

}  // namespace
