// Prepared pages and the prepared-report file.
#include "report/core/prepared_pages.h"

#include <QPainter>

#include "report/core/report.h"

namespace kelpo::report {

namespace {
std::unique_ptr<TfrCompressor>& compressorSlot() {
  static std::unique_ptr<TfrCompressor> slot = std::make_unique<TfrCompressor>();
  return slot;
}
}  // namespace

TfrCompressor& frCompressor() { return *compressorSlot(); }
void setCompressor(std::unique_ptr<TfrCompressor> replacement) {
  compressorSlot() = replacement ? std::move(replacement) : std::make_unique<TfrCompressor>();
}

TfrEMFPages::~TfrEMFPages() = default;

void TfrEMFPages::clear() { pages_.clear(); }

std::unique_ptr<TfrEMFPage> TfrEMFPages::makePage(const TfrPage& tp) const {
  auto p = std::make_unique<TfrEMFPage>();
  p->pgSize = static_cast<std::int16_t>(tp.pgSize);
  p->pgWidth = tp.pgWidth;
  p->pgHeight = tp.pgHeight;
  p->orientation = tp.orientation;
  p->pgBin = tp.pgBin;
  p->useMargins = tp.useMargins;
  p->margins = {tp.marginLeft, tp.marginTop, tp.marginRight, tp.marginBottom};
  p->prnInfo = tp.prnInfo;
  p->stream.u8(kPreparedVersion);
  return p;
}

void TfrEMFPages::add(const TfrPage& tp) { insert(count(), tp); }
void TfrEMFPages::insert(int index, const TfrPage& tp) {
  index = std::clamp(index, 0, count());
  pages_.insert(pages_.begin() + index, makePage(tp));
}
void TfrEMFPages::remove(int index) {
  if (index >= 0 && index < count()) pages_.erase(pages_.begin() + index);
}
void TfrEMFPages::readObjects(int) {}
void TfrEMFPages::writeObjects(int) {}
void TfrEMFPages::releaseObjects(int index) { (*this)[index].page.reset(); }
void TfrEMFPages::draw(int, QPainter&, const QRect&) {}
void TfrEMFPages::exportPage(int) {}
TfrHitResult TfrEMFPages::hitTest(int, QPoint, bool) { return {}; }
std::string TfrEMFPages::saveToStream() const { return {}; }
void TfrEMFPages::loadFromStream(std::string_view) {}

}  // namespace kelpo::report
