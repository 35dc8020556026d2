// The report windows' own toolbar controls: a speed button with a glyph and a grey look while
// the mouse is elsewhere, the flat toolbar button built on it, and the toolbar separator.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

namespace kelpo::report {

// Where a control sits in its parent, as the report windows arrange panels and their
// controls. Kept on any widget as the dynamic property "Align", so panels of any class can
// carry it too.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
TAlign widgetAlign(const QWidget* widget);
void setWidgetAlign(QWidget* widget, TAlign align);

// Rendered glyph images of one image size, shared by every button whose glyph images have that
// size. A list exists only while some button has an image in it.
class GlyphImageList {
 public:
  explicit GlyphImageList(QSize size) : size_(size) {}
  // The list for `size`, made when first asked for.
  static std::shared_ptr<GlyphImageList> acquire(QSize size);
  // The live list for `size`, or null when no button uses one.
  static std::shared_ptr<GlyphImageList> existing(QSize size);

  int add(const QPixmap& image);
  void remove(int index);
  const QPixmap& image(int index) const { return images_[index]; }
  // Images held at the moment.
  int count() const;
  QSize size() const { return size_; }

 private:
  QSize size_;
  std::vector<QPixmap> images_;
  std::vector<int> free_;
};

class TfrSpeedButton : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QImage Glyph READ glyph WRITE setGlyph)
  Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
  Q_PROPERTY(TButtonLayout Layout READ buttonLayout WRITE setButtonLayout)
  Q_PROPERTY(int Margin READ margin WRITE setMargin)
  Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
  Q_PROPERTY(bool Flat READ flat WRITE setFlat)
  Q_PROPERTY(int GroupIndex READ groupIndex WRITE setGroupIndex)
  Q_PROPERTY(bool Down READ down WRITE setDown)
  Q_PROPERTY(bool AllowAllUp READ allowAllUp WRITE setAllowAllUp)
  Q_PROPERTY(bool GrayedInactive READ grayedInactive WRITE setGrayedInactive)
  Q_PROPERTY(QString Caption READ caption WRITE setCaption)

 public:
  enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
  Q_ENUM(TButtonLayout)
  enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
  Q_ENUM(TButtonState)

  explicit TfrSpeedButton(QWidget* parent = nullptr);
  ~TfrSpeedButton() override;

  QImage glyph() const { return glyph_; }
  void setGlyph(const QImage& glyph);
  int numGlyphs() const { return numGlyphs_; }
  void setNumGlyphs(int count);
  TButtonLayout buttonLayout() const { return layout_; }
  void setButtonLayout(TButtonLayout layout);
  int margin() const { return margin_; }
  void setMargin(int margin);
  int spacing() const { return spacing_; }
  void setSpacing(int spacing);
  bool flat() const { return flat_; }
  void setFlat(bool flat);
  int groupIndex() const { return groupIndex_; }
  void setGroupIndex(int index);
  bool down() const { return down_; }
  void setDown(bool down);
  bool allowAllUp() const { return allowAllUp_; }
  void setAllowAllUp(bool allow);
  bool grayedInactive() const { return grayedInactive_; }
  void setGrayedInactive(bool grayed);
  QString caption() const { return caption_; }
  void setCaption(const QString& caption);

  // The state the button is in (the grey look is only ever painted, never kept).
  TButtonState state() const { return state_; }
  bool mouseInControl() const { return mouseInControl_; }

  // The image painted for a state, made on first use; null when there is no glyph.
  QPixmap stateImage(TButtonState state);

  void click();

 signals:
  void clicked();
  void doubleClicked();  // OnDblClick
  void mouseEntered();   // OnMouseEnter
  void mouseLeft();      // OnMouseLeave

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void paintButton(QPainter& p);
  void invalidateImages();
  QImage renderState(TButtonState state) const;
  // A sibling in the same group was set down.
  void buttonPressed(TfrSpeedButton* sender);
  void updateExclusive();
  void updateShortcut();
  void updateTracking();

  QImage glyph_;
  int numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool flat_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool grayedInactive_ = true;
  QString caption_;

  TButtonState state_ = bsUp;
  bool dragging_ = false;
  bool mouseInControl_ = false;
  int shortcutId_ = 0;
  std::shared_ptr<GlyphImageList> images_;
  std::array<int, 5> imageIndex_{-1, -1, -1, -1, -1};
};

// A flat speed button that lines up at the left of its parent, or at the top on a panel of a
// vertical bar.
class TfrTBButton : public TfrSpeedButton {
  Q_OBJECT

 public:
  explicit TfrTBButton(QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* e) override;
};

// A gap between toolbar buttons, with an etched line across its middle when DrawBevel is on.
class TfrTBSeparator : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool DrawBevel READ drawBevel WRITE setDrawBevel)

 public:
  explicit TfrTBSeparator(QWidget* parent = nullptr);
  bool drawBevel() const { return drawBevel_; }
  void setDrawBevel(bool draw);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  bool drawBevel_ = true;
};

// Alignment a toolbar control takes on `parent`: on a panel it follows the panel's parent
// (top on a bar aligned left or right, else left); anywhere else it keeps `current`.
TAlign toolbarAlignOn(const QWidget* parent, TAlign current);

// Grey level of a pixel in the grey look of an inactive button.
inline int inactiveGrey(QRgb c) { return (77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c)) / 256; }

}  // namespace kelpo::report
