// The exceptions the skin engine raises: the decoder's memory failures and damaged skins.
#pragma once

#include "platform/error.h"

namespace kelpo::skin {

// The decoder could not get or release its tables.
class ElzhException : public Error {
 public:
  using Error::Error;
};

inline constexpr const char* kLzhNoMemory = "LZH : Cannot get memory for dictionary tables";
inline constexpr const char* kLzhFreeFailed = "LZH : Error freeing memory for dictionary tables";

// A packed skin or skin package whose bytes cannot be a skin (sizes that point outside the
// data, too many items, no description). The component stays without a skin.
class SkinDamagedError : public Error {
 public:
  using Error::Error;
};

}  // namespace kelpo::skin
