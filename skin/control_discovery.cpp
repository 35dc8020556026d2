// The rules that give each control of a skinned window its kind of skin control.
#include "skin/control_discovery.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSizeGrip>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "skin/skin_data.h"
#include "skin/skin_manager.h"

namespace kelpo::skin {
namespace {

struct NamedClass {
  const char* name;  // upper-cased
  ControlClass cls;
};

// Our own widgets that carry a system class name are recognised by that name first.
constexpr NamedClass kNamedClasses[] = {{"TBUTTON", ControlClass::PushButton},
                                        {"TBITBTN", ControlClass::GlyphButton},
                                        {"TSPEEDBUTTON", ControlClass::SpeedButton},
                                        {"TFRSPEEDBUTTON", ControlClass::SpeedButton},
                                        {"TFRTBBUTTON", ControlClass::SpeedButton},
                                        {"TCHECKBOX", ControlClass::CheckBox},
                                        {"TRADIOBUTTON", ControlClass::RadioButton},
                                        {"TGROUPBOX", ControlClass::GroupBox},
                                        {"TRADIOGROUP", ControlClass::RadioGroup},
                                        {"TPANEL", ControlClass::Panel},
                                        {"TCOMBOBOX", ControlClass::ComboBox},
                                        {"TEDIT", ControlClass::Edit},
                                        {"TMEMO", ControlClass::Memo},
                                        {"TRICHEDIT", ControlClass::RichEdit},
                                        {"TLISTBOX", ControlClass::ListBox},
                                        {"TTREEVIEW", ControlClass::TreeView},
                                        {"TLISTVIEW", ControlClass::ListView},
                                        {"TSCROLLBAR", ControlClass::ScrollBar},
                                        {"TSCROLLBOX", ControlClass::ScrollBox},
                                        {"TSTATUSBAR", ControlClass::StatusBar},
                                        {"TPAGECONTROL", ControlClass::TabControl},
                                        {"TTABCONTROL", ControlClass::TabControl},
                                        {"TTABSET", ControlClass::TabSet},
                                        {"TTABBEDNOTEBOOK", ControlClass::TabbedNotebook},
                                        {"TPROGRESSBAR", ControlClass::Progress},
                                        {"TTRACKBAR", ControlClass::TrackBar},
                                        {"TUPDOWN", ControlClass::UpDown},
                                        {"TTOOLBAR", ControlClass::ToolBar},
                                        {"TDATETIMEPICKER", ControlClass::DateTimePicker}};

int tagOf(const QWidget* w) { return w->property("Tag").toInt(); }

QString upperClass(const QWidget* w) { return plainClassName(w).toUpper(); }

bool hasScrollBars(const QWidget* w) {
  const auto* area = qobject_cast<const QAbstractScrollArea*>(w);
  return area && (area->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff ||
                  area->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
}

class Discovery {
 public:
  Discovery(TSkinData& data, QWidget* form, QObject* frame, std::set<const QWidget*> done)
      : data_(data), form_(form), frame_(frame), done_(std::move(done)) {}

  void walk(QWidget* container) {
    for (QObject* child : container->children()) {
      if (!child->isWidgetType()) continue;
      auto* control = static_cast<QWidget*>(child);
      if (control->isWindow()) continue;  // other top-level windows are skinned on their own
      visit(control);
    }
  }

  std::vector<DiscoveredControl> result;

 private:
  bool on(TSkinControlType t) const { return data_.SkinControls().has(t); }

  void add(QWidget* control, SkinKind kind) {
    if (!done_.insert(control).second) return;
    result.push_back({control, kind});
  }

  // Radio buttons and check boxes inside a group, then the group's box.
  void group(QWidget* box, SkinKind childKind, bool children) {
    if (children)
      for (QObject* child : box->children())
        if (child->isWidgetType() && !static_cast<QWidget*>(child)->isWindow())
          add(static_cast<QWidget*>(child), childKind);
    add(box, SkinKind::Box);
  }

  // Skin3rd: a line "class=kind" decides the control, even when the kind is unknown.
  bool skin3rd(QWidget* c, const QString& className) {
    const QString prefix = className.toLower() + QLatin1Char('=');
    for (const QString& line : data_.Skin3rd()) {
      if (!line.toLower().startsWith(prefix)) continue;
      const QString kind = line.mid(prefix.size(), 50).toLower();
      const bool tabs = data_.skin() && data_.skin()->tabs;
      if (kind == "combobox" && on(xcCombo))
        add(c, SkinKind::Combo);
      else if (kind == "edit" && on(xcEdit))
        add(c, SkinKind::Edit);
      else if (kind == "radiobutton" && on(xcRadioButton))
        add(c, SkinKind::RadioButton);
      else if (kind == "panel" && on(xcPanel))
        add(c, SkinKind::Box);
      else if (kind == "trackbar" && on(xcButton))
        add(c, SkinKind::TrackBar);
      else if (kind == "button" && on(xcButton))
        add(c, SkinKind::PushButton);
      else if (kind == "tab" && on(xcTab) && tabs)
        add(c, SkinKind::Tab);
      else if (kind == "progress" && on(xcProgress))
        add(c, SkinKind::Progress);
      else if (kind == "scrollbar" && on(xcScrollbar))
        add(c, SkinKind::ScrollBars);
      else if (kind == "radiogroup" && on(xcPanel))
        group(c, SkinKind::RadioButton, on(xcRadioButton));
      else if (kind == "checkgroup" && on(xcPanel))
        group(c, SkinKind::CheckBox, on(xcRadioButton));
      else if (kind == "checkbox" && on(xcCheckBox))
        add(c, SkinKind::CheckBox);
      return true;
    }
    return false;
  }

  void visit(QWidget* c) {
    const int tag = tagOf(c);
    if (tag % 100 == data_.DisableTag() || done_.count(c)) return;
    const QString className = plainClassName(c);
    const QString upper = className.toUpper();

    if (data_.OnSkinControl) {
      QObject* skinned = nullptr;
      data_.OnSkinControl(frame_, &data_, form_, c, upper, skinned);
      if (skinned) {
        done_.insert(c);  // the application's own skin control
        if (classifyControl(c) == ControlClass::Panel) walk(c);
        return;
      }
    }
    if (upper == "TDBCOMBOBOXEH" || upper == "TQRPREVIEW" || upper == "TFRDESIGNERPAGE" ||
        upper == "TFRPBOX")
      return;
    const ControlClass cls = classifyControl(c);
    if (cls == ControlClass::ToolBar && upper == "TTOOLBAR") {
      add(c, SkinKind::FlatToolbar);
      return;
    }
    if (skin3rd(c, className)) return;
    builtIn(c, cls, tag);
  }

  void builtIn(QWidget* c, ControlClass cls, int tag) {
    using C = ControlClass;
    const bool tabs = data_.skin() && data_.skin()->tabs;
    if ((cls == C::TabSet || cls == C::TabbedNotebook) && on(xcTab) && tabs)
      return add(c, SkinKind::Tab);
    if (cls == C::Container) return walk(c);  // plain holders of controls
    if (cls == C::CheckBox && on(xcCheckBox)) return add(c, SkinKind::CheckBox);
    if (cls == C::TrackBar && on(xcButton)) return add(c, SkinKind::TrackBar);
    if (cls == C::UpDown && on(xcButton)) return add(c, SkinKind::UpDown);
    if (cls == C::RadioGroup && on(xcRadioButton)) return group(c, SkinKind::RadioButton, true);
    if (cls == C::GroupBox && on(xcPanel)) {
      add(c, SkinKind::Box);
      return walk(c);
    }
    if (cls == C::RadioButton && on(xcRadioButton)) return add(c, SkinKind::RadioButton);
    if (cls == C::ToolBar && on(xcToolbar)) return add(c, SkinKind::Box);
    if (cls == C::StatusBar && on(xcStatusBar)) return add(c, SkinKind::StatusBar);
    if (cls == C::Progress && on(xcProgress)) return add(c, SkinKind::Progress);
    if (cls == C::ScrollBar && on(xcScrollbar)) return add(c, SkinKind::ScrollBarControl);
    if ((cls == C::ComboBox || tag % 100 == 95) && on(xcCombo)) return add(c, SkinKind::Combo);
    if (cls == C::UpDownPicker && on(xcEdit)) return add(c, SkinKind::Edit);
    if (cls == C::DateTimePicker && on(xcEdit)) return add(c, SkinKind::Combo);
    if (cls == C::RichEdit && on(xcScrollbar)) return add(c, SkinKind::ScrollBars);
    if (cls == C::GlyphButton && on(xcBitBtn)) return add(c, SkinKind::GlyphButton);
    if (cls == C::SpeedButton && on(xcSpeedButton)) return add(c, SkinKind::SpeedButton);
    if (cls == C::Panel && on(xcPanel)) {
      add(c, SkinKind::Box);
      return walk(c);
    }
    if (cls == C::ListView && on(xcScrollbar)) return add(c, SkinKind::ListView);
    if (cls == C::Memo && on(xcScrollbar)) return add(c, SkinKind::ScrollBars);
    if ((tag % 100 == 96 || hasScrollBars(c) || cls == C::ListBox || cls == C::TreeView ||
         cls == C::ScrollBox || tag == 55) &&
        on(xcScrollbar))
      return add(c, SkinKind::ScrollBars);
    if (cls == C::PushButton && on(xcButton)) return add(c, SkinKind::PushButton);
    if ((cls == C::Edit || tag % 100 == 97) && on(xcEdit)) return add(c, SkinKind::Edit);
    if (cls == C::EmbeddedForm) return walk(c);
  }

  TSkinData& data_;
  QWidget* form_;
  QObject* frame_;
  std::set<const QWidget*> done_;
};

}  // namespace

ControlClass classifyControl(const QWidget* c) {
  const QString upper = upperClass(c);
  for (const NamedClass& n : kNamedClasses)
    if (upper == QLatin1String(n.name)) return n.cls;
  using C = ControlClass;
  if (qobject_cast<const QCheckBox*>(c)) return C::CheckBox;
  if (qobject_cast<const QRadioButton*>(c)) return C::RadioButton;
  if (qobject_cast<const QPushButton*>(c)) return C::PushButton;
  if (qobject_cast<const QToolButton*>(c)) return C::SpeedButton;
  if (const auto* box = qobject_cast<const QGroupBox*>(c))
    return box->property("radioGroup").toBool() ? C::RadioGroup : C::GroupBox;
  if (qobject_cast<const QComboBox*>(c)) return C::ComboBox;
  if (const auto* dt = qobject_cast<const QDateTimeEdit*>(c))
    return dt->calendarPopup() ? C::DateTimePicker : C::UpDownPicker;
  if (qobject_cast<const QAbstractSpinBox*>(c) || qobject_cast<const QLineEdit*>(c)) return C::Edit;
  if (qobject_cast<const QTextEdit*>(c) || qobject_cast<const QPlainTextEdit*>(c)) return C::Memo;
  if (qobject_cast<const QHeaderView*>(c)) return C::Header;
  if (qobject_cast<const QTreeView*>(c)) return C::TreeView;
  if (qobject_cast<const QTableView*>(c)) return C::ListView;
  if (qobject_cast<const QListView*>(c)) return C::ListBox;
  if (qobject_cast<const QScrollBar*>(c)) return C::ScrollBar;
  if (qobject_cast<const QScrollArea*>(c)) return C::ScrollBox;
  if (qobject_cast<const QStatusBar*>(c)) return C::StatusBar;
  if (qobject_cast<const QTabWidget*>(c) || qobject_cast<const QTabBar*>(c)) return C::TabControl;
  if (qobject_cast<const QProgressBar*>(c)) return C::Progress;
  if (qobject_cast<const QSlider*>(c)) return C::TrackBar;
  if (qobject_cast<const QToolBar*>(c)) return C::ToolBar;
  if (qobject_cast<const QSizeGrip*>(c)) return C::SizeGrip;
  if (qobject_cast<const QMainWindow*>(c) || qobject_cast<const QDialog*>(c))
    return C::EmbeddedForm;
  // Labels and menu bars are drawn by their windows, not by skin controls.
  if (qobject_cast<const QLabel*>(c) || qobject_cast<const QMenuBar*>(c)) return C::Other;
  if (qobject_cast<const QFrame*>(c)) return C::Panel;
  if (c->metaObject() == &QWidget::staticMetaObject) return C::Container;
  return C::Other;
}

const char* skinKindName(SkinKind kind) {
  static const char* const names[] = {
      "push button", "speed button", "glyph button", "check box",   "radio button",
      "box",         "combo box",    "edit",         "scroll bars", "scroll bar control",
      "list view",   "status bar",   "progress",     "track bar",   "up-down",
      "tab",         "size grip",    "flat tool bar"};
  return names[static_cast<int>(kind)];
}

std::vector<DiscoveredControl> discoverControls(TSkinData& data, QWidget* form, QWidget* container,
                                                std::set<const QWidget*> alreadySkinned,
                                                QObject* frame) {
  Discovery d(data, form, frame, std::move(alreadySkinned));
  d.walk(container);
  return std::move(d.result);
}

std::vector<DiscoveredControl> discoverBareWindow(QWidget* window,
                                                  std::set<const QWidget*> alreadySkinned) {
  std::vector<DiscoveredControl> result;
  std::function<void(QWidget*)> walk = [&](QWidget* parent) {
    for (QObject* child : parent->children()) {
      if (!child->isWidgetType()) continue;
      auto* c = static_cast<QWidget*>(child);
      if (c->isWindow()) continue;
      if (alreadySkinned.insert(c).second) {
        using C = ControlClass;
        switch (classifyControl(c)) {
          case C::CheckBox:
            result.push_back({c, SkinKind::CheckBox});
            continue;
          case C::RadioButton:
            result.push_back({c, SkinKind::RadioButton});
            continue;
          case C::PushButton:
          case C::SpeedButton:
            result.push_back({c, SkinKind::PushButton});
            continue;
          // Qt has no simple (always open) combo box, so every combo box gets the skin.
          case C::ComboBox:
            result.push_back({c, SkinKind::Combo});
            continue;
          case C::SizeGrip:
            result.push_back({c, SkinKind::SizeGrip});
            continue;
          case C::TabControl:
            result.push_back({c, SkinKind::Tab});
            continue;
          case C::Edit:
            result.push_back({c, SkinKind::Edit});
            continue;
          default:
            break;
        }
      }
      walk(c);  // Qt nests controls in layout holders where the platform had flat children
    }
  };
  walk(window);
  return result;
}

}  // namespace kelpo::skin
