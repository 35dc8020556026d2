// Qt's printing gives the printers, their page sizes and the device metrics; the queue's driver
// description gives what Qt keeps to itself: the paper sources and the further driver options,
// which reach the job as CUPS options through the print engine.
#include "report/ui/cups_printer_backend.h"

#include <cups/cups.h>
#include <cups/ppd.h>
#include <unistd.h>

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "platform/text.h"
#include "report/ui/paper_table.h"

namespace kelpo::report {
namespace {

// The print engine property that carries extra CUPS job options (name, value, name, value...);
// it is how Qt's own print dialog hands driver options to a CUPS job.
const auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Driver-defined paper sizes get codes above the user-defined one, as platform drivers do.
constexpr int kFirstDriverPaperCode = kUserPaperSize + 1;
// Paper sources without a standard code are numbered from here.
constexpr int kFirstDriverSourceCode = 256;

bool sameTenths(const QPageSize& size, const TPaperInfo& paper) {
  const QSizeF mm = size.size(QPageSize::Millimeter);
  return std::abs(std::lround(mm.width() * 10) - paper.X) <= 2 &&
         std::abs(std::lround(mm.height() * 10) - paper.Y) <= 2;
}

// The standard codes of the platform for the usual paper source names of drivers.
int standardSourceCode(const std::string& keyword) {
  static const std::map<std::string, int> codes = {
      {"Upper", 1},           {"OnlyOne", 1},        {"Lower", 2},
      {"Middle", 3},          {"Manual", 4},         {"ManualFeed", 4},
      {"Envelope", 5},        {"EnvManual", 6},      {"Auto", 7},
      {"AutoSelect", 7},      {"Tractor", 8},        {"AnySmallFormat", 9},
      {"AnyLargeFormat", 10}, {"LargeCapacity", 11}, {"Cassette", 14},
      {"FormSource", 15},
  };
  const auto it = codes.find(keyword);
  return it == codes.end() ? 0 : it->second;
}

// Resolution choices read like "300dpi" or "600x300dpi"; Qt draws with one resolution.
int resolutionOf(const std::string& choice) {
  static const QRegularExpression re(QStringLiteral("^(\\d+)(x\\d+)?dpi$"));
  const QRegularExpressionMatch m = re.match(QString::fromStdString(choice));
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The driver description of a queue, read through the scheduler. Only PPD-based queues have
// one; the calls are marked deprecated but are the only description CUPS gives of such a
// driver's options.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
class DriverDescription {
 public:
  DriverDescription(const QByteArray& name, cups_dest_t* dest) {
    const char* file = cupsGetPPD(name.constData());
    if (!file) return;
    ppd_ = ppdOpenFile(file);
    unlink(file);
    if (!ppd_) return;
    ppdMarkDefaults(ppd_);
    if (dest) cupsMarkOptions(ppd_, dest->num_options, dest->options);
    utf8_ = ppd_->lang_encoding && QByteArray(ppd_->lang_encoding).compare("UTF-8") == 0;
  }
  ~DriverDescription() {
    if (ppd_) ppdClose(ppd_);
  }
  DriverDescription(const DriverDescription&) = delete;
  DriverDescription& operator=(const DriverDescription&) = delete;

  // Every option shown to a user, with its choices and the choice in force.
  std::vector<TfrDriverOption> options() const {
    std::vector<TfrDriverOption> list;
    if (!ppd_) return list;
    for (ppd_option_t* o = ppdFirstOption(ppd_); o; o = ppdNextOption(ppd_)) {
      if (o->ui == PPD_UI_PICKMANY) continue;
      TfrDriverOption option;
      option.keyword = o->keyword;
      option.text = text(o->text[0] ? o->text : o->keyword);
      for (int i = 0; i < o->num_choices; ++i) {
        const ppd_choice_t& c = o->choices[i];
        // "Custom" stands for values typed in, which this list cannot offer.
        if (std::string_view(c.choice) == "Custom") continue;
        option.choices.push_back({c.choice, text(c.text[0] ? c.text : c.choice)});
      }
      if (const ppd_choice_t* marked = ppdFindMarkedChoice(ppd_, o->keyword))
        option.defaultChoice = marked->choice;
      else
        option.defaultChoice = o->defchoice;
      if (!option.choices.empty()) list.push_back(std::move(option));
    }
    return list;
  }

 private:
  std::string text(const char* s) const {
    return fromQString(utf8_ ? QString::fromUtf8(s) : QString::fromLatin1(s));
  }

  ppd_file_t* ppd_ = nullptr;
  bool utf8_ = false;
};
#pragma GCC diagnostic pop

}  // namespace

int standardPaperCode(const QPageSize& size) {
  if (!size.isValid()) return 0;
  const int qtCode = size.windowsId();
  if (qtCode != kUserPaperSize) {
    if (const TPaperInfo* p = findPaper(qtCode); p && sameTenths(size, *p)) return qtCode;
  }
  for (const TPaperInfo& p : PaperInfo)
    if (p.Typ != kUserPaperSize && sameTenths(size, p)) return p.Typ;
  return 0;
}

TfrDeviceMetrics deviceMetricsOf(const QPrinter& printer) {
  // From the page layout in millimetres rather than from the pixel rectangles, which Qt derives
  // from sizes rounded to whole points (a 100 mm custom paper would read back as 99.8 mm and
  // never count as the same paper again); Qt rounds converted sizes to two decimals, which in
  // inches would still be off by a pixel.
  const QPageLayout layout = printer.pageLayout();
  const int dpi = printer.resolution();
  const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
  const QRectF page = layout.paintRect(QPageLayout::Millimeter);
  const auto px = [dpi](double mm) { return static_cast<int>(std::lround(mm / 25.4 * dpi)); };
  TfrDeviceMetrics m;
  m.physicalWidth = px(paper.width());
  m.physicalHeight = px(paper.height());
  m.offsetX = px(page.left() - paper.left());
  m.offsetY = px(page.top() - paper.top());
  m.printableWidth = px(page.width());
  m.printableHeight = px(page.height());
  m.dpiX = m.dpiY = dpi;
  return m;
}

CupsPrinterBackend::CupsPrinterBackend()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

CupsPrinterBackend::~CupsPrinterBackend() = default;

std::vector<std::string> CupsPrinterBackend::printers() {
  infos_ = QPrinterInfo::availablePrinters();
  std::vector<std::string> names;
  for (const QPrinterInfo& info : infos_) names.push_back(fromQString(info.printerName()));
  return names;
}

int CupsPrinterBackend::currentPrinter() {
  if (infos_.isEmpty()) return -1;
  const QString wanted = current_.isEmpty() ? QPrinterInfo::defaultPrinterName() : current_;
  for (qsizetype i = 0; i < infos_.size(); ++i)
    if (infos_[i].printerName() == wanted) return static_cast<int>(i);
  // A system without a default printer still has a first one.
  return 0;
}

bool CupsPrinterBackend::selectPrinter(int index) {
  if (index < 0 || index >= infos_.size()) return false;
  const QPrinterInfo info = QPrinterInfo::printerInfo(infos_[index].printerName());
  if (info.isNull()) return false;
  // Attaching again to the printer in use keeps what its properties dialog set; only another
  // printer starts from its own defaults.
  if (info.printerName() == current_ && printer_->printerName() == current_ && printer_->isValid())
    return true;
  printer_->setPrinterName(info.printerName());
  if (!printer_->isValid() || printer_->printerName() != info.printerName()) return false;
  current_ = info.printerName();
  loadPrinter(info);
  return true;
}

void CupsPrinterBackend::loadPrinter(const QPrinterInfo& info) {
  // A newly selected printer starts from its own defaults, not from the last printer's paper.
  printer_->setFullPage(false);
  printer_->setCopyCount(1);
  printer_->setPageOrientation(QPageLayout::Portrait);
  if (info.defaultPageSize().isValid()) printer_->setPageSize(info.defaultPageSize());
  customSizes_ = info.supportsCustomPageSizes();

  // Codes: a size that is exactly the platform's standard paper of its code gets that code
  // first, so "Letter" and not a same-sized alias carries code 1; then any other standard
  // code of the same size; the rest get driver codes.
  const QList<QPageSize> sizes = info.supportedPageSizes();
  std::vector<int> codes(sizes.size(), 0);
  std::set<int> used;
  for (qsizetype i = 0; i < sizes.size(); ++i) {
    const int code = standardPaperCode(sizes[i]);
    if (code && !used.count(code) && sizes[i].key() == QPageSize(QPageSize::id(code)).key()) {
      codes[i] = code;
      used.insert(code);
    }
  }
  for (qsizetype i = 0; i < sizes.size(); ++i) {
    if (codes[i]) continue;
    const int code = standardPaperCode(sizes[i]);
    if (code && !used.count(code)) {
      codes[i] = code;
      used.insert(code);
      continue;
    }
    for (const TPaperInfo& p : PaperInfo) {
      if (p.Typ != kUserPaperSize && !used.count(p.Typ) && sameTenths(sizes[i], p)) {
        codes[i] = p.Typ;
        used.insert(p.Typ);
        break;
      }
    }
  }
  int driverCode = kFirstDriverPaperCode;
  papers_.clear();
  for (qsizetype i = 0; i < sizes.size(); ++i)
    papers_.push_back({codes[i] ? codes[i] : driverCode++, sizes[i]});

  loadDriverDescription(info.printerName());
}

void CupsPrinterBackend::loadDriverDescription(const QString& name) {
  sources_.clear();
  options_.clear();
  chosen_.clear();
  port_.clear();
  defaultSourceKeyword_.clear();
  const QByteArray queue = name.toLocal8Bit();
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
  if (dest) {
    if (const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options))
      port_ = uri;
  }
  std::vector<TfrDriverOption> all = DriverDescription(queue, dest).options();
  if (dest) cupsFreeDests(1, dest);

