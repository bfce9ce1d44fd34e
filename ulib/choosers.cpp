#include "ulib/choosers.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "ulib/messages.h"

namespace {

// Copies text with its terminating zero when it fits in size bytes.
bool CopyFits(const std::string& text, char* buffer, int size) {
  if (size <= 0 || text.size() + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

std::vector<platform::FileFilter> ParseFilter(const char* filter) {
  std::vector<platform::FileFilter> filters;
  if (!filter) return filters;
  while (*filter) {
    platform::FileFilter entry;
    entry.text = filter;
    filter += entry.text.size() + 1;
    if (!*filter) break;
    entry.pattern = filter;
    filter += entry.pattern.size() + 1;
    filters.push_back(entry);
  }
  return filters;
}

}  // namespace

int ChooseFolder(const char* title, char* path, int size) {
  platform::FolderRequest request;
  request.owner = MainDialog;
  request.title = title ? title : "";
  request.initial = path ? path : "";
  std::optional<std::string> chosen = platform::Current().ChooseFolder(request);
  if (!chosen || !path) return 0;
  return CopyFits(*chosen, path, size) ? 1 : 0;
}

int ChooseFile(const char* title, const char* filter, const char* defaultExtension, char* file,
               char* fileTitle, int size, char mode) {
  platform::FileRequest request;
  request.owner = MainDialog;
  request.title = title ? title : "";
  request.filters = ParseFilter(filter);
  request.defaultExtension = defaultExtension ? defaultExtension : "";
  request.proposed = file ? file : "";
  request.save = mode != 'r';
  std::optional<std::string> chosen = platform::Current().ChooseFile(request);
  if (!chosen || !file || !fileTitle) return 0;

  const std::string name = std::filesystem::path(*chosen).filename().string();
  if (chosen->size() + 1 > static_cast<size_t>(size) || name.size() + 1 > static_cast<size_t>(size))
    return 0;
  if (mode == 'w') {
    std::error_code ignored;
    if (std::filesystem::exists(*chosen, ignored) &&
        !platform::Current().AskOkCancel(MainDialog, "file already exists overwrite?",
                                         "NortavelV4")) {
      return 0;
    }
  }
  CopyFits(*chosen, file, size);
  CopyFits(name, fileTitle, size);
  return 1;
}
