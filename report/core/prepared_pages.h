// Prepared pages: the pages a build produces, each with its paper settings and one stream of
// object records ready to draw; drawing them on any paint device, link hit tests, and the
// prepared-report file.
#pragma once

#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/core/page.h"
#include "report/core/printer_model.h"
#include "report/expr/byte_stream.h"

class QPainter;

namespace kelpo::report {

class TfrReport;

// Version byte of page object streams and of prepared-report files.
inline constexpr std::uint8_t kPreparedVersion = 25;

// Packs page data inside prepared-report files. This class packs nothing; one object exists for
// the process and a replacement may be installed in its place.
class TfrCompressor {
 public:
  virtual ~TfrCompressor() = default;
  bool enabled = false;
  virtual void Compress(std::string_view source, std::string& target) {
    (void)source, (void)target;
  }
  virtual void Decompress(std::string_view source, std::string& target) {
    (void)source, (void)target;
  }
};
TfrCompressor& frCompressor();
// Installs a replacement (null puts the plain one back).
void setCompressor(std::unique_ptr<TfrCompressor> replacement);

// One prepared page: its paper, margins and metrics, its object stream and, while it is shown,
// the objects read back from the stream.
struct TfrEMFPage {
  QRect previewRect;  // where the preview placed the page on its surface
  std::int16_t pgSize = 9;
  std::int32_t pgWidth = 2100, pgHeight = 2970;  // tenths of a millimetre
  std::uint8_t orientation = 0;
  std::int32_t pgBin = -1;
  bool useMargins = true;
  std::array<std::int32_t, 4> margins{};  // left, top, right, bottom in layout units
  TfrPrnInfo prnInfo;
  bool visible = false;
  TfrWriter stream;               // version byte, then the object records in output order
  std::unique_ptr<TfrPage> page;  // cached objects
};

// What a hit test found: whether an event handler or the shell took it, the in-report link
// (tag with "@") or, on a mouse move, the tag under the cursor, and whether the cursor should
// become the hand-point cursor.
struct TfrHitResult {
  bool found = false;
  bool handled = false;
  bool handCursor = false;
  std::string link;
};

class TfrEMFPages {
 public:
  explicit TfrEMFPages(TfrReport* report) : report_(report) {}
  ~TfrEMFPages();
  TfrEMFPages(const TfrEMFPages&) = delete;
  TfrEMFPages& operator=(const TfrEMFPages&) = delete;

  int count() const { return static_cast<int>(pages_.size()); }
  TfrEMFPage& operator[](int i) { return *pages_.at(static_cast<std::size_t>(i)); }
  const TfrEMFPage& operator[](int i) const { return *pages_.at(static_cast<std::size_t>(i)); }
  TfrReport* report() const { return report_; }

  void clear();
  // Trades page lists with `other`: how the preview takes the pages and lends them back.
  void swap(TfrEMFPages& other) noexcept { pages_.swap(other.pages_); }
  // Appends (or inserts at `index`) a page with the template page's paper settings, margins and
  // metrics and a stream holding the version byte; fires the begin-page event.
  void add(const TfrPage& templatePage);
  void insert(int index, const TfrPage& templatePage);
  void remove(int index);

  // Builds the cached page from the stream (a memo with AutoWidth gets its width measured).
  // Reader errors propagate; the page keeps no half-read objects.
  void readObjects(int index);
  // Rewrites the stream from the cached page.
  void writeObjects(int index);
  // Frees the cached objects of a page.
  void releaseObjects(int index);

  // Draws page `index` into `rect` of the painter's device (widget, image, printer, PDF).
  // A page whose visible switch is clear only has its cached objects released.
  void draw(int index, QPainter& canvas, const QRect& rect);
  // Hands every object of the page to the current export filter.
  void exportPage(int index);
  // The topmost object under `point` (preview pixels of the page drawn at scale 1), with its
  // events and link.
  TfrHitResult hitTest(int index, QPoint point, bool isClick);

  // The prepared-report file.
  std::string saveToStream() const;
  // Loads a whole file; on any error the previous pages are kept and the error propagates.
  void loadFromStream(std::string_view data);

 private:
  std::unique_ptr<TfrEMFPage> makePage(const TfrPage& templatePage) const;
  void firePageAdded();

  TfrReport* report_;
  std::vector<std::unique_ptr<TfrEMFPage>> pages_;
};

// Sets the page's metrics for its paper settings from the printer model (or the paper alone).
void computePageMetrics(TfrEMFPage& page);

}  // namespace kelpo::report
