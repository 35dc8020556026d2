#include "report/ui/passw_form.h"

#include <QApplication>
#include <QProxyStyle>

#include "platform/text.h"
#include "report/core/report.h"
#include "report/expr/engine_strings.h"
#include "ui_passw_form.h"

namespace kelpo::report {
namespace {

constexpr int kOk = 55000;
constexpr int kCancel = 55001;
constexpr int kCaption = 55653;
constexpr int kPrompt = 55654;
constexpr int kRetypePrompt = 55655;

// Hidden characters show as "*", whatever the platform style would use.
class StarPasswordStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

}  // namespace

TfrPasswForm::TfrPasswForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrPasswForm>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("TfrPasswForm"));
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  setFont(f);
  setFixedSize(249, 96);
  setWindowTitle(frLoadText(kCaption));
  ui_->Label1->setText(frLoadText(kPrompt));
  auto* style = new StarPasswordStyle;
  style->setParent(this);
  ui_->Edit1->setStyle(style);
  // The second prompt belongs to a retype check this dialog never makes.
  ui_->Label2->setText(frLoadText(kRetypePrompt));
  ui_->Label2->hide();
  ui_->Button1->setText(frLoadText(kOk));
  ui_->Button2->setText(frLoadText(kCancel));
}

TfrPasswForm::~TfrPasswForm() = default;

QLineEdit* TfrPasswForm::passwordBox() const { return ui_->Edit1; }

void TfrPasswForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  ui_->Edit1->setFocus();
}

std::optional<std::string> TfrPasswForm::ask(QWidget* parent) {
  TfrPasswForm dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return fromQString(dialog.passwordBox()->text());
}

void installPasswForm() {
  TfrReport::setPasswordPrompt([] { return TfrPasswForm::ask(QApplication::activeWindow()); });
}

}  // namespace kelpo::report
