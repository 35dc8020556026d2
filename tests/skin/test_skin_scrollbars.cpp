// Skinned scroll bars: thumb metrics, arrows and thumbs on rendered pixels, pressed arrows,
// dragging the thumb scrolling the control, and skins without the arrow image.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextCursor>

#include "skin/skin_control.h"
#include "skin/skin_control_set.h"
#include "skin/skin_data.h"
#include "skin/skin_scrollbar.h"
#include "tests/skin/support_controls.h"

namespace kelpo::skin {
namespace {

using namespace testing;

TEST(ScrollBarMetrics, ThumbLengthAndOffsetFollowPageAndPosition) {
  struct Case {
    const char* name;
    ScrollInfo info;
    int length, arrow;
    bool standAlone;
    int thumb, offset;
  };
  const Case cases[] = {
      // track 100; page 10 of range 99 (0..109 counting the page)
      {"middle", {0, 109, 10, 50, 50}, 132, 16, false, 9, 46},
      {"small page gets the least thumb", {0, 1000, 1, 0, 0}, 132, 16, false, 8, 0},
      {"page equal to range: one shorter, at the start", {0, 10, 10, 3, 3}, 132, 16, false, 99, 0},
      {"no range: no thumb", {5, 5, 0, 5, 5}, 132, 16, false, 0, 0},
      {"stand-alone, no page: arrow-long thumb", {0, 100, 0, 100, 100}, 132, 16, true, 16, 83},
      {"stand-alone whole page", {0, 9, 10, 0, 0}, 132, 16, true, 99, 0},
      {"stand-alone negative range", {10, 0, 1, 0, 0}, 132, 16, true, 0, 0},
  };
  for (const Case& c : cases) {
    const BarMetrics m = barMetrics(c.length, c.arrow, c.info, c.standAlone);
    EXPECT_EQ(m.thumb, c.thumb) << c.name;
    EXPECT_EQ(m.offset, c.offset) << c.name;
  }
}

TEST(ScrollBarMetrics, HitTestAndDragPosition) {
  const BarMetrics m = barMetrics(132, 16, {0, 109, 10, 50, 50}, false);
  EXPECT_EQ(hitTestBar(m, 3), BarPart::LineUp);
  EXPECT_EQ(hitTestBar(m, 20), BarPart::PageUp);
  EXPECT_EQ(hitTestBar(m, 16 + 46 + 4), BarPart::Thumb);
  EXPECT_EQ(hitTestBar(m, 100), BarPart::PageDown);
  EXPECT_EQ(hitTestBar(m, 120), BarPart::LineDown);
  EXPECT_EQ(hitTestBar(m, 140), BarPart::None);
  int offset = 500;  // far past the end: stops at maximum − page + 1
  EXPECT_EQ(dragPosition(m, {0, 109, 10, 50, 50}, offset), 100);
  EXPECT_EQ(offset, 100);
  offset = -40;
  EXPECT_EQ(dragPosition(m, {0, 109, 10, 50, 50}, offset), 0);
}

class SkinScrollBarTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureApplication(); }
  void SetUp() override {
    form.resize(300, 250);
    memo = new QPlainTextEdit(&form);
    memo->setGeometry(10, 10, 160, 120);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QStringLiteral("第%1行 ").arg(i).repeated(6);
    memo->setPlainText(lines.join('\n'));
    form.show();
  }
  QScrollBar* bar() const { return memo->verticalScrollBar(); }
  int b() const { return bar()->width(); }
  QWidget form;
  QPlainTextEdit* memo = nullptr;
};

TEST_F(SkinScrollBarTest, ArrowsShaftAndThumbComeFromTheSkin) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto set = SkinControlsOf(&form, data);
  const int h = bar()->height();
  EXPECT_EQ(pixel(bar(), {b() / 2, b() / 2}), artColour(Art::Arrows, 9));
  EXPECT_EQ(pixel(bar(), {b() / 2, h - 1 - b() / 2}), artColour(Art::Arrows, 13));
  // At the top the thumb starts right after the up arrow; the shaft fills the rest.
  EXPECT_EQ(pixel(bar(), {b() / 2, b() + 2}), artColour(Art::VertThumb, 1));
  EXPECT_EQ(pixel(bar(), {b() / 2, h - b() - 2}), artColour(Art::VertShaft, 1));
  // The horizontal bar, too.
  QScrollBar* horizontal = memo->horizontalScrollBar();
  EXPECT_EQ(pixel(horizontal, {horizontal->height() / 2, horizontal->height() / 2}),
            artColour(Art::Arrows, 1));
}

