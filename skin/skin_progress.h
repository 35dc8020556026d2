// TSkinProgress: a progress bar drawn from the skin's two-frame progress image (track, filled
// part) or, with Style 1, from its chunk image.
#pragma once

#include "skin/skin_control.h"

namespace kelpo::skin {

class TSkinProgress : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;
  // The filled length along the bar: position × length ÷ the range's upper limit.
  static int filledLength(int position, int maximum, int length);

 protected:
  bool beforeMessage(QEvent* event) override;
  void draw(QPainter& p, const QRect& rect) override;
};

}  // namespace kelpo::skin
