#include "fuzz/seed_sources.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fuzz {

std::vector<std::string> SeedFiles(const std::string& sourceRoot, const std::string& target) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::ifstream list(sourceRoot + "/fuzz/seed_sources.txt");
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    std::string name, folder, ending;
    if (!(fields >> name >> folder >> ending) || name[0] == '#' || name != target) continue;
    std::error_code error;
    const fs::path root = fs::path(sourceRoot) / folder;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
      if (!it->is_regular_file(error)) continue;
      const std::string file = it->path().filename().string();
      const bool matches = ending == "*" || (file.size() >= ending.size() &&
                                             file.compare(file.size() - ending.size(),
                                                          ending.size(), ending) == 0);
      if (matches) files.push_back(it->path().string());
    }
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

}  // namespace fuzz
