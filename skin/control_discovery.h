// Control discovery: which controls of a skinned window get which kind of skin control, from
// their classes (Qt's widget classes mapped to the control kinds), Tags, Skin3rd and the
// SkinControls set. The painters of each kind attach to the list this produces.
#pragma once

#include <QString>

class QObject;
#include <functional>
#include <set>
#include <vector>

class QWidget;

namespace kelpo::skin {

class TSkinData;

// What kind of control a widget is, as the rules see it.
enum class ControlClass {
  Other,
  PushButton,
  SpeedButton,
  GlyphButton,
  CheckBox,
  RadioButton,
  GroupBox,
  RadioGroup,
  Panel,
  Container,
  ComboBox,
  Edit,
  Memo,
  RichEdit,
  ListBox,
  TreeView,
  ListView,
  ScrollBar,
  ScrollBox,
  StatusBar,
  TabControl,
  TabSet,
  TabbedNotebook,
  Progress,
  TrackBar,
  UpDown,
  ToolBar,
  Header,
  SizeGrip,
  DateTimePicker,
  UpDownPicker,
  EmbeddedForm
};

ControlClass classifyControl(const QWidget* control);

// The skin control a discovered control receives.
enum class SkinKind {
  PushButton,
  SpeedButton,
  GlyphButton,
  CheckBox,
  RadioButton,
  Box,
  Combo,
  Edit,
  ScrollBars,
  ScrollBarControl,
  ListView,
  StatusBar,
  Progress,
  TrackBar,
  UpDown,
  Tab,
  SizeGrip,
  FlatToolbar  // a tool bar made flat and given the button face, nothing else
};

const char* skinKindName(SkinKind kind);

struct DiscoveredControl {
  QWidget* control;
  SkinKind kind;
  bool operator==(const DiscoveredControl&) const = default;
};

// Discovery over a form of the application: every widget owned by `container` in child order,
// and the containers the rules descend into. `alreadySkinned` holds controls that already have
// a skin control on this frame; a control is listed at most once. `frame` is the Sender the
// OnSkinControl handler receives.
std::vector<DiscoveredControl> discoverControls(TSkinData& data, QWidget* form, QWidget* container,
                                                std::set<const QWidget*> alreadySkinned = {},
                                                QObject* frame = nullptr);

// Discovery over a window that is not a form of ours (message box, Qt dialog): its child
// windows mapped by their class alone, without the SkinControls test.
std::vector<DiscoveredControl> discoverBareWindow(QWidget* window,
                                                  std::set<const QWidget*> alreadySkinned = {});

}  // namespace kelpo::skin
