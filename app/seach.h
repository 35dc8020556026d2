// The search window: find recipes by name or by ingredient and show the one the user picks.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <memory>

#include "platform/database.h"

namespace Ui {
class TSeach;
}

namespace kelpo {

class TSeach : public QDialog {
  Q_OBJECT
 public:
  // Reads through its own queries on the catalogue window's connection; photographs are
  // resolved against `programFolder` (with its trailing separator).
  TSeach(Connection* connection, const QString& programFolder, QWidget* owner = nullptr);
  ~TSeach() override;

  Ui::TSeach* ui() const { return ui_.get(); }
  // The picture the photograph box shows.
  QImage photograph() const { return photograph_; }

  // Handlers; failures leave them as exceptions (the connected signals report them).
  void RadioGroup1Click();
  void Button1Click();
  void ComboBox1Change();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  std::unique_ptr<Ui::TSeach> ui_;
  QString programFolder_;
  Query* ADOQuery1 = nullptr;
  Query* ADOQuery2 = nullptr;
  QImage photograph_;
  bool placed_ = false;
};

}  // namespace kelpo
