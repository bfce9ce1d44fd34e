#include "ulib/settings_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"

namespace {

using platform::ScriptedPlatform;

const std::string kFixtures = std::string(NV4_SOURCE_DIR) + "/tests/fixtures/ulib/";

std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// The records of settings_small.qrd, written as the program writes them.
void WriteSmallRecords(CAppUty& store) {
  store.BeginWrite();
  store.WriteInt("VERSION", 400);
  store.WriteInt("AP.dlgrect.bottom", 580);
  // Callers hand fixed buffers whose bytes after the zero are whatever was there before.
  char map[16];
  std::memset(map, 'J', sizeof map);
  std::memcpy(map, "abcd", 5);
  store.WriteString("AP.g_map", map);
  store.WriteString("AP.tag", "abc");
  float dt = 3.0f;
  std::int32_t bits;
  std::memcpy(&bits, &dt, sizeof bits);
  store.WriteInt("AP.dt", bits);
  store.WriteInt("AP.tz", -32400);
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<CAppUty> store = std::make_unique<CAppUty>();
  nv4test::TempDir dir;
  platform::ScopedScriptedPlatform scripted;
};

// The padding of "abcd" used to carry the caller's stray bytes into the file.
TEST_F(SettingsStoreTest, WritesTheGoldenBytes) {
  WriteSmallRecords(*store);
  EXPECT_EQ(store->WriteOffset(), 148);
  ASSERT_EQ(store->Save(dir.path().c_str(), "NV4_PARAM.QRD"), 1);
  EXPECT_EQ(store->WriteOffset(), -1);
  EXPECT_EQ(nv4test::ReadFileBytes(dir.File("NV4_PARAM.QRD")),
            nv4test::ReadFileBytes(kFixtures + "settings_small.qrd"));
}

TEST_F(SettingsStoreTest, VersionAloneIsA24ByteFile) {
  store->BeginWrite();
  store->WriteInt("VERSION", 400);
  ASSERT_EQ(store->Save(dir.path().c_str(), "v.qrd"), 1);
  EXPECT_EQ(nv4test::ReadFileBytes(dir.File("v.qrd")),
            std::string("VERSION\0\0\0\0\0\0\0\0\0\x04\0\0\0\x90\x01\0\0", 24));
}

TEST_F(SettingsStoreTest, ReadsTheGoldenFile) {
  ASSERT_EQ(store->Load(kFixtures.c_str(), "settings_small.qrd"), 148);
  struct Case {
    const char* key;
    int size;
    int length;          // ReadRecord's result
    std::string value;   // bytes expected at dest
  };
  const Case kCases[] = {
      {"VERSION", 4, 4, std::string("\x90\x01\0\0", 4)},
      {"AP.dlgrect.bottom", 4, 4, std::string("\x44\x02\0\0", 4)},  // matched by 15 characters
      {"AP.g_map", 256, 8, std::string("abcd\0\0\0\0", 8)},
      {"AP.tag", 4, 4, std::string("abc\0", 4)},
      {"AP.absent", 4, 0, "...."},  // untouched
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.key);
    std::vector<char> dest(static_cast<std::size_t>(c.size), '.');
    EXPECT_EQ(store->ReadRecord(c.key, dest.data(), c.size), c.length);
    EXPECT_EQ(std::string(dest.data(), c.value.size()), c.value);
  }
  std::int32_t value = 77;
  EXPECT_EQ(store->ReadInt("AP.tz", &value), 4);
  EXPECT_EQ(value, -32400);
  EXPECT_EQ(store->ReadInt("AP.dt", &value), 4);
  float dt;
  std::memcpy(&dt, &value, sizeof dt);
  EXPECT_EQ(dt, 3.0f);
  value = 77;
  EXPECT_EQ(store->ReadInt("AP.none", &value), 0);
  EXPECT_EQ(value, 77);
}

TEST_F(SettingsStoreTest, TheFirstOfTwoEqualKeysWins) {
  store->BeginWrite();
  store->WriteInt("AP.x", 1);
  store->WriteInt("AP.x", 2);
  ASSERT_EQ(store->Save(dir.path().c_str(), "d.qrd"), 1);
  ASSERT_EQ(store->Load(dir.path().c_str(), "d.qrd"), 48);
  std::int32_t value = 0;
  EXPECT_EQ(store->ReadInt("AP.x", &value), 4);
  EXPECT_EQ(value, 1);
}

