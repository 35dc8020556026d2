// Drawing Kelpo's own skin: warm cream controls, a paprika caption, honey highlights and basil
// marks. Each element is painted with smoothing over the colour it will sit on, and only the
// pixels outside its shape become the 0xFF00FF key, so edges stay clean without pink fringes.
#include "tools/skin_art/skin_art.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace kelpo::skin::tools {
namespace {

const QColor kKey(255, 0, 255);
const QColor kFace(236, 233, 216);
const QColor kInk(58, 44, 32);
const QColor kBrown(164, 136, 104);
const QColor kBrownLight(200, 182, 156);
const QColor kHoney(218, 156, 60);
const QColor kHoneyLight(253, 232, 184);
const QColor kBasil(86, 140, 60);
const QColor kCream(252, 250, 244);

constexpr int kCaption = 30;

QColor mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                          a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

// The caption's vertical gradient; buttons and the text plate blend into it row by row.
QColor captionColour(int y, bool active) {
  const double t = std::clamp(y / double(kCaption - 1), 0.0, 1.0);
  return active ? mix(QColor(226, 120, 74), QColor(184, 76, 44), t)
                : mix(QColor(170, 146, 128), QColor(146, 122, 104), t);
}

QImage canvas(int w, int h, const QColor& fill) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

void fillCaption(QImage& image, int yOffset, bool active) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColor(x, y, captionColour(y + yOffset, active));
}

// Pixels that the shape covers less than half become the transparency key.
void keyOutside(QImage& image, const QPainterPath& shape) {
  QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  QPainter p(&mask);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillPath(shape, Qt::white);
  p.end();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(mask.pixel(x, y)) < 128) image.setPixelColor(x, y, kKey);
}

QPainterPath rounded(const QRectF& r, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

QImage toBitmap(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// Frames side by side (or stacked) into one strip.
QImage strip(const std::vector<QImage>& frames, bool stacked = false) {
  const int w = frames[0].width(), h = frames[0].height();
  const int n = static_cast<int>(frames.size());
  QImage out(stacked ? w : w * n, stacked ? h * n : h, QImage::Format_RGB32);
  QPainter p(&out);
  for (int i = 0; i < n; ++i) p.drawImage(stacked ? QPoint(0, i * h) : QPoint(i * w, 0), frames[i]);
  return out;
}

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  return g;
}

// ---- window frame -------------------------------------------------------------------------

constexpr int kMockW = 160, kMockH = 80, kBorder = 4;

// A whole window outline, from which the four pieces are cut so their joins always match.
QImage mockWindow(bool active) {
  const QColor outer = active ? QColor(118, 46, 26) : QColor(104, 88, 76);
  const QColor inner = active ? QColor(150, 58, 32) : QColor(128, 108, 92);
  const QColor border = captionColour(kCaption - 1, active);
  QImage image = canvas(kMockW, kMockH, outer);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF body(1, 1, kMockW - 2, kMockH - 2);
  QPainterPath inside;
  inside.addRoundedRect(body.adjusted(0, 0, 0, 8), 6, 6);  // round top corners only
  inside = inside.intersected([&] {
    QPainterPath clip;
    clip.addRect(body);
    return clip;
  }());
  QImage caption = canvas(kMockW, kMockH, border);
  fillCaption(caption, 0, active);
  for (int y = kCaption; y < kMockH; ++y)
    for (int x = 0; x < kMockW; ++x) caption.setPixelColor(x, y, border);
  p.setClipPath(inside);
  p.drawImage(0, 0, caption);
  p.setClipping(false);
  p.setRenderHint(QPainter::Antialiasing, false);
  // A soft highlight under the top edge, and the line that frames the client area.
  p.setPen(active ? QColor(240, 158, 114) : QColor(190, 170, 154));
  p.drawLine(7, 1, kMockW - 8, 1);
  p.setPen(inner);
  p.drawRect(kBorder - 1, kCaption - 1, kMockW - 2 * kBorder + 1, kMockH - kCaption - kBorder + 1);
  p.fillRect(kBorder, kCaption, kMockW - 2 * kBorder, kMockH - kCaption - kBorder, kFace);
  p.end();
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0, 0, kMockW, kMockH + 8), 7, 7);
  keyOutside(image, shape);
  return image;
}

