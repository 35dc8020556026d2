// Memo layout and drawing: expansion for output, wrapping on the scratch canvas, heights for the
// build engine, split parts, and painting with alignment, spacing, rotation and rule lines.
#include "report/core/memo_view.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/text.h"
#include "report/core/band.h"
#include "report/core/report.h"
#include "report/core/view_painting.h"
#include "report/expr/engine_state.h"
#include "report/expr/memo_expand.h"
#include "report/expr/parser.h"

namespace kelpo::report {

QPaintDevice& scratchDevice() {
  static QImage image = [] {
    QImage img(1, 1, QImage::Format_RGB32);
    img.setDotsPerMeterX(3780);  // 96 dpi
    img.setDotsPerMeterY(3780);
    return img;
  }();
  return image;
}

void withScratchCanvas(const std::function<void(QPainter&)>& draw) {
  auto& shared = static_cast<QImage&>(scratchDevice());
  if (!shared.paintingActive()) {
    QPainter canvas(&shared);
    draw(canvas);
    return;
  }
  QImage own(1, 1, QImage::Format_RGB32);
  own.setDotsPerMeterX(3780);
  own.setDotsPerMeterY(3780);
  QPainter canvas(&own);
  draw(canvas);
}

TfrStrings& wrappedLines() {
  static TfrStrings lines;
  return lines;
}

TfrExportFilter*& frCurrentExportFilter() {
  static TfrExportFilter* filter = nullptr;
  return filter;
}

QFont memoFont(const TfrFont& font, int pixelHeight, int characterSpacing) {
  QFont f(toQString(font.name));
  // Qt needs a positive size; beyond a few thousand pixels glyphs are only costly.
  f.setPixelSize(std::clamp(pixelHeight, 1, 4096));
  f.setItalic(font.style & 1);
  f.setBold(font.style & 2);
  f.setUnderline(font.style & 4);
  f.setStrikeOut(font.style & 8);
  if (characterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, characterSpacing);
  return f;
}

int scratchFontHeight(int pointSize) { return roundEven(pointSize * 96.0 / 72.0); }

namespace {

// Code page 1251 upper case of a single-byte code (Latin and Cyrillic letters).
unsigned upper1251(unsigned c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 224 && c <= 255) return c - 32;
  if (c == 184) return 168;
  return c;
}
bool isVowel(unsigned c) {
  switch (c) {
    case 168:
    case 192:
    case 197:
    case 200:
    case 206:
    case 211:
    case 219:
    case 221:
    case 222:
    case 223:
      return true;
    default:
      return false;
  }
}
bool isSign(unsigned c) { return c == 218 || c == 220; }
bool isSeparator(unsigned c) { return c == 32 || c == 44 || c == 45 || c == 46; }

// A line of engine text laid out once on the scratch canvas: the byte offset and the x position
// of every character, so that any run of characters is measured without converting or shaping
// it again.
class MeasuredLine {
 public:
  MeasuredLine(std::string_view text, const QFont& font) : text_(text) {
    for (std::size_t pos = 0; pos < text.size(); pos += engineCharSize(text, pos))
      bytes_.push_back(pos);
    bytes_.push_back(text.size());
    QString q = toQString(text);
    // 4-byte characters from lead byte 0x90 on lie beyond the basic plane (two UTF-16 units).
    std::vector<int> units;
    units.reserve(bytes_.size());
    int unit = 0;
    for (std::size_t i = 0; i + 1 < bytes_.size(); ++i) {
      units.push_back(unit);
      const auto lead = static_cast<unsigned char>(text[bytes_[i]]);
      unit += (bytes_[i + 1] - bytes_[i] == 4 && lead >= 0x90) ? 2 : 1;
    }
    units.push_back(unit);
    if (unit != q.size()) {
      // Malformed bytes convert unevenly: convert character by character instead.
      QString rebuilt;
      for (std::size_t i = 0; i + 1 < bytes_.size(); ++i) {
        units[i] = static_cast<int>(rebuilt.size());
        rebuilt += toQString(text.substr(bytes_[i], bytes_[i + 1] - bytes_[i]));
      }
      units.back() = static_cast<int>(rebuilt.size());
      q = rebuilt;
    }
    // Line breaks are measured as spaces: the layout stays one line (runs never span them).
    for (QChar& c : q)
      if (c == u'\r' || c == u'\n') c = u' ';
    QTextLayout layout(q, font, &scratchDevice());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    xs_.reserve(units.size());
    for (int u : units) xs_.push_back(line.isValid() ? line.cursorToX(u) : 0.0);
  }
  int count() const { return static_cast<int>(bytes_.size()) - 1; }
  unsigned char first(int i) const { return static_cast<unsigned char>(text_[bytes_[i]]); }
  bool single(int i) const { return bytes_[i + 1] - bytes_[i] == 1; }
  std::string_view slice(int from, int to) const {
    return text_.substr(bytes_[from], bytes_[to] - bytes_[from]);
  }
  double width(int from, int to) const { return xs_[to] - xs_[from]; }

