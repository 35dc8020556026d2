// Scaling, background, frame and band alignment shared by every view, and the output of views
// that have no layout of their own.
#include "report/core/view_painting.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/text.h"
#include "report/core/band.h"
#include "report/core/memo_view.h"
#include "report/core/page.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "report/expr/engine_state.h"
#include "report/expr/memo_expand.h"
#include "report/expr/names.h"

namespace kelpo::report {

int roundEven(double x) {
  // Damaged geometry may scale beyond an int; it saturates instead of overflowing.
  if (!(x > INT_MIN)) return x != x ? 0 : INT_MIN;
  if (!(x < INT_MAX)) return INT_MAX;
  return static_cast<int>(std::nearbyint(x));
}

QColor colorFromValue(std::uint32_t value) {
  if (value == kClNone) return {};
  if ((value & 0xFF000000u) == 0xFF000000u) {
    // The system colours the templates use; the rest fall back to the window text colour.
    switch (value & 0xFF) {
      case 5:
        return QColor(255, 255, 255);  // window
      case 15:
        return QColor(240, 240, 240);  // button face
      case 16:
        return QColor(160, 160, 160);  // button shadow
      case 20:
        return QColor(255, 255, 255);  // button highlight
      case 12:
        return QColor(171, 171, 171);  // application workspace
      case 1:
        return QColor(0, 120, 215);  // background
      default:
        return QColor(0, 0, 0);
    }
  }
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

namespace {
// Geometry from damaged input must not overflow: sums saturate like the rounding does.
int clampedSum(std::int64_t a, std::int64_t b) {
  return static_cast<int>(std::clamp<std::int64_t>(a + b, INT_MIN, INT_MAX));
}
}  // namespace

TfrDocMode& frDocMode() {
  static TfrDocMode mode = TfrDocMode::Template;
  return mode;
}

TfrScriptRunner& frScriptRunner() {
  static TfrScriptRunner runner;
  return runner;
}

namespace {
bool firstPass() { return !frEngine().finalPass; }

enum : std::uint16_t { frRight = 1, frBottom = 2, frLeft = 4, frTop = 8 };
enum : std::uint8_t { baNone = 0, baLeft, baRight, baCenter, baWidth, baBottom, baTop, baRest };
}  // namespace

void TfrView::ApplyScale() {
  saved_ = {x, y, dx, dy, gapX, gapY, frameWidth};
  double sx = scaleX, sy = scaleY;
  int ox = offsetX, oy = offsetY;
  if (frDocMode() == TfrDocMode::Template) sx = sy = 1.0, ox = oy = 0;
  const double fw = saved_.frameWidth;
  x = clampedSum(roundEven(saved_.x * sx), ox);
  y = clampedSum(roundEven(saved_.y * sy), oy);
  dx = roundEven(saved_.dx * sx);
  dy = roundEven(saved_.dy * sy);
  frameWidth = static_cast<float>(fw * sx);
  gapX = clampedSum(roundEven(sx * fw / 2), roundEven(sx * saved_.gapX));
  gapY = clampedSum(roundEven(sy * saved_.gapY), roundEven(sy * fw / 2) / 2);
  int left = x, top = y;
  if (frameTyp & frLeft) left = clampedSum(left, roundEven((sx * fw - 1) / 2));
  if (frameTyp & frTop) top = clampedSum(top, roundEven((sy * fw - 1) / 2));
  int right = roundEven((double(saved_.x) + saved_.dx) * sx + ox);
  int bottom = roundEven((double(saved_.y) + saved_.dy) * sy + oy);
  if (frameTyp & frRight) right = clampedSum(right, -roundEven(sx * fw / 2));
  if (frameTyp & frBottom) bottom = clampedSum(bottom, -roundEven(sy * fw / 2));
  drawRect = QRect(QPoint(left, top), QPoint(right, bottom));
}

void TfrView::RestoreGeometry() {
  x = saved_.x;
  y = saved_.y;
  dx = saved_.dx;
  dy = saved_.dy;
  gapX = saved_.gapX;
  gapY = saved_.gapY;
  frameWidth = saved_.frameWidth;
}

namespace {
// The scaled right and bottom edges of the object box (frame lines lie on them).
QPoint scaledFarCorner(const TfrView& v) {
  const TfrSavedGeometry& s = v.savedGeometry();
  double sx = v.scaleX, sy = v.scaleY;
  int ox = v.offsetX, oy = v.offsetY;
  if (frDocMode() == TfrDocMode::Template) sx = sy = 1.0, ox = oy = 0;
  return {roundEven((double(s.x) + s.dx) * sx + ox), roundEven((double(s.y) + s.dy) * sy + oy)};
}
}  // namespace

void TfrView::PaintBackground(QPainter& canvas) {
  if (firstPass()) return;
  if (frDocMode() == TfrDocMode::Template) {
    QColor c = fillColor == kClNone ? QColor(Qt::white) : colorFromValue(fillColor);
    canvas.fillRect(drawRect, c);
    return;
  }
  if (fillColor == kClNone) return;
  QPoint far = scaledFarCorner(*this);
  canvas.fillRect(QRect(QPoint(x, y), far), colorFromValue(fillColor));
}

namespace {
Qt::PenStyle penStyle(std::uint16_t frameStyle) {
  switch (frameStyle) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    default:
      return Qt::SolidLine;
  }
}

// One frame edge from a to b (horizontal or vertical), drawn as the frame style asks.
void frameEdge(QPainter& canvas, QPoint a, QPoint b, int width, const QColor& color,
               std::uint16_t style, const QColor& fill) {
  const bool vertical = a.x() == b.x();
  auto shifted = [&](int d, QPoint p) { return vertical ? p + QPoint(d, 0) : p + QPoint(0, d); };
  auto line = [&](int d, int w, const QColor& c, Qt::PenStyle ps) {
    QPen pen(c, w, ps, Qt::FlatCap, Qt::MiterJoin);
    if (w <= 1) pen.setWidth(0);
    canvas.setPen(pen);
    canvas.drawLine(shifted(d, a), shifted(d, b));
  };
  if (style == 5) {
    // Double: frame, fill, frame, each one frame width wide, centred on the edge.
    const int w = std::max(width, 1);
    if (fill.isValid()) line(0, w, fill, Qt::SolidLine);
    line(-w, w, color, Qt::SolidLine);
    line(w, w, color, Qt::SolidLine);
    return;
  }
  const Qt::PenStyle ps = penStyle(style);
  if (ps == Qt::SolidLine || width <= 1) {
    if (ps != Qt::SolidLine && fill.isValid()) line(0, width, fill, Qt::SolidLine);
    line(0, width, color, ps);
    return;
  }
  // A styled pen wider than one pixel: that many one-pixel lines side by side.
  for (int k = 0; k < width; ++k) {
    const int d = k - width / 2;
    if (fill.isValid()) line(d, 1, fill, Qt::SolidLine);
    line(d, 1, color, ps);
  }
}
}  // namespace

void TfrView::PaintFrame(QPainter& canvas) {
  if (firstPass()) return;
  if ((frameTyp & 0x0F) == 0 && frDocMode() == TfrDocMode::Output) return;
  const int width = roundEven(frameWidth);
  const QColor color = colorFromValue(frameColor);
  const QColor fill = colorFromValue(fillColor);
  const QPoint far = scaledFarCorner(*this);
  const int r = far.x(), b = far.y();
  canvas.save();
  canvas.setRenderHint(QPainter::Antialiasing, false);
  if (frameTyp & frRight) frameEdge(canvas, {r, y}, {r, b}, width, color, frameStyle, fill);
  if (frameTyp & frLeft) frameEdge(canvas, {x, y}, {x, b}, width, color, frameStyle, fill);
  if (frameTyp & frBottom) frameEdge(canvas, {x, b}, {r, b}, width, color, frameStyle, fill);
  if (frameTyp & frTop) frameEdge(canvas, {x, y}, {r, y}, width, color, frameStyle, fill);
  canvas.restore();
}

void TfrView::PrepareDrawing() {
  if (!parent || bandAlign == baNone || bandAlign == baBottom || bandAlign == baTop) return;
  const TfrBand& band = *parent;
  int leftEdge = band.x, rightEdge = band.x + band.dx;
  if (band.page && !band.vertical()) {
    leftEdge = band.page->leftMargin();
    rightEdge = band.page->rightEdge();
  }
  // Neighbours: views of the same band on the same row, aligned to the same side.
  const TfrView* leftNeighbour = nullptr;
  const TfrView* rightNeighbour = nullptr;
  if (band.page) {
    for (const auto& v : band.page->objects) {
      if (v.get() == this || v->parent != parent || v->y != y) continue;
      if (v->bandAlign == baLeft && v->x < x && (!leftNeighbour || v->x > leftNeighbour->x))
        leftNeighbour = v.get();
      if (v->bandAlign == baRight && v->x > x && (!rightNeighbour || v->x < rightNeighbour->x))
        rightNeighbour = v.get();
    }
  }
  switch (bandAlign) {
    case baLeft:
      x = leftNeighbour ? leftNeighbour->x + leftNeighbour->dx + 1 : leftEdge;
      break;
    case baRight:
      x = rightNeighbour ? rightNeighbour->x - dx - 1 : rightEdge - dx;
      break;
    case baCenter:
      x = leftEdge + (rightEdge - leftEdge - dx) / 2;
      break;
    case baWidth:
      // While preparing, width alignment is applied at output, and only on vertical bands.
      if (frDocMode() == TfrDocMode::Template && !band.vertical()) {
        x = leftEdge;
        dx = rightEdge - 1 - leftEdge;
      }
      break;
    case baRest: {
      int from = leftNeighbour ? leftNeighbour->x + leftNeighbour->dx + 1 : leftEdge;
      int to = rightNeighbour ? rightNeighbour->x - 1 : rightEdge;
      x = from;
      dx = std::max(0, to - from);
      break;
    }
    default:
      break;
  }
}

bool TfrView::BeforePrintHook() {
  const TfrStrings before = memo1;
  if (cachedDataset && !cachedField.empty() && IsBlobField(cachedDataset, toQString(cachedField)))
    LoadFromField(cachedDataset, cachedField);
  TfrReport* report = frCurReport();
  if (report && report->OnBeforePrint) report->OnBeforePrint(memo1, *this);
  return memo1 != before;
}

void TfrView::LoadFromField(Query* dataset, const std::string& field) {
  QByteArray bytes;
  AssignBlobTo(dataset, toQString(field), [&](const QByteArray& b) { bytes = b; });
  memo1.clear();
  AppendAsText(memo1, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string TfrView::expandedTag() {
  const std::int32_t savedFormat = format;
  format = 0;
  std::string result;
  try {
    result = ExpandLine(tag, this);
  } catch (...) {
    format = savedFormat;
    throw;
  }
  format = savedFormat;
  return result;
}

void TfrView::writePreparedRecord(TfrWriter& stream) {
  stream.u8(typ);
  if (typ == gtAddIn) stream.writeString(className());
  const bool wasTemplate = templateMode;
  templateMode = false;
  saveToStream(stream);
  templateMode = wasTemplate;
}

void TfrView::Export() {
  if (TfrExportFilter* filter = frCurrentExportFilter()) filter->OnData(*this);
}

void TfrView::Paint(QPainter& canvas) {
  PrepareDrawing();
  ApplyScale();
  PaintBackground(canvas);
  PaintFrame(canvas);
  RestoreGeometry();
}

void TfrView::EmitPrepared(TfrWriter& stream) {
  const std::int32_t x0 = x, y0 = y, dx0 = dx, dy0 = dy;
  PrepareDrawing();
  memo1 = memo;
  BeforePrintHook();
  if (frScriptRunner()) frScriptRunner()(*this);
  if (visible) {
    const std::string savedTag = tag;
    tag = expandedTag();
    if (parent) {
      if (bandAlign == baBottom) y = parent->y + parent->calculatedHeight - dy;
      if (bandAlign == baTop) y = parent->y;
      if (bandAlign == baWidth && parent->vertical()) dx = parent->dx;
    }
    writePreparedRecord(stream);
    tag = savedTag;
  }
  x = x0, y = y0, dx = dx0, dy = dy0;
}

Value TfrStretcheable::CallMethod(const std::string& name, const std::string& arg1,
                                  const std::string& arg2, const std::string& arg3) {
  if (upperName(name) == "CALCHEIGHT") return Value(CalcHeight());
  return TfrView::CallMethod(name, arg1, arg2, arg3);
}

}  // namespace kelpo::report
