// Push, glyph and speed buttons: their state rules, clicks and drawing.
#include "skin/skin_button.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include "skin/skin_data.h"

namespace kelpo::skin {

namespace {

int intProperty(const QWidget* w, const char* name, int fallback) {
  const QVariant v = w->property(name);
  return v.isValid() ? v.toInt() : fallback;
}

// One axis of the glyph layout: where the block starts and the gap between glyph and caption.
void placeAlong(int length, int glyph, int text, int& margin, int& spacing, bool leadingExtra) {
  const int free = length - glyph - text;
  if (margin < 0 && spacing < 0) {
    margin = spacing = free / 3;
  } else if (margin < 0) {
    const int rest = length - (glyph + spacing + text);
    margin = leadingExtra ? (rest + 1) / 2 : rest / 2;
  } else if (spacing < 0) {
    spacing = (length - margin - glyph - text) / 2;
  }
  if (text == 0 || glyph == 0) spacing = 0;
}

}  // namespace

GlyphLayout layoutGlyph(const QRect& client, QSize glyph, QSize text, int layout, int margin,
                        int spacing, bool leadingExtra) {
  GlyphLayout out;
  const bool horizontal = layout == 0 || layout == 1;
  if (horizontal) {
    placeAlong(client.width(), glyph.width(), text.width(), margin, spacing, leadingExtra);
    const int gy = client.top() + (client.height() - glyph.height()) / 2;
    if (layout == 0) {
      out.glyph = {client.left() + margin, gy};
      const int tx = out.glyph.x() + glyph.width() + spacing;
      out.text = QRect(tx, client.top(), client.right() + 1 - tx, client.height());
      out.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } else {
      out.glyph = {client.right() + 1 - margin - glyph.width(), gy};
      out.text = QRect(client.left(), client.top(), out.glyph.x() - spacing - client.left(),
                       client.height());
      out.alignment = Qt::AlignRight | Qt::AlignVCenter;
    }
  } else {
    placeAlong(client.height(), glyph.height(), text.height(), margin, spacing, leadingExtra);
    const int gx = client.left() + (client.width() - glyph.width()) / 2;
    if (layout == 2) {
      out.glyph = {gx, client.top() + margin};
      const int ty = out.glyph.y() + glyph.height() + spacing;
      out.text = QRect(client.left(), ty, client.width(), text.height());
    } else {
      out.glyph = {gx, client.bottom() + 1 - margin - glyph.height()};
      out.text = QRect(client.left(), out.glyph.y() - spacing - text.height(), client.width(),
                       text.height());
    }
    out.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
  }
  return out;
}

QAbstractButton* TSkinButton::button() const { return qobject_cast<QAbstractButton*>(control_); }

bool TSkinButton::hasBitmap() const {
  return skin() && skin()->button && !skin()->button->bitmap.isNull();
}

int TSkinButton::stateFrame() const {
  if (!enabled_) return 3;
  if (state_ & Pressed) return 2;
  if (focused_ || (state_ & Hot)) return 4;
  return 1;
}

bool TSkinButton::wantsAfter(int type) const {
  return type == QEvent::KeyPress || type == QEvent::KeyRelease || TSkinControl::wantsAfter(type);
}

bool TSkinButton::beforeMessage(QEvent* event) {
  switch (event->type()) {
    case QEvent::Paint:
      if (!hasBitmap()) return true;
      paint();
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return true;
      if (!control_->hasFocus() && control_->focusPolicy() & Qt::ClickFocus)
        control_->setFocus(Qt::MouseFocusReason);
      state_ |= Pressed;
      repaintNow();
      return false;
    }
    case QEvent::MouseButtonRelease: {
      const auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::LeftButton) return true;
      if (state_ & Pressed) {
        state_ &= ~Pressed;
        repaintNow();
        // The pointer is held by the button while pressed; a release away from it is no click.
        if (control_->rect().contains(me->position().toPoint())) click();
      }
      return false;
    }
    case QEvent::MouseMove: {
      const bool inside =
          control_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (inside && !(state_ & Hot) && control_->isEnabled()) {
        setHot(true);
        repaintNow();
      } else if (!inside && (state_ & Hot)) {
        onLeave();
      }
      return true;
    }
    default:
      return true;
  }
}

void TSkinButton::afterMessage(QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || key->isAutoRepeat()) return;
    if (event->type() == QEvent::KeyPress)
      state_ |= Pressed;
    else
      state_ &= ~Pressed;
    repaintNow();
    return;
  }
  TSkinControl::afterMessage(event);
}

void TSkinButton::onEnter() {
  if (!control_ || !control_->isEnabled()) return;
  setHot(true);
  repaintNow();
}

void TSkinButton::onLeave() {
  if (!control_ || !control_->isEnabled()) return;
  setHot(false);
  repaintNow();
}

void TSkinButton::click() {
  if (QAbstractButton* b = button()) b->click();
}

void TSkinButton::drawFace(QPainter& p, const QRect& rect, int frame) {
  p.fillRect(rect, toQColor(skin()->colours.buttonFace));
  data_->painter().drawNine(p, *skin()->button, frame, rect);
}

QColor TSkinButton::textColour(int frame) const {
  const TDataSkinButton& b = *skin()->button;
  switch (frame) {
    case 3:
      return toQColor(sys::ButtonShadow);
    case 2:
      return toQColor(b.pressedColour2);
    case 4:
      return toQColor(b.mouseOverColour2);
    default:
      return toQColor(b.normalColour2);
  }
}

