// TSkinBox: panels, group boxes, radio groups and tool bars take the skin's button face and
// otherwise keep their own drawing.
#pragma once

#include "skin/skin_control.h"

namespace kelpo::skin {

class TSkinBox : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;

 protected:
  bool wantsAfter(int) const override { return false; }
};

}  // namespace kelpo::skin
