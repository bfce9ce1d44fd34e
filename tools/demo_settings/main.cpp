// demo_settings: writes the settings file that points a start-up folder at an input and an output
// folder, so that the program (which takes no options) opens on them.
//
//   demo_settings <start-up folder> <input folder> <output folder>
//
// The file holds "VERSION" 400, "AP.indir" and "AP.outdir", the folders made absolute, and a
// main window of 1400 x 900 pixels, large enough to show the map page's controls and a long pair
// list at once (the program's first-run window is 820 x 570); every other setting keeps the
// program's default.

#include <cstdio>
#include <filesystem>
#include <string>

#include "params/app_params.h"
#include "ulib/settings_store.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
  std::fputs("usage: demo_settings <start-up folder> <input folder> <output folder>\n", stderr);
  return 2;
}

// The folder as an absolute path; empty, after saying why, when it is no folder or too long.
std::string AbsoluteFolder(const char* folder) {
  std::error_code error;
  const fs::path path = fs::absolute(folder, error).lexically_normal();
  if (error || !fs::is_directory(path, error)) {
    std::fprintf(stderr, "demo_settings: not a folder: %s\n", folder);
    return std::string();
  }
  std::string text = path.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  if (text.size() >= static_cast<std::size_t>(kDirChars)) {
    std::fprintf(stderr, "demo_settings: folder too long (over %d characters): %s\n",
                 kDirChars - 1, folder);
    return std::string();
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  const std::string start = AbsoluteFolder(argv[1]);
  const std::string input = AbsoluteFolder(argv[2]);
  const std::string output = AbsoluteFolder(argv[3]);
  if (start.empty() || input.empty() || output.empty()) return 1;

  theAppUty.BeginWrite();
  theAppUty.WriteInt("VERSION", kSettingsVersion);
  theAppUty.WriteInt("AP.dlgrect.top", 10);
  theAppUty.WriteInt("AP.dlgrect.left", 20);
  theAppUty.WriteInt("AP.dlgrect.bottom", 910);
  theAppUty.WriteInt("AP.dlgrect.right", 1420);
  theAppUty.WriteString("AP.indir", input.c_str());
  theAppUty.WriteString("AP.outdir", output.c_str());
  // The store says why when it cannot write the file.
  return theAppUty.Save(start.c_str(), kSettingsFileName) == 1 ? 0 : 1;
}