TEST_F(SettingsStoreTest, MissingAndEmptyFiles) {
  EXPECT_EQ(store->Load(dir.path().c_str(), "none.qrd"), 0);
  nv4test::WriteFileBytes(dir.File("empty.qrd"), "");
  EXPECT_EQ(store->Load(dir.path().c_str(), "empty.qrd"), 0);
  std::int32_t value = 5;
  EXPECT_EQ(store->ReadInt("VERSION", &value), 0);
  EXPECT_EQ(value, 5);
  // A failed load keeps what an earlier one read.
  ASSERT_EQ(store->Load(kFixtures.c_str(), "settings_small.qrd"), 148);
  EXPECT_EQ(store->Load(dir.path().c_str(), "none.qrd"), 0);
  EXPECT_EQ(store->ReadInt("VERSION", &value), 4);
  EXPECT_EQ(value, 400);
  // A name that is a path of its own ignores the folder.
  const std::string absolute = kFixtures + "settings_small.qrd";
  EXPECT_EQ(store->Load("/nowhere", absolute.c_str()), 148);
  // A path too long for the program is not opened.
  const std::string longDir = "/" + std::string(1100, 'd');
  EXPECT_EQ(store->Load(longDir.c_str(), "x.qrd"), 0);
}

// Only the first 50,000 bytes of a longer file are loaded; the record that the cut runs through
// reads as absent.
TEST_F(SettingsStoreTest, ALongerFileIsReadAsFarAsTheBufferHolds) {
  std::string bytes = nv4test::ReadFileBytes(kFixtures + "settings_small.qrd");
  ASSERT_EQ(bytes.size(), 148u);
  // One record of 49,980 data bytes that ends 148 bytes past the buffer, then more.
  const std::uint32_t length = 49'980;
  bytes += std::string("AP.cut\0\0\0\0\0\0\0\0\0\0", 16);
  bytes += std::string("\x3C\xC3\0\0", 4);  // little-endian
  bytes += std::string(length, 'c');
  bytes += std::string(10'000, 'z');
  nv4test::WriteFileBytes(dir.File("long.qrd"), bytes);
  ASSERT_EQ(store->Load(dir.path().c_str(), "long.qrd"), 50'000);
  std::int32_t value = 0;
  EXPECT_EQ(store->ReadInt("AP.tz", &value), 4);
  EXPECT_EQ(value, -32400);
  std::vector<char> dest(length);
  EXPECT_EQ(store->ReadRecord("AP.cut", dest.data(), static_cast<std::int32_t>(length)), 0);
}

// A damaged or truncated file used to make the reader step outside the loaded bytes.
TEST_F(SettingsStoreTest, DamagedFilesReadAsAbsentFromTheFirstBrokenRecord) {
  const std::string good = nv4test::ReadFileBytes(kFixtures + "settings_small.qrd");
  ASSERT_EQ(good.size(), 148u);
  auto withLength = [&](std::size_t recordAt, std::uint32_t length) {
    std::string bytes = good;
    std::memcpy(bytes.data() + recordAt + 16, &length, 4);
    return bytes;
  };
  struct Case {
    const char* name;
    std::string bytes;
    bool versionFound;  // the first record
    bool tzFound;       // the last record
  };
  const Case kCases[] = {
      {"sound", good, true, true},
      {"cut inside a header", good.substr(0, 10), false, false},
      {"cut inside the first value", good.substr(0, 22), false, false},
      {"cut inside the last value", good.substr(0, 146), true, false},
      {"last header without its value", good.substr(0, 144), true, false},
      {"huge first length", withLength(0, 0xFFFFFFF0u), false, false},
      {"second length past the end", withLength(24, 200), true, false},
      {"length one past the end", withLength(124, 8), true, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    nv4test::WriteFileBytes(dir.File("bad.qrd"), c.bytes);
    EXPECT_EQ(store->Load(dir.path().c_str(), "bad.qrd"), static_cast<int>(c.bytes.size()));
    std::int32_t value = -1;
    EXPECT_EQ(store->ReadInt("VERSION", &value), c.versionFound ? 4 : 0);
    EXPECT_EQ(value, c.versionFound ? 400 : -1);
    value = -1;
    EXPECT_EQ(store->ReadInt("AP.tz", &value), c.tzFound ? 4 : 0);
    EXPECT_EQ(value, c.tzFound ? -32400 : -1);
  }
}

TEST_F(SettingsStoreTest, KeysAndLengths) {
  store->BeginWrite();
  store->WriteString("AP.four", "abcd");
  EXPECT_EQ(store->WriteOffset(), 28);  // 5 bytes round to 8
  store->WriteString("AP.three", "abc");
  EXPECT_EQ(store->WriteOffset(), 52);  // 4 bytes stay 4
  store->WriteInt("AP.dlgrect.right", 840);
  store->WriteInt("AP.dlgrect.bottom", 580);
  ASSERT_EQ(store->Save(dir.path().c_str(), "k.qrd"), 1);
  const std::string bytes = nv4test::ReadFileBytes(dir.File("k.qrd"));
  ASSERT_EQ(bytes.size(), 100u);
  EXPECT_EQ(bytes.substr(52, 16), std::string("AP.dlgrect.righ\0", 16));
  ASSERT_EQ(store->Load(dir.path().c_str(), "k.qrd"), 100);
  std::int32_t right = 0, bottom = 0;
  EXPECT_EQ(store->ReadInt("AP.dlgrect.right", &right), 4);
  EXPECT_EQ(store->ReadInt("AP.dlgrect.bottom", &bottom), 4);
  EXPECT_EQ(right, 840);
  EXPECT_EQ(bottom, 580);
}

// Fills the buffer up to the offset with records; offsets are multiples of 4.
void FillTo(CAppUty& store, int offset) {
  static const std::vector<char> data(1024, 'z');
  if (store.WriteOffset() == offset) return;
  while (store.WriteOffset() + 1024 + 20 <= offset) store.WriteRecord("AP.fill", data.data(), 1004);
  const int rest = offset - store.WriteOffset() - 20;
  ASSERT_GE(rest, 0);
  store.WriteRecord("AP.rest", data.data(), rest);
  ASSERT_EQ(store.WriteOffset(), offset);
}

TEST_F(SettingsStoreTest, TheLastRecordMayEndAtTheBufferEnd) {
  store->BeginWrite();
  FillTo(*store, 48952);  // the last multiple of 4 below the limit
  std::vector<char> data(1024, 'e');
  store->WriteRecord("AP.last", data.data(), 1024);
  EXPECT_EQ(store->WriteOffset(), 49996);
  ASSERT_EQ(store->Save(dir.path().c_str(), "full.qrd"), 1);
  ASSERT_EQ(store->Load(dir.path().c_str(), "full.qrd"), 49996);
  std::vector<char> back(1024);
  EXPECT_EQ(store->ReadRecord("AP.last", back.data(), 1024), 1024);
  EXPECT_EQ(back, data);
}

// The limit used to be checked at the start only, so a long last record ran off the buffer,
// and a length near the int32 limit wrapped while it was rounded up.
TEST_F(SettingsStoreTest, WritesBeyondTheLimitAreRefused) {
  EXPECT_EXIT(store->WriteInt("VERSION", 400), ::testing::ExitedWithCode(247),
              "UE0103: bp exceeds limit \\(VERSION");
  struct Case {
    const char* name;
    int at;          // write offset before the record
    std::int32_t length;
    bool refused;
  };
  const Case kCases[] = {
      {"1,024 bytes at the last start below the limit", 48952, 1024, false},
      {"ending exactly at the buffer end", 48952, 1028, false},
      {"1,025 bytes padded to end at the buffer end", 48952, 1025, false},
      {"padded past the end", 48952, 1029, true},
      {"starting at the limit", 48956, 4, true},
      {"starting beyond the limit", 48976, 0, true},
      {"negative length", 0, -1, true},
      {"length near the int32 limit", 0, 2147483646, true},
      {"the largest length", 0, 2147483647, true},
  };
  const std::vector<char> data(2048, 'x');
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto fresh = std::make_unique<CAppUty>();
    fresh->BeginWrite();
    FillTo(*fresh, c.at);
    if (c.refused) {
      EXPECT_EXIT(fresh->WriteRecord("AP.last", data.data(), c.length),
                  ::testing::ExitedWithCode(247), "UE0103: bp exceeds limit \\(AP.last");
    } else {
      fresh->WriteRecord("AP.last", data.data(), c.length);
      EXPECT_EQ(fresh->WriteOffset(), c.at + 20 + (c.length + 3) / 4 * 4);
    }
  }
}

TEST_F(SettingsStoreTest, BrokenCallingOrderIsFatal) {
  std::int32_t value;
  EXPECT_EXIT(store->ReadInt("VERSION", &value), ::testing::ExitedWithCode(247),
              "UE0104: rp invalid");
  ASSERT_EQ(store->Load(kFixtures.c_str(), "settings_small.qrd"), 148);
  char small[4];
  EXPECT_EXIT(store->ReadRecord("AP.g_map", small, 4), ::testing::ExitedWithCode(247),
              "UE0105: invalid length");
  EXPECT_EXIT(store->Save(dir.path().c_str(), "s.qrd"), ::testing::ExitedWithCode(247),
              "CAppUty:invalid bp");
  store->BeginWrite();
  store->WriteInt("VERSION", 400);
  ASSERT_EQ(store->Save(dir.path().c_str(), "s.qrd"), 1);
  EXPECT_EXIT(store->Save(dir.path().c_str(), "s.qrd"), ::testing::ExitedWithCode(247),
              "CAppUty:invalid bp");
}

// Saves in folders and files an ordinary user may or may not write. The old file used to be
// truncated or left half written when the folder was locked, and later the save failed
// outright in a read-only folder whose settings file the user could write. Each case runs in
// a child process as an ordinary user, since root writes anywhere.
TEST_F(SettingsStoreTest, LockedFoldersAndFiles) {
  struct Case {
    const char* name;
    mode_t folderMode;
    mode_t fileMode;
    bool saved;       // the new bytes are in the file
    bool rootOnly;    // needs a file of another user, which only root can set up
  };
  const Case kCases[] = {
      {"read-only folder, writable file: rewritten in place", 0555, 0666, true, false},
      {"read-only folder, read-only file", 0555, 0444, false, false},
      {"writable folder, read-only file", 0777, 0444, false, false},
      // The new file cannot be renamed over another user's file in a sticky folder.
      {"sticky folder, another user's writable file", 01777, 0666, true, true},
  };
  const std::string newBytes("VERSION\0\0\0\0\0\0\0\0\0\x04\0\0\0\x90\x01\0\0", 24);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  const bool root = geteuid() == 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.rootOnly && !root) continue;
    const std::string folder = dir.File("locked");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    const std::string file = folder + "/NV4_PARAM.QRD";
    nv4test::WriteFileBytes(file, "old settings");
    ASSERT_EQ(chmod(file.c_str(), c.fileMode), 0);
    ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
      platform::ScopedScriptedPlatform childPlatform;
      CAppUty& childStore = *store;
      childStore.BeginWrite();
      childStore.WriteInt("VERSION", 400);
      const int saved = childStore.Save(folder.c_str(), "NV4_PARAM.QRD");
      if (saved != (c.saved ? 1 : 0)) _exit(1);
      const auto boxes = childPlatform->CallsOf(ScriptedPlatform::CallKind::kMessage);
      if (c.saved && !boxes.empty()) _exit(2);
      if (!c.saved && (boxes.size() != 1 || boxes[0].text != "UE070: Cannot write NV4_PARAM.QRD")) {
        _exit(2);
      }
      if (childStore.WriteOffset() != (c.saved ? -1 : 24)) _exit(4);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(folder.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(nv4test::ReadFileBytes(file), c.saved ? newBytes : "old settings");
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"NV4_PARAM.QRD"});
    struct stat info;
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, c.fileMode);
    EXPECT_EQ(info.st_uid, geteuid());  // the file itself, not a new one of the child's
  }
}

