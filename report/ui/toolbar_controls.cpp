// Painting and mouse handling of the report windows' speed buttons and separators.
#include "report/ui/toolbar_controls.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <map>

namespace kelpo::report {
namespace {

constexpr char kAlignProperty[] = "Align";
// Buttons up to this size are painted off-screen first, into one bitmap shared by all.
constexpr int kBufferSide = 100;

QPixmap*& bufferSlot() {
  static QPixmap* buffer = nullptr;
  return buffer;
}

QPixmap& sharedBuffer(qreal dpr) {
  QPixmap*& buffer = bufferSlot();
  if (!buffer) {
    buffer = new QPixmap;
    // Pixmaps belong to the GUI application and must go before it does.
    qAddPostRoutine([] {
      delete bufferSlot();
      bufferSlot() = nullptr;
    });
  }
  if (buffer->isNull() || buffer->devicePixelRatio() != dpr) {
    *buffer = QPixmap(QSize(kBufferSide, kBufferSide) * dpr);
    buffer->setDevicePixelRatio(dpr);
  }
  return *buffer;
}

std::map<std::pair<int, int>, std::weak_ptr<GlyphImageList>>& imageLists() {
  static std::map<std::pair<int, int>, std::weak_ptr<GlyphImageList>> lists;
  return lists;
}

QColor faceColor(const QWidget* w) { return w->palette().color(QPalette::Button); }
QColor highlightColor(const QWidget* w) { return w->palette().color(QPalette::Light); }
QColor shadowColor(const QWidget* w) { return w->palette().color(QPalette::Dark); }

// The 8 x 8 pattern of a button stuck down: white where row and column are both even or both
// odd, the button face elsewhere.
QPixmap exclusivePattern(const QColor& face) {
  QImage pattern(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      pattern.setPixel(x, y, (x % 2) == (y % 2) ? qRgb(255, 255, 255) : face.rgb());
  return QPixmap::fromImage(pattern);
}

void drawFrame(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  p.setPen(topLeft);
  p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
  p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
  p.setPen(bottomRight);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

struct ButtonLayout {
  QPoint glyph;
  QRect text;
};

// Glyph and caption positions: both centred across the layout direction; along it the glyph
// sits `margin` from its edge (or both are centred together when margin is −1) and the
// caption follows at `spacing`.
ButtonLayout calcLayout(const QRect& client, QSize glyph, QSize text,
                        TfrSpeedButton::TButtonLayout layout, int margin, int spacing) {
  const bool horizontal =
      layout == TfrSpeedButton::blGlyphLeft || layout == TfrSpeedButton::blGlyphRight;
  const QSize cs = client.size();
  QPoint g, t;
  if (horizontal) {
    g.setY((cs.height() - glyph.height() + 1) / 2);
    t.setY((cs.height() - text.height() + 1) / 2);
  } else {
    g.setX((cs.width() - glyph.width() + 1) / 2);
    t.setX((cs.width() - text.width() + 1) / 2);
  }
  // Without a caption or without a glyph the spacing means nothing.
  if (text.width() == 0 || glyph.width() == 0) spacing = 0;
  const int clientLen = horizontal ? cs.width() : cs.height();
  const int glyphLen = horizontal ? glyph.width() : glyph.height();
  const int textLen = horizontal ? text.width() : text.height();
  if (margin == -1) {
    if (spacing == -1) {
      margin = (clientLen - (glyphLen + textLen)) / 3;
      spacing = margin;
    } else {
      margin = (clientLen - (glyphLen + spacing + textLen) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (clientLen - (margin + glyphLen) - textLen) / 2;
  }
  switch (layout) {
    case TfrSpeedButton::blGlyphLeft:
      g.setX(margin);
      t.setX(g.x() + glyph.width() + spacing);
      break;
    case TfrSpeedButton::blGlyphRight:
      g.setX(cs.width() - margin - glyph.width());
      t.setX(g.x() - spacing - text.width());
      break;
    case TfrSpeedButton::blGlyphTop:
      g.setY(margin);
      t.setY(g.y() + glyph.height() + spacing);
      break;
    case TfrSpeedButton::blGlyphBottom:
      g.setY(cs.height() - margin - glyph.height());
      t.setY(g.y() - spacing - text.height());
      break;
  }
  return {g + client.topLeft(), QRect(t + client.topLeft(), text)};
}

}  // namespace

TAlign widgetAlign(const QWidget* widget) {
  const QVariant v = widget ? widget->property(kAlignProperty) : QVariant();
  return v.isValid() ? static_cast<TAlign>(v.toInt()) : TAlign::alNone;
}

void setWidgetAlign(QWidget* widget, TAlign align) {
  widget->setProperty(kAlignProperty, static_cast<int>(align));
}

TAlign toolbarAlignOn(const QWidget* parent, TAlign current) {
  if (!qobject_cast<const QFrame*>(parent)) return current;
  const TAlign bar = widgetAlign(parent->parentWidget());
  return bar == TAlign::alLeft || bar == TAlign::alRight ? TAlign::alTop : TAlign::alLeft;
}

// --- shared image lists ------------------------------------------------------------------

std::shared_ptr<GlyphImageList> GlyphImageList::acquire(QSize size) {
  std::weak_ptr<GlyphImageList>& slot = imageLists()[{size.width(), size.height()}];
  std::shared_ptr<GlyphImageList> list = slot.lock();
  if (!list) {
    list = std::make_shared<GlyphImageList>(size);
    slot = list;
  }
  return list;
}

std::shared_ptr<GlyphImageList> GlyphImageList::existing(QSize size) {
  const auto it = imageLists().find({size.width(), size.height()});
  return it == imageLists().end() ? nullptr : it->second.lock();
}

int GlyphImageList::add(const QPixmap& image) {
  if (!free_.empty()) {
    const int index = free_.back();
    free_.pop_back();
    images_[index] = image;
    return index;
  }
  images_.push_back(image);
  return static_cast<int>(images_.size()) - 1;
}

void GlyphImageList::remove(int index) {
  images_[index] = QPixmap();
  free_.push_back(index);
}

int GlyphImageList::count() const { return static_cast<int>(images_.size() - free_.size()); }

// --- speed button --------------------------------------------------------------------------

TfrSpeedButton::TfrSpeedButton(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(22, 22);
}

TfrSpeedButton::~TfrSpeedButton() { invalidateImages(); }

void TfrSpeedButton::setGlyph(const QImage& glyph) {
  glyph_ = glyph;
  const int w = glyph.width(), h = glyph.height();
  if (w > 0 && h > 0 && w % h == 0) {
    const int n = w / h;
    numGlyphs_ = n < 5 ? n : 1;
  }
  invalidateImages();
  update();
}

void TfrSpeedButton::setNumGlyphs(int count) {
  count = std::clamp(count, 1, 4);
  if (count == numGlyphs_) return;
  numGlyphs_ = count;
  invalidateImages();
  update();
}

void TfrSpeedButton::setButtonLayout(TButtonLayout layout) {
  layout_ = layout;
  update();
}

void TfrSpeedButton::setMargin(int margin) {
  margin_ = std::max(margin, -1);
  update();
}

void TfrSpeedButton::setSpacing(int spacing) {
  spacing_ = std::max(spacing, -1);
  update();
}

void TfrSpeedButton::setFlat(bool flat) {
  flat_ = flat;
  if (!flat_) mouseInControl_ = false;
  update();
}

void TfrSpeedButton::setGroupIndex(int index) {
  groupIndex_ = index;
  // Only a button in a group can be down.
  if (groupIndex_ == 0 && down_) {
    down_ = false;
    state_ = bsUp;
    update();
  }
  updateExclusive();
}

void TfrSpeedButton::setDown(bool down) {
  if (groupIndex_ == 0) down = false;
  if (down == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = down;
  state_ = down ? bsExclusive : bsUp;
  update();
  if (down) updateExclusive();
}

void TfrSpeedButton::setAllowAllUp(bool allow) {
  allowAllUp_ = allow;
  updateExclusive();
}

void TfrSpeedButton::setGrayedInactive(bool grayed) {
  grayedInactive_ = grayed;
  update();
}

void TfrSpeedButton::setCaption(const QString& caption) {
  caption_ = caption;
  updateShortcut();
  update();
}

void TfrSpeedButton::updateShortcut() {
  if (shortcutId_) releaseShortcut(shortcutId_);
  shortcutId_ = 0;
  const QKeySequence key = QKeySequence::mnemonic(caption_);
  if (!key.isEmpty()) shortcutId_ = grabShortcut(key);
}

void TfrSpeedButton::updateExclusive() {
  if (groupIndex_ == 0 || !parentWidget()) return;
  for (TfrSpeedButton* sibling :
       parentWidget()->findChildren<TfrSpeedButton*>(Qt::FindDirectChildrenOnly))
    if (sibling != this) sibling->buttonPressed(this);
}

void TfrSpeedButton::buttonPressed(TfrSpeedButton* sender) {
  if (sender->groupIndex_ != groupIndex_) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    update();
  }
  allowAllUp_ = sender->allowAllUp_;
}

void TfrSpeedButton::click() { emit clicked(); }

void TfrSpeedButton::invalidateImages() {
  if (images_) {
    for (int& index : imageIndex_) {
      if (index >= 0) images_->remove(index);
      index = -1;
    }
  }
  // Dropping the list frees it when this was its last button; the next image made picks the
  // list of its own size.
  images_.reset();
}

QImage TfrSpeedButton::renderState(TButtonState state) const {
  const int w = glyph_.width() / numGlyphs_, h = glyph_.height();
  if (w <= 0 || h <= 0) return {};
  const QImage all = glyph_.convertToFormat(QImage::Format_ARGB32);
  const QRgb transparent = all.pixel(0, all.height() - 1);
  const auto isTransparent = [transparent](QRgb c) { return qAlpha(c) == 0 || c == transparent; };

  int source = 0;
  if (state == bsDisabled && numGlyphs_ >= 2) source = 1;
  if (state == bsDown && numGlyphs_ >= 3) source = 2;
  if (state == bsExclusive && numGlyphs_ >= 4) source = 3;
  const QImage part = all.copy(source * w, 0, w, h);
  QImage out(w, h, QImage::Format_ARGB32);
  out.fill(Qt::transparent);

  const QRgb face = faceColor(this).rgb();
  const QRgb highlight = highlightColor(this).rgb();
  const QRgb shadow = shadowColor(this).rgb();

  if (state == bsDisabled && numGlyphs_ < 2) {
    // Embossed: the glyph's shape in the highlight colour one pixel down and right, under the
    // same shape in the shadow colour. White belongs to the background of the shape.
    const auto ink = [&](QRgb c) { return !isTransparent(c) && (c & 0xFFFFFF) != 0xFFFFFF; };
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (ink(part.pixel(x, y)) && x + 1 < w && y + 1 < h) out.setPixel(x + 1, y + 1, highlight);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (ink(part.pixel(x, y))) out.setPixel(x, y, shadow);
    return out;
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const QRgb c = part.pixel(x, y);
      if (state == bsDisabled) {
        // The glyph's own disabled image, in the colours of the button.
        if (isTransparent(c))
          out.setPixel(x, y, face);
        else if ((c & 0xFFFFFF) == 0xFFFFFF)
          out.setPixel(x, y, highlight);
        else if ((c & 0xFFFFFF) == 0x808080)
          out.setPixel(x, y, shadow);
        else
          out.setPixel(x, y, c);
        continue;
      }
      if (isTransparent(c)) continue;
      if (state == bsInactive && (c & 0xFFFFFF) != (face & 0xFFFFFF)) {
        const int g = inactiveGrey(c);
        out.setPixel(x, y, qRgba(g, g, g, qAlpha(c)));
      } else {
        out.setPixel(x, y, c);
      }
    }
  }
  return out;
}

QPixmap TfrSpeedButton::stateImage(TButtonState state) {
  if (glyph_.isNull() || glyph_.width() / numGlyphs_ <= 0) return {};
  if (!images_)
    images_ = GlyphImageList::acquire(QSize(glyph_.width() / numGlyphs_, glyph_.height()));
  int& index = imageIndex_[state];
  if (index < 0) index = images_->add(QPixmap::fromImage(renderState(state)));
  return images_->image(index);
}

void TfrSpeedButton::paintEvent(QPaintEvent*) {
  if (width() <= kBufferSide && height() <= kBufferSide) {
    const qreal dpr = devicePixelRatioF();
    QPixmap& buffer = sharedBuffer(dpr);
    {
      QPainter bp(&buffer);
      bp.setClipRect(rect());
      paintButton(bp);
    }
    QPainter p(this);
    p.drawPixmap(QPointF(0, 0), buffer, QRectF(0, 0, width() * dpr, height() * dpr));
  } else {
    QPainter p(this);
    paintButton(p);
  }
}

void TfrSpeedButton::paintButton(QPainter& p) {
  const bool enabled = isEnabled();
  if (!enabled) {
    state_ = bsDisabled;
    dragging_ = false;
  } else if (state_ == bsDisabled) {
    state_ = down_ && groupIndex_ != 0 ? bsExclusive : bsUp;
  }
  const bool wasExclusive = state_ == bsExclusive;
  TButtonState paintState = state_;
  if (grayedInactive_ && enabled && flat_ && !mouseInControl_) paintState = bsInactive;

  const QRect r = rect();
  const QColor face = faceColor(this);
  p.fillRect(r, face);
  QPoint offset;
  QRect content;
  if (flat_) {
    if (paintState == bsDown) offset = QPoint(1, 1);
    content = r.adjusted(1, 1, -1, -1);
  } else {
    const bool pushed = paintState == bsDown || paintState == bsExclusive;
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = r;
    opt.state |= pushed ? (QStyle::State_Sunken | QStyle::State_On) : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);
    if (pushed) offset = QPoint(1, 1);
    content = r.adjusted(2, 2, -2, -2);
  }

  const bool patterned =
      flat_ ? enabled && !mouseInControl_ && (paintState == bsExclusive || wasExclusive)
            : paintState == bsExclusive;
  if (patterned) {
    p.setBrushOrigin(0, 0);
    p.fillRect(content, QBrush(exclusivePattern(face)));
  }

  const QPixmap image = stateImage(paintState);
  const QSize glyphSize =
      glyph_.isNull() ? QSize() : QSize(glyph_.width() / numGlyphs_, glyph_.height());
  QSize textSize;
  if (!caption_.isEmpty()) {
    textSize = fontMetrics().size(Qt::TextShowMnemonic | Qt::TextSingleLine, caption_);
  }
  const ButtonLayout pos =
      calcLayout(r, glyphSize.isValid() ? glyphSize : QSize(0, 0),
                 textSize.isValid() ? textSize : QSize(0, 0), layout_, margin_, spacing_);
  if (!image.isNull()) p.drawPixmap(pos.glyph + offset, image);
  if (!caption_.isEmpty()) {
    const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine | Qt::AlignCenter;
    p.setFont(font());
    const QRect text = pos.text.translated(offset);
    if (paintState == bsDisabled) {
      p.setPen(Qt::white);
      p.drawText(text.translated(1, 1), flags, caption_);
      p.setPen(QColor(128, 128, 128));
      p.drawText(text, flags, caption_);
    } else {
      p.setPen(palette().color(QPalette::ButtonText));
      p.drawText(text, flags, caption_);
    }
  }

  if (flat_ && ((enabled && mouseInControl_) || wasExclusive)) {
    const bool sunken = state_ == bsDown || state_ == bsExclusive;
    drawFrame(p, r, sunken ? shadowColor(this) : highlightColor(this),
              sunken ? highlightColor(this) : shadowColor(this));
  }
}

bool TfrSpeedButton::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    auto* se = static_cast<QShortcutEvent*>(e);
    if (se->shortcutId() == shortcutId_) {
      if (isEnabled()) click();
      return true;
    }
  }
  return QWidget::event(e);
}

void TfrSpeedButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) {
    QWidget::mousePressEvent(e);
    return;
  }
  if (!down_) {
    state_ = bsDown;
    update();
  }
  dragging_ = true;
}