  for (TfrDriverOption& o : all) {
    chosen_[o.keyword] = o.defaultChoice;
    // Paper size and region are the page size Qt sets; the source is the model's bin.
    if (o.keyword == "PageSize" || o.keyword == "PageRegion") continue;
    if (o.keyword == "InputSlot") {
      defaultSourceKeyword_ = o.defaultChoice;
      std::set<int> used;
      int next = kFirstDriverSourceCode;
      for (const TfrDriverChoice& c : o.choices) {
        int code = standardSourceCode(c.keyword);
        if (!code || used.count(code)) code = next++;
        used.insert(code);
        sources_.push_back({code, c.keyword, c.text});
      }
      continue;
    }
    options_.push_back(std::move(o));
  }
  chosen_.erase("PageSize");
  chosen_.erase("PageRegion");
  if (const auto it = chosen_.find("Resolution"); it != chosen_.end()) {
    if (const int dpi = resolutionOf(it->second); dpi > 0) printer_->setResolution(dpi);
  }
  pushDriverOptions();
}

void CupsPrinterBackend::pushDriverOptions() {
  QStringList list;
  for (const auto& [keyword, value] : chosen_) {
    if (value.empty()) continue;
    list << QString::fromStdString(keyword) << QString::fromStdString(value);
  }
  if (QPrintEngine* engine = printer_->printEngine())
    engine->setProperty(kCupsOptionsProperty, list);
}

std::string CupsPrinterBackend::device() { return fromQString(current_); }

std::string CupsPrinterBackend::driver() {
  return fromQString(QPrinterInfo::printerInfo(current_).makeAndModel());
}

std::string CupsPrinterBackend::port() { return port_; }

int CupsPrinterBackend::paperCodeOf(const QPageSize& size) const {
  for (const Paper& p : papers_)
    if (p.size.key() == size.key()) return p.code;
  for (const Paper& p : papers_)
    if (p.size.isEquivalentTo(size)) return p.code;
  return 0;
}

QPageSize CupsPrinterBackend::pageSizeFor(int code) const {
  for (const Paper& p : papers_)
    if (p.code == code) return p.size;
  if (const TPaperInfo* p = findPaper(code); p && code != kUserPaperSize)
    return QPageSize(QSizeF(p->X / 10.0, p->Y / 10.0), QPageSize::Millimeter);
  return QPageSize();
}

std::optional<TfrDeviceMode> CupsPrinterBackend::deviceMode() {
  if (current_.isEmpty() || !printer_->isValid()) return std::nullopt;
  TfrDeviceMode mode;
  mode.fields = TfrDeviceMode::kOrientation | TfrDeviceMode::kCopies;
  if (!papers_.empty() || customSizes_) mode.fields |= TfrDeviceMode::kPaperSize;
  if (!sources_.empty()) mode.fields |= TfrDeviceMode::kDefaultSource;
  const QPageLayout layout = printer_->pageLayout();
  mode.orientation = layout.orientation() == QPageLayout::Portrait
                         ? TPrinterOrientation::poPortrait
                         : TPrinterOrientation::poLandscape;
  const int code = paperCodeOf(layout.pageSize());
  if (code) {
    mode.paperSize = code;
  } else {
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    mode.paperSize = kUserPaperSize;
    mode.paperWidth = static_cast<int>(std::lround(mm.width() * 10));
    mode.paperLength = static_cast<int>(std::lround(mm.height() * 10));
    mode.fields |= TfrDeviceMode::kPaperWidth | TfrDeviceMode::kPaperLength;
  }
  mode.copies = printer_->copyCount();
  mode.defaultSource = -1;
  if (const auto it = chosen_.find("InputSlot"); it != chosen_.end()) {
    for (const Source& s : sources_)
      if (s.keyword == it->second) mode.defaultSource = s.code;
  }
  for (const auto& [keyword, value] : chosen_)
    if (keyword != "InputSlot") mode.driverOptions.emplace_back(keyword, value);
  return mode;
}

void CupsPrinterBackend::setDeviceMode(const TfrDeviceMode& mode) {
  if (current_.isEmpty()) return;
  QPageSize size;
  if (mode.paperSize == kUserPaperSize) {
    if (mode.has(TfrDeviceMode::kPaperWidth) && mode.has(TfrDeviceMode::kPaperLength) &&
        mode.paperWidth > 0 && mode.paperLength > 0)
      size = QPageSize(QSizeF(mode.paperWidth / 10.0, mode.paperLength / 10.0),
                       QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
  } else if (mode.has(TfrDeviceMode::kPaperSize)) {
    size = pageSizeFor(mode.paperSize);
  }
  if (size.isValid()) printer_->setPageSize(size);
  if (mode.has(TfrDeviceMode::kOrientation))
    printer_->setPageOrientation(mode.orientation == TPrinterOrientation::poPortrait
                                     ? QPageLayout::Portrait
                                     : QPageLayout::Landscape);
  if (mode.has(TfrDeviceMode::kCopies) && mode.copies > 0) printer_->setCopyCount(mode.copies);
  if (mode.has(TfrDeviceMode::kDefaultSource) && !sources_.empty()) {
    std::string keyword = defaultSourceKeyword_;
    for (const Source& s : sources_)
      if (s.code == mode.defaultSource) keyword = s.keyword;
    chosen_["InputSlot"] = keyword;
  }
  for (const auto& [keyword, value] : mode.driverOptions) {
    for (const TfrDriverOption& o : options_) {
      if (o.keyword != keyword) continue;
      for (const TfrDriverChoice& c : o.choices)
        if (c.keyword == value) chosen_[keyword] = value;
    }
  }
  if (const auto it = chosen_.find("Resolution"); it != chosen_.end()) {
    if (const int dpi = resolutionOf(it->second); dpi > 0 && dpi != printer_->resolution())
      printer_->setResolution(dpi);
  }
  pushDriverOptions();
}

std::vector<TfrCodeName> CupsPrinterBackend::paperSizes() {
  std::vector<TfrCodeName> list;
  for (const Paper& p : papers_) list.push_back({p.code, fromQString(p.size.name())});
  if (customSizes_) list.push_back({kUserPaperSize, "Custom"});
  return list;
}

std::vector<TfrCodeName> CupsPrinterBackend::paperSources() {
  std::vector<TfrCodeName> list;
  for (const Source& s : sources_) list.push_back({s.code, s.name});
  return list;
}

std::vector<TfrDriverOption> CupsPrinterBackend::driverOptions() { return options_; }

TfrDeviceMetrics CupsPrinterBackend::deviceMetrics() { return deviceMetricsOf(*printer_); }

bool CupsPrinterBackend::printing() { return printer_->printerState() == QPrinter::Active; }

QPrinter* CupsPrinterBackend::paintDevice() { return printer_.get(); }

}  // namespace kelpo::report
