// Decoding a stored picture by its kind: JPEG through the libjpeg-turbo decoder, BMP and ICO
// through Qt's readers, metafiles through the metafile converter.
#include "platform/graphic.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include "platform/error.h"
#include "platform/metafile.h"
#include "platform/picture.h"
#include "platform/text.h"

namespace kelpo {
namespace {

QImage readWithQt(const QByteArray& bytes, const char* format) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setDecideFormatFromContent(false);
  QImage image = reader.read();
  if (image.isNull())
    throw DecoderError(
        fromQString(QStringLiteral("图像数据无法解码（%1）").arg(reader.errorString())));
  return image;
}

}  // namespace

Graphic Graphic::decode(GraphicKind kind, const QByteArray& bytes) {
  Graphic g;
  switch (kind) {
    case GraphicKind::None:
      return g;
    case GraphicKind::Bitmap:
      g.image_ = readWithQt(bytes, "bmp");
      break;
    case GraphicKind::Icon:
      g.image_ = readWithQt(bytes, "ico");
      break;
    case GraphicKind::Jpeg:
      g.image_ = decodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size()));
      break;
    case GraphicKind::Metafile:
      g.metafile_ = std::make_shared<const Metafile>(Metafile::decode(bytes));
      break;
    default:
      throw DecoderError(fromQString(QStringLiteral("未知的图片种类（%1）").arg(int(kind))));
  }
  g.kind_ = kind;
  return g;
}

QSize Graphic::size() const {
  if (metafile_) return metafile_->size();
  return image_.size();
}

void Graphic::draw(QPainter& canvas, const QRect& target) const {
  if (metafile_) {
    metafile_->draw(canvas, QRectF(target));
  } else if (!image_.isNull()) {
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    canvas.drawImage(target, image_);
    canvas.restore();
  }
}

QImage Graphic::toImage() const {
  if (metafile_) return metafile_->toImage();
  return image_;
}

}  // namespace kelpo