void TfrSpeedButton::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_) {
    QWidget::mouseMoveEvent(e);
    return;
  }
  // Outside the button every button shows up, a down one of a group included: letting go there
  // changes nothing, and the button says so while the mouse is out.
  TButtonState next = bsUp;
  if (rect().contains(e->position().toPoint())) next = down_ ? bsExclusive : bsDown;
  if (next != state_) {
    state_ = next;
    update();
  }
}

void TfrSpeedButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !dragging_) {
    QWidget::mouseReleaseEvent(e);
    return;
  }
  dragging_ = false;
  const bool inside = rect().contains(e->position().toPoint());
  if (groupIndex_ == 0) {
    state_ = bsUp;
  } else if (inside) {
    setDown(!down_);
  }
  // A group button let go outside, or one that must stay down, shows what it is.
  if (groupIndex_ != 0) state_ = down_ ? bsExclusive : bsUp;
  update();
  if (inside) click();
}

void TfrSpeedButton::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press of a double click presses the button like the first one did.
  mousePressEvent(e);
  if (e->button() == Qt::LeftButton && down_) emit doubleClicked();
}

void TfrSpeedButton::enterEvent(QEnterEvent* e) {
  QWidget::enterEvent(e);
  if (flat_ && isEnabled() && !mouseInControl_) {
    mouseInControl_ = true;
    emit mouseEntered();
    update();
  }
}

