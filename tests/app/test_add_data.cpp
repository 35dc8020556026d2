// The add window driven through its widgets: validation, the duplicate check, what is stored,
// the picture chooser, failed posts and a second process writing the same file.
#include <sqlite3.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include "app/add_data.h"
#include "app/open_picture_dialog.h"
#include "app/recipe_store.h"
#include "platform/error.h"
#include "platform/picture.h"
#include "window_fixture.h"

namespace kelpo::testing_windows {
namespace {

// The add window's widgets, found by their names.
struct AddWidgets {
  explicit AddWidgets(QObject* w)
      : ComboBox1(child<QComboBox>(w, "ComboBox1")),
        Edit1(child<QLineEdit>(w, "Edit1")),
        Memo1(child<QPlainTextEdit>(w, "Memo1")),
        Memo2(child<QPlainTextEdit>(w, "Memo2")),
        Memo3(child<QPlainTextEdit>(w, "Memo3")),
        Image1(child<QLabel>(w, "Image1")),
        Button1(child<QPushButton>(w, "Button1")) {}
  QComboBox* ComboBox1;
  QLineEdit* Edit1;
  QPlainTextEdit* Memo1;  // tips
  QPlainTextEdit* Memo2;  // method
  QPlainTextEdit* Memo3;  // ingredients
  QLabel* Image1;
  QPushButton* Button1;
};

const char* kSelectAll = "select 类别, 菜谱, 配料, 方法, 图片, 提示 from 饮食 order by rowid";

class AddWindow : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (HasFatalFailure()) return;
    createTable();
    insert({"川菜", "麻婆豆腐", "豆腐", "炒", "\\Pictures\\川菜\\1.jpg", "辣"});
    insert({"家常菜", "红烧肉", "猪肉", "炖", "\\Pictures\\家常菜\\红烧肉.jpg", "无"});
    insert({"川菜", "回锅肉", "猪肉", "煮后炒", nullptr, nullptr});
  }

  std::unique_ptr<TAddData> open() {
    auto window = std::make_unique<TAddData>(&connection_, programFolder_);
    AddWidgets ui(window.get());
    window->setPictureChooser([this](QWidget*) { return nextChoice_; });
    return window;
  }
  // Clicks the photograph; the chooser answers `file` (empty: the user cancels).
  void choose(TAddData& window, const QString& file) {
    nextChoice_ = file;
    click(AddWidgets(&window).Image1, QPoint(20, 20));
  }
  static void fill(TAddData& window, const QString& category, const QString& name,
                   const QString& ingredients, const QString& method, const QString& tips) {
    const AddWidgets ui(&window);
    ui.ComboBox1->setEditText(category);
    ui.Edit1->setText(name);
    ui.Memo3->setPlainText(ingredients);
    ui.Memo2->setPlainText(method);
    ui.Memo1->setPlainText(tips);
  }
  int storedRows() { return static_cast<int>(rows(kSelectAll).size()); }

  QString nextChoice_;
};

TEST_F(AddWindow, CategoryListHoldsTheDistinctCategoriesWithTheFirstShown) {
  auto window = open();
  AddWidgets ui(window.get());
  QComboBox* box = ui.ComboBox1;
  ASSERT_EQ(box->count(), 2);
  EXPECT_EQ(box->itemText(0), QStringLiteral("川菜"));
  EXPECT_EQ(box->itemText(1), QStringLiteral("家常菜"));
  EXPECT_EQ(box->currentText(), QStringLiteral("川菜"));
  EXPECT_TRUE(box->isEditable());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("菜谱的添加"));
  EXPECT_EQ(window->size(), QSize(609, 393));
  // The photograph box starts with the placeholder photograph.
  EXPECT_EQ(window->photograph().size(), QSize(200, 150));
}

TEST_F(AddWindow, EmptyTableLeavesTheCategoryBoxEmpty) {
  connection_.execute(QStringLiteral("delete from 饮食"));
  auto window = open();
  AddWidgets ui(window.get());
  EXPECT_EQ(ui.ComboBox1->count(), 0);
  EXPECT_EQ(ui.ComboBox1->currentText(), QString());
}

