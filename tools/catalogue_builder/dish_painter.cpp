// Painting of the sample photographs. Everything is drawn in a 400 x 300 scene with Qt's
// antialiased painter; the randomness that makes each dish look natural is seeded from the
// dish name, so a rebuild gives the same pictures.
#include "tools/catalogue_builder/dish_painter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace kelpo::catalogue {
namespace {

constexpr double kPi = std::numbers::pi;

// A small deterministic generator (splitmix64): std distributions differ between libraries.
class Rng {
 public:
  explicit Rng(quint64 seed) : state_(seed) {}
  quint64 next() {
    quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double range(double low, double high) { return low + (high - low) * unit(); }
  bool chance(double p) { return unit() < p; }

 private:
  quint64 state_;
};

quint64 seedOf(const QString& text) {
  quint64 hash = 1469598103934665603ull;  // FNV-1a
  for (char c : text.toUtf8()) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

// An elliptic region of the scene.
struct Oval {
  QPointF centre;
  double rx = 0, ry = 0;
  Oval scaled(double f) const { return {centre, rx * f, ry * f}; }
  Oval scaled(double fx, double fy) const { return {centre, rx * fx, ry * fy}; }
  Oval moved(double dx, double dy) const { return {centre + QPointF(dx, dy), rx, ry}; }
  QRectF rect() const { return {centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry}; }
  QPainterPath path() const {
    QPainterPath p;
    p.addEllipse(centre, rx, ry);
    return p;
  }
};

// A point inside the oval, denser toward its middle, and how far out it lies (0..1).
QPointF pointIn(Rng& rng, const Oval& oval, double* radius = nullptr) {
  const double angle = rng.range(0, 2 * kPi);
  const double r = std::pow(rng.unit(), 0.65);
  if (radius) *radius = r;
  return oval.centre + QPointF(std::cos(angle) * r * oval.rx, std::sin(angle) * r * oval.ry);
}

QColor alpha(QColor c, int a) {
  c.setAlpha(a);
  return c;
}

QColor jitter(Rng& rng, const QColor& c, int amount) {
  int h, s, l, a;
  c.getHsl(&h, &s, &l, &a);
  const int dl = static_cast<int>(rng.range(-amount, amount));
  const int ds = static_cast<int>(rng.range(-amount, amount) / 2);
  return QColor::fromHsl(h, std::clamp(s + ds, 0, 255), std::clamp(l + dl, 0, 255), a);
}

// Fills the oval with a radial gradient stretched to its shape.
void fillOvalRadial(QPainter& p, const Oval& oval, const QGradientStops& stops,
                    QPointF focus = {0, 0}) {
  if (oval.rx <= 0 || oval.ry <= 0) return;
  p.save();
  p.translate(oval.centre);
  p.scale(oval.rx, oval.ry);
  QRadialGradient g(QPointF(0, 0), 1.0, focus);
  g.setStops(stops);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(QPointF(0, 0), 1.0, 1.0);
  p.restore();
}

void softShadow(QPainter& p, const Oval& oval, int strength) {
  fillOvalRadial(p, oval,
                 {{0.0, QColor(0, 0, 0, strength)},
                  {0.7, QColor(0, 0, 0, strength * 2 / 3)},
                  {1.0, QColor(0, 0, 0, 0)}});
}

// ---------------------------------------------------------------- table, plates, bowls

const QColor kPorcelainTrim(0x2F, 0x5D, 0x9E);

QColor clothColour(int categoryIndex) {
  static const QColor palette[] = {QColor(0xB0, 0x3A, 0x2E), QColor(0x2F, 0x5F, 0x8F),
                                   QColor(0x3F, 0x7A, 0x4A), QColor(0xB7, 0x85, 0x2E),
                                   QColor(0x7A, 0x4A, 0x7A), QColor(0x2E, 0x7A, 0x7A),
                                   QColor(0x9A, 0x52, 0x2D)};
  return palette[static_cast<std::size_t>(categoryIndex) % std::size(palette)];
}

void paintCloth(QPainter& p, const QRectF& area, const QColor& stripe) {
  p.fillRect(area, QColor(0xF6, 0xF1, 0xE7));
  const double w = 22;
  for (double x = area.left(); x < area.right(); x += 2 * w)
    p.fillRect(QRectF(x, area.top(), w, area.height()), alpha(stripe, 92));
  for (double y = area.top(); y < area.bottom(); y += 2 * w)
    p.fillRect(QRectF(area.left(), y, area.width(), w), alpha(stripe, 92));
  // The weave: faint threads make the cloth read as fabric, not as a painted grid.
  p.setPen(QPen(QColor(0, 0, 0, 10), 1));
  for (double x = area.left(); x < area.right(); x += 3)
    p.drawLine(QPointF(x, 0), QPointF(x, area.bottom()));
  p.setPen(QPen(QColor(255, 255, 255, 14), 1));
  for (double y = area.top(); y < area.bottom(); y += 3)
    p.drawLine(QPointF(0, y), QPointF(area.right(), y));
  // Light from the upper left, falling off toward the corners.
  QRadialGradient light(area.left() + area.width() * 0.4, area.top() + area.height() * 0.35,
                        area.width() * 0.8);
  light.setColorAt(0.0, QColor(255, 250, 235, 60));
  light.setColorAt(0.55, QColor(255, 250, 235, 0));
  light.setColorAt(1.0, QColor(40, 20, 0, 120));
  p.fillRect(area, light);
}

void paintChopsticks(QPainter& p, QPointF tip, QPointF end) {
  for (int i = 0; i < 2; ++i) {
    const QPointF offset(i * 11.0, i * 2.0);
    const QPointF a = tip + offset, b = end + offset;
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    const QPointF n(-d.y() / len, d.x() / len);
    QPolygonF stick;
    stick << a + n * 1.6 << b + n * 3.6 << b - n * 3.6 << a - n * 1.6;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawPolygon(stick.translated(4, 5));
    QLinearGradient g(a + n * 3, a - n * 3);
    g.setColorAt(0, QColor(0xC8, 0x8A, 0x52));
    g.setColorAt(0.5, QColor(0x9A, 0x5A, 0x2C));
    g.setColorAt(1, QColor(0x6A, 0x3A, 0x1A));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x4A, 0x28, 0x10, 160), 0.8));
    p.drawPolygon(stick);
    // The lacquered top end.
    const QPointF bandStart = a + d * 0.78;
    QPolygonF band;
    band << bandStart + n * 3.1 << b + n * 3.6 << b - n * 3.6 << bandStart - n * 3.1;
    p.setBrush(QColor(0x8E, 0x1E, 0x18));
    p.drawPolygon(band);
  }
}

