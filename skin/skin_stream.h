// The SkinStream property of the skin data component: int32 length, then the packed skin.
#pragma once

#include <string>
#include <string_view>

namespace kelpo::skin {

// The packed skin held by stored SkinStream bytes; empty when the length is 0. Raises
// SkinDamagedError when the length is missing, negative or longer than the bytes.
std::string readSkinStream(std::string_view property);

// The property bytes for a packed skin (just the length 0 when there is none).
std::string writeSkinStream(std::string_view packed);

// True when `bytes` look like SkinStream property bytes: a length that covers exactly the rest.
bool isSkinStream(std::string_view bytes);

}  // namespace kelpo::skin