TEST_F(AddWindow, FieldsOfBlanksOnlyAreRefusedAsMissing) {
  struct Case {
    const char* category;
    const char* name;
    const char* ingredients;
    const char* method;
  };
  const Case cases[] = {
      {"", "新菜", "料", "法"},       {"川菜", "   ", "料", "法"}, {"川菜", "新菜", "\t \n ", "法"},
      {"川菜", "新菜", "料", "\n\n"}, {" \t", "新菜", "料", "法"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf8(c.name).toStdString() + "|" + c.ingredients + "|" + c.method);
    auto window = open();
    AddWidgets ui(window.get());
    choose(*window, redPhoto_);
    MessageCapture messages;
    fill(*window, QString::fromUtf8(c.category), QString::fromUtf8(c.name),
         QString::fromUtf8(c.ingredients), QString::fromUtf8(c.method), QString());
    ui.Button1->click();
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text, QStringLiteral("资料不完全！"));
    EXPECT_EQ(messages.records[0].caption, QStringLiteral("提醒"));
    EXPECT_EQ(messages.records[0].icon, MessageIcon::Question);
    EXPECT_EQ(storedRows(), 3);
    EXPECT_EQ(ui.Edit1->text(), QString::fromUtf8(c.name));  // nothing changes
  }
}

TEST_F(AddWindow, StoresUntrimmedTextsAndReportsSuccessOnlyOnceTheRowIsStored) {
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, redPhoto_);
  MessageCapture messages;
  int rowsWhenReported = -1;
  messages.onMessage = [&](const MessageRecord&) { rowsWhenReported = storedRows(); };
  fill(*window, QStringLiteral("湘菜 "), QStringLiteral(" 剁椒鱼头"), QStringLiteral("鱼头\n剁椒"),
       QStringLiteral("蒸"), QStringLiteral("  "));
  ui.Button1->click();

  ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
  EXPECT_EQ(messages.records[0].caption, QStringLiteral("Kelpo"));
  EXPECT_EQ(messages.records[0].icon, MessageIcon::None);
  EXPECT_EQ(rowsWhenReported, 4);
  const auto stored = rows(kSelectAll);
  ASSERT_EQ(stored.size(), 4u);
  // A leading blank stays; tips of blanks only are text; lines are stored with CR LF.
  EXPECT_EQ(stored[3],
            (QStringList{QStringLiteral("湘菜 "), QStringLiteral(" 剁椒鱼头"),
                         QStringLiteral("鱼头\r\n剁椒"), QStringLiteral("蒸"),
                         QStringLiteral("\\Pictures\\家常菜\\红烧肉.jpg"), QStringLiteral("  ")}));
  // The name, tips, ingredients and method boxes are emptied; category and picture stay.
  EXPECT_EQ(ui.Edit1->text(), QString());
  EXPECT_EQ(ui.Memo1->toPlainText(), QString());
  EXPECT_EQ(ui.Memo3->toPlainText(), QString());
  EXPECT_EQ(ui.Memo2->toPlainText(), QString());
  EXPECT_EQ(ui.ComboBox1->currentText(), QStringLiteral("湘菜 "));
  EXPECT_EQ(window->chosenPictureFile(), redPhoto_);
  // A category typed for one recipe does not join the list.
  EXPECT_EQ(ui.ComboBox1->count(), 2);
}

TEST_F(AddWindow, SecondAdditionReusesTheChosenPictureAndEmptyTipsStoreNone) {
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, bluePhoto_);
  MessageCapture messages;
  fill(*window, QStringLiteral("家常菜"), QStringLiteral("清蒸鱼"), QStringLiteral("鱼"),
       QStringLiteral("蒸"), QStringLiteral("鲜"));
  ui.Button1->click();
  fill(*window, QStringLiteral("家常菜"), QStringLiteral("糖醋鱼"), QStringLiteral("鱼"),
       QStringLiteral("炸"), QString());
  ui.Button1->click();

  EXPECT_EQ(messages.texts(),
            (QStringList{QStringLiteral("添加成功！"), QStringLiteral("添加成功！")}));
  const auto stored = rows(kSelectAll);
  ASSERT_EQ(stored.size(), 5u);
  EXPECT_EQ(stored[3][4], QStringLiteral("\\Pictures\\家常菜\\清蒸鱼.bmp"));
  EXPECT_EQ(stored[4][4], QStringLiteral("\\Pictures\\家常菜\\清蒸鱼.bmp"));
  EXPECT_EQ(stored[3][5], QStringLiteral("鲜"));
  EXPECT_EQ(stored[4][5], QStringLiteral("无"));
  // The stored value resolves to the chosen file again.
  EXPECT_EQ(loadPicture(recipes::picturePathForDisplay(programFolder_, stored[4][4])).size(),
            QSize(30, 40));
}

