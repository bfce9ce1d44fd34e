#include "analysis/clicks_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/clicks_read_report.h"
#include "analysis/clicks_reader.h"
#include "analysis/record_store.h"
#include "ulib/messages.h"

namespace {

using FolderId = std::pair<dev_t, ino_t>;

bool EndsWith(const char* name, const char* tail) {
  size_t n = std::strlen(name), t = std::strlen(tail);
  return n >= t && std::memcmp(name + n - t, tail, t) == 0;
}

// The entries of a folder but those beginning with '.', in byte order; false when it cannot be
// listed.
bool ListFolder(const std::string& dir, std::vector<std::string>* names) {
  DIR* listing = opendir(dir.c_str());
  if (!listing) return false;
  while (const dirent* entry = readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    names->emplace_back(entry->d_name);
  }
  closedir(listing);
  std::sort(names->begin(), names->end());  // std::string compares as unsigned bytes
  return true;
}

class FolderWalk {
 public:
  // Walks dir unless it was visited already; false when it cannot be listed.
  bool Walk(const std::string& dir) {
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0) return false;
    if (!visited_.insert(FolderId{info.st_dev, info.st_ino}).second) return true;
    std::vector<std::string> names;
    if (!ListFolder(dir, &names)) return false;
    for (const std::string& name : names) {
      std::string path = dir + "/" + name;
      struct stat entry {};
      // stat follows links: a link to a folder is walked, a link to a file is read.
      const bool known = stat(path.c_str(), &entry) == 0;
      if (known && S_ISDIR(entry.st_mode)) {
        Walk(path);
      } else if ((!known || S_ISREG(entry.st_mode)) && IsClicksFileName(name.c_str())) {
        // Pipes and devices are passed over: opening a pipe would wait for a writer, and a
        // device may never end. An entry that cannot be looked at is tried, so that its
        // failure to open is reported.
        ReadClicksCsv(path.c_str());
      }
      SetMainCaptionF("NortavelV4 -- %d records", theRecordStore().recordCount);
    }
    return true;
  }

 private:
  std::set<FolderId> visited_;
};

}  // namespace

bool IsClicksFileName(const char* name) {
  return EndsWith(name, "clicks.csv") || EndsWith(name, "clicksb.csv");
}

int ScanClicksDir(const char* dir) {
  ClicksReadReport report;
  FolderWalk walk;
  return walk.Walk(dir) ? 0 : -1;
}
