// The printer model's rules; everything platform-specific goes through the PrinterBackend.
#include "report/ui/printer.h"

#include <QCoreApplication>
#include <QDialog>
#include <cmath>
#include <cstdlib>

#include "platform/text.h"
#include "report/expr/engine_strings.h"
#include "report/ui/cups_printer_backend.h"
#include "report/ui/paper_table.h"
#include "report/ui/printer_properties_dialog.h"

namespace kelpo::report {
namespace {

// Layout units per tenth of a millimetre, kept as the two factors so every conversion rounds
// the same product.
constexpr double kUnitsPerInch = 91.6256157635468;
constexpr int kTenthsPerInch = 254;
constexpr int kVirtualPrinterName = 55007;

// Round to nearest, halves to even (the current rounding mode is never changed here).
int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

std::string cut(const std::string& text, std::size_t bytes) {
  return std::string(engineCut(text, bytes));
}

}  // namespace

std::string defaultSourceName() { return utf8ToEngine("自动选择"); }

TfrPrinter::TfrPrinter(std::unique_ptr<PrinterBackend> backend) : backend_(std::move(backend)) {}

TfrPrinter::~TfrPrinter() {
  if (printerModel() == this) setPrinterModel(nullptr);
}

void TfrPrinter::attach() {
  refreshPrinterList();
  if (isVirtual()) paperSize_ = -1;
}

void TfrPrinter::refreshPrinterList() {
  printerNames_ = backend_->printers();
  printerNames_.push_back(frLoadStr(kVirtualPrinterName));
  virtualPrinterIndex_ = static_cast<int>(printerNames_.size()) - 1;
  printerIndex_ = backend_->currentPrinter();
  if (printerIndex_ < 0 || printerIndex_ >= virtualPrinterIndex_) {
    useVirtualPrinter();
    return;
  }
  if (!backend_->selectPrinter(printerIndex_)) {
    useVirtualPrinter();
    return;
  }
  readPrinterSettings();
}

void TfrPrinter::selectPrinter(int index) {
  if (index == printerIndex_) return;
  if (index < 0 || index > virtualPrinterIndex_) return;
  if (index == virtualPrinterIndex_) {
    useVirtualPrinter();
    return;
  }
  printerIndex_ = index;
  if (!backend_->selectPrinter(index)) {
    useVirtualPrinter();
    return;
  }
  readPrinterSettings();
}

void TfrPrinter::useVirtualPrinter() {
  printerIndex_ = virtualPrinterIndex_;
  device_.clear();
  driver_.clear();
  port_.clear();
  applyPaperSettings();
}

void TfrPrinter::readPrinterSettings() {
  if (isVirtual()) {
    applyPaperSettings();
    return;
  }
  try {
    device_ = cut(backend_->device(), kIdentityBytes);
    driver_ = cut(backend_->driver(), kIdentityBytes);
    port_ = cut(backend_->port(), kIdentityBytes);
    std::optional<TfrDeviceMode> mode = backend_->deviceMode();
    if (!mode) mode = backend_->deviceMode();
    if (!mode) {
      useVirtualPrinter();
      return;
    }
    const TfrDeviceMetrics m = backend_->deviceMetrics();
    if (m.dpiX <= 0 || m.dpiY <= 0) {
      useVirtualPrinter();
      return;
    }
    paperSize_ = mode->paperSize;
    bin_ = mode->defaultSource;
    orientation_ = mode->orientation == TPrinterOrientation::poPortrait
                       ? TPrinterOrientation::poPortrait
                       : TPrinterOrientation::poLandscape;
    paperWidth_ = roundEven(static_cast<double>(m.physicalWidth) / m.dpiX * kTenthsPerInch);
    paperHeight_ = roundEven(static_cast<double>(m.physicalHeight) / m.dpiY * kTenthsPerInch);

    paperCodes_.clear();
    paperNames_.clear();
    for (const TfrCodeName& p : backend_->paperSizes()) {
      if (paperCodes_.size() >= kMaxCodes) break;
      paperCodes_.push_back(p.code & 0xFFFF);
      paperNames_.push_back(cut(p.name, 64));
    }
    binCodes_ = {-1};
    binNames_ = {defaultSourceName()};
    for (const TfrCodeName& b : backend_->paperSources()) {
      if (binCodes_.size() >= kMaxCodes) break;
      binCodes_.push_back(b.code & 0xFFFF);
      binNames_.push_back(cut(b.name, 24));
    }
  } catch (const std::exception&) {
    // A printer whose settings cannot be read must not stop a report: lay out without it.
    useVirtualPrinter();
  }
}

void TfrPrinter::applyPaperSettings() {
  if (isVirtual()) {
    paperCodes_.clear();
    paperNames_.clear();
    for (const TPaperInfo& p : PaperInfo) {
      paperCodes_.push_back(p.Typ);
      paperNames_.push_back(p.Name);
    }
    binCodes_ = {-1};
    binNames_ = {defaultSourceName()};
    if (paperSize_ != kUserPaperSize) {
      if (const TPaperInfo* p = findPaper(paperSize_)) {
        const bool landscape = orientation_ == TPrinterOrientation::poLandscape;
        paperWidth_ = landscape ? p->Y : p->X;
        paperHeight_ = landscape ? p->X : p->Y;
      }
    }
    return;
  }
  std::optional<TfrDeviceMode> mode;
  try {
    mode = backend_->deviceMode();
  } catch (const std::exception&) {
  }
  if (!mode) {
    useVirtualPrinter();
    return;
  }
  const bool landscape = orientation_ == TPrinterOrientation::poLandscape;
  if (paperSize_ == kUserPaperSize) {
    // The model keeps the paper as it lies on the page; the record wants it as fed, before
    // the orientation turns it, or a landscape custom paper would come back exchanged.
    mode->paperWidth = landscape ? paperHeight_ : paperWidth_;
    mode->paperLength = landscape ? paperWidth_ : paperHeight_;
    mode->fields |= TfrDeviceMode::kPaperLength | TfrDeviceMode::kPaperWidth;
  } else {
    mode->fields &= ~(TfrDeviceMode::kPaperLength | TfrDeviceMode::kPaperWidth);
  }
  if (mode->has(TfrDeviceMode::kPaperSize)) mode->paperSize = paperSize_;
  if (mode->has(TfrDeviceMode::kOrientation))
    mode->orientation =
        landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
  if (mode->has(TfrDeviceMode::kCopies)) mode->copies = 1;
  if (mode->has(TfrDeviceMode::kDefaultSource) && !isDefaultBin(bin_)) mode->defaultSource = bin_;
  try {
    backend_->setDeviceMode(*mode);
  } catch (const std::exception&) {
    useVirtualPrinter();
    return;
  }
  readPrinterSettings();
}

bool TfrPrinter::samePaper(int size, int width, int height, TPrinterOrientation orientation,
                           int bin) const {
  if (size != paperSize_) return false;
  if (size == kUserPaperSize)
    return std::abs(width - paperWidth_) <= 1 && std::abs(height - paperHeight_) <= 1 &&
           orientation == orientation_;
  return orientation == orientation_ && (bin == bin_ || isDefaultBin(bin));
}

void TfrPrinter::setPaper(int size, int width, int height, TPrinterOrientation orientation, int bin,
                          bool force) {
  if (!isVirtual() && backend_->printing()) return;
  if (!force && samePaper(size, width, height, orientation, bin)) return;
  paperSize_ = size;
  paperWidth_ = width;
  paperHeight_ = height;
  orientation_ = orientation;
  bin_ = bin;
  applyPaperSettings();
}

TfrPrnInfo printerMetricsFrom(const TfrDeviceMetrics& m) {
  TfrPrnInfo info;
  const double kx = m.dpiX > 0 ? kUnitsPerInch / m.dpiX : 0.0;
  const double ky = m.dpiY > 0 ? kUnitsPerInch / m.dpiY : 0.0;
  info.pgw = m.physicalWidth;
  info.pgh = m.physicalHeight;
  info.ofx = m.offsetX;
  info.ofy = m.offsetY;
  info.ppgw = m.printableWidth;
  info.ppgh = m.printableHeight;
  info.pw = roundEven(info.pgw * kx);
  info.ph = roundEven(info.pgh * ky);
  info.ofpx = roundEven(info.ofx * kx);
  info.ofpy = roundEven(info.ofy * ky);
  info.ppw = roundEven(info.ppgw * kx);
  info.pph = roundEven(info.ppgh * ky);
  return info;
}

void TfrPrinter::fillPrinterMetrics(TfrPrnInfo& info) const {
  if (isVirtual()) {
    info.pw = roundEven(paperWidth_ * kUnitsPerInch / kTenthsPerInch);
    info.ph = roundEven(paperHeight_ * kUnitsPerInch / kTenthsPerInch);
    info.ofpx = roundEven(50 * kUnitsPerInch / kTenthsPerInch);
    info.ofpy = info.ofpx;
    info.ppw = info.pw - 2 * info.ofpx;
    info.pph = info.ph - 2 * info.ofpy;
    return;
  }
  info = printerMetricsFrom(backend_->deviceMetrics());
}

bool TfrPrinter::showPrinterProperties(QWidget* parent) {
  if (isVirtual()) return false;
  std::optional<TfrDeviceMode> mode = backend_->deviceMode();
  if (!mode) return false;
  PrinterPropertiesDialog dialog(toQString(printerName()), *mode, backend_->paperSizes(),
                                 backend_->paperSources(), backend_->driverOptions(), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  backend_->setDeviceMode(dialog.deviceMode());
  return true;
}

std::optional<TfrDeviceMode> TfrPrinter::deviceMode() const {
  if (isVirtual()) return std::nullopt;
  return backend_->deviceMode();
}

QPrinter* TfrPrinter::platformPrinter() const {
  return isVirtual() ? nullptr : backend_->paintDevice();
}

TfrPaper TfrPrinter::paper() const {
  TfrPaper p;
  p.size = paperSize_;
  p.width = paperWidth_;
  p.height = paperHeight_;
  p.orientation = static_cast<std::uint8_t>(orientation_);
  p.bin = bin_;
  return p;
}

TfrPaper TfrPrinter::setPaper(const TfrPaper& paper) {
  setPaper(
      paper.size, paper.width, paper.height,
      paper.orientation == 0 ? TPrinterOrientation::poPortrait : TPrinterOrientation::poLandscape,
      paper.bin, false);
  return this->paper();
}

TfrPrnInfo TfrPrinter::metrics() const {
  TfrPrnInfo info;
  fillPrinterMetrics(info);
  return info;
}

std::string TfrPrinter::printerName() const {
  if (printerIndex_ < 0 || printerIndex_ >= static_cast<int>(printerNames_.size())) return {};
  return printerNames_[printerIndex_];
}

bool TfrPrinter::isVirtual() const {
  return printerIndex_ < 0 || printerIndex_ == virtualPrinterIndex_;
}

bool TfrPrinter::selectPrinter(const std::string& name) {
  for (std::size_t i = 0; i < printerNames_.size(); ++i) {
    if (printerNames_[i] == name) {
      selectPrinter(static_cast<int>(i));
      return true;
    }
  }
  return false;
}

namespace {
std::unique_ptr<TfrPrinter>& programPrinter() {
  static std::unique_ptr<TfrPrinter> printer;
  return printer;
}
}  // namespace

TfrPrinter& createPrinterModel() {
  std::unique_ptr<TfrPrinter>& printer = programPrinter();
  if (!printer) {
    printer = std::make_unique<TfrPrinter>(std::make_unique<CupsPrinterBackend>());
    printer->attach();
    setPrinterModel(printer.get());
    // The model's printer belongs to Qt's printing, which must not outlive the application.
    qAddPostRoutine([] { programPrinter().reset(); });
  }
  return *printer;
}

TfrPrinter* frPrinter() { return programPrinter().get(); }

}  // namespace kelpo::report
