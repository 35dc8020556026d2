// The skin manager: registered components, the window watch, the decisions and the commands.
#include "skin/skin_manager.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

#include "skin/skin_data.h"

namespace kelpo::skin {
namespace {

// A plain pointer, not a static owner: the manager must go with the application object (or a
// test's explicit call), never in static destruction after Qt is gone.
TSkinManage*& theManager() {
  static TSkinManage* manager = nullptr;
  return manager;
}

constexpr int kCommandInterval = 250;

}  // namespace

QString plainClassName(const QObject* object) {
  const QString name = QString::fromLatin1(object->metaObject()->className());
  const qsizetype colon = name.lastIndexOf(QLatin1String("::"));
  return colon < 0 ? name : name.mid(colon + 2);
}

QString windowClassName(const QWidget* window) {
  if (qobject_cast<const QMessageBox*>(window)) return QStringLiteral("TMessageForm");
  if (qobject_cast<const QMenu*>(window)) return QStringLiteral("#32768");
  const QString name = plainClassName(window);
  // Qt's own dialogs (file, colour, print ...) stand for the platform's dialogs.
  if (qobject_cast<const QDialog*>(window) && name.startsWith(QLatin1Char('Q')))
    return QStringLiteral("#32770");
  return name;
}

TSkinManage::TSkinManage() {
  timer_.setInterval(kCommandInterval);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &TSkinManage::runCommand);
}

TSkinManage* TSkinManage::instance() { return theManager(); }

TSkinManage& TSkinManage::create() {
  if (!theManager()) {
    theManager() = new TSkinManage;
    // The manager ends with the program's application object, while Qt is still there.
    if (qApp) QObject::connect(qApp, &QObject::destroyed, [] { destroyInstance(); });
  }
  return *theManager();
}

void TSkinManage::destroyInstance() {
  TSkinManage* m = instance();
  if (!m) return;
  if (m->hookInstalled_ && qApp) qApp->removeEventFilter(m);
  for (std::size_t i = m->skinned_.size(); i-- > 0;) m->release(i);
  theManager() = nullptr;
  delete m;
}

void TSkinManage::registerData(TSkinData* data) {
  for (const auto& d : data_)
    if (d == data) return;
  data_.emplace_back(data);
}

void TSkinManage::unregisterData(TSkinData* data) {
  std::erase_if(data_, [&](const QPointer<TSkinData>& d) { return d.isNull() || d == data; });
  if (target_ == data) target_ = nullptr;
}

std::vector<TSkinData*> TSkinManage::registered() const {
  std::vector<TSkinData*> list;
  for (const auto& d : data_)
    if (d) list.push_back(d);
  return list;
}

void TSkinManage::installHook() {
  if (hookInstalled_ || !qApp) return;
  qApp->installEventFilter(this);
  hookInstalled_ = true;
}

bool TSkinManage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
    auto* w = static_cast<QWidget*>(watched);
    if (w->isWindow()) {
      countActivation();
      skinWindow(w);
    }
  }
  return false;
}

void TSkinManage::sendCommand(SkinCommand kind, TSkinData* target) {
  if (activations_ == 0) {
    // No window is up yet: there is nothing to repaint, so only the flag changes.
    if (kind == SkinCommand::Activate) skinning_ = true;
    if (kind == SkinCommand::Deactivate) skinning_ = false;
    return;
  }
  command_ = kind;
  target_ = target;
  timer_.start();
}

