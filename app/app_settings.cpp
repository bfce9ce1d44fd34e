#include "app/cu_app.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/folder_for_message.h"
#include "app/list_layouts.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "groundmap/map_image.h"
#include "ulib/messages.h"
#include "ulib/settings_store.h"

namespace {

constexpr int kLayoutKeyChars = 32;
// The store joins the folder and the file name into at most this many characters.
constexpr std::size_t kMaxSettingsPathChars = 1023;

// Where the main dialog opens when the stored rectangle starts above the screen.
constexpr ScreenRect kFallbackRect = {20, 100, 920, 680};

std::size_t StartDirLength() { return strnlen(startDir, kStartDirChars); }

bool SettingsPathFits() {
  return StartDirLength() + 1 + std::strlen(kSettingsFileName) <= kMaxSettingsPathChars;
}

// The start-up folder for a message: one too long for the settings path is too long to fit a
// message whole.
std::string StartDirForMessage() {
  return FolderForMessage(std::string_view(startDir, StartDirLength()));
}

std::string SettingsPath() {
  return std::string(startDir, StartDirLength()) + "/" + kSettingsFileName;
}

// The settings file is the user's to edit, so a value too long for its key is not fatal here:
// the key keeps its value and is named, with the others, in one message after loading.
void NoteIgnored(std::string& ignored, const char* key) {
  if (!ignored.empty()) ignored += ", ";
  ignored += key;
}

void ReportIgnored(const std::string& ignored) {
  if (ignored.empty()) return;
  ReportError("Settings file %s: ignored %s (value too long)", SettingsPath().c_str(),
              ignored.c_str());
}

void ReadIntKey(const char* key, std::int32_t* value, std::string& ignored) {
  if (theAppUty.ReadIntIfFits(key, value) == CAppUty::kRecordTooLong) NoteIgnored(ignored, key);
}

// An int32 or a float global, through its 4 bytes.
void ReadBitsKey(const char* key, void* value, std::string& ignored) {
  std::int32_t bits;
  std::memcpy(&bits, value, sizeof bits);
  ReadIntKey(key, &bits, ignored);
  std::memcpy(value, &bits, sizeof bits);
}

// A text is ended inside its buffer even when the file's value has no zero of its own, so
// that nothing later reads past the global.
void ReadTextKey(const char* key, char* text, std::int32_t size, std::string& ignored) {
  const int length = theAppUty.ReadRecordIfFits(key, text, size);
  if (length == CAppUty::kRecordTooLong) {
    NoteIgnored(ignored, key);
  } else if (length > 0) {
    text[std::min(length, size - 1)] = '\0';
  }
}

int LayoutKeyCount(const ListLayout& layout) {
  return std::clamp(layout.columnCount, 0, kMaxListColumns);
}

void ReadLayoutKeys(ListLayout& layout, const char* prefix, std::string& ignored) {
  char key[kLayoutKeyChars];
  for (int i = 0; i < LayoutKeyCount(layout); ++i) {
    std::snprintf(key, sizeof key, "%s_d%d", prefix, i);
    ReadIntKey(key, &layout.columns[i].shown, ignored);
    std::snprintf(key, sizeof key, "%s_w%d", prefix, i);
    ReadIntKey(key, &layout.columns[i].width, ignored);
  }
}

// Every key of a file the store has loaded; a file of a newer program is left unread.
void ReadSettingsFile() {
  std::string ignored;
  std::int32_t version = kSettingsVersion;  // a file without "VERSION" reads as our own
  ReadIntKey("VERSION", &version, ignored);
  if (version > kSettingsVersion) {
    ReportError("Version of Settings file is newer than program\n...ignored");
    return;
  }
  for (const SettingsKey& key : kSettingsKeys) {
    if (!key.value) continue;  // "VERSION"
    if (key.type == SettingType::kText) {
      ReadTextKey(key.key, static_cast<char*>(key.value), key.textSize, ignored);
    } else {
      ReadBitsKey(key.key, key.value, ignored);
    }
  }
  for (const SettingsLayout& entry : kSettingsLayouts) {
    ReadLayoutKeys(*entry.layout, entry.prefix, ignored);
  }
  ReportIgnored(ignored);
}

// A folder that is gone (or was never set) becomes the documents folder.
void FallBackToDocuments(char (&folder)[kDirChars]) {
  std::error_code error;
  if (folder[0] != '\0' && std::filesystem::exists(folder, error)) return;
  const std::size_t length = std::min(strnlen(myDocumentsDir, kStartDirChars),
                                      static_cast<std::size_t>(kDirChars - 1));
  std::memcpy(folder, myDocumentsDir, length);
  folder[length] = '\0';
}

}  // namespace

void CUApp::LoadSettings() {
  if (!SettingsPathFits()) {
    ReportError("Start-up folder too long for the settings file %s, settings not read:\n%s",
                kSettingsFileName, StartDirForMessage().c_str());
  } else if (theAppUty.Load(startDir, kSettingsFileName) > 0) {
    ReadSettingsFile();
  }
  if (AP.dlgrect.top < 0) AP.dlgrect = kFallbackRect;
  FallBackToDocuments(AP.outdir);
  FallBackToDocuments(AP.indir);
  groundmap::ResetMapImage();
}

void CUApp::SaveSettings() {
  if (!SettingsPathFits()) {
    ReportError("Start-up folder too long for the settings file %s, settings not written:\n%s",
                kSettingsFileName, StartDirForMessage().c_str());
    return;
  }
  theAppUty.BeginWrite();
  for (const SettingsKey& key : kSettingsKeys) {
    if (!key.written) continue;  // "AP.g_text"
    if (key.type == SettingType::kText) {
      const char* text = static_cast<const char*>(key.value);
      const std::size_t size = static_cast<std::size_t>(key.textSize);
      theAppUty.WriteString(key.key, std::string(text, strnlen(text, size - 1)).c_str());
    } else {
      std::int32_t bits = kSettingsVersion;  // "VERSION" is no global
      if (key.value) std::memcpy(&bits, key.value, sizeof bits);
      theAppUty.WriteInt(key.key, bits);
    }
  }
  for (const SettingsLayout& entry : kSettingsLayouts) {
    SaveColumnLayout(entry.layout, entry.prefix);
  }
  theAppUty.Save(startDir, kSettingsFileName);
}

void SaveColumnLayout(const ListLayout* layout, const char* prefix) {
  char key[kLayoutKeyChars];
  for (int i = 0; i < LayoutKeyCount(*layout); ++i) {
    std::snprintf(key, sizeof key, "%s_d%d", prefix, i);
    theAppUty.WriteInt(key, layout->columns[i].shown);
    std::snprintf(key, sizeof key, "%s_w%d", prefix, i);
    theAppUty.WriteInt(key, layout->columns[i].width);
  }
}
