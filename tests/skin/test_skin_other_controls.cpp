// Combo boxes, edits and spin edits, progress bars, status bars, tabs: rendered pixels against
// the flat frames of the test skin, and the platform look where the skin lacks the image.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>

#include "skin/skin_control.h"
#include "skin/skin_data.h"
#include "skin/skin_progress.h"
#include "tests/skin/support_controls.h"

namespace kelpo::skin {
namespace {

using namespace testing;

class SkinOtherControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureApplication(); }
  void SetUp() override { form.resize(320, 240); }
  QComboBox* combo() {
    auto* c = new QComboBox(&form);
    c->addItems({QStringLiteral("家常菜"), QStringLiteral("汤")});
    c->setGeometry(10, 10, 120, 24);
    c->setFocusPolicy(Qt::NoFocus);
    return c;
  }
  QWidget form;
};

TEST_F(SkinOtherControlsTest, ComboBoxRingAndButtonFollowItsState) {
  TSkinData* data = loadSkin(&form, controlSkin());
  QComboBox* c = combo();
  form.show();
  auto set = SkinControlsOf(&form, data);
  const int b = c->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const QPoint ring(0, 12), button(c->width() - b / 2 - 1, 12);
  EXPECT_EQ(pixel(c, ring), artColour(Art::SunkEdge, 1));
  EXPECT_EQ(pixel(c, button), artColour(Art::Combo, 1));
  sendEnter(c);
  EXPECT_EQ(pixel(c, ring), artColour(Art::SunkEdge, 4));
  EXPECT_EQ(pixel(c, button), artColour(Art::Combo, 4));
  sendLeave(c);
  c->setEnabled(false);
  EXPECT_EQ(pixel(c, ring), artColour(Art::SunkEdge, 3));
  EXPECT_EQ(pixel(c, button), artColour(Art::Combo, 3));
  // The text area keeps what the control drew.
  EXPECT_NE(pixel(c, {20, 12}), artColour(Art::SunkEdge, 3));
}

TEST_F(SkinOtherControlsTest, ComboBoxWithoutSunkenEdgeKeepsPlatformLookUnlessSimple) {
  ControlSkinOptions options;
  options.sunkEdge = false;
  TSkinData* data = loadSkin(&form, controlSkin(options));
  QComboBox* c = combo();
  form.show();
  const QImage before = rendered(c);
  {
    auto set = SkinControlsOf(&form, data);
    EXPECT_EQ(rendered(c), before);
  }
  // The description has no Style key for the combo button; a skin built in code can set it.
  const_cast<TDataSkinBorder&>(*data->skin()->comboButton).style = 1;
  auto set = SkinControlsOf(&form, data);
  EXPECT_EQ(pixel(c, {0, 12}), qRgb(90, 90, 90));
  EXPECT_EQ(pixel(c, {2, 12}),
            before.pixel(2, 12) | 0xFF000000);  // the shadow-coloured line around it
  EXPECT_EQ(pixel(c, {c->width() - 6, 12}), artColour(Art::Combo, 1));
}

TEST_F(SkinOtherControlsTest, ProgressFillsItsShareOfTheWidth) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto* bar = new QProgressBar(&form);
  bar->setGeometry(10, 10, 200, 20);
  bar->setTextVisible(false);
  bar->setRange(0, 100);
  bar->setValue(50);
  form.show();
  auto set = SkinControlsOf(&form, data);
  EXPECT_EQ(pixel(bar, {50, 10}), artColour(Art::Progress, 2));
  EXPECT_EQ(pixel(bar, {99, 10}), artColour(Art::Progress, 2));
  EXPECT_EQ(pixel(bar, {100, 10}), artColour(Art::Progress, 1));
  bar->setValue(0);
  EXPECT_EQ(pixel(bar, {1, 10}), artColour(Art::Progress, 1));
  // An empty range fills nothing rather than dividing by zero.
  EXPECT_EQ(TSkinProgress::filledLength(5, 0, 200), 0);
  EXPECT_EQ(TSkinProgress::filledLength(150, 100, 200), 200);
}