// A white porcelain plate with a blue trim; returns the well where the food lies.
Oval paintPlate(QPainter& p, const Oval& plate) {
  softShadow(p, plate.moved(plate.rx * 0.04, plate.ry * 0.13).scaled(1.05, 1.07), 120);
  QLinearGradient rim(plate.rect().topLeft(), plate.rect().bottomRight());
  rim.setColorAt(0, Qt::white);
  rim.setColorAt(0.55, QColor(0xF3, 0xF3, 0xF0));
  rim.setColorAt(1, QColor(0xC9, 0xC9, 0xC4));
  p.setPen(QPen(QColor(0x9E, 0x9E, 0x98), 1));
  p.setBrush(rim);
  p.drawEllipse(plate.rect());
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(alpha(kPorcelainTrim, 210), 2.4));
  p.drawEllipse(plate.scaled(0.93).rect());
  p.setPen(QPen(alpha(kPorcelainTrim, 150), 1));
  p.drawEllipse(plate.scaled(0.885).rect());
  const Oval well = plate.scaled(0.74, 0.72).moved(0, plate.ry * 0.03);
  fillOvalRadial(p, well,
                 {{0.0, QColor(0xFF, 0xFF, 0xFF)},
                  {0.8, QColor(0xF1, 0xF1, 0xEE)},
                  {1.0, QColor(0xD8, 0xD8, 0xD3)}},
                 QPointF(-0.2, -0.3));
  p.setPen(QPen(QColor(0, 0, 0, 40), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(well.rect());
  return well;
}

// A porcelain bowl; `rim` is its opening. Returns the liquid's surface.
Oval paintBowl(QPainter& p, const Oval& rim, double depth) {
  const QPointF c = rim.centre;
  softShadow(p, Oval{c + QPointF(10, depth * 0.92), rim.rx * 0.82, rim.ry * 0.62}, 130);
  QPainterPath body;
  body.moveTo(c.x() - rim.rx, c.y());
  body.cubicTo(c.x() - rim.rx, c.y() + depth * 0.78, c.x() - rim.rx * 0.42, c.y() + depth, c.x(),
               c.y() + depth);
  body.cubicTo(c.x() + rim.rx * 0.42, c.y() + depth, c.x() + rim.rx, c.y() + depth * 0.78,
               c.x() + rim.rx, c.y());
  body.closeSubpath();
  // The foot ring peeks out below the body.
  p.setPen(QPen(QColor(0x9A, 0x9A, 0x94), 1));
  p.setBrush(QColor(0xD4, 0xD4, 0xCE));
  p.drawRoundedRect(QRectF(c.x() - rim.rx * 0.33, c.y() + depth - 8, rim.rx * 0.66, 14), 5, 5);
  QLinearGradient side(c.x() - rim.rx, 0, c.x() + rim.rx, 0);
  side.setColorAt(0, QColor(0xCF, 0xCF, 0xCA));
  side.setColorAt(0.33, Qt::white);
  side.setColorAt(0.62, QColor(0xF0, 0xF0, 0xEC));
  side.setColorAt(1, QColor(0xB4, 0xB4, 0xAE));
  p.setBrush(side);
  p.drawPath(body);
  // Blue bands and a row of dots, following the curve of the bowl.
  p.save();
  p.setClipPath(body);
  p.setBrush(Qt::NoBrush);
  const Oval band{c + QPointF(0, depth * 0.28), rim.rx * 0.97, rim.ry * 1.05};
  p.setPen(QPen(alpha(kPorcelainTrim, 200), 3));
  p.drawArc(band.rect(), 180 * 16, 180 * 16);
  p.setPen(QPen(alpha(kPorcelainTrim, 150), 1.2));
  p.drawArc(band.moved(0, 9).rect(), 180 * 16, 180 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(alpha(kPorcelainTrim, 170));
  for (int i = 1; i < 16; ++i) {
    const double t = kPi + kPi * i / 16.0;
    const Oval dots = band.moved(0, 20).scaled(0.96, 1.0);
    p.drawEllipse(dots.centre + QPointF(std::cos(t) * dots.rx, -std::sin(t) * dots.ry), 2.2, 2.2);
  }
  p.restore();
  // Rim and inner wall.
  QLinearGradient lip(rim.rect().topLeft(), rim.rect().bottomRight());
  lip.setColorAt(0, Qt::white);
  lip.setColorAt(1, QColor(0xD6, 0xD6, 0xD0));
  p.setPen(QPen(QColor(0x9A, 0x9A, 0x94), 1));
  p.setBrush(lip);
  p.drawEllipse(rim.rect());
  const Oval wall = rim.scaled(0.94, 0.88).moved(0, rim.ry * 0.05);
  fillOvalRadial(p, wall, {{0.0, QColor(0xC8, 0xC8, 0xC2)}, {1.0, QColor(0xEE, 0xEE, 0xEA)}},
                 QPointF(0, 0.5));
  return rim.scaled(0.9, 0.76).moved(0, rim.ry * 0.13);
}

// A small saucer of dipping sauce, lower left.
void paintDip(QPainter& p, const Oval& saucer, const QColor& sauce, const QColor& bits, Rng& rng) {
  softShadow(p, saucer.moved(3, saucer.ry * 0.3).scaled(1.08), 110);
  p.setPen(QPen(QColor(0x9E, 0x9E, 0x98), 1));
  p.setBrush(QColor(0xF4, 0xF4, 0xF0));
  p.drawEllipse(saucer.rect());
  p.setPen(QPen(alpha(kPorcelainTrim, 190), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(saucer.scaled(0.9).rect());
  const Oval pool = saucer.scaled(0.72, 0.66).moved(0, 1);
  fillOvalRadial(p, pool, {{0.0, sauce.lighter(125)}, {1.0, sauce.darker(130)}},
                 QPointF(-0.3, -0.4));
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 7; ++i) {
    p.setBrush(jitter(rng, bits, 12));
    const QPointF at = pointIn(rng, pool.scaled(0.8));
    p.save();
    p.translate(at);
    p.rotate(rng.range(0, 180));
    p.drawRoundedRect(QRectF(-5, -1.2, 10, 2.4), 1, 1);
    p.restore();
  }
  p.setBrush(QColor(255, 255, 255, 110));
  p.drawEllipse(pool.centre + QPointF(-pool.rx * 0.35, -pool.ry * 0.35), pool.rx * 0.22,
                pool.ry * 0.14);
}

// ---------------------------------------------------------------- food pieces

// A glossy pool of sauce under the food.
void paintSauce(QPainter& p, const Oval& area, const QColor& sauce) {
  fillOvalRadial(p, area,
                 {{0.0, alpha(sauce.lighter(115), 235)},
                  {0.75, alpha(sauce, 220)},
                  {0.92, alpha(sauce.darker(115), 150)},
                  {1.0, alpha(sauce, 0)}},
                 QPointF(-0.25, -0.3));
}

void paintChunk(QPainter& p, QPointF at, double angle, double w, double h, const QColor& c,
                Rng& rng) {
  p.save();
  p.translate(at);
  p.rotate(angle);
  QPainterPath shape;
  shape.addRoundedRect(QRectF(-w / 2, -h / 2, w, h), std::min(w, h) * 0.32, std::min(w, h) * 0.32);
  QLinearGradient g(0, -h / 2, 0, h / 2);
  g.setColorAt(0, c.lighter(128));
  g.setColorAt(0.45, c);
  g.setColorAt(1, c.darker(145));
  p.setPen(QPen(alpha(c.darker(180), 150), 0.9));
  p.setBrush(g);
  p.drawPath(shape);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, static_cast<int>(rng.range(70, 120))));
  p.drawEllipse(QRectF(-w * 0.34, -h * 0.36, w * 0.38, h * 0.2));
  p.restore();
}

void paintShred(QPainter& p, QPointF at, double angle, double length, double width, double bend,
                const QColor& c) {
  p.save();
  p.translate(at);
  p.rotate(angle);
  QPainterPath path;
  path.moveTo(-length / 2, 0);
  path.quadTo(0, bend, length / 2, 0);
  p.setBrush(Qt::NoBrush);
  p.strokePath(path, QPen(alpha(c.darker(170), 170), width + 1.6, Qt::SolidLine, Qt::RoundCap));
  p.strokePath(path, QPen(c, width, Qt::SolidLine, Qt::RoundCap));
  p.strokePath(path.translated(0, -width * 0.22),
               QPen(alpha(c.lighter(150), 130), width * 0.32, Qt::SolidLine, Qt::RoundCap));
  p.restore();
}

void paintLeaf(QPainter& p, QPointF at, double angle, double length, double width,
               const QColor& c) {
  p.save();
  p.translate(at);
  p.rotate(angle);
  QPainterPath leaf;
  leaf.moveTo(-length / 2, 0);
  leaf.cubicTo(-length * 0.25, -width, length * 0.25, -width * 0.95, length / 2, 0);
  leaf.cubicTo(length * 0.25, width * 0.8, -length * 0.25, width * 0.9, -length / 2, 0);
  QLinearGradient g(0, -width, 0, width);
  g.setColorAt(0, c.lighter(140));
  g.setColorAt(0.5, c);
  g.setColorAt(1, c.darker(150));
  p.setPen(QPen(alpha(c.darker(170), 140), 0.9));
  p.setBrush(g);
  p.drawPath(leaf);
  p.setPen(QPen(alpha(c.lighter(165), 170), 1.4));
  p.drawLine(QPointF(-length * 0.45, 0), QPointF(length * 0.4, -width * 0.05));
  p.setPen(QPen(alpha(c.lighter(150), 110), 0.9));
  for (int i = 1; i < 4; ++i) {
    const double x = -length * 0.4 + i * length * 0.2;
    p.drawLine(QPointF(x, 0), QPointF(x + length * 0.12, -width * 0.55));
    p.drawLine(QPointF(x, 0), QPointF(x + length * 0.12, width * 0.45));
  }
  p.restore();
}

// A soft irregular lump: egg flowers, meat balls, mushrooms, toppings.
void paintBlob(QPainter& p, QPointF at, double radius, const QColor& c, Rng& rng,
               double squash = 0.75) {
  const int n = 9;
  std::vector<QPointF> pts;
  for (int i = 0; i < n; ++i) {
    const double t = 2 * kPi * i / n;
    const double r = radius * rng.range(0.7, 1.1);
    pts.emplace_back(at.x() + std::cos(t) * r, at.y() + std::sin(t) * r * squash);
  }
  QPainterPath path;
  path.moveTo((pts[n - 1] + pts[0]) / 2);
  for (int i = 0; i < n; ++i) path.quadTo(pts[i], (pts[i] + pts[(i + 1) % n]) / 2);
  QRadialGradient g(at + QPointF(-radius * 0.3, -radius * 0.35), radius * 1.3);
  g.setColorAt(0, c.lighter(125));
  g.setColorAt(0.6, c);
  g.setColorAt(1, c.darker(140));
  p.setPen(QPen(alpha(c.darker(170), 120), 0.8));
  p.setBrush(g);
  p.drawPath(path);
}

enum class GarnishKind { Rings, Seeds, Flakes, Dice };

GarnishKind garnishKindOf(const QColor& c) {
  const int h = c.hsvHue(), s = c.hsvSaturation(), v = c.value();
  if (v < 85) return GarnishKind::Flakes;
  if (s < 60 && v > 200) return GarnishKind::Seeds;
  const bool green = h >= 65 && h <= 170;
  const bool red = (h >= 0 && h < 18) || h > 340;
  if (s > 110 && (green || red)) return GarnishKind::Rings;
  return GarnishKind::Dice;
}

void paintGarnish(QPainter& p, const Oval& area, const QColor& c, int count, Rng& rng) {
  const GarnishKind kind = garnishKindOf(c);
  for (int i = 0; i < count; ++i) {
    const QPointF at = pointIn(rng, area);
    const QColor tone = jitter(rng, c, 14);
    p.save();
    p.translate(at);
    p.rotate(rng.range(0, 360));
    switch (kind) {
      case GarnishKind::Rings:
        p.setPen(QPen(tone, 2.1));
        p.setBrush(alpha(tone.lighter(150), 150));
        p.drawEllipse(QPointF(0, 0), rng.range(2.8, 4.2), rng.range(2.2, 3.4));
        break;
      case GarnishKind::Seeds:
        p.setPen(QPen(QColor(0x9A, 0x7A, 0x50, 120), 0.5));
        p.setBrush(tone);
        p.drawEllipse(QPointF(0, 0), 2.4, 1.3);
        break;
      case GarnishKind::Flakes: {
        QPolygonF flake;
        for (int k = 0; k < 5; ++k) {
          const double t = 2 * kPi * k / 5;
          const double r = rng.range(2.5, 6.0);
          flake << QPointF(std::cos(t) * r, std::sin(t) * r * 0.7);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(alpha(tone, 230));
        p.drawPolygon(flake);
        break;
      }
      case GarnishKind::Dice: {
        QLinearGradient g(0, -3, 0, 3);
        g.setColorAt(0, tone.lighter(130));
        g.setColorAt(1, tone.darker(130));
        p.setPen(QPen(alpha(tone.darker(170), 130), 0.6));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(-3, -3, 6, 6), 1.2, 1.2);
        break;
      }
    }
    p.restore();
  }
}

// Places `count` items in the oval, returned back to front so nearer ones overlap farther.
struct Placed {
  QPointF at;
  double lift;  // 0 at the edge of the heap, 1 at its top
};
std::vector<Placed> heap(Rng& rng, const Oval& area, int count, double height) {
  std::vector<Placed> items;
  for (int i = 0; i < count; ++i) {
    double r = 0;
    QPointF at = pointIn(rng, area, &r);
    const double lift = 1.0 - r;
    at.ry() -= lift * height;
    items.push_back({at, lift});
  }
  std::sort(items.begin(), items.end(), [](const Placed& a, const Placed& b) {
    return a.at.y() + a.lift * 40 < b.at.y() + b.lift * 40;
  });
  return items;
}

// ---------------------------------------------------------------- dishes

void paintChunks(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  paintSauce(p, well.scaled(0.9), r.sauce);
  for (const Placed& item : heap(rng, well.scaled(0.8, 0.74), 56, 16)) {
    const QColor base = rng.chance(0.3) ? r.second : r.main;
    const double size = 1.0 + item.lift * 0.18;
    paintChunk(p, item.at, rng.range(-40, 40), rng.range(22, 30) * size, rng.range(18, 25) * size,
               jitter(rng, base, 10), rng);
  }
  paintGarnish(p, well.scaled(0.76, 0.68).moved(0, -8), r.garnish, 30, rng);
}

void paintShreds(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  paintSauce(p, well.scaled(0.86), r.sauce);
  for (const Placed& item : heap(rng, well.scaled(0.78, 0.7), 170, 14)) {
    const double pick = rng.unit();
    const QColor base = pick < 0.62 ? r.main : pick < 0.92 ? r.second : r.garnish;
    paintShred(p, item.at, rng.range(-70, 70), rng.range(34, 58), rng.range(3.2, 4.8),
               rng.range(-9, 9), jitter(rng, base, 10));
  }
  paintGarnish(p, well.scaled(0.7, 0.62).moved(0, -8), r.garnish, 14, rng);
}

void paintSlices(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  paintSauce(p, well.scaled(0.9), r.sauce);
  const double w = 60, h = 30;
  const double rows[] = {-0.42, 0.0, 0.42};
  for (double row : rows) {
    const int n = row == 0.0 ? 6 : 5;
    for (int i = 0; i < n; ++i) {
      const double t = (i - (n - 1) / 2.0) / ((n - 1) / 2.0);
      const QPointF at = well.centre + QPointF(t * well.rx * 0.58, row * well.ry + t * t * 6 - 4);
      p.save();
      p.translate(at);
      p.rotate(-18 + t * 10 + rng.range(-5, 5));
      QPainterPath slice;
      slice.addRoundedRect(QRectF(-w / 2, -h / 2, w, h), 11, 11);
      const QColor base = jitter(rng, r.main, 8);
      QLinearGradient g(0, -h / 2, 0, h / 2);
      g.setColorAt(0, base.lighter(120));
      g.setColorAt(1, base.darker(130));
      p.setPen(QPen(alpha(base.darker(170), 150), 0.9));
      p.setBrush(g);
      p.drawPath(slice);
      // The skin or the glazed edge along one side.
      p.setClipPath(slice);
      QLinearGradient edge(0, -h / 2, 0, -h / 2 + h * 0.32);
      edge.setColorAt(0, r.second.darker(115));
      edge.setColorAt(1, r.second.lighter(110));
      p.fillRect(QRectF(-w / 2, -h / 2, w, h * 0.3), edge);
      p.setClipping(false);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 255, 90));
      p.drawEllipse(QRectF(-w * 0.3, -h * 0.05, w * 0.4, h * 0.16));
      p.restore();
    }
  }
  paintGarnish(p, well.scaled(0.72, 0.66), r.garnish, 30, rng);
}

