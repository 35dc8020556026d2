// TSkinManage: the one program-wide skin manager. It keeps the skin data components, the
// skinned frames and the skinned menu windows, sees windows being activated, shown and
// destroyed (an event filter on the application), decides which windows are skinned and with
// which skin data, and runs the deferred commands from its 250 ms timer.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

namespace kelpo::skin {

class TSkinData;
class TWinSkinForm;
class TWinSkinPopMenu;

enum class SkinCommand {
  None = 0,
  Activate = 1,
  Deactivate = 2,
  SkinChanged = 3,
  RemoveClosed = 6
};

// A widget's class name without its C++ namespace: the name the skin rules compare.
QString plainClassName(const QObject* object);

// The class name a window plays for the skin engine: its own class name for our forms,
// "TMessageForm" for message boxes, "#32770" for Qt's other dialogs, "#32768" for menus.
QString windowClassName(const QWidget* window);

class TSkinManage : public QObject {
  Q_OBJECT
 public:
  // The manager once created; null before the first skin data component loaded.
  static TSkinManage* instance();
  static TSkinManage& create();
  // Frees the manager (program end, and between tests).
  static void destroyInstance();

  void registerData(TSkinData* data);
  void unregisterData(TSkinData* data);
  std::vector<TSkinData*> registered() const;

  // Starts watching the application's windows (sfMainform components call this at load).
  void installHook();
  bool hookInstalled() const { return hookInstalled_; }

  bool skinning() const { return skinning_; }
  void setSkinning(bool on) { skinning_ = on; }
  int activations() const { return activations_; }
  void countActivation() { activations_ = 1; }

  // Deferred commands: a new one replaces one still waiting. Before any window was activated,
  // activate and deactivate only switch skinning and other commands are dropped.
  void sendCommand(SkinCommand kind, TSkinData* target);
  SkinCommand pendingCommand() const { return command_; }
  const QTimer& commandTimer() const { return timer_; }
  // The timer's handler; tests call it to run a waiting command at once.
  void runCommand();

  // The component that skins `window`, or null (see the rules in chooseSkinData's source).
  TSkinData* chooseSkinData(const QWidget* window) const;
  // Whether `window` is to be skinned now: skinning on, not skinned yet, a top-level window
  // with a size, no Tag 99, and the main component (or its OnFormSkin handler) agreeing.
  bool acceptsWindow(const QWidget* window) const;
  // The decision, then the choice of skin data; when that component has a skin loaded, a
  // frame attaches to the window and its first layout is posted.
  bool skinWindow(QWidget* window);
  // The "are you skinned" question, for top-level and menu windows.
  bool isSkinned(const QWidget* window) const;
  TSkinData* skinDataOf(const QWidget* window) const;
  TWinSkinForm* findFrame(const QWidget* window) const;
  std::vector<TWinSkinForm*> frames() const;
  // Detaches the window's frame (restoring the window) and forgets it.
  void removeFrame(const QWidget* window);
  // Frames forget their title-bar buttons before `data` replaces its skin objects.
  void dropButtons(TSkinData* data);

  // Menu windows: wrapped while shown with skinning on, released when hidden.
  bool skinMenuWindow(QMenu* menu);
  void releaseMenuWindow(QMenu* menu);
  TWinSkinPopMenu* findMenuWindow(const QMenu* menu) const;
  // Set while a menu of a skinned menu bar is open.
  bool menuFromBar() const { return menuFromBar_; }
  void setMenuFromBar(bool on) { menuFromBar_ = on; }

  // The skinned controls of a window: filled by the control layer, called after a frame
  // attaches; the frame owns the result and destroys it (restoring the controls) first when
  // it detaches.
  std::function<std::unique_ptr<QObject>(QWidget* window, TSkinData* data)> skinControls;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TSkinManage();
  ~TSkinManage() override;
  struct Skinned {
    QPointer<QWidget> window;
    const QWidget* key;  // stays valid for comparison after the window is gone
    QPointer<TSkinData> data;
    bool destroyed = false;
    std::unique_ptr<TWinSkinForm> frame;
  };
  void release(std::size_t index, bool resize = true);
  bool refusesSizeGrip(QObject* watched, QEvent* event) const;

  QTimer timer_;
  std::vector<QPointer<TSkinData>> data_;
  std::vector<Skinned> skinned_;
  std::vector<std::unique_ptr<TWinSkinPopMenu>> menus_;
  bool menuFromBar_ = false;
  bool hookInstalled_ = false;
  bool skinning_ = false;
  int activations_ = 0;
  SkinCommand command_ = SkinCommand::None;
  QPointer<TSkinData> target_;
};

}  // namespace kelpo::skin
