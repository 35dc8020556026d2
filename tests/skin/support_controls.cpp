// The flat-frame test skin and event helpers for the control tests.
#include "tests/skin/support_controls.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include "skin/skin_data.h"
#include "skin/skin_stream.h"
#include "tests/skin/support_skin.h"

namespace kelpo::skin::testing {

QRgb artColour(Art art, int frame) {
  const int a = static_cast<int>(art);
  return qRgb(20 + a * 14, 10 + frame * 9, 120 + (a * 7 + frame * 5) % 100);
}

namespace {

QImage strip(Art art, int frames, int w, int h) {
  QImage image(w * frames, h, QImage::Format_RGB32);
  for (int f = 0; f < frames; ++f) {
    QPainter p(&image);
    p.fillRect(QRect(f * w, 0, w, h), QColor(artColour(art, f + 1)));
  }
  return image;
}

}  // namespace

std::string controlSkin(const ControlSkinOptions& o) {
  std::string ini = R"([TitlebarSkin]
SkinName=Control test

[Colours]
ButtonFace=200 200 200
Scrollbar=190 190 190
ButtonShadow=90 90 90
ButtonText=0 0 0

[Buttons]
Bitmap=button.bmp
CheckButton=check.bmp
RadioButton=radio.bmp
CheckButtonFrame=4
RadioButtonFrame=4
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
NormalColour2=1 2 3
MouseOverColour2=4 5 6
PressedColour2=7 8 9

[HorzScroll]
Image=horzshaft.bmp

[VertScroll]
Image=vertshaft.bmp

[HorzScrollThumb]
Image=horzthumb.bmp
FrameCount=3

[VertScrollThumb]
Image=vertthumb.bmp
FrameCount=3

[ComboButton]
Image=combo.bmp
)";
  ini += "\n";
  if (o.arrows) ini += "[Scrollbar]\nImage=arrows.bmp\n\n";
  if (o.sunkEdge)
    ini +=
        "[SunkEdge]\nImage=sunkedge.bmp\nLeftWidth=2\nRightWidth=2\nTopHeight=2\nBottomHeight="
        "2\n\n";
  ini += R"([Progress]
Bitmap=progress.bmp

[StatusBarEdges]
Image=statusbar.bmp
NormalColour2=10 20 30

[Headerbar]
Image=header.bmp

[UpDown.Vert]
Image=updown.bmp

[Tabs]
Image=tabs.bmp

[Trackbar.ThumbHorz]
Image=trackthumb.bmp
)";
  return packedSkin(ini, {{"button.bmp", bmpItem(strip(Art::Button, 5, 8, 8))},
                          {"check.bmp", bmpItem(strip(Art::Check, 4, 13, 13))},
                          {"radio.bmp", bmpItem(strip(Art::Radio, 4, 13, 13))},
                          {"arrows.bmp", bmpItem(strip(Art::Arrows, 23, 16, 16))},
                          {"horzshaft.bmp", bmpItem(strip(Art::HorzShaft, 4, 8, 16))},
                          {"vertshaft.bmp", bmpItem(strip(Art::VertShaft, 4, 16, 8))},
                          {"horzthumb.bmp", bmpItem(strip(Art::HorzThumb, 3, 8, 16))},
                          {"vertthumb.bmp", bmpItem(strip(Art::VertThumb, 3, 16, 8))},
                          {"combo.bmp", bmpItem(strip(Art::Combo, 4, 16, 16))},
                          {"sunkedge.bmp", bmpItem(strip(Art::SunkEdge, 4, 8, 8))},
                          {"progress.bmp", bmpItem(strip(Art::Progress, 2, 8, 8))},
                          {"statusbar.bmp", bmpItem(strip(Art::StatusBar, 3, 8, 8))},
                          {"header.bmp", bmpItem(strip(Art::Header, 5, 8, 8))},
                          {"updown.bmp", bmpItem(strip(Art::UpDown, 8, 8, 8))},
                          {"tabs.bmp", bmpItem(strip(Art::Tabs, 5, 8, 8))},
                          {"trackthumb.bmp", bmpItem(strip(Art::TrackThumb, 5, 8, 8))}});
}

TSkinData* loadSkin(QWidget* owner, const std::string& packed) {
  auto* data = new TSkinData(owner);
  data->readSkinStream(writeSkinStream(packed));
  return data;
}

QImage rendered(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb pixel(QWidget* widget, QPoint at) { return rendered(widget).pixel(at) | 0xFF000000; }

void sendEnter(QWidget* w) {
  QEnterEvent e(QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), w->mapToGlobal(QPointF(1, 1)));
  QCoreApplication::sendEvent(w, &e);
}

void sendLeave(QWidget* w) {
  QEvent e(QEvent::Leave);
  QCoreApplication::sendEvent(w, &e);
}

namespace {
void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}
}  // namespace

void sendPress(QWidget* w, QPoint at) {
  sendMouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
}
void sendMove(QWidget* w, QPoint at, bool held) {
  sendMouse(w, QEvent::MouseMove, at, held ? Qt::LeftButton : Qt::NoButton);
}
void sendRelease(QWidget* w, QPoint at) {
  sendMouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

void ensureApplication() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  if (!qApp) new QApplication(argc, argv);
}

}  // namespace kelpo::skin::testing
