#include <gtest/gtest.h>

#include "platform/scripted_platform.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests fork; "threadsafe" re-runs the binary so nothing of the parent leaks in.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  platform::ScopedScriptedPlatform::SetDefaultMissingAnswerHandler(
      [](const std::string& what) { ADD_FAILURE() << "no scripted answer for " << what; });
  return RUN_ALL_TESTS();
}
