// The catalogue window's stored SkinStream bytes, as the build embedded them.
#pragma once

#include <string>

namespace kelpo {

// Length prefix and packed skin; empty when the build embedded none.
std::string storedSkinStream();

}  // namespace kelpo
