// TSkinManage: the one program-wide skin manager. It keeps the skin data components, sees
// windows being activated and destroyed (an event filter on the application), decides which
// windows are skinned and with which skin data, and runs the deferred commands from its
// 250 ms timer.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

class QWidget;

namespace kelpo::skin {

class TSkinData;

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
  // The decision, then the choice of skin data; records the window as skinned when that
  // component has a skin loaded. The window frame that will paint it attaches here.
  bool skinWindow(QWidget* window);
  bool isSkinned(const QWidget* window) const;
  TSkinData* skinDataOf(const QWidget* window) const;

  // Lets the frame layer attach and detach its frames; until one is set, skinned windows are
  // only recorded.
  std::function<void(QWidget* window, TSkinData* data)> attachFrame;
  std::function<void(QWidget* window, TSkinData* data)> detachFrame;
  std::function<void(QWidget* window, TSkinData* data)> refreshFrame;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TSkinManage();
  struct Skinned {
    QPointer<QWidget> window;
    const QWidget* key;  // stays valid for comparison after the window is gone
    QPointer<TSkinData> data;
    bool destroyed = false;
  };
  void release(std::size_t index);

  QTimer timer_;
  std::vector<QPointer<TSkinData>> data_;
  std::vector<Skinned> skinned_;
  bool hookInstalled_ = false;
  bool skinning_ = false;
  int activations_ = 0;
  SkinCommand command_ = SkinCommand::None;
  QPointer<TSkinData> target_;
};

}  // namespace kelpo::skin
