// The picture view: its picture from the template, a blob field or a file, its record block,
// its output into prepared pages and its painting (stretched, keeping the aspect, centred).
#include "report/core/picture_view.h"

#include <QFileInfo>
#include <QPainter>

#include "platform/database.h"
#include "platform/error.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "report/core/view_painting.h"
#include "report/expr/datasets.h"
#include "report/expr/variables.h"

namespace kelpo::report {

namespace {

// Blob types (what a bound field holds) numbered against graphic kinds (what a record holds).
GraphicKind kindOfBlobType(std::uint8_t blobType) {
  switch (blobType) {
    case 1:
      return GraphicKind::Jpeg;
    case 2:
      return GraphicKind::Icon;
    case 3:
      return GraphicKind::Metafile;
    default:
      return GraphicKind::Bitmap;
  }
}

constexpr std::uint8_t kLastGraphicKind = 4;

const Graphic& emptyGraphic() {
  static const Graphic none;
  return none;
}

// LOADFROMFILE is given stored recipe paths with backslashes; the file they mean is the one
// with '/' where the exact name does not exist.
bool pictureFileExists(const QString& path) {
  if (path.isEmpty()) return false;
  if (QFileInfo(path).isFile()) return true;
  return path.contains(u'\\') && QFileInfo(QString(path).replace(u'\\', u'/')).isFile();
}

}  // namespace

QRect pictureTarget(const QRect& drawRect, QSize objectSize, QSize picture, double scaleX,
                    double scaleY, std::uint16_t flags) {
  // drawRect's right and bottom are exclusive: its width is right - left.
  const int left = drawRect.left(), top = drawRect.top();
  const int width = drawRect.right() - left, height = drawRect.bottom() - top;
  const double pw = picture.width(), ph = picture.height();
  QRect target;
  if (flags & flStretched) {
    target = QRect(left, top, width, height);
    if (flags & flPictRatio) {
      const double kx = objectSize.width() / pw, ky = objectSize.height() / ph;
      if (kx >= ky)
        target.setWidth(roundEven(pw * ky));
      else
        target.setHeight(roundEven(ph * kx));
      if (flags & flPictCenter)
        target.translate((width - target.width()) / 2, (height - target.height()) / 2);
    }
  } else {
    target = QRect(left, top, roundEven(pw * scaleX), roundEven(ph * scaleY));
    if (flags & flPictCenter)
      target.translate((width - target.width()) / 2, (height - target.height()) / 2);
  }
  return target;
}

TfrPictureView::TfrPictureView() {
  typ = gtPicture;
  baseName = "Picture";
  flags = flStretched | flPictRatio;
  // Expressions name the blob types; every new picture view registers them again.
  static const char* const kBlobTypeNames[] = {"btBMP", "btJPG", "btICO", "btWMF"};
  for (int i = 0; i < 4; ++i) Constants().SetVariable(kBlobTypeNames[i], Value(i));
}

void TfrPictureView::loadFromStream(TfrReader& r, const TfrStreamContext& ctx) {
  TfrView::loadFromStream(r, ctx);
  graphicKind = r.u8();
  if (graphicKind > kLastGraphicKind) throw StreamError("unknown graphic kind");
  if (recordVersion() > 10) blobType = r.u8();
  std::int32_t end = r.i32();
  if (end < 0 || static_cast<std::size_t>(end) < r.pos()) throw StreamError("bad graphic end");
  graphicData.clear();
  if (graphicKind != 0) graphicData = r.bytes(static_cast<std::size_t>(end) - r.pos());
  r.seek(static_cast<std::size_t>(end));
}

void TfrPictureView::saveToStream(TfrWriter& w) const {
  TfrView::saveToStream(w);
  w.u8(graphicKind);
  w.u8(blobType);
  std::size_t at = w.placeholder();
  if (graphicKind != 0) w.bytes(graphicData);
  w.patchI32(at, static_cast<std::int32_t>(w.pos()));
}

const Graphic& TfrPictureView::graphic() const {
  if (graphicKind == 0) return emptyGraphic();
  if (!decoded_ || decodedKind_ != graphicKind || decodedData_ != graphicData) {
    decoded_.reset();
    const QByteArray bytes(graphicData.data(), static_cast<qsizetype>(graphicData.size()));
    decoded_ = std::make_shared<const Graphic>(
        Graphic::decode(static_cast<GraphicKind>(graphicKind), bytes));
    decodedKind_ = graphicKind;
    decodedData_ = graphicData;
  }
  return *decoded_;
}

void TfrPictureView::setGraphic(std::uint8_t kind, std::string bytes) {
  if (kind == 0 || kind > kLastGraphicKind)
    throw DecoderError(fromQString(QStringLiteral("未知的图片种类（%1）").arg(kind)));
  const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  auto decoded = std::make_shared<const Graphic>(Graphic::decode(GraphicKind(kind), data));
  graphicKind = kind;
  graphicData = std::move(bytes);
  decoded_ = std::move(decoded);
  decodedKind_ = graphicKind;
  decodedData_ = graphicData;
}

void TfrPictureView::clearGraphic() {
  graphicKind = 0;
  graphicData.clear();
  decoded_.reset();
  decodedData_.clear();
}

void TfrPictureView::loadFromFile(const std::string& fileName) {
  const QString path = toQString(fileName);
  if (!pictureFileExists(path)) {
    clearGraphic();
    return;
  }
  PictureFile file = readPictureFile(path);
  graphicKind = static_cast<std::uint8_t>(file.kind);
  graphicData.assign(file.bytes.constData(), static_cast<std::size_t>(file.bytes.size()));
  decoded_ = std::make_shared<const Graphic>(std::move(file.graphic));
  decodedKind_ = graphicKind;
  decodedData_ = graphicData;
}

void TfrPictureView::LoadFromField(Query* dataset, const std::string& field) {
  const QString name = toQString(field);
  if (!dataset->isActive()) dataset->open();
  if (dataset->isNull(name)) {
    clearGraphic();
    return;
  }
  QByteArray bytes;
  AssignBlobTo(dataset, name, [&](const QByteArray& b) { bytes = b; });
  if (bytes.isEmpty()) {
    clearGraphic();
    return;
  }
  setGraphic(static_cast<std::uint8_t>(kindOfBlobType(blobType)),
             std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

Value TfrPictureView::picture() const {
  if (graphicKind == 0) return Value(std::string());
  return Value(std::string(1, static_cast<char>(graphicKind)) + graphicData);
}

void TfrPictureView::setPicture(const Value& value) {
  const std::string text = value.toText();
  if (text.empty()) {
    clearGraphic();
    return;
  }
  setGraphic(static_cast<std::uint8_t>(text[0]), text.substr(1));
}

void TfrPictureView::EmitPrepared(TfrWriter& stream) {
  // A picture the template holds is checked before it is written, so that a damaged one is
  // reported by the build instead of silently printing nothing; one bound to a field is
  // replaced (and checked) when the field is loaded.
  if (!cachedDataset) graphic();
  TfrView::EmitPrepared(stream);
}

void TfrPictureView::Paint(QPainter& canvas) {
  PrepareDrawing();
  ApplyScale();
  PaintBackground(canvas);
  const Graphic* g = nullptr;
  try {
    g = &graphic();
  } catch (const Error&) {
    // A damaged picture draws like an empty one; the build reported it when it was output.
  }
  const bool icon = g && g->kind() == GraphicKind::Icon;
  if (g && !g->isEmpty() && !g->size().isEmpty() && !(printing && icon)) {
    double sx = scaleX, sy = scaleY;
    if (frDocMode() == TfrDocMode::Template) sx = sy = 1.0;
    const QRect target = pictureTarget(drawRect, QSize(dx, dy), g->size(), sx, sy, flags);
    if (printing && !g->isMetafile()) {
      // Printers get the picture as a 24-bit image of its own size, stretched without
      // smoothing; transparent parts are paper.
      QImage sheet(g->size(), QImage::Format_RGB888);
      sheet.fill(Qt::white);
      {
        QPainter p(&sheet);
        p.drawImage(0, 0, g->image());
      }
      canvas.save();
      canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
      canvas.drawImage(target, sheet);
      canvas.restore();
    } else {
      g->draw(canvas, target);
    }
  }
  PaintFrame(canvas);
  RestoreGeometry();
}

}  // namespace kelpo::report
