#include "analysis/clicks_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/clicks_read_report.h"
#include "analysis/clicks_reader.h"
#include "analysis/record_store.h"
#include "app/params/app_params.h"
#include "ulib/messages.h"
#include "ulib/parallel_chunks.h"

namespace {

using FolderId = std::pair<dev_t, ino_t>;

bool EndsWith(const char* name, const char* tail) {
  size_t n = std::strlen(name), t = std::strlen(tail);
  return n >= t && std::memcmp(name + n - t, tail, t) == 0;
}

struct Listed {
  std::string name;
  unsigned char type;  // d_type: DT_REG, DT_DIR, DT_LNK, ..., DT_UNKNOWN
};

// The entries of a folder but those beginning with '.', in byte order; false when it cannot be
// listed.
bool ListFolder(const std::string& dir, std::vector<Listed>* names) {
  DIR* listing = opendir(dir.c_str());
  if (!listing) return false;
  while (const dirent* entry = readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    names->push_back(Listed{entry->d_name, entry->d_type});
  }
  closedir(listing);
  // std::string compares as unsigned bytes
  std::sort(names->begin(), names->end(),
            [](const Listed& a, const Listed& b) { return a.name < b.name; });
  return true;
}

// One entry of the walk, in walk order; the caption follows every entry.
struct WalkEntry {
  std::string path;   // the clicks file to read, or empty
};

class FolderWalk {
 public:
  explicit FolderWalk(std::vector<WalkEntry>* entries) : entries_(*entries) {}

  // Walks dir unless it was visited already; false when it cannot be listed.
  bool Walk(const std::string& dir) {
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0) return false;
    if (!visited_.insert(FolderId{info.st_dev, info.st_ino}).second) return true;
    std::vector<Listed> names;
    if (!ListFolder(dir, &names)) return false;
    for (const Listed& listed : names) {
      const std::string& name = listed.name;
      std::string path = dir + "/" + name;
      WalkEntry entry;
      if (listed.type == DT_REG) {
        // A plain file (not a link): what stat would say, without asking.
        if (IsClicksFileName(name.c_str())) entry.path = std::move(path);
      } else {
        struct stat target {};
        // stat follows links: a link to a folder is walked, a link to a file is read.
        const bool known = stat(path.c_str(), &target) == 0;
        if (known && S_ISDIR(target.st_mode)) {
          Walk(path);
        } else if ((!known || S_ISREG(target.st_mode)) && IsClicksFileName(name.c_str())) {
          // Pipes and devices are passed over: opening a pipe would wait for a writer, and a
          // device may never end. An entry that cannot be looked at is tried, so that its
          // failure to open is reported.
          entry.path = std::move(path);
        }
      }
      entries_.push_back(std::move(entry));
    }
    return true;
  }

 private:
  std::vector<WalkEntry>& entries_;
  std::set<FolderId> visited_;
};

// Parsed files whose lines the store has taken, kept for the files still to be parsed: their
// room is used again, instead of being freed here while the cores allocate anew.
class SpareParsedFiles {
 public:
  ParsedClicksFile Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (spares_.empty()) return ParsedClicksFile();
    ParsedClicksFile file = std::move(spares_.back());
    spares_.pop_back();
    return file;
  }
  void Give(ParsedClicksFile&& file) {
    std::lock_guard<std::mutex> lock(mutex_);
    spares_.push_back(std::move(file));
  }

 private:
  std::mutex mutex_;
  std::vector<ParsedClicksFile> spares_;
};

// Files parsed by one core at a time: enough to outweigh taking them up, few enough that the
// cores share a small tree too.
constexpr int32_t kFilesPerBatch = 4;

// Reads the files of the walk into the store, in walk order, with the caption after every entry
// as the walk passes them. The files are parsed on the machine's cores while the store takes up
// the files before them, so that records, messages and the scrambling state come in the order
// of one file read after the other.
void ReadWalkedFiles(const std::vector<WalkEntry>& entries) {
  RecordStore& store = theRecordStore();
  std::vector<const std::string*> paths;
  if (!store.stopReading) {
    for (const WalkEntry& entry : entries) {
      if (!entry.path.empty()) paths.push_back(&entry.path);
    }
  }
  std::vector<ParsedClicksFile> parsed(paths.size());
  SpareParsedFiles spares;
  const int32_t tz = AP.tz;
  ParallelBatches parse(static_cast<int32_t>(paths.size()), kFilesPerBatch,
                        [&paths, &parsed, &spares, tz](int32_t begin, int32_t end) {
                          for (int32_t i = begin; i < end; ++i) {
                            ParsedClicksFile file = spares.Take();
                            ParseClicksFile(paths[i]->c_str(), tz, &file);
                            parsed[i] = std::move(file);
                          }
                        });
  int32_t next = 0;
  for (const WalkEntry& entry : entries) {
    if (!entry.path.empty() && !store.stopReading) {
      const int32_t i = next++;
      parse.WaitFor(i);
      AddParsedClicksFile(entry.path.c_str(), parsed[i]);
      spares.Give(std::move(parsed[i]));
      // Once the store is full, no further file is read.
      if (store.stopReading) parse.Stop();
    }
    SetMainCaptionF("NortavelV4 -- %d records", store.recordCount);
  }
}

}  // namespace

bool IsClicksFileName(const char* name) {
  return EndsWith(name, "clicks.csv") || EndsWith(name, "clicksb.csv");
}

int ScanClicksDir(const char* dir) {
  ClicksReadReport report;
  std::vector<WalkEntry> entries;
  const bool listed = FolderWalk(&entries).Walk(dir);
  ReadWalkedFiles(entries);
  return listed ? 0 : -1;
}
