#include "report/ui/preview_search_form.h"

#include "platform/text.h"
#include "report/expr/engine_strings.h"
#include "ui_preview_search_form.h"

namespace kelpo::report {

TfrPreviewSearchForm::TfrPreviewSearchForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrPreviewSearchForm>()) {
  ui_->setupUi(this);
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  setFont(f);
  setFixedSize(262, 158);
  ui_->Button1->setText(frLoadText(55000));  // "确认"
  ui_->Button2->setText(frLoadText(55001));  // "取消"
}

TfrPreviewSearchForm::~TfrPreviewSearchForm() = default;

QString TfrPreviewSearchForm::text() const { return ui_->Edit1->text(); }
bool TfrPreviewSearchForm::caseSensitive() const { return ui_->CB1->isChecked(); }
bool TfrPreviewSearchForm::fromCurrentPage() const { return ui_->RB2->isChecked(); }

void TfrPreviewSearchForm::setChoices(const QString& text, bool caseSensitive, bool fromCurrentPage) {
  ui_->Edit1->setText(text);
  ui_->CB1->setChecked(caseSensitive);
  (fromCurrentPage ? ui_->RB2 : ui_->RB1)->setChecked(true);
}

void TfrPreviewSearchForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  ui_->Edit1->setFocus();
  ui_->Edit1->selectAll();
}

}  // namespace kelpo::report
