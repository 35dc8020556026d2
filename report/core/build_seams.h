// The four output operations band output calls on an object: write its prepared record (draw
// mode 0 all, 2 part), the height its content needs, one line's height and the part of its
// height that holds no whole line. Memos get a stand-in layout (one line per expanded line)
// until their own layout is in place.
#pragma once

#include <cstdint>

#include "report/core/view.h"
#include "report/expr/byte_stream.h"

namespace kelpo::report {

void EmitView(TfrView* view, TfrWriter& stream, int drawMode);
std::int32_t ViewCalcHeight(TfrView* view);
std::int32_t ViewMinHeight(TfrView* view);
std::int32_t ViewRemainHeight(TfrView* view);

}  // namespace kelpo::report
