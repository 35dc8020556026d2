// The painting operations every skinned part shares: frames of a strip, the nine-part and
// three-part builds, tiling or stretching, and the 0xFF00FF transparency key. Built images are
// cached per object, frame and size.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <functional>
#include <map>
#include <tuple>

class QPainter;

namespace kelpo::skin {

class TDataSkinObject;

inline constexpr QRgb kTransparentKey = 0xFFFF00FF;

class TSkinPainter {
 public:
  // Frame k (1-based) of a strip of `count` images side by side, or stacked from the top.
  static QRect frameRect(const QImage& bitmap, int count, int frame, bool stacked = false);
  // The bitmap with its 0xFF00FF pixels made fully transparent.
  static QImage keyed(const QImage& bitmap);

  // Frame `frame` of the object built to `size` with its fixed margins; the centre stretched,
  // or tiled when the object's tile flag is set. Transparent objects come back keyed.
  // `tile` overrides the object's flag when 0 or 1 (frame pieces keep their Stretch value
  // there, where 1 means stretch).
  QImage nineBuild(const TDataSkinObject& object, int frame, QSize size, bool stacked = false,
                   int tile = -1);
  // Left piece, middle slice repeated (or stretched), right piece, each at the frame's full height
  // stretched to the size's height (the caption's text background).
  QImage threeBuild(const TDataSkinObject& object, const QImage& bitmap, int frameCount, int frame,
                    QSize size, int left, int right, bool stacked, bool transparent,
                    bool stretchMiddle = false);

  // The nine-part build drawn at `dest`. Nothing for a rectangle turned inside out.
  void drawNine(QPainter& p, const TDataSkinObject& object, int frame, const QRect& dest,
                bool stacked = false, int tile = -1);
  // The pixels of the nine-part build that are not the transparency key (red 255, green 0 or
  // 1, blue 255), as a region at `origin`; the whole rectangle for an object without
  // transparency.
  QRegion opaqueRegion(const TDataSkinObject& object, int frame, const QRect& dest,
                       bool stacked = false, int tile = -1);
  // The nine-part pieces without the centre, which keeps what the target shows.
  void drawBorder(QPainter& p, const TDataSkinObject& object, int frame, const QRect& dest,
                  bool stacked = false);
  // Frame `frame` stretched to `dest`.
  void drawFrame(QPainter& p, const TDataSkinObject& object, int frame, const QRect& dest,
                 bool stacked = false);

  void clear() { cache_.clear(); }
  std::size_t cachedImages() const { return cache_.size(); }

 private:
  enum class Kind { Nine, Border, Three };
  // (object, bitmap, kind, frame, width, height, stacked, left, right, tile)
  using Key = std::tuple<const void*, qint64, int, int, int, int, bool, int, int, int>;
  QImage build(const TDataSkinObject& object, int frame, QSize size, bool stacked, bool centre,
               int tile, bool key = true);
  const QImage& cached(const Key& key, const std::function<QImage()>& make);

  std::map<Key, QImage> cache_;
};

}  // namespace kelpo::skin