void paintLeaves(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  paintSauce(p, well.scaled(0.9), r.sauce);
  // A second colour that is green is more leaves; any other is mushrooms or the like, heaped
  // on top in the middle as the dish is served.
  const bool greenSecond =
      r.second.hsvHue() >= 55 && r.second.hsvHue() <= 170 && r.second.hsvSaturation() > 40;
  for (const Placed& item : heap(rng, well.scaled(0.78, 0.72), 38, 12)) {
    const bool second = greenSecond && rng.chance(0.32);
    paintLeaf(p, item.at, rng.range(-60, 60), rng.range(54, 76), rng.range(16, 24),
              jitter(rng, second ? r.second : r.main, 10));
  }
  if (!greenSecond) {
    for (const Placed& item : heap(rng, well.scaled(0.36, 0.32).moved(0, -8), 8, 6)) {
      const double radius = rng.range(13, 17);
      const QColor cap = jitter(rng, r.second, 8);
      paintBlob(p, item.at, radius, cap, rng, 0.72);
      p.setPen(QPen(alpha(cap.lighter(170), 170), 1.6));
      p.drawLine(item.at + QPointF(-radius * 0.45, 0), item.at + QPointF(radius * 0.45, 0));
      p.drawLine(item.at + QPointF(0, -radius * 0.32), item.at + QPointF(0, radius * 0.32));
    }
  }
  paintGarnish(p, well.scaled(0.7, 0.62).moved(0, -8), r.garnish, 24, rng);
}

