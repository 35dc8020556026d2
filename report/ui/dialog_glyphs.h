// Small pictures the report dialogs draw for themselves: the arrows of the little up/down
// buttons, the printer icon of the printer list and the pictures of collated sheets.
#pragma once

#include <QImage>
#include <QPixmap>

namespace kelpo::report {

// A 7 x 4 arrow, pointing up or down, on a transparent background of 7 x 5.
QImage arrowGlyph(bool up);

// An 18 x 16 printer, its background already transparent.
QPixmap printerIcon();

// Three numbered sheets twice over: collated (1 2 3, 1 2 3; 74 x 53) or not (1 1, 2 2, 3 3;
// 92 x 40). Transparent where the sheets are not.
QPixmap collationPicture(bool collated);

}  // namespace kelpo::report
