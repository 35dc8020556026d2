// Small skin packages for tests: bitmaps of a given size as BMP items, and a packed skin made
// of a description and such items.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "tools/skin_pack/package_writer.h"

namespace kelpo::skin::testing {

// A BMP file of the given size, every pixel `colour`.
std::string bmpItem(int width, int height, QRgb colour = 0xFF808080);
std::string bmpItem(const QImage& image);

// Layer 2: the description as "test.ini" first, then the items.
std::string packedSkin(const std::string& description,
                       const std::vector<tools::PackageItem>& items = {});

}  // namespace kelpo::skin::testing
