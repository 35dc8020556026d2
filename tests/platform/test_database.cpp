// The database layer against real SQLite files: connection strings, static cursors, bound
// values, appending, and a second process writing the same file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "platform/database.h"
#include "platform/error.h"
#include "platform/text.h"

namespace kelpo {
namespace {

const QString kConnection = QStringLiteral(
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=Kelpo.mdb;Persist Security Info=False;"
    "Jet OLEDB:Database Password=pantry-key-714");

// A catalogue file in a fresh folder that is the current directory while the test runs, as
// the program finds its file.
class Database : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    previous_ = QDir::currentPath();
    QDir::setCurrent(folder_.path());
    QFile file(QStringLiteral("Kelpo.mdb"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));  // an empty file is an empty database
    file.close();
    connection_.setConnectionString(kConnection);
    connection_.open();
    connection_.execute(QString::fromUtf8(
        "create table 饮食 (类别 text, 菜谱 varchar(50), 配料 text, 方法 text, 图片 "
        "varchar(40), 提示 text, 特点 text default '家常')"));
    const char* rows[][6] = {
        {"川菜", "麻婆豆腐", "豆腐\r\n牛肉", "炒", "\\Pictures\\川菜\\1.jpg", "辣"},
        {"川菜", "回锅肉", "猪肉", "煮后炒", "\\Pictures\\川菜\\2.jpg", nullptr},
        {"粤菜", "白切鸡", "鸡", "煮", nullptr, "无"},
    };
    for (const auto& r : rows) {
      QVariantList values;
      for (const char* v : r) values << (v ? QVariant(QString::fromUtf8(v)) : QVariant());
      connection_.execute(QString::fromUtf8("insert into 饮食 (类别, 菜谱, 配料, 方法, 图片, 提示) "
                                            "values (?, ?, ?, ?, ?, ?)"),
                          values);
    }
  }
  void TearDown() override {
    connection_.close();
    QDir::setCurrent(previous_);
  }

  // Runs a statement on a fresh query and returns it open.
  std::unique_ptr<Query> run(const char* sql, const QVariantList& parameters = {}) {
    auto query = std::make_unique<Query>();
    query->setConnection(&connection_);
    query->setSql(QString::fromUtf8(sql));
    query->setParameters(parameters);
    query->open();
    return query;
  }
  int rowCount() { return run("select * from 饮食")->recordCount(); }

  QTemporaryDir folder_;
  QString previous_;
  Connection connection_;
};