QString TSkinButton::caption() const {
  if (const QAbstractButton* b = button()) return b->text();
  // The report windows' own speed buttons publish their caption.
  const QVariant published = control_->property("Caption");
  return published.isValid() ? published.toString() : text_;
}

QImage TSkinButton::glyph(int index) const {
  const int count = std::max(1, intProperty(control_, "NumGlyphs", 1));
  if (index > count) index = 1;
  QImage strip;
  // A published glyph strip first (the report windows' buttons), else the button's icon.
  const QVariant published = control_->property("Glyph");
  if (published.isValid() && !published.value<QImage>().isNull()) {
    strip = published.value<QImage>().convertToFormat(QImage::Format_ARGB32);
  } else if (const QAbstractButton* b = button(); b && !b->icon().isNull()) {
    QSize size = b->iconSize();
    size.setWidth(size.width() * count);
    strip = b->icon().pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
  }
  if (strip.isNull()) return {};
  const int w = strip.width() / count;
  QImage one = strip.copy(w * (index - 1), 0, w, strip.height());
  // The top-left pixel's colour is the glyph's transparent colour.
  const QRgb key = one.pixel(0, 0);
  if (qAlpha(key) == 255)
    for (int y = 0; y < one.height(); ++y)
      for (int x = 0; x < one.width(); ++x)
        if (one.pixel(x, y) == key) one.setPixel(x, y, 0);
  return one;
}

void TSkinButton::drawGlyphAndCaption(QPainter& p, const QRect& rect, int frame, int glyphIndex,
                                      bool leadingExtra) {
  const QString caption = this->caption();
  const QImage image = glyph(glyphIndex);
  p.setFont(control_->font());
  p.setPen(textColour(frame));
  const int flags = Qt::TextShowMnemonic | Qt::TextExpandTabs;
  if (image.isNull()) {
    p.drawText(rect, flags | Qt::AlignCenter, caption);
    return;
  }
  const QSize textSize = caption.isEmpty() ? QSize() : p.fontMetrics().size(flags, caption);
  int layout = intProperty(control_, "Layout", -1);
  if (layout < 0) {
    const auto* tool = qobject_cast<const QToolButton*>(control_);
    layout = tool && tool->toolButtonStyle() == Qt::ToolButtonTextUnderIcon ? 2 : 0;
  }
  const int margin = intProperty(control_, "Margin", -1);
  const int spacing = intProperty(control_, "Spacing", 4);
  const GlyphLayout g =
      layoutGlyph(rect, image.size(), textSize, layout, margin, spacing, leadingExtra);
  p.drawImage(g.glyph, image);
  if (!caption.isEmpty()) p.drawText(g.text, flags | g.alignment, caption);
}

void TSkinButton::draw(QPainter& p, const QRect& rect) {
  if (!hasBitmap()) return;
  if (buffer_.size() != rect.size()) buffer_ = QImage(rect.size(), QImage::Format_RGB32);
  const int frame = stateFrame();
  {
    QPainter b(&buffer_);
    drawFace(b, buffer_.rect(), frame);
    drawContent(b, buffer_.rect(), frame);
  }
  p.drawImage(rect.topLeft(), buffer_);
}

void TSkinButton::drawContent(QPainter& p, const QRect& rect, int frame) {
  p.setFont(control_->font());
  p.setPen(textColour(frame));
  p.drawText(rect, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextExpandTabs, caption());
}

void TSkinBitButton::drawContent(QPainter& p, const QRect& rect, int frame) {
  drawGlyphAndCaption(p, rect, frame, 1, false);
}

int TSkinSpeedButton::stateFrame() const {
  if (!enabled_) return 3;
  const QAbstractButton* b = button();
  const bool down = b ? b->isDown() || b->isChecked() : control_->property("Down").toBool();
  if ((state_ & Pressed) || down) return 2;
  if (state_ & Hot) return 4;
  return 1;
}

bool TSkinSpeedButton::beforeMessage(QEvent* event) {
  switch (event->type()) {
    case QEvent::Paint:
      if (!hasBitmap()) return true;
      paint();
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return true;
      // The tool button keeps its own press and click; the skin only shows it.
      QPointer<TSkinControl> self(this);
      deliver(event);
      if (!self || !control_) return false;
      state_ |= Pressed;
      repaintNow();
      return false;
    }
    case QEvent::MouseMove:
      if (!(state_ & Hot) && control_->isEnabled() &&
          control_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        setHot(true);
        repaintNow();
      }
      return true;
    default:
      return true;
  }
}

bool TSkinSpeedButton::wantsAfter(int type) const {
  return type == QEvent::MouseButtonRelease || TSkinButton::wantsAfter(type);
}

void TSkinSpeedButton::afterMessage(QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    state_ &= ~Pressed;
    repaintNow();
    return;
  }
  TSkinButton::afterMessage(event);
}

void TSkinSpeedButton::onLeave() {
  if (!control_ || !control_->isEnabled()) return;
  setHot(false);
  if (control_->isVisible()) repaintNow();
}

void TSkinSpeedButton::drawContent(QPainter& p, const QRect& rect, int frame) {
  // Glyph images by state: 1 up and hot, 2 disabled, 3 down; the first when there are fewer.
  const int glyphIndex = frame == 3 ? 2 : frame == 2 ? 3 : 1;
  drawGlyphAndCaption(p, rect, frame, glyphIndex, true);
}

}  // namespace kelpo::skin