QImage rows(const QImage& from, int x, int w, std::initializer_list<std::pair<int, int>> spans) {
  int h = 0;
  for (auto [y, n] : spans) h += n;
  QImage out(w, h, QImage::Format_RGB32);
  QPainter p(&out);
  int at = 0;
  for (auto [y, n] : spans) {
    p.drawImage(QPoint(0, at), from, QRect(x, y, w, n));
    at += n;
  }
  return out;
}

QImage columns(const QImage& from, int y, int h, std::initializer_list<std::pair<int, int>> spans) {
  int w = 0;
  for (auto [x, n] : spans) w += n;
  QImage out(w, h, QImage::Format_RGB32);
  QPainter p(&out);
  int at = 0;
  for (auto [x, n] : spans) {
    p.drawImage(QPoint(at, 0), from, QRect(x, y, n, h));
    at += n;
  }
  return out;
}

void framePieces(std::vector<SkinBitmap>& out) {
  const QImage a = mockWindow(true), i = mockWindow(false);
  auto side = [&](const QImage& m, int x) {
    return rows(m, x, kBorder, {{0, kCaption}, {kCaption + 10, 3}, {kMockH - 3, 3}});
  };
  auto top = [&](const QImage& m) {
    return columns(m, 0, kCaption, {{kBorder, 25}, {60, 40}, {kMockW - kBorder - 32, 32}});
  };
  auto bottom = [&](const QImage& m) {
    return columns(m, kMockH - kBorder, kBorder,
                   {{kBorder, 4}, {60, 20}, {kMockW - kBorder - 4, 4}});
  };
  out.push_back({"top.bmp", strip({top(a), top(i)}, true)});
  out.push_back({"left.bmp", strip({side(a, 0), side(i, 0)})});
  out.push_back({"right.bmp", strip({side(a, kMockW - kBorder), side(i, kMockW - kBorder)})});
  out.push_back({"bottom.bmp", strip({bottom(a), bottom(i)}, true)});

  // The plate behind the caption text: a faint lighter band with round ends.
  std::vector<QImage> plates;
  for (bool active : {true, false}) {
    QImage plate = canvas(40, kCaption, Qt::black);
    fillCaption(plate, 0, active);
    QPainter p(&plate);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath band = rounded(QRectF(0.5, 5.5, 39, 19), 7);
    p.fillPath(band, QColor(255, 255, 255, active ? 30 : 20));
    p.end();
    keyOutside(plate, band);
    plates.push_back(toBitmap(plate));
  }
  out.push_back({"textback.bmp", strip(plates, true)});
}

// ---- title-bar buttons ----------------------------------------------------------------------

enum class Glyph { Close, Maximize, Restore, Minimize, Help };
enum class Look { Normal, Pressed, Hot, Inactive, Disabled, InactiveDisabled };

