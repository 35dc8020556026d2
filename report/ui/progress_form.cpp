#include "report/ui/progress_form.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/report.h"
#include "report/expr/engine_strings.h"

namespace kelpo::report {

TfrProgressForm::TfrProgressForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TfrProgressForm"));
  // No system menu and no close box: only the cancel button ends a run early.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  setFont(f);
  setFixedSize(278, 106);
  label1_ = new QLabel(this);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setGeometry(20, 26, 237, 13);
  label1_->setAlignment(Qt::AlignCenter);
  label2_ = new QLabel(this);
  label2_->setObjectName(QStringLiteral("Label2"));
  label2_->setGeometry(20, 42, 237, 13);
  label2_->setAlignment(Qt::AlignCenter);
  button_ = new QPushButton(this);
  button_->setGeometry(100, 68, 75, 25);
  connect(button_, &QPushButton::clicked, this, &TfrProgressForm::cancel);
}

bool TfrProgressForm::run(TfrReport& report, const QString& caption,
                          const std::function<void()>& work) {
  button_->setText(frLoadText(55001));
  setWindowTitle(caption);
  report_ = &report;
  label2_->clear();
  workDone_ = false;
  cancelled_ = false;
  setResult(QDialog::Rejected);
  QTimer::singleShot(0, this, [this, &work] {
    try {
      work();
    } catch (const std::exception& e) {
      const auto* engine = dynamic_cast<const Error*>(&e);
      showMessage(engine ? toQString(engine->message()) : QString::fromLocal8Bit(e.what()), this);
      return;  // the window stays until the user cancels
    }
    workDone_ = true;
    // A cancel pressed during the work has already closed the window with Cancel. (The
    // report's own stop, by an error or a script, still ends the run normally.)
    if (!cancelled_) accept();
  });
  const int result = exec();
  report_ = nullptr;
  return result == QDialog::Accepted && workDone_;
}

void TfrProgressForm::setProgressText(const QString& text) { label1_->setText(text); }
QString TfrProgressForm::progressText() const { return label1_->text(); }
void TfrProgressForm::setProgressDetail(const QString& text) { label2_->setText(text); }
QString TfrProgressForm::progressDetail() const { return label2_->text(); }

void TfrProgressForm::cancel() {
  cancelled_ = true;
  if (report_) report_->terminated = true;
  reject();
}

void TfrProgressForm::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    cancel();
    return;
  }
  QDialog::keyPressEvent(e);
}

TfrProgressForm& frProgressForm() {
  // Lives until the program ends, hidden between runs.
  static auto* form = new TfrProgressForm;
  return *form;
}

void installProgressForm() {
  frProgressForm();
  TfrReport::setProgressRunner(
      [](TfrReport& report, const std::string& caption, const std::function<void()>& work) {
        return frProgressForm().run(report, toQString(caption), work);
      });
  TfrReport::setProgressText(
      [](const std::string& text) { frProgressForm().setProgressText(toQString(text)); });
  TfrReport::setProgressDetail(
      [](const std::string& text) { frProgressForm().setProgressDetail(toQString(text)); });
}

}  // namespace kelpo::report
