// Decoding of the packed skin's LZHUF bit stream.
#include "skin/lzh.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "skin/bytes.h"
#include "skin/lzh_tree.h"
#include "skin/skin_error.h"

namespace kelpo::skin {
namespace {

using namespace lzh;

// Bits are taken from the top of a 16-bit buffer that is refilled a byte at a time.
class BitInput {
 public:
  explicit BitInput(const TLZH::ReadFunction& read) : read_(read) {}

  int bit() {
    fill();
    const int b = (buffer_ >> 15) & 1;
    buffer_ = static_cast<std::uint16_t>(buffer_ << 1);
    --valid_;
    return b;
  }

  int byte() {
    fill();
    const int b = buffer_ >> 8;
    buffer_ = static_cast<std::uint16_t>(buffer_ << 8);
    valid_ -= 8;
    return b;
  }

 private:
  void fill() {
    while (valid_ <= 8) {
      buffer_ = static_cast<std::uint16_t>(buffer_ | (nextByte() << (8 - valid_)));
      valid_ += 8;
    }
  }

  unsigned nextByte() {
    if (pos_ == end_) {
      pos_ = 0;
      end_ = ended_ ? 0 : read_(block_.data(), block_.size());
      if (end_ == 0) {
        ended_ = true;
        return 0;  // past the end of the input every byte reads as 0
      }
    }
    return static_cast<unsigned char>(block_[pos_++]);
  }

  const TLZH::ReadFunction& read_;
  std::array<char, 4096> block_{};
  std::size_t pos_ = 0, end_ = 0;
  bool ended_ = false;
  std::uint16_t buffer_ = 0;
  int valid_ = 0;
};

struct DecoderState {
  AdaptiveTree tree;
  std::array<std::uint8_t, kRingSize> ring{};
};

// Packed skins are tens of kilobytes; a package this large is no skin, whatever its bits say.
constexpr std::int32_t kLargestPackage = 256 << 20;

}  // namespace

void TLZH::decode(std::uint32_t unpackedSize, const ReadFunction& read,
                  const WriteFunction& write) {
  std::unique_ptr<DecoderState> state(new (std::nothrow) DecoderState);
  if (!state) throw ElzhException(kLzhNoMemory);
  if (unpackedSize == 0) return;

  AdaptiveTree& tree = state->tree;
  auto& ring = state->ring;
  std::memset(ring.data(), ' ', kRingSize - kLongestMatch);
  unsigned r = kRingSize - kLongestMatch;
  BitInput in(read);

  std::uint32_t written = 0;
  auto put = [&](std::uint8_t c) {
    write(static_cast<char>(c));
    ring[r] = c;
    r = (r + 1) & (kRingSize - 1);
    ++written;
  };

  while (written < unpackedSize) {
    int node = tree.son(kRoot);
    while (node < kTable) node = tree.son(node + in.bit());
    const int symbol = node - kTable;
    tree.update(symbol);

    if (symbol < 256) {
      put(static_cast<std::uint8_t>(symbol));
      continue;
    }
    int i = in.byte();
    const unsigned high = decodeCode[static_cast<std::size_t>(i)];
    for (int n = decodeLength[static_cast<std::size_t>(i)] - 2; n > 0; --n) i = (i << 1) + in.bit();
    const unsigned position = (high << 6) | (static_cast<unsigned>(i) & 0x3F);
    const unsigned start = (r - position - 1) & (kRingSize - 1);
    const int length = symbol - 255 + kThreshold;
    // A match that would run past the announced size stops there: exactly U bytes come out.
    for (int k = 0; k < length && written < unpackedSize; ++k)
      put(ring[(start + static_cast<unsigned>(k)) & (kRingSize - 1)]);
  }
}

std::uint64_t TLZH::largestOutput(std::size_t packedBytes) {
  return (static_cast<std::uint64_t>(packedBytes) * 8 / 10 + 1) * kLongestMatch;
}

std::string unpackSkin(std::string_view packed) {
  if (packed.size() < 4) throw SkinDamagedError("The packed skin is too short to hold its size");
  const std::int32_t size = le32(packed.data());
  const std::string_view bits = packed.substr(4);
  if (size < 0 || static_cast<std::uint64_t>(size) > TLZH::largestOutput(bits.size()) ||
      size > kLargestPackage)
    throw SkinDamagedError("The packed skin's unpacked size (" + std::to_string(size) +
                           ") does not fit its " + std::to_string(bits.size()) + " bytes of data");
  std::string out;
  out.reserve(static_cast<std::size_t>(size));
  std::size_t pos = 0;
  TLZH::decode(
      static_cast<std::uint32_t>(size),
      [&](char* to, std::size_t wanted) {
        const std::size_t n = std::min(wanted, bits.size() - pos);
        std::memcpy(to, bits.data() + pos, n);
        pos += n;
        return n;
      },
      [&](char c) { out.push_back(c); });
  return out;
}

}  // namespace kelpo::skin
