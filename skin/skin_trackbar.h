// TSkinTrackBar: a track bar keeps its channel and tick marks; its thumb comes from the skin.
#pragma once

#include "skin/skin_control.h"

namespace kelpo::skin {

class TSkinTrackBar : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;

 protected:
  bool beforeMessage(QEvent* event) override;
  void draw(QPainter& p, const QRect& rect) override;
};

}  // namespace kelpo::skin