// A save used to replace a linked settings file by a plain file beside the link, and gave
// every saved file the mode of a new one.
TEST_F(SettingsStoreTest, ASaveWritesThroughLinksAndKeepsTheMode) {
  const std::string newBytes("VERSION\0\0\0\0\0\0\0\0\0\x04\0\0\0\x90\x01\0\0", 24);
  const std::string start = dir.File("start");
  const std::string real = dir.File("real");
  std::filesystem::create_directory(start);
  std::filesystem::create_directory(real);
  const std::string link = start + "/NV4_PARAM.QRD";
  auto save = [&](const std::string& folder) {
    store->BeginWrite();
    store->WriteInt("VERSION", 400);
    return store->Save(folder.c_str(), "NV4_PARAM.QRD");
  };
  auto modeOf = [](const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : mode_t{07777};
  };

  // A plain file keeps its mode, whatever the umask would give a new file.
  for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0664}}) {
    SCOPED_TRACE(mode);
    nv4test::WriteFileBytes(real + "/NV4_PARAM.QRD", "old");
    ASSERT_EQ(chmod((real + "/NV4_PARAM.QRD").c_str(), mode), 0);
    ASSERT_EQ(save(real), 1);
    EXPECT_EQ(nv4test::ReadFileBytes(real + "/NV4_PARAM.QRD"), newBytes);
    EXPECT_EQ(modeOf(real + "/NV4_PARAM.QRD"), mode);
  }

  // A relative link to a 0600 file: the target is replaced, the link stays a link.
  nv4test::WriteFileBytes(real + "/NV4_PARAM.QRD", "old");
  ASSERT_EQ(chmod((real + "/NV4_PARAM.QRD").c_str(), 0600), 0);
  std::filesystem::create_symlink("../real/NV4_PARAM.QRD", link);
  ASSERT_EQ(save(start), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), "../real/NV4_PARAM.QRD");
  EXPECT_EQ(nv4test::ReadFileBytes(real + "/NV4_PARAM.QRD"), newBytes);
  EXPECT_EQ(modeOf(real + "/NV4_PARAM.QRD"), 0600u);
  EXPECT_EQ(FolderEntries(start), std::vector<std::string>{"NV4_PARAM.QRD"});
  EXPECT_EQ(FolderEntries(real), std::vector<std::string>{"NV4_PARAM.QRD"});

  // A link through another link, absolute, to a file not made yet: the file is created.
  std::filesystem::remove(link);
  std::filesystem::create_symlink(real + "/hop", link);
  std::filesystem::create_symlink("made.qrd", real + "/hop");
  ASSERT_EQ(save(start), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_symlink(real + "/hop"));
  EXPECT_EQ(nv4test::ReadFileBytes(real + "/made.qrd"), newBytes);

  // Links that never reach a file are refused with the store's message.
  std::filesystem::remove(link);
  std::filesystem::create_symlink(start + "/loop", link);
  std::filesystem::create_symlink(link, start + "/loop");
  scripted->ClearCalls();
  EXPECT_EQ(save(start), 0);
  const auto boxes = scripted->CallsOf(ScriptedPlatform::CallKind::kMessage);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "UE070: Cannot write NV4_PARAM.QRD");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
}

