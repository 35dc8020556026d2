// The skin manager: registered components, the window watch, the decisions and the commands.
#include "skin/skin_manager.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSizeGrip>
#include <QWidget>

#include "skin/skin_control.h"
#include "skin/skin_data.h"
#include "skin/skin_form.h"
#include "skin/skin_pop_menu.h"

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
  // Every framed window gets its controls skinned too; tests may put another layer here.
  skinControls = [](QWidget* window, TSkinData* data) { return SkinControlsOf(window, data); };
}

TSkinManage::~TSkinManage() = default;

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
  m->timer_.stop();
  if (m->hookInstalled_ && qApp) qApp->removeEventFilter(m);
  // Every window goes back to its own look, every menu window to its own drawing.
  for (std::size_t i = m->skinned_.size(); i-- > 0;) m->release(i);
  m->menus_.clear();
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
  // Menu windows painted from the component lose it now; frames find it gone and paint
  // nothing until they are released.
  std::erase_if(menus_, [&](const std::unique_ptr<TWinSkinPopMenu>& m) {
    return m->data() == nullptr || m->data() == data;
  });
  for (Skinned& s : skinned_)
    if (s.frame && s.data == data) s.frame->dropButtons();
}

void TSkinManage::dropButtons(TSkinData* data) {
  for (Skinned& s : skinned_)
    if (s.frame && s.data == data) s.frame->dropButtons();
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

bool TSkinManage::refusesSizeGrip(QObject* watched, QEvent* event) const {
  if (event->type() != QEvent::Show || !qobject_cast<QSizeGrip*>(watched)) return false;
  auto* grip = static_cast<QWidget*>(watched);
  return !grip->isWindow() && isSkinned(grip->window());
}

bool TSkinManage::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* w = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::WindowActivate:
      if (w->isWindow()) {
        countActivation();
        skinWindow(w);
      }
      break;
    case QEvent::Show:
      if (auto* menu = qobject_cast<QMenu*>(w)) {
        skinMenuWindow(menu);
      } else if (refusesSizeGrip(watched, event)) {
        // A size grip has no place inside a skinned frame: it stays hidden.
        w->hide();
      } else if (w->isWindow()) {
        // Shown is as good as activated: without a window manager nothing is ever activated.
        countActivation();
        skinWindow(w);
      }
      break;
    case QEvent::Hide:
      if (auto* menu = qobject_cast<QMenu*>(w)) releaseMenuWindow(menu);
      break;
    default:
      break;
  }
  return false;
}

bool TSkinManage::skinMenuWindow(QMenu* menu) {
  if (!skinning_ || !menu || findMenuWindow(menu)) return false;
  TSkinData* data = chooseSkinData(menu);
  if (!data || !data->loaded() || !data->SkinControls().has(xcMainMenu)) return false;
  // A menu tagged with DisableTag keeps its platform look.
  if (menu->property("Tag").toInt() % 100 == data->DisableTag()) return false;
  // Menus of a skinned bar and the window menu need only xcMainMenu; other popup menus also
  // need xcPopupMenu.
  const bool windowMenu = menu->property("kelpoWindowMenu").toBool();
  if (!menuFromBar_ && !windowMenu && !data->SkinControls().has(xcPopupMenu)) return false;
  auto wrapper = std::make_unique<TWinSkinPopMenu>(menu, data);
  wrapper->fromMenuBar = menuFromBar_;
  menus_.push_back(std::move(wrapper));
  connect(menu, &QObject::destroyed, this, [this, menu] {
    std::erase_if(menus_, [&](const auto& m) { return m->menu() == nullptr; });
    (void)menu;
  });
  return true;
}

void TSkinManage::releaseMenuWindow(QMenu* menu) {
  std::erase_if(menus_, [&](const auto& m) { return m->menu() == menu || !m->menu(); });
  disconnect(menu, &QObject::destroyed, this, nullptr);
  if (menus_.empty()) menuFromBar_ = false;
}

TWinSkinPopMenu* TSkinManage::findMenuWindow(const QMenu* menu) const {
  for (const auto& m : menus_)
    if (m->menu() == menu) return m.get();
  return nullptr;
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
      menus_.clear();
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
        if (s.frame) s.frame->refresh();
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
  // Menus, tool tips and drop-down lists are windows without frames of their own.
  const Qt::WindowType type = window->windowType();
  if (type == Qt::Popup || type == Qt::ToolTip || qobject_cast<const QMenu*>(window)) return false;
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
  auto frame = std::make_unique<TWinSkinForm>(window, data);
  TWinSkinForm* f = frame.get();
  skinned_.push_back(Skinned{window, window, data, false, std::move(frame)});
  connect(window, &QObject::destroyed, this, [this, window] {
    for (Skinned& s : skinned_)
      if (s.key == window) s.destroyed = true;
    sendCommand(SkinCommand::RemoveClosed, nullptr);
  });
  if (skinControls) f->setControls(skinControls(window, data));
  QCoreApplication::postEvent(window, new QEvent(skinFirstLayoutEvent()));
  return true;
}

void TSkinManage::release(std::size_t index, bool resize) {
  Skinned s = std::move(skinned_[index]);
  skinned_.erase(skinned_.begin() + static_cast<std::ptrdiff_t>(index));
  if (s.window) disconnect(s.window, &QObject::destroyed, this, nullptr);
  if (s.frame) s.frame->detach(resize && s.window);
}

void TSkinManage::removeFrame(const QWidget* window) {
  for (std::size_t i = 0; i < skinned_.size(); ++i)
    if (skinned_[i].key == window) {
      release(i);
      return;
    }
}

TWinSkinForm* TSkinManage::findFrame(const QWidget* window) const {
  for (const Skinned& s : skinned_)
    if (s.key == window && !s.destroyed) return s.frame.get();
  return nullptr;
}

std::vector<TWinSkinForm*> TSkinManage::frames() const {
  std::vector<TWinSkinForm*> list;
  for (const Skinned& s : skinned_)
    if (!s.destroyed && s.frame) list.push_back(s.frame.get());
  return list;
}

bool TSkinManage::isSkinned(const QWidget* window) const {
  for (const Skinned& s : skinned_)
    if (s.key == window && !s.destroyed) return true;
  if (auto* menu = qobject_cast<const QMenu*>(window)) return findMenuWindow(menu) != nullptr;
  return false;
}

TSkinData* TSkinManage::skinDataOf(const QWidget* window) const {
  for (const Skinned& s : skinned_)
    if (s.key == window && !s.destroyed) return s.data;
  return nullptr;
}

}  // namespace kelpo::skin
