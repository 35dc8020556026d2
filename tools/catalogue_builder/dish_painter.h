// Draws the sample photographs: one dish per recipe on a table cloth, and the placeholder
// photograph the windows show before a recipe is chosen.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "tools/catalogue_builder/catalogue_source.h"

namespace kelpo::catalogue {

inline constexpr QSize kPhotoSize{400, 300};
inline constexpr QSize kPlaceholderSize{200, 150};

// The installed font family the captions are written in. Raises std::runtime_error when no
// font with Chinese glyphs is installed: the names would come out as empty boxes.
QString captionFontFamily();

// The recipe's photograph at kPhotoSize; the same recipe always gives the same picture. The
// table cloth's colour follows the category's place in the catalogue, so neighbours differ.
QImage paintDish(const Recipe& recipe, int categoryIndex);

// An empty plate with "菜式样本", at kPlaceholderSize.
QImage paintPlaceholder();

// The application icon: a plate with a dish and a pair of chopsticks on a transparent ground,
// `size` pixels square. Drawn at 256 and scaled, so every size shows the same picture.
QImage paintIcon(int size);

// The sizes desktops look for in the icon theme's folders.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace kelpo::catalogue