void drawGlyph(QPainter& p, Glyph glyph, const QColor& colour, QPointF at) {
  QPen pen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  const double x = at.x(), y = at.y();
  switch (glyph) {
    case Glyph::Close:
      p.drawLine(QPointF(x + 6.5, y + 6.5), QPointF(x + 14.5, y + 14.5));
      p.drawLine(QPointF(x + 14.5, y + 6.5), QPointF(x + 6.5, y + 14.5));
      break;
    case Glyph::Maximize:
      p.setPen(QPen(colour, 1.6));
      p.drawRect(QRectF(x + 6, y + 6, 9, 9));
      p.fillRect(QRectF(x + 6, y + 6, 9, 2.5), colour);
      break;
    case Glyph::Restore:
      // The back window shows only where the front one does not cover it.
      p.save();
      {
        QPainterPath visible;
        visible.addRect(QRectF(x, y, 21, 21));
        QPainterPath front;
        front.addRect(QRectF(x + 4.5, y + 8, 9, 9));
        p.setClipPath(visible.subtracted(front));
      }
      p.setPen(QPen(colour, 1.4));
      p.drawRect(QRectF(x + 8.5, y + 5, 7.5, 7.5));
      p.restore();
      p.setPen(QPen(colour, 1.6));
      p.drawRect(QRectF(x + 5.5, y + 9, 7, 7));
      p.fillRect(QRectF(x + 5.5, y + 9, 7, 2), colour);
      break;
    case Glyph::Minimize:
      p.fillRect(QRectF(x + 6, y + 13, 9, 2.5), colour);
      break;
    case Glyph::Help: {
      QPainterPath q;
      q.moveTo(x + 7.5, y + 8.5);
      q.cubicTo(x + 7.5, y + 4.5, x + 14, y + 4.5, x + 13.8, y + 8.2);
      q.cubicTo(x + 13.6, y + 10.5, x + 10.5, y + 10.8, x + 10.5, y + 13);
      p.drawPath(q);
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(QPointF(x + 10.5, y + 16), 1.3, 1.3);
      break;
    }
  }
}

QImage titleButton(Glyph glyph, Look look) {
  const bool active = look != Look::Inactive && look != Look::InactiveDisabled;
  QImage image = canvas(21, 21, Qt::black);
  fillCaption(image, 5, active);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(0.5, 0.5, 20, 20);
  const bool close = glyph == Glyph::Close;
  QColor fill, edge, ink = Qt::white;
  switch (look) {
    case Look::Normal:
      fill = close ? QColor(206, 62, 42, 230) : QColor(255, 255, 255, 40);
      edge = QColor(255, 255, 255, 120);
      break;
    case Look::Pressed:
      fill = close ? QColor(150, 36, 22, 240) : QColor(90, 30, 10, 70);
      edge = QColor(255, 255, 255, 90);
      break;
    case Look::Hot:
      fill = close ? QColor(232, 84, 56, 245) : QColor(255, 216, 150, 110);
      edge = QColor(255, 238, 204, 220);
      break;
    case Look::Inactive:
      fill = QColor(255, 255, 255, 30);
      edge = QColor(255, 255, 255, 70);
      ink = QColor(216, 228, 248);
      break;
    case Look::Disabled:
    case Look::InactiveDisabled:
      fill = QColor(255, 255, 255, 16);
      edge = QColor(255, 255, 255, 50);
      ink = QColor(255, 255, 255, 100);
      break;
  }
  if (look == Look::Pressed || look == Look::Normal || look == Look::Hot) {
    // A thin shadow line under the button lifts it off the caption.
    p.setPen(QPen(QColor(90, 30, 12, 60), 1));
    p.drawLine(QPointF(3, 20.5), QPointF(18, 20.5));
  }
  p.setPen(QPen(edge, 1));
  p.setBrush(fill);
  p.drawRoundedRect(box.adjusted(0, 0, 0, -0.5), 4, 4);
  drawGlyph(p, glyph, ink, look == Look::Pressed ? QPointF(0.5, 0.5) : QPointF(0, 0));
  p.end();
  return toBitmap(image);
}

void titleButtons(std::vector<SkinBitmap>& out) {
  const std::pair<Glyph, const char*> kinds[] = {{Glyph::Close, "close"},
                                                 {Glyph::Maximize, "maximize"},
                                                 {Glyph::Restore, "restore"},
                                                 {Glyph::Minimize, "minimize"},
                                                 {Glyph::Help, "help"}};
  for (auto [glyph, name] : kinds) {
    const std::string n(name);
    out.push_back(
        {n + ".bmp", strip({titleButton(glyph, Look::Normal), titleButton(glyph, Look::Pressed),
                            titleButton(glyph, Look::Hot), titleButton(glyph, Look::Inactive)})});
    out.push_back({n + "_hover.bmp", titleButton(glyph, Look::Hot)});
    // Buttons that take no clicks are read with six frames: three for an active window, then
    // three for an inactive one.
    const QImage on = titleButton(glyph, Look::Disabled),
                 off = titleButton(glyph, Look::InactiveDisabled);
    out.push_back({n + "_disabled.bmp", strip({on, on, on, off, off, off})});
  }
}

