// TSkinComBox: a combo box keeps its text and list, and the skin draws its border ring and
// drop button over them.
#pragma once

#include "skin/skin_control.h"

namespace kelpo::skin {

class TSkinComBox : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;
  // 2 pressed, 4 focused or hot, 1 enabled, 3 disabled.
  int stateFrame() const;
  // The drop button's area, by the layout direction (the button sits left for right-to-left).
  QRect buttonRect() const;

 protected:
  bool wantsAfter(int type) const override;
  void afterMessage(QEvent* event) override;
  void onEnter() override;
  void onLeave() override;
  void draw(QPainter& p, const QRect& rect) override;
};

}  // namespace kelpo::skin
