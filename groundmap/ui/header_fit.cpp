#include "groundmap/ui/header_fit.h"

#include <algorithm>

GmapHeaderFit FitGmapHeader(int pageWidth, int keptRight, int saveRight, int nameWidth,
                            int secondRowGap) {
  GmapHeaderFit fit;
  const int most = std::max(0, std::min(nameWidth / 2, secondRowGap));
  fit.shift = std::clamp(keptRight - pageWidth, 0, most);
  fit.saveWrapped = saveRight - fit.shift > pageWidth;
  return fit;
}
