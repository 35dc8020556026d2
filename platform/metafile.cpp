// Metafiles are converted to SVG by Debian's converters (enhanced metafiles by libemf2svg,
// old-style ones by libwmf's SVG device) and drawn with Qt Svg. Neither converter guards
// itself against damaged files, so every record is first checked here and by libUEMF's record
// checks (metafile_records.cpp): a converter only sees a file whose records are whole and sound.
#include "platform/metafile.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/error.h"
#include "platform/metafile_records.h"
#include "platform/text.h"

namespace kelpo {
namespace {

constexpr std::uint32_t kEmfHeaderType = 1;
constexpr std::uint32_t kEmfEof = 14;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kEmfMinHeader = 88;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableSize = 22;
constexpr int kWmfHeaderSize = 18;
// A picture of a report or a recipe is never larger than this many pixels a side; a damaged
// frame claiming more would make every drawing of it enormous.
constexpr int kMaxSide = 10000;
// Images made from a metafile for display stay within this many pixels a side.
constexpr int kMaxImageSide = 2048;

[[noreturn]] void damaged(const char* reason) {
  throw DecoderError(
      fromQString(QStringLiteral("图元文件已损坏（%1）").arg(QString::fromUtf8(reason))));
}

std::uint32_t u32(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<std::uint32_t>(b.constData() + at);
}
std::int32_t i32(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<std::int32_t>(b.constData() + at);
}
std::uint16_t u16(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<std::uint16_t>(b.constData() + at);
}
std::int16_t i16(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<std::int16_t>(b.constData() + at);
}

bool isEnhanced(const QByteArray& b) {
  return b.size() >= qsizetype(kEmfMinHeader) && u32(b, 0) == kEmfHeaderType &&
         u32(b, 40) == kEmfSignature;
}

QSize checkedSize(double w, double h) {
  const int iw = static_cast<int>(std::lround(w)), ih = static_cast<int>(std::lround(h));
  if (!(w > 0 && h > 0) || iw <= 0 || ih <= 0) damaged("图片尺寸为零");
  if (iw > kMaxSide || ih > kMaxSide) damaged("图片尺寸过大");
  return {iw, ih};
}

// Every record must lie inside the data, pass libUEMF's check of its own fields, and the
// records must end with an end-of-file record.
void checkEnhancedRecords(const QByteArray& b) {
  const std::uint32_t headerSize = u32(b, 4);
  if (headerSize < kEmfMinHeader || headerSize % 4 != 0 || headerSize > std::uint32_t(b.size()))
    damaged("文件头大小不对");
  qsizetype at = 0;
  for (;;) {
    if (b.size() - at < 8) damaged("记录不完整");
    const std::uint32_t type = u32(b, at), size = u32(b, at + 4);
    if (size < 8 || size % 4 != 0 || size > std::uint64_t(b.size() - at)) damaged("记录长度不对");
    // The check reads the record it is given in place; a copy gives it aligned memory.
    const QByteArray record = b.mid(at, size);
    if (!metafile_records::enhancedRecordSound(record.constData())) damaged("记录内容不对");
    if (type == kEmfEof) return;
    at += size;
  }
}

QSize enhancedSize(const QByteArray& b) {
  // The frame is in hundredths of a millimetre, both edges inclusive.
  const double fw = double(i32(b, 32)) - i32(b, 24), fh = double(i32(b, 36)) - i32(b, 28);
  if (fw > 0 && fh > 0) return checkedSize(fw * 96 / 2540, fh * 96 / 2540);
  const double bw = double(i32(b, 16)) - i32(b, 8) + 1, bh = double(i32(b, 20)) - i32(b, 12) + 1;
  return checkedSize(bw, bh);
}

QByteArray enhancedToSvg(QByteArray b) {
  generatorOptions options{};
  char noNamespace[] = "";
  options.nameSpace = noNamespace;
  options.verbose = false;
  // EMF+ records ride in comments with plain records beside them; the plain ones are drawn.
  options.emfplus = false;
  options.svgDelimiter = true;
  char* out = nullptr;
  std::size_t length = 0;
  const int ok = emf2svg(b.data(), static_cast<std::size_t>(b.size()), &out, &length, &options);
  QByteArray svg = out ? QByteArray(out, static_cast<qsizetype>(length)) : QByteArray();
  std::free(out);
  if (!ok || svg.isEmpty()) damaged("无法转换");
  return svg;
}

struct WmfLayout {
  qsizetype headerAt = 0;  // of the standard header, after the placeable one when present
  bool placeable = false;
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;
  std::uint16_t inch = 0;
};

WmfLayout wmfLayout(const QByteArray& b) {
  WmfLayout l;
  if (b.size() >= 4 && u32(b, 0) == kPlaceableKey) {
    if (b.size() < kPlaceableSize + kWmfHeaderSize) damaged("文件头不完整");
    l.placeable = true;
    l.left = i16(b, 6), l.top = i16(b, 8), l.right = i16(b, 10), l.bottom = i16(b, 12);
    l.inch = u16(b, 14);
    l.headerAt = kPlaceableSize;
  }
  if (b.size() - l.headerAt < kWmfHeaderSize) damaged("不是图元文件");
  const std::uint16_t type = u16(b, l.headerAt), words = u16(b, l.headerAt + 2);
  if ((type != 1 && type != 2) || words != kWmfHeaderSize / 2) damaged("不是图元文件");
  return l;
}

// Returns the size of the largest record, in 16-bit words.
std::uint32_t checkWmfRecords(const QByteArray& b, const WmfLayout& l) {
  const char* limit = b.constData() + b.size();
  qsizetype at = l.headerAt + kWmfHeaderSize;
  std::uint32_t largest = 0;
  for (;;) {
    if (b.size() - at < 6) damaged("记录不完整");
    const std::uint64_t bytes = std::uint64_t(u32(b, at)) * 2;
    const std::uint16_t function = u16(b, at + 4);
    if (bytes < 6 || bytes > std::uint64_t(b.size() - at)) damaged("记录长度不对");
    if (!metafile_records::oldRecordSound(b.constData() + at, limit)) damaged("记录内容不对");
    largest = std::max(largest, u32(b, at));
    if (function == 0) return largest;  // end of file
    at += static_cast<qsizetype>(bytes);
  }
}

// libwmf keeps every allocation in its API object; destroying it frees them all.
struct WmfApi {
  wmfAPI* api = nullptr;
  ~WmfApi() {
    if (api) wmf_api_destroy(api);
  }
};

QByteArray wmfToSvg(QByteArray b, const WmfLayout& l, std::uint32_t largestRecord, QSize& size) {
  // libwmf sizes its record buffer by the header's largest-record field; a damaged header
  // claiming gigabytes gets the size the records really have.
  qToLittleEndian<std::uint32_t>(largestRecord, b.data() + l.headerAt + 12);
  WmfApi w;
  wmfAPI_Options options{};
  options.function = wmf_svg_function;
  const unsigned long flags =
      WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&w.api, flags, &options) != wmf_E_None) damaged("无法转换");
  if (wmf_mem_open(w.api, reinterpret_cast<unsigned char*>(b.data()), long(b.size())) != wmf_E_None)
    damaged("无法读取");
  wmfD_Rect box{};
  if (wmf_scan(w.api, 0, &box) != wmf_E_None) damaged("无法读取");
  if (l.placeable) {
    // The placeable header's frame, not the extent of what is drawn, is the picture: libwmf
    // works in points.
    if (l.inch == 0) damaged("文件头不对");
    const double k = 72.0 / l.inch;
    box.TL = {float(l.left * k), float(l.top * k)};
    box.BR = {float(l.right * k), float(l.bottom * k)};
    size = checkedSize((double(l.right) - l.left) * 96 / l.inch,
                       (double(l.bottom) - l.top) * 96 / l.inch);
  } else {
    size = checkedSize((double(box.BR.x) - box.TL.x) * 96 / 72,
                       (double(box.BR.y) - box.TL.y) * 96 / 72);
  }
  wmf_svg_t* device = WMF_SVG_GetData(w.api);
  device->out = wmf_stream_create(w.api, nullptr);
  char description[] = "Kelpo";
  device->Description = description;
  device->bbox = box;
  device->width = static_cast<unsigned>(size.width());
  device->height = static_cast<unsigned>(size.height());
  device->flags |= WMF_SVG_INLINE_IMAGES;
  const wmf_error_t played = wmf_play(w.api, 0, &box);
  char* out = nullptr;
  unsigned long length = 0;
  wmf_stream_destroy(w.api, device->out, &out, &length);
  QByteArray svg = out ? QByteArray(out, static_cast<qsizetype>(length)) : QByteArray();
  if (played != wmf_E_None || svg.isEmpty()) damaged("无法转换");
  return svg;
}

}  // namespace

