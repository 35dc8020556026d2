// Metafile pictures (enhanced and old-style Windows metafiles): checked record by record,
// converted to SVG and drawn with Qt Svg, so they stay vector drawings on every device.
#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <memory>

class QImage;
class QPainter;
class QSvgRenderer;

namespace kelpo {

class Metafile {
 public:
  // Decodes an enhanced metafile or an old-style one (with or without the placeable header),
  // told apart by their content. Anything damaged or of another format raises DecoderError with
  // a reason for the user; the converters only ever see files whose records all lie within the
  // data and are sound.
  static Metafile decode(const QByteArray& bytes);

  bool enhanced() const { return enhanced_; }
  // The picture's size in pixels at 96 dots per inch, from the file's own frame.
  QSize size() const { return size_; }
  // Draws the whole picture stretched into `target`.
  void draw(QPainter& canvas, const QRectF& target) const;
  // The picture drawn at its own size on white (a very large one shrunk to at most 2048
  // pixels a side).
  QImage toImage() const;
  // The SVG document the picture was converted to.
  QByteArray svg() const { return svg_; }

 private:
  QByteArray svg_;
  std::shared_ptr<QSvgRenderer> renderer_;
  QSize size_;
  bool enhanced_ = false;
};

}  // namespace kelpo
