// Packed-skin decoding and loading the stored skin into skin objects.
#include <benchmark/benchmark.h>

#include "resources/skin/stored_skin.h"
#include "skin/lzh.h"
#include "skin/skin_data.h"
#include "skin/skin_stream.h"

namespace {

using namespace kelpo::skin;

// The LZHUF decoder alone over the stored skin; bytes/s counts unpacked bytes.
void BM_DecodeStoredSkin(benchmark::State& state) {
  const std::string packed = readSkinStream(kelpo::storedSkinStream());
  std::size_t unpacked = 0;
  for (auto _ : state) {
    const std::string package = unpackSkin(packed);
    unpacked = package.size();
    benchmark::DoNotOptimize(package.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * unpacked));
}
BENCHMARK(BM_DecodeStoredSkin)->Unit(benchmark::kMillisecond);

// The whole load: SkinStream, decoding, package, description, bitmaps into skin objects.
void BM_LoadStoredSkin(benchmark::State& state) {
  const std::string stored = kelpo::storedSkinStream();
  for (auto _ : state) {
    TSkinData data;
    data.readSkinStream(stored);
    if (!data.loaded()) state.SkipWithError("the stored skin did not load");
    benchmark::DoNotOptimize(data.skin());
  }
}
BENCHMARK(BM_LoadStoredSkin)->Unit(benchmark::kMillisecond);

}  // namespace