TEST_F(AddWindow, WithoutAChosenPictureNothingIsStoredAndNothingSaid) {
  auto window = open();
  AddWidgets ui(window.get());
  MessageCapture messages;
  fill(*window, QStringLiteral("川菜"), QStringLiteral("水煮鱼"), QStringLiteral("鱼"),
       QStringLiteral("煮"), QStringLiteral("辣"));
  ui.Button1->click();
  EXPECT_TRUE(messages.records.empty());
  EXPECT_EQ(storedRows(), 3);
  EXPECT_EQ(ui.Edit1->text(), QStringLiteral("水煮鱼"));
  EXPECT_EQ(ui.Memo1->toPlainText(), QStringLiteral("辣"));

  // Cancelling the chooser chooses nothing either; the row started before was never posted.
  choose(*window, QString());
  ui.Button1->click();
  EXPECT_EQ(storedRows(), 3);
  choose(*window, redPhoto_);
  ui.Button1->click();
  EXPECT_EQ(storedRows(), 4);
}

TEST_F(AddWindow, DuplicateIsTheExactNameOverAllCategories) {
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, redPhoto_);
  MessageCapture messages;
  fill(*window, QStringLiteral("家常菜"), QStringLiteral("回锅肉"), QStringLiteral("肉"),
       QStringLiteral("炒"), QString());
  ui.Button1->click();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("这个菜谱已存在！请检查.....")});
  EXPECT_EQ(messages.records[0].caption, QStringLiteral("Kelpo"));
  EXPECT_EQ(storedRows(), 3);
  EXPECT_EQ(ui.Edit1->text(), QStringLiteral("回锅肉"));

  // A trailing blank makes another name; so does a double quote, which is just a character.
  for (const QString& name : {QStringLiteral("回锅肉 "), QStringLiteral("\"回锅肉\"")}) {
    messages.records.clear();
    fill(*window, QStringLiteral("川菜"), name, QStringLiteral("肉"), QStringLiteral("炒"),
         QString());
    ui.Button1->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
  }
  messages.records.clear();
  fill(*window, QStringLiteral("川菜"), QStringLiteral("\"回锅肉\""), QStringLiteral("肉"),
       QStringLiteral("炒"), QString());
  ui.Button1->click();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("这个菜谱已存在！请检查.....")});
  EXPECT_EQ(storedRows(), 5);
}

TEST_F(AddWindow, NameTheDatabaseMatchesLooselyIsNoDuplicate) {
  connection_.execute(QStringLiteral("drop table 饮食"));
  createTable("text collate nocase");
  insert({"西餐", "Pizza", "面", "烤", "\\Pictures\\x.jpg", "无"});
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, redPhoto_);
  MessageCapture messages;
  fill(*window, QStringLiteral("西餐"), QStringLiteral("PIZZA"), QStringLiteral("面"),
       QStringLiteral("烤"), QString());
  ui.Button1->click();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
  EXPECT_EQ(storedRows(), 2);
}

TEST_F(AddWindow, FileOutsideTheProgramFolderIsCutTheSameWayAndDoesNotResolve) {
  const QString outside = folder_.path() + QStringLiteral("/elsewhere/dish.jpg");
  ASSERT_TRUE(QDir().mkpath(folder_.path() + QStringLiteral("/elsewhere")));
  ASSERT_TRUE(solid(Qt::green, 10, 10).save(outside, "JPG"));
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, outside);
  MessageCapture messages;
  fill(*window, QStringLiteral("川菜"), QStringLiteral("外来菜"), QStringLiteral("料"),
       QStringLiteral("法"), QString());
  ui.Button1->click();
  // The program folder ".../app/" is as long as ".../elsewh": the value starts at its last
  // character.
  const auto stored = rows(kSelectAll);
  ASSERT_EQ(stored.size(), 4u);
  EXPECT_EQ(stored[3][4], QStringLiteral("ewhere\\dish.jpg"));
  EXPECT_THROW(loadPicture(recipes::picturePathForDisplay(programFolder_, stored[3][4])),
               PictureError);
}

