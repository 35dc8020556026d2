// The preview toolbar's glyphs, drawn by the program at 32 x 32 in one style: dark outlines,
// flat fills, transparent background.
#pragma once

#include <QImage>

namespace kelpo::report {

enum class PreviewGlyph { Zoom, Open, Save, Print, Find, Help, Exit, PageUp, PageDown };

QImage previewGlyph(PreviewGlyph glyph);

}  // namespace kelpo::report