// Broccoli and cauliflower: a pale stalk under a head of small round buds.
void paintFloret(QPainter& p, QPointF at, double size, const QColor& head, const QColor& stalk,
                 Rng& rng) {
  p.save();
  p.translate(at);
  p.rotate(rng.range(-30, 30));
  QLinearGradient g(-size * 0.2, 0, size * 0.2, 0);
  g.setColorAt(0, stalk.darker(115));
  g.setColorAt(0.5, stalk.lighter(115));
  g.setColorAt(1, stalk.darker(125));
  p.setPen(QPen(alpha(stalk.darker(160), 140), 0.8));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(-size * 0.16, 0, size * 0.32, size * 0.75), size * 0.1, size * 0.1);
  for (int i = 0; i < 9; ++i) {
    const double t = 2 * kPi * i / 9 + rng.range(-0.2, 0.2);
    const double d = i == 0 ? 0 : size * rng.range(0.25, 0.42);
    const QPointF bud(std::cos(t) * d, -size * 0.1 + std::sin(t) * d * 0.7);
    const double br = size * rng.range(0.24, 0.32);
    fillOvalRadial(p, Oval{bud, br, br * 0.9},
                   {{0.0, head.lighter(135)}, {0.7, head}, {1.0, head.darker(150)}},
                   QPointF(-0.4, -0.5));
  }
  p.restore();
}