// ---- controls -------------------------------------------------------------------------------

enum class State { Normal, Pressed, Disabled, Hot, Default };

struct Face {
  QColor top, bottom, edge;
};

Face faceOf(State s) {
  switch (s) {
    case State::Pressed:
      return {QColor(222, 211, 190), QColor(240, 233, 218), QColor(138, 110, 80)};
    case State::Disabled:
      return {QColor(243, 240, 232), QColor(238, 235, 225), QColor(206, 198, 184)};
    case State::Hot:
      return {QColor(255, 249, 234), QColor(250, 226, 172), kHoney};
    case State::Default:
    case State::Normal:
      break;
  }
  return {QColor(255, 253, 247), QColor(234, 226, 206), kBrown};
}

// A rounded control face, keyed outside its corners.
QImage controlFace(int w, int h, State s, double radius = 3.5, bool key = true) {
  QImage image = canvas(w, h, kFace);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(0.5, 0.5, w - 1, h - 1);
  const Face f = faceOf(s);
  p.setPen(QPen(f.edge, 1));
  p.setBrush(vertical(r, f.top, f.bottom));
  p.drawRoundedRect(r, radius, radius);
  if (s == State::Normal || s == State::Hot || s == State::Default) {
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.drawLine(QPointF(radius, 1.5), QPointF(w - radius, 1.5));
  }
  if (s == State::Default) {
    p.setPen(QPen(kHoney, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
  }
  p.end();
  if (key) keyOutside(image, rounded(QRectF(0, 0, w, h), radius + 0.5));
  return toBitmap(image);
}

void chevron(QPainter& p, QPointF centre, int direction, const QColor& colour, double size = 3) {
  // direction: 0 left, 1 right, 2 up, 3 down
  QPainterPath path;
  const double s = size;
  const QPointF c = centre;
  switch (direction) {
    case 0:
      path.moveTo(c + QPointF(s / 2, -s));
      path.lineTo(c + QPointF(-s / 2, 0));
      path.lineTo(c + QPointF(s / 2, s));
      break;
    case 1:
      path.moveTo(c + QPointF(-s / 2, -s));
      path.lineTo(c + QPointF(s / 2, 0));
      path.lineTo(c + QPointF(-s / 2, s));
      break;
    case 2:
      path.moveTo(c + QPointF(-s, s / 2));
      path.lineTo(c + QPointF(0, -s / 2));
      path.lineTo(c + QPointF(s, s / 2));
      break;
    default:
      path.moveTo(c + QPointF(-s, -s / 2));
      path.lineTo(c + QPointF(0, s / 2));
      path.lineTo(c + QPointF(s, -s / 2));
      break;
  }
  p.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

QImage arrowButton(int w, int h, int direction, State s) {
  QImage face = controlFace(w, h, s, 2.5);
  QImage image = face.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = s == State::Disabled ? kBrownLight : kInk;
  const QPointF shift = s == State::Pressed ? QPointF(0.5, 0.5) : QPointF(0, 0);
  chevron(p, QPointF(w / 2.0, h / 2.0) + shift, direction, ink);
  p.end();
  keyOutside(image, rounded(QRectF(0, 0, w, h), 3));
  return toBitmap(image);
}

QImage mark(bool radio, bool checked, bool disabled) {
  QImage image = canvas(13, 13, kFace);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(0.5, 0.5, 12, 12);
  p.setPen(QPen(disabled ? kBrownLight : kBrown, 1));
  p.setBrush(disabled ? QBrush(QColor(244, 242, 236))
                      : QBrush(vertical(r, QColor(246, 242, 232), Qt::white)));
  if (radio)
    p.drawEllipse(r);
  else
    p.drawRoundedRect(r, 2, 2);
  const QColor ink = disabled ? QColor(180, 170, 156) : kBasil;
  if (checked && radio) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(6.5, 6.5), 3, 3);
  } else if (checked) {
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(3.2, 6.8);
    tick.lineTo(5.6, 9.2);
    tick.lineTo(9.8, 3.8);
    p.drawPath(tick);
  }
  p.end();
  return toBitmap(image);
}

// An all-key frame: the state draws nothing and leaves the control's own background.
QImage clear(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kKey);
  return image;
}

