// The progress window: runs a long report operation (preparing, printing) inside its modal loop,
// shows how far it has come and offers a cancel button that stops it.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace kelpo::report {

class TfrReport;

class TfrProgressForm : public QDialog {
  Q_OBJECT

 public:
  explicit TfrProgressForm(QWidget* parent = nullptr);

  // Shows the window modally and calls `work` once it is up; true when the work finished,
  // false when the user cancelled. An error in the work is reported and the window stays
  // until cancelled.
  bool run(TfrReport& report, const QString& caption, const std::function<void()>& work);
  void setProgressText(const QString& text);
  QString progressText() const;
  // The second line: what a report script assigned to PROGRESS.
  void setProgressDetail(const QString& text);
  QString progressDetail() const;
  QPushButton* cancelButton() const { return button_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void cancel();

  QLabel* label1_;
  QLabel* label2_;
  QPushButton* button_;
  TfrReport* report_ = nullptr;
  bool workDone_ = false;
  bool cancelled_ = false;
};

// The one progress window, made on first use and kept for the rest of the program.
TfrProgressForm& frProgressForm();
// Makes the report run its preparation inside the progress window.
void installProgressForm();

}  // namespace kelpo::report
