// The image list "SKINMENUGLYPHS" of the skinned window menu.
#pragma once

#include <QImage>

namespace kelpo::skin {

// 64 x 16 pixels, one bit per pixel: restore, maximise, minimise and close, 16 x 16 each;
// colour index 0 (white) is the clear background.
QImage menuGlyphImage();

}  // namespace kelpo::skin
