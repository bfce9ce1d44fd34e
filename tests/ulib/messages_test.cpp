#include "ulib/messages.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"

namespace {

using Kind = platform::ScriptedPlatform::CallKind;

class MessagesTest : public ::testing::Test {
 protected:
  void TearDown() override { MainDialog = nullptr; }
  platform::ScopedScriptedPlatform scripted;
};

TEST_F(MessagesTest, ReportErrorCutsLongTextsAt1023Characters) {
  const std::string longText(2000, 'x');
  ReportError("%s", longText.c_str());
  auto boxes = scripted->CallsOf(Kind::kMessage);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, std::string(1023, 'x'));
  EXPECT_EQ(boxes[0].caption, "NortavelV4");
  EXPECT_EQ(boxes[0].messageKind, platform::MessageKind::kPlain);
}

TEST_F(MessagesTest, ReportErrorIsUnownedUntilTheMainDialogExists) {
  int window = 0;
  ReportError("before");
  MainDialog = &window;
  ReportError("after %d", 2);
  auto boxes = scripted->CallsOf(Kind::kMessage);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ(boxes[1].owner, &window);
  EXPECT_EQ(boxes[1].text, "after 2");
}

TEST_F(MessagesTest, NumbersAreFormattedTheCWayUnderAGermanLocale) {
  nv4test::ScopedLocale german(nv4test::kGermanLocale);
  ReportError("%.2f km", 1.5);
  EXPECT_EQ(scripted->CallsOf(Kind::kMessage).at(0).text, "1.50 km");
}

TEST_F(MessagesTest, WindowTextsDoNothingWithoutTheirWindow) {
  SetMainCaptionF("NortavelV4 --  %d rec", 3);
  SetDlgItemTextF(nullptr, 1001, "x");
  EXPECT_TRUE(scripted->Calls().empty());

  int window = 0;
  MainDialog = &window;
  SetMainCaptionF("NortavelV4 --  %d rec", 3);
  SetDlgItemTextF(&window, 1001, "%s", "text");
  EXPECT_EQ(scripted->windowTexts[&window], "NortavelV4 --  3 rec");
  EXPECT_EQ((scripted->itemTexts[{&window, 1001}]), "text");
}

TEST(FatalErrorDeathTest, ShowsTheStopBoxAndExitsWithMinusNine) {
  EXPECT_EXIT(
      {
        platform::ScopedScriptedPlatform scripted;
        int window = 0;
        MainDialog = &window;  // a fatal box is never owned
        FatalError("CUTABLE invalid access %d", 7);
      },
      ::testing::ExitedWithCode(247), "\\[HalvexV2 Fatal Error\\] CUTABLE invalid access 7");
}

}  // namespace
