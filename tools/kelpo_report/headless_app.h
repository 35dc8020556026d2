// The drawing commands' working set: a GUI application that needs no screen (offscreen unless
// a platform is chosen) with the program's font substitutions, so text is measured and drawn as
// in the program.
#pragma once

#include <QGuiApplication>

namespace kelpo::tools {

class HeadlessApplication {
 public:
  HeadlessApplication();

 private:
  struct OffscreenUnlessSet {
    OffscreenUnlessSet();
  } platform_;
  int argc_ = 1;
  char name_[13] = "kelpo-report";
  char* argv_[2] = {name_, nullptr};
  QGuiApplication app_;
};

}  // namespace kelpo::tools
