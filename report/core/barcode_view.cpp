#include "report/core/barcode_view.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/view_painting.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

// Room kept below (or beside) the bars for the readable text, and its character height.
constexpr int kTextRoom = 14;
constexpr int kTextHeight = 12;

bool startsWithBracket(const std::string& s) { return !s.empty() && s[0] == '['; }

// Optional leading spaces, an optional sign, digits, an optional fraction, an optional
// exponent, and nothing after: the texts a digits-only symbology is tried with.
bool readsAsDecimal(const std::string& s) {
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t from = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i > from;
  };
  while (i < s.size() && s[i] == ' ') ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  if (!digits()) return false;
  if (i < s.size() && s[i] == '.') {
    ++i;
    digits();
  }
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == s.size();
}

std::string trimmed(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

TfrBarCodeView::TfrBarCodeView() {
  baseName = "Bar";
  memo = {kBarcodePlaceholder};
}

void TfrBarCodeView::RegisterProperties() {
  TfrView::RegisterProperties();
  // Both are edited with the barcode editor in a designer; "Barcode" itself has no value.
  addProperty("Barcode", pkEditor | pkNameLike);
  addProperty("DataField", pkText | pkEditor | pkNameLike);
}

void TfrBarCodeView::loadFromStream(TfrReader& r, const TfrStreamContext& ctx) {
  TfrView::loadFromStream(r, ctx);
  calcCheckSum = r.u8();
  showText = r.u8();
  reserved = r.u8();
  barType = r.u8();
  mode = r.i32();
  zoom = r.f64();
  rotation = r.f64();
  // Records of mode 1 stored the zoom doubled.
  if (mode == 1) {
    zoom /= 2;
    mode = 2;
  }
}

void TfrBarCodeView::saveToStream(TfrWriter& w) const {
  TfrView::saveToStream(w);
  w.u8(calcCheckSum);
  w.u8(showText);
  w.u8(reserved);
  w.u8(barType);
  w.i32(mode);
  w.f64(zoom);
  w.f64(rotation);
}

std::string TfrBarCodeView::codeText() const {
  if (memo1.empty() || startsWithBracket(memo1[0])) return kBarcodePlaceholder;
  if (barcodeTypeDigitsOnly(barType) && !readsAsDecimal(memo1[0])) return kBarcodePlaceholder;
  return memo1[0];
}

std::optional<QSize> TfrBarCodeView::layoutBarcode() {
  TfrBarcode& b = barcode_;
  b.SetAngle(rotation);
  b.SetRatio(2);
  b.SetModul(1);
  b.SetChecksum(calcCheckSum != 0);
  b.SetColor(fillColor == kClNone ? QColor(Qt::white) : colorFromValue(fillColor));
  b.SetTyp(barType);
  b.SetText(codeText());

  const bool across = rotation == 90 || rotation == 270;
  int w0 = dx, h0 = dy;
  const int p = b.GetWidth();
  if (across) {
    dy = p;
    h0 = roundSaturated(p * zoom);
  } else {
    dx = p;
    w0 = roundSaturated(p * zoom);
  }
  // A value that failed to evaluate was written as "0": such a view shows nothing, but keeps
  // its zoomed length like any other.
  if (trimmed(b.Text()) == "0") {
    dx = w0, dy = h0;
    return std::nullopt;
  }

  const int h = (across ? dx : dy) - (showText ? kTextRoom : 0);
  b.SetLeft(0);
  b.SetTop(0);
  b.SetHeight(h);
  // PostNet's tall and short bars stand on the bottom edge.
  if (barType == bcCodePostNet && rotation == 0) {
    b.SetTop(h);
    b.SetHeight(-h);
  } else if (rotation == 180) {
    b.SetTop(dy - h);
  } else if (rotation == 270) {
    b.SetLeft(dx - h);
  }
  const QSize drawing(dx, dy);
  dx = w0, dy = h0;
  return drawing;
}

void TfrBarCodeView::drawBarcode(QPainter& canvas, QSize drawing, const QRect& target) {
  if (drawing.width() <= 0 || drawing.height() <= 0) return;
  canvas.save();
  canvas.translate(target.topLeft());
  canvas.scale(double(target.width()) / drawing.width(),
               double(target.height()) / drawing.height());
  barcode_.DrawBarcode(canvas);
  if (showText) {
    QFont font("Courier New");
    font.setPixelSize(kTextHeight);
    const QString text = toQString(barcode_.Text());
    const int w = QFontMetrics(font).horizontalAdvance(text);
    const int W = drawing.width(), H = drawing.height();
    // The top-left corner of the text before it is turned.
    QPoint at;
    if (rotation == 0)
      at = {(W - w) / 2, H - kTextHeight};
    else if (rotation == 90)
      at = {W - kTextHeight, H - (H - w) / 2};
    else if (rotation == 180)
      at = {W - (W - w) / 2, kTextHeight};
    else
      at = {kTextHeight, (H - w) / 2};
    canvas.setFont(font);
    canvas.setPen(Qt::black);
    canvas.translate(at);
    canvas.rotate(-roundSaturated(rotation));
    canvas.drawText(QPoint(0, QFontMetrics(font).ascent()), text);
  }
  canvas.restore();
}

void TfrBarCodeView::EmitPrepared(TfrWriter& stream) {
  // Band alignment places this output only; the template keeps its own geometry.
  struct Restore {
    TfrBarCodeView& v;
    std::int32_t x, y, dx, dy;
    ~Restore() { v.x = x, v.y = y, v.dx = dx, v.dy = dy; }
  } restore{*this, x, y, dx, dy};
  PrepareDrawing();
  memo1 = memo;
  BeforePrintHook();
  if (frScriptRunner()) frScriptRunner()(*this);
  if (!visible) return;
  const std::string savedTag = tag;
  if (tag.find('[') != std::string::npos) tag = expandedTag();
  // The value is computed now and stored as text; a failed expression stores "0", which
  // painting shows as nothing, and the report goes on.
  if (!memo1.empty() && startsWithBracket(memo1[0])) {
    try {
      memo1[0] = frParser().Evaluate(memo1[0]).toText();
    } catch (const std::exception&) {
      memo1[0] = "0";
    }
  }
  writePreparedRecord(stream);
  tag = savedTag;
}

void TfrBarCodeView::Paint(QPainter& canvas) {
  if (dx < 0 || dy < 0 || (memo.size() == 1 && memo[0].empty())) return;
  PrepareDrawing();
  memo1 = memo;
  const auto drawing = layoutBarcode();
  if (!drawing) return;
  ApplyScale();
  PaintBackground(canvas);
  // The drawing rectangle's right and bottom edges are exclusive.
  drawBarcode(canvas, *drawing,
              QRect(drawRect.topLeft(),
                    QSize(drawRect.right() - drawRect.left(), drawRect.bottom() - drawRect.top())));
  PaintFrame(canvas);
  RestoreGeometry();
}

std::function<void(TfrBarCodeView&)>& frBarCodeEditor() {
  static std::function<void(TfrBarCodeView&)> editor;
  return editor;
}

void TfrBarCodeView::ShowEditor() {
  if (frBarCodeEditor()) frBarCodeEditor()(*this);
}

void registerBarCodeView() {
  frRegisterObject({"TfrBarCodeView", [] { return std::make_unique<TfrBarCodeView>(); },
                    "FR_BARCODEVIEW", "55338"});
}

}  // namespace kelpo::report
