// Barcode speed: encoding 10,000 EAN-13 numbers into patterns, and drawing them into an image
// (a report page with a barcode per record encodes and draws once per record and per repaint).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "report/barcode/barcode.h"

namespace {

using kelpo::report::TfrBarcode;

constexpr int kCount = 10000;

// 10,000 different twelve-digit numbers; the generator adds the check digit.
std::vector<std::string> numbers() {
  std::vector<std::string> out;
  for (int i = 0; i < kCount; ++i) {
    std::string s = std::to_string(590123400000LL + i * 7919LL);
    out.push_back(s.substr(0, 12));
  }
  return out;
}

TfrBarcode ean13() {
  TfrBarcode b;
  b.SetChecksum(true);
  b.SetHeight(60);
  return b;
}

void BM_EncodeEan13(benchmark::State& state) {
  const auto texts = numbers();
  TfrBarcode b = ean13();
  for (auto _ : state) {
    for (const auto& t : texts) {
      b.SetText(t);
      benchmark::DoNotOptimize(b.MakePattern());
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_EncodeEan13)->Unit(benchmark::kMillisecond);

void BM_DrawEan13(benchmark::State& state) {
  const auto texts = numbers();
  TfrBarcode b = ean13();
  b.SetModul(2);
  QImage image(220, 80, QImage::Format_RGB32);
  QPainter painter(&image);
  for (auto _ : state) {
    for (const auto& t : texts) {
      b.SetText(t);
      b.DrawBarcode(painter);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_DrawEan13)->Unit(benchmark::kMillisecond);

}  // namespace