// The reads for a file a person may have edited: too long a value is reported, never fatal,
// and the destination keeps its value.
TEST_F(SettingsStoreTest, ReadsThatDoNotEndTheProgram) {
  ASSERT_EQ(store->Load(kFixtures.c_str(), "settings_small.qrd"), 148);
  char map[8];
  std::memset(map, '.', sizeof map);
  EXPECT_EQ(store->ReadRecordIfFits("AP.g_map", map, 4), CAppUty::kRecordTooLong);
  EXPECT_EQ(std::string(map, 8), "........");
  EXPECT_EQ(store->ReadRecordIfFits("AP.g_map", map, 8), 8);
  EXPECT_EQ(std::string(map, 8), std::string("abcd\0\0\0\0", 8));
  EXPECT_EQ(store->ReadRecordIfFits("AP.none", map, 8), 0);
  EXPECT_EQ(store->ReadRecordIfFits("AP.g_map", map, -1), CAppUty::kRecordTooLong);
  std::int32_t value = 77;
  EXPECT_EQ(store->ReadIntIfFits("AP.g_map", &value), CAppUty::kRecordTooLong);
  EXPECT_EQ(value, 77);
  EXPECT_EQ(store->ReadIntIfFits("AP.tz", &value), 4);
  EXPECT_EQ(value, -32400);
  EXPECT_EQ(store->ReadIntIfFits("AP.none", &value), 0);
  EXPECT_EQ(value, -32400);
  // The fatal reads stay fatal for callers that rely on them.
  EXPECT_EXIT(store->ReadInt("AP.g_map", &value), ::testing::ExitedWithCode(247),
              "UE0105: invalid length");
  auto unloaded = std::make_unique<CAppUty>();
  EXPECT_EXIT(unloaded->ReadIntIfFits("VERSION", &value), ::testing::ExitedWithCode(247),
              "UE0104: rp invalid");
}

