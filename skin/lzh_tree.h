// The adaptive Huffman model shared by the packed-skin decoder and the authoring encoder:
// the tree of 314 symbols with its frequency-ordered updates, and the position code tables.
#pragma once

#include <array>
#include <cstdint>

namespace kelpo::skin::lzh {

inline constexpr int kRingSize = 4096;    // N
inline constexpr int kLongestMatch = 60;  // F
inline constexpr int kThreshold = 2;      // a match is at least kThreshold + 1 bytes
inline constexpr int kSymbols = 256 + kLongestMatch - kThreshold;  // 314
inline constexpr int kTable = kSymbols * 2 - 1;                    // 627 nodes
inline constexpr int kRoot = kTable - 1;                           // 626
inline constexpr unsigned kMaxFrequency = 0x8000;

// Nodes 0..626 are ordered by frequency; son[n] of an inner node is the first of its two
// children (n's children are son[n] and son[n] + 1), son[n] of a leaf is the symbol + 627.
// Children always sit at an even and the following odd position, so a node's bit is n & 1.
class AdaptiveTree {
 public:
  AdaptiveTree() { reset(); }
  void reset();
  // Counts one more occurrence of the symbol and restores the order of the nodes.
  void update(int symbol);

  int son(int node) const { return son_[node]; }
  int parent(int node) const { return parent_[node]; }
  unsigned frequency(int node) const { return freq_[node]; }

 private:
  void rebuild();

  std::array<std::uint16_t, kTable + 1> freq_{};          // one sentinel after the root
  std::array<std::int16_t, kTable + kSymbols> parent_{};  // leaves' parents at symbol + 627
  std::array<std::int16_t, kTable> son_{};
};

// The upper six bits of a match position are coded with these tables: decodeCode[i] and
// decodeLength[i] for the first eight bits i read; the lower six bits follow as they are.
extern const std::array<std::uint8_t, 256> decodeCode;
extern const std::array<std::uint8_t, 256> decodeLength;

}  // namespace kelpo::skin::lzh
