// TSkinStatusBar: the whole status bar drawn from the skin's panel image, its panels (the
// bar's labels) included; TSkinSizer: a bare window's size grip outlined in the shadow colour.
#pragma once

#include "skin/skin_control.h"

class QLabel;

namespace kelpo::skin {

class TSkinStatusBar : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;
  ~TSkinStatusBar() override;
  void attachToControl(QWidget* control, TSkinData* data, bool colour) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool beforeMessage(QEvent* event) override;
  void draw(QPainter& p, const QRect& rect) override;

 private:
  std::vector<QLabel*> panels() const;
  void drawPanel(QPainter& p, const QRect& r, int frame, const QString& text, int alignment);
  bool hadSizeGrip_ = false;
};

class TSkinSizer : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;

 protected:
  bool beforeMessage(QEvent* event) override;
};

}  // namespace kelpo::skin
