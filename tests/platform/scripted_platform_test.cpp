#include "platform/scripted_platform.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using platform::ScriptedPlatform;

TEST(ScriptedPlatformTest, AnswersQuestionsAndChoosersInOrderAndRecordsThem) {
  platform::ScopedScriptedPlatform scripted;
  scripted->AnswerOk();
  scripted->AnswerPath("/tmp/a.csv");
  scripted->AnswerCancel();

  platform::Platform& p = platform::Current();
  EXPECT_TRUE(p.AskOkCancel(nullptr, "sure?", "NortavelV4"));
  platform::FileRequest request;
  request.title = "save";
  request.save = true;
  EXPECT_EQ(p.ChooseFile(request), std::optional<std::string>("/tmp/a.csv"));
  EXPECT_EQ(p.ChooseFolder({nullptr, "folder", "/tmp"}), std::nullopt);

  ASSERT_EQ(scripted->Calls().size(), 3u);
  EXPECT_EQ(scripted->Calls()[0].text, "sure?");
  EXPECT_EQ(scripted->Calls()[1].caption, "save");
  EXPECT_EQ(scripted->Calls()[2].text, "/tmp");
  EXPECT_EQ(scripted->PendingAnswers(), 0u);
}

TEST(ScriptedPlatformTest, AMissingAnswerFailsTheTestAndCancels) {
  platform::ScopedScriptedPlatform scripted;
  bool answer = true;
  EXPECT_NONFATAL_FAILURE(answer = platform::Current().AskOkCancel(nullptr, "q", "c"),
                          "no scripted answer");
  EXPECT_FALSE(answer);
}

TEST(ScriptedPlatformTest, WaitCursorIsBalanced) {
  platform::ScopedScriptedPlatform scripted;
  {
    platform::WaitCursor wait;
    EXPECT_EQ(scripted->waitDepth, 1);
  }
  EXPECT_EQ(scripted->waitDepth, 0);
  EXPECT_EQ(scripted->waitCursorsShown, 1);
}

}  // namespace
