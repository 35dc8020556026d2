// Every test program of this folder runs with one QApplication (widgets, printers, fonts).
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QApplication::instance()) app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "kelpo-test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
