// TSkinControl: the skin object of one control. It sees the control's events before and after
// the control handles them (an event filter that hands the event to the control itself), lets
// the control do its own work and then paints the skin over or instead of it, and puts the
// control back exactly as it found it when it is restored.
#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

#include "skin/skin_data.h"

class QEvent;
class QPainter;
class QWidget;

namespace kelpo::skin {

class TSkinControlSet;
struct SkinObjects;

// The skin objects of every skinned control of `window`, found by control discovery and kept
// up to date as controls appear; destroying the result restores every control as it was.
std::unique_ptr<QObject> SkinControlsOf(QWidget* window, TSkinData* data);
// After a skin change: every skin object of a set SkinControlsOf made recolours and repaints.
void RefreshSkinControls(QObject* controls);

class TSkinControl : public QObject {
  Q_OBJECT
 public:
  enum StateBits { Hot = 1, Pressed = 2 };

  explicit TSkinControl(TSkinControlSet* owner = nullptr);
  ~TSkinControl() override;

  // Attaches once: the filter goes in front of the control's own handling; with `colour` the
  // control is given the skin's button face (its own palette remembered).
  virtual void attachToControl(QWidget* control, TSkinData* data, bool colour);
  // Gives back everything attaching changed. Safe to call more than once.
  virtual void restore();
  // Skin changed: new colours, repaint.
  virtual void refresh();

  QWidget* control() const { return control_; }
  bool attached() const { return attached_; }
  int state() const { return state_; }
  bool hot() const { return state_ & Hot; }
  bool pressed() const { return state_ & Pressed; }
  TSkinControlSet* owner() const { return owner_; }

  // Pointer entered or left (the frame sends leave to the previous hot control).
  void mouseEnter();
  void mouseLeave();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

  // False consumes the event: the control never sees it.
  virtual bool beforeMessage(QEvent* event);
  // Runs after the control handled an event of a type `wantsAfter` accepts.
  virtual void afterMessage(QEvent* event);
  virtual bool wantsAfter(int type) const;
  // Paints through `draw` on the control, catching painting errors.
  void paint();
  virtual void draw(QPainter& p, const QRect& rect);
  // Invalidates and repaints at once.
  void repaintNow();
  // The skin objects, or null while the data holds no skin.
  const SkinObjects* skin() const;
  // Hands an event to the control itself, past every filter.
  bool deliver(QEvent* event);
  // Hot and pressed flags, with the frame's one hot control kept in step.
  void setHot(bool on);
  virtual void onEnter();
  virtual void onLeave();

  // Extra widgets this object filters besides its control (a status bar's panels).
  void watch(QWidget* widget);

  int state_ = 0;
  bool enabled_ = true;
  bool focused_ = false;
  QString text_;
  QPointer<TSkinData> data_;  // the skin may go before the controls when a window closes
  QPointer<QWidget> control_;
  bool colour_ = false;
  bool attached_ = false;

 private:
  void applyColour();

  TSkinControlSet* owner_;
  QPalette previousPalette_;
  bool hadOwnPalette_ = false;
  bool inControl_ = false;
  std::vector<QPointer<QWidget>> watched_;
};

}  // namespace kelpo::skin
