// TSkinEdit: one-line edits and spin edits keep their own drawing inside a skin border; a spin
// edit's arrows are drawn as the skin's up-down.
#pragma once

#include "skin/skin_updown.h"

namespace kelpo::skin {

class TSkinEdit : public TSkinUpDown {
  Q_OBJECT
 public:
  using TSkinUpDown::TSkinUpDown;
  // Whether the control has a border the skin redraws.
  bool hasBorder() const;
  // Whether the control carries up-down arrows (a spin edit).
  bool hasUpDown() const;

 protected:
  bool beforeMessage(QEvent* event) override;
  void afterMessage(QEvent* event) override;
};

}  // namespace kelpo::skin
