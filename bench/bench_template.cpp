// Loading and saving a template of 1,000 memos; loading an old template of unnamed memos.
#include <benchmark/benchmark.h>

#include "report/core/report.h"
#include "report/expr/byte_stream.h"

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

// A template in the oldest stream form, whose records hold no names: every memo gets a
// generated one while it loads.
static std::string unnamedMemosVersion21(int count) {
  TfrWriter w;
  w.i16(0);
  w.i16(0);
  w.u8(0);  // printer name: empty
  w.u8(255);
  w.i32(9);
  w.i32(2100);
  w.i32(2970);
  for (int i = 0; i < 4; ++i) w.i32(0);
  w.u8(0);
  w.bytes(std::string(6, '\0'));
  w.i16(0);
  w.i16(1);
  w.i32(0);
  w.i32(0);
  for (int i = 0; i < count; ++i) {
    w.u8(gtMemo);
    w.u8(0);
    for (int v : {i % 500, i, 100, 20}) w.i32(v);
    w.u16(0);
    w.u16(0);
    w.i32(1);
    w.u32(0);
    w.u16(0);
    w.u32(kClNone);
    w.i32(0x22E);
    w.u8(0);            // format text
    w.bytes(std::string_view("x\0", 2));  // memo text
    w.bytes(std::string_view("Arial\0", 6));
    w.i32(10);
    w.u16(0);
    w.u32(0);
    w.u32(0);
    w.u16(0);
    w.u16(2);
    w.u32(0);
    w.u32(0xFFFFFF);
    w.u8(0);  // script
  }
  w.u8(252);
  return w.take();
}

static void BM_LoadVersion21TenThousandUnnamedMemos(benchmark::State& state) {
  const std::string s = unnamedMemosVersion21(10000);
  TfrReport r;
  for (auto _ : state) {
    r.loadFromStream(s);
    benchmark::DoNotOptimize(r.pages[0]->objects.back()->name);
  }
}
BENCHMARK(BM_LoadVersion21TenThousandUnnamedMemos)->Unit(benchmark::kMillisecond);
