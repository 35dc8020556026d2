// The frame skin of the tests and the fixture around it.
#include "tests/skin/support_frame.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>

#include "skin/skin_manager.h"
#include "skin/skin_stream.h"
#include "tests/skin/support_skin.h"

namespace kelpo::skin::testing {
namespace {

QImage strip(int frameWidth, int height, int frames, bool stacked,
             const std::vector<QColor>& colours) {
  QImage image(stacked ? frameWidth : frameWidth * frames, stacked ? height * frames : height,
               QImage::Format_RGB32);
  for (int f = 0; f < frames; ++f) {
    const QRect r = stacked ? QRect(0, f * height, frameWidth, height)
                            : QRect(f * frameWidth, 0, frameWidth, height);
    QPainter(&image).fillRect(r, colours[static_cast<std::size_t>(f) % colours.size()]);
  }
  return image;
}

}  // namespace

std::string frameSkinStream(const FrameSkinOptions& o) {
  // Top: 60 x 20 per frame, stacked; its 25-pixel ends differ from its middle.
  QImage top = strip(60, 20, 2, true, {kTopMiddle, kTopInactive});
  {
    QPainter p(&top);
    p.fillRect(0, 0, 25, 20, kTopEdge);
    p.fillRect(35, 0, 25, 20, kTopEdge);
    if (o.topTrans) p.fillRect(0, 0, 3, 3, QColor(255, 0, 255));
  }
  QImage bottom = strip(30, 4, 2, true, {kBottomColour, kBottomColour});
  if (o.bottomTrans) {
    QPainter p(&bottom);
    p.fillRect(0, 0, 2, 8, QColor(255, 0, 255));
    p.fillRect(2, 0, 1, 8, QColor(255, 1, 255));  // within the key's tolerance
  }
  QImage left = strip(4, 40, 2, false, {kLeftColour, kLeftInactive});
  if (o.leftTrans) {
    QPainter p(&left);
    p.fillRect(0, 0, 2, 2, QColor(255, 0, 255));
    p.fillRect(4, 0, 2, 2, QColor(255, 0, 255));
  }
  std::vector<QColor> buttonColours(std::begin(kButtonFrames), std::end(kButtonFrames));
  const QImage button = strip(16, 14, 4, false, buttonColours);
  std::string description = R"([TitlebarSkin]
SkinName=Frame test

[Personality]
Top=top.bmp
TopTopHeight=25
TopBotHeight=25
TopFrame=2
TopStretch=1
TopTrans=)" + std::to_string(o.topTrans) +
                            R"(
Left=left.bmp
LeftFrame=2
LeftStretch=1
LeftTrans=)" + std::to_string(o.leftTrans) +
                            R"(
Right=right.bmp
RightFrame=2
RightStretch=1
RightTrans=0
Bottom=bottom.bmp
BottomFrame=2
BottomStretch=1
BottomTrans=)" + std::to_string(o.bottomTrans) +
                            R"(
TextShift=6
TextAlignment=0
)";
  if (o.menuImages)
    description += "menuBar=menubar.bmp\nTileMenu=0\nTileLeftMenu=2\nTileRightMenu=2\n";
  description += R"(
[Colours]
ButtonFace=230 230 220
TitleTextActive=255 255 255
TitleTextNoActive=255 255 0
MenuBarText=250 250 0
Menubar=0 90 90
Menu=240 240 240
MenuText=0 0 0
HilightText=255 255 255
Hilight=0 0 128

[Button.Close]
ButtonImage=close.bmp
Action=0
Align=1
Xcoord=20
Ycoord=3
Visibility=0
Visibility1=0
frame=4

[Button.Maximize]
ButtonImage=maximize.bmp
Action=1
Align=1
Xcoord=38
Ycoord=3
Visibility=2
Visibility1=6
frame=4

[Button.Restore]
ButtonImage=restore.bmp
Action=1
Align=1
Xcoord=38
Ycoord=3
Visibility=1
Visibility1=6
frame=4

[Button.Minimize]
ButtonImage=minimize.bmp
Action=2
Align=1
Xcoord=56
Ycoord=3
Visibility=8
Visibility1=8
frame=4
)";
  std::vector<tools::PackageItem> items{
      {"top.bmp", bmpItem(top)},
      {"bottom.bmp", bmpItem(bottom)},
      {"left.bmp", bmpItem(left)},
      {"right.bmp", bmpItem(strip(3, 40, 2, false, {kRightColour, kRightColour}))},
      {"close.bmp", bmpItem(button)},
      {"maximize.bmp", bmpItem(button)},
      {"restore.bmp", bmpItem(button)},
      {"minimize.bmp", bmpItem(button)},
  };
  if (o.menuImages) {
    description += R"(
[MenuItem]
Image=menuitem.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
FrameCount=5

[MenuBackground]
Image=menuframe.bmp
LeftWidth=3
RightWidth=3
TopHeight=3
BottomHeight=3
)";
    items.push_back(
        {"menubar.bmp", bmpItem(strip(20, 20, 2, true, {kMenuBarColour, kMenuBarColour}))});
    items.push_back({"menuitem.bmp", bmpItem(strip(20, 18, 5, false,
                                                   {kMenuItem, kMenuItem, kMenuItem,
                                                    kMenuItemSelected, kMenuItem}))});
    items.push_back({"menuframe.bmp", bmpItem(strip(20, 20, 1, false, {kMenuBackground}))});
  }
  return writeSkinStream(packedSkin(description, items));
}

void FrameTest::SetUpTestSuite() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  if (!qApp) new QApplication(argc, argv);
}

void FrameTest::SetUp() { owner = std::make_unique<QWidget>(); }

void FrameTest::TearDown() {
  TSkinManage::destroyInstance();
  owner.reset();
}

TSkinData* FrameTest::makeData(QWidget* form, const FrameSkinOptions& options,
                               TSkinControls controls) {
  auto* d = new TSkinData(form);
  d->setSkinControls(controls);
  d->readSkinStream(frameSkinStream(options));
  EXPECT_TRUE(d->loaded()) << d->lastError();
  d->formDataLoaded();
  TSkinManage::instance()->setSkinning(true);
  TSkinManage::instance()->countActivation();
  return d;
}

void FrameTest::settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QImage FrameTest::render(QWidget* window) {
  return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int FrameTest::countColour(const QImage& image, const QRect& area, const QColor& colour) {
  int n = 0;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
  return n;
}

}  // namespace kelpo::skin::testing