 private:
  std::string_view text_;
  std::vector<std::size_t> bytes_;
  std::vector<double> xs_;
};

bool isBreakChar(unsigned char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::vector<int> hyphenationPoints(const std::vector<unsigned>& codes) {
  std::vector<int> points;
  const int n = static_cast<int>(codes.size());
  if (n < 4) return points;
  std::vector<unsigned> u(codes.size());
  std::transform(codes.begin(), codes.end(), u.begin(), upper1251);
  for (int i = 2; i <= n - 2; ++i) {
    const unsigned c = u[i - 1], next = u[i], after = u[i + 1];
    bool allowed;
    if (isVowel(c))
      allowed = isVowel(next) || isVowel(after);
    else if (isSign(c))
      allowed = !isSeparator(after);
    else
      allowed = !isVowel(next) && !isSign(next) && isVowel(after);
    if (allowed) points.push_back(i);
  }
  return points;
}

void wrapLine(std::string_view line, int width, const QFont& font, bool wordBreak,
              TfrStrings& out) {
  const QFontMetricsF fm(font, &scratchDevice());
  const MeasuredLine m(line, font);
  const int n = m.count();
  const bool hasBreak = std::any_of(
      line.begin(), line.end(), [](char c) { return isBreakChar(static_cast<unsigned char>(c)); });
  if (!hasBreak && (n <= 1 || m.width(0, n) <= width)) {
    out.emplace_back(line).push_back(kParagraphMark);
    return;
  }
  auto take = [&](int from, int to, bool paragraphEnd, std::string_view suffix = {}) {
    std::string& s = out.emplace_back(m.slice(from, to));
    s.append(suffix);
    if (paragraphEnd) s.push_back(kParagraphMark);
  };
  int lineStart = 0;
  int segStart = 0;
  while (segStart <= n) {
    // One segment: up to the next CR or LF.
    int segEnd = segStart;
    while (segEnd < n && !(m.single(segEnd) && isBreakChar(m.first(segEnd)))) ++segEnd;
    int lastHyphenStart = -1;
    for (;;) {
      // The first character whose inclusive prefix is wider than the width: prefix widths only
      // grow, so it is found by galloping and then bisection (measuring stays proportional to
      // the output line, not to the whole paragraph); spaces are never measured, so it moves to
      // the next non-space character.
      int lo = lineStart, hi = segEnd;
      for (int len = 1; lineStart + len < segEnd; len *= 2) {
        if (m.width(lineStart, lineStart + len) > width) {
          hi = lineStart + len - 1;
          break;
        }
        lo = lineStart + len;
      }
      while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (m.width(lineStart, mid + 1) > width)
          hi = mid;
        else
          lo = mid + 1;
      }
      int k = lo;
      while (k < segEnd && m.single(k) && m.first(k) == ' ') ++k;
      if (k >= segEnd) break;
      int lastSpace = -1;
      for (int j = k - 1; j >= lineStart; --j)
        if (m.single(j) && m.first(j) == ' ') {
          lastSpace = j;
          break;
        }
      if (wordBreak) {
        const int wordStart = lastSpace >= 0 ? lastSpace + 1 : lineStart;
        int wordEnd = k;
        while (wordEnd < segEnd &&
               !(m.single(wordEnd) && std::string_view(" ,-.").find(static_cast<char>(
                                          m.first(wordEnd))) != std::string_view::npos))
          ++wordEnd;
        std::vector<unsigned> codes;
        for (int j = wordStart; j < wordEnd; ++j) codes.push_back(m.single(j) ? m.first(j) : 0u);
        int breakAt = -1;
        const double hyphen = fm.horizontalAdvance(QStringLiteral("-"));
        for (int p : hyphenationPoints(codes)) {
          const int at = wordStart + p;
          if (at > lineStart && at <= k && m.width(lineStart, at) + hyphen <= width) breakAt = at;
        }
        // The same position twice means the word cannot be shortened further.
        if (breakAt > 0 && breakAt != lastHyphenStart) {
          take(lineStart, breakAt, false, "-");
          lineStart = lastHyphenStart = breakAt;
          continue;
        }
      }
      if (lastSpace >= 0) {
        take(lineStart, lastSpace, false);
        lineStart = lastSpace + 1;
      } else {
        // A first character wider than the line stays on it: the break comes after it.
        const int at = k > lineStart ? k : k + 1;
        if (at >= segEnd) break;
        take(lineStart, at, false);
        lineStart = at;
      }
    }
    if (segEnd >= n) break;
    // A CR or LF ends the line as a paragraph; the whole run of them is skipped.
    take(lineStart, segEnd, true);
    int next = segEnd;
    while (next < n && m.single(next) && isBreakChar(m.first(next))) ++next;
    lineStart = segStart = next;
  }
  take(lineStart, n, true);
}

// ---- the memo view

namespace {
std::string joined(const TfrStrings& lines) { return joinLines(lines); }
bool hasMark(const std::string& s) { return s.find(kParagraphMark) != std::string::npos; }
}  // namespace

void TfrMemoView::runScript() {
  if (frScriptRunner()) frScriptRunner()(*this);
}

void TfrMemoView::expandText() { memo1 = ExpandMemo(memo, this, (flags & flTextOnly) != 0); }

void TfrMemoView::ApplyHighlight() {
  highlighted_ = false;
  if (highlightCondition.empty()) return;
  bool on = false;
  try {
    on = frParser().Evaluate(highlightCondition).toFloat() != 0;
  } catch (...) {
    // A faulty condition simply does not highlight.
  }
  if (!on) return;
  highlighted_ = true;
  savedStyle_ = font.style;
  savedColor_ = font.color;
  savedFill_ = fillColor;
  font.style = highlightStyle;
  font.color = highlightColor;
  fillColor = highlightFill;
}

void TfrMemoView::RestoreHighlight() {
  if (!highlighted_) return;
  highlighted_ = false;
  font.style = savedStyle_;
  font.color = savedColor_;
  fillColor = savedFill_;
}

void TfrMemoView::WrapMemo(bool templateLayout) {
  TfrStrings& lines = wrappedLines();
  lines.clear();
  const bool rotated = alignment & 4;
  const int px = scratchFontHeight(font.size);
  const QFont f = memoFont(font, px, characterSpacing);
  // Turned text runs along the height, between the vertical gaps.
  const int available = rotated ? dy - 2 * gapY : dx - 2 * gapX;
  lineHeight = lineSpacing + px;
  const bool wordWrap = flags & flWordWrap, wordBreak = flags & flWordBreak;
  if (templateLayout && memo1.size() == 1 && !memo1[0].empty() && memo1[0][0] == '[') {
    const QFontMetricsF fm(f, &scratchDevice());
    if (fm.horizontalAdvance(toQString(memo1[0])) > available) {
      lines.push_back(memo1[0] + kParagraphMark);
    }
  }
  if (lines.empty()) {
    for (const std::string& line : memo1) {
      if (alreadyWrapped)
        lines.push_back(line);
      else if (wordWrap)
        wrapLine(line, available, f, wordBreak, lines);
      else
        lines.push_back(line + kParagraphMark);
    }
  }
  const int gap = rotated ? gapX : gapY;
  const std::int64_t height = static_cast<std::int64_t>(lines.size()) * lineHeight + 2 * gap;
  textHeight = static_cast<std::int32_t>(std::clamp<std::int64_t>(height, INT32_MIN, INT32_MAX));
}

std::int32_t TfrMemoView::CalcHeight() {
  drawMode = drCalcHeight;
  const std::int32_t x0 = x, dx0 = dx;
  PrepareDrawing();
  runScript();
  std::int32_t result = 0;
  if (visible) {
    memo1 = memo;
    if (!BeforePrintHook()) expandText();
    ApplyHighlight();
    ApplyScale();
    alreadyWrapped = std::any_of(memo1.begin(), memo1.end(), hasMark);
    WrapMemo();
    result = textHeight;
    const bool suppress = flags & flSuppressRepeated;
    const std::string text = joined(memo1);
    if (suppress && text == lastValue) result = 0;
    if (suppress && !frEngine().finalPass) lastValue = text;
    RestoreGeometry();
    RestoreHighlight();
  }
  x = x0, dx = dx0;
  return result;
}

std::int32_t TfrMemoView::MinHeight() {
  return roundEven(frameWidth * 2.0) + lineSpacing + 2 * gapY + scratchFontHeight(font.size);
}

std::int32_t TfrMemoView::RemainHeight() {
  const int frame = roundEven(frameWidth * 2.0);
  const int step = lineSpacing + scratchFontHeight(font.size);
  // A memo whose lines take no room holds no whole line to subtract.
  if (step <= 0) return 2 * gapY + frame;
  return 2 * gapY + frame + (dy - frame - 2 * gapY) % step;
}

void TfrMemoView::EmitPrepared(TfrWriter& stream) {
  const std::int32_t x0 = x, y0 = y, dx0 = dx, dy0 = dy;
  const std::uint8_t align0 = bandAlign;
  PrepareDrawing();
  clipped = true;
  if (drawMode == drAll) runScript();
  bool hookChanged = false;
  if (drawMode == drAll) {
    TfrReport* report = frCurReport();
    if (report && report->OnBeforePrint) {
      memo1 = memo;
      hookChanged = BeforePrintHook();
    }
  }
  if (drawMode != drPart && !hookChanged) expandText();
  if (visible) {
    ApplyHighlight();
    TfrStrings fullWrapped;
    if (drawMode == drPart) {
      ApplyScale();
      alreadyWrapped = std::any_of(memo1.begin(), memo1.end(), hasMark);
      if (!memo1.empty() && memo1.back() == std::string(1, kParagraphMark)) memo1.pop_back();
      WrapMemo();
      fullWrapped = wrappedLines();
      // Count the lines whose bottom fits, as drawing in clipped mode would.
      withScratchCanvas([&](QPainter& counter) { drawText(counter, fullWrapped); });
      memo1.assign(fullWrapped.begin(), fullWrapped.begin() + linesDrawn);
      if (std::none_of(memo1.begin(), memo1.end(), hasMark))
        memo1.push_back(std::string(1, kParagraphMark));
      RestoreGeometry();
    }
    const std::string savedTag = tag;
    tag = expandedTag();
    if (parent && bandAlign == 6) y = parent->y;
    if (parent && bandAlign == 4 && parent->vertical()) {
      dx = parent->dx;
      bandAlign = 0;
    }
    const bool suppress = flags & flSuppressRepeated;
    const std::string text = joined(memo1);
    if (!(suppress && text == lastValue)) {
      writePreparedRecord(stream);
      if (suppress) lastValue = text;
    }
    if (drawMode == drPart)
      memo1.assign(fullWrapped.begin() + std::min<std::size_t>(linesDrawn, fullWrapped.size()),
                   fullWrapped.end());
    tag = savedTag;
    RestoreHighlight();
  }
  x = x0, y = y0, dx = dx0, dy = dy0;
  bandAlign = align0;
  clipped = false;
  drawMode = drAll;
}

std::int32_t TfrMemoView::CalcTextWidth(QPainter*) {
  const QFont f = memoFont(font, scratchFontHeight(font.size), characterSpacing);
  const QFontMetricsF fm(f, &scratchDevice());
  std::string text = joined(memo1);
  text.erase(std::remove(text.begin(), text.end(), kParagraphMark), text.end());
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
    text.resize(text.size() - 2);
  double widest = 0;
  for (const std::string& line : splitLines(text))
    widest = std::max(widest, fm.horizontalAdvance(toQString(line)));
  return roundEven(widest + frameWidth + 2 * gapX + 1);
}

void TfrMemoView::drawRuleLines(QPainter& canvas) {
  const int px = textPixelHeight(canvas);
  const int step = roundEven(lineSpacing * scaleY) + px;
  if (step <= 0) return;
  QPen pen(colorFromValue(frameColor), std::max(0, roundEven(frameWidth)));
  if (roundEven(frameWidth) <= 1) pen.setWidth(0);
  canvas.save();
  canvas.setPen(pen);
  // Rules below the device are not drawn (a damaged height may ask for a million of them).
  const int bottom = canvas.device() ? canvas.device()->height() : INT_MAX;
  for (int i = 0; i < dy / step; ++i) {
    const std::int64_t ly64 =
        std::int64_t(y) + gapY + std::int64_t(i) * step + roundEven(2 * scaleY) + px;
    if (canvas.transform().isIdentity() && ly64 > bottom) break;
    const int ly = static_cast<int>(ly64);
    canvas.drawLine(x, ly, x + dx - 1, ly);
  }
  canvas.restore();
}

int TfrMemoView::textPixelHeight(QPainter& canvas) const {
  if (printing && canvas.device())
    return roundEven(font.size * canvas.device()->logicalDpiY() / 72.0);
  const double h = font.size * 96.0 / 72.0 * scaleY;
  if (frDocMode() == TfrDocMode::Template || scaleY == 1.0) return roundEven(h);
  return static_cast<int>(h);
}

void TfrMemoView::drawText(QPainter& canvas, const TfrStrings& lines) {
  linesDrawn = 0;
  const int px = textPixelHeight(canvas);
  const QFont f = memoFont(font, px, roundEven(characterSpacing * scaleX));
  const QFontMetricsF fm(f, canvas.device());
  const bool rotated = alignment & 4;
  const int halign = alignment & 3;
  const int valign = (alignment >> 3) & 3;
  // The text rectangle: the drawing rectangle less one pixel at the left, two at the right and
  // one at the bottom (right and bottom exclusive).
  const int rl = drawRect.left() + 1, rt = drawRect.top();
  const int rr = drawRect.right() + 1 - 2, rb = drawRect.bottom() + 1 - 1;
  const QRect textRect(QPoint(rl, rt), QPoint(rr - 1, rb - 1));
  const int rectW = drawRect.width(), rectH = drawRect.height();
  const int th = roundEven(textHeight * (rotated ? scaleX : scaleY));
  const int step = roundEven(lineSpacing * (rotated ? scaleX : scaleY)) + px;
  int bx = x, by = y;
  if (!clipped) {
    if (!rotated) {
      if (valign == 1) by += (rectH - th) / 2;
      if (valign == 2) by = rb - th - 1;
    } else {
      if (valign == 1) bx += (rectW - th) / 2;
      if (valign == 2) bx = drawRect.right() + 1 - th;
    }
  }
  std::int64_t pos = static_cast<std::int64_t>(rotated ? bx : by) + (rotated ? gapX : gapY);
  // Lines past the text rectangle are clipped away: drawing stops there (exporting goes on).
  const std::int64_t beyond = rotated ? rr : rb;
  TfrExportFilter* filter = exporting ? frCurrentExportFilter() : nullptr;
  canvas.save();
  canvas.setFont(f);
  canvas.setPen(colorFromValue(font.color));
  canvas.setBackgroundMode(Qt::TransparentMode);
  if (!exporting) canvas.setClipRect(textRect, Qt::IntersectClip);
  const int count = static_cast<int>(lines.size());
  for (int i = 0; i < count; ++i) {
    if (clipped && pos + px > beyond) break;
    if (!exporting && !clipped && pos > beyond) break;
    const int at = static_cast<int>(std::clamp<std::int64_t>(pos, INT_MIN, INT_MAX));
    std::string line = lines[static_cast<std::size_t>(i)];
    const bool paragraphEnd = line.empty() || hasMark(line);
    line.erase(std::remove(line.begin(), line.end(), kParagraphMark), line.end());
    const QString q = toQString(line);
    const int tw = roundEven(fm.horizontalAdvance(q));
    const int spaces = static_cast<int>(q.count(u' ') + q.count(QChar(0xA0)));
    const bool justify = halign == 3 && spaces > 0 && !paragraphEnd;
    int start;  // along the line: x for normal lines, y (bottom-up) for rotated ones
    if (!rotated) {
      switch (halign) {
        case 1:
          start = x + rectW - gapX - tw - 1;
          break;
        case 2:
          start = x + gapX + (rectW - 2 * gapX - tw) / 2;
          break;
        default:
          start = x + gapX;
          break;
      }
    } else {
      switch (halign) {
        case 1:
          start = y + gapY + tw;
          break;
        case 2:
          start = rb - gapY - (rectH - 2 * gapY - tw) / 2 - 1;
          break;
        default:
          start = rb - gapY;
          break;
      }
    }
    const int extra = (rotated ? rectH - 2 * gapY : rectW - 2 * gapX) - tw;
    if (filter) {
      std::uint16_t lines = frameTyp;
      if (i > 0) lines &= ~8;
      if (i < count - 1) lines &= ~2;
      filter->OnText(textRect, rotated ? at : start, rotated ? start : at, line, *this, lines);
    } else if (!exporting && !clipped) {
      canvas.save();
      if (rotated) {
        canvas.translate(at, start);
        canvas.rotate(-90);
      } else {
        canvas.translate(start, at);
      }
      const double ascent = fm.ascent();
      if (justify) {
        // The extra width goes to the spaces, the first ones taking the remainder.
        int seen = 0;
        double at = 0;
        int from = 0;
        for (int c = 0; c <= q.size(); ++c) {
          if (c < q.size() && q[c] != u' ' && q[c] != QChar(0xA0)) continue;
          const QString word = q.mid(from, c - from);
          canvas.drawText(QPointF(at, ascent), word);
          if (c == q.size()) break;
          at += fm.horizontalAdvance(q.mid(from, c - from + 1));
          at += extra / spaces + (seen < extra % spaces ? 1 : 0);
          ++seen;
          from = c + 1;
        }
      } else if (flags & flRTLReading) {
        canvas.drawText(QRectF(0, 0, std::max(tw, 1) + 2.0, fm.height()),
                        Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignTop |
                            Qt::TextForceRightToLeft | Qt::TextDontClip,
                        q);
      } else {
        canvas.drawText(QPointF(0, ascent), q);
      }
      canvas.restore();
    }
    pos += step;
    ++linesDrawn;
  }
  canvas.restore();
}

void TfrMemoView::Paint(QPainter& canvas) {
  const bool autoWidth = flags & flAutoSize;
  const bool rotated = alignment & 4;
  if (autoWidth && frDocMode() == TfrDocMode::Output && !memo1.empty()) {
    const std::int32_t w = CalcTextWidth();
    if (rotated) {
      dy = w;
    } else {
      if (alignment & 1) x -= w - dx;
      dx = w;
    }
  }
  const std::int32_t x0 = x, dx0 = dx;
  PrepareDrawing();
  clipped = false;
  TfrStrings text = memo1;
  if (!text.empty()) {
    alreadyWrapped = std::any_of(text.begin(), text.end(), hasMark);
    if (text.back() == std::string(1, kParagraphMark)) text.pop_back();
    // Wrapping is done in layout units, whatever the scale of this drawing.
    const double sx = scaleX, sy = scaleY;
    const std::int32_t ox = offsetX, oy = offsetY;
    scaleX = scaleY = 1.0;
    offsetX = offsetY = 0;
    ApplyScale();
    if (autoWidth) dx += 100;
    const TfrStrings expanded = std::move(memo1);
    memo1 = text;
    WrapMemo(frDocMode() == TfrDocMode::Template);
    memo1 = expanded;
    RestoreGeometry();
    scaleX = sx, scaleY = sy, offsetX = ox, offsetY = oy;
    text = wrappedLines();
  }
  ApplyScale();
  if (!exporting) {
    PaintBackground(canvas);
    PaintFrame(canvas);
    if (flags & flUnderlines) drawRuleLines(canvas);
  }
  drawText(canvas, text);
  RestoreGeometry();
  x = x0, dx = dx0;
}

void TfrMemoView::Export() {
  exporting = true;
  try {
    withScratchCanvas([&](QPainter& canvas) { Paint(canvas); });
  } catch (...) {
    exporting = false;
    throw;
  }
  exporting = false;
}

}  // namespace kelpo::report
