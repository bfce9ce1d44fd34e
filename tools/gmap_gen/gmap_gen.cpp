// gmap_gen: makes a ground-map file from the GSHHG shorelines.
//
// Every map pixel is taken back to longitude and latitude through the program's own inverse
// projection and looked up in a land mask that GMT computes from the shorelines (Debian packages
// gmt and gmt-gshhg, plus gmt-gshhg-full for the full resolution): land (islands in lakes
// included) becomes one mid level, sea, lakes and ponds become sea.
//
//   gmap_gen OUT.DAT [--centre LON LAT] [--half-fov DEG] [--size CX CY] [--level N]
//                    [--resolution f|h|i|l|c] [--step DEG]
//
// The defaults make the shipped map data/GMe136n34_16.DAT: centre 136 E 34 N, half field of
// view 16 degrees, 3200 x 2400 pixels, land level 12, full resolution, a mask grid of 0.004
// degree (about 2.5 nodes per map pixel). Level 12 is grey 180 on the page against the sea's
// 120, land that one tells from sea at a glance while white and yellow labels on it stay
// readable; the level 8 of earlier maps was 140, hard to tell from the sea.
//
// The shipped map comes out byte for byte, with Debian 12's gmt 6.4.0 and gmt-gshhg-full 2.3.7
// (apt-get install gmt gmt-gshhg-full), from the source folder:
//
//   build/tools/gmap_gen/gmap_gen data/GMe136n34_16.DAT

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "groundmap/map_file_encoder.h"
#include "groundmap/map_file_format.h"
#include "groundmap/map_projection.h"
#include "platform/c_locale.h"

namespace {

struct Options {
  std::string output;
  double centreLon = 136.0;
  double centreLat = 34.0;
  double halfFov = 16.0;
  int cx = groundmap::kMaxMapWidth;
  int cy = groundmap::kMaxMapHeight;
  int landLevel = 12;
  std::string resolution = "f";
  double step = 0.004;
};

struct Region {
  double west = 1e300, east = -1e300, south = 1e300, north = -1e300;
};

// The mask as GMT wrote it: rows from north to south, columns from west to east, gridline
// registered, one signed byte per node (1 land, 0 water).
struct LandMask {
  double west = 0, north = 0, dx = 0, dy = 0;
  long nx = 0, ny = 0;
  std::vector<signed char> nodes;

  bool IsLand(double lon, double lat) const {
    const long i = std::lround((lon - west) / dx);
    const long j = std::lround((north - lat) / dy);
    if (i < 0 || i >= nx || j < 0 || j >= ny) return false;
    return nodes[static_cast<std::size_t>(j * nx + i)] > 0;
  }
};

[[noreturn]] void Fail(const std::string& text) {
  std::fprintf(stderr, "gmap_gen: %s\n", text.c_str());
  std::exit(1);
}

double ParseNumber(const char* text) {
  char* end = nullptr;
  const double value = platform::ParseDoubleC(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(value)) {
    Fail(std::string("not a number: ") + text);
  }
  return value;
}

// A whole number within lo .. hi, checked before it becomes an int.
int ParseWhole(const char* text, const char* what, int lo, int hi) {
  const double value = ParseNumber(text);
  if (!(value >= lo && value <= hi) || value != std::trunc(value)) {
    Fail(platform::StringPrintfC("%s must be a whole number within %d..%d", what, lo, hi));
  }
  return static_cast<int>(value);
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto need = [&](int count) {
      if (i + count >= argc) Fail(arg + " needs " + std::to_string(count) + " value(s)");
    };
    if (arg == "--centre") {
      need(2);
      options.centreLon = ParseNumber(argv[++i]);
      options.centreLat = ParseNumber(argv[++i]);
    } else if (arg == "--half-fov") {
      need(1);
      options.halfFov = ParseNumber(argv[++i]);
    } else if (arg == "--size") {
      need(2);
      options.cx = ParseWhole(argv[++i], "--size width", 2, groundmap::kMaxMapWidth);
      options.cy = ParseWhole(argv[++i], "--size height", 1, groundmap::kMaxMapHeight);
    } else if (arg == "--level") {
      need(1);
      options.landLevel = ParseWhole(argv[++i], "--level", 1, 15);
    } else if (arg == "--resolution") {
      need(1);
      options.resolution = argv[++i];
    } else if (arg == "--step") {
      need(1);
      options.step = ParseNumber(argv[++i]);
    } else if (!arg.empty() && arg[0] != '-' && options.output.empty()) {
      options.output = arg;
    } else {
      Fail("unknown argument " + arg);
    }
  }
  if (options.output.empty()) Fail("usage: gmap_gen OUT.DAT [options]");
  if (!(options.halfFov > 0.0 && options.halfFov < 90.0)) Fail("--half-fov must be in (0, 90)");
  // The loader refuses a centre beyond a pole.
  if (!(std::fabs(options.centreLat) <= 90.0)) Fail("--centre latitude must be within -90..90");
  if (!(options.step > 0.0)) Fail("--step must be positive");
  if (options.resolution.size() != 1 || std::strchr("fhilc", options.resolution[0]) == nullptr) {
    Fail("--resolution must be one of f, h, i, l, c");
  }
  return options;
}

