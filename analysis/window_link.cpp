#include "analysis/window_link.h"

namespace analysis {
namespace {

WindowLink quiet;
WindowLink* installed = nullptr;

}  // namespace

WindowLink& Windows() { return installed ? *installed : quiet; }

WindowLink* InstallWindowLink(WindowLink* link) {
  WindowLink* previous = installed;
  installed = link;
  return previous;
}

}  // namespace analysis