// A failure after the new bytes were written (here the name is taken by a folder, so the
// rename fails) removes the new file and keeps the writing state, so a second try can still
// succeed.
TEST_F(SettingsStoreTest, AFailedSaveRemovesItsFileAndCanBeRetried) {
  std::filesystem::create_directory(dir.File("NV4_PARAM.QRD"));
  store->BeginWrite();
  store->WriteInt("VERSION", 400);
  EXPECT_EQ(store->Save(dir.path().c_str(), "NV4_PARAM.QRD"), 0);
  const auto boxes = scripted->CallsOf(ScriptedPlatform::CallKind::kMessage);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "UE070: Cannot write NV4_PARAM.QRD");
  EXPECT_EQ(boxes[0].caption, "NortavelV4");
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"NV4_PARAM.QRD"});
  EXPECT_EQ(store->WriteOffset(), 24);
  const std::string longDir = "/" + std::string(1100, 'd');
  EXPECT_EQ(store->Save(longDir.c_str(), "x.qrd"), 0);
  EXPECT_EQ(scripted->CallsOf(ScriptedPlatform::CallKind::kMessage).back().text,
            "UE070: Cannot write x.qrd");
  ASSERT_EQ(store->Save(dir.path().c_str(), "second.qrd"), 1);
  EXPECT_EQ(nv4test::ReadFileBytes(dir.File("second.qrd")).size(), 24u);
}

