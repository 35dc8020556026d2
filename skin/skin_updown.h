// TSkinUpDown: up-down arrow pairs (stand-alone, of spin edits, of tab strips) drawn from the
// orientation's eight-frame up-down image: the first arrow's normal, pressed, hot and disabled
// faces, then the second arrow's.
#pragma once

#include "skin/skin_control.h"

class QAbstractSpinBox;

namespace kelpo::skin {

// Draws one pair of arrow buttons; `pressed` and `hot` are 0 none, 1 first, 2 second arrow.
// False when the skin has no image for the orientation.
bool paintUpDown(QPainter& p, TSkinData& data, const QRect& first, const QRect& second,
                 bool vertical, int pressed, int hot, bool enabled);
// One arrow button of a pair: `arrow` 1 the first (up or left), 2 the second.
bool paintUpDownArrow(QPainter& p, TSkinData& data, const QRect& rect, bool vertical, int arrow,
                      bool pressed, bool hot, bool enabled);

// The arrow buttons of a spin box, as its style places them.
void spinArrowRects(const QAbstractSpinBox* spin, QRect& up, QRect& down);

class TSkinUpDown : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;
  // Marks an up-down that belongs to an edit.
  bool ofEdit = false;

 protected:
  bool beforeMessage(QEvent* event) override;
  bool wantsAfter(int type) const override;
  void afterMessage(QEvent* event) override;
  void onEnter() override;
  void onLeave() override;

 protected:
  // Paints the arrows over what the control drew.
  void paintArrows();
  // Which arrow a point is on: 1 first, 2 second.
  int arrowAt(const QPoint& point) const;
  void arrowRects(QRect& first, QRect& second) const;
  bool vertical() const;

 private:
  int pressedArrow_ = 0;
  int hotArrow_ = 0;
};

}  // namespace kelpo::skin
