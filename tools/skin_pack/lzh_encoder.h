// The authoring side of packed skins: an LZHUF encoder that matches the skin decoder.
#pragma once

#include <string>
#include <string_view>

namespace kelpo::skin::tools {

// Layer 2 of a skin: int32 size of `data`, then its LZHUF bit stream.
std::string packSkin(std::string_view data);

}  // namespace kelpo::skin::tools
