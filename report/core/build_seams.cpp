#include "report/core/build_seams.h"

#include <cmath>

#include "report/expr/memo_expand.h"

namespace kelpo::report {

namespace {

std::int32_t fontPixels(const TfrMemoView& m) {
  return static_cast<std::int32_t>(std::lround(m.font.size * 96.0 / 72.0));
}
std::int32_t lineHeight(const TfrMemoView& m) { return m.lineSpacing + fontPixels(m); }
std::int32_t frameTwice(const TfrView& v) {
  return static_cast<std::int32_t>(std::nearbyint(v.frameWidth * 2));
}

// The lines a memo still has to print in split output, kept between its parts.
TfrStrings expandMemo(TfrMemoView& m) {
  return ExpandMemo(m.memo, nullptr, (m.flags & flTextOnly) != 0);
}

}  // namespace

void EmitView(TfrView* view, TfrWriter& stream, int drawMode) {
  auto* memo = dynamic_cast<TfrMemoView*>(view);
  if (!memo) {
    view->EmitPrepared(stream);
    return;
  }
  if (drawMode == 0 && !memo->script.empty() && frScriptRunner()) frScriptRunner()(*memo);
  if (drawMode != 2) memo->memo1 = expandMemo(*memo);
  if (!memo->visible) return;
  if (drawMode != 2) {
    memo->writePreparedRecord(stream);
    return;
  }
  // Part output: the whole lines that fit, the rest kept for the next part.
  const std::int32_t lh = lineHeight(*memo);
  const std::int32_t room = memo->dy + 1 - memo->gapY;
  const std::size_t fit = room > 0 ? static_cast<std::size_t>(room / lh) : 0;
  TfrStrings all = memo->memo1;
  TfrStrings part(all.begin(),
                  all.begin() + static_cast<std::ptrdiff_t>(std::min(fit, all.size())));
  memo->memo1 = part;
  memo->writePreparedRecord(stream);
  memo->memo1.assign(all.begin() + static_cast<std::ptrdiff_t>(part.size()), all.end());
}

std::int32_t ViewCalcHeight(TfrView* view) {
  auto* memo = dynamic_cast<TfrMemoView*>(view);
  if (!memo) return static_cast<TfrStretcheable*>(view)->CalcHeight();
  if (!memo->visible) return 0;
  memo->memo1 = expandMemo(*memo);
  return static_cast<std::int32_t>(memo->memo1.size()) * lineHeight(*memo) + 2 * memo->gapY;
}

std::int32_t ViewMinHeight(TfrView* view) {
  auto* memo = dynamic_cast<TfrMemoView*>(view);
  if (!memo) return static_cast<TfrStretcheable*>(view)->MinHeight();
  return frameTwice(*memo) + memo->lineSpacing + 2 * memo->gapY + fontPixels(*memo);
}

std::int32_t ViewRemainHeight(TfrView* view) {
  auto* memo = dynamic_cast<TfrMemoView*>(view);
  if (!memo) return static_cast<TfrStretcheable*>(view)->RemainHeight();
  const std::int32_t fw = frameTwice(*memo);
  return 2 * memo->gapY + fw + ((memo->dy - fw - 2 * memo->gapY) % lineHeight(*memo));
}

}  // namespace kelpo::report