TEST_F(SkinScrollBarTest, PressingAnArrowScrollsAndShowsItPressed) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto set = SkinControlsOf(&form, data);
  const QPoint down(b() / 2, bar()->height() - 1 - b() / 2);
  sendPress(bar(), down);
  EXPECT_EQ(bar()->value(), bar()->singleStep());
  EXPECT_EQ(pixel(bar(), down), artColour(Art::Arrows, 14));
  sendRelease(bar(), down);
  EXPECT_EQ(pixel(bar(), down), artColour(Art::Arrows, 13));
  EXPECT_EQ(bar()->value(), bar()->singleStep());
}

TEST_F(SkinScrollBarTest, DraggingTheThumbScrollsTheControlAndStopsAtTheEnd) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto set = SkinControlsOf(&form, data);
  int moved = 0, released = 0;
  QObject::connect(bar(), &QAbstractSlider::sliderMoved, [&] { ++moved; });
  QObject::connect(bar(), &QAbstractSlider::sliderReleased, [&] { ++released; });
  const int firstLine = memo->cursorForPosition(QPoint(2, 2)).blockNumber();
  const QPoint thumb(b() / 2, b() + 3);
  sendPress(bar(), thumb);
  EXPECT_EQ(pixel(bar(), thumb), artColour(Art::VertThumb, 2));  // pressed thumb
  sendMove(bar(), thumb + QPoint(0, 30), true);
  EXPECT_GT(bar()->value(), 0);
  EXPECT_GT(memo->cursorForPosition(QPoint(2, 2)).blockNumber(), firstLine);
  sendMove(bar(), thumb + QPoint(0, 5000), true);
  sendRelease(bar(), thumb + QPoint(0, 5000));
  EXPECT_EQ(bar()->value(), bar()->maximum());
  EXPECT_GE(moved, 2);
  EXPECT_EQ(released, 1);
  EXPECT_FALSE(bar()->isSliderDown());
}

TEST_F(SkinScrollBarTest, ShortBarSplitsItsLengthBetweenTheArrows) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto* standAlone = new QScrollBar(Qt::Vertical, &form);
  standAlone->setGeometry(200, 10, 16, 20);
  standAlone->show();
  auto set = SkinControlsOf(&form, data);
  EXPECT_EQ(pixel(standAlone, {8, 9}), artColour(Art::Arrows, 9));
  EXPECT_EQ(pixel(standAlone, {8, 10}), artColour(Art::Arrows, 13));
}

TEST_F(SkinScrollBarTest, SkinWithoutArrowImageLeavesTheBarsToThePlatform) {
  ControlSkinOptions options;
  options.arrows = false;
  TSkinData* data = loadSkin(&form, controlSkin(options));
  const QImage before = rendered(bar());
  auto set = SkinControlsOf(&form, data);
  EXPECT_EQ(rendered(bar()), before);
  sendPress(bar(), {b() / 2, bar()->height() - 1 - b() / 2});
  sendRelease(bar(), {b() / 2, bar()->height() - 1 - b() / 2});
  EXPECT_GT(bar()->value(), 0);  // the platform's own arrow still scrolls
}

TEST_F(SkinScrollBarTest, ListViewBarsAndHeaderAreSkinned) {
  TSkinData* data = loadSkin(&form, controlSkin());
  auto* table = new QTableWidget(50, 3, &form);
  table->setGeometry(10, 140, 200, 100);
  table->setHorizontalHeaderLabels(
      {QStringLiteral("名称"), QStringLiteral("类别"), QStringLiteral("日期")});
  table->show();
  auto set = SkinControlsOf(&form, data);
  QScrollBar* v = table->verticalScrollBar();
  EXPECT_EQ(pixel(v, {v->width() / 2, v->width() / 2}), artColour(Art::Arrows, 9));
  QWidget* header = table->horizontalHeader()->viewport();
  EXPECT_EQ(pixel(header, {1, 1}), artColour(Art::Header, 1));
  // Pressing the painted thumb starts the bar's own drag, which scrolls the table.
  const QPoint thumb(v->width() / 2, v->width() + 3);
  sendPress(v, thumb);
  EXPECT_TRUE(v->isSliderDown());
  EXPECT_EQ(pixel(v, thumb), artColour(Art::VertThumb, 2));
  sendMove(v, thumb + QPoint(0, 25), true);
  EXPECT_GT(v->value(), 0);
  sendRelease(v, thumb + QPoint(0, 25));
  EXPECT_FALSE(v->isSliderDown());
  EXPECT_EQ(pixel(v, thumb), artColour(Art::VertShaft, 1));
}

}  // namespace
}  // namespace kelpo::skin
