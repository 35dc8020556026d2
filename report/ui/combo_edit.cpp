#include "report/ui/combo_edit.h"

#include <QResizeEvent>

namespace kelpo::report {

TfrComboEdit::TfrComboEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new TfrSpeedButton(this)) {
  button_->setObjectName("ComboButton");
  button_->setCaption("...");
  setFocusProxy(edit_);
  connect(button_, &TfrSpeedButton::clicked, this, &TfrComboEdit::buttonClicked);
}

void TfrComboEdit::resizeEvent(QResizeEvent* e) {
  // The button is square, as high as the edit, at the right.
  const int h = e->size().height(), w = e->size().width();
  edit_->setGeometry(0, 0, std::max(0, w - h), h);
  button_->setGeometry(std::max(0, w - h), 0, h, h);
}

}  // namespace kelpo::report
