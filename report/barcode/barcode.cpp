#include "report/barcode/barcode.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace kelpo::report {

namespace {

constexpr const char* kClassName = "TfrBarcode";

struct TypeInfo {
  const char* name;
  bool digitsOnly;
};

constexpr TypeInfo kTypes[kBarcodeTypeCount] = {{"2_5_interleaved", true},
                                                {"2_5_industrial", true},
                                                {"2_5_matrix", true},
                                                {"Code39", false},
                                                {"Code39 Extended", false},
                                                {"Code128A", false},
                                                {"Code128B", false},
                                                {"Code128C", true},
                                                {"Code93", false},
                                                {"Code93 Extended", false},
                                                {"MSI", true},
                                                {"PostNet", true},
                                                {"Codebar", false},
                                                {"EAN8", true},
                                                {"EAN13", true},
                                                {"UPC_A", true},
                                                {"UPC_E0", true},
                                                {"UPC_E1", true},
                                                {"UPC Supp2", true},
                                                {"UPC Supp5", true},
                                                {"EAN128A", false},
                                                {"EAN128B", false},
                                                {"EAN128C", true}};

// The widest element drawn; wider ones add nothing readable and would overflow the sums.
constexpr int kMaxElementWidth = 1 << 16;

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

int roundSaturated(double v) {
  if (std::isnan(v)) return 0;
  // Halves to even: the default floating-point rounding mode, which nothing here changes.
  const double r = std::nearbyint(v);
  if (r >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (r <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

const char* barcodeTypeName(int type) {
  return type >= 0 && type < kBarcodeTypeCount ? kTypes[type].name : "";
}

bool barcodeTypeDigitsOnly(int type) {
  return type >= 0 && type < kBarcodeTypeCount && kTypes[type].digitsOnly;
}

void TfrBarcode::changed() {
  if (OnChange) OnChange();
}

#define KELPO_BARCODE_SETTER(Name, Type, field) \
  void TfrBarcode::Name(Type v) {               \
    if (field == v) return;                     \
    field = v;                                  \
    changed();                                  \
  }
KELPO_BARCODE_SETTER(SetText, const std::string&, text_)
KELPO_BARCODE_SETTER(SetTyp, int, typ_)
KELPO_BARCODE_SETTER(SetRatio, double, ratio_)
KELPO_BARCODE_SETTER(SetChecksum, bool, checksum_)
KELPO_BARCODE_SETTER(SetCheckSumMethod, TfrCheckSumMethod, checkSumMethod_)
KELPO_BARCODE_SETTER(SetAngle, double, angle_)
KELPO_BARCODE_SETTER(SetLeft, int, left_)
KELPO_BARCODE_SETTER(SetTop, int, top_)
KELPO_BARCODE_SETTER(SetHeight, int, height_)
KELPO_BARCODE_SETTER(SetColor, const QColor&, color_)
KELPO_BARCODE_SETTER(SetColorBar, const QColor&, colorBar_)
#undef KELPO_BARCODE_SETTER

void TfrBarcode::SetModul(int v) {
  if (v < 1 || v > 49 || v == modul_) return;
  modul_ = v;
  changed();
}

void TfrBarcode::computeWidths() {
  // The symbologies with two element widths are only readable with a ratio in their range.
  switch (typ_) {
    case bcCode_2_5_interleaved:
    case bcCode_2_5_industrial:
    case bcCode39:
    case bcCode39Extended:
    case bcCodeCodabar:
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_A:
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5:
      SetRatio(std::clamp(ratio_, 2.0, 3.0));
      break;
    case bcCode_2_5_matrix:
      SetRatio(std::clamp(ratio_, 2.25, 3.0));
      break;
    default:
      break;
  }
  widths_[0] = modul_;
  widths_[1] = std::clamp(roundSaturated(modul_ * ratio_), 0, kMaxElementWidth);
  widths_[2] = widths_[1] * 3 / 2;
  widths_[3] = widths_[1] * 2;
}

int TfrBarcode::elementWidth(char element) const {
  switch (element) {
    case '0':
    case '5':
    case 'A':
      return widths_[0];
    case '1':
    case '6':
    case 'B':
      return widths_[1];
    case '2':
    case '7':
    case 'C':
      return widths_[2];
    case '3':
    case '8':
    case 'D':
      return widths_[3];
    default:
      throw BarcodeError(std::string(kClassName) + ": internal Error");
  }
}

std::string TfrBarcode::FitText(std::size_t n) const {
  if (text_.size() > n) return text_.substr(0, n);
  return std::string(n - text_.size(), '0') + text_;
}

std::string TfrBarcode::Modulo10(const std::string& digits) const {
  if (checkSumMethod_ == csmNone) return digits;
  int sum = 0;
  int weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    sum = (sum + (*it - '0') * weight) % 10;
    weight = 4 - weight;
  }
  // Characters other than digits can reach here through EAN-128 A and B; keep the digit in 0-9.
  int check = ((10 - sum % 10) % 10 + 10) % 10;
  return digits + static_cast<char>('0' + check);
}

std::string TfrBarcode::MakePattern() {
  computeWidths();
  if (barcodeTypeDigitsOnly(typ_)) {
    std::size_t b = 0, e = text_.size();
    while (b < e && isBlank(text_[b])) ++b;
    while (e > b && isBlank(text_[e - 1])) --e;
    text_ = text_.substr(b, e - b);
    for (char c : text_)
      if (c < '0' || c > '9') throw BarcodeError("Barcode must be numeric");
  }
  switch (typ_) {
    case bcCode_2_5_interleaved:
      return code25Interleaved();
    case bcCode_2_5_industrial:
      return code25Industrial();
    case bcCode_2_5_matrix:
      return code25Matrix();
    case bcCode39:
      return code39(text_);
    case bcCode39Extended:
      return code39Extended();
    case bcCode128A:
    case bcCode128B:
    case bcCode128C:
    case bcCodeEAN128A:
    case bcCodeEAN128B:
    case bcCodeEAN128C:
      return code128();
    case bcCode93:
      return code93(text_);
    case bcCode93Extended:
      return code93Extended();
    case bcCodeMSI:
      return codeMSI();
    case bcCodePostNet:
      return codePostNet();
    case bcCodeCodabar:
      return codeCodabar();
    case bcCodeEAN8:
      return codeEAN8();
    case bcCodeEAN13:
      return codeEAN13();
    case bcCodeUPC_A:
      return codeUPC_A();
    case bcCodeUPC_E0:
      return codeUPC_E(0);
    case bcCodeUPC_E1:
      return codeUPC_E(1);
    case bcCodeUPC_Supp2:
      return codeSupp2();
    case bcCodeUPC_Supp5:
      return codeSupp5();
    default:
      throw BarcodeError(std::string(kClassName) + ": wrong BarcodeType");
  }
}

int TfrBarcode::patternWidth(const std::string& pattern) const {
  std::int64_t width = 0;
  for (char c : pattern) width += elementWidth(c);
  return static_cast<int>(std::min<std::int64_t>(width, std::numeric_limits<int>::max()));
}

int TfrBarcode::GetWidth() { return patternWidth(MakePattern()); }

void TfrBarcode::SetWidth(int v) {
  int current = GetWidth();
  if (current > 0) SetModul(modul_ * v / current);
}

void TfrBarcode::DrawBarcode(QPainter& canvas) {
  const std::string pattern = MakePattern();
  const double theta = angle_ / 180.0 * std::numbers::pi;
  const double s = std::sin(theta), c = std::cos(theta);
  const int w = patternWidth(pattern), h = height_;

  // Offset that keeps the turned w x h rectangle at the origin, whatever the quadrant.
  int ox, oy;
  if (s >= 0 && c >= 0) {
    ox = 0, oy = roundSaturated(s * w);
  } else if (s >= 0) {
    ox = -roundSaturated(c * w), oy = roundSaturated(s * w - c * h);
  } else if (c >= 0) {
    ox = -roundSaturated(s * h), oy = 0;
  } else {
    ox = -roundSaturated(c * w) - roundSaturated(s * h), oy = -roundSaturated(c * h);
  }
  ox += left_, oy += top_;
  auto turned = [&](double x, double y) {
    return QPoint(roundSaturated(x * c + y * s) + ox, roundSaturated(-x * s + y * c) + oy);
  };

  canvas.save();
  canvas.setRenderHint(QPainter::Antialiasing, false);
  std::int64_t x = 0;
  for (char element : pattern) {
    const int e = elementWidth(element);
    const bool bar = element >= '5';
    const QColor& colour = bar ? colorBar_ : color_;
    const int eh = (element >= 'A' && element <= 'D')
                       ? static_cast<int>(std::int64_t{height_} * 2 / 5)
                       : height_;
    const QPoint corners[4] = {turned(x, 0), turned(x, eh), turned(x + e - 1, eh),
                               turned(x + e - 1, 0)};
    // A polygon outlined with a one-pixel pen covers its corner pixels inclusive. Turned by a
    // quarter it is an upright rectangle, and filling that rectangle is the same set of pixels
    // at a fraction of the cost.
    const bool upright = (corners[0].x() == corners[1].x() && corners[2].x() == corners[3].x() &&
                          corners[0].y() == corners[3].y() && corners[1].y() == corners[2].y()) ||
                         (corners[0].y() == corners[1].y() && corners[2].y() == corners[3].y() &&
                          corners[0].x() == corners[3].x() && corners[1].x() == corners[2].x());
    if (upright) {
      const QPoint a = corners[0], b = corners[2];
      canvas.fillRect(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))),
                      colour);
    } else {
      canvas.setPen(QPen(colour, 1));
      canvas.setBrush(colour);
      canvas.drawPolygon(corners, 4);
    }
    x += e;
  }
  canvas.restore();
}

}  // namespace kelpo::report