Metafile Metafile::decode(const QByteArray& bytes) {
  Metafile m;
  if (bytes.isEmpty()) damaged("没有数据");
  if (isEnhanced(bytes)) {
    checkEnhancedRecords(bytes);
    m.enhanced_ = true;
    m.size_ = enhancedSize(bytes);
    m.svg_ = enhancedToSvg(bytes);
  } else {
    const WmfLayout layout = wmfLayout(bytes);
    const std::uint32_t largest = checkWmfRecords(bytes, layout);
    m.svg_ = wmfToSvg(bytes, layout, largest, m.size_);
  }
  m.renderer_ = std::make_shared<QSvgRenderer>(m.svg_);
  if (!m.renderer_->isValid()) damaged("无法转换");
  return m;
}

void Metafile::draw(QPainter& canvas, const QRectF& target) const {
  if (renderer_) renderer_->render(&canvas, target);
}

QImage Metafile::toImage() const {
  // Metafiles are drawings: one that claims a huge frame is shown smaller, not refused.
  const QSize size = size_.width() > kMaxImageSide || size_.height() > kMaxImageSide
                         ? size_.scaled(kMaxImageSide, kMaxImageSide, Qt::KeepAspectRatio)
                         : size_;
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter canvas(&image);
  canvas.setRenderHint(QPainter::Antialiasing);
  draw(canvas, QRectF(image.rect()));
  return image;
}

}  // namespace kelpo
