// Skinned buttons on real widgets: state frames on rendered pixels, clicks, the one hot
// button, check and radio marks with their placement, and restoring controls as found.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <functional>

#include "resources/skin/stored_skin.h"
#include "skin/skin_button.h"
#include "skin/skin_checkbox.h"
#include "skin/skin_control.h"
#include "skin/skin_control_set.h"
#include "skin/skin_data.h"
#include "tests/skin/support_controls.h"
#include "tests/skin/support_skin.h"

namespace kelpo::skin {
namespace {

using namespace testing;

class SkinButtonsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureApplication(); }
  void SetUp() override {
    form.resize(300, 200);
    data = loadSkin(&form, controlSkin());
    ASSERT_TRUE(data->loaded()) << data->lastError();
  }
  QWidget form;
  TSkinData* data = nullptr;
};

TEST_F(SkinButtonsTest, PushButtonShowsTheFrameOfItsState) {
  struct Case {
    const char* name;
    std::function<void(QPushButton*)> act;
    int frame;
  };
  const Case cases[] = {
      {"normal", [](QPushButton*) {}, 1},
      {"hot", [](QPushButton* b) { sendEnter(b); }, 4},
      {"pressed",
       [](QPushButton* b) {
         sendPress(b, {5, 5});
       },
       2},
      {"disabled", [](QPushButton* b) { b->setEnabled(false); }, 3},
      {"disabled while hot",
       [](QPushButton* b) {
         sendEnter(b);
         b->setEnabled(false);
       },
       3},
      {"focused",
       [](QPushButton* b) {
         b->setFocusPolicy(Qt::StrongFocus);
         b->setFocus();
       },
       4},
  };
  for (const Case& c : cases) {
    QWidget window;
    window.resize(200, 100);
    TSkinData* d = loadSkin(&window, controlSkin());
    auto* button = new QPushButton(QStringLiteral("确定"), &window);
    button->setGeometry(10, 10, 80, 24);
    button->setFocusPolicy(Qt::NoFocus);  // an active window would focus it at once
    window.show();
    QApplication::setActiveWindow(&window);
    auto set = SkinControlsOf(&window, d);
    c.act(button);
    EXPECT_EQ(pixel(button, {1, 1}), artColour(Art::Button, c.frame)) << c.name;
    // The face's middle is the frame stretched; the caption sits over it.
    EXPECT_EQ(pixel(button, {4, 12}), artColour(Art::Button, c.frame)) << c.name;
  }
}

TEST_F(SkinButtonsTest, PushButtonClicksOnlyWhenReleasedOverIt) {
  auto* button = new QPushButton(QStringLiteral("确定"), &form);
  button->setGeometry(10, 10, 80, 24);
  form.show();
  auto set = SkinControlsOf(&form, data);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });

  sendPress(button, {10, 10});
  EXPECT_FALSE(button->isDown());  // the press never reaches the control
  sendMove(button, {200, 10}, true);
  sendRelease(button, {200, 10});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(pixel(button, {1, 1}), artColour(Art::Button, 1));

  sendPress(button, {10, 10});
  sendRelease(button, {12, 12});
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinButtonsTest, SkinWithoutButtonImageKeepsThePlatformLookButClicksStillFire) {
  const std::string bare = packedSkin("[TitlebarSkin]\nSkinName=bare\n");
  TSkinData* plain = loadSkin(&form, bare);
  auto* button = new QPushButton(QStringLiteral("确定"), &form);
  button->setGeometry(10, 10, 80, 24);
  form.show();
  const QImage before = rendered(button);
  auto set = SkinControlsOf(&form, plain);
  EXPECT_EQ(rendered(button), before);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  sendPress(button, {5, 5});
  sendRelease(button, {5, 5});
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinButtonsTest, OnlyOneButtonLooksHot) {
  auto* first = new QPushButton(QStringLiteral("一"), &form);
  auto* second = new QPushButton(QStringLiteral("二"), &form);
  first->setGeometry(10, 10, 60, 24);
  second->setGeometry(80, 10, 60, 24);
  form.show();
  auto set = SkinControlsOf(&form, data);
  auto* controls = static_cast<TSkinControlSet*>(set.get());
  sendEnter(first);
  ASSERT_TRUE(controls->skinControlOf(first)->hot());
  sendEnter(second);  // no leave for the first: the set makes it leave
  EXPECT_FALSE(controls->skinControlOf(first)->hot());
  EXPECT_TRUE(controls->skinControlOf(second)->hot());
  EXPECT_EQ(pixel(first, {1, 1}), artColour(Art::Button, 1));
  EXPECT_EQ(pixel(second, {1, 1}), artColour(Art::Button, 4));
}

