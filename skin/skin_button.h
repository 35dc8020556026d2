// The push-button family: push buttons (TSkinButton), glyph buttons (TSkinBitButton) and
// speed buttons (TSkinSpeedButton), drawn from the skin's five-frame button strip.
#pragma once

#include <QImage>

#include "skin/skin_control.h"

class QAbstractButton;

namespace kelpo::skin {

// Where a glyph and its caption go inside a button.
struct GlyphLayout {
  QPoint glyph;
  QRect text;
  int alignment = 0;  // Qt::Alignment flags for the caption
};
// `layout` 0 glyph left, 1 right, 2 top, 3 bottom of the caption; `margin` −1 centres the
// block; `spacing` −1 divides the free space evenly. `leadingExtra` puts the odd pixel of a
// centred block on the leading side (speed buttons).
GlyphLayout layoutGlyph(const QRect& client, QSize glyph, QSize text, int layout, int margin,
                        int spacing, bool leadingExtra = false);

class TSkinButton : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;

  // The frame of the button strip for the current state: 1 normal, 2 pressed, 3 disabled,
  // 4 hot or focused.
  virtual int stateFrame() const;

 protected:
  bool beforeMessage(QEvent* event) override;
  void afterMessage(QEvent* event) override;
  bool wantsAfter(int type) const override;
  void onEnter() override;
  void onLeave() override;
  // Buffered: the face for the state, then the content over it.
  void draw(QPainter& p, const QRect& rect) override;
  // What goes on the face: the caption centred.
  virtual void drawContent(QPainter& p, const QRect& rect, int frame);

  bool hasBitmap() const;
  // Button face, then the state's frame of the button strip.
  void drawFace(QPainter& p, const QRect& rect, int frame);
  QColor textColour(int frame) const;
  QAbstractButton* button() const;
  // Glyph image `index` (1-based) of the control's glyph strip or icon, or a null image.
  QImage glyph(int index) const;
  QString caption() const;
  void drawGlyphAndCaption(QPainter& p, const QRect& rect, int frame, int glyphIndex,
                           bool leadingExtra);
  virtual void click();

  QImage buffer_;
};

class TSkinBitButton : public TSkinButton {
  Q_OBJECT
 public:
  using TSkinButton::TSkinButton;

 protected:
  void drawContent(QPainter& p, const QRect& rect, int frame) override;
};

class TSkinSpeedButton : public TSkinButton {
  Q_OBJECT
 public:
  using TSkinButton::TSkinButton;
  int stateFrame() const override;

 protected:
  bool beforeMessage(QEvent* event) override;
  void afterMessage(QEvent* event) override;
  bool wantsAfter(int type) const override;
  void onLeave() override;
  void drawContent(QPainter& p, const QRect& rect, int frame) override;
};

}  // namespace kelpo::skin
