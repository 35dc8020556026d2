// LZSS matching over the decoder's 4096-byte ring, coded with the shared adaptive tree.
#include "tools/skin_pack/lzh_encoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "skin/bytes.h"
#include "skin/lzh_tree.h"

namespace kelpo::skin::tools {
namespace {

using namespace lzh;

class BitOutput {
 public:
  explicit BitOutput(std::string& out) : out_(out) {}
  void bit(int b) {
    byte_ = static_cast<std::uint8_t>(byte_ << 1 | (b & 1));
    if (++count_ == 8) flush();
  }
  void bits(unsigned value, int n) {
    for (int i = n - 1; i >= 0; --i) bit(static_cast<int>(value >> i) & 1);
  }
  // The last byte is padded with zero bits, which the decoder also reads past the end.
  void finish() {
    if (count_ > 0) {
      byte_ = static_cast<std::uint8_t>(byte_ << (8 - count_));
      flush();
    }
  }

 private:
  void flush() {
    out_.push_back(static_cast<char>(byte_));
    byte_ = 0;
    count_ = 0;
  }
  std::string& out_;
  std::uint8_t byte_ = 0;
  int count_ = 0;
};

struct PositionCodes {
  std::array<std::uint8_t, 64> code{}, length{};
  PositionCodes() {
    // The decoder's tables hold each upper value on an aligned run of 2^(8 - length) entries,
    // so the run's first index, shifted, is the code.
    for (int i = 255; i >= 0; --i) {
      const int c = decodeCode[static_cast<std::size_t>(i)];
      length[static_cast<std::size_t>(c)] = decodeLength[static_cast<std::size_t>(i)];
      code[static_cast<std::size_t>(c)] =
          static_cast<std::uint8_t>(i >> (8 - decodeLength[static_cast<std::size_t>(i)]));
    }
  }
};

void encodeSymbol(AdaptiveTree& tree, BitOutput& out, std::vector<int>& path, int symbol) {
  // The node holding the leaf, then its ancestors: each one's bit is its own position's parity.
  path.clear();
  for (int k = tree.parent(symbol + kTable); k != kRoot; k = tree.parent(k)) path.push_back(k & 1);
  for (auto it = path.rbegin(); it != path.rend(); ++it) out.bit(*it);
  tree.update(symbol);
}

}  // namespace

std::string packSkin(std::string_view data) {
  static const PositionCodes positions;
  std::string out;
  appendLe32(out, static_cast<std::int32_t>(data.size()));
  BitOutput bits(out);
  auto tree = std::make_unique<AdaptiveTree>();
  std::vector<int> path;

  // Hash chains over three-byte prefixes; a match may reach back at most 4095 bytes, so every
  // byte it copies is still in the decoder's ring.
  constexpr int kHashBits = 14;
  constexpr int kMaxChain = 256;
  constexpr std::size_t kWindow = kRingSize - 1;
  std::vector<std::int32_t> head(1u << kHashBits, -1), prev(data.size(), -1);
  auto hash = [&](std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + i);
    return ((p[0] << 10) ^ (p[1] << 5) ^ p[2]) & ((1u << kHashBits) - 1);
  };
  auto insert = [&](std::size_t i) {
    if (i + 2 >= data.size()) return;
    const unsigned h = hash(i);
    prev[i] = head[h];
    head[h] = static_cast<std::int32_t>(i);
  };

  for (std::size_t pos = 0; pos < data.size();) {
    std::size_t bestLength = 0, bestDistance = 0;
    if (pos + kThreshold < data.size()) {
      const std::size_t limit = std::min<std::size_t>(kLongestMatch, data.size() - pos);
      int chain = kMaxChain;
      for (std::int32_t cand = head[hash(pos)]; cand >= 0 && chain-- > 0; cand = prev[cand]) {
        const std::size_t distance = pos - static_cast<std::size_t>(cand);
        if (distance > kWindow) break;
        std::size_t n = 0;
        while (n < limit && data[static_cast<std::size_t>(cand) + n] == data[pos + n]) ++n;
        if (n > bestLength) {
          bestLength = n;
          bestDistance = distance;
          if (n == limit) break;
        }
      }
    }
    if (bestLength > static_cast<std::size_t>(kThreshold)) {
      encodeSymbol(*tree, bits, path, static_cast<int>(bestLength) + 253);
      const unsigned p = static_cast<unsigned>(bestDistance - 1);
      const unsigned upper = p >> 6;
      bits.bits(positions.code[upper], positions.length[upper]);
      bits.bits(p & 0x3F, 6);
      for (std::size_t k = 0; k < bestLength; ++k) insert(pos + k);
      pos += bestLength;
    } else {
      encodeSymbol(*tree, bits, path, static_cast<unsigned char>(data[pos]));
      insert(pos);
      ++pos;
    }
  }
  bits.finish();
  return out;
}

}  // namespace kelpo::skin::tools