TEST_F(SkinButtonsTest, SpeedButtonGlyphFollowsTheStateAndFallsBackToTheFirst) {
  // A two-image glyph strip: red then blue, 8 x 8 each; the white top-left pixel of each is
  // its clear colour.
  QImage strip(16, 8, QImage::Format_RGB32);
  strip.fill(Qt::red);
  for (int x = 8; x < 16; ++x)
    for (int y = 0; y < 8; ++y) strip.setPixel(x, y, qRgb(0, 0, 255));
  strip.setPixel(0, 0, qRgb(255, 255, 255));
  strip.setPixel(8, 0, qRgb(255, 255, 255));
  auto* tool = new QToolButton(&form);
  tool->setIcon(QIcon(QPixmap::fromImage(strip)));
  tool->setIconSize(QSize(8, 8));
  tool->setProperty("NumGlyphs", 2);
  tool->setGeometry(10, 10, 30, 30);
  form.show();
  auto set = SkinControlsOf(&form, data);
  const QPoint centre(15, 15);
  EXPECT_EQ(pixel(tool, centre), qRgb(255, 0, 0));
  tool->setEnabled(false);
  EXPECT_EQ(pixel(tool, centre), qRgb(0, 0, 255));  // disabled: glyph 2
  tool->setEnabled(true);
  tool->setDown(true);
  EXPECT_EQ(pixel(tool, centre), qRgb(255, 0, 0));  // down: glyph 3 missing, glyph 1
  EXPECT_EQ(pixel(tool, {1, 1}), artColour(Art::Button, 2));
}

TEST_F(SkinButtonsTest, CheckAndRadioMarksShowTheirStateFrames) {
  struct Case {
    const char* name;
    bool radio;
    std::function<void(QAbstractButton*)> act;
    int frame;
  };
  const Case cases[] = {
      {"unchecked", false, [](QAbstractButton*) {}, 1},
      {"checked", false, [](QAbstractButton* b) { b->setChecked(true); }, 2},
      {"disabled", false, [](QAbstractButton* b) { b->setEnabled(false); }, 3},
      {"disabled checked", false,
       [](QAbstractButton* b) {
         b->setChecked(true);
         b->setEnabled(false);
       },
       4},
      {"grayed", false,
       [](QAbstractButton* b) {
         static_cast<QCheckBox*>(b)->setTristate(true);
         static_cast<QCheckBox*>(b)->setCheckState(Qt::PartiallyChecked);
       },
       4},
      {"radio checked", true, [](QAbstractButton* b) { b->setChecked(true); }, 2},
      // A published Checked property decides over the control's own state.
      {"radio published", true,
       [](QAbstractButton* b) {
         b->setChecked(false);
         b->setProperty("Checked", QStringLiteral("TRUE"));
       },
       2},
  };
  for (const Case& c : cases) {
    QWidget window;
    window.resize(200, 60);
    TSkinData* d = loadSkin(&window, controlSkin());
    QAbstractButton* box = c.radio
                               ? static_cast<QAbstractButton*>(new QRadioButton("选项", &window))
                               : new QCheckBox("选项", &window);
    box->setGeometry(5, 5, 100, 17);
    window.show();
    auto set = SkinControlsOf(&window, d);
    c.act(box);
    const Art art = c.radio ? Art::Radio : Art::Check;
    // 13 x 13 on a 17-pixel control: 2 pixels down, at the left edge ((14 − 13) div 2 = 0).
    EXPECT_EQ(pixel(box, {0, 2}), artColour(art, c.frame)) << c.name;
    EXPECT_EQ(pixel(box, {12, 14}), artColour(art, c.frame)) << c.name;
    EXPECT_NE(pixel(box, {6, 1}), artColour(art, c.frame)) << c.name;
  }
}