void TSkinManage::runCommand() {
  timer_.stop();
  const SkinCommand kind = command_;
  TSkinData* target = target_;
  command_ = SkinCommand::None;
  target_ = nullptr;
  const bool onlyThisForm = target && target->SkinFormtype() == TSkinFormType::sfOnlyThisForm;
  switch (kind) {
    case SkinCommand::Activate: {
      skinning_ = true;
      if (onlyThisForm) {
        if (QWidget* form = target->form()) skinWindow(form);
        break;
      }
      const QWidgetList windows = QApplication::topLevelWidgets();
      for (qsizetype i = windows.size(); i-- > 0;)
        if (windows[i]->isVisible()) skinWindow(windows[i]);
      break;
    }
    case SkinCommand::Deactivate:
      skinning_ = false;
      for (std::size_t i = skinned_.size(); i-- > 0;) {
        if (onlyThisForm && skinned_[i].data != target) continue;
        QPointer<QWidget> window = skinned_[i].window;
        release(i);
        if (window) window->repaint();
      }
      break;
    case SkinCommand::SkinChanged:
      for (const Skinned& s : skinned_) {
        if (s.data != target || !s.window) continue;
        if (refreshFrame) refreshFrame(s.window, s.data);
        if (onlyThisForm) break;
      }
      break;
    case SkinCommand::RemoveClosed:
      std::erase_if(skinned_, [](const Skinned& s) { return s.destroyed || s.window.isNull(); });
      break;
    case SkinCommand::None:
      return;
  }
  if (target && target->OnSkinChanged) target->OnSkinChanged(target);
}

TSkinData* TSkinManage::chooseSkinData(const QWidget* window) const {
  const std::vector<TSkinData*> list = registered();
  if (list.empty()) return nullptr;
  // Where several components qualify, the one registered last wins.
  auto last = [&](auto&& test) -> TSkinData* {
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if (test(*it)) return *it;
    return nullptr;
  };
  if (TSkinData* d = last([&](TSkinData* c) {
        return c->SkinFormtype() == TSkinFormType::sfOnlyThisForm && c->form() == window;
      }))
    return d;
  const QString cls = windowClassName(window).toLower();
  if (cls == QLatin1String("tmessageform") || cls == QLatin1String("#32770"))
    if (TSkinData* d =
            last([](TSkinData* c) { return c->SkinFormtype() == TSkinFormType::sfDialog; }))
      return d;
  if (TSkinData* d =
          last([](TSkinData* c) { return c->SkinFormtype() == TSkinFormType::sfMainform; }))
    return d;
  return list.front();
}

bool TSkinManage::acceptsWindow(const QWidget* window) const {
  if (!skinning_ || !window || isSkinned(window)) return false;
  if (!window->isWindow() || window->geometry().isEmpty()) return false;
  if (window->property("Tag").toInt() == 99) return false;
  const QString cls = windowClassName(window);
  if (cls == QLatin1String("TApplication")) return false;
  for (TSkinData* d : registered()) {
    if (d->SkinFormtype() != TSkinFormType::sfMainform) continue;
    if (d->OnFormSkin) {
      bool doSkin = true;
      d->OnFormSkin(d, cls, doSkin);
      return doSkin;
    }
    if (cls == QLatin1String("SysMonthCal32")) return false;
    if (d->SkinControls().has(xcReportWindows) && cls.startsWith(QLatin1String("Tfr")))
      return false;
    return true;
  }
  return true;
}

bool TSkinManage::skinWindow(QWidget* window) {
  if (!acceptsWindow(window)) return false;
  TSkinData* data = chooseSkinData(window);
  if (!data || !data->loaded()) return false;
  skinned_.push_back(Skinned{window, window, data, false});
  connect(window, &QObject::destroyed, this, [this, window] {
    for (Skinned& s : skinned_)
      if (s.key == window) s.destroyed = true;
    sendCommand(SkinCommand::RemoveClosed, nullptr);
  });
  if (attachFrame) attachFrame(window, data);
  return true;
}

void TSkinManage::release(std::size_t index) {
  Skinned s = skinned_[index];
  skinned_.erase(skinned_.begin() + static_cast<std::ptrdiff_t>(index));
  if (s.window) {
    disconnect(s.window, &QObject::destroyed, this, nullptr);
    if (detachFrame) detachFrame(s.window, s.data);
  }
}

bool TSkinManage::isSkinned(const QWidget* window) const {
  for (const Skinned& s : skinned_)
    if (s.key == window && !s.destroyed) return true;
  return false;
}

TSkinData* TSkinManage::skinDataOf(const QWidget* window) const {
  for (const Skinned& s : skinned_)
    if (s.key == window && !s.destroyed) return s.data;
  return nullptr;
}

}  // namespace kelpo::skin