void TfrSpeedButton::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  if (flat_ && isEnabled() && mouseInControl_) {
    mouseInControl_ = false;
    emit mouseLeft();
    update();
  }
}

void TfrSpeedButton::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  switch (e->type()) {
    case QEvent::EnabledChange:
      // The mouse was not tracked while disabled, so start again from where it is.
      mouseInControl_ = flat_ && isEnabled() && underMouse();
      update();
      break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
      invalidateImages();
      update();
      break;
    default:
      break;
  }
}

// --- toolbar button and separator ---------------------------------------------------------

TfrTBButton::TfrTBButton(QWidget* parent) : TfrSpeedButton(parent) {
  setFlat(true);
  setWidgetAlign(this, toolbarAlignOn(parent, TAlign::alLeft));
}

void TfrTBButton::changeEvent(QEvent* e) {
  TfrSpeedButton::changeEvent(e);
  if (e->type() == QEvent::ParentChange)
    setWidgetAlign(this, toolbarAlignOn(parentWidget(), widgetAlign(this)));
}

TfrTBSeparator::TfrTBSeparator(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(8, 8);
  setWidgetAlign(this, toolbarAlignOn(parent, TAlign::alLeft));
}

void TfrTBSeparator::setDrawBevel(bool draw) {
  drawBevel_ = draw;
  update();
}

void TfrTBSeparator::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ParentChange)
    setWidgetAlign(this, toolbarAlignOn(parentWidget(), widgetAlign(this)));
}

void TfrTBSeparator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), faceColor(this));
  if (!drawBevel_) return;
  const TAlign align = widgetAlign(this);
  const int w = width(), h = height();
  if (align == TAlign::alTop || align == TAlign::alBottom) {
    p.setPen(shadowColor(this));
    p.drawLine(2, h / 2 - 1, w - 3, h / 2 - 1);
    p.setPen(highlightColor(this));
    p.drawLine(2, h / 2, w - 3, h / 2);
  } else if (align == TAlign::alLeft || align == TAlign::alRight) {
    p.setPen(shadowColor(this));
    p.drawLine(w / 2 - 1, 2, w / 2 - 1, h - 3);
    p.setPen(highlightColor(this));
    p.drawLine(w / 2, 2, w / 2, h - 3);
  }
}

}  // namespace kelpo::report
