#include "common/temp_folder.h"
#include "support/exceptions.h"
#include "support/log.h"
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

// The user reads the message; the log keeps the call traces that tell where it
// was made.
TEST_F(MessageBoxes, ShowTheMessageAndLogTheTraces) {
  TTempFolder folder;
  OpenLog(folder.File("main.log"));
  struct TCase {
    std::string Text, Shown;
  } cases[] = {
      {"Exception during song loading: [0000ABCD->0001F00D] CTL2: Can't load control file: "
       "/s.ctl, exception: [00014F7A->00000010->0000BEEF] std::bad_alloc",
       "Exception during song loading: CTL2: Can't load control file: /s.ctl, exception: Not "
       "enough memory"},
      {EWarning("It broke").what(), "It broke"},
      {"[00007F0012345678] at the start", "at the start"},
      // Only the traces' own form is taken out.
      {"[1234] [0000abcd] x [0000ABCD]y [0000ABCD->] z [] w",
       "[1234] [0000abcd] x [0000ABCD]y [0000ABCD->] z [] w"},
  };
  for (const TCase& c : cases)
    ErrorBox(c.Text);
  AskYesNo("Keep [0000ABCD] this?", "Confirm");
  LogState.LogFileName.clear();
  ASSERT_EQ(Shown.size(), std::size(cases) + 1);
  const std::string log = folder.Read("main.log");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Shown[i].Text, cases[i].Shown);
    EXPECT_NE(log.find("Error: " + cases[i].Text + "\r\n"), std::string::npos) << cases[i].Text;
  }
  EXPECT_EQ(Shown.back().Text, "Keep this?");
  EXPECT_NE(log.find("Confirm: Keep [0000ABCD] this?\r\n"), std::string::npos);
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
