// A small recipe catalogue in a temporary SQLite file, with a form that owns the connection and
// the detail query ADOQuery3, and the engine state pointed at a report owned by that form.
#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "platform/database.h"
#include "report/expr/dictionary.h"
#include "report/expr/engine_state.h"

namespace kelpo::report::testing {

// UTF-8 source text as engine text.
std::string E(const char* utf8);

// Rows of 饮食 ordered by 序号 (1..3); row 2 holds nulls in every column but 序号 and 菜谱.
//   序号 INTEGER, 菜谱 TEXT, 价格 REAL, 已售 BOOLEAN, 日期 DATETIME, 数量 SMALLINT, 图片 BLOB,
//   金额 MONEY, a.b TEXT
class DataFixture {
 public:
  DataFixture();
  ~DataFixture();
  DataFixture(const DataFixture&) = delete;
  DataFixture& operator=(const DataFixture&) = delete;

  // A query on the catalogue owned by the form, opened on its first row.
  Query* addQuery(const char* name, const char* sql);

  QTemporaryDir folder;
  QObject form;  // named FrmMain; owns the components below
  Connection* connection = nullptr;
  Query* query = nullptr;  // ADOQuery3: select * from 饮食 order by 序号
  TfrDataDictionary dictionary;
  TfrReportContext report;
};

// Resets the program-wide engine state (and clears the script variables) for each test.
void resetEngine();

}  // namespace kelpo::report::testing