// A rounded outline with a keyed centre (group boxes, edit borders, page borders).
QImage outline(int w, int h, const QColor& edge, double radius, bool innerLight) {
  QImage image = canvas(w, h, kFace);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(edge, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
  if (innerLight) {
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.drawRoundedRect(QRectF(1.5, 1.5, w - 3, h - 3), radius - 1, radius - 1);
  }
  p.end();
  QPainterPath ring = rounded(QRectF(0, 0, w, h), radius + 0.5);
  ring.addRoundedRect(QRectF(innerLight ? 2 : 1, innerLight ? 2 : 1, w - (innerLight ? 4 : 2),
                             h - (innerLight ? 4 : 2)),
                      std::max(radius - 1.5, 0.5), std::max(radius - 1.5, 0.5));
  ring.setFillRule(Qt::OddEvenFill);
  keyOutside(image, ring);
  return toBitmap(image);
}

void controls(std::vector<SkinBitmap>& out) {
  const State five[] = {State::Normal, State::Pressed, State::Disabled, State::Hot, State::Default};
  std::vector<QImage> frames;
  for (State s : five) frames.push_back(controlFace(22, 22, s));
  out.push_back({"button.bmp", strip(frames)});

  out.push_back({"check.bmp", strip({mark(false, false, false), mark(false, true, false),
                                     mark(false, false, true), mark(false, true, true)})});
  out.push_back({"radio.bmp", strip({mark(true, false, false), mark(true, true, false),
                                     mark(true, false, true), mark(true, true, true)})});

  // Progress: the sunken track, then the filled part in honey.
  {
    QImage track = canvas(16, 14, kFace), fill = canvas(16, 14, kFace);
    QPainter p(&track);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBrownLight, 1));
    p.setBrush(vertical(QRectF(0, 0, 16, 14), QColor(232, 226, 210), QColor(250, 248, 240)));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 13), 3, 3);
    p.end();
    QPainter q(&fill);
    q.setRenderHint(QPainter::Antialiasing);
    q.setPen(QPen(QColor(196, 130, 40), 1));
    q.setBrush(vertical(QRectF(0, 0, 16, 14), QColor(252, 206, 112), QColor(222, 146, 48)));
    q.drawRoundedRect(QRectF(0.5, 0.5, 15, 13), 3, 3);
    q.end();
    keyOutside(track, rounded(QRectF(0, 0, 16, 14), 3.5));
    keyOutside(fill, rounded(QRectF(0, 0, 16, 14), 3.5));
    out.push_back({"progress.bmp", strip({toBitmap(track), toBitmap(fill)})});
    QImage chunk = canvas(8, 10, kFace);
    QPainter c(&chunk);
    c.setRenderHint(QPainter::Antialiasing);
    c.setPen(Qt::NoPen);
    c.setBrush(vertical(QRectF(0, 0, 8, 10), QColor(252, 206, 112), QColor(222, 146, 48)));
    c.drawRoundedRect(QRectF(0.5, 0.5, 6, 9), 1.5, 1.5);
    c.end();
    out.push_back({"progress_chunk.bmp", toBitmap(chunk)});
  }

  out.push_back({"groupbox.bmp",
                 strip({outline(16, 16, kBrownLight, 4, true), outline(16, 16, kHoney, 4, true)})});

  // Tabs: rounded top corners; the chosen tab is the lightest and carries a honey line.
  {
    std::vector<QImage> tabs;
    for (State s : five) {
      QImage image = canvas(20, 22, kFace);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      const bool chosen = s == State::Pressed;
      const QRectF r(0.5, 0.5, 19, 24);
      p.setPen(QPen(s == State::Disabled ? QColor(210, 200, 184) : kBrownLight, 1));
      p.setBrush(
          vertical(r, chosen ? Qt::white : QColor(248, 244, 234),
                   chosen ? kCream : (s == State::Hot ? kHoneyLight : QColor(234, 228, 212))));
      p.drawRoundedRect(r, 4, 4);
      if (chosen || s == State::Hot) {
        p.setPen(Qt::NoPen);
        p.setBrush(chosen ? kHoney : QColor(236, 190, 110));
        p.drawRoundedRect(QRectF(1, 1, 18, 3), 1.5, 1.5);
      }
      p.end();
      keyOutside(image, rounded(QRectF(0, 0, 20, 30), 4.5));
      tabs.push_back(toBitmap(image));
    }
    // Frames: normal, focused (drawn as the pressed state), disabled, hot, normal again.
    out.push_back({"tabs.bmp", strip(tabs)});
    out.push_back({"tab_border.bmp", outline(12, 12, kBrownLight, 1.5, true)});
  }

  // Status bar panels: lowered, raised, flat.
  {
    std::vector<QImage> panels;
    for (int kind = 0; kind < 3; ++kind) {
      QImage image = canvas(12, 12, kFace);
      QPainter p(&image);
      const QColor dark(196, 182, 160), light(252, 250, 244);
      if (kind < 2) {
        p.setPen(kind == 0 ? dark : light);
        p.drawLine(0, 0, 11, 0);
        p.drawLine(0, 0, 0, 11);
        p.setPen(kind == 0 ? light : dark);
        p.drawLine(1, 11, 11, 11);
        p.drawLine(11, 1, 11, 11);
      }
      p.end();
      panels.push_back(toBitmap(image));
    }
    out.push_back({"statusbar.bmp", strip(panels)});
  }

  // The combo box's drop button: normal, pressed, disabled, hot.
  {
    std::vector<QImage> frames;
    for (State s : {State::Normal, State::Pressed, State::Disabled, State::Hot})
      frames.push_back(arrowButton(17, 20, 3, s));
    out.push_back({"combo.bmp", strip(frames)});
  }

  // Header sections: a light band with a honey-tinted foot and a separator on the right.
  {
    std::vector<QImage> frames;
    for (State s : five) {
      QImage image = canvas(16, 20, kFace);
      QPainter p(&image);
      const QRectF r(0, 0, 16, 20);
      const bool down = s == State::Pressed;
      p.fillRect(r, vertical(r, down ? QColor(234, 226, 208) : QColor(252, 250, 242),
                             down ? QColor(246, 240, 228) : QColor(236, 230, 214)));
      p.fillRect(QRectF(0, 18, 16, 2), s == State::Hot ? kHoney : QColor(214, 198, 170));
      p.fillRect(QRectF(15, 3, 1, 13), QColor(206, 192, 168));
      p.fillRect(QRectF(14, 3, 1, 13), QColor(255, 255, 255));
      p.end();
      frames.push_back(toBitmap(image));
    }
    out.push_back({"header.bmp", strip(frames)});
  }

  // Menu items: nothing, chosen, chosen while disabled, hot, checked mark's ground.
  {
    auto item = [](const QColor& fill, const QColor& edge) {
      QImage image = canvas(16, 16, kCream);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(edge, 1));
      p.setBrush(fill);
      p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
      p.end();
      keyOutside(image, rounded(QRectF(0, 0, 16, 16), 3.5));
      return toBitmap(image);
    };
    out.push_back({"menuitem.bmp", strip({clear(16, 16), item(kHoneyLight, QColor(226, 170, 80)),
                                          item(QColor(242, 238, 228), QColor(212, 202, 188)),
                                          item(kHoneyLight, QColor(226, 170, 80)),
                                          item(QColor(222, 236, 208), QColor(140, 180, 110))})});
  }

  // The drop-down menu's ground: cream with a warm edge.
  {
    QImage image = canvas(16, 16, kCream);
    QPainter p(&image);
    p.setPen(QColor(176, 150, 120));
    p.drawRect(0, 0, 15, 15);
    p.setPen(Qt::white);
    p.drawLine(1, 1, 14, 1);
    p.drawLine(1, 1, 1, 14);
    p.end();
    out.push_back({"menuframe.bmp", toBitmap(image)});
  }

  // Scroll arrows: left, right, up, down, four states each, then seven spare faces.
  {
    std::vector<QImage> frames;
    for (int direction : {0, 1, 2, 3})
      for (State s : {State::Normal, State::Pressed, State::Hot, State::Disabled})
        frames.push_back(arrowButton(16, 16, direction, s));
    while (frames.size() < 23) frames.push_back(controlFace(16, 16, State::Normal, 2.5));
    out.push_back({"scrollarrows.bmp", strip(frames)});
  }

  // Shafts: a light channel with soft edges along its length.
  for (bool horizontal : {true, false}) {
    std::vector<QImage> frames;
    for (State s : {State::Normal, State::Pressed, State::Hot, State::Disabled}) {
      QImage image = canvas(16, 16, kFace);
      QPainter p(&image);
      const QColor ground = s == State::Pressed    ? QColor(226, 218, 200)
                            : s == State::Disabled ? QColor(242, 240, 234)
                                                   : QColor(240, 236, 224);
      image.fill(ground);
      p.setPen(QColor(218, 208, 188));
      if (horizontal) {
        p.drawLine(0, 0, 15, 0);
        p.drawLine(0, 15, 15, 15);
      } else {
        p.drawLine(0, 0, 0, 15);
        p.drawLine(15, 0, 15, 15);
      }
      p.end();
      frames.push_back(toBitmap(image));
    }
    out.push_back({horizontal ? "horzscroll.bmp" : "vertscroll.bmp", strip(frames)});
  }

  // Thumbs: a rounded pill in warm cream; pressed and hot in honey.
  for (bool horizontal : {true, false}) {
    std::vector<QImage> frames;
    for (State s : {State::Normal, State::Pressed, State::Hot}) {
      QImage image = canvas(16, 16, QColor(240, 236, 224));
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      const QRectF r = horizontal ? QRectF(0.5, 1.5, 15, 13) : QRectF(1.5, 0.5, 13, 15);
      const Face f = faceOf(s == State::Hot ? State::Hot : s);
      p.setPen(QPen(f.edge, 1));
      QLinearGradient g =
          horizontal ? vertical(r, f.top, f.bottom) : QLinearGradient(r.topLeft(), r.topRight());
      if (!horizontal) {
        g.setColorAt(0, f.top);
        g.setColorAt(1, f.bottom);
      }
      p.setBrush(g);
      p.drawRoundedRect(r, 4, 4);
      p.end();
      keyOutside(image, rounded(r.adjusted(-0.5, -0.5, 0.5, 0.5), 4.5));
      frames.push_back(toBitmap(image));
    }
    out.push_back({horizontal ? "horzthumb.bmp" : "vertthumb.bmp", strip(frames)});
  }

  // The maximised child window's minimise, restore and close buttons, four frames each.
  {
    std::vector<QImage> frames;
    for (Glyph glyph : {Glyph::Minimize, Glyph::Restore, Glyph::Close})
      for (State s : {State::Normal, State::Pressed, State::Hot, State::Hot}) {
        QImage face = controlFace(16, 14, s, 2.5);
        QImage image = face.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(16 / 21.0, 14 / 21.0);
        drawGlyph(p, glyph, kInk, QPointF(0, 0));
        p.end();
        keyOutside(image, rounded(QRectF(0, 0, 16, 14), 3));
        frames.push_back(toBitmap(image));
      }
    out.push_back({"mdicontrols.bmp", strip(frames)});
  }

  // Tool-bar buttons are flat until the pointer is over them.
  out.push_back({"toolbar.bmp",
                 strip({clear(22, 22), controlFace(22, 22, State::Pressed), clear(22, 22),
                        controlFace(22, 22, State::Hot), controlFace(22, 22, State::Pressed)})});

  // The menu bar: a cream band with a soft line below; the inactive frame is a little greyer.
  {
    std::vector<QImage> frames;
    for (bool active : {true, false}) {
      QImage image = canvas(24, 20, kFace);
      QPainter p(&image);
      const QRectF r(0, 0, 24, 20);
      p.fillRect(r, vertical(r, active ? QColor(250, 247, 236) : QColor(242, 240, 232),
                             active ? QColor(238, 233, 216) : QColor(232, 230, 222)));
      p.fillRect(QRectF(0, 19, 24, 1), QColor(214, 202, 180));
      p.end();
      frames.push_back(toBitmap(image));
    }
    out.push_back({"menubar.bmp", strip(frames)});
  }

  // Edit borders: normal, pressed, disabled, hot (focused in honey).
  out.push_back({"sunkedge.bmp", strip({outline(16, 16, QColor(176, 156, 128), 2, false),
                                        outline(16, 16, QColor(150, 128, 100), 2, false),
                                        outline(16, 16, QColor(212, 204, 190), 2, false),
                                        outline(16, 16, kHoney, 2, false)})});

  // Up-down buttons: first arrow, then second, four states each.
  for (bool horizontal : {true, false}) {
    std::vector<QImage> frames;
    for (int direction : horizontal ? std::vector<int>{0, 1} : std::vector<int>{2, 3})
      for (State s : {State::Normal, State::Pressed, State::Hot, State::Disabled})
        frames.push_back(arrowButton(16, 16, direction, s));
    out.push_back({horizontal ? "updown_horz.bmp" : "updown_vert.bmp", strip(frames)});
  }
}

