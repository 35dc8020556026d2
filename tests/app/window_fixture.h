// Shared fixture of the secondary window tests: an application object, a recipe file in a
// fresh program folder, and captured message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
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

// A key pressed while `focus` has the keyboard focus: the key goes to it first and, when it
// does not take the key, on to its window, as the platform delivers it.
inline void pressKey(QWidget* focus, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(focus, &press);
  QCoreApplication::sendEvent(focus, &release);
}

// Escape in any box of a recipe window leaves the window open: it has no cancel button.
inline void expectEscapeKeepsOpen(QDialog* window, QWidget* focus) {
  window->show();
  QApplication::setActiveWindow(window);
  focus->setFocus();
  pressKey(focus, Qt::Key_Escape);
  EXPECT_TRUE(window->isVisible()) << "Escape in " << focus->objectName().toStdString();
  pressKey(window, Qt::Key_Escape);
  EXPECT_TRUE(window->isVisible()) << "Escape on the window";
  window->close();
  EXPECT_FALSE(window->isVisible());  // the close box still closes it
}

// Where a group box draws its caption and the top line of its frame, read from a picture of
// the box: the caption's dark pixels and the first row drawn across most of the box.
struct CaptionPlacement {
  int captionTop = -1;
  int captionBottom = -1;
  int captionLeft = -1;  // in the window's coordinates
  int frameTop = -1;
};

inline CaptionPlacement captionPlacement(QGroupBox* box) {
  const QImage image = box->grab().toImage();
  const QColor background = box->palette().color(QPalette::Window);
  CaptionPlacement found;
  // Only the strip above the box's own controls holds the caption and the frame's top.
  int height = std::min(image.height(), 30);
  for (const QWidget* control : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!control->isHidden()) height = std::min(height, control->y());
  for (int y = 0; y < height; ++y) {
    int drawn = 0;
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.lightness() < 100) {
        if (found.captionTop < 0) found.captionTop = y;
        found.captionBottom = y;
        const int left = box->mapTo(box->window(), QPoint(x, y)).x();
        if (found.captionLeft < 0 || left < found.captionLeft) found.captionLeft = left;
      }
      if (std::abs(c.lightness() - background.lightness()) > 12) ++drawn;
    }
    if (found.frameTop < 0 && drawn > image.width() / 2) found.frameTop = y;
  }
  return found;
}

// The caption sits on the frame's top line, clear of the window's edge.
inline void expectCaptionOnFrame(QGroupBox* box) {
  SCOPED_TRACE(box->title().toStdString());
  const CaptionPlacement at = captionPlacement(box);
  ASSERT_GE(at.captionTop, 0) << "no caption drawn";
  ASSERT_GE(at.frameTop, 0) << "no frame drawn";
  EXPECT_LT(at.captionTop, at.frameTop);
  EXPECT_GT(at.captionBottom, at.frameTop);
  EXPECT_GE(at.captionLeft, 5);
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
