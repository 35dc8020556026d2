// Memo output and prepared pages: emitting recipe memos, drawing an A4 page of 60 memos, and
// saving and loading a 200-page prepared report.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "platform/fonts.h"
#include "platform/text.h"
#include "report/core/report.h"
#include "report/expr/engine_state.h"

using namespace kelpo::report;

namespace {

void ensureApplication() {
  static QGuiApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_prepared";
    static char* argv[] = {name, nullptr};
    auto* a = new QGuiApplication(argc, argv);
    kelpo::registerFontSubstitutions();
    return a;
  }();
  (void)app;
}

// About the length of one recipe's cooking method.
const std::string& recipeText() {
  static const std::string text = kelpo::utf8ToEngine(
      "将豆腐切成小块，放入加盐的开水中焯一下捞出。锅中放油，下牛肉末炒散至酥香，加入郫县豆瓣"
      "炒出红油，再放豆豉、辣椒面、姜蒜末炒香。加入适量高汤，放入豆腐块，小火烧五分钟，"
      "用水淀粉分三次勾芡，撒上花椒面和葱花即可出锅。");
  return text;
}

TfrReportContext& context() {
  static TfrReportContext c = [] {
    TfrReportContext r;
    r.OnGetValue = [](const std::string& name, Value& v) {
      if (name == "METHOD") v = Value(recipeText());
      if (name == "NAME") v = Value(kelpo::utf8ToEngine("麻婆豆腐"));
    };
    return r;
  }();
  return c;
}

std::unique_ptr<TfrMemoView> recipeMemo(int i, const char* text) {
  auto m = std::make_unique<TfrMemoView>();
  m->name = "Memo" + std::to_string(i);
  m->x = 40 + (i % 2) * 340;
  m->y = 40 + (i / 2) * 34;
  m->dx = 320;
  m->dy = 32;
  m->frameTyp = 15;
  m->font.name = kelpo::utf8ToEngine("宋体");
  m->font.size = 10;
  m->memo = {text};
  return m;
}

long peakKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// A short memo (the recipe's name): expand and write the record.
void BM_EmitShortMemo(benchmark::State& state) {
  ensureApplication();
  frEngine().report = &context();
  frDocMode() = TfrDocMode::Output;
  auto m = recipeMemo(0, "[NAME]");
  TfrWriter stream;
  stream.reserve(64 << 20);
  for (auto _ : state) {
    m->EmitPrepared(stream);
    if (stream.pos() > (60 << 20)) stream = TfrWriter();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EmitShortMemo)->Unit(benchmark::kNanosecond);

// 10,000 recipe-length memos as the build engine outputs stretched memos: height (expand and
// wrap), then the record.
void BM_Emit10000RecipeMemos(benchmark::State& state) {
  ensureApplication();
  frEngine().report = &context();
  frDocMode() = TfrDocMode::Output;
  auto m = recipeMemo(0, "[METHOD]");
  for (auto _ : state) {
    TfrWriter stream;
    for (int i = 0; i < 10000; ++i) {
      m->dy = m->CalcHeight();
      m->drawMode = TfrMemoView::drCalcHeight;
      m->EmitPrepared(stream);
    }
    benchmark::DoNotOptimize(stream.pos());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Emit10000RecipeMemos)->Unit(benchmark::kMillisecond);

void fillPages(TfrReport& report, int pages) {
  frEngine().report = &context();
  frDocMode() = TfrDocMode::Output;
  TfrPage a4;
  a4.changePaper(9, 2100, 2970, 0xFFFF, 0);
  for (int p = 0; p < pages; ++p) {
    report.emfPages.add(a4);
    for (int i = 0; i < 60; ++i) {
      auto m = recipeMemo(i, i % 3 ? "[METHOD]" : "[NAME]");
      m->EmitPrepared(report.emfPages[p].stream);
    }
  }
}

// One A4 page of 60 memos drawn at 100% (96 dpi) into an image; the page's objects are read
// once and stay cached, as in the preview.
void BM_DrawA4Page60Memos(benchmark::State& state) {
  ensureApplication();
  TfrReport report;
  fillPages(report, 1);
  TfrEMFPage& page = report.emfPages[0];
  page.visible = true;
  const int w = static_cast<int>(page.prnInfo.pw * 96 / kLayoutUnitsPerInch);
  const int h = static_cast<int>(page.prnInfo.ph * 96 / kLayoutUnitsPerInch);
  QImage image(w, h, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter canvas(&image);
    report.emfPages.draw(0, canvas, image.rect());
  }
}
BENCHMARK(BM_DrawA4Page60Memos)->Unit(benchmark::kMillisecond);

void BM_Save200Pages(benchmark::State& state) {
  ensureApplication();
  TfrReport report;
  fillPages(report, 200);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string file = report.emfPages.saveToStream();
    bytes = file.size();
    benchmark::DoNotOptimize(file);
  }
  state.counters["file_KiB"] = static_cast<double>(bytes) / 1024;
  state.counters["peak_RSS_MiB"] = static_cast<double>(peakKiB()) / 1024;
}
BENCHMARK(BM_Save200Pages)->Unit(benchmark::kMillisecond);

void BM_Load200Pages(benchmark::State& state) {
  ensureApplication();
  std::string file;
  {
    TfrReport source;
    fillPages(source, 200);
    file = source.emfPages.saveToStream();
  }
  TfrReport report;
  for (auto _ : state) {
    report.emfPages.loadFromStream(file);
    benchmark::DoNotOptimize(report.emfPages.count());
  }
  state.counters["peak_RSS_MiB"] = static_cast<double>(peakKiB()) / 1024;
}
BENCHMARK(BM_Load200Pages)->Unit(benchmark::kMillisecond);

}  // namespace