TEST_F(AddWindow, UnloadablePictureIsReportedButStaysChosen) {
  const QString damaged = programFolder_ + QStringLiteral("Pictures/家常菜/坏.jpg");
  QFile file(damaged);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a picture");
  file.close();
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, redPhoto_);
  const QImage shown = window->photograph();
  MessageCapture messages;
  choose(*window, damaged);
  ASSERT_EQ(messages.records.size(), 1u);
  EXPECT_EQ(messages.records[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(messages.records[0].text.contains(QStringLiteral("坏.jpg")));
  EXPECT_EQ(window->photograph(), shown);
  EXPECT_EQ(window->chosenPictureFile(), damaged);

  messages.records.clear();
  fill(*window, QStringLiteral("川菜"), QStringLiteral("新菜"), QStringLiteral("料"),
       QStringLiteral("法"), QString());
  ui.Button1->click();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
  EXPECT_EQ(rows(kSelectAll)[3][4], QStringLiteral("\\Pictures\\家常菜\\坏.jpg"));
}

TEST_F(AddWindow, RefusedPostIsReportedAsAnErrorAndTheBoxesKeepTheirTexts) {
  connection_.execute(
      QString::fromUtf8("create trigger refuse before insert on 饮食 when new.菜谱 = '禁菜' "
                        "begin select raise(abort, 'row refused'); end"));
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, redPhoto_);
  MessageCapture messages;
  fill(*window, QStringLiteral("川菜"), QStringLiteral("禁菜"), QStringLiteral("料"),
       QStringLiteral("法"), QStringLiteral("提示"));
  ui.Button1->click();
  ASSERT_EQ(messages.records.size(), 1u);
  EXPECT_TRUE(messages.records[0].text.contains(QStringLiteral("row refused")));
  EXPECT_EQ(messages.records[0].icon, MessageIcon::Critical);
  EXPECT_EQ(storedRows(), 3);
  EXPECT_EQ(ui.Edit1->text(), QStringLiteral("禁菜"));
  EXPECT_EQ(ui.Memo1->toPlainText(), QStringLiteral("提示"));
  EXPECT_EQ(ui.Memo3->toPlainText(), QStringLiteral("料"));
}

