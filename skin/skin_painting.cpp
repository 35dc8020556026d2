// Nine-part and three-part builds of skin strips, with results kept per object, frame and size.
#include "skin/skin_painting.h"

#include <QPainter>
#include <functional>
#include <vector>

#include "skin/skin_objects.h"

namespace kelpo::skin {
namespace {

constexpr std::size_t kCacheLimit = 512;

// Copies with stretching and no smoothing, so pixel art stays crisp.
void piece(QPainter& p, const QImage& src, const QRect& from, const QRect& to) {
  if (from.width() <= 0 || from.height() <= 0 || to.width() <= 0 || to.height() <= 0) return;
  p.drawImage(to, src, from);
}

QImage canvas(QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

QRect TSkinPainter::frameRect(const QImage& bitmap, int count, int frame, bool stacked) {
  if (count < 1) count = 1;
  if (frame < 1) frame = 1;
  if (stacked) {
    const int h = bitmap.height() / count;
    return QRect(0, h * (frame - 1), bitmap.width(), h);
  }
  const int w = bitmap.width() / count;
  return QRect(w * (frame - 1), 0, w, bitmap.height());
}

QImage TSkinPainter::keyed(const QImage& bitmap) {
  QImage out = bitmap.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] | 0xFF000000) == kTransparentKey) line[x] = 0;
  }
  return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const QImage& TSkinPainter::cached(const Key& key, const std::function<QImage()>& make) {
  auto it = cache_.find(key);
  if (it != cache_.end()) return it->second;
  if (cache_.size() >= kCacheLimit) cache_.clear();
  return cache_.emplace(key, make()).first->second;
}

QImage TSkinPainter::build(const TDataSkinObject& o, int frame, QSize size, bool stacked,
                           bool centre, int tile, bool key) {
  QImage out = canvas(size);
  if (o.bitmap.isNull() || size.isEmpty()) return out;
  const QImage src = o.trans && key ? keyed(o.bitmap) : o.bitmap;
  const QRect f = frameRect(o.bitmap, o.frameCount, frame, stacked);
  const int D = size.width(), E = size.height();
  int L = o.leftWidth, T = o.topHeight, R = o.rightWidth, B = o.bottomHeight;
  if (D < L + R) L = R = 0;
  if (E < T + B) T = B = 0;
  const int fx = f.x(), fy = f.y(), fw = f.width(), fh = f.height();
  const int mw = fw - L - R, mh = fh - T - B;  // the source's middle
  const int cw = D - L - R, ch = E - T - B;    // the destination's middle

  QPainter p(&out);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  if (L * T > 0) piece(p, src, {fx, fy, L, T}, {0, 0, L, T});
  if (L * B > 0) piece(p, src, {fx, fy + fh - B, L, B}, {0, E - B, L, B});
  if (R * T > 0) piece(p, src, {fx + fw - R, fy, R, T}, {D - R, 0, R, T});
  if (L > 0) piece(p, src, {fx, fy + T, L, mh}, {0, T, L, ch});
  if (T > 0) piece(p, src, {fx + L, fy, mw, T}, {L, 0, cw, T});
  if (centre && mw > 0 && mh > 0) {
    if (tile) {
      // Repeats run over the centre; the right and bottom pieces painted next cover them.
      for (int y = T; y < T + ch; y += mh)
        for (int x = L; x < L + cw; x += mw)
          piece(p, src, {fx + L, fy + T, mw, mh}, {x, y, mw, mh});
    } else {
      piece(p, src, {fx + L, fy + T, mw, mh}, {L, T, cw, ch});
    }
  }
  if (R * B > 0) piece(p, src, {fx + fw - R, fy + fh - B, R, B}, {D - R, E - B, R, B});
  if (R > 0) piece(p, src, {fx + fw - R, fy + T, R, mh}, {D - R, T, R, ch});
  if (B > 0) piece(p, src, {fx + L, fy + fh - B, mw, B}, {L, E - B, cw, B});
  return out;
}

QImage TSkinPainter::nineBuild(const TDataSkinObject& o, int frame, QSize size, bool stacked,
                               int tile) {
  if (tile < 0) tile = o.tile;
  const Key key{&o,
                o.bitmap.cacheKey(),
                static_cast<int>(Kind::Nine),
                frame,
                size.width(),
                size.height(),
                stacked,
                0,
                0,
                tile};
  return cached(key, [&] { return build(o, frame, size, stacked, true, tile); });
}

