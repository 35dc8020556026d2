// The catalogue window: the category tree and the selected recipe's details.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <memory>

#include "platform/database.h"

class QTreeWidgetItem;
class QLabel;

namespace Ui {
class TFrmMain;
}

namespace kelpo {

class TFrmMain : public QMainWindow {
  Q_OBJECT
 public:
  // Opens the connection and the detail query (a missing database raises DatabaseError),
  // then builds the tree. A failure while building shows the start-up message and asks the
  // application to end: terminating() tells so.
  explicit TFrmMain(QWidget* parent = nullptr);
  ~TFrmMain() override;

  bool terminating() const { return terminating_; }

  // The folder pictures are resolved against; the executable's folder unless set.
  void setProgramFolder(const QString& folder) { programFolder_ = folder; }
  QString programFolder() const { return programFolder_; }

  Connection* connection() const { return ADOConnect; }
  Query* detailQuery() const { return ADOQuery3; }
  Ui::TFrmMain* ui() const { return ui_.get(); }
  // The picture currently shown in the photograph box.
  QImage photograph() const { return photograph_; }

  // Builds the tree; public so benchmarks can measure it on its own.
  void FormCreate();
  void TreeView1Change(QTreeWidgetItem* node);

 signals:
  // The menu items whose windows live elsewhere; the program connects them.
  void addRequested();
  void searchRequested();
  void aboutRequested();
  void printRequested();

 private:
  void showPhotograph(const QImage& image);
  void openDetail(const QString& sql, const QVariantList& parameters);

  std::unique_ptr<Ui::TFrmMain> ui_;
  Connection* ADOConnect = nullptr;
  Query* ADOQuery1 = nullptr;
  Query* ADOQuery2 = nullptr;
  Query* ADOQuery3 = nullptr;
  QLabel* statusLeft_ = nullptr;
  QLabel* statusRight_ = nullptr;
  QImage photograph_;
  QString programFolder_;
  bool terminating_ = false;
};

}  // namespace kelpo