// The longitudes and latitudes that the map's pixels cover, widened by two mask steps.
Region CoveredRegion(const Options& options) {
  Region region;
  for (int y = 0; y < options.cy; ++y) {
    for (int x = 0; x < options.cx; ++x) {
      double lon, lat;
      groundmap::GmapPixelToLonLat(x, y, &lon, &lat);
      region.west = std::min(region.west, lon);
      region.east = std::max(region.east, lon);
      region.south = std::min(region.south, lat);
      region.north = std::max(region.north, lat);
    }
  }
  // On whole steps, as GMT wants the region to be.
  const double step = options.step;
  region.west = (std::floor(region.west / step) - 2.0) * step;
  region.east = (std::ceil(region.east / step) + 2.0) * step;
  region.south = std::max(-90.0, (std::floor(region.south / step) - 2.0) * step);
  region.north = std::min(90.0, (std::ceil(region.north / step) + 2.0) * step);
  return region;
}

// GMT leaves a history file in its working folder: run it in the scratch folder, which goes.
std::string InFolder(const std::string& folder, const std::string& command) {
  return "cd '" + folder + "' && " + command;
}

void Run(const std::string& command) {
  std::fprintf(stderr, "gmap_gen: %s\n", command.c_str());
  if (std::system(command.c_str()) != 0) Fail("command failed: " + command);
}

std::string ReadCommandOutput(const std::string& command) {
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) Fail("cannot run " + command);
  std::string output;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  if (pclose(pipe) != 0) Fail("command failed: " + command);
  return output;
}

LandMask MakeLandMask(const Options& options, const Region& region, const std::string& folder) {
  const std::string grid = folder + "/mask.nc";
  const std::string raw = folder + "/mask.bin";
  // Ocean 0, land 1, lake 0, island in a lake 1, pond on such an island 0.
  Run(InFolder(folder, platform::StringPrintfC(
                           "gmt grdlandmask -R%.6f/%.6f/%.6f/%.6f -I%.6f -D%s -N0/1/0/1/0 -G%s",
                           region.west, region.east, region.south, region.north, options.step,
                           options.resolution.c_str(), grid.c_str())));
  Run(InFolder(folder, "gmt grd2xyz " + grid + " -ZTLc > " + raw));

  // name, west, east, south, north, zmin, zmax, dx, dy, nx, ny (GMT may round the region).
  const std::string info = ReadCommandOutput(InFolder(folder, "gmt grdinfo -C " + grid));
  const std::size_t tab = info.find('\t');
  if (tab == std::string::npos) Fail("unexpected grdinfo output: " + info);
  std::vector<double> fields;
  const char* p = info.c_str() + tab;
  while (*p != '\0' && *p != '\n') {
    char* end = nullptr;
    const double value = platform::ParseDoubleC(p, &end);
    if (end == p) break;
    fields.push_back(value);
    p = end;
  }
  if (fields.size() < 10) Fail("unexpected grdinfo output: " + info);
  LandMask mask;
  mask.west = fields[0];
  mask.north = fields[3];
  mask.dx = fields[6];
  mask.dy = fields[7];
  mask.nx = std::lround(fields[8]);
  mask.ny = std::lround(fields[9]);

  std::FILE* file = std::fopen(raw.c_str(), "rb");
  if (file == nullptr) Fail("cannot read " + raw);
  mask.nodes.resize(static_cast<std::size_t>(mask.nx * mask.ny));
  const std::size_t read = std::fread(mask.nodes.data(), 1, mask.nodes.size(), file);
  std::fclose(file);
  if (read != mask.nodes.size()) Fail("the mask holds fewer nodes than grdinfo says");
  return mask;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  // The map's geometry exactly as the loader will give it: the header's 1/10000 degree.
  const groundmap::MapHeaderFields header = groundmap::MakeMapHeader(
      options.cx, options.cy, options.centreLon, options.centreLat, options.halfFov);
  const double units = groundmap::kMapDegreeUnits;
  groundmap::SetMapGeometry(options.cx, options.cy, header.values[2] / units,
                            header.values[3] / units, header.values[4] / units, nullptr);

  char folderTemplate[] = "/tmp/gmap_gen.XXXXXX";
  if (mkdtemp(folderTemplate) == nullptr) Fail("cannot make a temporary folder");
  const std::string folder = folderTemplate;

  const Region region = CoveredRegion(options);
  const LandMask mask = MakeLandMask(options, region, folder);
  std::filesystem::remove_all(folder);

  std::vector<std::uint8_t> raster(static_cast<std::size_t>(options.cx) * options.cy);
  std::size_t land = 0;
  for (int y = 0; y < options.cy; ++y) {
    for (int x = 0; x < options.cx; ++x) {
      double lon, lat;
      groundmap::GmapPixelToLonLat(x, y, &lon, &lat);
      if (mask.IsLand(lon, lat)) {
        raster[static_cast<std::size_t>(y) * options.cx + x] =
            static_cast<std::uint8_t>(options.landLevel);
        ++land;
      }
    }
  }

  std::string bytes, error;
  if (!groundmap::EncodeGroundMap(header, raster.data(), &bytes, &error)) Fail(error);
  if (!groundmap::WriteMapFile(options.output.c_str(), bytes, &error)) Fail(error);
  std::fprintf(stderr, "gmap_gen: wrote %s: %d x %d pixels, %.1f%% land, %zu bytes\n",
               options.output.c_str(), options.cx, options.cy,
               100.0 * static_cast<double>(land) / static_cast<double>(raster.size()),
               bytes.size());
  return 0;
}
