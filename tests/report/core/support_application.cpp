// Every test program of this folder runs with one GUI application, so memos can measure and
// draw text with the program's font substitutions.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

#include "platform/fonts.h"

namespace {

class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QGuiApplication::instance()) app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    kelpo::registerFontSubstitutions();
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "kelpo-test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
