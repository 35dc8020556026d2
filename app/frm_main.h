// The catalogue window: the category tree and the selected recipe's details.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "platform/database.h"

class QDialog;
class QLabel;
class QTreeWidgetItem;

namespace Ui {
class TFrmMain;
}

namespace kelpo {

class TFrmMain : public QMainWindow {
  Q_OBJECT
 public:
  // Opens the connection and the detail query (a missing database raises DatabaseError),
  // then builds the tree. A failure while building shows the start-up message and asks the
  // program to end: terminating() tells so.
  explicit TFrmMain(QWidget* parent = nullptr);
  ~TFrmMain() override;

  bool terminating() const { return terminating_; }

  // The folder pictures are resolved against; the executable's folder unless set.
  void setProgramFolder(const QString& folder) { programFolder_ = folder; }
  QString programFolder() const { return programFolder_; }

  // How web pages are opened (the desktop's default handler) and how a secondary window is
  // run (modally); tests replace both to watch instead of block.
  using Opener = std::function<void(const QString& address)>;
  void setOpener(Opener opener) { opener_ = std::move(opener); }
  using WindowRunner = std::function<void(QDialog& window)>;
  void setWindowRunner(WindowRunner runner) { runner_ = std::move(runner); }

  Connection* connection() const { return ADOConnect; }
  Query* detailQuery() const { return ADOQuery3; }
  Ui::TFrmMain* ui() const { return ui_.get(); }
  // The picture the photograph box shows.
  QImage photograph() const { return photograph_; }

  static QString cookingProgrammePage();
  static QString authorHomePage();

  // Handlers; failures leave them as exceptions (the connected signals report them).
  void FormCreate();
  void TreeView1Change(QTreeWidgetItem* node);
  void N6Click();   // 添加
  void N9Click();   // 查询
  void N13Click();  // 说明

 private:
  void showPhotograph(const QImage& image);
  void openDetail(const QString& sql, const QVariantList& parameters);
  void runWindow(QDialog* window);

  std::unique_ptr<Ui::TFrmMain> ui_;
  Connection* ADOConnect = nullptr;
  Query* ADOQuery1 = nullptr;
  Query* ADOQuery2 = nullptr;
  Query* ADOQuery3 = nullptr;
  QImage photograph_;
  QString programFolder_;
  Opener opener_;
  WindowRunner runner_;
  bool terminating_ = false;
};

}  // namespace kelpo
