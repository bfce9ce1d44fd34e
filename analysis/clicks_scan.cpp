#include "analysis/clicks_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/clicks_read_report.h"
#include "analysis/clicks_reader.h"
#include "analysis/record_store.h"
#include "analysis/text_lines.h"
#include "params/app_params.h"
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
  std::string path;  // the clicks file to read, or empty
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

// A file is parsed in parts of about this many bytes, so that the cores share a large one too
// (a merged clicks file of a whole store is some 80 MB).
constexpr long long kPartBytes = 256 * 1024;
// Bytes parsed by one core at a time, in whole parts: enough to outweigh taking them up and
// starting the threads (a tree this small is parsed where it is read), few enough that the cores
// share a large tree evenly.
constexpr long long kBatchBytes = 256 * 1024;
// Files whose sizes one core looks up.
constexpr int32_t kSizesPerCore = 512;

struct FilePart {
  int32_t file;
  long long from, to;  // the lines beginning at these byte offsets; to < 0: up to the end
};

// The parts of every file, by the file's size now (a file that grows meanwhile is read to its
// end by its last part); partsBegin[i] is file i's first part. *bytes gets the files' sizes
// added up.
std::vector<FilePart> CutIntoParts(const std::vector<const std::string*>& paths,
                                   std::vector<int32_t>* partsBegin, long long* bytes) {
  const int32_t count = static_cast<int32_t>(paths.size());
  std::vector<long long> sizes(paths.size(), 0);
  RunInBatches(count, BatchPerCore(count, kSizesPerCore), [&paths, &sizes](const Batch& batch) {
    for (int32_t i = batch.begin; i < batch.end; ++i) {
      struct stat info {};
      if (stat(paths[i]->c_str(), &info) == 0) sizes[i] = info.st_size;
    }
  });
  std::vector<FilePart> parts;
  parts.reserve(paths.size());
  partsBegin->assign(paths.size() + 1, 0);
  *bytes = 0;
  for (int32_t i = 0; i < count; ++i) {
    (*partsBegin)[i] = static_cast<int32_t>(parts.size());
    *bytes += sizes[i];
    const long long n = std::max(1LL, (sizes[i] + kPartBytes - 1) / kPartBytes);
    for (long long k = 0; k < n; ++k) {
      parts.push_back(FilePart{i, k * kPartBytes, k + 1 < n ? (k + 1) * kPartBytes : -1});
    }
  }
  (*partsBegin)[count] = static_cast<int32_t>(parts.size());
  return parts;
}

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
  std::vector<int32_t> partsBegin;
  long long bytes = 0;
  const std::vector<FilePart> parts = CutIntoParts(paths, &partsBegin, &bytes);
  const auto partCount = static_cast<long long>(parts.size());
  const auto partsPerBatch = static_cast<int32_t>(
      std::clamp(partCount * kBatchBytes / std::max(bytes, 1LL), 1LL, std::max(partCount, 1LL)));
  std::vector<ParsedClicksFile> parsed(parts.size());
  SpareParsedFiles spares;
  // What the workers read of the settings, taken before they start.
  const int32_t tz = AP.tz;
  // Each worker reads through a room of its own, kept from file to file.
  std::array<TextLines::Room, kMaxParallelParts> rooms;
  ParallelBatches parse(static_cast<int32_t>(parts.size()), partsPerBatch,
                        [&](const Batch& batch) {
                          TextLines::Room* room = &rooms[static_cast<std::size_t>(batch.worker)];
                          for (int32_t j = batch.begin; j < batch.end; ++j) {
                            const FilePart& part = parts[j];
                            ParsedClicksFile file = spares.Take();
                            ParseClicksFile(paths[part.file]->c_str(), tz, room, &file,
                                            part.from, part.to);
                            parsed[j] = std::move(file);
                          }
                        });
  int32_t next = 0;
  for (const WalkEntry& entry : entries) {
    if (!entry.path.empty() && !store.stopReading) {
      const int32_t i = next++;
      int32_t linesBefore = 0;
      for (int32_t j = partsBegin[i]; j < partsBegin[i + 1]; ++j) {
        // Only a full store stops the parse, and then no part is waited for again.
        if (!parse.WaitFor(j)) break;
        const bool goesOn =
            AddParsedClicksFile(entry.path.c_str(), parsed[j], j == partsBegin[i], linesBefore);
        linesBefore += parsed[j].lineCount;
        spares.Give(std::move(parsed[j]));
        if (!goesOn) break;
      }
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
