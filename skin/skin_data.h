// TSkinData: the component a form carries to skin the program's windows. It holds one skin
// (from its stored SkinStream or a skin file), the settings that decide what is skinned, and
// the skin objects every painter reads.
#pragma once

#include <QBrush>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "skin/skin_objects.h"
#include "skin/skin_painting.h"

class QWidget;

namespace kelpo::skin {

class TSkinManage;

enum class TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog };

// The members of SkinControls, as bit numbers.
enum TSkinControlType : int {
  xcMainMenu,
  xcPopupMenu,
  xcToolbar,
  xcControlbar,
  xcCombo,
  xcCheckBox,
  xcRadioButton,
  xcProgress,
  xcScrollbar,
  xcEdit,
  xcButton,
  xcBitBtn,
  xcSpeedButton,
  xcPanel,
  xcGroupBox,
  xcStatusBar,
  xcTab,
  xcSystemMenu,
  xcReportWindows
};
inline constexpr int kSkinControlTypes = 19;

class TSkinControls {
 public:
  constexpr TSkinControls() = default;
  constexpr explicit TSkinControls(std::uint32_t bits) : bits_(bits) {}
  static constexpr TSkinControls all() { return TSkinControls((1u << kSkinControlTypes) - 1); }
  constexpr bool has(TSkinControlType t) const { return bits_ >> t & 1u; }
  constexpr TSkinControls with(TSkinControlType t) const { return TSkinControls(bits_ | 1u << t); }
  constexpr TSkinControls without(TSkinControlType t) const {
    return TSkinControls(bits_ & ~(1u << t));
  }
  constexpr std::uint32_t bits() const { return bits_; }
  constexpr bool operator==(const TSkinControls&) const = default;

 private:
  std::uint32_t bits_ = 0;
};

// The default class-to-kind lines of Skin3rd.
QStringList defaultSkin3rd();

class TSkinData : public QObject {
  Q_OBJECT
 public:
  explicit TSkinData(QObject* owner = nullptr);
  ~TSkinData() override;

  // Published properties.
  bool Active() const { return active_; }
  void setActive(bool value);
  std::int32_t DisableTag() const { return disableTag_; }
  void setDisableTag(std::int32_t tag) { disableTag_ = tag; }
  TSkinControls SkinControls() const { return skinControls_; }
  void setSkinControls(TSkinControls set) { skinControls_ = set; }
  const QStringList& Skin3rd() const { return skin3rd_; }
  void setSkin3rd(const QStringList& lines) { skin3rd_ = lines; }
  QString SkinFile() const { return skinFile_; }
  void setSkinFile(const QString& path);
  // "(none)" at run time; assignments are ignored.
  QString SkinStore() const { return QStringLiteral("(none)"); }
  void setSkinStore(const QString&) {}
  TSkinFormType SkinFormtype() const { return formType_; }
  void setSkinFormtype(TSkinFormType type) { formType_ = type; }
  bool MenuUpdate() const { return menuUpdate_; }
  void setMenuUpdate(bool value) { menuUpdate_ = value; }

  // Events.
  std::function<void(QObject* sender, const QString& name, bool& doSkin)> OnFormSkin;
  std::function<void(QObject* sender)> OnSkinChanged;
  std::function<void(QObject* sender, TSkinData* skinData, QWidget* form, QWidget* control,
                     const QString& controlClass, QObject*& skinnedControl)>
      OnSkinControl;

  // The stored SkinStream property: int32 length and the packed skin. Reading it keeps the
  // packed skin and loads it at once (a damaged one leaves the component without a skin).
  void readSkinStream(std::string_view property);
  std::string writeSkinStream() const;

  // The stored properties have all been set: registers with the manager and switches skinning
  // on as the form type says.
  void formDataLoaded();

  // Unpacks the held packed skin and builds the objects. False, and no skin, when the package
  // has another version (its message shown) or is damaged (lastError() says why).
  bool loadFromStore();
  bool loaded() const { return skin_ != nullptr; }
  const std::string& lastError() const { return lastError_; }

  // The loaded skin; null while none is loaded.
  const SkinObjects* skin() const { return skin_.get(); }
  const std::string& packedSkin() const { return packed_; }
  std::string skinName() const { return skin_ ? skin_->skinName : std::string(); }
  TSkinPainter& painter() { return painter_; }
  // A solid brush of the skin's button face, remade at every load.
  const QBrush& buttonFaceBrush() const { return buttonFaceBrush_; }
  // The first window icon a skinned frame produced.
  QImage iconCache;
  // The window-menu glyphs restore, maximise, minimise and close (16 x 16 each, white clear).
  const QImage& menuGlyphs() const { return menuGlyphs_; }
  QImage menuGlyph(int index) const;

  // The owner widget's form (the top-level widget this component belongs to), if any.
  QWidget* form() const;

 private:
  bool reading_ = true;  // stored properties are being set
  bool active_ = false;
  std::int32_t disableTag_ = 99;
  TSkinControls skinControls_ = TSkinControls::all().without(xcReportWindows);
  QStringList skin3rd_ = defaultSkin3rd();
  QString skinFile_;
  TSkinFormType formType_ = TSkinFormType::sfMainform;
  bool menuUpdate_ = true;

  std::string packed_;
  std::unique_ptr<SkinObjects> skin_;
  std::string lastError_;
  TSkinPainter painter_;
  QBrush buttonFaceBrush_;
  QImage menuGlyphs_;
};

}  // namespace kelpo::skin
