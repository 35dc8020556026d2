// Check boxes and radio buttons: the control draws its text and focus, then the skin's box
// image covers the platform's box.
#pragma once

#include "skin/skin_control.h"

namespace kelpo::skin {

class TSkinCheckBox : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;

  // The frame for the control's state: 1 unchecked, 2 checked, plus 2 disabled; 4 grayed.
  int stateFrame() const;
  // Where the box goes inside the control, or an empty rectangle without a box image.
  QRect boxRect() const;

 protected:
  virtual bool radio() const { return false; }
  bool wantsAfter(int type) const override;
  void afterMessage(QEvent* event) override;
  void draw(QPainter& p, const QRect& rect) override;

 private:
  const QImage* strip(int& frames) const;
};

class TSkinRadioButton : public TSkinCheckBox {
  Q_OBJECT
 public:
  using TSkinCheckBox::TSkinCheckBox;

 protected:
  bool radio() const override { return true; }
};

}  // namespace kelpo::skin
