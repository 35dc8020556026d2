#include "tests/report/expr/support_data.h"

#include <QByteArray>
#include <QDir>

#include "platform/text.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace kelpo::report::testing {

std::string E(const char* utf8) { return utf8ToEngine(utf8); }

DataFixture::DataFixture() {
  form.setObjectName(QStringLiteral("FrmMain"));
  const QString file = folder.filePath(QStringLiteral("Kelpo.db"));
  {
    QFile empty(file);
    empty.open(QIODevice::WriteOnly);  // an empty file is an empty database
  }
  connection = new Connection(&form);
  connection->setObjectName(QStringLiteral("ADOConnection1"));
  connection->setConnectionString(QStringLiteral("Data Source=") + file);
  connection->open();
  connection->execute(QString::fromUtf8(
      "create table 饮食 (序号 INTEGER, 菜谱 TEXT, 价格 REAL, 已售 BOOLEAN, 日期 DATETIME, "
      "数量 SMALLINT, 图片 BLOB, 金额 MONEY, \"a.b\" TEXT)"));
  const QString insert = QString::fromUtf8(
      "insert into 饮食 (序号, 菜谱, 价格, 已售, 日期, 数量, 图片, 金额, \"a.b\") values "
      "(?, ?, ?, ?, ?, ?, ?, ?, ?)");
  connection->execute(insert, {1, QString::fromUtf8("麻婆豆腐\r\n微辣"), 12.5, 1,
                               QStringLiteral("2024-03-05 12:30:00"), 3,
                               QByteArray("\x89PNG\0bytes", 10), 7.25, QStringLiteral("dotted")});
  connection->execute(insert, {2, QString::fromUtf8("回锅肉"), QVariant(), QVariant(), QVariant(),
                               QVariant(), QVariant(), QVariant(), QVariant()});
  connection->execute(insert, {3, QString::fromUtf8("白切鸡"), 0.0, 0, QStringLiteral("2023-12-31"),
                               0, QVariant(), 0, QStringLiteral("")});
  query = addQuery("ADOQuery3", "select * from 饮食 order by 序号");
  dictionary.SetOwner(&form);
  report.owner = &form;
  report.dictionary = &dictionary;
  resetEngine();
  frEngine().report = &report;
}

DataFixture::~DataFixture() { resetEngine(); }

Query* DataFixture::addQuery(const char* name, const char* sql) {
  auto* q = new Query(&form);
  q->setObjectName(QString::fromUtf8(name));
  q->setConnection(connection);
  q->setSql(QString::fromUtf8(sql));
  q->open();
  return q;
}

void resetEngine() {
  frEngine() = TfrEngineState{};
  ScriptVariables().Clear();
  frParser().setValueCallback(ResolveVariable);
  frParser().setFunctionCallback(nullptr);
}

}  // namespace kelpo::report::testing