void paintFlorets(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  paintSauce(p, well.scaled(0.86), r.sauce);
  for (const Placed& item : heap(rng, well.scaled(0.74, 0.66), 26, 14))
    paintFloret(p, item.at, rng.range(34, 44) * (1 + item.lift * 0.15), jitter(rng, r.main, 8),
                r.second, rng);
  paintGarnish(p, well.scaled(0.66, 0.58).moved(0, -10), r.garnish, 34, rng);
}

void paintFish(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  paintSauce(p, well.scaled(0.96, 0.9), r.sauce);
  p.save();
  p.translate(well.centre + QPointF(0, -4));
  p.rotate(-6);
  const double L = well.rx * 1.86, H = well.ry * 0.6;
  QPainterPath body;
  body.moveTo(-L / 2, 0);
  body.cubicTo(-L / 2 + L * 0.1, -H * 1.05, L * 0.1, -H * 1.05, L * 0.32, -H * 0.22);
  body.lineTo(L * 0.5, -H * 0.8);
  body.quadTo(L * 0.43, 0, L * 0.5, H * 0.8);
  body.lineTo(L * 0.32, H * 0.22);
  body.cubicTo(L * 0.1, H * 0.95, -L / 2 + L * 0.1, H * 0.9, -L / 2, 0);
  // Dorsal fin first, so the body overlaps its base.
  QPainterPath fin;
  fin.moveTo(-L * 0.15, -H * 0.86);
  fin.quadTo(0, -H * 1.45, L * 0.18, -H * 0.62);
  fin.closeSubpath();
  p.setPen(QPen(alpha(r.main.darker(170), 150), 0.8));
  p.setBrush(alpha(r.main.darker(120), 220));
  p.drawPath(fin);
  QLinearGradient skin(0, -H, 0, H);
  skin.setColorAt(0, r.main.darker(150));
  skin.setColorAt(0.45, r.main);
  skin.setColorAt(0.8, r.second);
  skin.setColorAt(1, r.second.darker(115));
  p.setPen(QPen(alpha(r.main.darker(190), 170), 1.1));
  p.setBrush(skin);
  p.drawPath(body);
  // Tail rays, gill, eye and the cuts across the back.
  p.setPen(QPen(alpha(r.main.darker(170), 120), 0.8));
  for (int i = -3; i <= 3; ++i)
    p.drawLine(QPointF(L * 0.33, i * H * 0.05), QPointF(L * 0.49, i * H * 0.24));
  p.setPen(QPen(alpha(r.main.darker(200), 150), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(-L * 0.42, -H * 0.6, H * 0.7, H * 1.1), -60 * 16, 120 * 16);
  const QPointF eye(-L * 0.41, -H * 0.22);
  p.setPen(QPen(QColor(0x50, 0x50, 0x48), 1));
  p.setBrush(QColor(0xF0, 0xF0, 0xE8));
  p.drawEllipse(eye, 6.5, 6.0);
  p.setBrush(QColor(0x18, 0x18, 0x14));
  p.drawEllipse(eye, 3.4, 3.4);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 210));
  p.drawEllipse(eye + QPointF(-1.2, -1.2), 1.2, 1.2);
  for (int i = 0; i < 4; ++i) {
    const double x = -L * 0.18 + i * L * 0.12;
    p.setPen(QPen(alpha(r.main.darker(190), 150), 2));
    p.drawLine(QPointF(x - 8, -H * 0.75), QPointF(x + 6, H * 0.1));
    p.setPen(QPen(alpha(r.second.lighter(115), 200), 1.2));
    p.drawLine(QPointF(x - 5, -H * 0.72), QPointF(x + 9, H * 0.13));
  }
  // Shredded scallion, ginger and chili along the back.
  const QColor toppings[] = {r.garnish, QColor(0xF1, 0xD8, 0x8A), QColor(0xD0, 0x2E, 0x22)};
  for (int i = 0; i < 46; ++i) {
    const QColor c = toppings[i % 3];
    const QPointF at(rng.range(-L * 0.3, L * 0.22), rng.range(-H * 0.45, H * 0.05));
    paintShred(p, at, rng.range(-35, 35), rng.range(20, 34), rng.range(1.6, 2.4), rng.range(-4, 4),
               jitter(rng, c, 8));
  }
  p.restore();
}

