// The adaptive Huffman tree of the packed-skin coder and its position tables.
#include "skin/lzh_tree.h"

#include <algorithm>

namespace kelpo::skin::lzh {
namespace {

std::array<std::uint8_t, 256> makeCodes() {
  // Runs of equal values: 0 for 32 entries, then 1-3 sixteen times each, 4-11 eight times,
  // 12-23 four times, 24-47 twice, 48-63 once.
  std::array<std::uint8_t, 256> t{};
  std::size_t i = 0;
  auto run = [&](int from, int to, int times) {
    for (int v = from; v <= to; ++v)
      for (int k = 0; k < times; ++k) t[i++] = static_cast<std::uint8_t>(v);
  };
  run(0, 0, 32);
  run(1, 3, 16);
  run(4, 11, 8);
  run(12, 23, 4);
  run(24, 47, 2);
  run(48, 63, 1);
  return t;
}

std::array<std::uint8_t, 256> makeLengths() {
  std::array<std::uint8_t, 256> t{};
  for (std::size_t i = 0; i < 256; ++i)
    t[i] = i < 32 ? 3 : i < 80 ? 4 : i < 144 ? 5 : i < 192 ? 6 : i < 240 ? 7 : 8;
  return t;
}

}  // namespace

const std::array<std::uint8_t, 256> decodeCode = makeCodes();
const std::array<std::uint8_t, 256> decodeLength = makeLengths();

void AdaptiveTree::reset() {
  for (int i = 0; i < kSymbols; ++i) {
    freq_[i] = 1;
    son_[i] = static_cast<std::int16_t>(i + kTable);
    parent_[i + kTable] = static_cast<std::int16_t>(i);
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    freq_[j] = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
    son_[j] = static_cast<std::int16_t>(i);
    parent_[i] = parent_[i + 1] = static_cast<std::int16_t>(j);
  }
  freq_[kTable] = 0xFFFF;  // sentinel: no node ever moves past the root
  parent_[kRoot] = 0;
}

void AdaptiveTree::rebuild() {
  // Keep the leaves with halved counts, in their current order.
  int j = 0;
  for (int i = 0; i < kTable; ++i) {
    if (son_[i] >= kTable) {
      freq_[j] = static_cast<std::uint16_t>((freq_[i] + 1) / 2);
      son_[j] = son_[i];
      ++j;
    }
  }
  // Join pairs into inner nodes, each placed after every node of equal or lower frequency.
  for (int i = 0, n = kSymbols; n < kTable; i += 2, ++n) {
    const std::uint16_t f = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
    int k = n - 1;
    while (f < freq_[k]) --k;
    ++k;
    std::copy_backward(freq_.begin() + k, freq_.begin() + n, freq_.begin() + n + 1);
    std::copy_backward(son_.begin() + k, son_.begin() + n, son_.begin() + n + 1);
    freq_[k] = f;
    son_[k] = static_cast<std::int16_t>(i);
  }
  for (int i = 0; i < kTable; ++i) {
    const int k = son_[i];
    if (k >= kTable)
      parent_[k] = static_cast<std::int16_t>(i);
    else
      parent_[k] = parent_[k + 1] = static_cast<std::int16_t>(i);
  }
}

void AdaptiveTree::update(int symbol) {
  if (freq_[kRoot] >= kMaxFrequency) rebuild();
  int c = parent_[symbol + kTable];
  do {
    const unsigned k = ++freq_[c];
    int l = c + 1;
    if (k > freq_[l]) {
      // Swap with the last node of the run whose frequency is now below this one.
      while (k > freq_[++l]) {
      }
      --l;
      freq_[c] = freq_[l];
      freq_[l] = static_cast<std::uint16_t>(k);

      const int i = son_[c];
      parent_[i] = static_cast<std::int16_t>(l);
      if (i < kTable) parent_[i + 1] = static_cast<std::int16_t>(l);
      const int j = son_[l];
      son_[l] = static_cast<std::int16_t>(i);
      parent_[j] = static_cast<std::int16_t>(c);
      if (j < kTable) parent_[j + 1] = static_cast<std::int16_t>(c);
      son_[c] = static_cast<std::int16_t>(j);
      c = l;
    }
    c = parent_[c];
  } while (c != 0);
}

}  // namespace kelpo::skin::lzh
