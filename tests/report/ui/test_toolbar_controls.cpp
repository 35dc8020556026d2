// The toolbar controls, checked on the pixels they paint and on their mouse and group rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <memory>

#include "report/ui/toolbar_controls.h"

namespace kelpo::report {
namespace {

const QRgb kFace = qRgb(212, 208, 200);
const QRgb kLight = qRgb(255, 255, 255);
const QRgb kDark = qRgb(128, 128, 128);
const QRgb kBack = qRgb(255, 0, 255);  // the glyphs' transparent colour
const QRgb kWhite = qRgb(255, 255, 255);

QPalette testPalette() {
  QPalette pal = QApplication::palette();
  pal.setColor(QPalette::Button, QColor(kFace));
  pal.setColor(QPalette::Light, QColor(kLight));
  pal.setColor(QPalette::Dark, QColor(kDark));
  pal.setColor(QPalette::ButtonText, Qt::black);
  return pal;
}

// A window with the test colours that owns the controls of one test.
struct Host {
  Host() {
    window.setPalette(testPalette());
    window.resize(300, 120);
  }
  QWidget window;
};

// A glyph of `images` images of `side` x `side`, each filled with its colour inside a one-pixel
// border of the transparent colour (so the bottom-left pixel is transparent).
QImage glyph(std::vector<QRgb> colours, int side = 16) {
  QImage g(side * static_cast<int>(colours.size()), side, QImage::Format_RGB32);
  g.fill(kBack);
  for (std::size_t i = 0; i < colours.size(); ++i)
    for (int y = 1; y < side - 1; ++y)
      for (int x = 1; x < side - 1; ++x) g.setPixel(static_cast<int>(i) * side + x, y, colours[i]);
  return g;
}

QImage shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }
// Colours compared without their alpha (as opaque colours).
QRgb rgb(QRgb c) { return c | 0xFF000000u; }
QRgb px(const QImage& img, int x, int y) { return rgb(img.pixel(x, y)); }

void mouse(QWidget& w, QEvent::Type type, QPoint pos) {
  const Qt::MouseButtons held =
      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
  QMouseEvent e(type, QPointF(pos), w.mapToGlobal(QPointF(pos)), Qt::LeftButton, held,
                Qt::NoModifier);
  QApplication::sendEvent(&w, &e);
}
void enter(QWidget& w) {
  QEnterEvent e(QPointF(1, 1), QPointF(1, 1), w.mapToGlobal(QPointF(1, 1)));
  QApplication::sendEvent(&w, &e);
}
void leave(QWidget& w) {
  QEvent e(QEvent::Leave);
  QApplication::sendEvent(&w, &e);
}

// Where a 16 x 16 glyph lands in a 22 x 22 button with no caption: centred, so at (3, 3), and
// its coloured inside starts one pixel further in.
constexpr int kGlyphInside = 4;

TEST(SpeedButton, NumGlyphsFollowsTheGlyphsShape) {
  struct Case {
    int width, height, before, after;
  };
  for (Case c : {Case{64, 16, 1, 4}, Case{80, 16, 3, 1}, Case{40, 16, 2, 2}, Case{48, 16, 1, 3},
                 Case{16, 16, 4, 1}, Case{32, 16, 1, 2}}) {
    TfrSpeedButton b;
    b.setNumGlyphs(c.before);
    QImage g(c.width, c.height, QImage::Format_RGB32);
    g.fill(Qt::red);
    b.setGlyph(g);
    EXPECT_EQ(b.numGlyphs(), c.after) << c.width << " x " << c.height;
  }
  TfrSpeedButton b;
  b.setNumGlyphs(9);
  EXPECT_EQ(b.numGlyphs(), 4);
  b.setNumGlyphs(0);
  EXPECT_EQ(b.numGlyphs(), 1);
  EXPECT_EQ(b.size(), QSize(22, 22));
}

TEST(SpeedButton, FlatButtonIsGreyUntilTheMouseIsOverIt) {
  Host host;
  auto* b = new TfrSpeedButton(&host.window);
  b->setFlat(true);
  const QRgb colour = qRgb(200, 100, 50);
  b->setGlyph(glyph({colour}));
  int entered = 0, left = 0;
  QObject::connect(b, &TfrSpeedButton::mouseEntered, [&] { ++entered; });
  QObject::connect(b, &TfrSpeedButton::mouseLeft, [&] { ++left; });

  const int grey = (77 * 200 + 150 * 100 + 29 * 50) / 256;  // 124
  EXPECT_EQ(px(shot(*b), kGlyphInside, kGlyphInside), qRgb(grey, grey, grey));
  // The transparent colour shows the face, and no frame is drawn while the mouse is away.
  EXPECT_EQ(px(shot(*b), 3, 3), kFace);
  EXPECT_EQ(px(shot(*b), 0, 0), kFace);

  enter(*b);
  EXPECT_TRUE(b->mouseInControl());
  QImage hot = shot(*b);
  EXPECT_EQ(px(hot, kGlyphInside, kGlyphInside), colour);
  EXPECT_EQ(px(hot, 5, 0), kLight);  // raised frame: highlight on top
  EXPECT_EQ(px(hot, 0, 5), kLight);  // and left
  EXPECT_EQ(px(hot, 5, 21), kDark);  // shadow at the bottom
  EXPECT_EQ(px(hot, 21, 5), kDark);  // and right

  leave(*b);
  EXPECT_EQ(px(shot(*b), kGlyphInside, kGlyphInside), qRgb(grey, grey, grey));
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(left, 1);

  // Without GrayedInactive, or when not flat, the glyph keeps its colours; a button that is
  // not flat does not track the mouse at all.
  b->setGrayedInactive(false);
  EXPECT_EQ(px(shot(*b), kGlyphInside, kGlyphInside), colour);
  auto* solid = new TfrSpeedButton(&host.window);
  solid->setGlyph(glyph({colour}));
  enter(*solid);
  EXPECT_FALSE(solid->mouseInControl());
  EXPECT_EQ(px(shot(*solid), kGlyphInside + 1, kGlyphInside + 1), colour);
}

TEST(SpeedButton, GreyLookKeepsButtonFacePixels) {
  Host host;
  auto* b = new TfrSpeedButton(&host.window);
  b->setFlat(true);
  QImage g = glyph({qRgb(0, 0, 255)});
  g.setPixel(5, 5, kFace);
  g.setPixel(6, 5, qRgb(255, 255, 0));
  b->setGlyph(g);
  const QImage inactive = b->stateImage(TfrSpeedButton::bsInactive).toImage();
  EXPECT_EQ(rgb(inactive.pixel(5, 5)), kFace);
  const int yellow = (77 * 255 + 150 * 255) / 256;
  EXPECT_EQ(rgb(inactive.pixel(6, 5)), qRgb(yellow, yellow, yellow));
  EXPECT_EQ(rgb(inactive.pixel(2, 2)), qRgb(29 * 255 / 256, 29 * 255 / 256, 29 * 255 / 256));
  EXPECT_EQ(qAlpha(inactive.pixel(0, 15)), 0);
}

TEST(SpeedButton, StatesUseTheirOwnImagesWhenTheGlyphHasThem) {
  const QRgb up = qRgb(255, 0, 0), disabled = qRgb(0, 128, 0), down = qRgb(0, 0, 255),
             exclusive = qRgb(255, 255, 0);
  struct Case {
    std::vector<QRgb> images;
    QRgb forDown, forExclusive;
  };
  for (const Case& c : {Case{{up, disabled, down, exclusive}, down, exclusive},
                        Case{{up, disabled, down}, down, up}, Case{{up, disabled}, up, up}}) {
    TfrSpeedButton b;
    b.setPalette(testPalette());
    b.setGlyph(glyph(c.images));
    ASSERT_EQ(b.numGlyphs(), static_cast<int>(c.images.size()));
    const auto at = [&](TfrSpeedButton::TButtonState s) {
      return rgb(b.stateImage(s).toImage().pixel(5, 5));
    };
    EXPECT_EQ(at(TfrSpeedButton::bsUp), up);
    EXPECT_EQ(at(TfrSpeedButton::bsDown), c.forDown) << c.images.size() << " images";
    EXPECT_EQ(at(TfrSpeedButton::bsExclusive), c.forExclusive) << c.images.size() << " images";
    EXPECT_EQ(at(TfrSpeedButton::bsDisabled), disabled);
  }
}

TEST(SpeedButton, OwnDisabledImageTakesTheButtonsColours) {
  TfrSpeedButton b;
  b.setPalette(testPalette());
  QImage g = glyph({qRgb(255, 0, 0), qRgb(10, 20, 30)});
  g.setPixel(16 + 3, 3, kWhite);
  g.setPixel(16 + 4, 3, qRgb(128, 128, 128));
  b.setGlyph(g);
  const QImage d = b.stateImage(TfrSpeedButton::bsDisabled).toImage();
  EXPECT_EQ(rgb(d.pixel(3, 3)), kLight);
  EXPECT_EQ(rgb(d.pixel(4, 3)), kDark);
  EXPECT_EQ(rgb(d.pixel(0, 0)), kFace);
  EXPECT_EQ(rgb(d.pixel(5, 5)), qRgb(10, 20, 30));
}

TEST(SpeedButton, SingleImageIsEmbossedWhenDisabled) {
  Host host;
  host.window.setPalette([] {
    QPalette p = testPalette();
    p.setColor(QPalette::Dark, QColor(60, 60, 60));  // told apart from the glyph's grey
    return p;
  }());
  auto* b = new TfrSpeedButton(&host.window);
  QImage g(16, 16, QImage::Format_RGB32);
  g.fill(kBack);
  g.setPixel(5, 5, qRgb(0, 0, 0));
  g.setPixel(9, 9, kWhite);  // white is background in the embossed shape
  b->setGlyph(g);
  b->setEnabled(false);
  const QImage d = b->stateImage(TfrSpeedButton::bsDisabled).toImage();
  EXPECT_EQ(rgb(d.pixel(5, 5)), qRgb(60, 60, 60));
  EXPECT_EQ(rgb(d.pixel(6, 6)), kLight);
  EXPECT_EQ(qAlpha(d.pixel(9, 9)), 0);
  EXPECT_EQ(qAlpha(d.pixel(10, 10)), 0);
  EXPECT_EQ(qAlpha(d.pixel(4, 4)), 0);
  // On the button: a non-flat button's glyph at (3, 3) plus the pixel.
  const QImage on = shot(*b);
  EXPECT_EQ(px(on, 3 + 5, 3 + 5), qRgb(60, 60, 60));
  EXPECT_EQ(px(on, 3 + 6, 3 + 6), kLight);
  EXPECT_EQ(b->state(), TfrSpeedButton::bsDisabled);
}

TEST(SpeedButton, ExclusiveButtonShowsThePatternAndASunkenFrame) {
  Host host;
  auto* b = new TfrSpeedButton(&host.window);
  b->setFlat(true);
  b->setGroupIndex(1);
  b->setDown(true);
  EXPECT_EQ(b->state(), TfrSpeedButton::bsExclusive);
  const QImage img = shot(*b);
  // Content area starts at (1, 1): white where row and column are both odd or both even.
  EXPECT_EQ(px(img, 1, 1), kWhite);
  EXPECT_EQ(px(img, 2, 1), kFace);
  EXPECT_EQ(px(img, 2, 2), kWhite);
  EXPECT_EQ(px(img, 3, 2), kFace);
  // Sunken: shadow on top and left, highlight at the bottom and right, even with the mouse away.
  EXPECT_EQ(px(img, 5, 0), kDark);
  EXPECT_EQ(px(img, 0, 5), kDark);
  EXPECT_EQ(px(img, 5, 21), kLight);
  EXPECT_EQ(px(img, 21, 5), kLight);
  // With the mouse over it the pattern gives way to the face.
  enter(*b);
  EXPECT_EQ(px(shot(*b), 1, 1), kFace);
  EXPECT_EQ(px(shot(*b), 5, 0), kDark);

  auto* solid = new TfrSpeedButton(&host.window);
  solid->setGroupIndex(2);
  solid->setDown(true);
  const QImage s = shot(*solid);
  EXPECT_EQ(px(s, 10, 10), kWhite);
  EXPECT_EQ(px(s, 11, 10), kFace);
}

TEST(SpeedButton, PressedFlatButtonSinksAndMovesItsGlyph) {
  Host host;
  auto* b = new TfrSpeedButton(&host.window);
  b->setFlat(true);
  QImage g = glyph({qRgb(0, 0, 255)});
  g.setPixel(1, 1, qRgb(255, 0, 0));  // a marker at the glyph's top-left inside
  b->setGlyph(g);
  enter(*b);
  EXPECT_EQ(px(shot(*b), kGlyphInside, kGlyphInside), qRgb(255, 0, 0));
  mouse(*b, QEvent::MouseButtonPress, {10, 10});
  EXPECT_EQ(b->state(), TfrSpeedButton::bsDown);
  const QImage img = shot(*b);
  EXPECT_EQ(px(img, kGlyphInside + 1, kGlyphInside + 1), qRgb(255, 0, 0));
  EXPECT_EQ(px(img, 5, 0), kDark);
  EXPECT_EQ(px(img, 5, 21), kLight);
}

TEST(SpeedButton, ClicksOnlyOnAReleaseInside) {
  Host host;
  auto* b = new TfrSpeedButton(&host.window);
  int clicks = 0;
  QObject::connect(b, &TfrSpeedButton::clicked, [&] { ++clicks; });

  mouse(*b, QEvent::MouseButtonPress, {5, 5});
  mouse(*b, QEvent::MouseMove, {40, 5});
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);
  mouse(*b, QEvent::MouseMove, {6, 6});
  EXPECT_EQ(b->state(), TfrSpeedButton::bsDown);
  mouse(*b, QEvent::MouseMove, {22, 6});  // the right edge is outside
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);
  mouse(*b, QEvent::MouseButtonRelease, {22, 6});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);

  mouse(*b, QEvent::MouseButtonPress, {5, 5});
  mouse(*b, QEvent::MouseButtonRelease, {21, 21});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);

  // A disabled button ignores the mouse; a group button let go outside stays as it was.
  b->setEnabled(false);
  mouse(*b, QEvent::MouseButtonPress, {5, 5});
  mouse(*b, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_EQ(clicks, 1);
  b->setEnabled(true);
  b->setGroupIndex(3);
  mouse(*b, QEvent::MouseButtonPress, {5, 5});
  mouse(*b, QEvent::MouseButtonRelease, {50, 5});
  EXPECT_FALSE(b->down());
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);
  EXPECT_EQ(clicks, 1);
}

