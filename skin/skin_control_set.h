// TSkinControlSet: the skin objects of one window's controls, as the window's frame owns them.
// It runs control discovery, creates one skin object per control found (and for controls that
// appear later), keeps the one hot control, and restores every control when it is destroyed.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <set>
#include <vector>

#include "skin/control_discovery.h"
#include "skin/skin_data.h"

class QWidget;

namespace kelpo::skin {

class TSkinControl;

class TSkinControlSet : public QObject {
  Q_OBJECT
 public:
  TSkinControlSet(QWidget* window, TSkinData* data);
  ~TSkinControlSet() override;

  // The skin object of a kind, not yet attached.
  static std::unique_ptr<TSkinControl> create(SkinKind kind, TSkinControlSet* owner);
  // Whether a kind is given the skin's button face.
  static bool takesColour(SkinKind kind);

  // Runs discovery again and attaches objects for controls not skinned yet.
  void rescan();
  // Skin changed: every object recolours and repaints.
  void refresh();

  const std::vector<std::unique_ptr<TSkinControl>>& controls() const { return controls_; }
  TSkinControl* skinControlOf(const QWidget* control) const;

  TSkinControl* hotControl() const { return hot_; }
  void setHotControl(TSkinControl* control) { hot_ = control; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void watchContainers();

  QPointer<QWidget> window_;
  QPointer<TSkinData> data_;
  std::vector<std::unique_ptr<TSkinControl>> controls_;
  std::vector<QPointer<QWidget>> containers_;
  TSkinControl* hot_ = nullptr;
  bool rescanPending_ = false;
};

}  // namespace kelpo::skin
