// Creating, keeping and restoring the skin objects of a window's controls.
#include "skin/skin_control_set.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "skin/skin_box.h"
#include "skin/skin_button.h"
#include "skin/skin_checkbox.h"
#include "skin/skin_combo.h"
#include "skin/skin_control.h"
#include "skin/skin_data.h"
#include "skin/skin_edit.h"
#include "skin/skin_listview.h"
#include "skin/skin_manager.h"
#include "skin/skin_progress.h"
#include "skin/skin_scrollbar.h"
#include "skin/skin_statusbar.h"
#include "skin/skin_tab.h"
#include "skin/skin_trackbar.h"
#include "skin/skin_updown.h"

namespace kelpo::skin {

std::unique_ptr<QObject> SkinControlsOf(QWidget* window, TSkinData* data) {
  return std::make_unique<TSkinControlSet>(window, data);
}

void RefreshSkinControls(QObject* controls) {
  if (auto* set = qobject_cast<TSkinControlSet*>(controls)) set->refresh();
}

std::unique_ptr<TSkinControl> TSkinControlSet::create(SkinKind kind, TSkinControlSet* owner) {
  switch (kind) {
    case SkinKind::PushButton:
      return std::make_unique<TSkinButton>(owner);
    case SkinKind::GlyphButton:
      return std::make_unique<TSkinBitButton>(owner);
    case SkinKind::SpeedButton:
      return std::make_unique<TSkinSpeedButton>(owner);
    case SkinKind::CheckBox:
      return std::make_unique<TSkinCheckBox>(owner);
    case SkinKind::RadioButton:
      return std::make_unique<TSkinRadioButton>(owner);
    case SkinKind::Box:
    case SkinKind::FlatToolbar:
      return std::make_unique<TSkinBox>(owner);
    case SkinKind::Combo:
      return std::make_unique<TSkinComBox>(owner);
    case SkinKind::Edit:
      return std::make_unique<TSkinEdit>(owner);
    case SkinKind::ScrollBars:
      return std::make_unique<TSkinScrollBar>(owner, true);
    case SkinKind::ListView:
      return std::make_unique<TSkinListView>(owner);
    case SkinKind::ScrollBarControl:
      return std::make_unique<TSkinScControl>(owner);
    case SkinKind::StatusBar:
      return std::make_unique<TSkinStatusBar>(owner);
    case SkinKind::Progress:
      return std::make_unique<TSkinProgress>(owner);
    case SkinKind::TrackBar:
      return std::make_unique<TSkinTrackBar>(owner);
    case SkinKind::UpDown:
      return std::make_unique<TSkinUpDown>(owner);
    case SkinKind::Tab:
      return std::make_unique<TSkinTab>(owner);
    case SkinKind::SizeGrip:
      return std::make_unique<TSkinSizer>(owner);
  }
  return nullptr;
}

bool TSkinControlSet::takesColour(SkinKind kind) {
  switch (kind) {
    case SkinKind::Box:
    case SkinKind::FlatToolbar:
    case SkinKind::CheckBox:
    case SkinKind::RadioButton:
      return true;
    default:
      return false;
  }
}

TSkinControlSet::TSkinControlSet(QWidget* window, TSkinData* data) : window_(window), data_(data) {
  rescan();
}

TSkinControlSet::~TSkinControlSet() {
  for (const QPointer<QWidget>& c : containers_)
    if (c) c->removeEventFilter(this);
  // Last attached first, so a control skinned twice over ends with its first state.
  while (!controls_.empty()) {
    controls_.back()->restore();
    controls_.pop_back();
  }
}

TSkinControl* TSkinControlSet::skinControlOf(const QWidget* control) const {
  for (const auto& c : controls_)
    if (c->control() == control) return c.get();
  return nullptr;
}

void TSkinControlSet::rescan() {
  rescanPending_ = false;
  if (!window_ || !data_ || !data_->skin()) return;
  std::set<const QWidget*> done;
  // Objects whose control is gone are dropped.
  std::erase_if(controls_, [](const std::unique_ptr<TSkinControl>& c) { return !c->control(); });
  for (const auto& c : controls_) done.insert(c->control());
  // Message boxes and Qt's own dialogs are bare windows: their children are mapped by class.
  const QString cls = windowClassName(window_);
  const bool form = cls != QLatin1String("TMessageForm") && !cls.startsWith(QLatin1Char('#'));
  const std::vector<DiscoveredControl> found =
      form ? discoverControls(*data_, window_, window_, done, this)
           : discoverBareWindow(window_, done);
  for (const DiscoveredControl& d : found) {
    std::unique_ptr<TSkinControl> object = create(d.kind, this);
    if (!object) continue;
    object->attachToControl(d.control, data_, takesColour(d.kind));
    controls_.push_back(std::move(object));
  }
  watchContainers();
}

void TSkinControlSet::refresh() {
  for (const auto& c : controls_) c->refresh();
}

// Controls appear inside the window or inside containers discovery looked into; those are
// watched for new children.
void TSkinControlSet::watchContainers() {
  std::set<QWidget*> wanted{window_.data()};
  for (const auto& c : controls_) {
    QWidget* w = c->control();
    if (!w) continue;
    if (dynamic_cast<TSkinBox*>(c.get())) wanted.insert(w);
    for (QWidget* p = w->parentWidget(); p && p != window_; p = p->parentWidget()) wanted.insert(p);
  }
  for (QWidget* w : wanted) {
    bool known = false;
    for (const QPointer<QWidget>& c : containers_) known = known || c == w;
    if (known) continue;
    w->installEventFilter(this);
    containers_.emplace_back(w);
  }
}

bool TSkinControlSet::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::ChildAdded && !rescanPending_) {
    auto* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) {
      rescanPending_ = true;
      // The child is still being built; look at it once it is complete.
      QTimer::singleShot(0, this, &TSkinControlSet::rescan);
    }
  }
  return false;
}

}  // namespace kelpo::skin
