#include <gtest/gtest.h>

#include <QApplication>

#include "platform/c_locale.h"
#include "platform/qt/program_font.h"
#include "platform/scripted_platform.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::UseCNumericLocale();
  // Windows are tested in the font the program shows them in.
  platform::UseProgramFont();
  platform::ScopedScriptedPlatform::SetDefaultMissingAnswerHandler(
      [](const std::string& what) { ADD_FAILURE() << "no scripted answer for " << what; });
  return RUN_ALL_TESTS();
}
