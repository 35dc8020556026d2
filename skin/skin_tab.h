// TSkinTab: tab controls (tab widgets and tab bars, in all four orientations) drawn from the
// skin's tab image, with the page border from its border image.
#pragma once

#include <QPointer>

#include "skin/skin_control.h"
#include "skin/skin_objects.h"

class QTabBar;
class QToolButton;

namespace kelpo::skin {

class TSkinTab : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;
  ~TSkinTab() override;
  void attachToControl(QWidget* control, TSkinData* data, bool colour) override;
  void refresh() override;
  // 0 top, 1 bottom, 2 left, 3 right.
  int orientation() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void draw(QPainter& p, const QRect& rect) override;

 private:
  void readImages();
  void drawTabs();
  QPointer<QTabBar> bar_;
  std::vector<QPointer<QToolButton>> arrows_;
  TDataSkinObject border_;  // the page border: the border image with its fixed margins
};

}  // namespace kelpo::skin
