// A skin for control tests whose every frame is one flat colour, so a rendered pixel tells
// which frame of which image was drawn; and the small helpers the control tests share.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>
#include <string>

namespace kelpo::skin {
class TSkinData;
}

namespace kelpo::skin::testing {

// The images of the control test skin, by the colour their frames carry.
enum class Art {
  Button,
  Check,
  Radio,
  Arrows,
  HorzShaft,
  VertShaft,
  HorzThumb,
  VertThumb,
  Combo,
  SunkEdge,
  Progress,
  StatusBar,
  Header,
  UpDown,
  Tabs,
  TrackThumb
};
// The flat colour of frame `frame` (1-based) of an image.
QRgb artColour(Art art, int frame);

struct ControlSkinOptions {
  bool arrows = true;    // the "Scrollbar" section names its image
  bool sunkEdge = true;  // the "SunkEdge" section names its image
};
// A description and bitmaps of flat frames; the check and radio images are 4 frames of
// 13 x 13, the scroll arrows 23 frames of 16 x 16.
std::string controlSkin(const ControlSkinOptions& options = {});
// A skin data component holding `packed`, owned by `owner`.
kelpo::skin::TSkinData* loadSkin(QWidget* owner, const std::string& packed);

// The widget as it paints now, through its event filters.
QImage rendered(QWidget* widget);
QRgb pixel(QWidget* widget, QPoint at);

// Events as the platform delivers them, sent through the widget's filters.
void sendEnter(QWidget* w);
void sendLeave(QWidget* w);
void sendPress(QWidget* w, QPoint at);
void sendMove(QWidget* w, QPoint at, bool held);
void sendRelease(QWidget* w, QPoint at);

void ensureApplication();

}  // namespace kelpo::skin::testing
