// The skin data component: stored properties, loading a skin, and the commands it sends.
#include "skin/skin_data.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "skin/menu_glyphs.h"
#include "skin/skin_description.h"
#include "skin/skin_error.h"
#include "skin/skin_manager.h"
#include "skin/skin_reader.h"
#include "skin/skin_stream.h"

namespace kelpo::skin {

TSkinData::TSkinData(QObject* owner) : QObject(owner), menuGlyphs_(menuGlyphImage()) {}

TSkinData::~TSkinData() {
  if (TSkinManage* m = TSkinManage::instance()) m->unregisterData(this);
}

QWidget* TSkinData::form() const {
  for (QObject* o = parent(); o; o = o->parent())
    if (o->isWidgetType()) return static_cast<QWidget*>(o)->window();
  return nullptr;
}

QImage TSkinData::menuGlyph(int index) const {
  if (index < 0 || index > 3) return {};
  return menuGlyphs_.copy(16 * index, 0, 16, 16);
}

void TSkinData::readSkinStream(std::string_view property) {
  try {
    packed_ = skin::readSkinStream(property);
  } catch (const SkinDamagedError& e) {
    packed_.clear();
    lastError_ = e.message();
    return;
  }
  if (!packed_.empty()) loadFromStore();
}

std::string TSkinData::writeSkinStream() const { return skin::writeSkinStream(packed_); }

bool TSkinData::loadFromStore() {
  // Frames hold title-bar buttons made from the objects about to go.
  if (TSkinManage* manager = TSkinManage::instance()) manager->dropButtons(this);
  skin_.reset();
  painter_.clear();
  lastError_.clear();
  try {
    TSkinReader reader;
    if (!reader.load(packed_)) {
      lastError_ = kOlderSkinMessage;
      return false;
    }
    skin_ = readSkinDescription(reader);
  } catch (const Error& e) {
    // A damaged skin leaves the program with its ordinary look; the reason stays readable.
    lastError_ = e.message();
    skin_.reset();
    return false;
  }
  buttonFaceBrush_ = QBrush(toQColor(skin_->colours.buttonFace));
  return true;
}

void TSkinData::setActive(bool value) {
  active_ = value;
  if (reading_ || formType_ == TSkinFormType::sfDialog) return;
  TSkinManage* manager = TSkinManage::instance();
  if (!manager) return;
  if (value && !loaded()) return;  // nothing to activate
  manager->sendCommand(value ? SkinCommand::Activate : SkinCommand::Deactivate, this);
}

void TSkinData::setSkinFile(const QString& path) {
  skinFile_ = path;
  if (reading_ && path.isEmpty()) return;
  QFile file(path);
  if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  packed_.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  loadFromStore();
  if (reading_) return;
  if (TSkinManage* manager = TSkinManage::instance())
    manager->sendCommand(SkinCommand::SkinChanged, this);
}

void TSkinData::formDataLoaded() {
  reading_ = false;
  TSkinManage& manager = TSkinManage::create();
  manager.registerData(this);
  if (formType_ != TSkinFormType::sfMainform) {
    manager.setSkinning(true);
    manager.countActivation();
    if (QWidget* owner = form()) manager.skinWindow(owner);
    return;
  }
  manager.installHook();
  if (active_) {
    if (!loaded())
      active_ = false;
    else
      manager.sendCommand(SkinCommand::Activate, this);
  }
}

}  // namespace kelpo::skin
