// Control discovery: the skin kind each control of a form gets, from its class, Tag, Skin3rd
// and SkinControls; and the mapping of a bare window's children.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>

#include "skin/control_discovery.h"
#include "skin/skin_data.h"

namespace kelpo::skin {

// Controls of other component sets, known only through Skin3rd lines.
class TMyEdit : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
};
class TMyMemo : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
};

namespace {

class DiscoveryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
  }
};

template <typename W>
W* make(QWidget* parent, int tag = 0) {
  W* w = new W(parent);
  if (tag) w->setProperty("Tag", tag);
  return w;
}

TEST_F(DiscoveryTest, FormControlsGetTheirKinds) {
  QWidget form;
  TSkinData data(&form);
  data.setSkin3rd(QStringList(data.Skin3rd()) << "TMyEdit=Edit"
                                              << "TMyMemo=Memo");
  auto* button = make<QPushButton>(&form);
  make<QPushButton>(&form, 199);  // 199 mod 100 is the DisableTag
  auto* check = make<QCheckBox>(&form);
  auto* group = make<QGroupBox>(&form);
  auto* inGroup = make<QRadioButton>(group);
  auto* combo = make<QComboBox>(&form);
  auto* tag95 = make<QLineEdit>(&form, 95);
  auto* tag97 = make<QLabel>(&form, 97);  // labels have no skin, but Tag 97 makes an edit
  auto* tag96 = make<QPushButton>(&form, 96);
  auto* memo = make<QPlainTextEdit>(&form);
  auto* tree = make<QTreeWidget>(&form);
  auto* status = make<QStatusBar>(&form);
  auto* progress = make<QProgressBar>(&form);
  auto* myEdit = make<TMyEdit>(&form);
  make<TMyMemo>(&form);                 // a line names it, with a kind that is none: left alone
  auto* holder = make<QWidget>(&form);  // plain holders are looked into
  auto* nested = make<QLineEdit>(holder);
  make<QLabel>(&form);

  const std::vector<DiscoveredControl> expected = {
      {button, SkinKind::PushButton}, {check, SkinKind::CheckBox},
      {group, SkinKind::Box},         {inGroup, SkinKind::RadioButton},
      {combo, SkinKind::Combo},       {tag95, SkinKind::Combo},
      {tag97, SkinKind::Edit},        {tag96, SkinKind::ScrollBars},
      {memo, SkinKind::ScrollBars},   {tree, SkinKind::ScrollBars},
      {status, SkinKind::StatusBar},  {progress, SkinKind::Progress},
      {myEdit, SkinKind::Edit},       {nested, SkinKind::Edit}};
  const auto found = discoverControls(data, &form, &form);
  ASSERT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(found[i].control, expected[i].control) << i;
    EXPECT_EQ(skinKindName(found[i].kind), std::string(skinKindName(expected[i].kind))) << i;
  }

  // Members switched off leave their controls alone; controls already skinned are skipped.
  data.setSkinControls(data.SkinControls().without(xcButton).without(xcCombo));
  const auto fewer = discoverControls(data, &form, &form, {check});
  for (const DiscoveredControl& d : fewer) {
    EXPECT_NE(d.control, button);
    EXPECT_NE(d.control, combo);
    EXPECT_NE(d.control, check);
    // Tag 95 asks for a combo box; without xcCombo the edit rule takes the line edit.
    if (d.control == tag95) {
      EXPECT_EQ(d.kind, SkinKind::Edit);
    }
  }
  EXPECT_EQ(fewer.size(), expected.size() - 3);
}

TEST_F(DiscoveryTest, TheApplicationsOwnSkinControlWins) {
  QWidget form;
  TSkinData data(&form);
  auto* button = make<QPushButton>(&form);
  auto* edit = make<QLineEdit>(&form);
  QObject own;
  QStringList classes;
  data.OnSkinControl = [&](QObject*, TSkinData* skinData, QWidget* f, QWidget* control,
                           const QString& cls, QObject*& skinned) {
    EXPECT_EQ(skinData, &data);
    EXPECT_EQ(f, &form);
    classes << cls;
    if (control == button) skinned = &own;
  };
  const auto found = discoverControls(data, &form, &form);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].control, edit);
  EXPECT_EQ(classes, QStringList({"QPUSHBUTTON", "QLINEEDIT"}));
}

TEST_F(DiscoveryTest, BareWindowsMapTheirChildrenByClassAlone) {
  QMessageBox box(QMessageBox::Information, "Kelpo", "text", QMessageBox::Ok | QMessageBox::Cancel);
  const auto found = discoverBareWindow(&box);
  int buttons = 0;
  for (const DiscoveredControl& d : found) {
    EXPECT_EQ(d.kind, SkinKind::PushButton);
    buttons += qobject_cast<QPushButton*>(d.control) != nullptr;
  }
  EXPECT_EQ(buttons, 2);
}

}  // namespace
}  // namespace kelpo::skin

#include "test_control_discovery.moc"
