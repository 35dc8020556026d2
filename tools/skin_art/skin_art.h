// Kelpo's own skin, drawn from code: every bitmap of the package and the description.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "tools/skin_pack/package_writer.h"

namespace kelpo::skin::tools {

struct SkinBitmap {
  std::string name;  // item name, lower case, ".bmp"
  QImage image;      // RGB32; 0xFF00FF where the skin is transparent
};

// The 44 bitmaps, in package order.
std::vector<SkinBitmap> drawKelpoBitmaps();
// The description text (the package's .ini item).
std::string kelpoDescription();
// The 45 package items: the bitmaps as BMP files, then "kelpo.ini".
std::vector<PackageItem> kelpoPackageItems();
// A contact sheet of every bitmap, enlarged, on a neutral ground, for looking at the skin.
QImage contactSheet(const std::vector<SkinBitmap>& bitmaps);

}  // namespace kelpo::skin::tools