TEST_F(Database, OpenFailsNamingAMissingOrDamagedFile) {
  QFile junk(QStringLiteral("junk.mdb"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(4096, 'x'));
  junk.close();
  struct Case {
    const char* connection;
    const char* named;
  };
  const Case cases[] = {
      {"Provider=x;Data Source=gone.mdb;", "gone.mdb"},
      {"data source = 'junk.mdb' ; Other=1", "junk.mdb"},
      {"Provider=x", "Data Source"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.connection);
    Connection other;
    other.setConnectionString(QString::fromUtf8(c.connection));
    try {
      other.open();
      ADD_FAILURE() << "opened";
    } catch (const DatabaseError& e) {
      EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
    }
    EXPECT_FALSE(other.isOpen());
  }
  EXPECT_FALSE(QFile::exists(QStringLiteral("gone.mdb")));  // never created
}

TEST_F(Database, ConnectionStringValuesMayBeQuoted) {
  Connection c;
  c.setConnectionString(QStringLiteral("A=1;DATA SOURCE=\"my;file.db\";B=2"));
  EXPECT_EQ(c.dataSource(), QStringLiteral("my;file.db"));
  c.setConnectionString(kConnection);
  EXPECT_EQ(c.dataSource(), QStringLiteral("Kelpo.mdb"));
}

TEST_F(Database, ReadsFieldsByNameWithNullAsEmptyText) {
  auto q = run("select * from 饮食 where 菜谱 = ?", {QString::fromUtf8("白切鸡")});
  ASSERT_EQ(q->recordCount(), 1);
  EXPECT_EQ(q->text(QString::fromUtf8("类别")), QString::fromUtf8("粤菜"));
  EXPECT_EQ(q->engineText(QString::fromUtf8("类别")), fromQString(QString::fromUtf8("粤菜")));
  EXPECT_TRUE(q->isNull(QString::fromUtf8("图片")));
  EXPECT_EQ(q->text(QString::fromUtf8("图片")), QString());
  EXPECT_EQ(q->text(QString::fromUtf8("特点")), QString::fromUtf8("家常"));
  EXPECT_EQ(q->fieldNames().size(), 7);

  auto crlf = run("select 配料 as Items from 饮食 where 菜谱 = ?", {QString::fromUtf8("麻婆豆腐")});
  EXPECT_EQ(crlf->text(QStringLiteral("iTEMS")), QString::fromUtf8("豆腐\r\n牛肉"));
  EXPECT_THROW(crlf->text(QStringLiteral("nothing")), DatabaseError);
}

TEST_F(Database, WalksRowsAsAStaticCursor) {
  auto q = run("select 菜谱 from 饮食 order by rowid");
  const QString name = QString::fromUtf8("菜谱");
  EXPECT_EQ(q->recordCount(), 3);
  EXPECT_TRUE(q->bof());
  EXPECT_FALSE(q->eof());
  QStringList seen;
  while (!q->eof()) {
    seen << q->text(name);
    q->next();
  }
  EXPECT_EQ(seen, (QStringList{QString::fromUtf8("麻婆豆腐"), QString::fromUtf8("回锅肉"),
                               QString::fromUtf8("白切鸡")}));
  EXPECT_EQ(q->text(name), QString::fromUtf8("白切鸡"));  // the last row stays current
  q->prior();
  EXPECT_FALSE(q->eof());
  EXPECT_EQ(q->text(name), QString::fromUtf8("回锅肉"));
  q->prior();
  q->prior();
  EXPECT_TRUE(q->bof());
  EXPECT_EQ(q->text(name), QString::fromUtf8("麻婆豆腐"));
  q->last();
  EXPECT_EQ(q->text(name), QString::fromUtf8("白切鸡"));
  q->first();
  EXPECT_EQ(q->recNo(), 0);

  auto empty = run("select * from 饮食 where 类别 = ?", {QStringLiteral("none")});
  EXPECT_EQ(empty->recordCount(), 0);
  EXPECT_TRUE(empty->eof());
  EXPECT_TRUE(empty->bof());
  EXPECT_EQ(empty->text(name), QString());
  EXPECT_EQ(empty->bookmark(), -1);
}

TEST_F(Database, BookmarksSurviveMoves) {
  auto q = run("select 菜谱 from 饮食 order by rowid");
  q->next();
  const Query::Bookmark mark = q->bookmark();
  q->last();
  q->next();
  EXPECT_TRUE(q->eof());
  q->gotoBookmark(mark);
  EXPECT_FALSE(q->eof());
  EXPECT_EQ(q->text(QString::fromUtf8("菜谱")), QString::fromUtf8("回锅肉"));
  EXPECT_FALSE(q->bookmarkValid(3));
  EXPECT_THROW(q->gotoBookmark(3), DatabaseError);
  EXPECT_THROW(q->gotoBookmark(-1), DatabaseError);
}

TEST_F(Database, BoundValuesAreValuesNeverSql) {
  // Names that look like SQL or like a column are stored and found as plain text.
  const QString tricky[] = {QString::fromUtf8("菜谱"), QStringLiteral("say \"hi\""),
                            QStringLiteral("x' or '1'='1"), QStringLiteral(" spaced ")};
  for (const QString& name : tricky) {
    SCOPED_TRACE(name.toStdString());
    connection_.execute(QString::fromUtf8("insert into 饮食 (类别, 菜谱) values (?, ?)"),
                        {name, name});
    auto q = run("select  *  from 饮食 where 类别=?", {name});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->text(QString::fromUtf8("菜谱")), name);
  }
  // The double-quoted literal form of the windows' statements works for ordinary values.
  EXPECT_EQ(run("select  *  from 饮食 where 类别=\"川菜\"")->recordCount(), 2);
  EXPECT_EQ(run("select  *  from 饮食 where 配料  like \"%%\"")->recordCount(), 3);
  // A parameter list longer than the statement's marks is a mistake, not silently dropped.
  EXPECT_THROW(run("select * from 饮食", {1}), DatabaseError);
}

