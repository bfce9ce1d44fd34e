#include "groundmap/ui/header_fit.h"

#include <gtest/gtest.h>

namespace {

TEST(GmapHeaderFitTest, ControlsMoveLeftAsFarAsTheNameBoxAllowsAndSaveWrapsWhenCutOff) {
  struct Case {
    const char* what;
    int page, kept, save, name;
    int shift;
    bool wrapped;
  };
  const Case cases[] = {
      {"wide page: every control at its own place", 500, 329, 418, 119, 0, false},
      {"page just wide enough for save", 418, 329, 418, 119, 0, false},
      {"save one pixel past the edge", 417, 329, 418, 119, 0, true},
      {"pan arrows just inside", 329, 329, 418, 119, 0, true},
      {"least window: pan arrows moved inside", 310, 329, 418, 119, 19, true},
      {"the box gives up at most half its width", 200, 329, 418, 119, 59, true},
      {"an odd box keeps the larger half", 200, 329, 418, 7, 3, true},
      {"no box to narrow", 200, 329, 418, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GmapHeaderFit fit = FitGmapHeader(c.page, c.kept, c.save, c.name);
    EXPECT_EQ(fit.shift, c.shift);
    EXPECT_EQ(fit.saveWrapped, c.wrapped);
  }
}

}  // namespace
