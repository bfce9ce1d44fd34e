#include "platform/qt/window_message.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <vector>

#include "platform/qt/dialog_units.h"

namespace {

class Recorder : public QObject {
 public:
  struct Message {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  std::vector<Message> received;

 protected:
  void customEvent(QEvent* event) override {
    if (event->type() != platform::WindowMessageEvent::EventType()) return;
    auto* m = static_cast<platform::WindowMessageEvent*>(event);
    received.push_back({m->message(), m->wParam(), m->lParam()});
  }
};

TEST(WindowMessageTest, PostedMessagesArriveLaterInOrderWithTheirParameters) {
  Recorder parent;
  platform::PostWindowMessage(&parent, platform::kWmUser + 0x190, 3, 41);
  platform::PostWindowMessage(&parent, platform::kWmUser + 0x191, 0, -1);
  platform::PostWindowMessage(nullptr, 1, 2, 3);  // no receiver: dropped
  EXPECT_TRUE(parent.received.empty());  // posted, not sent
  QCoreApplication::sendPostedEvents(&parent);
  ASSERT_EQ(parent.received.size(), 2u);
  EXPECT_EQ(parent.received[0].message, 0x590u);
  EXPECT_EQ(parent.received[0].wParam, 3u);
  EXPECT_EQ(parent.received[0].lParam, 41);
  EXPECT_EQ(parent.received[1].lParam, -1);
}

TEST(DialogUnitsTest, QuarterCharacterAcrossAndEighthCharacterDown) {
  const platform::DialogBaseUnits units{7.0, 16.0};
  EXPECT_EQ(platform::DialogUnitsToPixels(4, 8, 40, 12, units), QRect(7, 16, 70, 24));
  EXPECT_EQ(platform::DialogUnitsToPixels(0, 0, 0, 0, units), QRect(0, 0, 0, 0));
  const platform::DialogBaseUnits current = platform::CurrentDialogBaseUnits();
  EXPECT_GT(current.charWidth, 0);
  EXPECT_GT(current.charHeight, 0);
}

}  // namespace
