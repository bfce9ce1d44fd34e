#include "ulib/choosers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"
#include "ulib/messages.h"

namespace {

using Kind = platform::ScriptedPlatform::CallKind;

constexpr char kCsvFilter[] = "CSV(*.csv)\0*.csv\0All(*.*)\0*.*\0";

TEST(ChooseFileTest, ModeExistenceAndAnswerGiveTheResult) {
  enum class Answer { kCancelChooser, kChooseThenOk, kChooseThenCancel };
  struct Case {
    char mode;
    bool exists;
    Answer answer;
    int result;
    bool asked;
  };
  const Case cases[] = {
      {'r', false, Answer::kCancelChooser, 0, false},
      {'r', true, Answer::kChooseThenOk, 1, false},  // reading never asks
      {'w', false, Answer::kChooseThenOk, 1, false},
      {'w', true, Answer::kChooseThenOk, 1, true},
      {'w', true, Answer::kChooseThenCancel, 0, true},
      {'w', false, Answer::kCancelChooser, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << " exists=" << c.exists
                                    << " answer=" << static_cast<int>(c.answer));
    nv4test::TempDir dir;
    const std::string chosen = dir.File("out.csv");
    if (c.exists) nv4test::WriteFileBytes(chosen, "old");
    platform::ScopedScriptedPlatform scripted;
    if (c.answer == Answer::kCancelChooser) {
      scripted->AnswerCancel();
    } else {
      scripted->AnswerPath(chosen);
      if (c.exists && c.mode == 'w') {
        if (c.answer == Answer::kChooseThenOk) scripted->AnswerOk();
        else scripted->AnswerCancel();
      }
    }
    char file[1024] = "NV4_x.csv";
    char title[1024] = "";
    EXPECT_EQ(ChooseFile("write results", kCsvFilter, "csv", file, title, 1024, c.mode) != 0,
              c.result != 0);
    auto questions = scripted->CallsOf(Kind::kQuestion);
    EXPECT_EQ(questions.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(questions[0].text, "file already exists overwrite?");
    }
    if (c.result) {
      EXPECT_EQ(std::string(file), chosen);
      EXPECT_STREQ(title, "out.csv");
    }
    EXPECT_EQ(scripted->PendingAnswers(), 0u);
  }
}

TEST(ChooseFileTest, PassesProposedNameFiltersAndModeToTheChooser) {
  platform::ScopedScriptedPlatform scripted;
  int window = 0;
  MainDialog = &window;
  scripted->AnswerCancel();
  char file[1024] = "/home/u/NV4_2024.csv";
  char title[1024] = "";
  EXPECT_EQ(ChooseFile("save", kCsvFilter, "csv", file, title, 1024, 'w'), 0);
  MainDialog = nullptr;
  auto calls = scripted->CallsOf(Kind::kChooseFile);
  ASSERT_EQ(calls.size(), 1u);
  const platform::FileRequest& request = calls[0].file;
  EXPECT_EQ(request.owner, &window);
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.proposed, "/home/u/NV4_2024.csv");
  EXPECT_EQ(request.defaultExtension, "csv");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[0].text, "CSV(*.csv)");
  EXPECT_EQ(request.filters[0].pattern, "*.csv");
  EXPECT_EQ(request.filters[1].pattern, "*.*");
  EXPECT_STREQ(file, "/home/u/NV4_2024.csv");  // cancelled: left as it was
}

TEST(ChooseFileTest, APathLongerThanTheBufferIsRefusedAndNothingIsWritten) {
  platform::ScopedScriptedPlatform scripted;
  const std::string longPath = "/tmp/" + std::string(40, 'a') + ".csv";
  scripted->AnswerPath(longPath);
  char file[32] = "x.csv";
  char title[32] = "";
  EXPECT_EQ(ChooseFile("open", kCsvFilter, "csv", file, title, 32, 'r'), 0);
  EXPECT_STREQ(file, "x.csv");
}

TEST(ChooseFolderTest, CancelAndTooLongLeaveThePathAndAChoiceIsCopied) {
  platform::ScopedScriptedPlatform scripted;
  char path[16] = "/start";
  scripted->AnswerCancel();
  EXPECT_EQ(ChooseFolder("Input", path, sizeof path), 0);
  EXPECT_STREQ(path, "/start");
  EXPECT_EQ(scripted->CallsOf(Kind::kChooseFolder).at(0).folder.initial, "/start");

  scripted->AnswerPath("/a/very/long/folder/name");
  EXPECT_EQ(ChooseFolder("Input", path, sizeof path), 0);
  EXPECT_STREQ(path, "/start");

  scripted->AnswerPath("/data/clicks");
  EXPECT_EQ(ChooseFolder("Input", path, sizeof path), 1);
  EXPECT_STREQ(path, "/data/clicks");
}

}  // namespace
