#include "support/message_boxes.h"

#include <gtest/gtest.h>

using namespace MyServis;

namespace {

struct TShown {
  std::string Text, Caption;
  TMessageStyle Style;
};

class MessageBoxes : public testing::Test {
protected:
  void SetUp() override {
    SetMessageBoxHook(
        [this](const std::string& text, const std::string& caption, TMessageStyle style) {
          Shown.push_back({text, caption, style});
          return Answer;
        });
  }
  void TearDown() override { SetMessageBoxHook(nullptr); }
  std::vector<TShown> Shown;
  TMessageResult Answer = TMessageResult::mrYes;
};

TEST_F(MessageBoxes, ErrorBoxAndQuestionGoThroughTheHook) {
  ErrorBox("It broke");
  EXPECT_TRUE(AskYesNo("Really?", "Confirm"));
  Answer = TMessageResult::mrNo;
  EXPECT_FALSE(AskYesNo("Really?", "Confirm"));
  ASSERT_EQ(Shown.size(), 3u);
  EXPECT_EQ(Shown[0].Caption, "Error");
  EXPECT_EQ(Shown[0].Style.Icon, TMessageIcon::miError);
  EXPECT_EQ(Shown[0].Style.Buttons, TMessageButtons::mbOK);
  EXPECT_EQ(Shown[1].Style.Icon, TMessageIcon::miQuestion);
  EXPECT_EQ(Shown[1].Style.Buttons, TMessageButtons::mbYesNo);
}

TEST(DefaultMessageBoxes, WriteToStandardErrorAndAnswerNo) {
  testing::internal::CaptureStderr();
  ErrorBox("It broke");
  bool yes = AskYesNo("Overwrite?", "Confirm");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(yes);
  EXPECT_EQ(err, "Error: It broke\nConfirm: Overwrite?\n");
}

} // namespace