// The real chooser: confirmed through its own dialog, with the preview of the selection.
TEST_F(AddWindow, PictureDialogConfirmsTheSelectedFileAndPreviewsIt) {
  auto window = std::make_unique<TAddData>(&connection_, programFolder_);
  AddWidgets ui(window.get());
  OpenPictureDialog* dialog = window->pictureDialog();
  EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_EQ(dialog->nameFilters(), OpenPictureDialog::pictureFilters());
  ASSERT_EQ(dialog->nameFilters().size(), 6);
  EXPECT_EQ(dialog->nameFilters()[0], QStringLiteral("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));

  // Extensions are matched without regard to case; other files are not offered.
  const QString folder = programFolder_ + QStringLiteral("Pictures/家常菜");
  ASSERT_TRUE(solid(Qt::gray, 8, 8).save(folder + QStringLiteral("/大图.JPG"), "JPG"));
  QFile notes(folder + QStringLiteral("/notes.txt"));
  ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
  notes.close();

  QString previewCaption;
  QSize previewSize;
  QStringList offered;
  QTimer::singleShot(0, dialog, [&] {
    dialog->setDirectory(folder);
    auto* model = dialog->findChild<QFileSystemModel*>();
    // The file list is shown in detail or list form; the user clicks the one on screen.
    QAbstractItemView* list = nullptr;
    for (auto* view : dialog->findChildren<QAbstractItemView*>())
      if ((view->objectName() == u"listView" || view->objectName() == u"treeView") &&
          view->isVisible())
        list = view;
    // The folder is read in the background; wait until its files are listed.
    QDeadlineTimer listed(5000);
    while (model && model->rowCount(model->index(folder)) < 3 && !listed.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (model && list) {
      const QModelIndex parent = model->index(folder);
      for (int i = 0; i < model->rowCount(parent); ++i)
        if (!model->isDir(model->index(i, 0, parent)))
          offered << model->index(i, 0, parent).data().toString();
      offered.sort();
      // The user clicks the file in the list.
      list->setFocus();
      list->selectionModel()->setCurrentIndex(
          model->index(redPhoto_), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    previewCaption = dialog->previewCaption();
    previewSize = dialog->preview().size();
    if (dialog->selectedFiles().value(0) == redPhoto_)
      static_cast<QDialog*>(dialog)->accept();
    else
      static_cast<QDialog*>(dialog)->reject();  // fails below instead of hanging here
  });
  MessageCapture messages;
  click(ui.Image1, QPoint(20, 20));
  EXPECT_TRUE(messages.records.empty());
  EXPECT_EQ(offered, (QStringList{QStringLiteral("大图.JPG"), QStringLiteral("清蒸鱼.bmp"),
                                  QStringLiteral("红烧肉.jpg")}));
  EXPECT_EQ(previewSize, QSize(40, 30));
  EXPECT_EQ(previewCaption, QStringLiteral("40 x 30"));
  EXPECT_EQ(window->chosenPictureFile(), redPhoto_);
  EXPECT_EQ(window->photograph().size(), QSize(40, 30));

  // Cancelling the dialog keeps the file chosen before.
  QTimer::singleShot(0, dialog, [&] { static_cast<QDialog*>(dialog)->reject(); });
  click(ui.Image1, QPoint(20, 20));
  EXPECT_EQ(window->chosenPictureFile(), redPhoto_);
}

// A second process writing the same file: the addition waits for it, or fails plainly when
// the other writer holds the file too long; the file stays sound either way.
class AddBesideAnotherWriter : public AddWindow {
 protected:
  void SetUp() override {
    AddWindow::SetUp();
    if (HasFatalFailure()) return;
    shell_ = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell_.isEmpty()) GTEST_SKIP() << "the sqlite3 shell is not installed";
  }
  // Starts the shell holding a write transaction for `holdSeconds`, with one row of its own.
  void startWriter(QProcess& writer, double holdSeconds) {
    writer.setProcessChannelMode(QProcess::MergedChannels);
    writer.start(shell_, {databaseFile_});
    ASSERT_TRUE(writer.waitForStarted(5000));
    writer.write(QStringLiteral("BEGIN IMMEDIATE;\n"
                                "INSERT INTO 饮食 (类别, 菜谱) VALUES ('外来', '另一进程的菜');\n"
                                ".print holding\n"
                                ".shell sleep %1\n"
                                "COMMIT;\n.quit\n")
                     .arg(holdSeconds)
                     .toUtf8());
    writer.closeWriteChannel();
    QByteArray said;
    QDeadlineTimer deadline(5000);
    while (!said.contains("holding") && !deadline.hasExpired()) {
      writer.waitForReadyRead(100);
      said += writer.readAll();
    }
    ASSERT_TRUE(said.contains("holding")) << said.toStdString();
  }
  void expectSoundFile() {
    const auto check = rows("pragma integrity_check");
    ASSERT_EQ(check.size(), 1u);
    EXPECT_EQ(check[0][0], QStringLiteral("ok"));
  }
  QString shell_;
};

TEST_F(AddBesideAnotherWriter, AdditionWaitsForTheOtherWriterAndIsStored) {
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, redPhoto_);
  MessageCapture messages;
  fill(*window, QStringLiteral("川菜"), QStringLiteral("夫妻肺片"), QStringLiteral("牛肉"),
       QStringLiteral("拌"), QString());
  QProcess writer;
  startWriter(writer, 1.5);
  QElapsedTimer waited;
  waited.start();
  ui.Button1->click();
  EXPECT_GE(waited.elapsed(), 500);  // it did wait for the other writer's commit
  ASSERT_TRUE(writer.waitForFinished(10000));
  EXPECT_EQ(writer.exitCode(), 0) << writer.readAll().toStdString();

  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
  const auto stored = rows(kSelectAll);
  ASSERT_EQ(stored.size(), 5u);
  QStringList names;
  for (const auto& row : stored) names << row[1];
  EXPECT_TRUE(names.contains(QStringLiteral("另一进程的菜")));
  EXPECT_TRUE(names.contains(QStringLiteral("夫妻肺片")));
  expectSoundFile();
}

TEST_F(AddBesideAnotherWriter, WriterHoldingTooLongGivesAClearErrorAndLosesNothing) {
  auto window = open();
  AddWidgets ui(window.get());
  // Waiting the full ten seconds would only slow the test; the outcome is the same.
  sqlite3_busy_timeout(connection_.handle(), 300);
  choose(*window, redPhoto_);
  MessageCapture messages;
  fill(*window, QStringLiteral("川菜"), QStringLiteral("夫妻肺片"), QStringLiteral("牛肉"),
       QStringLiteral("拌"), QString());
  QProcess writer;
  startWriter(writer, 2);
  ui.Button1->click();
  ASSERT_EQ(messages.records.size(), 1u);
  EXPECT_EQ(messages.records[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(messages.records[0].text.contains(QStringLiteral("locked")))
      << messages.records[0].text.toStdString();
  EXPECT_EQ(ui.Edit1->text(), QStringLiteral("夫妻肺片"));
  ASSERT_TRUE(writer.waitForFinished(10000));

  // Once the other writer is done the same addition goes through.
  messages.records.clear();
  ui.Button1->click();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
  EXPECT_EQ(storedRows(), 5);
  expectSoundFile();
}

}  // namespace
}  // namespace kelpo::testing_windows