TEST_F(SettingsStoreTest, ASavedFileReplacesTheOldOneWhole) {
  nv4test::WriteFileBytes(dir.File("NV4_PARAM.QRD"), std::string(5000, 'o'));
  store->BeginWrite();
  store->WriteInt("VERSION", 400);
  ASSERT_EQ(store->Save(dir.path().c_str(), "NV4_PARAM.QRD"), 1);
  EXPECT_EQ(nv4test::ReadFileBytes(dir.File("NV4_PARAM.QRD")).size(), 24u);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"NV4_PARAM.QRD"});
  struct stat info;
  ASSERT_EQ(stat(dir.File("NV4_PARAM.QRD").c_str(), &info), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

}  // namespace

namespace {

// A save's new file or its bytes failing with one errno, as a full disk or a locked folder
// would fail them; the real calls come back after.
int failingErrno = 0;
int MakeTemporaryFailing(char*) {
  errno = failingErrno;
  return -1;
}
ssize_t WriteFailingAfterFourBytes(int fd, const void* data, std::size_t size) {
  if (size > 4) return write(fd, data, 4);
  errno = failingErrno;
  return -1;
}

class ScopedSaveCalls {
 public:
  explicit ScopedSaveCalls(SettingsSaveCalls calls) : previous_(SetSettingsSaveCalls(calls)) {}
  ~ScopedSaveCalls() { SetSettingsSaveCalls(previous_); }
  ScopedSaveCalls(const ScopedSaveCalls&) = delete;
  ScopedSaveCalls& operator=(const ScopedSaveCalls&) = delete;

 private:
  SettingsSaveCalls previous_;
};

// A disk with no room or no inodes used to have the file rewritten in place, truncating an
// 88-byte settings file into an unreadable one; only a folder that refuses new files for its
// permissions is worth the risk of a rewrite.
TEST_F(SettingsStoreTest, OnlyAFolderThatRefusesNewFilesGetsTheFileRewrittenInPlace) {
  struct Case {
    const char* name;
    int error;
    bool failWrite;  // the new file is made but its bytes fail part way
    bool saved;
  };
  constexpr Case kCases[] = {
      {"EACCES", EACCES, false, true}, {"EPERM", EPERM, false, true},
      {"EROFS", EROFS, false, true},   {"ENOSPC", ENOSPC, false, false},
      {"EDQUOT", EDQUOT, false, false}, {"EMFILE", EMFILE, false, false},
      {"EIO", EIO, false, false},       {"ENOSPC while writing", ENOSPC, true, false},
      {"EDQUOT while writing", EDQUOT, true, false},
  };
  const std::string old(88, 'o');
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    nv4test::WriteFileBytes(dir.File("NV4_PARAM.QRD"), old);
    scripted->ClearCalls();
    failingErrno = c.error;
    ScopedSaveCalls calls(c.failWrite ? SettingsSaveCalls{mkstemp, WriteFailingAfterFourBytes}
                                      : SettingsSaveCalls{MakeTemporaryFailing, write});
    store->BeginWrite();
    store->WriteInt("VERSION", 400);
    EXPECT_EQ(store->Save(dir.path().c_str(), "NV4_PARAM.QRD"), c.saved ? 1 : 0);
    const std::string bytes = nv4test::ReadFileBytes(dir.File("NV4_PARAM.QRD"));
    const auto boxes = scripted->CallsOf(ScriptedPlatform::CallKind::kMessage);
    if (c.saved) {
      EXPECT_EQ(bytes.size(), 24u);
      EXPECT_TRUE(boxes.empty());
    } else {
      EXPECT_EQ(bytes, old);
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, "UE070: Cannot write NV4_PARAM.QRD");
    }
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"NV4_PARAM.QRD"});
  }
}

}  // namespace
