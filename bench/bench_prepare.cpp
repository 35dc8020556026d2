// Preparing a list report of 10,000 records from SQLite: A4, one data band of three 9-point text
// fields (id, name, price), 57 rows a page, 176 pages; with Latin and with Chinese names, and
// with a SUM of the prices in a report summary and a script on the data band that colours the
// prices over 100. Also the prepared list written to a PDF file through the print run.
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QGuiApplication>
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
  explicit ListReport(bool chinese, bool scripted = false) {
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
    // Bands and memos 18 units high, in 9-point text.
    auto addBand = [page](const char* name, int type, std::int32_t y) {
      auto band = std::make_unique<TfrBandView>();
      band->name = name;
      band->frameTyp = static_cast<std::uint16_t>(type);
      band->y = y;
      band->dx = 700;
      band->dy = 18;
      page->objects.push_back(std::move(band));
      return static_cast<TfrBandView*>(page->objects.back().get());
    };
    auto addMemo = [page](std::string name, std::int32_t x, std::int32_t y, std::int32_t width,
                          const char* text) {
      auto memo = std::make_unique<TfrMemoView>();
      memo->name = std::move(name);
      memo->x = x;
      memo->y = y;
      memo->dx = width;
      memo->dy = 18;
      memo->font.size = 9;
      memo->flags = flWordWrap;
      memo->memo = {text};
      page->objects.push_back(std::move(memo));
    };
    TfrBandView* data = addBand("MasterData1", 5, 100);
    data->formatStr = "ItemsData";
    const char* fields[] = {"[Items.\"id\"]", "[Items.\"name\"]", "[Items.\"price\"]"};
    const int xs[] = {20, 100, 500}, widths[] = {70, 390, 120};
    for (int i = 0; i < 3; ++i)
      addMemo("Memo" + std::to_string(i + 1), xs[i], 100, widths[i], fields[i]);
    if (!scripted) return;
    data->script = {"if [price] > 100 then Memo1.Font.Color := clRed"};
    addBand("ReportSummary1", 1, 200);
    addMemo("Total", 500, 200, 120, "[SUM([price])]");
  }

  QTemporaryDir folder;
  QObject form;
  TfrReport* report = nullptr;
};

void prepareList(benchmark::State& state, bool chinese, bool scripted = false) {
  ListReport list(chinese, scripted);
  for (auto _ : state) {
    list.report->PrepareReport();
    benchmark::DoNotOptimize(list.report->emfPages.count());
  }
  if (list.report->emfPages.count() != 176) state.SkipWithError("expected 176 pages");
  if (scripted) {
    // The total of 10,000 prices i * 0.25 + 3 is 12,531,250; it is the page's last object.
    auto& last = list.report->emfPages[175];
    list.report->emfPages.readObjects(175);
    const auto& objects = last.page->objects;
    if (objects.empty() || objects.back()->memo.empty() || objects.back()->memo[0] != "12531250")
      state.SkipWithError("wrong summary total");
  }
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
  state.counters["pages/s"] = benchmark::Counter(176.0 * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
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

static void BM_PrepareList10000SumAndScript(benchmark::State& state) {
  prepareList(state, false, true);
}
BENCHMARK(BM_PrepareList10000SumAndScript)->Unit(benchmark::kMillisecond);
