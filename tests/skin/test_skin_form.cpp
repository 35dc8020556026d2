// Skinned frames on real widgets: metrics and kept client sizes, the shape, the caption, the
// title-bar buttons and the mouse in the frame, and putting the window back as it was.
#include <QDialog>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include "skin/skin_form.h"
#include "skin/skin_manager.h"
#include "skin/skin_stream.h"
#include "tests/skin/support_frame.h"

namespace kelpo::skin::testing {
namespace {

class SkinFormTest : public FrameTest {
 protected:
  // Shows `window`, which the manager skins, and runs its first layout.
  TWinSkinForm* skin(QWidget* window) {
    if (!data) data = makeData(owner.get());
    window->show();  // showing it skins it; one shown before skinning began is skinned now
    if (!TSkinManage::instance()->findFrame(window))
      EXPECT_TRUE(TSkinManage::instance()->skinWindow(window));
    settle();
    return TSkinManage::instance()->findFrame(window);
  }
  static void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                    Qt::MouseButtons held) {
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  static void click(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    mouse(w, QEvent::MouseButtonPress, at, button, button);
    mouse(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
  }
  static void activate(QWidget* w, bool on) {
    QEvent e(on ? QEvent::WindowActivate : QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(w, &e);
  }
  static const TWinSysButton* button(TWinSkinForm* f, int action) {
    for (const auto& b : f->buttons())
      if (b->action() == action && f->buttonVisible(*b)) return b.get();
    return nullptr;
  }
};

TEST_F(SkinFormTest, FixedSizeFormGrowsByTheFrameAndComesBackExactly) {
  QDialog form;
  form.setWindowTitle("Fixed");
  auto* ok = new QPushButton("OK", &form);
  ok->setGeometry(10, 12, 60, 24);
  form.setFixedSize(200, 100);
  const Qt::WindowFlags flags = form.windowFlags();
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ((std::array{f->L, f->T, f->R, f->B, f->M}), (std::array{4, 20, 3, 4, 0}));
  EXPECT_EQ(f->lifeState(), TWinSkinForm::Ready);
  // The client keeps its size; the controls keep their places inside it.
  EXPECT_EQ(form.size(), QSize(207, 124));
  EXPECT_EQ(ok->geometry(), QRect(14, 32, 60, 24));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));

  TSkinManage::instance()->removeFrame(&form);
  EXPECT_EQ(form.size(), QSize(200, 100));
  EXPECT_EQ(form.minimumSize(), QSize(200, 100));
  EXPECT_EQ(form.maximumSize(), QSize(200, 100));
  EXPECT_EQ(ok->geometry(), QRect(10, 12, 60, 24));
  EXPECT_EQ(form.windowFlags(), flags);
  EXPECT_TRUE(form.mask().isEmpty());
  EXPECT_TRUE(form.isVisible());
}

TEST_F(SkinFormTest, MainWindowMenuBarMovesIntoTheFrameAndBack) {
  QMainWindow form;
  form.menuBar()->addMenu("&File")->addAction("Open");
  auto* central = new QWidget;
  central->setFixedSize(300, 150);
  form.setCentralWidget(central);
  form.layout()->setSizeConstraint(QLayout::SetFixedSize);
  form.show();
  QCoreApplication::processEvents();
  const QRect centralBefore = central->geometry();
  const QSize before = form.size();
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  EXPECT_GT(f->M, 0);
  EXPECT_FALSE(form.menuBar()->isVisible());
  form.layout()->activate();
  EXPECT_EQ(central->size(), QSize(300, 150));
  EXPECT_EQ(central->pos(), QPoint(4, 20 + f->M));
  EXPECT_EQ(form.size(), QSize(307, 150 + 20 + f->M + 4));

  TSkinManage::instance()->removeFrame(&form);
  form.layout()->activate();
  EXPECT_TRUE(form.menuBar()->isVisible());
  EXPECT_EQ(central->geometry(), centralBefore);
  EXPECT_EQ(form.size(), before);
  EXPECT_EQ(form.contentsMargins(), QMargins());
}

TEST_F(SkinFormTest, PiecesDrawActiveAndInactiveFramesAndTheCaptionText) {
  QDialog form;
  form.setFixedSize(300, 120);
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  activate(&form, true);
  form.setWindowTitle("");
  QImage empty = render(&form);
  form.setWindowTitle("MMMMMMMM");
  QImage active = render(&form);
  const QRect caption(f->L, 0, form.width() - f->L - f->R, f->T);
  EXPECT_EQ(countColour(empty, caption, kCaptionActive), 0);
  EXPECT_GT(countColour(active, caption, kCaptionActive), 20);
  EXPECT_EQ(active.pixelColor(1, 60), kLeftColour);
  EXPECT_EQ(active.pixelColor(form.width() - 1, 60), kRightColour);
  EXPECT_EQ(active.pixelColor(150, form.height() - 1), kBottomColour);
  // The top piece: fixed ends, stretched middle.
  EXPECT_EQ(active.pixelColor(f->L + 2, 1), kTopEdge);
  EXPECT_EQ(active.pixelColor(f->L + 150, 1), kTopMiddle);

  activate(&form, false);
  QImage inactive = render(&form);
  EXPECT_EQ(countColour(inactive, caption, kCaptionActive), 0);
  EXPECT_GT(countColour(inactive, caption, kCaptionInactive), 20);
  EXPECT_EQ(inactive.pixelColor(1, 60), kLeftInactive);
  EXPECT_EQ(inactive.pixelColor(f->L + 150, 1), kTopInactive);
}

TEST_F(SkinFormTest, TopPieceOfANarrowWindowDropsItsFixedEnds) {
  QDialog form;
  form.setFixedSize(40, 60);  // top piece 40 wide, narrower than its ends (25 + 25)
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  activate(&form, true);
  const QImage image = render(&form);
  // The whole frame stretched: its ends stay at the ends, its middle is in the middle (with
  // the fixed ends kept, the first 25 pixels would all be the end colour).
  EXPECT_EQ(image.pixelColor(f->L + 1, 1), kTopEdge);
  EXPECT_EQ(image.pixelColor(f->L + 20, 1), kTopMiddle);
}

TEST_F(SkinFormTest, ShapeComesFromTheMagentaKeyedPieces) {
  struct Case {
    const char* name;
    FrameSkinOptions options;
    QPoint outside;  // a keyed pixel, in window coordinates of a 100 x 60 client
  };
  const Case cases[] = {
      {"no transparent piece", {}, QPoint(-1, -1)},
      {"only the bottom piece", {.bottomTrans = true}, QPoint(4 + 1, 20 + 60 + 2)},
      {"bottom key with tolerance", {.bottomTrans = true}, QPoint(4 + 2, 20 + 60 + 1)},
      {"left piece", {.leftTrans = true}, QPoint(1, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto form = std::make_unique<QDialog>(owner.get());
    form->setWindowFlags(Qt::Dialog);
    form->setFixedSize(100, 60);
    auto* d = new TSkinData(form.get());
    d->readSkinStream(frameSkinStream(c.options));
    d->formDataLoaded();
    d->setSkinFormtype(TSkinFormType::sfOnlyThisForm);
    TSkinManage::instance()->setSkinning(true);
    form->show();
    settle();
    ASSERT_NE(TSkinManage::instance()->findFrame(form.get()), nullptr);
    const QRegion mask = form->mask();
    const QRect all(0, 0, 107, 84);
    EXPECT_EQ(form->size(), all.size());
    if (c.outside.x() < 0) {
      EXPECT_EQ(mask, QRegion(all));
    } else {
      EXPECT_FALSE(mask.contains(c.outside));
      EXPECT_TRUE(mask.contains(QPoint(50, 40)));
      EXPECT_TRUE(mask.contains(QPoint(50, 83)));  // the rest of the bottom piece
      EXPECT_TRUE(mask.contains(QPoint(50, 1)));   // the caption
    }
    TSkinManage::instance()->removeFrame(form.get());
    EXPECT_TRUE(form->mask().isEmpty());
  }
}

TEST_F(SkinFormTest, WindowIconKeepsItsSoftEdgesWithoutTheKeyColour) {
  // A red disc with anti-aliased edges: blended over the magenta key, its rim turned pink.
  QPixmap disc(32, 32);
  disc.fill(Qt::transparent);
  {
    QPainter p(&disc);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    p.drawEllipse(QRectF(3.5, 3.5, 25, 25));
  }
  QWidget form;
  form.setWindowIcon(QIcon(disc));
  form.resize(200, 100);
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  const QImage icon = f->windowIcon().convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(icon.isNull());
  int soft = 0;
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x) {
      const QRgb px = icon.pixel(x, y);
      if (qAlpha(px) == 0) continue;
      if (qAlpha(px) < 255) ++soft;
      EXPECT_LT(qBlue(px), 40) << x << "," << y;
    }
  EXPECT_GT(soft, 0) << "the rim keeps its partial transparency";
  TSkinManage::instance()->removeFrame(&form);
}

TEST_F(SkinFormTest, ButtonsShowAsTheWindowsCapabilitiesAndStateSay) {
  struct Case {
    const char* name;
    Qt::WindowFlags flags;
    bool resizable;
    bool close, maximise, minimise;
  };
  const Case cases[] = {
      {"all boxes", Qt::Window, true, true, true, true},
      {"minimise only",
       Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint,
       false, true, false, true},
      {"fixed size cannot be maximised", Qt::Window, false, true, false, true},
      {"dialog", Qt::Dialog, true, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto form = std::make_unique<QWidget>(nullptr, c.flags);
    if (c.resizable)
      form->resize(200, 100);
    else
      form->setFixedSize(200, 100);
    TWinSkinForm* f = skin(form.get());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(button(f, 0) != nullptr, c.close);
    EXPECT_EQ(button(f, 1) != nullptr, c.maximise);
    EXPECT_EQ(button(f, 2) != nullptr, c.minimise);
    TSkinManage::instance()->removeFrame(form.get());
  }
}

TEST_F(SkinFormTest, CloseRunsOnlyWhenReleasedOnThePressedButton) {
  QWidget form;
  form.resize(200, 100);
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  activate(&form, true);
  render(&form);  // lays the buttons out
  const TWinSysButton* close = button(f, 0);
  ASSERT_NE(close, nullptr);
  const QPoint on = close->rect.center();
  EXPECT_EQ(close->rect.topLeft(), QPoint(form.width() - 20, 3));

  // Hover makes it hot (frame 3), pressing pressed (frame 2).
  mouse(&form, QEvent::MouseMove, on, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(close->state, TNCObject::Hot);
  EXPECT_EQ(render(&form).pixelColor(on), kButtonFrames[2]);
  mouse(&form, QEvent::MouseButtonPress, on, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(close->state, TNCObject::Pressed);
  EXPECT_EQ(render(&form).pixelColor(on), kButtonFrames[1]);
  // Off the button onto the caption, released there: the window stays.
  const QPoint off(40, 10);
  mouse(&form, QEvent::MouseMove, off, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(f->current(), nullptr);
  mouse(&form, QEvent::MouseButtonRelease, off, Qt::LeftButton, Qt::NoButton);
  settle();
  EXPECT_TRUE(form.isVisible());

  click(&form, on);
  settle();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(SkinFormTest, MaximiseAndMinimiseButtonsAndDoubleClicks) {
  QWidget resizable;
  resizable.resize(200, 100);
  TWinSkinForm* f = skin(&resizable);
  ASSERT_NE(f, nullptr);
  activate(&resizable, true);
  render(&resizable);
  click(&resizable, button(f, 1)->rect.center());
  settle();
  EXPECT_TRUE(resizable.isMaximized());
  render(&resizable);
  // Maximised: the restore button takes the maximise button's place.
  const TWinSysButton* restore = button(f, 1);
  ASSERT_NE(restore, nullptr);
  EXPECT_EQ(restore->skin().visibility, 1);
  QTest::mouseDClick(&resizable, Qt::LeftButton, {}, QPoint(60, 10));
  settle();
  EXPECT_FALSE(resizable.isMaximized());
  QTest::mouseDClick(&resizable, Qt::LeftButton, {}, QPoint(60, 10));
  settle();
  EXPECT_TRUE(resizable.isMaximized());
  resizable.showNormal();
  settle();
  render(&resizable);
  click(&resizable, button(f, 2)->rect.center());
  settle();
  EXPECT_TRUE(resizable.isMinimized());

  // No maximise box: a double click does nothing.
  QWidget fixed;
  fixed.setFixedSize(200, 100);
  TWinSkinForm* g = skin(&fixed);
  ASSERT_NE(g, nullptr);
  QTest::mouseDClick(&fixed, Qt::LeftButton, {}, QPoint(60, 10));
  settle();
  EXPECT_FALSE(fixed.isMaximized());
  EXPECT_EQ(fixed.size(), QSize(207, 124));
}

TEST_F(SkinFormTest, RightClickOpensTheWindowMenuAndASecondOneClosesTheWindow) {
  QWidget form;
  form.resize(200, 100);
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  click(&form, QPoint(60, 10), Qt::RightButton);
  QMenu* menu = f->windowMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  QStringList texts;
  for (QAction* a : menu->actions()) texts << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(texts,
            QStringList({" Restore ", " Maximize ", " Minimize ", "-", " Close \tShift+F4"}));
  EXPECT_FALSE(menu->actions().front()->isEnabled());  // already in the normal state
  // The second right click within the double-click time.
  click(&form, QPoint(60, 10), Qt::RightButton);
  settle();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(SkinFormTest, WindowMenuShowsTheGlyphsOnlyWithTheSystemMenuSkinned) {
  QWidget form;
  form.resize(200, 100);
  data = makeData(owner.get(), {}, TSkinControls::all().without(xcSystemMenu));
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->windowMenu()->actions().front()->icon().isNull());
  EXPECT_EQ(f->windowMenu()->property("Tag").toInt(), 99);  // keeps its plain look
  TSkinManage::instance()->removeFrame(&form);
  data->setSkinControls(TSkinControls::all());
  f = skin(&form);
  EXPECT_FALSE(f->windowMenu()->actions().front()->icon().isNull());
}

TEST_F(SkinFormTest, BordersResizeOnlyResizableWindowsAndTheCaptionMoves) {
  QWidget resizable, fixed;
  resizable.resize(200, 100);
  fixed.setFixedSize(200, 100);
  skin(&resizable);
  skin(&fixed);
  for (QWidget* w : {&resizable, &fixed}) {
    const QRect before = w->geometry();
    const QPoint edge(w->width() - 1, 60);
    mouse(w, QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
    mouse(w, QEvent::MouseMove, edge + QPoint(30, 0), Qt::NoButton, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, edge + QPoint(30, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w->width(), before.width() + (w == &resizable ? 30 : 0));
  }
  const QPoint at = fixed.pos();
  mouse(&fixed, QEvent::MouseButtonPress, QPoint(60, 10), Qt::LeftButton, Qt::LeftButton);
  mouse(&fixed, QEvent::MouseMove, QPoint(80, 25), Qt::NoButton, Qt::LeftButton);
  mouse(&fixed, QEvent::MouseButtonRelease, QPoint(80, 25), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(fixed.pos(), at + QPoint(20, 15));
}

TEST_F(SkinFormTest, ControlsObjectGoesBeforeTheFrameRestores) {
  QDialog form;
  form.setFixedSize(200, 100);
  data = makeData(owner.get());
  QStringList seen;
  class Controls : public QObject {
   public:
    Controls(QWidget* w, QStringList& log) : w_(w), log_(log) {}
    ~Controls() override {
      log_ << (w_->windowFlags().testFlag(Qt::FramelessWindowHint) ? "framed" : "plain");
    }
    QWidget* w_;
    QStringList& log_;
  };
  TSkinManage::instance()->skinControls = [&](QWidget* w, TSkinData* d) {
    EXPECT_EQ(d, data);
    return std::unique_ptr<QObject>(new Controls(w, seen));
  };
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f->controls(), nullptr);
  TSkinManage::instance()->removeFrame(&form);
  EXPECT_EQ(seen, QStringList({"framed"}));
}

// A form that places its panel itself, in its contents rectangle, whenever it is resized.
class HandLaidForm : public QWidget {
 public:
  HandLaidForm() { panel = new QWidget(this); }
  QWidget* panel;

 protected:
  void resizeEvent(QResizeEvent*) override { panel->setGeometry(contentsRect()); }
};

TEST_F(SkinFormTest, FormPlacingItsControlsByHandLaysThemOutInsideTheFrame) {
  HandLaidForm form;
  form.resize(200, 100);
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(form.panel->geometry(), QRect(4, 20, 200, 100));  // moved once, not twice
  TSkinManage::instance()->removeFrame(&form);
  EXPECT_EQ(form.panel->geometry(), QRect(0, 0, 200, 100));
}

TEST_F(SkinFormTest, LoadingAnotherSkinRebuildsTheFrameWithoutTheOldSkinsObjects) {
  QDialog form;
  form.setFixedSize(200, 100);
  TWinSkinForm* f = skin(&form);
  ASSERT_NE(f, nullptr);
  ASSERT_FALSE(f->buttons().empty());
  // Another skin file: the same skin whose left piece is keyed.
  QTemporaryDir dir;
  const QString path = dir.filePath("other.skin");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string packed = readSkinStream(frameSkinStream({.leftTrans = true}));
    file.write(packed.data(), static_cast<qint64>(packed.size()));
  }
  data->setSkinFile(path);
  // The old objects are gone; the frame holds none of them while the command waits.
  EXPECT_TRUE(f->buttons().empty());
  render(&form);
  TSkinManage::instance()->runCommand();
  EXPECT_FALSE(f->buttons().empty());
  EXPECT_EQ(form.size(), QSize(207, 124));
  EXPECT_FALSE(form.mask().contains(QPoint(1, 1)));  // the new skin's shape
  render(&form);
}

}  // namespace
}  // namespace kelpo::skin::testing
