// TSkinHeader: a list view's column header drawn from the skin's header image, each section
// with its text, and the empty area after the last one.
#pragma once

#include "skin/skin_control.h"

namespace kelpo::skin {

class TSkinHeader : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;
  ~TSkinHeader() override;
  void attachToControl(QWidget* control, TSkinData* data, bool colour) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void drawSections(QWidget* viewport);
};

}  // namespace kelpo::skin
