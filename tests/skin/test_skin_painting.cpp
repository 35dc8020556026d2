// The shared painting builds: frames of a strip, nine-part build with stretching and tiling,
// the margin rule for small sizes, the three-part build, the transparency key, the cache.
#include <gtest/gtest.h>

#include <QPainter>

#include "skin/skin_objects.h"
#include "skin/skin_painting.h"

namespace kelpo::skin {
namespace {

// A 2-frame strip of 6 x 6 frames; in frame 2 the 2-pixel margins are red, the centre is a
// 2 x 2 checker of green and blue.
TDataSkinObject object() {
  TDataSkinObject o;
  o.bitmap = QImage(12, 6, QImage::Format_RGB32);
  o.bitmap.fill(Qt::black);
  for (int y = 0; y < 6; ++y)
    for (int x = 6; x < 12; ++x) {
      const bool centre = x >= 8 && x < 10 && y >= 2 && y < 4;
      o.bitmap.setPixel(x, y, !centre ? 0xFFFF0000 : ((x + y) % 2 ? 0xFF00FF00 : 0xFF0000FF));
    }
  o.frameCount = 2;
  o.leftWidth = o.topHeight = o.rightWidth = o.bottomHeight = 2;
  return o;
}

QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000; }

TEST(SkinPainting, FramesOfAStrip) {
  const QImage strip(30, 12, QImage::Format_RGB32);
  EXPECT_EQ(TSkinPainter::frameRect(strip, 3, 2), QRect(10, 0, 10, 12));
  EXPECT_EQ(TSkinPainter::frameRect(strip, 3, 3, true), QRect(0, 8, 30, 4));
  EXPECT_EQ(TSkinPainter::frameRect(strip, 4, 1), QRect(0, 0, 7, 12));  // integer division
}

TEST(SkinPainting, NinePartBuildKeepsMarginsAndStretchesOrTilesTheCentre) {
  TSkinPainter painter;
  TDataSkinObject o = object();
  const QImage stretched = painter.nineBuild(o, 2, QSize(10, 8));
  EXPECT_EQ(stretched.size(), QSize(10, 8));
  for (auto [x, y] : {std::pair{0, 0}, {1, 7}, {9, 0}, {8, 7}, {5, 0}, {0, 4}})
    EXPECT_EQ(at(stretched, x, y), 0xFFFF0000u) << x << "," << y;
  // The 2 x 2 centre stretched to 6 x 4: each source pixel covers 3 x 2.
  EXPECT_EQ(at(stretched, 2, 2), at(stretched, 4, 3));
  EXPECT_NE(at(stretched, 2, 2), at(stretched, 5, 2));

  o.tile = 1;
  const QImage tiled = painter.nineBuild(o, 2, QSize(10, 8));
  // Tiles repeat every 2 pixels from the centre's top left.
  EXPECT_EQ(at(tiled, 2, 2), at(tiled, 4, 2));
  EXPECT_EQ(at(tiled, 3, 3), at(tiled, 7, 5));
  EXPECT_NE(at(tiled, 2, 2), at(tiled, 3, 2));
  EXPECT_EQ(at(tiled, 9, 5), 0xFFFF0000u);  // the right piece covers the last tile
}

TEST(SkinPainting, MarginsLargerThanTheSizeAreDropped) {
  TSkinPainter painter;
  const TDataSkinObject o = object();
  // 3 wide is less than 2 + 2: the whole frame is stretched horizontally, so a centre column
  // appears at the middle.
  const QImage narrow = painter.nineBuild(o, 2, QSize(3, 12));
  EXPECT_NE(at(narrow, 1, 5), 0xFFFF0000u);
  EXPECT_EQ(at(narrow, 1, 0), 0xFFFF0000u);
}

TEST(SkinPainting, TransparencyKeyBorderOnlyAndEmptyRectangles) {
  TSkinPainter painter;
  TDataSkinObject o = object();
  o.bitmap.setPixel(6, 0, 0xFFFF00FF);
  o.trans = 1;
  const QImage built = painter.nineBuild(o, 2, QSize(6, 6));
  EXPECT_EQ(qAlpha(built.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(built.pixel(1, 0)), 255);

  QImage target(8, 8, QImage::Format_RGB32);
  target.fill(Qt::white);
  {
    QPainter p(&target);
    painter.drawBorder(p, o, 2, QRect(1, 1, 6, 6));
    painter.drawNine(p, o, 2, QRect(5, 5, -2, 3));  // inside out: nothing
    painter.drawFrame(p, o, 2, QRect(0, 0, 0, 0));
  }
  EXPECT_EQ(at(target, 3, 3), 0xFFFFFFFFu);  // the centre keeps the target
  EXPECT_EQ(at(target, 2, 1), 0xFFFF0000u);
  EXPECT_EQ(at(target, 1, 1), 0xFFFFFFFFu);  // keyed pixel
  EXPECT_EQ(at(target, 0, 0), 0xFFFFFFFFu);
}

TEST(SkinPainting, ThreePartBuildRepeatsTheMiddle) {
  TSkinPainter painter;
  TDataSkinObject o = object();
  const QImage built = painter.threeBuild(o, o.bitmap, 2, 2, QSize(11, 3), 2, 2, false, false);
  EXPECT_EQ(built.size(), QSize(11, 3));
  EXPECT_EQ(at(built, 0, 1), 0xFFFF0000u);
  EXPECT_EQ(at(built, 10, 1), 0xFFFF0000u);
  // The middle slice is 2 wide and repeats from x = 2.
  EXPECT_EQ(at(built, 2, 1), at(built, 4, 1));
  EXPECT_EQ(at(built, 3, 1), at(built, 5, 1));
}

TEST(SkinPainting, BuildsAreCachedPerObjectFrameAndSize) {
  TSkinPainter painter;
  const TDataSkinObject o = object();
  const QImage a = painter.nineBuild(o, 2, QSize(10, 8));
  EXPECT_EQ(painter.nineBuild(o, 2, QSize(10, 8)).cacheKey(), a.cacheKey());
  EXPECT_NE(painter.nineBuild(o, 1, QSize(10, 8)).cacheKey(), a.cacheKey());
  EXPECT_NE(painter.nineBuild(o, 2, QSize(10, 9)).cacheKey(), a.cacheKey());
  EXPECT_EQ(painter.cachedImages(), 3u);
}

}  // namespace
}  // namespace kelpo::skin