TEST_F(Database, StatementErrorsCarryMessageAndStatement) {
  try {
    run("select * from 饮食 where 菜谱=\"a\"b\"");
    ADD_FAILURE() << "ran";
  } catch (const DatabaseError& e) {
    // The message names the file for the user; the statement is kept for developers.
    const QString message = toQString(e.what());
    EXPECT_TRUE(message.contains(QStringLiteral("syntax error"))) << e.what();
    EXPECT_TRUE(message.contains(QFileInfo(QStringLiteral("Kelpo.mdb")).absoluteFilePath()))
        << e.what();
    EXPECT_FALSE(message.contains(QStringLiteral("select"))) << e.what();
    EXPECT_TRUE(toQString(e.statement()).contains(QString::fromUtf8("where 菜谱=\"a\"b\"")));
  }
}

TEST_F(Database, FieldTypesComeFromDeclaredTypes) {
  connection_.execute(QStringLiteral(
      "create table t (a INTEGER, b smallint, c TinyInt, d money, e BOOLEAN, f real, "
      "g numeric(10,2), h datetime, i blob, j varchar(20), k, l double precision)"));
  connection_.execute(QStringLiteral("insert into t values (1,2,3,4,1,6.5,7,'2024-01-02',"
                                     "x'00ff',NULL,'k',1.5)"));
  auto q = run("select *, count(*) as n from t");
  using F = FieldType;
  const std::vector<F> expected{F::Integer, F::SmallInt, F::Byte,     F::Currency, F::Boolean,
                                F::Float,   F::Float,    F::DateTime, F::Blob,     F::String,
                                F::String,  F::Float,    F::Integer};
  ASSERT_EQ(q->fieldCount(), static_cast<int>(expected.size()));
  for (int i = 0; i < q->fieldCount(); ++i) {
    SCOPED_TRACE(q->fieldInfo(i).name.toStdString());
    EXPECT_EQ(q->fieldInfo(i).type, expected[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(q->blob(QStringLiteral("i")), QByteArray("\x00\xff", 2));
  EXPECT_EQ(q->text(QStringLiteral("f")), QStringLiteral("6.5"));
  EXPECT_EQ(q->fieldInfo(QStringLiteral("H")).type, F::DateTime);
}

TEST_F(Database, PostStoresTheRowAndStandsOnIt) {
  auto q = run("SELECT  * FROM 饮食");
  q->append();
  q->setFieldValue(QString::fromUtf8("类别"), QString::fromUtf8("湘菜"));
  q->setFieldValue(QString::fromUtf8("菜谱"), QString::fromUtf8("剁椒\"鱼头"));
  q->setFieldValue(QString::fromUtf8("提示"), QString::fromUtf8("无"));
  EXPECT_THROW(q->setFieldValue(QStringLiteral("nope"), 1), DatabaseError);
  q->post();
  EXPECT_EQ(q->recordCount(), 4);
  EXPECT_EQ(q->text(QString::fromUtf8("菜谱")), QString::fromUtf8("剁椒\"鱼头"));
  EXPECT_EQ(q->text(QString::fromUtf8("特点")), QString::fromUtf8("家常"));  // the default
  EXPECT_FALSE(q->isAppending());

  auto stored = run("select * from 饮食 where 菜谱=?", {QString::fromUtf8("剁椒\"鱼头")});
  ASSERT_EQ(stored->recordCount(), 1);
  EXPECT_EQ(stored->text(QString::fromUtf8("类别")), QString::fromUtf8("湘菜"));
  EXPECT_TRUE(stored->isNull(QString::fromUtf8("图片")));
}

TEST_F(Database, AnUnpostedRowNeverReachesTheTable) {
  const QString name = QString::fromUtf8("菜谱");
  {
    auto q = run("SELECT  * FROM 饮食");
    q->append();
    q->setFieldValue(name, QStringLiteral("dropped by close"));
    q->close();
    q->open();
    q->append();
    q->setFieldValue(name, QStringLiteral("dropped by open"));
    q->open();
    q->append();
    q->setFieldValue(name, QStringLiteral("dropped by destruction"));
  }
  EXPECT_EQ(rowCount(), 3);
  auto q = run("SELECT  * FROM 饮食");
  EXPECT_THROW(q->setFieldValue(name, QStringLiteral("x")), DatabaseError);  // not appending
  EXPECT_THROW(q->post(), DatabaseError);
}

TEST_F(Database, ClosedQueriesRaiseInsteadOfCrashing) {
  Query q;
  const std::function<void()> operations[] = {
      [&] { q.open(); },  // no connection
      [&] { q.first(); }, [&] { q.next(); },   [&] { q.prior(); },       [&] { q.last(); },
      [&] { q.eof(); },   [&] { q.bof(); },    [&] { q.recordCount(); }, [&] { q.bookmark(); },
      [&] { q.gotoBookmark(0); },              [&] { q.value(QStringLiteral("a")); },
      [&] { q.fieldNames(); },                 [&] { q.append(); },
      [&] { q.setFieldValue(QStringLiteral("a"), 1); },                  [&] { q.post(); },
  };
  for (const auto& op : operations) EXPECT_THROW(op(), DatabaseError);
  EXPECT_FALSE(q.hasField(QStringLiteral("a")));

  // A connection destroyed before its query leaves the query unable to open, not dangling.
  auto gone = std::make_unique<Connection>();
  gone->setConnectionString(kConnection);
  gone->open();
  q.setConnection(gone.get());
  q.setSql(QStringLiteral("select 1"));
  gone.reset();
  EXPECT_THROW(q.open(), DatabaseError);
}

TEST_F(Database, PostWaitsForAnotherProcessAndLosesNothing) {
  const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
  if (shell.isEmpty()) GTEST_SKIP() << "the sqlite3 shell is not installed";
  // The other process takes the write lock, says so, holds it for a second, then commits.
  QProcess other;
  other.start(QStringLiteral("bash"),
              {QStringLiteral("-c"),
               QString::fromUtf8("(echo \"BEGIN IMMEDIATE; INSERT INTO 饮食(菜谱) VALUES('别人');\"; "
                                 "echo \"SELECT 'locked';\"; sleep 1; echo 'COMMIT;') | \"$0\" Kelpo.mdb"),
               shell});
  ASSERT_TRUE(other.waitForStarted());
  ASSERT_TRUE(other.waitForReadyRead(5000));
  ASSERT_TRUE(other.readAll().contains("locked"));

  auto q = run("SELECT  * FROM 饮食");
  q->append();
  q->setFieldValue(QString::fromUtf8("菜谱"), QString::fromUtf8("我的"));
  EXPECT_NO_THROW(q->post());  // waits for the other commit instead of failing
  ASSERT_TRUE(other.waitForFinished(5000));
  EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();

  EXPECT_EQ(rowCount(), 5);
  EXPECT_EQ(run("select * from 饮食 where 菜谱 in ('我的', '别人')")->recordCount(), 2);
  EXPECT_EQ(run("PRAGMA integrity_check")->text(QStringLiteral("integrity_check")),
            QStringLiteral("ok"));
}

}  // namespace
}  // namespace kelpo
