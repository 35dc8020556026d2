// The barcode editor: what it shows of a view, its zoom arrows, the check of the code on OK,
// and what it gives back to the view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/barcode_view.h"
#include "report/expr/value.h"
#include "report/ui/barcode_form.h"
#include "report/ui/combo_edit.h"

namespace kelpo::report {
namespace {

// The editor's controls, found by their names as a user's script would.
struct Controls {
  explicit Controls(QWidget& form)
      : M1(get<TfrComboEdit>(form, "M1")),
        cbType(get<QComboBox>(form, "cbType")),
        ckCheckSum(get<QCheckBox>(form, "ckCheckSum")),
        ckViewText(get<QCheckBox>(form, "ckViewText")),
        eZoom(get<QLineEdit>(form, "eZoom")),
        frSpeedButton1(get<TfrSpeedButton>(form, "frSpeedButton1")),
        frSpeedButton2(get<TfrSpeedButton>(form, "frSpeedButton2")),
        RB1(get<QRadioButton>(form, "RB1")),
        RB2(get<QRadioButton>(form, "RB2")),
        RB3(get<QRadioButton>(form, "RB3")),
        RB4(get<QRadioButton>(form, "RB4")),
        bOk(get<QPushButton>(form, "bOk")),
        bCancel(get<QPushButton>(form, "bCancel")) {}
  template <typename T>
  static T* get(QWidget& form, const char* name) {
    T* w = form.findChild<T*>(name);
    if (!w) throw std::runtime_error(std::string("no control ") + name);
    return w;
  }
  TfrComboEdit* M1;
  QComboBox* cbType;
  QCheckBox *ckCheckSum, *ckViewText;
  QLineEdit* eZoom;
  TfrSpeedButton *frSpeedButton1, *frSpeedButton2;
  QRadioButton *RB1, *RB2, *RB3, *RB4;
  QPushButton *bOk, *bCancel;
};

TEST(TfrBarCodeForm, TextsAndChoices) {
  TfrBarCodeForm form;
  Controls ui(form);
  EXPECT_EQ(form.windowTitle(), "Barcode editor");
  EXPECT_EQ(ui.ckCheckSum->text(), "Checksum ");
  EXPECT_EQ(ui.bOk->text(), "确认");
  EXPECT_EQ(ui.bCancel->text(), "取消");
  EXPECT_TRUE(ui.bOk->isDefault());
  EXPECT_TRUE(ui.M1->button()->toolTip().contains("not available"));
  ASSERT_EQ(ui.cbType->count(), 23);
  EXPECT_EQ(ui.cbType->itemText(12), "Codebar");
  EXPECT_EQ(ui.cbType->itemText(22), "EAN128C");
  EXPECT_EQ(ui.M1->text(), "0");
}

TEST(TfrBarCodeForm, ShowsTheView) {
  TfrBarCodeView view;
  view.memo = {utf8ToEngine("[ADOQuery3.\"菜谱\"]"), "second"};
  view.barType = bcCodeEAN13;
  view.calcCheckSum = 0;
  view.zoom = 1.25;
  view.rotation = 180;
  TfrBarCodeForm form;
  form.showView(view);
  Controls ui(form);
  EXPECT_EQ(ui.M1->text(), "[ADOQuery3.\"菜谱\"]");
  EXPECT_EQ(ui.cbType->currentIndex(), bcCodeEAN13);
  EXPECT_FALSE(ui.ckCheckSum->isChecked());
  EXPECT_TRUE(ui.ckViewText->isChecked());
  EXPECT_EQ(ui.eZoom->text(), "1.25");
  EXPECT_TRUE(ui.RB3->isChecked());
  // A rotation the editor does not offer shows as 270; no lines leave the code as it was.
  view.rotation = 45;
  view.memo.clear();
  TfrBarCodeForm other;
  other.showView(view);
  EXPECT_TRUE(Controls(other).RB4->isChecked());
  EXPECT_EQ(Controls(other).M1->text(), "0");
}

TEST(TfrBarCodeForm, ZoomArrows) {
  TfrBarCodeForm form;
  Controls ui(form);
  QLineEdit* zoom = ui.eZoom;
  const struct {
    const char* from;
    bool up;
    const char* to;
  } cases[] = {{"1", true, "2"},    {"1", false, "1"}, {"1.5", false, "0.5"},
               {"0.5", false, "1"}, {"3", false, "2"}, {"2.25", true, "3.25"}};
  for (const auto& c : cases) {
    zoom->setText(c.from);
    (c.up ? ui.frSpeedButton1 : ui.frSpeedButton2)->click();
    EXPECT_EQ(zoom->text(), c.to) << c.from << (c.up ? " up" : " down");
  }
  zoom->setText("x");
  EXPECT_THROW(form.zoomUp(), EConvertError);
  EXPECT_THROW(form.zoomDown(), EConvertError);
  EXPECT_EQ(zoom->text(), "x");
}

// OK tries the code with the generator; a refused code keeps the dialog open with a message.
TEST(TfrBarCodeForm, OkChecksTheCode) {
  std::vector<MessageRecord> boxes;
  setMessageHook([&](const MessageRecord& m) {
    boxes.push_back(m);
    return QMessageBox::Ok;
  });
  const struct {
    int type;
    const char* code;
    bool accepted;
  } cases[] = {{bcCodeEAN13, "590123412345", true}, {bcCodeEAN13, "59012A", false},
               {bcCode128C, "1.5", false},          {bcCode93, "abc", false},
               {bcCode93, "[Price]", true},         {bcCode39, "abc", true}};
  for (const auto& c : cases) {
    TfrBarCodeForm form;
    Controls ui(form);
    ui.cbType->setCurrentIndex(c.type);
    ui.M1->setText(c.code);
    boxes.clear();
    ui.bOk->click();
    EXPECT_EQ(form.result() == QDialog::Accepted, c.accepted) << c.code;
    ASSERT_EQ(boxes.size(), c.accepted ? 0u : 1u) << c.code;
    if (!c.accepted) {
      EXPECT_EQ(boxes[0].text, "条码错误");
      EXPECT_EQ(boxes[0].caption, "错误");
      EXPECT_EQ(boxes[0].icon, MessageIcon::Critical);
    }
  }
  setMessageHook({});
}

TEST(TfrBarCodeForm, GivesTheChoicesToTheView) {
  TfrBarCodeView view;
  TfrBarCodeForm form;
  form.showView(view);
  Controls ui(form);
  ui.M1->setText("4006381333931");
  ui.cbType->setCurrentIndex(bcCodeEAN13);
  ui.ckCheckSum->setChecked(false);
  ui.ckViewText->setChecked(false);
  ui.eZoom->setText("2.5");
  ui.RB2->setChecked(true);
  form.applyTo(view);
  EXPECT_EQ(view.memo, TfrStrings{"4006381333931"});
  EXPECT_EQ(view.barType, bcCodeEAN13);
  EXPECT_EQ(view.calcCheckSum, 0);
  EXPECT_EQ(view.showText, 0);
  EXPECT_EQ(view.zoom, 2.5);
  EXPECT_EQ(view.rotation, 90);

  // A zoom that is not a number: the code is taken, the rest stays.
  ui.M1->setText("CODE");
  ui.eZoom->setText("two");
  ui.RB1->setChecked(true);
  EXPECT_THROW(form.applyTo(view), EConvertError);
  EXPECT_EQ(view.memo, TfrStrings{"CODE"});
  EXPECT_EQ(view.zoom, 2.5);
  EXPECT_EQ(view.rotation, 90);
}

// The view's ShowEditor runs the installed editor modally; OK applies, Cancel changes nothing.
TEST(TfrBarCodeForm, ShowEditorRunsTheDialog) {
  installBarCodeEditor();
  TfrBarCodeView view;
  for (bool ok : {false, true}) {
    QTimer::singleShot(0, [ok] {
      auto* form = qobject_cast<TfrBarCodeForm*>(QApplication::activeModalWidget());
      ASSERT_NE(form, nullptr);
      Controls ui(*form);
      ui.M1->setText("KELPO");
      (ok ? ui.bOk : ui.bCancel)->click();
    });
    view.ShowEditor();
    EXPECT_EQ(view.memo, TfrStrings{ok ? "KELPO" : "12345678"});
  }
  frBarCodeEditor() = nullptr;
}

}  // namespace
}  // namespace kelpo::report
