#include "groundmap/ui/header_fit.h"

#include <algorithm>

GmapHeaderFit FitGmapHeader(int pageWidth, int keptRight, int saveRight, int nameWidth) {
  GmapHeaderFit fit;
  fit.shift = std::clamp(keptRight - pageWidth, 0, std::max(0, nameWidth / 2));
  fit.saveWrapped = saveRight - fit.shift > pageWidth;
  return fit;
}