void paintSoup(QPainter& p, const Oval& surface, const Recipe& r, Rng& rng) {
  fillOvalRadial(p, surface,
                 {{0.0, r.sauce.lighter(112)}, {0.85, r.sauce}, {1.0, r.sauce.darker(125)}},
                 QPointF(-0.2, -0.3));
  p.save();
  p.setClipPath(surface.path());
  for (int i = 0; i < 11; ++i)
    paintBlob(p, pointIn(rng, surface.scaled(0.85)), rng.range(9, 15), jitter(rng, r.main, 10), rng,
              0.55);
  for (int i = 0; i < 13; ++i)
    paintBlob(p, pointIn(rng, surface.scaled(0.85)), rng.range(8, 16), jitter(rng, r.second, 10),
              rng, 0.5);
  paintGarnish(p, surface.scaled(0.8), r.garnish, 22, rng);
  // Drops of oil and the light on the surface.
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 16; ++i) {
    p.setPen(QPen(alpha(r.sauce.lighter(150), 150), 1));
    const double d = rng.range(2, 5);
    p.drawEllipse(pointIn(rng, surface.scaled(0.9)), d, d * 0.7);
  }
  fillOvalRadial(p,
                 Oval{surface.centre + QPointF(-surface.rx * 0.35, -surface.ry * 0.45),
                      surface.rx * 0.3, surface.ry * 0.16},
                 {{0.0, QColor(255, 255, 255, 90)}, {1.0, QColor(255, 255, 255, 0)}});
  p.restore();
}