QImage TSkinPainter::threeBuild(const TDataSkinObject& o, const QImage& bitmap, int frameCount,
                                int frame, QSize size, int left, int right, bool stacked,
                                bool transparent, bool stretchMiddle) {
  const Key key{&o,
                bitmap.cacheKey(),
                static_cast<int>(Kind::Three),
                frame,
                size.width(),
                size.height(),
                stacked,
                left,
                right,
                stretchMiddle ? 1 : 0};
  return cached(key, [&] {
    QImage out = canvas(size);
    if (bitmap.isNull() || size.isEmpty()) return out;
    const QImage src = transparent ? keyed(bitmap) : bitmap;
    const QRect f = frameRect(bitmap, frameCount, frame, stacked);
    const int D = size.width(), E = size.height();
    const int mw = f.width() - left - right;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    piece(p, src, {f.x(), f.y(), left, f.height()}, {0, 0, left, E});
    if (mw > 0 && stretchMiddle)
      piece(p, src, {f.x() + left, f.y(), mw, f.height()}, {left, 0, D - left - right, E});
    else if (mw > 0)
      for (int x = left; x < D - right; x += mw)
        piece(p, src, {f.x() + left, f.y(), mw, f.height()}, {x, 0, mw, E});
    piece(p, src, {f.x() + f.width() - right, f.y(), right, f.height()}, {D - right, 0, right, E});
    return out;
  });
}

void TSkinPainter::drawNine(QPainter& p, const TDataSkinObject& o, int frame, const QRect& dest,
                            bool stacked, int tile) {
  if (dest.width() <= 0 || dest.height() <= 0) return;
  p.drawImage(dest.topLeft(), nineBuild(o, frame, dest.size(), stacked, tile));
}

QRegion TSkinPainter::opaqueRegion(const TDataSkinObject& o, int frame, const QRect& dest,
                                   bool stacked, int tile) {
  if (dest.width() <= 0 || dest.height() <= 0) return {};
  if (!o.trans || o.bitmap.isNull()) return QRegion(dest);
  if (tile < 0) tile = o.tile;
  const QImage image = build(o, frame, dest.size(), stacked, true, tile, false)
                           .convertToFormat(QImage::Format_RGB32);
  // One-pixel-high runs per row, gathered and turned into a region in batches.
  std::vector<QRect> runs;
  QRegion region;
  auto flush = [&] {
    QRegion part;
    part.setRects(runs.data(), static_cast<int>(runs.size()));
    region += part;
    runs.clear();
  };
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    int start = -1;
    for (int x = 0; x <= image.width(); ++x) {
      bool counted = false;
      if (x < image.width()) {
        const QRgb c = line[x];
        counted = !(qRed(c) == 255 && qGreen(c) <= 1 && qBlue(c) == 255);
      }
      if (counted && start < 0) start = x;
      if (!counted && start >= 0) {
        runs.emplace_back(dest.x() + start, dest.y() + y, x - start, 1);
        start = -1;
      }
    }
    if (runs.size() >= 2000) flush();
  }
  if (!runs.empty()) flush();
  return region;
}

void TSkinPainter::drawBorder(QPainter& p, const TDataSkinObject& o, int frame, const QRect& dest,
                              bool stacked) {
  if (dest.width() <= 0 || dest.height() <= 0) return;
  const Key key{&o,
                o.bitmap.cacheKey(),
                static_cast<int>(Kind::Border),
                frame,
                dest.width(),
                dest.height(),
                stacked,
                0,
                0,
                o.tile};
  p.drawImage(dest.topLeft(),
              cached(key, [&] { return build(o, frame, dest.size(), stacked, false, o.tile); }));
}

void TSkinPainter::drawFrame(QPainter& p, const TDataSkinObject& o, int frame, const QRect& dest,
                             bool stacked) {
  if (dest.width() <= 0 || dest.height() <= 0 || o.bitmap.isNull()) return;
  const QRect f = frameRect(o.bitmap, o.frameCount, frame, stacked);
  if (o.trans) {
    const Key key{&o, o.bitmap.cacheKey(), -1, 0, 0, 0, false, 0, 0, 0};
    p.drawImage(dest, cached(key, [&] { return keyed(o.bitmap); }), f);
  } else {
    p.drawImage(dest, o.bitmap, f);
  }
}

}  // namespace kelpo::skin
