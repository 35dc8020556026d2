// The database layer against real SQLite files: cursor moves, fields, bound values, appending,
// and a second process writing the same file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "platform/database.h"
#include "platform/error.h"
#include "platform/text.h"

namespace kelpo {
namespace {

class DatabaseTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    file_ = dir_.filePath("t.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file_.toUtf8().constData(), &db), SQLITE_OK);
    const char* schema =
        "create table 饮食 (类别 text, 菜谱 text, 配料 text, 份数 integer, 价格 real, 图 blob);"
        "insert into 饮食 values ('川菜', '麻婆豆腐', '豆腐', 2, 12.5, x'0102');"
        "insert into 饮食 values ('川菜', '回锅肉', null, null, null, null);"
        "insert into 饮食 values ('汤', '菜谱', 'a\"b', 1, 1, null);";
    ASSERT_EQ(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    connection_.setConnectionString("Provider=x;Data Source=" + file_ + ";Persist Security Info=False");
    connection_.open();
  }
  int countRows() {
    Query q;
    q.setConnection(&connection_);
    q.setSql("select * from 饮食");
    q.open();
    return q.recordCount();
  }
  QTemporaryDir dir_;
  QString file_;
  Connection connection_;
};

TEST_F(DatabaseTest, MissingOrForeignFileNamesIt) {
  for (const QString& name : {dir_.filePath("nothere.db"), dir_.filePath("junk.db")}) {
    if (name.endsWith("junk.db")) {
      QFile f(name);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(QByteArray(4096, 'x'));
    }
    Connection c;
    c.setConnectionString("Data Source=" + name);
    try {
      c.open();
      ADD_FAILURE() << "opened " << name.toStdString();
    } catch (const DatabaseError& e) {
      EXPECT_NE(toQString(e.message()).indexOf(name), -1) << e.what();
    }
    EXPECT_FALSE(c.isOpen());
  }
  EXPECT_FALSE(QFile::exists(dir_.filePath("nothere.db")));  // never created
}

TEST_F(DatabaseTest, StaticCursorMovesCountsAndBookmarks) {
  Query q;
  q.setConnection(&connection_);
  q.setSql("select * from 饮食");
  q.open();
  EXPECT_EQ(q.recordCount(), 3);
  EXPECT_FALSE(q.eof());
  EXPECT_EQ(q.text("菜谱"), QString("麻婆豆腐"));
  const Query::Bookmark first = q.bookmark();
  q.next();
  EXPECT_EQ(q.text("菜谱"), QString("回锅肉"));
  EXPECT_TRUE(q.isNull("配料"));
  EXPECT_EQ(q.text("配料"), QString());  // null reads as empty text
  q.next();
  q.next();
  EXPECT_TRUE(q.eof());
  EXPECT_EQ(q.text("菜谱"), QString("菜谱"));  // the last row stays current
  q.prior();
  EXPECT_FALSE(q.eof());
  q.gotoBookmark(first);
  EXPECT_EQ(q.engineText("菜谱"), fromQString("麻婆豆腐"));
  EXPECT_THROW(q.gotoBookmark(99), DatabaseError);
  EXPECT_THROW(q.value("nosuch"), DatabaseError);
  EXPECT_EQ(q.fieldNames(), QStringList({"类别", "菜谱", "配料", "份数", "价格", "图"}));
  EXPECT_EQ(q.fieldInfo("份数").type, FieldType::Integer);
  EXPECT_EQ(q.fieldInfo("价格").type, FieldType::Float);
  EXPECT_EQ(q.fieldInfo("图").type, FieldType::Blob);
  EXPECT_EQ(q.fieldInfo("类别").type, FieldType::String);
  EXPECT_EQ(q.blob("图"), QByteArray("\x01\x02", 2));

  q.setSql("select * from 饮食 where 类别 = '没有'");
  q.open();
  EXPECT_EQ(q.recordCount(), 0);
  EXPECT_TRUE(q.eof());
  EXPECT_EQ(q.text("菜谱"), QString());
  q.close();
  EXPECT_THROW(q.recordCount(), DatabaseError);
}

TEST_F(DatabaseTest, BoundValuesMatchTextNotColumns) {
  Query q;
  q.setConnection(&connection_);
  // A value named like a column, and one with a double quote, are values.
  const std::pair<const char*, QString> cases[] = {
      {"select * from 饮食 where 菜谱=?", "菜谱"},
      {"select * from 饮食 where 配料=?", "a\"b"},
  };
  for (const auto& [sql, value] : cases) {
    q.clearSql();
    q.setSql(sql);
    q.setParameters({value});
    q.open();
    EXPECT_EQ(q.recordCount(), 1) << sql;
    EXPECT_EQ(q.text("类别"), QString("汤"));
  }
}

TEST_F(DatabaseTest, OnlyPostedRowsReachTheTable) {
  {
    auto q = std::make_unique<Query>();
    q->setConnection(&connection_);
    q->setSql("SELECT  * FROM 饮食");
    q->open();
    q->append();
    q->setFieldValue("菜谱", "未存");
    EXPECT_THROW(q->setFieldValue("nosuch", "x"), DatabaseError);
    q->close();  // dropped
    q->open();
    q->append();
    q->setFieldValue("菜谱", "也未存");
  }  // destroyed with a started row
  EXPECT_EQ(countRows(), 3);

  Query q;
  q.setConnection(&connection_);
  q.setSql("SELECT  * FROM 饮食");
  q.open();
  q.append();
  q.setFieldValue("类别", "汤");
  q.setFieldValue("菜谱", "紫菜\"蛋花汤");
  q.post();
  EXPECT_EQ(q.text("菜谱"), QString("紫菜\"蛋花汤"));
  EXPECT_EQ(q.recordCount(), 4);
  EXPECT_EQ(countRows(), 4);
}

TEST_F(DatabaseTest, PostWaitsForAnotherWriter) {
  const QString shell = QStandardPaths::findExecutable("sqlite3");
  if (shell.isEmpty()) GTEST_SKIP() << "the sqlite3 shell is not installed";
  // The other process takes the write lock, holds it for a second, then commits its row.
  QProcess other;
  other.start("bash", {"-c",
                       "(echo \"BEGIN IMMEDIATE; INSERT INTO 饮食(菜谱) VALUES('别人');\"; "
                       "echo \"SELECT 'locked';\"; sleep 1; echo 'COMMIT;') | sqlite3 \"$0\"",
                       file_});
  ASSERT_TRUE(other.waitForStarted());
  ASSERT_TRUE(other.waitForReadyRead(5000));  // the lock is held now
  ASSERT_TRUE(other.readAll().contains("locked"));

  Query q;
  q.setConnection(&connection_);
  q.setSql("SELECT  * FROM 饮食");
  q.open();
  q.append();
  q.setFieldValue("菜谱", "我的");
  q.post();  // blocks until the other commit, then stores
  ASSERT_TRUE(other.waitForFinished(5000));
  EXPECT_EQ(other.exitCode(), 0);
  EXPECT_EQ(countRows(), 5);

  Query check;
  check.setConnection(&connection_);
  check.setSql("pragma integrity_check");
  check.open();
  EXPECT_EQ(check.text("integrity_check"), QString("ok"));
}

}  // namespace
}  // namespace kelpo
