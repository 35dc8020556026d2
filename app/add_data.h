// The add window: enter one recipe at a time, check it and append it to the recipe table.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>

#include "platform/database.h"

namespace Ui {
class TAddData;
}

namespace kelpo {

class OpenPictureDialog;

class TAddData : public QDialog {
  Q_OBJECT
 public:
  // The queries run on the catalogue window's connection; picture paths are stored relative
  // to `programFolder` (with its trailing separator). Fills the category list, so a failing
  // statement leaves the constructor with DatabaseError.
  TAddData(Connection* connection, const QString& programFolder, QWidget* owner = nullptr);
  ~TAddData() override;

  // Returns the file the user confirmed, or an empty text when the user cancelled. The
  // window asks its picture dialog unless another chooser is set (tests supply the file
  // without a modal loop this way).
  using PictureChooser = std::function<QString(QWidget* owner)>;
  void setPictureChooser(PictureChooser chooser) { chooser_ = std::move(chooser); }

  Ui::TAddData* ui() const { return ui_.get(); }
  OpenPictureDialog* pictureDialog() const { return OpenPictureDialog1; }
  // The file confirmed last in the picture chooser; empty until one is chosen.
  QString chosenPictureFile() const { return chosenFile_; }
  // The picture the photograph box shows.
  QImage photograph() const { return photograph_; }

  // Handlers; failures leave them as exceptions (the connected signals report them).
  void FormCreate();
  void Image1Click();
  void Button1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void showPhotograph(const QImage& image);

  std::unique_ptr<Ui::TAddData> ui_;
  Connection* connection_ = nullptr;
  QString programFolder_;
  Query* ADOQuery1 = nullptr;
  Query* ADOQuery2 = nullptr;
  Query* ADOQuery3 = nullptr;
  OpenPictureDialog* OpenPictureDialog1 = nullptr;
  PictureChooser chooser_;
  QString chosenFile_;
  QImage photograph_;
  bool placed_ = false;
};

}  // namespace kelpo
