// The objects of a skinned frame that take the mouse outside the client area: the title-bar
// buttons here, the menu-bar buttons in skin_menu.h. They share the normal, pressed and hot
// states and the rule that only the current object (pressed or hovered) is live.
#pragma once

#include <QImage>
#include <QRect>

namespace kelpo::skin {

class TWinSkinForm;
class TDataSkinSysButton;

class TNCObject {
 public:
  enum State { Normal = 1, Pressed = 2, Hot = 3 };
  explicit TNCObject(TWinSkinForm* frame) : frame_(frame) {}
  virtual ~TNCObject() = default;
  TNCObject(const TNCObject&) = delete;
  TNCObject& operator=(const TNCObject&) = delete;

  // Another current object leaves first; this one becomes current, pressed.
  virtual void mouseDown();
  virtual void mouseUp();
  // Becomes current and hot; nothing when it already is current.
  virtual void mouseMove();
  virtual void mouseLeave();
  // Asks the frame to draw the object again in its state.
  virtual void paint();

  QRect rect;  // window coordinates
  bool visible = true;
  int state = Normal;

 protected:
  TWinSkinForm* frame_;
};

class TWinSysButton : public TNCObject {
 public:
  TWinSysButton(TWinSkinForm* frame, const TDataSkinSysButton* skin);

  const TDataSkinSysButton& skin() const { return *skin_; }
  int action() const;
  // Buttons that show the window icon (actions 3 and 11).
  bool isIcon() const;
  // The strip it draws from: the skin's, or the window icon for an icon button without one.
  const QImage& image() const { return image_; }
  int frames() const { return frames_; }
  void setIcon(const QImage& icon);

 private:
  const TDataSkinSysButton* skin_;
  QImage image_;
  int frames_ = 1;
};

}  // namespace kelpo::skin