TEST_F(SkinOtherControlsTest, EditGetsTheBorderAndSpinEditAlsoTheSkinnedArrows) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto* edit = new QLineEdit(&form);
  edit->setGeometry(10, 10, 120, 24);
  auto* spin = new QSpinBox(&form);
  spin->setGeometry(10, 50, 120, 24);
  form.show();
  auto set = SkinControlsOf(&form, data);
  for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(spin)}) {
    EXPECT_EQ(pixel(w, {0, 5}), qRgb(90, 90, 90)) << w->metaObject()->className();
    EXPECT_EQ(pixel(w, {1, 5}), qRgb(255, 255, 255)) << w->metaObject()->className();
  }
  // The up arrow in the top half of the arrow column, the down arrow in the bottom half.
  const QPoint up(spin->width() - 8, 7), down(spin->width() - 8, 17);
  EXPECT_EQ(pixel(spin, up), artColour(Art::UpDown, 1));
  EXPECT_EQ(pixel(spin, down), artColour(Art::UpDown, 5));
  sendPress(spin, down);
  EXPECT_EQ(pixel(spin, down), artColour(Art::UpDown, 6));
  sendRelease(spin, down);
  EXPECT_EQ(spin->value(), -0 + spin->minimum());  // at the minimum a step down stays there
  spin->setEnabled(false);
  EXPECT_EQ(pixel(spin, up), artColour(Art::UpDown, 4));
}

TEST_F(SkinOtherControlsTest, StatusBarDrawsItsPanelsFromTheSkin) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto* status = new QStatusBar(&form);
  status->setGeometry(0, 200, 320, 22);
  auto* panel = new QLabel(QStringLiteral("Kelpo 家常菜谱"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setFixedWidth(150);
  status->addWidget(panel);
  auto* raised = new QLabel(QStringLiteral("联系"));
  raised->setFrameStyle(QFrame::Panel | QFrame::Raised);
  status->addWidget(raised, 1);
  form.show();
  auto set = SkinControlsOf(&form, data);
  const QPoint p = panel->mapTo(status, QPoint(0, 0));
  const QPoint r = raised->mapTo(status, QPoint(0, 0));
  EXPECT_EQ(pixel(status, p + QPoint(1, 1)), artColour(Art::StatusBar, 1));
  EXPECT_EQ(pixel(status, r + QPoint(1, 1)), artColour(Art::StatusBar, 2));
  // The caption is drawn in the panel image's text colour.
  const QImage image = rendered(status);
  bool textColour = false;
  for (int x = p.x(); x < p.x() + 150 && !textColour; ++x)
    for (int y = p.y(); y < p.y() + panel->height(); ++y)
      textColour = textColour || (image.pixel(x, y) | 0xFF000000) == qRgb(10, 20, 30);
  EXPECT_TRUE(textColour);
  // A message covers the bar as one panel.
  status->showMessage(QStringLiteral("正在保存"));
  EXPECT_EQ(pixel(status, r + QPoint(1, 1)), artColour(Art::StatusBar, 1));
}

TEST_F(SkinOtherControlsTest, TrackBarThumbComesFromTheSkinOverTheControlsChannel) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto* slider = new QSlider(Qt::Horizontal, &form);
  slider->setGeometry(10, 10, 200, 24);
  slider->setRange(0, 10);
  slider->setValue(5);
  form.show();
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = Qt::Horizontal;
  option.maximum = 10;
  option.sliderPosition = option.sliderValue = 5;
  const QRect handle =
      slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
  auto set = SkinControlsOf(&form, data);
  EXPECT_EQ(pixel(slider, handle.center()), artColour(Art::TrackThumb, 2));
  EXPECT_NE(pixel(slider, {2, 12}), artColour(Art::TrackThumb, 2));  // the channel stays
}

TEST_F(SkinOtherControlsTest, TabsTakeTheTabImageTheCurrentOneFrameTwo) {
  TSkinData* data = loadSkin(&form, controlSkin());
  // Page controls are skinned as tabs when a Skin3rd line names them.
  data->setSkin3rd(QStringList(data->Skin3rd()) << QStringLiteral("QTabWidget=tab"));
  for (QTabWidget::TabPosition position :
       {QTabWidget::North, QTabWidget::South, QTabWidget::West, QTabWidget::East}) {
    QWidget window;
    window.resize(300, 200);
    auto* tabs = new QTabWidget(&window);
    tabs->setTabPosition(position);
    tabs->setGeometry(5, 5, 280, 180);
    tabs->addTab(new QWidget, QStringLiteral("做法"));
    tabs->addTab(new QWidget, QStringLiteral("配料"));
    window.show();
    auto set = SkinControlsOf(&window, data);
    QTabBar* bar = tabs->tabBar();
    const QRect first = bar->tabRect(0), second = bar->tabRect(1);
    EXPECT_EQ(pixel(bar, first.topLeft() + QPoint(1, 1)), artColour(Art::Tabs, 2)) << position;
    EXPECT_EQ(pixel(bar, second.topLeft() + QPoint(1, 1)), artColour(Art::Tabs, 1)) << position;
  }
}

}  // namespace
}  // namespace kelpo::skin
