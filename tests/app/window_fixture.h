// Shared fixture of the secondary window tests: an application object, a recipe file in a
// fresh program folder, and captured message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/kelpo_application.h"
#include "platform/database.h"
#include "platform/message_box.h"

namespace kelpo::testing_windows {

inline KelpoApplication& application() {
  static int argc = 1;
  static char name[] = "kelpo-window-tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's own globals may be gone by the time static objects are.
  static KelpoApplication* app = new KelpoApplication(argc, argv);
  return *app;
}

// Every box shown while it lives is recorded instead of shown, answered with OK.
class MessageCapture {
 public:
  MessageCapture() {
    setMessageHook([this](const MessageRecord& record) {
      records.push_back(record);
      if (onMessage) onMessage(record);
      return QMessageBox::Ok;
    });
  }
  ~MessageCapture() { setMessageHook({}); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  QStringList texts() const {
    QStringList list;
    for (const auto& r : records) list << r.text;
    return list;
  }

  std::vector<MessageRecord> records;
  std::function<void(const MessageRecord&)> onMessage;
};

// A left-button click at `at`, delivered as the platform would: press, then release.
inline void click(QWidget* widget, QPoint at = QPoint(5, 5)) {
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QCoreApplication::sendEvent(widget, &release);
}

// A widget of a window by its name, as the window's form names it.
template <typename T>
T* child(QObject* window, const char* name) {
  T* found = window->findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) ADD_FAILURE() << "no widget " << name;
  return found;
}

struct Row {
  const char* category;
  const char* name;
  const char* ingredients;
  const char* method;
  const char* picture;
  const char* tips;
};

// A program folder holding the recipe file and a Pictures folder with two photographs.
class WindowTest : public testing::Test {
 protected:
  static constexpr const char* kColumns =
      "create table 饮食 (类别 text, 菜谱 %1, 配料 text, 方法 text, 图片 varchar(40), 提示 text, "
      "特点 text default '家常')";

  void SetUp() override {
    application();
    ASSERT_TRUE(folder_.isValid());
    programFolder_ = folder_.path() + QStringLiteral("/app/");
    ASSERT_TRUE(QDir().mkpath(programFolder_ + QStringLiteral("Pictures/家常菜")));
    databaseFile_ = programFolder_ + QStringLiteral("Kelpo.db");
    QFile file(databaseFile_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));  // an empty file is an empty database
    file.close();
    redPhoto_ = programFolder_ + QStringLiteral("Pictures/家常菜/红烧肉.jpg");
    bluePhoto_ = programFolder_ + QStringLiteral("Pictures/家常菜/清蒸鱼.bmp");
    ASSERT_TRUE(solid(Qt::red, 40, 30).save(redPhoto_, "JPG"));
    ASSERT_TRUE(solid(Qt::blue, 30, 40).save(bluePhoto_, "BMP"));
    connection_.setConnectionString(QStringLiteral("Data Source=") + databaseFile_);
    connection_.open();
  }
  void TearDown() override { connection_.close(); }

  static QImage solid(Qt::GlobalColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
  }

  void createTable(const char* nameColumn = "text") {
    connection_.execute(QString::fromUtf8(kColumns).arg(QString::fromUtf8(nameColumn)));
  }
  void insert(const Row& row) {
    QVariantList values;
    for (const char* v :
         {row.category, row.name, row.ingredients, row.method, row.picture, row.tips})
      values << (v ? QVariant(QString::fromUtf8(v)) : QVariant());
    connection_.execute(QString::fromUtf8("insert into 饮食 (类别, 菜谱, 配料, 方法, 图片, 提示) "
                                          "values (?, ?, ?, ?, ?, ?)"),
                        values);
  }

  // The rows of a statement on a fresh connection, each as its columns' texts.
  std::vector<QStringList> rows(const char* sql) {
    Connection reader;
    reader.setConnectionString(QStringLiteral("Data Source=") + databaseFile_);
    reader.open();
    Query query;
    query.setConnection(&reader);
    query.setSql(QString::fromUtf8(sql));
    query.open();
    std::vector<QStringList> result;
    const QStringList fields = query.fieldNames();
    for (; !query.eof(); query.next()) {
      QStringList row;
      for (const QString& field : fields)
        row << (query.isNull(field) ? QStringLiteral("<null>") : query.text(field));
      result.push_back(row);
    }
    return result;
  }

  QTemporaryDir folder_;
  QString programFolder_;
  QString databaseFile_;
  QString redPhoto_;
  QString bluePhoto_;
  Connection connection_;
};

}  // namespace kelpo::testing_windows
