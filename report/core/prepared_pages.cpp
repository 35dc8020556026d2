// Prepared pages: page records, reading and writing their object streams, drawing them at any
// scale on any paint device, link hit tests, and the prepared-report file.
#include "report/core/prepared_pages.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

#include "platform/shell.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "report/core/view_painting.h"
#include "report/expr/engine_state.h"
#include "report/expr/names.h"

namespace kelpo::report {

namespace {
std::unique_ptr<TfrCompressor>& compressorSlot() {
  static std::unique_ptr<TfrCompressor> slot = std::make_unique<TfrCompressor>();
  return slot;
}

// Makes the engine's mode and current page what drawing needs, and puts them back after.
class OutputScope {
 public:
  OutputScope() : mode_(frDocMode()), page_(frCurPage()) { frDocMode() = TfrDocMode::Output; }
  ~OutputScope() {
    frDocMode() = mode_;
    frCurPage() = page_;
  }
  OutputScope(const OutputScope&) = delete;
  OutputScope& operator=(const OutputScope&) = delete;

 private:
  TfrDocMode mode_;
  TfrPage* page_;
};

// The scaled box of a view enlarged by `grow` pixels on each side, kept within QRect's range
// whatever the geometry.
QRect scaledBox(const TfrView& v, double sx, double sy, double ox, double oy, int grow) {
  auto within = [](double d) { return roundEven(std::clamp(d, -1e9, 1e9)); };
  return QRect(within(v.x * sx + ox - grow), within(v.y * sy + oy - grow),
               within(v.dx * sx + 2.0 * grow), within(v.dy * sy + 2.0 * grow));
}

bool startsWithUrl(const std::string& name) { return upperName(name).rfind("URL", 0) == 0; }

// Prepared objects come from files: geometry, spacing and font sizes far beyond any paper are
// damage, refused before they reach the drawing arithmetic.
void checkPlausible(const TfrView& v) {
  constexpr std::int32_t kMaxUnits = 1'000'000;  // about 277 m
  auto within = [](std::int64_t value, std::int64_t limit) {
    return value >= -limit && value <= limit;
  };
  bool ok = within(v.x, kMaxUnits) && within(v.y, kMaxUnits) && within(v.dx, kMaxUnits) &&
            within(v.dy, kMaxUnits) && within(v.gapX, kMaxUnits) && within(v.gapY, kMaxUnits) &&
            v.frameWidth >= -kMaxUnits && v.frameWidth <= kMaxUnits;
  if (auto* m = dynamic_cast<const TfrMemoView*>(&v))
    ok = ok && within(m->font.size, 5000) && within(m->lineSpacing, kMaxUnits) &&
         within(m->characterSpacing, kMaxUnits);
  if (!ok) throw StreamError("prepared page: object " + v.name + " has impossible geometry");
}
}  // namespace

TfrCompressor& frCompressor() { return *compressorSlot(); }
void setCompressor(std::unique_ptr<TfrCompressor> replacement) {
  compressorSlot() = replacement ? std::move(replacement) : std::make_unique<TfrCompressor>();
}

void computePageMetrics(TfrEMFPage& page) {
  TfrPage scratch;
  scratch.changePaper(page.pgSize, page.pgWidth, page.pgHeight, page.pgBin, page.orientation);
  page.prnInfo = scratch.prnInfo;
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

void TfrEMFPages::firePageAdded() {
  const int pageNo = frEngine().pageNo;
  TfrReport* current = frCurReport() ? frCurReport() : report_;
  if (current && current->OnBeginPage) current->OnBeginPage(pageNo);
  TfrReport* master = frMasterReport();
  if (master && master != current && master->OnBeginPage) master->OnBeginPage(pageNo);
}

void TfrEMFPages::add(const TfrPage& tp) { insert(count(), tp); }

void TfrEMFPages::insert(int index, const TfrPage& tp) {
  index = std::clamp(index, 0, count());
  pages_.insert(pages_.begin() + index, makePage(tp));
  firePageAdded();
}

void TfrEMFPages::remove(int index) {
  if (index >= 0 && index < count()) pages_.erase(pages_.begin() + index);
}

void TfrEMFPages::readObjects(int index) {
  TfrEMFPage& rec = (*this)[index];
  auto page = std::make_unique<TfrPage>();
  page->pgSize = rec.pgSize;
  page->pgWidth = rec.pgWidth;
  page->pgHeight = rec.pgHeight;
  page->orientation = rec.orientation;
  page->pgBin = rec.pgBin;
  page->useMargins = rec.useMargins;
  page->marginLeft = rec.margins[0];
  page->marginTop = rec.margins[1];
  page->marginRight = rec.margins[2];
  page->marginBottom = rec.margins[3];
  page->prnInfo = rec.prnInfo;
  OutputScope scope;
  frCurPage() = page.get();
  TfrReader r(rec.stream.data());
  if (!r.atEnd()) {
    const TfrStreamContext ctx{r.u8(), false};
    while (!r.atEnd()) {
      const std::uint8_t typ = r.u8();
      std::unique_ptr<TfrView> view;
      if (typ == gtAddIn)
        view = createAddInView(r.readString(ctx.version));
      else
        view = createBuiltInView(typ);
      if (!view) throw StreamError("unknown object type in a prepared page");
      view->loadFromStream(r, ctx);
      checkPlausible(*view);
      view->templateMode = true;
      // The record's text is what is drawn.
      view->memo1 = view->memo;
      // A memo that follows its text's width learns it by being drawn once.
      if (auto* memo = dynamic_cast<TfrMemoView*>(view.get()); memo && (memo->flags & flAutoSize)) {
        withScratchCanvas([&](QPainter& canvas) { memo->Paint(canvas); });
      }
      page->objects.push_back(std::move(view));
    }
  }
  rec.page = std::move(page);
}

void TfrEMFPages::writeObjects(int index) {
  TfrEMFPage& rec = (*this)[index];
  if (!rec.page) return;
  TfrWriter w;
  w.u8(kPreparedVersion);
  for (const auto& v : rec.page->objects) {
    v->memo1 = v->memo;
    v->writePreparedRecord(w);
  }
  rec.stream = std::move(w);
}

void TfrEMFPages::releaseObjects(int index) { (*this)[index].page.reset(); }

void TfrEMFPages::draw(int index, QPainter& canvas, const QRect& rect) {
  TfrEMFPage& rec = (*this)[index];
  QPaintDevice* device = canvas.device();
  const int devType = device ? device->devType() : 0;
  const bool printing = devType == QInternal::Printer;
  OutputScope scope;
  if (!rec.visible) {
    rec.page.reset();
    return;
  }
  if (!rec.page) readObjects(index);
  frCurPage() = rec.page.get();
  if (rec.prnInfo.pw <= 0 || rec.prnInfo.ph <= 0) return;
  const double sx = static_cast<double>(rect.width()) / rec.prnInfo.pw;
  const double sy = static_cast<double>(rect.height()) / rec.prnInfo.ph;
  // Everything is drawn onto printers and recorded pictures; on screens only what shows.
  const bool cull = !printing && devType != QInternal::Picture;
  QRect visibleArea = canvas.hasClipping() ? canvas.clipBoundingRect().toAlignedRect()
                                           : QRect(0, 0, device ? device->width() : 0,
                                                   device ? device->height() : 0);
  if (cull && canvas.transform().isInvertible())
    visibleArea = canvas.transform().inverted().mapRect(visibleArea) | visibleArea;
  for (const auto& v : rec.page->objects) {
    if (cull) {
      const QRect area = scaledBox(*v, sx, sy, rect.left(), rect.top(), 10);
      if (!area.intersects(visibleArea)) continue;
    }
    v->scaleX = sx;
    v->scaleY = sy;
    v->offsetX = rect.left();
    v->offsetY = rect.top();
    v->printing = printing;
    v->Paint(canvas);
  }
}

void TfrEMFPages::exportPage(int index) {
  readObjects(index);
  OutputScope scope;
  TfrEMFPage& rec = (*this)[index];
  frCurPage() = rec.page.get();
  for (const auto& v : rec.page->objects) v->Export();
  rec.page.reset();
}

TfrHitResult TfrEMFPages::hitTest(int index, QPoint point, bool isClick) {
  TfrEMFPage& rec = (*this)[index];
  if (!rec.page) readObjects(index);
  // Margins come from the file: the arithmetic is done in floating point.
  double sx = 1, sy = 1, ox = 0, oy = 0;
  const TfrPrnInfo& m = rec.prnInfo;
  const auto& mg = rec.margins;
  if (!rec.useMargins && m.pw > 0 && m.ph > 0) {
    sx = (static_cast<double>(m.ppw) - mg[0] - mg[2]) / m.pw;
    sy = (static_cast<double>(m.pph) - mg[1] - mg[3]) / m.ph;
    ox = static_cast<double>(mg[0]) + m.ofpx;
    oy = static_cast<double>(mg[1]) + m.ofpy;
  }
  TfrHitResult result;
  TfrReport* report = frCurReport() ? frCurReport() : report_;
  auto& objects = rec.page->objects;
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
    TfrView& v = **it;
    const QRect area = scaledBox(v, sx, sy, ox, oy, 0);
    if (!area.contains(point)) continue;
    result.found = true;
    const bool link = startsWithUrl(v.name);
    if (isClick) {
      if (report && report->OnObjectClick) report->OnObjectClick(v, result.handled);
      if (link) {
        if (engineFind(v.tag, '@') == std::string::npos) {
          shellOpen(toQString(v.tag));
          result.handled = true;
        } else {
          result.link = v.tag;
        }
      }
    } else {
      int cursor = 0;
      if (report && report->OnMouseOverObject) report->OnMouseOverObject(v, cursor);
      if (link) {
        result.handCursor = true;
        result.link = v.tag;
      }
    }
    break;
  }
  return result;
}

std::string TfrEMFPages::saveToStream() const {
  TfrWriter w;
  const bool compress = frCompressor().enabled;
  w.u8(kPreparedVersion);
  w.u8(compress ? 1 : 0);
  std::string printer = report_ ? report_->printerName : std::string();
  if (TfrPrinterModel* model = printerModel()) printer = model->printerName();
  w.writeString(printer);
  w.i32(count());
  for (const auto& p : pages_) {
    const std::size_t next = w.placeholder();
    w.i16(p->pgSize);
    w.i32(p->pgWidth);
    w.i32(p->pgHeight);
    w.u8(p->orientation);
    w.i32(p->pgBin);
    w.u8(p->useMargins ? 1 : 0);
    for (std::int32_t m : p->margins) w.i32(m);
    if (compress) {
      std::string packed;
      frCompressor().Compress(p->stream.data(), packed);
      w.bytes(packed);
    } else {
      w.bytes(p->stream.data());
    }
    w.patchI32(next, static_cast<std::int32_t>(w.pos()));
  }
  w.u8(report_ ? report_->info.generatorVersion : 88);
  return w.take();
}

namespace {
// The end of one page entry: at or after the entry's fixed fields, within the file.
std::size_t entryEnd(std::int32_t next, const TfrReader& r) {
  if (next < 0 || static_cast<std::size_t>(next) < r.pos() ||
      static_cast<std::size_t>(next) > r.size())
    throw StreamError("prepared report: bad page entry position");
  return static_cast<std::size_t>(next);
}

// A page of the oldest layout: one picture covering the page, holding the page's metafile.
void oldestLayoutPage(TfrEMFPage& page, std::string_view metafile) {
  TfrPictureView picture;
  picture.x = picture.y = 0;
  picture.dx = page.prnInfo.pw;
  picture.dy = page.prnInfo.ph;
  picture.graphicKind = 2;
  picture.graphicData = std::string(metafile);
  picture.flags = flStretched;
  picture.writePreparedRecord(page.stream);
}
}  // namespace

void TfrEMFPages::loadFromStream(std::string_view data) {
  TfrReader r(data);
  int ver = r.u8();
  if (ver < 24 || ver > 31) {
    r.seek(0);
    ver = 0;
  }
  const std::uint8_t compressed = r.u8();
  std::vector<std::unique_ptr<TfrEMFPage>> loaded;
  std::string printer;
  std::uint8_t generator = 0;
  bool haveGenerator = false;
  if (compressed == 0 || compressed == 1 || compressed == 255) {
    printer = r.readString(ver);
    const std::int32_t n = r.i32();
    if (n < 0) throw StreamError("prepared report: bad page count");
    for (std::int32_t k = 0; k < n; ++k) {
      auto page = std::make_unique<TfrEMFPage>();
      const std::int32_t next = r.i32();
      page->pgSize = r.i16();
      page->pgWidth = r.i32();
      page->pgHeight = r.i32();
      page->orientation = r.u8();
      page->pgBin = ver >= 24 ? r.i32() : -1;
      page->useMargins = r.u8() != 0;
      if (ver >= 24)
        for (std::int32_t& m : page->margins) m = r.i32();
      const std::size_t end = entryEnd(next, r);
      std::string_view bytes = r.view(end - r.pos());
      if (compressed != 0) {
        std::string unpacked;
        frCompressor().Decompress(bytes, unpacked);
        page->stream.bytes(unpacked);
      } else {
        page->stream.bytes(bytes);
      }
      computePageMetrics(*page);
      loaded.push_back(std::move(page));
    }
    generator = r.u8();
    haveGenerator = true;
  } else {
    r.seek(0);
    TfrStrings names = r.readStringList(0);
    if (!names.empty()) printer = names.front();
    const std::int32_t n = r.i32();
    if (n < 0) throw StreamError("prepared report: bad page count");
    for (std::int32_t k = 0; k < n; ++k) {
      auto page = std::make_unique<TfrEMFPage>();
      const std::int32_t next = r.i32();
      page->pgSize = r.i16();
      page->pgWidth = r.i32();
      page->pgHeight = r.i32();
      page->orientation = r.u8();
      page->useMargins = r.u8() != 0;
      const std::size_t end = entryEnd(next, r);
      std::string_view metafile = r.view(end - r.pos());
      computePageMetrics(*page);
      page->stream.u8(kPreparedVersion);
      oldestLayoutPage(*page, metafile);
      loaded.push_back(std::move(page));
    }
  }
  // Only a file read to its end replaces the pages.
  pages_ = std::move(loaded);
  if (report_) {
    if (!printer.empty()) report_->setPrinter(printer);
    if (haveGenerator) report_->info.generatorVersion = generator;
  }
}

}  // namespace kelpo::report
