// Preparing a list report of 10,000 records from SQLite: A4, one data band of three 9-point text
// fields (id, name, price), 57 rows a page, 176 pages; with Latin and with Chinese names. Also
// the prepared list written to a PDF file through the print run.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/database.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "report/ui/print_run.h"

using namespace kelpo;
using namespace kelpo::report;

namespace {

QGuiApplication& application() {
  static int argc = 1;
  static char name[] = "bench_prepare";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
  return app;
}

class ListReport {
 public:
  explicit ListReport(bool chinese) {
    application();
    const QString file = folder.filePath(QStringLiteral("list.db"));
    QFile(file).open(QIODevice::WriteOnly);
    auto* connection = new Connection(&form);
    connection->setConnectionString(QStringLiteral("Data Source=") + file);
    connection->open();
    connection->execute(QStringLiteral("create table items (id integer, name text, price real)"));
    connection->execute(QStringLiteral("begin"));
    for (int i = 1; i <= 10000; ++i) {
      const QString name = chinese ? QString::fromUtf8("宫保鸡丁第%1号").arg(i)
                                   : QStringLiteral("Item number %1").arg(i);
      connection->execute(QStringLiteral("insert into items values (?, ?, ?)"),
                          {i, name, i * 0.25 + 3});
    }
    connection->execute(QStringLiteral("commit"));
    auto* query = new Query(&form);
    query->setObjectName(QStringLiteral("Items"));
    query->setConnection(connection);
    query->setSql(QStringLiteral("select * from items order by id"));
    query->open();
    auto* dataset = new TfrDBDataSet(&form);
    dataset->setObjectName(QStringLiteral("ItemsData"));
    dataset->SetDataSet(query);

    report = new TfrReport(&form);
    report->setObjectName(QStringLiteral("frReport1"));
    report->ShowProgress = false;
    TfrPage* page = report->pages.add();
    page->changePaper(9, 2100, 2970, 0xFFFF, 0);
    page->marginTop = 20;
    page->marginBottom = 20;  // 1,031 units of rows: 57 rows of 18
    auto band = std::make_unique<TfrBandView>();
    band->name = "MasterData1";
    band->frameTyp = 5;
    band->y = 100;
    band->dx = 700;
    band->dy = 18;
    band->formatStr = "ItemsData";
    page->objects.push_back(std::move(band));
    const char* fields[] = {"[Items.\"id\"]", "[Items.\"name\"]", "[Items.\"price\"]"};
    const int xs[] = {20, 100, 500}, widths[] = {70, 390, 120};
    for (int i = 0; i < 3; ++i) {
      auto memo = std::make_unique<TfrMemoView>();
      memo->name = "Memo" + std::to_string(i + 1);
      memo->x = xs[i];
      memo->y = 100;
      memo->dx = widths[i];
      memo->dy = 18;
      memo->font.size = 9;
      memo->flags = flWordWrap;
      memo->memo = {fields[i]};
      page->objects.push_back(std::move(memo));
    }
  }

  QTemporaryDir folder;
  QObject form;
  TfrReport* report = nullptr;
};

void prepareList(benchmark::State& state, bool chinese) {
  ListReport list(chinese);
  for (auto _ : state) {
    list.report->PrepareReport();
    benchmark::DoNotOptimize(list.report->emfPages.count());
  }
  if (list.report->emfPages.count() != 176) state.SkipWithError("expected 176 pages");
  state.counters["pages"] = list.report->emfPages.count();
  state.counters["records/s"] = benchmark::Counter(
      10000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void writePdf(benchmark::State& state, bool chinese) {
  ListReport list(chinese);
  list.report->PrepareReport();
  const QString file = list.folder.filePath(QStringLiteral("list.pdf"));
  for (auto _ : state) {
    auto target = makePdfTarget(file);
    printPreparedReport(*list.report, {}, *target);
  }
  if (list.report->emfPages.count() != 176) state.SkipWithError("expected 176 pages");
  state.counters["pages/s"] = benchmark::Counter(
      176.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bytes"] = static_cast<double>(QFileInfo(file).size());
}

}  // namespace

static void BM_PdfList10000(benchmark::State& state) { writePdf(state, false); }
BENCHMARK(BM_PdfList10000)->Unit(benchmark::kMillisecond);

static void BM_PdfList10000Chinese(benchmark::State& state) { writePdf(state, true); }
BENCHMARK(BM_PdfList10000Chinese)->Unit(benchmark::kMillisecond);

static void BM_PrepareList10000(benchmark::State& state) { prepareList(state, false); }
BENCHMARK(BM_PrepareList10000)->Unit(benchmark::kMillisecond);

static void BM_PrepareList10000Chinese(benchmark::State& state) { prepareList(state, true); }
BENCHMARK(BM_PrepareList10000Chinese)->Unit(benchmark::kMillisecond);
