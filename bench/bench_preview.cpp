// The preview window on long reports: the first paint of a freshly opened preview, one scroll
// step (a line and a screen), and the memory the preview holds after paging through the whole
// report, for 100 and 1,000 pages of recipe text.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/fonts.h"
#include "platform/text.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "report/expr/engine_state.h"
#include "report/ui/preview_form.h"

using namespace kelpo::report;

namespace {

void ensureApplication() {
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_preview";
    static char* argv[] = {name, nullptr};
    auto* a = new QApplication(argc, argv);
    kelpo::registerFontSubstitutions();
    return a;
  }();
  (void)app;
}

// A recipe sheet's worth of text on an A4 page: 40 memos, names and cooking methods.
std::unique_ptr<TfrMemoView> recipeMemo(int i) {
  static const std::string method = kelpo::utf8ToEngine(
      "将豆腐切成小块，放入加盐的开水中焯一下捞出。锅中放油，下牛肉末炒散至酥香，加入郫县豆瓣"
      "炒出红油，再放豆豉、辣椒面、姜蒜末炒香。");
  static const std::string name = kelpo::utf8ToEngine("麻婆豆腐");
  auto m = std::make_unique<TfrMemoView>();
  m->name = "Memo" + std::to_string(i);
  m->x = 40 + (i % 2) * 340;
  m->y = 40 + (i / 2) * 50;
  m->dx = 320;
  m->dy = 48;
  m->frameTyp = 15;
  m->font.name = kelpo::utf8ToEngine("宋体");
  m->font.size = 10;
  m->memo = m->memo1 = {i % 4 ? method : name};
  return m;
}

// The prepared-report file of `pages` pages, made once per size.
const std::string& preparedFile(int pages) {
  static std::map<int, std::string> files;
  auto it = files.find(pages);
  if (it != files.end()) return it->second;
  TfrReport report;
  frDocMode() = TfrDocMode::Output;
  TfrPage a4;
  a4.changePaper(9, 2100, 2970, 7, 0);
  for (int p = 0; p < pages; ++p) {
    report.emfPages.add(a4);
    for (int i = 0; i < 40; ++i) recipeMemo(i)->EmitPrepared(report.emfPages[p].stream);
  }
  return files[pages] = report.emfPages.saveToStream();
}

// A shown preview window of the given size on `report`'s pages at 100%.
std::unique_ptr<TfrPreviewForm> openPreview(TfrReport& report, int pages) {
  report.emfPages.loadFromStream(preparedFile(pages));
  TfrPreviewForm::lastScale() = 1.0;
  TfrPreviewForm::lastZoom() = TfrPreviewZoom::pzPercent;
  auto form = std::make_unique<TfrPreviewForm>();
  form->resize(1280, 900);
  form->attach(report);
  form->show();
  return form;
}

long residentKiB() {
  long size = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Opening the preview (taking the pages, arranging them, releasing every page) and painting the
// page box for the first time.
void BM_PreviewFirstPaint(benchmark::State& state) {
  ensureApplication();
  const int pages = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    TfrReport report;
    report.emfPages.loadFromStream(preparedFile(pages));
    TfrPreviewForm::lastScale() = 1.0;
    TfrPreviewForm::lastZoom() = TfrPreviewZoom::pzPercent;
    state.ResumeTiming();
    {
      TfrPreviewForm form;
      form.resize(1280, 900);
      form.attach(report);
      form.show();
      QApplication::processEvents();  // the window is exposed and painted
      state.PauseTiming();
      // Proof that the paint drew the first page (its objects are unpacked now).
      state.counters["unpacked_pages"] = form.unpackedPageCount();
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PreviewFirstPaint)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(30);

// One scroll step through the middle of the report: the bar moves, the drawn contents move and
// the uncovered band is painted.
void BM_PreviewScrollStep(benchmark::State& state) {
  ensureApplication();
  const int pages = static_cast<int>(state.range(0));
  const int step = static_cast<int>(state.range(1));
  TfrReport report;
  auto form = openPreview(report, pages);
  QScrollBar* v = form->verticalBar();
  const int start = v->maximum() / 2;
  v->setValue(start);
  QApplication::processEvents();
  for (auto _ : state) {
    if (v->value() + step > v->maximum()) {
      state.PauseTiming();
      v->setValue(start);
      QApplication::processEvents();
      state.ResumeTiming();
    }
    v->setValue(v->value() + step);
    QApplication::processEvents();  // the paint of the uncovered band
  }
  state.counters["unpacked_pages"] = form->unpackedPageCount();
}
BENCHMARK(BM_PreviewScrollStep)
    ->Args({1000, 10})
    ->Args({1000, 200})
    ->Args({100, 10})
    ->Unit(benchmark::kMicrosecond);

// Pages through the whole report a screen at a time, painting each position, and reports what
// the preview holds afterwards beyond the packed page streams.
void BM_PreviewMemoryAfterPagingThrough(benchmark::State& state) {
  ensureApplication();
  const int pages = static_cast<int>(state.range(0));
  long heapGrowth = 0, rssGrowth = 0;
  int maxUnpacked = 0;
  for (auto _ : state) {
    TfrReport report;
    report.emfPages.loadFromStream(preparedFile(pages));
    malloc_trim(0);
    const long heapBefore = static_cast<long>(mallinfo2().uordblks);
    const long rssBefore = residentKiB();
    TfrPreviewForm::lastScale() = 1.0;
    TfrPreviewForm::lastZoom() = TfrPreviewZoom::pzPercent;
    TfrPreviewForm form;
    form.resize(1280, 900);
    form.attach(report);
    form.show();
    QApplication::processEvents();
    QScrollBar* v = form.verticalBar();
    while (v->value() < v->maximum()) {
      v->setValue(v->value() + v->pageStep());
      QApplication::processEvents();
      maxUnpacked = std::max(maxUnpacked, form.unpackedPageCount());
    }
    malloc_trim(0);
    heapGrowth = static_cast<long>(mallinfo2().uordblks) - heapBefore;
    rssGrowth = residentKiB() - rssBefore;
  }
  state.counters["heap_growth_KiB"] = static_cast<double>(heapGrowth) / 1024;
  state.counters["rss_growth_KiB"] = static_cast<double>(rssGrowth);
  state.counters["max_unpacked_pages"] = maxUnpacked;
}
BENCHMARK(BM_PreviewMemoryAfterPagingThrough)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
