// Reading and writing the length-prefixed SkinStream property.
#include "skin/skin_stream.h"

#include "skin/bytes.h"
#include "skin/skin_error.h"

namespace kelpo::skin {

std::string readSkinStream(std::string_view property) {
  if (property.size() < 4)
    throw SkinDamagedError("The stored skin is too short to hold its length");
  const std::int32_t length = le32(property.data());
  if (length < 0 || static_cast<std::size_t>(length) > property.size() - 4)
    throw SkinDamagedError("The stored skin's length (" + std::to_string(length) +
                           ") runs past its " + std::to_string(property.size() - 4) + " bytes");
  return std::string(property.substr(4, static_cast<std::size_t>(length)));
}

std::string writeSkinStream(std::string_view packed) {
  std::string out;
  out.reserve(packed.size() + 4);
  appendLe32(out, static_cast<std::int32_t>(packed.size()));
  out.append(packed);
  return out;
}

bool isSkinStream(std::string_view bytes) {
  return bytes.size() >= 4 && le32(bytes.data()) >= 0 &&
         static_cast<std::size_t>(le32(bytes.data())) == bytes.size() - 4;
}

}  // namespace kelpo::skin
