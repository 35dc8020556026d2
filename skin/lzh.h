// TLZH: the decoder of packed skins (LZSS over a 4096-byte ring with adaptive Huffman codes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kelpo::skin {

class TLZH {
 public:
  // Gives up to `wanted` bytes into `to` and returns how many it gave; 0 at the end.
  using ReadFunction = std::function<std::size_t(char* to, std::size_t wanted)>;
  using WriteFunction = std::function<void(char byte)>;

  // Writes exactly `unpackedSize` bytes through `write`. Input that ends early is read as
  // zero bytes. Raises ElzhException when the decoder tables cannot be allocated; the tables
  // are released however decoding ends.
  static void decode(std::uint32_t unpackedSize, const ReadFunction& read,
                     const WriteFunction& write);

  // The most bytes `packedBits` bytes of bit stream can stand for: a match of 60 bytes costs
  // at least 10 bits (one for its length symbol, nine for its position).
  static std::uint64_t largestOutput(std::size_t packedBytes);
};

// Layer 2 of a skin: int32 unpacked size U, then the bit stream. Returns the U bytes.
// Raises SkinDamagedError for a missing or negative size, a size the stream could not produce
// (so a forged size can never make us allocate more than the input justifies), or a package
// above 256 MiB.
std::string unpackSkin(std::string_view packed);

}  // namespace kelpo::skin
