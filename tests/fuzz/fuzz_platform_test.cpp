// The fuzz platform must turn a fatal error into a finding in both of its modes; one that let
// the process end quietly would make every fuzzing run look clean.

#include "fuzz/fuzz_platform.h"

#include <gtest/gtest.h>

#include "ulib/messages.h"

namespace fuzz {
namespace {

TEST(FuzzPlatform, FatalErrorIsThrownAsAFindingWithItsText) {
  ScopedFuzzPlatform platform(FindingMode::kThrow);
  testing::internal::CaptureStderr();
  ReportError("Lines not read: %d", 2);
  try {
    FatalError("UE0105: invalid length");
    ADD_FAILURE() << "FatalError came back";
  } catch (const RunFinding& finding) {
    EXPECT_STREQ(finding.what(), "fatal exit -9: UE0105: invalid length");
  }
  // Boxes are recorded without a word on standard error.
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(platform->Messages().size(), 2u);
  EXPECT_EQ(platform->Messages()[0].caption, "NortavelV4");
  EXPECT_EQ(platform->Messages()[1].caption, "HalvexV2 Fatal Error");
  EXPECT_EQ(platform->MessageTexts()[1], "UE0105: invalid length");
}

TEST(FuzzPlatform, FatalErrorAbortsUnderTheFuzzer) {
  EXPECT_DEATH(
      {
        ScopedFuzzPlatform platform(FindingMode::kAbort);
        FatalError("UE0103: bp exceeds limit (%s)", "48956 AP.indir");
      },
      "==nv4 finding== fatal exit -9: UE0103: bp exceeds limit \\(48956 AP.indir\\)");
}

TEST(FuzzPlatform, KeepsTheFirstMessagesAndCountsThemAll) {
  ScopedFuzzPlatform platform(FindingMode::kThrow);
  for (int i = 0; i < 100; ++i) ReportError("line %d", i);
  EXPECT_EQ(platform->Messages().size(), FuzzPlatform::kMaxMessages);
  EXPECT_EQ(platform->MessageCount(), 100u);
  EXPECT_EQ(platform->Messages().back().text, "line 63");
}

}  // namespace
}  // namespace fuzz
