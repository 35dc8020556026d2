// Painting shared by every view: rounding of scaled geometry, the frame pen and its styles.
// The view operations themselves (ApplyScale, PaintBackground, PaintFrame, band alignment) are
// declared with the view classes.
#pragma once

#include <QColor>
#include <cstdint>

namespace kelpo::report {

// x rounded to the nearest whole number, halves to even.
int roundEven(double x);

// A colour value (0x00BBGGRR, 0xFF0000nn system colour) as a Qt colour; kClNone gives an
// invalid colour.
QColor colorFromValue(std::uint32_t value);

}  // namespace kelpo::report
