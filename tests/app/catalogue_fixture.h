// Fixture of the catalogue and recipe store tests: an application object, a fresh program
// folder made the current directory (the database is found relative to it), recipe rows and
// photographs written into it, and captured message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <ostream>
#include <vector>

#include "app/kelpo_application.h"
#include "platform/database.h"
#include "platform/message_box.h"

// Failed comparisons print texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace kelpo::catalogue_testing {

inline KelpoApplication& application() {
  static int argc = 1;
  static char name[] = "kelpo-catalogue-tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: once a window has been shown, Qt's own globals may be gone by the time
  // static objects are.
  static KelpoApplication* app = new KelpoApplication(argc, argv);
  return *app;
}

// Every box shown while it lives is recorded instead of shown, answered with OK.
class MessageCapture {
 public:
  MessageCapture() {
    setMessageHook([this](const MessageRecord& record) {
      records.push_back(record);
      return QMessageBox::Ok;
    });
  }
  ~MessageCapture() { setMessageHook({}); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<MessageRecord> records;
};

// One recipe row; a null pointer stores a null value.
struct Recipe {
  const char* category;
  const char* name;
  const char* ingredients = "";
  const char* method = "";
  const char* picture = nullptr;
  const char* tips = "";
};

inline QString u8(const char* text) { return QString::fromUtf8(text); }

class CatalogueTest : public testing::Test {
 protected:
  void SetUp() override {
    application();
    ASSERT_TRUE(folder_.isValid());
    previousDirectory_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder_.path()));
    programFolder_ = folder_.path() + u'/';
  }
  void TearDown() override { QDir::setCurrent(previousDirectory_); }

  QString path(const QString& relative) const { return programFolder_ + relative; }

  // Writes Kelpo.db with the recipe table (or `schema` instead) and the given rows.
  void writeCatalogue(const std::vector<Recipe>& recipes,
                      const char* schema =
                          "create table 饮食 (类别 text, 菜谱 text, 配料 text, "
                          "方法 text, 图片 varchar(40), 提示 text, 特点 text)") {
    QFile file(path(QStringLiteral("Kelpo.db")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));  // an empty file is an empty database
    file.close();
    Connection db;
    db.setConnectionString(QStringLiteral("Data Source=") + file.fileName());
    db.open();
    db.execute(u8(schema));
    for (const Recipe& r : recipes) {
      QVariantList values;
      for (const char* v : {r.category, r.name, r.ingredients, r.method, r.picture, r.tips})
        values << (v ? QVariant(u8(v)) : QVariant());
      db.execute(u8("insert into 饮食 (类别, 菜谱, 配料, 方法, 图片, 提示) values (?,?,?,?,?,?)"),
                 values);
    }
  }

  // A one-colour photograph below the program folder (format from the extension).
  void writePhoto(const QString& relative, QColor colour, int width = 24, int height = 18) {
    const QString file = path(relative);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(file)) << file.toStdString();
  }

  QTemporaryDir folder_;
  QString previousDirectory_;
  QString programFolder_;
};

}  // namespace kelpo::catalogue_testing
