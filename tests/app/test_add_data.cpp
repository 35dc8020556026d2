// The add window driven through its widgets: validation, the duplicate check, what is stored,
// the picture chooser, failed posts and a second process writing the same file.
#include <fcntl.h>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include "app/add_data.h"
#include "app/open_picture_dialog.h"
#include "app/recipe_store.h"
#include "platform/error.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "readable_message.h"
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

TEST_F(AddWindow, PictureTheStoredPathCouldNotFindIsCopiedIntoItsCategoryFolder) {
  // Pictures chosen outside the program folder, or too deep in it for the 40 bytes, would be
  // stored as a cut of their path that names no file.
  const QString elsewhere = folder_.path() + QStringLiteral("/elsewhere/");
  ASSERT_TRUE(QDir().mkpath(elsewhere));
  ASSERT_TRUE(QDir().mkpath(folder_.path() + QStringLiteral("/other")));
  const QString green = elsewhere + QStringLiteral("dish.jpg");
  const QString yellow = folder_.path() + QStringLiteral("/other/dish.jpg");
  const QString longName = elsewhere + QStringLiteral("一二三四五六七八九十百千万亿兆.bmp");
  const QString deep =
      programFolder_ + QStringLiteral("Pictures/家常菜/很长很长的名字的红烧肉照片.bmp");
  ASSERT_TRUE(solid(Qt::green, 10, 10).save(green, "JPG"));
  ASSERT_TRUE(solid(Qt::yellow, 10, 10).save(yellow, "JPG"));
  ASSERT_TRUE(solid(Qt::cyan, 12, 10).save(longName, "BMP"));
  ASSERT_TRUE(solid(Qt::magenta, 14, 10).save(deep, "BMP"));

  struct Case {
    QString category;
    QString chosen;
    QString stored;  // empty: any value of at most 40 bytes below the category's folder
    QColor colour;
  };
  const Case cases[] = {
      // Copied into a folder made for the category.
      {QStringLiteral("川菜"), green, QStringLiteral("\\Pictures\\川菜\\dish.jpg"), Qt::green},
      // The same picture again is the same copy.
      {QStringLiteral("川菜"), green, QStringLiteral("\\Pictures\\川菜\\dish.jpg"), Qt::green},
      // Another picture of that name never overwrites it.
      {QStringLiteral("川菜"), yellow, QStringLiteral("\\Pictures\\川菜\\dish-2.jpg"), Qt::yellow},
      // Long names and categories are shortened so the value fits without a cut.
      {QStringLiteral("四川风味家常小炒菜"), longName, QString(), Qt::cyan},
      {QStringLiteral("家常菜"), deep, QString(), Qt::magenta},
      // A category spelling a path still makes one folder below Pictures.
      {QStringLiteral("../川菜/小吃"), green, QString(), Qt::green},
  };
  auto window = open();
  AddWidgets ui(window.get());
  int added = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.category.toStdString() + " " + c.chosen.toStdString());
    choose(*window, c.chosen);
    MessageCapture messages;
    fill(*window, c.category, QStringLiteral("外来菜%1").arg(++added), QStringLiteral("料"),
         QStringLiteral("法"), QString());
    ui.Button1->click();
    ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
    EXPECT_EQ(window->chosenPictureFile(), c.chosen);
    const QString stored = rows(kSelectAll).back()[4];
    if (!c.stored.isEmpty()) {
      EXPECT_EQ(stored, c.stored);
    }
    EXPECT_LE(engineByteLength(stored), 40u);
    EXPECT_TRUE(stored.startsWith(QStringLiteral("\\Pictures\\"))) << stored.toStdString();
    EXPECT_EQ(stored.count(u'\\'), 3) << stored.toStdString();
    EXPECT_EQ(stored.section(u'.', -1), QFileInfo(c.chosen).suffix());
    const QString file = recipes::picturePathForDisplay(programFolder_, stored);
    EXPECT_TRUE(QFileInfo(file).canonicalFilePath().startsWith(programFolder_ + "Pictures/"));
    const QColor shown = loadPicture(file).pixelColor(1, 1);  // JPEG colours are near
    EXPECT_NEAR(shown.red(), c.colour.red(), 8);
    EXPECT_NEAR(shown.green(), c.colour.green(), 8);
    EXPECT_NEAR(shown.blue(), c.colour.blue(), 8);
  }
  // One copy per picture; the originals stay where they were.
  EXPECT_EQ(QDir(programFolder_ + QStringLiteral("Pictures/川菜")).entryList(QDir::Files),
            (QStringList{QStringLiteral("dish-2.jpg"), QStringLiteral("dish.jpg")}));
  EXPECT_TRUE(QFileInfo::exists(green));
  EXPECT_TRUE(QFileInfo::exists(deep));
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
  EXPECT_EQ(dialog->nameFilters()[0],
            QStringLiteral("所有图片 (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));

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

// Makes the database file read-only for this user, the super-user included, and undoes it.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const QString& file) : file_(file) {
    QFile::setPermissions(file_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    // The super-user writes to any file whose mode forbids it; only the immutable flag stops
    // that user as well.
    if (::access(QFile::encodeName(file_).constData(), W_OK) == 0) immutable_ = setImmutable(true);
    readOnly_ = ::access(QFile::encodeName(file_).constData(), W_OK) != 0;
  }
  ~ReadOnlyFile() { makeWritable(); }
  bool readOnly() const { return readOnly_; }
  void makeWritable() {
    if (immutable_) immutable_ = !setImmutable(false);
    QFile::setPermissions(
        file_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  }

 private:
  bool setImmutable(bool on) {
    const int fd = ::open(QFile::encodeName(file_).constData(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
      done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
  }
  QString file_;
  bool immutable_ = false;
  bool readOnly_ = false;
};

TEST_F(AddWindow, AFileMadeWritableAgainTakesTheNextAdditionWithoutARestart) {
  connection_.close();
  ReadOnlyFile readOnly(databaseFile_);
  if (!readOnly.readOnly()) GTEST_SKIP() << "this user cannot make a file read-only";
  connection_.open();  // as Kelpo started on a read-only catalogue
  auto window = open();
  AddWidgets ui(window.get());
  choose(*window, redPhoto_);
  MessageCapture messages;
  fill(*window, QStringLiteral("川菜"), QStringLiteral("夫妻肺片"), QStringLiteral("牛肉"),
       QStringLiteral("拌"), QString());
  ui.Button1->click();
  ASSERT_EQ(messages.records.size(), 1u);
  EXPECT_EQ(messages.records[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(messages.records[0].text.contains(QStringLiteral("readonly")))
      << messages.records[0].text.toStdString();
  testing_messages::expectReadable(messages.records[0].text, databaseFile_);
  EXPECT_EQ(storedRows(), 3);
  EXPECT_EQ(ui.Edit1->text(), QStringLiteral("夫妻肺片"));

  readOnly.makeWritable();
  messages.records.clear();
  ui.Button1->click();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("添加成功！")});
  EXPECT_EQ(storedRows(), 4);
}

TEST_F(AddWindow, TabMovesOnFromTheMultiLineBoxesAndEscapeKeepsTheRecipe) {
  auto window = open();
  AddWidgets ui(window.get());
  window->show();
  QApplication::setActiveWindow(window.get());
  for (QPlainTextEdit* memo : {ui.Memo3, ui.Memo2, ui.Memo1}) {
    SCOPED_TRACE(memo->objectName().toStdString());
    memo->setPlainText(QStringLiteral("豆腐"));
    memo->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), memo);
    pressKey(memo, Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("豆腐"));
    EXPECT_NE(QApplication::focusWidget(), memo);
  }
  fill(*window, QStringLiteral("川菜"), QStringLiteral("半道菜"), QStringLiteral("料"), QString(),
       QString());
  expectEscapeKeepsOpen(window.get(), ui.Memo3);
  EXPECT_EQ(ui.Edit1->text(), QStringLiteral("半道菜"));
  EXPECT_EQ(ui.Memo3->toPlainText(), QStringLiteral("料"));
}

// Qt's own texts in the chooser come from its Chinese translations; the program's own
// captions stay as set, even when a folder is selected.
TEST_F(AddWindow, PictureChooserSpeaksChineseAndShowsWholeColumns) {
  auto window = std::make_unique<TAddData>(&connection_, programFolder_);
  OpenPictureDialog* dialog = window->pictureDialog();
  const QString pictures = programFolder_ + QStringLiteral("Pictures");
  const QString folder = pictures + QStringLiteral("/家常菜");
  QStringList headers;
  QString onFolder;
  QString onFile;
  QString cancel;
  std::vector<std::pair<int, int>> widths;  // column width, width its contents need
  QTimer::singleShot(0, dialog, [&] {
    dialog->setViewMode(QFileDialog::Detail);
    auto* model = dialog->findChild<QFileSystemModel*>();
    auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    const auto listed = [&](const QString& where, int rows) {
      QDeadlineTimer deadline(5000);
      while (model->rowCount(model->index(where)) < rows && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    };
    if (model && details && buttons) {
      for (int column = 0; column < model->columnCount(); ++column)
        headers << model->headerData(column, Qt::Horizontal).toString();
      cancel = buttons->button(QDialogButtonBox::Cancel)->text();
      dialog->setDirectory(pictures);
      listed(pictures, 1);
      details->selectionModel()->setCurrentIndex(
          model->index(folder), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      onFolder = buttons->button(QDialogButtonBox::Open)->text();
      dialog->setDirectory(folder);
      listed(folder, 2);
      details->selectionModel()->setCurrentIndex(
          model->index(redPhoto_), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      onFile = buttons->button(QDialogButtonBox::Open)->text();
      QCoreApplication::processEvents();
      QHeaderView* header = details->header();
      for (int column = 1; column < header->count(); ++column)
        widths.emplace_back(
            header->sectionSize(column),
            std::max(static_cast<QAbstractItemView*>(details)->sizeHintForColumn(column),
                     header->sectionSizeHint(column)));
    }
    static_cast<QDialog*>(dialog)->reject();
  });
  click(AddWidgets(window.get()).Image1, QPoint(20, 20));

  ASSERT_EQ(headers.size(), 4);
  for (const QString& header : headers) {
    ASSERT_FALSE(header.isEmpty());
    EXPECT_GE(header.front().unicode(), 0x2E80) << header.toStdString();  // Chinese
  }
  EXPECT_EQ(cancel, QStringLiteral("取消"));
  EXPECT_EQ(onFolder, QStringLiteral("打开"));
  EXPECT_EQ(onFile, QStringLiteral("打开"));
  ASSERT_EQ(widths.size(), 3u);
  for (const auto& [width, needed] : widths) EXPECT_GE(width, needed);
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
