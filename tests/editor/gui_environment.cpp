// Fonts and text need a QGuiApplication; the tests draw off screen.
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TGuiEnvironment : public testing::Environment {
public:
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

private:
  int argc_ = 1;
  char name_[13] = "editor_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] testing::Environment* const Gui =
    testing::AddGlobalTestEnvironment(new TGuiEnvironment);

} // namespace
