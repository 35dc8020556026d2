// Painting shared by all views: scaled geometry with halves rounded to even, the drawing
// rectangle inside frame lines, backgrounds, styled frames and band alignment.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "report/core/band.h"
#include "report/core/page.h"
#include "report/core/view_painting.h"
#include "report/expr/engine_state.h"
#include "tests/report/core/support_output.h"

namespace kelpo::report {
namespace {

using testing::keepImage;

class ViewPainting : public ::testing::Test {
 protected:
  ViewPainting() { frDocMode() = TfrDocMode::Output; }
  ~ViewPainting() override { frDocMode() = TfrDocMode::Template; }
};

TEST_F(ViewPainting, ApplyScaleRoundsHalvesToEven) {
  struct Case {
    int x, y, dx, dy;
    float frame;
    std::uint16_t lines;
    double scale;
    int ox;
    QRect geometry;  // scaled x, y, width, height
    int gapX, gapY;
    QRect drawRect;
  } cases[] = {
      // 2.5 → 2, 7.5 → 8: halves go to the even neighbour.
      {5,
       15,
       10,
       3,
       1.0f,
       0,
       0.5,
       0,
       {2, 8, 5, 2},
       0 + 1,
       0 + 0,
       QRect(QPoint(2, 8), QPoint(8, 9))},
      // Frame of width 3 on all sides: the rectangle moves in by half the pen on each side.
      {10,
       10,
       40,
       20,
       3.0f,
       15,
       1.0,
       100,
       {110, 10, 40, 20},
       2 + 2,
       1 + 1,
       QRect(QPoint(111, 11), QPoint(148, 28))},
  };
  for (const Case& c : cases) {
    TfrView v;
    v.x = c.x, v.y = c.y, v.dx = c.dx, v.dy = c.dy;
    v.frameWidth = c.frame;
    v.frameTyp = c.lines;
    v.scaleX = v.scaleY = c.scale;
    v.offsetX = c.ox;
    v.ApplyScale();
    EXPECT_EQ(QRect(v.x, v.y, v.dx, v.dy), c.geometry) << c.x;
    EXPECT_EQ(v.gapX, c.gapX) << c.x;
    EXPECT_EQ(v.gapY, c.gapY) << c.x;
    EXPECT_EQ(v.drawRect, c.drawRect) << c.x;
    v.RestoreGeometry();
    EXPECT_EQ(QRect(v.x, v.y, v.dx, v.dy), QRect(c.x, c.y, c.dx, c.dy));
    EXPECT_EQ(v.frameWidth, c.frame);
  }
  // Templates are drawn at scale 1 whatever the view's scale.
  frDocMode() = TfrDocMode::Template;
  TfrView t;
  t.x = 7, t.dx = 9;
  t.scaleX = 3;
  t.ApplyScale();
  EXPECT_EQ(std::make_pair(t.x, t.dx), std::make_pair(7, 9));
}

// A styled frame wider than one pixel is drawn as side-by-side one-pixel lines with the fill
// colour behind the gaps.
TEST_F(ViewPainting, WideDashedFrameKeepsTheFillBehindItsGaps) {
  TfrView v;
  v.x = 10, v.y = 10, v.dx = 80, v.dy = 40;
  v.frameTyp = 8;  // top line
  v.frameStyle = 1;
  v.frameWidth = 3;
  v.fillColor = 0x0000FF;  // red
  QImage image(100, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter canvas(&image);
    v.ApplyScale();
    v.PaintBackground(canvas);
    v.PaintFrame(canvas);
    v.RestoreGeometry();
  }
  keepImage(image, "frame_dashed_3");
  int black = 0, red = 0, white = 0;
  for (int y = 9; y <= 11; ++y)
    for (int x = 12; x < 88; ++x) {
      const QRgb p = image.pixel(x, y);
      if (qGray(p) < 40)
        ++black;
      else if (qRed(p) > 200 && qGreen(p) < 60)
        ++red;
      else
        ++white;
    }
  // Three rows of dashes over the fill: both colours, and nothing left unpainted.
  EXPECT_GT(black, 3 * 76 / 3);
  EXPECT_GT(red, 3 * 76 / 8);
  EXPECT_EQ(white, 0);
}

TEST_F(ViewPainting, BandAlignment) {
  TfrPage page;
  page.changePaper(9, 2100, 2970, 0xFFFF, 0);
  page.marginLeft = 20;
  page.marginRight = 30;
  const int left = page.leftMargin(), right = page.rightEdge();
  TfrBand band;
  band.page = &page;
  band.y = 100;
  band.dx = right;
  auto add = [&](int x, int y, int dx, std::uint8_t align) {
    auto v = std::make_unique<TfrView>();
    v->x = x, v->y = y, v->dx = dx, v->dy = 10;
    v->bandAlign = align;
    v->parent = &band;
    page.objects.push_back(std::move(v));
    return page.objects.back().get();
  };
  TfrView* l1 = add(300, 100, 50, 1);
  TfrView* l2 = add(400, 100, 60, 1);
  TfrView* r1 = add(600, 100, 40, 2);
  TfrView* rest = add(500, 100, 10, 7);
  TfrView* centre = add(0, 120, 100, 3);
  TfrView* width = add(50, 140, 10, 4);
  TfrView* otherRow = add(450, 160, 20, 1);
  for (const auto& v : page.objects) v->PrepareDrawing();
  EXPECT_EQ(l1->x, left);
  EXPECT_EQ(l2->x, left + 50 + 1);     // right after l1
  EXPECT_EQ(r1->x, right - 40);        // nothing to its right
  EXPECT_EQ(rest->x, l2->x + 60 + 1);  // between l2 and r1
  EXPECT_EQ(rest->dx, r1->x - 1 - rest->x);
  EXPECT_EQ(centre->x, left + (right - left - 100) / 2);
  EXPECT_EQ(otherRow->x, left);  // a row of its own
  // Width alignment spans the edges in the designer; while preparing it waits for output.
  EXPECT_EQ(std::make_pair(width->x, width->dx), std::make_pair(50, 10));
  frDocMode() = TfrDocMode::Template;
  width->PrepareDrawing();
  EXPECT_EQ(std::make_pair(width->x, width->dx), std::make_pair(left, right - 1 - left));
}

}  // namespace
}  // namespace kelpo::report
