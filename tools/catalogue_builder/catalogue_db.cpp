// SQLite writer of the sample catalogue.
#include "tools/catalogue_builder/catalogue_db.h"

#include <sqlite3.h>

#include <QFile>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace kelpo::catalogue {
namespace {

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

[[noreturn]] void fail(sqlite3* db, const std::string& what) {
  throw std::runtime_error(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

void execute(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(db, sql);
}

}  // namespace

void writeDatabase(const QList<Recipe>& recipes, const QString& path) {
  const QString temporary = path + QStringLiteral(".new");
  QFile::remove(temporary);
  try {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(temporary.toUtf8().constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, DbCloser> db(raw);
    if (opened != SQLITE_OK) fail(raw, "cannot create " + temporary.toStdString());

    execute(db.get(),
            "CREATE TABLE 饮食 (类别 TEXT, 菜谱 TEXT, 配料 TEXT, 方法 TEXT, 图片 TEXT, "
            "提示 TEXT, 特点 TEXT)");
    execute(db.get(), "CREATE INDEX 饮食_类别 ON 饮食 (类别)");
    execute(db.get(), "CREATE INDEX 饮食_菜谱 ON 饮食 (菜谱)");
    execute(db.get(), "BEGIN");

    sqlite3_stmt* rawStatement = nullptr;
    if (sqlite3_prepare_v2(db.get(),
                           "INSERT INTO 饮食 (类别, 菜谱, 配料, 方法, 图片, 提示, 特点) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)",
                           -1, &rawStatement, nullptr) != SQLITE_OK)
      fail(db.get(), "cannot prepare the insert");
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> insert(rawStatement);

    for (const Recipe& recipe : recipes) {
      const QString values[] = {recipe.category, recipe.name, recipe.ingredients, recipe.method,
                                recipe.picture,  recipe.tips, recipe.features};
      for (int i = 0; i < 7; ++i) {
        const QByteArray utf8 = values[i].toUtf8();
        sqlite3_bind_text(insert.get(), i + 1, utf8.constData(), static_cast<int>(utf8.size()),
                          SQLITE_TRANSIENT);
      }
      if (sqlite3_step(insert.get()) != SQLITE_DONE)
        fail(db.get(), "cannot insert " + recipe.name.toStdString());
      sqlite3_reset(insert.get());
    }
    insert.reset();
    execute(db.get(), "COMMIT");
  } catch (...) {
    QFile::remove(temporary);  // the connection is closed by now: unwinding ran its closer
    throw;
  }
  // rename() replaces an existing file in one step; QFile::rename would refuse.
  if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) !=
      0) {
    QFile::remove(temporary);
    throw std::runtime_error("cannot move the new catalogue to " + path.toStdString());
  }
}

}  // namespace kelpo::catalogue