QByteArray bmpBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
  return bytes;
}

}  // namespace

std::vector<SkinBitmap> drawKelpoBitmaps() {
  std::vector<SkinBitmap> out;
  framePieces(out);
  titleButtons(out);
  controls(out);
  return out;
}

std::vector<PackageItem> kelpoPackageItems() {
  std::vector<PackageItem> items;
  for (const SkinBitmap& b : drawKelpoBitmaps()) {
    const QByteArray bytes = bmpBytes(b.image);
    items.push_back(
        {b.name, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))});
  }
  std::string ini = kelpoDescription();
  // The description is stored with CR LF line ends, as INI files are.
  std::string crlf;
  for (char c : ini) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  items.push_back({"kelpo.ini", crlf});
  return items;
}

QImage contactSheet(const std::vector<SkinBitmap>& bitmaps) {
  constexpr int kScale = 3, kPad = 10, kWidth = 1400;
  // Lay out left to right, wrapping; each bitmap enlarged without smoothing.
  int x = kPad, y = kPad, rowHeight = 0;
  std::vector<QPoint> at;
  for (const SkinBitmap& b : bitmaps) {
    const QSize s = b.image.size() * kScale;
    if (x + s.width() + kPad > kWidth) {
      x = kPad;
      y += rowHeight + 2 * kPad;
      rowHeight = 0;
    }
    at.push_back({x, y});
    x += s.width() + 2 * kPad;
    rowHeight = std::max(rowHeight, s.height());
  }
  QImage sheet(kWidth, y + rowHeight + kPad, QImage::Format_RGB32);
  sheet.fill(QColor(128, 128, 128));
  QPainter p(&sheet);
  for (std::size_t i = 0; i < bitmaps.size(); ++i) {
    const QImage big = bitmaps[i].image.scaled(bitmaps[i].image.size() * kScale);
    p.drawImage(at[i], big);
  }
  return sheet;
}

}  // namespace kelpo::skin::tools
