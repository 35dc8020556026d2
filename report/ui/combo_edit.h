// A one-line edit with a small button at its right, for texts that a builder dialog can fill.
#pragma once

#include <QLineEdit>
#include <QWidget>

#include "report/ui/toolbar_controls.h"

namespace kelpo::report {

class TfrComboEdit : public QWidget {
  Q_OBJECT

 public:
  explicit TfrComboEdit(QWidget* parent = nullptr);

  QString text() const { return edit_->text(); }
  void setText(const QString& text) { edit_->setText(text); }
  QLineEdit* lineEdit() const { return edit_; }
  TfrSpeedButton* button() const { return button_; }

 signals:
  void buttonClicked();

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  QLineEdit* edit_;
  TfrSpeedButton* button_;
};

}  // namespace kelpo::report
