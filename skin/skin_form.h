// TWinSkinForm: the frame the skin engine draws around a top-level window in place of the
// platform's: frame pieces, caption, title-bar buttons and, for windows with a menu bar, the
// skinned bar. Attaching makes the window frameless and gives the frame its margins; detaching
// puts back everything attaching changed.
#pragma once

#include <QEvent>
#include <QFont>
#include <QImage>
#include <QMargins>
#include <QMenuBar>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "skin/skin_sys_button.h"

class QMenu;
class QMenuBar;
class QPainter;
class QWidget;
#include "skin/skin_data.h"

namespace kelpo::skin {

class TWinSkinMenu;

// The events the parts of the skin engine send each other.
QEvent::Type skinRefreshEvent();      // refresh the frame from its skin
QEvent::Type skinRepaintEvent();      // repaint the frame
QEvent::Type skinFirstLayoutEvent();  // posted after attaching: first layout
// Posted to the window when a title-bar button with an action of its own is clicked.
class SysButtonActionEvent : public QEvent {
 public:
  explicit SysButtonActionEvent(int action);
  static QEvent::Type eventType();
  int action;
};

class TWinSkinForm : public QObject {
  Q_OBJECT
 public:
  enum LifeState {
    Attached = 0,
    Ready = 1,
    Remeasuring = 3,
    Detaching = 4,
    FirstLayout = 5,
    Destroyed = 6
  };
  enum ShowState { Normal = 0, Maximised = 1, Minimised = 2 };
  enum Capability { MaximiseBox = 1, MinimiseBox = 2, SystemMenu = 8 };
  enum HitCode { HitNowhere = 0, HitClient = 1, HitCaption = 2, HitMenu = 5, HitBorder = 18 };

  // Attaches at once.
  TWinSkinForm(QWidget* window, TSkinData* data);
  // Restores the window unless it is being destroyed.
  ~TWinSkinForm() override;

  QWidget* window() const { return window_; }
  TSkinData* data() const { return data_; }
  // Puts the window back as it was found; `resize` false leaves its size (shutdown).
  void detach(bool resize = true);
  // The skin changed: colours, controls, metrics, title-bar buttons and the shape again.
  void refresh();
  // The first layout after attaching (the posted event does this).
  void firstLayout();

  // Frame metrics.
  int L = 0, T = 0, R = 0, B = 0, M = 0;
  QMargins frameMargins() const { return QMargins(L, T + M, R, B); }
  int windowKind() const { return windowKind_; }
  int borderKind() const { return borderKind_; }
  int capabilities() const { return caps_; }
  bool has(Capability c) const { return caps_ & c; }
  int showState() const;
  bool isActive() const { return active_; }
  int lifeState() const { return life_; }
  bool framed() const { return framed_; }
  bool resizable() const;
  QString caption() const { return caption_; }
  QRect captionTextRect() const { return captionRect_; }

  const std::vector<std::unique_ptr<TWinSysButton>>& buttons() const { return buttons_; }
  // Whether a title-bar button shows under the window's present state.
  bool buttonVisible(const TWinSysButton& button) const;
  TNCObject* current() const { return current_; }
  void setCurrent(TNCObject* object) { current_ = object; }
  TWinSkinMenu* menuBar() const { return menu_.get(); }
  QMenu* windowMenu() const { return windowMenu_.get(); }
  QImage windowIcon() const { return icon_; }
  // The shape given to the window: the opaque parts of the pieces and the inside.
  QRegion region() const { return region_; }
  QRegion buildRegion();
  const QTimer& hoverTimer() const { return hover_; }
  // The skinned controls of the window (filled through the manager's hook).
  QObject* controls() const { return controls_.get(); }
  void setControls(std::unique_ptr<QObject> controls);
  // Forgets the title-bar buttons before their skin objects go (a new skin is loading).
  void dropButtons();

  // The title-bar button or menu-bar button under a point in window coordinates.
  TNCObject* objectAt(QPoint p) const;
  int hitTest(QPoint p) const;
  void runAction(int action);
  void openWindowMenu(QPoint global);
  // Draws the frame into the window's margins (`p` paints on the window).
  void paintFrame(QPainter& p);
  // Marks an object's area for repainting.
  void repaintObject(const TNCObject& object);
  void repaintFrame();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Saved {
    Qt::WindowFlags flags;
    QRegion mask;
    QMargins margins;
    QSize minimum, maximum, size;
    QPoint pos;
    bool menuBarVisible = false;
    bool mouseTracking = false;
    bool ownPalette = false;
    QPalette palette;
    bool autoFill = false;
    std::vector<std::pair<QPointer<QWidget>, QPoint>> children;
    std::vector<QPointer<QWidget>> grips;
  };
  void attach();
  void readWindow();
  void computeMetrics();
  void rebuildButtons();
  void buildWindowIcon();
  void buildWindowMenu();
  void remeasure();
  void applyFrame();
  void relayOut();
  void layoutButtons(int textLeft, int textRight);
  void paintCaption(QPainter& p, int frame);
  bool mouseEvent(QEvent* event);
  void hoverTick();
  void setFrameless(bool on);

  QPointer<QWidget> window_;
  const QObject* key_;  // compared only
  QPointer<TSkinData> data_;
  QPointer<QMenuBar> menuBarWidget_;
  Saved saved_;
  QTimer hover_;
  QFont captionFont_;
  QString caption_;
  QString className_;
  QSize client_;  // the client size remembered at attach
  QRect captionRect_;
  int buttonsLeft_ = 0;
  int windowKind_ = 0, borderKind_ = 3, caps_ = 0;
  bool active_ = false;
  bool rtl_ = false;
  bool popup_ = false;
  bool framed_ = false;
  bool guard_ = false;
  int life_ = Attached;
  std::vector<std::unique_ptr<TWinSysButton>> buttons_;
  TNCObject* current_ = nullptr;
  qint64 lastMenuOpen_ = -1;
  QImage icon_;
  QRegion region_;
  QSize regionSize_;
  std::unique_ptr<QMenu> windowMenu_;
  std::unique_ptr<TWinSkinMenu> menu_;
  std::unique_ptr<QObject> controls_;
  // Dragging or sizing by hand where the platform does not do it.
  int dragEdges_ = 0;  // Qt::Edges, or -1 for moving
  QPoint dragStart_;
  QRect dragGeometry_;
};

}  // namespace kelpo::skin