// Everything attaching changes comes back: palettes, filters, the status bar's grip, and the
// controls paint exactly as before.
TEST_F(SkinButtonsTest, RestoringGivesEveryControlBackAsFound) {
  auto* button = new QPushButton(QStringLiteral("确定"), &form);
  button->setGeometry(5, 5, 80, 24);
  auto* check = new QCheckBox(QStringLiteral("选项"), &form);
  check->setGeometry(5, 35, 100, 20);
  QPalette own = check->palette();
  own.setColor(QPalette::Window, Qt::yellow);
  check->setPalette(own);
  auto* group = new QGroupBox(QStringLiteral("组"), &form);
  group->setGeometry(120, 5, 150, 80);
  auto* radio = new QRadioButton(QStringLiteral("甲"), group);
  radio->setGeometry(10, 20, 80, 20);
  auto* memo = new QPlainTextEdit(&form);
  memo->setGeometry(5, 90, 150, 60);
  memo->setPlainText(QString(QStringLiteral("行\n")).repeated(30));
  auto* status = new QStatusBar(&form);
  status->setGeometry(0, 170, 300, 22);
  status->setSizeGripEnabled(true);
  form.show();

  struct Snapshot {
    QPalette palette;
    bool ownPalette;
    QStyle* style;
    QImage image;
  };
  std::vector<QWidget*> widgets{button, check, group, radio, memo, memo->verticalScrollBar(),
                                status};
  auto take = [&] {
    std::vector<Snapshot> shots;
    for (QWidget* w : widgets)
      shots.push_back({w->palette(), w->testAttribute(Qt::WA_SetPalette), w->style(), rendered(w)});
    return shots;
  };
  const std::vector<Snapshot> before = take();
  {
    auto set = SkinControlsOf(&form, data);
    EXPECT_NE(rendered(button), before[0].image);
    EXPECT_NE(rendered(memo->verticalScrollBar()), before[5].image);
  }
  const std::vector<Snapshot> after = take();
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    const char* name = widgets[i]->metaObject()->className();
    EXPECT_EQ(after[i].palette, before[i].palette) << name;
    EXPECT_EQ(after[i].palette.resolveMask(), before[i].palette.resolveMask()) << name;
    EXPECT_EQ(after[i].ownPalette, before[i].ownPalette) << name;
    EXPECT_EQ(after[i].style, before[i].style) << name;
    EXPECT_EQ(after[i].image, before[i].image) << name;
  }
  EXPECT_TRUE(status->isSizeGripEnabled());
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  sendPress(button, {5, 5});
  EXPECT_TRUE(button->isDown());  // the control's own handling is back
  sendRelease(button, {5, 5});
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinButtonsTest, SkinChangeRecoloursAndRepaintsWithTheNewSkin) {
  auto* button = new QPushButton(QStringLiteral("确定"), &form);
  button->setGeometry(5, 5, 80, 24);
  auto* check = new QCheckBox(QStringLiteral("选项"), &form);
  check->setGeometry(5, 35, 100, 20);
  form.show();
  auto set = SkinControlsOf(&form, data);
  EXPECT_EQ(check->palette().color(QPalette::Window), QColor(200, 200, 200));
  data->readSkinStream(storedSkinStream());  // Kelpo's own skin: another face colour and art
  ASSERT_TRUE(data->loaded());
  RefreshSkinControls(set.get());
  EXPECT_EQ(check->palette().color(QPalette::Window), QColor(236, 233, 216));
  EXPECT_NE(pixel(button, {4, 12}), artColour(Art::Button, 1));
}

TEST_F(SkinButtonsTest, SkinDataGoneFirstLeavesControlsDrawnAndRestorable) {
  auto* button = new QPushButton(QStringLiteral("确定"), &form);
  button->setGeometry(5, 5, 80, 24);
  auto* check = new QCheckBox(QStringLiteral("选项"), &form);
  check->setGeometry(5, 35, 100, 20);
  form.show();
  const QImage plainButton = rendered(button), plainCheck = rendered(check);
  auto set = SkinControlsOf(&form, data);
  delete data;  // a closing window may free its skin data before the frame lets go
  EXPECT_EQ(rendered(button), plainButton);
  set.reset();
  EXPECT_EQ(rendered(check), plainCheck);
  EXPECT_FALSE(check->testAttribute(Qt::WA_SetPalette));
}

TEST_F(SkinButtonsTest, Tag99KeepsThePlatformLookAndLaterControlsAreSkinned) {
  auto* kept = new QPushButton(QStringLiteral("保留"), &form);
  kept->setProperty("Tag", 199);
  kept->setGeometry(5, 5, 80, 24);
  form.show();
  const QImage before = rendered(kept);
  auto set = SkinControlsOf(&form, data);
  auto* controls = static_cast<TSkinControlSet*>(set.get());
  EXPECT_EQ(controls->skinControlOf(kept), nullptr);
  EXPECT_EQ(rendered(kept), before);

  auto* later = new QPushButton(QStringLiteral("后来"), &form);
  later->setGeometry(100, 5, 80, 24);
  later->show();
  QCoreApplication::processEvents();
  ASSERT_NE(controls->skinControlOf(later), nullptr);
  EXPECT_EQ(pixel(later, {1, 1}), artColour(Art::Button, 1));
}

}  // namespace
}  // namespace kelpo::skin
