// Building the skin objects from a package: the description item, its sections and keys with
// their defaults, and the bitmaps they name.
#pragma once

#include <QImage>
#include <memory>
#include <string_view>

#include "skin/skin_objects.h"

namespace kelpo::skin {

class TSkinReader;

// The bitmap a description value names: the value's file-name part (after the last "\", "/"
// or ":") must end in ".bmp" exactly (lower case); it is then looked up in the package. A null
// image when the name is empty or not such a file, the item is missing or empty, or its bytes
// are no bitmap.
QImage findBitmap(const TSkinReader& reader, std::string_view value);

// Reads the package's description (its first item whose name contains ".ini") and builds every
// object. Raises SkinDamagedError when the package has no description.
std::unique_ptr<SkinObjects> readSkinDescription(const TSkinReader& reader);

}  // namespace kelpo::skin