void paintNoodles(QPainter& p, const Oval& surface, const Recipe& r, Rng& rng) {
  fillOvalRadial(p, surface, {{0.0, r.sauce.lighter(110)}, {1.0, r.sauce.darker(125)}});
  p.save();
  p.setClipPath(surface.path());
  for (int i = 0; i < 44; ++i) {
    QPainterPath strand;
    const double y0 = surface.centre.y() + rng.range(-surface.ry, surface.ry);
    double x = surface.centre.x() - surface.rx - 10;
    double y = y0;
    strand.moveTo(x, y);
    const double amp = rng.range(3, 7), step = rng.range(14, 22), slope = rng.range(-0.25, 0.25);
    int k = 0;
    while (x < surface.centre.x() + surface.rx + 10) {
      const double nx = x + step, ny = y + slope * step;
      strand.quadTo((x + nx) / 2, (y + ny) / 2 + ((k++ % 2) ? amp : -amp), nx, ny);
      x = nx;
      y = ny;
    }
    const QColor c = jitter(rng, r.main, 8);
    p.strokePath(strand, QPen(alpha(c.darker(160), 160), 6.4, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(strand, QPen(c, 5, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(strand.translated(0, -1.2), QPen(alpha(c.lighter(125), 150), 1.4));
  }
  const Oval topping = surface.scaled(0.42, 0.4).moved(surface.rx * 0.12, -surface.ry * 0.05);
  for (const Placed& item : heap(rng, topping, 16, 6))
    paintBlob(p, item.at, rng.range(8, 12), jitter(rng, r.second, 10), rng, 0.7);
  for (int i = 0; i < 16; ++i)
    paintShred(p, pointIn(rng, surface.scaled(0.55).moved(-surface.rx * 0.3, 0)),
               rng.range(-60, 60), rng.range(22, 32), 3.2, rng.range(-3, 3),
               jitter(rng, r.garnish, 10));
  p.restore();
}

void paintDumpling(QPainter& p, QPointF at, double angle, const QColor& top, const QColor& under) {
  const double w = 56, h = 34;
  p.save();
  p.translate(at);
  p.rotate(angle);
  softShadow(p, Oval{QPointF(3, h * 0.3), w * 0.55, h * 0.32}, 120);
  QPainterPath shape;
  shape.moveTo(-w / 2, 0);
  shape.cubicTo(-w / 2, h * 0.6, w / 2, h * 0.6, w / 2, 0);
  shape.cubicTo(w * 0.36, -h * 0.62, -w * 0.36, -h * 0.62, -w / 2, 0);
  QLinearGradient g(0, -h / 2, 0, h / 2);
  g.setColorAt(0, top.lighter(112));
  g.setColorAt(0.55, top);
  g.setColorAt(1, under);
  p.setPen(QPen(alpha(under.darker(150), 170), 1));
  p.setBrush(g);
  p.drawPath(shape);
  p.setPen(QPen(alpha(under.darker(130), 170), 1.1));
  for (int i = -2; i <= 2; ++i) {
    const double x = i * w * 0.12;
    const double crest = -h * 0.46 * (1 - (x * x) / (w * w / 4));
    p.drawLine(QPointF(x, crest + 1), QPointF(x + 4, crest + h * 0.28));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 100));
  p.drawEllipse(QRectF(-w * 0.25, -h * 0.12, w * 0.3, h * 0.14));
  p.restore();
}

void paintDumplings(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  struct Spot {
    QPointF at;
    double angle;
  };
  std::vector<Spot> spots;
  const int ring = 8;
  for (int i = 0; i < ring; ++i) {
    const double t = 2 * kPi * i / ring + 0.2;
    spots.push_back(
        {well.centre + QPointF(std::cos(t) * well.rx * 0.64, std::sin(t) * well.ry * 0.6),
         std::cos(t) * 22 + rng.range(-8, 8)});
  }
  spots.push_back({well.centre + QPointF(-16, -4), rng.range(-15, 15)});
  spots.push_back({well.centre + QPointF(22, 8), rng.range(-15, 15)});
  std::sort(spots.begin(), spots.end(),
            [](const Spot& a, const Spot& b) { return a.at.y() < b.at.y(); });
  for (const Spot& s : spots) paintDumpling(p, s.at, s.angle, jitter(rng, r.main, 5), r.second);
  paintGarnish(p, well.scaled(0.5), r.garnish, 8, rng);
}

void paintBuns(QPainter& p, const Oval& steamer, const Recipe& r, Rng& rng) {
  softShadow(p, steamer.moved(steamer.rx * 0.05, steamer.ry * 0.3).scaled(1.05), 130);
  const double side = 22;
  const QColor bamboo(0xC9, 0xA0, 0x60);
  p.setPen(QPen(QColor(0x6A, 0x48, 0x20), 1));
  p.setBrush(bamboo.darker(135));
  p.drawEllipse(steamer.moved(0, side).rect());
  QLinearGradient band(steamer.centre.x() - steamer.rx, 0, steamer.centre.x() + steamer.rx, 0);
  band.setColorAt(0, bamboo.darker(140));
  band.setColorAt(0.35, bamboo.lighter(110));
  band.setColorAt(1, bamboo.darker(150));
  p.setPen(Qt::NoPen);
  p.setBrush(band);
  p.drawRect(QRectF(steamer.centre.x() - steamer.rx, steamer.centre.y(), 2 * steamer.rx, side));
  p.setPen(QPen(QColor(0x6A, 0x48, 0x20, 140), 1));
  for (int i = 1; i < 24; ++i) {
    const double t = kPi * i / 24;
    const double x = steamer.centre.x() - std::cos(t) * steamer.rx;
    const double y = steamer.centre.y() + std::sin(t) * steamer.ry;
    p.drawLine(QPointF(x, y), QPointF(x, y + side));
  }
  p.setPen(QPen(QColor(0x6A, 0x48, 0x20), 1.2));
  p.setBrush(bamboo);
  p.drawEllipse(steamer.rect());
  const Oval mat = steamer.scaled(0.9);
  p.setBrush(QColor(0xEC, 0xDB, 0xB2));
  p.drawEllipse(mat.rect());
  p.save();
  p.setClipPath(mat.path());
  p.setPen(QPen(QColor(0xB8, 0x92, 0x58, 150), 1.2));
  for (double x = mat.centre.x() - mat.rx; x < mat.centre.x() + mat.rx; x += 9)
    p.drawLine(QPointF(x, mat.centre.y() - mat.ry), QPointF(x + 30, mat.centre.y() + mat.ry));
  p.restore();
  const QPointF spots[] = {{-0.5, -0.35}, {0.0, -0.45}, {0.5, -0.35},  {-0.62, 0.18},
                           {-0.05, 0.1},  {0.55, 0.2},  {-0.28, 0.58}, {0.3, 0.6}};
  for (const QPointF& s : spots) {
    const QPointF at = mat.centre + QPointF(s.x() * mat.rx, s.y() * mat.ry);
    const double rx = 33, ry = 25;
    softShadow(p, Oval{at + QPointF(3, ry * 0.45), rx * 1.02, ry * 0.7}, 110);
    fillOvalRadial(p, Oval{at, rx, ry},
                   {{0.0, Qt::white}, {0.55, r.main}, {1.0, r.second.darker(110)}},
                   QPointF(-0.3, -0.4));
    const QPointF knot = at + QPointF(0, -ry * 0.18);
    p.setPen(QPen(alpha(r.second.darker(135), 170), 1.1));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 14; ++k) {
      const double t = 2 * kPi * k / 14 + rng.range(-0.05, 0.05);
      QPainterPath pleat;
      pleat.moveTo(knot);
      pleat.quadTo(knot + QPointF(std::cos(t + 0.4) * rx * 0.35, std::sin(t + 0.4) * ry * 0.35),
                   knot + QPointF(std::cos(t) * rx * 0.62, std::sin(t) * ry * 0.6));
      p.drawPath(pleat);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(r.second.darker(115));
    p.drawEllipse(knot, 3.5, 2.6);
  }
}

void paintPancake(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  const Oval cake = well.scaled(0.93, 0.9);
  softShadow(p, cake.moved(2, 5), 90);
  fillOvalRadial(p, cake, {{0.0, r.main.lighter(112)}, {0.8, r.main}, {1.0, r.second}},
                 QPointF(-0.2, -0.3));
  p.save();
  p.setClipPath(cake.path());
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 55; ++i) {
    p.setBrush(alpha(jitter(rng, r.second, 10), static_cast<int>(rng.range(60, 130))));
    const QPointF at = pointIn(rng, cake);
    p.drawEllipse(at, rng.range(3, 9), rng.range(2, 6));
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(alpha(r.main.lighter(130), 140), 1.4));
  for (double f = 0.25; f < 0.95; f += 0.17) p.drawEllipse(cake.scaled(f).rect());
  for (int i = 0; i < 3; ++i) {
    const double t = kPi * i / 3 + 0.3;
    const QPointF d(std::cos(t) * cake.rx, std::sin(t) * cake.ry);
    p.setPen(QPen(alpha(r.second.darker(150), 200), 2.2));
    p.drawLine(cake.centre - d, cake.centre + d);
    p.setPen(QPen(alpha(r.main.lighter(140), 160), 0.9));
    p.drawLine(cake.centre - d + QPointF(0, 1.6), cake.centre + d + QPointF(0, 1.6));
  }
  p.restore();
  paintGarnish(p, cake.scaled(0.85), r.garnish, 40, rng);
}

void paintRice(QPainter& p, const Oval& well, const Recipe& r, Rng& rng) {
  const Oval mound = well.scaled(0.86, 0.8);
  softShadow(p, mound.moved(2, 6), 80);
  for (const Placed& item : heap(rng, mound, 900, 16)) {
    p.save();
    p.translate(item.at);
    p.rotate(rng.range(0, 180));
    const QColor c = jitter(rng, r.main, 12).lighter(100 + static_cast<int>(item.lift * 12));
    p.setPen(QPen(alpha(c.darker(135), 110), 0.6));
    p.setBrush(c);
    p.drawEllipse(QPointF(0, 0), 3.4, 1.8);
    p.restore();
  }
  paintGarnish(p, mound.scaled(0.85).moved(0, -8), r.second, 30, rng);
  // Green peas are round, whatever the garnish kind would say.
  for (int i = 0; i < 24; ++i) {
    const QPointF at = pointIn(rng, mound.scaled(0.85).moved(0, -8));
    fillOvalRadial(p, Oval{at, 3.6, 3.4},
                   {{0.0, r.garnish.lighter(140)}, {1.0, r.garnish.darker(130)}},
                   QPointF(-0.4, -0.4));
  }
}

// ---------------------------------------------------------------- captions

void paintCaption(QPainter& p, const QString& name, const QString& category) {
  const QString family = captionFontFamily();
  QFont font(family);
  font.setPixelSize(32);
  QPainterPath text;
  text.addText(QPointF(16, 44), font, name);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 252, 244, 215), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(text);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x3A, 0x22, 0x12));
  p.drawPath(text);

  // A red seal stamp with the category written downwards.
  QFont small(family);
  small.setPixelSize(12);
  const double right = text.boundingRect().right();
  const QRectF seal(right + 10, 16, 20, 8 + 13.0 * category.size());
  p.setBrush(QColor(0xB2, 0x24, 0x1C, 230));
  p.drawRoundedRect(seal, 3, 3);
  p.setPen(QPen(QColor(255, 240, 230, 200), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(seal.adjusted(2, 2, -2, -2), 2, 2);
  p.setFont(small);
  p.setPen(QColor(0xFF, 0xF4, 0xEA));
  for (int i = 0; i < category.size(); ++i)
    p.drawText(QRectF(seal.left(), seal.top() + 4 + 13.0 * i, seal.width(), 13), Qt::AlignCenter,
               category.mid(i, 1));
}

}  // namespace

