// Little-endian int32 fields of the skin's stream layers, read and written byte by byte.
#pragma once

#include <cstdint>
#include <string>

namespace kelpo::skin {

inline std::int32_t le32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::int32_t>(std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 |
                                   std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24);
}

inline void appendLe32(std::string& to, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) to.push_back(static_cast<char>((v >> shift) & 0xFF));
}

}  // namespace kelpo::skin