TEST(SpeedButton, GroupsKeepOneButtonDown) {
  Host host;
  auto* a = new TfrSpeedButton(&host.window);
  auto* b = new TfrSpeedButton(&host.window);
  auto* other = new TfrSpeedButton(&host.window);
  for (TfrSpeedButton* x : {a, b}) x->setGroupIndex(1);
  other->setGroupIndex(2);
  other->setDown(true);

  a->setDown(true);
  EXPECT_TRUE(a->down());
  b->setDown(true);
  EXPECT_FALSE(a->down());
  EXPECT_EQ(a->state(), TfrSpeedButton::bsUp);
  EXPECT_TRUE(b->down());
  EXPECT_TRUE(other->down()) << "another group is not touched";

  // A down button stays down when clicked, unless the group allows all up.
  mouse(*b, QEvent::MouseButtonPress, {5, 5});
  EXPECT_EQ(b->state(), TfrSpeedButton::bsExclusive);
  // Dragged outside, the down button shows up; back inside, exclusive again.
  mouse(*b, QEvent::MouseMove, {-5, 5});
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);
  mouse(*b, QEvent::MouseMove, {5, 5});
  EXPECT_EQ(b->state(), TfrSpeedButton::bsExclusive);
  mouse(*b, QEvent::MouseMove, {5, 500});
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);
  mouse(*b, QEvent::MouseButtonRelease, {5, 500});
  EXPECT_TRUE(b->down());
  EXPECT_EQ(b->state(), TfrSpeedButton::bsExclusive);
  mouse(*b, QEvent::MouseButtonPress, {5, 5});
  mouse(*b, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_TRUE(b->down());
  b->setDown(false);
  EXPECT_TRUE(b->down());
  a->setAllowAllUp(true);
  EXPECT_TRUE(b->allowAllUp()) << "the group takes over AllowAllUp";
  EXPECT_FALSE(other->allowAllUp());
  mouse(*b, QEvent::MouseButtonPress, {5, 5});
  mouse(*b, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_FALSE(b->down());
  EXPECT_EQ(b->state(), TfrSpeedButton::bsUp);

  // Clicking an up button of the group puts it down.
  mouse(*a, QEvent::MouseButtonPress, {5, 5});
  mouse(*a, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_TRUE(a->down());

  // Without a group index a button cannot be down.
  TfrSpeedButton loose;
  loose.setDown(true);
  EXPECT_FALSE(loose.down());
}

TEST(SpeedButton, DoubleClickOnADownButton) {
  Host host;
  auto* b = new TfrSpeedButton(&host.window);
  int doubles = 0;
  QObject::connect(b, &TfrSpeedButton::doubleClicked, [&] { ++doubles; });
  mouse(*b, QEvent::MouseButtonDblClick, {5, 5});
  mouse(*b, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_EQ(doubles, 0);
  b->setGroupIndex(1);
  b->setDown(true);
  mouse(*b, QEvent::MouseButtonDblClick, {5, 5});
  mouse(*b, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_EQ(doubles, 1);
}

TEST(SpeedButton, AcceleratorKeyClicksAnEnabledButton) {
  Host host;
  auto* b = new TfrSpeedButton(&host.window);
  b->setCaption(QStringLiteral("打印(&P)"));
  b->resize(80, 22);
  int clicks = 0;
  QObject::connect(b, &TfrSpeedButton::clicked, [&] { ++clicks; });
  host.window.show();
  QApplication::setActiveWindow(&host.window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window));
  QTest::keyClick(&host.window, Qt::Key_P, Qt::AltModifier);
  EXPECT_EQ(clicks, 1);
  b->setEnabled(false);
  QTest::keyClick(&host.window, Qt::Key_P, Qt::AltModifier);
  EXPECT_EQ(clicks, 1);
}

TEST(SpeedButton, GlyphAndCaptionFollowLayoutMarginAndSpacing) {
  Host host;
  QFont f = host.window.font();
  f.setPixelSize(12);
  host.window.setFont(f);
  const QRgb red = qRgb(255, 0, 0);
  struct Case {
    TfrSpeedButton::TButtonLayout layout;
    int margin, width, height;
  };
  for (const Case& c :
       {Case{TfrSpeedButton::blGlyphLeft, -1, 100, 30},
        Case{TfrSpeedButton::blGlyphLeft, 5, 100, 30},
        Case{TfrSpeedButton::blGlyphRight, 5, 100, 30}, Case{TfrSpeedButton::blGlyphTop, 3, 60, 50},
        Case{TfrSpeedButton::blGlyphLeft, -1, 130, 30}}) {  // painted directly
    auto* b = new TfrSpeedButton(&host.window);
    b->setGlyph(glyph({red}));
    b->setCaption(QStringLiteral("AB"));
    b->setButtonLayout(c.layout);
    b->setMargin(c.margin);
    b->resize(c.width, c.height);
    const QSize text = b->fontMetrics().size(Qt::TextSingleLine, QStringLiteral("AB"));
    int x = 0, y = 0;
    switch (c.layout) {
      case TfrSpeedButton::blGlyphLeft:
        x = c.margin >= 0 ? c.margin : (c.width - (16 + 4 + text.width()) + 1) / 2;
        y = (c.height - 16 + 1) / 2;
        break;
      case TfrSpeedButton::blGlyphRight:
        x = c.width - c.margin - 16;
        y = (c.height - 16 + 1) / 2;
        break;
      default:
        x = (c.width - 16 + 1) / 2;
        y = c.margin;
        break;
    }
    const QImage img = shot(*b);
    SCOPED_TRACE(::testing::Message()
                 << "layout " << c.layout << " margin " << c.margin << " width " << c.width);
    // The glyph's coloured inside starts one pixel in from the glyph's corner.
    EXPECT_EQ(px(img, x + 1, y + 1), red);
    EXPECT_NE(px(img, x, y + 1), red);
    EXPECT_NE(px(img, x + 1, y), red);
    delete b;
  }
}

TEST(SpeedButton, DisabledCaptionIsDrawnTwice) {
  Host host;
  QFont f = host.window.font();
  f.setPixelSize(14);
  f.setStyleStrategy(QFont::NoAntialias);
  host.window.setFont(f);
  auto* b = new TfrSpeedButton(&host.window);
  b->setFlat(true);
  b->setCaption(QStringLiteral("IIII"));
  b->resize(60, 22);
  b->setEnabled(false);
  const QImage img = shot(*b);
  int grey = 0, whiteBelowRight = 0;
  for (int y = 0; y + 1 < img.height(); ++y)
    for (int x = 0; x + 1 < img.width(); ++x)
      if (px(img, x, y) == qRgb(128, 128, 128)) {
        ++grey;
        const QRgb next = px(img, x + 1, y + 1);
        if (next == kWhite || next == qRgb(128, 128, 128)) ++whiteBelowRight;
      }
  EXPECT_GT(grey, 10);
  EXPECT_EQ(whiteBelowRight, grey);
  bool anyWhite = false;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) anyWhite |= px(img, x, y) == kWhite;
  EXPECT_TRUE(anyWhite);
}

TEST(SpeedButton, RenderedImagesAreSharedPerSizeAndFreedWithTheirButtons) {
  const QSize size(15, 15);  // no other test uses this size
  Host host;
  auto a = std::make_unique<TfrSpeedButton>(&host.window);
  auto b = std::make_unique<TfrSpeedButton>(&host.window);
  a->setGlyph(glyph({qRgb(1, 2, 3)}, 15));
  b->setGlyph(glyph({qRgb(4, 5, 6)}, 15));
  EXPECT_EQ(GlyphImageList::existing(size), nullptr) << "made only when first needed";
  shot(*a);
  shot(*b);
  const std::shared_ptr<GlyphImageList> list = GlyphImageList::existing(size);
  ASSERT_NE(list, nullptr);
  const int afterFirst = list->count();
  EXPECT_EQ(afterFirst, 2) << "one up image for each button";
  shot(*a);
  shot(*b);
  EXPECT_EQ(list->count(), afterFirst) << "images are made once";
  a.reset();
  EXPECT_EQ(list->count(), 1);
  b.reset();
  EXPECT_EQ(list->count(), 0);
  std::weak_ptr<GlyphImageList> watch = list;
  // The test's own reference is the last one now.
  const_cast<std::shared_ptr<GlyphImageList>&>(list).reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(GlyphImageList::existing(size), nullptr);
}

TEST(ToolbarSeparator, EtchedLineAcrossItsMiddle) {
  Host host;
  struct Case {
    TAlign align;
    QSize size;
  };
  for (const Case& c : {Case{TAlign::alLeft, {8, 22}}, Case{TAlign::alRight, {9, 22}},
                        Case{TAlign::alTop, {22, 8}}, Case{TAlign::alBottom, {22, 7}}}) {
    auto* s = new TfrTBSeparator(&host.window);
    setWidgetAlign(s, c.align);
    s->resize(c.size);
    QImage img = shot(*s);
    const bool vertical = c.align == TAlign::alLeft || c.align == TAlign::alRight;
    const int across = (vertical ? c.size.width() : c.size.height()) / 2;
    const int along = vertical ? c.size.height() : c.size.width();
    SCOPED_TRACE(::testing::Message() << "align " << int(c.align));
    const auto at = [&](int a, int b) { return vertical ? px(img, a, b) : px(img, b, a); };
    for (int i = 0; i < along; ++i) {
      const bool onLine = i >= 2 && i <= along - 3;
      EXPECT_EQ(at(across - 1, i), onLine ? kDark : kFace) << i;
      EXPECT_EQ(at(across, i), onLine ? kLight : kFace) << i;
      EXPECT_EQ(at(across + 1, i), kFace) << i;
    }
    s->setDrawBevel(false);
    img = shot(*s);
    EXPECT_EQ(at(across - 1, along / 2), kFace);
    delete s;
  }
}

TEST(ToolbarControls, TakeTheirAlignmentFromThePanel) {
  QWidget window;
  auto* bar = new QWidget(&window);
  auto* panel = new QFrame(bar);
  EXPECT_EQ(widgetAlign(new TfrTBButton(&window)), TAlign::alLeft);
  EXPECT_EQ(widgetAlign(new TfrTBButton(panel)), TAlign::alLeft);
  setWidgetAlign(bar, TAlign::alLeft);
  auto* button = new TfrTBButton(panel);
  auto* separator = new TfrTBSeparator(panel);
  EXPECT_EQ(widgetAlign(button), TAlign::alTop);
  EXPECT_EQ(widgetAlign(separator), TAlign::alTop);
  EXPECT_TRUE(button->flat());
  EXPECT_EQ(separator->size(), QSize(8, 8));
  EXPECT_TRUE(separator->drawBevel());
  setWidgetAlign(bar, TAlign::alBottom);
  button->setParent(nullptr);
  button->setParent(panel);
  EXPECT_EQ(widgetAlign(button), TAlign::alLeft);
  delete button;
}

// A strip of toolbar buttons in every state, saved for looking at when KELPO_SCREENSHOT_DIR
// names a folder; checks that each state looks different from the plain one.
TEST(ToolbarControls, StripOfButtonsInEveryState) {
  QWidget strip;
  QPalette toolbar = testPalette();
  toolbar.setColor(QPalette::Window, QColor(kFace));  // the buttons sit on a toolbar
  strip.setPalette(toolbar);
  strip.setAutoFillBackground(true);
  QFont f = strip.font();
  f.setPixelSize(12);
  strip.setFont(f);
  // A small printer: grey body, white paper, a green light; a second image for disabled.
  QImage g(32, 16, QImage::Format_RGB32);
  g.fill(kBack);
  QPainter gp(&g);
  for (int i = 0; i < 2; ++i) {
    const int o = i * 16;
    gp.fillRect(o + 4, 1, 8, 5, i ? QColor(255, 255, 255) : QColor(255, 255, 255));
    gp.setPen(i ? QColor(128, 128, 128) : QColor(0, 0, 0));
    gp.drawRect(o + 4, 1, 7, 5);
    gp.fillRect(o + 1, 6, 14, 7, i ? QColor(128, 128, 128) : QColor(40, 90, 160));
    gp.drawRect(o + 1, 6, 13, 6);
    gp.fillRect(o + 11, 8, 2, 2, i ? QColor(255, 255, 255) : QColor(0, 200, 0));
    gp.fillRect(o + 4, 11, 8, 3, QColor(255, 255, 255));
  }
  gp.end();
  const QImage single = g.copy(0, 0, 16, 16);

  struct Item {
    const char* label;
    QWidget* widget;
  };
  std::vector<Item> items;
  const auto add = [&](const char* label, bool flat, const QImage& glyph) {
    auto* b = flat ? new TfrTBButton(&strip) : new TfrSpeedButton(&strip);
    b->setGlyph(glyph);
    items.push_back({label, b});
    return b;
  };
  add("inactive", true, single);
  enter(*add("hot", true, single));
  {
    TfrSpeedButton* b = add("pressed", true, single);
    enter(*b);
    mouse(*b, QEvent::MouseButtonPress, {5, 5});
  }
  {
    TfrSpeedButton* b = add("exclusive", true, single);
    b->setGroupIndex(1);
    b->setDown(true);
  }
  {
    TfrSpeedButton* b = add("excl.+hot", true, single);
    b->setGroupIndex(2);
    b->setDown(true);
    enter(*b);
  }
  add("embossed", true, single)->setEnabled(false);
  add("own disab.", true, g)->setEnabled(false);
  auto* sep = new TfrTBSeparator(&strip);
  sep->resize(8, 22);
  items.push_back({"sep", sep});
  add("up", false, single);
  {
    TfrSpeedButton* b = add("down", false, single);
    mouse(*b, QEvent::MouseButtonPress, {5, 5});
  }
  {
    TfrSpeedButton* b = add("exclusive", false, single);
    b->setGroupIndex(3);
    b->setDown(true);
  }
  add("disabled", false, single)->setEnabled(false);
  {
    TfrSpeedButton* b = add("caption", true, single);
    b->setCaption(QStringLiteral("打印(&P)"));
    b->resize(64, 22);
    enter(*b);
  }
  {
    TfrSpeedButton* b = add("top", false, single);
    b->setCaption(QStringLiteral("预览"));
    b->setButtonLayout(TfrSpeedButton::blGlyphTop);
    b->setMargin(2);
    b->setSpacing(1);
    b->resize(40, 36);
  }
  {
    TfrSpeedButton* b = add("caption off", false, single);
    b->setCaption(QStringLiteral("关闭"));
    b->resize(56, 22);
    b->setEnabled(false);
  }

  int x = 4;
  for (const Item& it : items) {
    it.widget->move(x, 4);
    auto* label = new QLabel(QString::fromUtf8(it.label), &strip);
    QFont lf = f;
    lf.setPixelSize(9);
    label->setFont(lf);
    label->adjustSize();
    label->move(x, 44);
    x += std::max(it.widget->width(), label->width()) + 6;
  }
  strip.resize(x, 58);
  const QImage img = shot(strip);

  // Each state shows something the plain, inactive button does not.
  const auto patch = [&](QWidget* w) { return img.copy(QRect(w->pos(), w->size())); };
  const QImage plain = patch(items[0].widget);
  for (std::size_t i = 1; i < 7; ++i) EXPECT_NE(patch(items[i].widget), plain) << items[i].label;
  EXPECT_NE(patch(items[8].widget), patch(items[9].widget));

  const QByteArray dir = qgetenv("KELPO_SCREENSHOT_DIR");
  if (!dir.isEmpty()) {
    QDir().mkpath(QString::fromLocal8Bit(dir));
    EXPECT_TRUE(img.scaled(img.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .save(QString::fromLocal8Bit(dir) + QStringLiteral("/toolbar-buttons.png")));
  }
}

}  // namespace
}  // namespace kelpo::report
