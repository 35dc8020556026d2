// Where a picture view draws its picture: the target rectangle for Stretched, KeepAspect and
// Center (the view class itself is declared with the other views).
#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>

#include "report/core/view.h"

namespace kelpo::report {

// The rectangle a picture of `picture` pixels is stretched into, for a view whose scaled
// drawing rectangle is `drawRect` (right and bottom exclusive) and scaled size `objectSize`,
// at the scale in force, by the view's flags.
QRect pictureTarget(const QRect& drawRect, QSize objectSize, QSize picture, double scaleX,
                    double scaleY, std::uint16_t flags);

}  // namespace kelpo::report
