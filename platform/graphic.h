// A decoded picture of any kind the report engine stores (bitmap, metafile, icon, JPEG image),
// made from the bytes of the graphic's own file form and drawn stretched into a rectangle.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <memory>

class QPainter;

namespace kelpo {

class Metafile;

// Numbered as the report engine's records number them.
enum class GraphicKind : std::uint8_t { None = 0, Bitmap = 1, Metafile = 2, Icon = 3, Jpeg = 4 };

class Graphic {
 public:
  Graphic() = default;
  // Decodes `bytes`, the file form of a picture of `kind` (a BMP file, a metafile, an ICO file,
  // a JPEG file). Damaged data raises DecoderError; kind None gives the empty graphic.
  static Graphic decode(GraphicKind kind, const QByteArray& bytes);

  GraphicKind kind() const { return kind_; }
  bool isEmpty() const { return kind_ == GraphicKind::None; }
  bool isMetafile() const { return kind_ == GraphicKind::Metafile; }
  // Pixels; a metafile's at 96 dots per inch.
  QSize size() const;
  // The raster image of a bitmap, icon or JPEG image; null for a metafile.
  const QImage& image() const { return image_; }
  // Draws the picture stretched into `target`.
  void draw(QPainter& canvas, const QRect& target) const;
  // The picture at its own size (a metafile drawn on white).
  QImage toImage() const;

 private:
  GraphicKind kind_ = GraphicKind::None;
  QImage image_;
  std::shared_ptr<const Metafile> metafile_;
};

}  // namespace kelpo
