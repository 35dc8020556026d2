// Speed of the per-record work of memo output: a field reference resolved through the field
// cache, and a float formatted with a number pattern.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include "platform/database.h"
#include "platform/text.h"
#include "report/expr/dictionary.h"
#include "report/expr/engine_state.h"
#include "report/expr/formatting.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace {

using namespace kelpo;
using namespace kelpo::report;

// One recipe row in a temporary catalogue, its query owned by a form as in the program.
struct Catalogue {
  Catalogue() {
    form.setObjectName(QStringLiteral("FrmMain"));
    const QString file = folder.filePath(QStringLiteral("Kelpo.db"));
    QFile(file).open(QIODevice::WriteOnly);
    auto* connection = new Connection(&form);
    connection->setConnectionString(QStringLiteral("Data Source=") + file);
    connection->open();
    connection->execute(QString::fromUtf8("create table 饮食 (类别 text, 菜谱 text, 配料 text)"));
    connection->execute(QString::fromUtf8("insert into 饮食 values (?, ?, ?)"),
                        {QString::fromUtf8("川菜"), QString::fromUtf8("麻婆豆腐"),
                         QString::fromUtf8("豆腐、牛肉末、豆瓣酱")});
    query = new Query(&form);
    query->setObjectName(QStringLiteral("ADOQuery3"));
    query->setConnection(connection);
    query->setSql(QString::fromUtf8("select * from 饮食"));
    query->open();
    dictionary.SetOwner(&form);
    report.owner = &form;
    report.dictionary = &dictionary;
    frEngine().report = &report;
    frParser().setValueCallback(ResolveVariable);
  }
  ~Catalogue() { frEngine() = TfrEngineState{}; }

  QTemporaryDir folder;
  QObject form;
  Query* query = nullptr;
  TfrDataDictionary dictionary;
  TfrReportContext report;
};

void BM_ResolveCachedField(benchmark::State& state) {
  Catalogue catalogue;
  const std::string name = utf8ToEngine("ADOQuery3.\"菜谱\"");
  Value value;
  ResolveVariable(name, value);  // the first use fills the cache
  if (catalogue.dictionary.CacheSize() != 1) state.SkipWithError("the name was not cached");
  for (auto _ : state) {
    ResolveVariable(name, value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ResolveCachedField);

// The same, with the memo's whole per-piece work around it (inline format, formatting).
void BM_SubstituteCachedField(benchmark::State& state) {
  Catalogue catalogue;
  const std::string piece = utf8ToEngine("ADOQuery3.\"菜谱\"");
  for (auto _ : state) benchmark::DoNotOptimize(SubstituteValue(piece, nullptr));
}
BENCHMARK(BM_SubstituteCachedField);

void BM_FormatFloatPattern(benchmark::State& state) {
  double value = 1234567.891;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatFloatPattern("#,##0.00", value));
    value += 0.01;
  }
}
BENCHMARK(BM_FormatFloatPattern);

void BM_FormatValueNumber(benchmark::State& state) {
  const Value value(1234.5);
  const std::uint32_t code = format::make(format::kNumber, 1, 2, ',');
  for (auto _ : state) benchmark::DoNotOptimize(FormatValue(value, code, {}));
}
BENCHMARK(BM_FormatValueNumber);

}  // namespace