QString captionFontFamily() {
  static const QString family = [] {
    const QStringList families = QFontDatabase::families();
    for (const QString& wanted :
         {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UMing CN")})
      if (families.contains(wanted)) return wanted;
    // Any font that can write the captions will do rather than drawing boxes.
    for (const QString& other : families)
      if (QFontMetricsF(QFont(other)).inFontUcs4(0x83DC))  // 菜
        return other;
    return QString();
  }();
  if (family.isEmpty())
    throw std::runtime_error(
        "no installed font has Chinese characters (install fonts-arphic-ukai and "
        "fonts-arphic-uming)");
  return family;
}

QImage paintDish(const Recipe& recipe, int categoryIndex) {
  QImage image(kPhotoSize, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Rng rng(seedOf(recipe.name));
  const QRectF scene(QPointF(0, 0), kPhotoSize);
  paintCloth(p, scene, clothColour(categoryIndex));
  paintChopsticks(p, QPointF(352, 282), QPointF(378, 70));

  const Oval plate{QPointF(182, 170), 150, 104};
  switch (recipe.shape) {
    case DishShape::Chunks:
      paintChunks(p, paintPlate(p, plate), recipe, rng);
      break;
    case DishShape::Shreds:
      paintShreds(p, paintPlate(p, plate), recipe, rng);
      break;
    case DishShape::Slices:
      paintSlices(p, paintPlate(p, plate), recipe, rng);
      break;
    case DishShape::Leaves:
      paintLeaves(p, paintPlate(p, plate), recipe, rng);
      break;
    case DishShape::Florets:
      paintFlorets(p, paintPlate(p, plate), recipe, rng);
      break;
    case DishShape::Fish:
      paintFish(p, paintPlate(p, Oval{QPointF(182, 172), 166, 100}), recipe, rng);
      break;
    case DishShape::Soup:
      paintSoup(p, paintBowl(p, Oval{QPointF(182, 150), 138, 56}, 118), recipe, rng);
      break;
    case DishShape::Noodles:
      paintNoodles(p, paintBowl(p, Oval{QPointF(182, 150), 138, 56}, 118), recipe, rng);
      break;
    case DishShape::Dumplings:
      paintDumplings(p, paintPlate(p, plate), recipe, rng);
      paintDip(p, Oval{QPointF(58, 258), 40, 22}, recipe.sauce, recipe.garnish, rng);
      break;
    case DishShape::Buns:
      paintBuns(p, Oval{QPointF(182, 158), 148, 100}, recipe, rng);
      paintDip(p, Oval{QPointF(56, 262), 40, 22}, QColor(0x5A, 0x2A, 0x14), recipe.garnish, rng);
      break;
    case DishShape::Pancake:
      paintPancake(p, paintPlate(p, plate), recipe, rng);
      break;
    case DishShape::Rice:
      paintRice(p, paintPlate(p, plate), recipe, rng);
      break;
  }
  paintCaption(p, recipe.name, recipe.category);
  p.end();
  return image;
}

QImage paintPlaceholder() {
  QImage image(kPlaceholderSize, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn in the photographs' scene size, then scaled down, so both share one look.
  p.scale(static_cast<double>(kPlaceholderSize.width()) / kPhotoSize.width(),
          static_cast<double>(kPlaceholderSize.height()) / kPhotoSize.height());
  paintCloth(p, QRectF(QPointF(0, 0), kPhotoSize), QColor(0xA8, 0x8A, 0x5A));
  paintChopsticks(p, QPointF(356, 276), QPointF(380, 66));
  const Oval well = paintPlate(p, Oval{QPointF(182, 150), 156, 110});
  const QString family = captionFontFamily();
  QFont big(family);
  big.setPixelSize(46);
  p.setFont(big);
  p.setPen(QColor(0x8A, 0x72, 0x58));
  p.drawText(QRectF(well.rect().left(), well.centre.y() - 40, well.rx * 2, 56), Qt::AlignCenter,
             QStringLiteral("菜式样本"));
  QFont small(family);
  small.setPixelSize(22);
  p.setFont(small);
  p.setPen(QColor(0xA0, 0x8C, 0x74));
  p.drawText(QRectF(well.rect().left(), well.centre.y() + 18, well.rx * 2, 30), Qt::AlignCenter,
             QStringLiteral("请选择一道菜"));
  p.end();
  return image;
}

QImage paintIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  // Seen from above: a round plate filling most of the square, a heap of red-braised food in
  // its well, the chopsticks resting across its right side.
  const Oval well = paintPlate(p, Oval{QPointF(118, 134), 110, 104});
  const Oval food = well.scaled(0.66, 0.6).moved(-4, 4);
  softShadow(p, food.moved(3, 6), 70);
  fillOvalRadial(p, food,
                 {{0.0, QColor(0xE2, 0x6A, 0x32)},
                  {0.7, QColor(0xB4, 0x3C, 0x1E)},
                  {1.0, QColor(0x7E, 0x26, 0x12)}},
                 QPointF(-0.3, -0.35));
  Rng rng(seedOf(QStringLiteral("kelpo")));
  paintGarnish(p, food.scaled(0.8), QColor(0x4C, 0x9A, 0x3A), 7, rng);
  paintChopsticks(p, QPointF(150, 236), QPointF(232, 20));
  p.end();
  return image;
}

}  // namespace kelpo::catalogue
