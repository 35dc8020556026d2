// The password dialog: asks for the password of a protected report template read from a file.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

class QLineEdit;

namespace Ui {
class TfrPasswForm;
}

namespace kelpo::report {

class TfrPasswForm : public QDialog {
  Q_OBJECT

 public:
  explicit TfrPasswForm(QWidget* parent = nullptr);
  ~TfrPasswForm() override;

  // The one-line box the password is typed into (its characters show as "*").
  QLineEdit* passwordBox() const;

  // Asks once, modally: the typed text (engine text), or nothing when cancelled.
  static std::optional<std::string> ask(QWidget* parent);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  std::unique_ptr<Ui::TfrPasswForm> ui_;
};

// Makes protected templates read from files ask through this dialog.
void installPasswForm();

}  // namespace kelpo::report
