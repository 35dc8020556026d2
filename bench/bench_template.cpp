// Loading and saving a template of 1,000 memos.
#include <benchmark/benchmark.h>

#include "report/core/report.h"

using namespace kelpo::report;

static void fillThousandMemos(TfrReport& r) {
  TfrPage* p = r.pages.add();
  for (int i = 0; i < 1000; ++i) {
    auto m = std::make_unique<TfrMemoView>();
    m->name = "Memo" + std::to_string(i + 1);
    m->x = 10 + i % 50;
    m->y = i;
    m->dx = 200;
    m->dy = 18;
    m->memo = {"[ADOQuery3.\"Field" + std::to_string(i % 7) + "\"]", "second line"};
    p->objects.push_back(std::move(m));
  }
}

static void BM_SaveTemplate1000Memos(benchmark::State& state) {
  TfrReport r;
  fillThousandMemos(r);
  for (auto _ : state) {
    std::string s = r.saveToStream(1.0);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_SaveTemplate1000Memos)->Unit(benchmark::kMillisecond);

static void BM_LoadTemplate1000Memos(benchmark::State& state) {
  TfrReport source;
  fillThousandMemos(source);
  std::string s = source.saveToStream(1.0);
  TfrReport r;
  for (auto _ : state) {
    r.loadFromStream(s);
    benchmark::DoNotOptimize(r.pages.count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_LoadTemplate1000Memos)->Unit(benchmark::kMillisecond);
