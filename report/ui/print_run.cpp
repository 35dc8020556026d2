#include "report/ui/print_run.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "platform/error.h"
#include "platform/text.h"
#include "report/core/report.h"
#include "report/expr/engine_strings.h"
#include "report/expr/value.h"
#include "report/ui/cups_printer_backend.h"
#include "report/ui/progress_form.h"

namespace kelpo::report {

bool TfrPageSet::contains(int pageNo) const {
  if (all) return true;
  return pageNo >= 1 && pageNo < static_cast<int>(chosen.size()) && chosen[pageNo];
}

TfrPageSet parsePageList(const QString& input, int pageCount) {
  QString text = input;
  text.remove(QLatin1Char(' '));
  TfrPageSet set;
  if (text.isEmpty()) return set;
  if (text.endsWith(QLatin1Char('-'))) text += QString::number(pageCount);
  text += QLatin1Char(',');
  set.chosen.assign(static_cast<std::size_t>(std::max(pageCount, 0)) + 1, false);
  // Whether the list named any number at all: numbers past the end make a set that matches
  // nothing, while only a list of reversed ranges leaves it empty (and so prints everything).
  bool named = false;
  bool inRange = false;
  int start = 0;
  QString piece;
  const auto number = [&piece] { return textToInteger(utf8ToEngine(piece.toStdString())); };
  for (const QChar c : text) {
    if (c == QLatin1Char('-')) {
      start = number();
      inRange = true;
      piece.clear();
    } else if (c == QLatin1Char(',')) {
      const int n = number();
      // Only numbers within the report are marked, so a range such as 1-2000000000 costs
      // nothing more than the pages that exist.
      const int from = inRange ? start : n;
      if (n >= from) named = true;
      for (int k = std::max(from, 1); k <= std::min(n, pageCount); ++k) set.chosen[k] = true;
      inRange = false;
      piece.clear();
    } else {
      piece += c;
    }
  }
  set.all = !named;
  return set;
}

namespace {

// The printer's canvas has its origin at the printable area; pages that use margins cover the
// whole sheet, the others sit inside their margins converted to printer pixels.
QRect pageRectangle(const TfrEMFPage& page) {
  const TfrPrnInfo& p = page.prnInfo;
  if (page.useMargins) return QRect(-p.ofx, -p.ofy, p.pgw, p.pgh);
  const auto scale = [](int v, int device, int units) {
    return units > 0 ? static_cast<int>(std::lround(static_cast<double>(v) * device / units)) : 0;
  };
  const int left = scale(page.margins[0], p.ppgw, p.ppw);
  const int top = scale(page.margins[1], p.ppgh, p.pph);
  const int right = p.ppgw - scale(page.margins[2], p.ppgw, p.ppw);
  const int bottom = p.ppgh - scale(page.margins[3], p.ppgh, p.pph);
  return QRect(left, top, right - left, bottom - top);
}

bool pageWanted(int pageNo, const TfrPageSet& set, TfrPrintPages which) {
  if (!set.contains(pageNo)) return false;
  if (which == TfrPrintPages::ppOdd && pageNo % 2 == 0) return false;
  if (which == TfrPrintPages::ppEven && pageNo % 2 != 0) return false;
  return true;
}

}  // namespace

bool printPreparedReport(TfrReport& report, const TfrPrintOptions& options, TfrPrintTarget& target,
                         const TfrPrintProgress& progress) {
  TfrEMFPages& pages = report.emfPages;
  const TfrPageSet set = parsePageList(options.pageList, pages.count());
  const int copies = options.copies <= 0 ? 1 : options.copies;
  if (pages.count() == 0) return true;

  target.setPaper(pages[0]);
  pages[0].prnInfo = target.metrics();
  target.setTitle(report.Title.empty() ? std::string("Untitled") : report.Title);
  if (report.OnPrintReport) report.OnPrintReport();
  target.setCopies(options.collate ? 1 : copies);
  const int passes = options.collate ? copies : 1;

  target.begin();
  try {
    bool firstOfJob = true;
    for (int pass = 0; pass < passes; ++pass) {
      for (int i = 0; i < pages.count(); ++i) {
        const int pageNo = i + 1;
        if (!pageWanted(pageNo, set, options.which)) continue;
        TfrEMFPage& page = pages[i];
        if (target.samePaper(page)) {
          if (!firstOfJob) target.newSheet();
        } else {
          target.changePaper(page);
        }
        firstOfJob = false;
        page.prnInfo = target.metrics();
        page.visible = true;
        pages.draw(i, target.canvas(), pageRectangle(page));
        page.visible = false;
        pages.draw(i, target.canvas(), QRect());
        if (progress && !progress(pageNo)) {
          target.abort();
          return false;
        }
      }
    }
  } catch (...) {
    target.abort();
    throw;
  }
  target.end();
  return true;
}

namespace {

// A job on a Qt printer; subclasses say how paper is chosen. Qt starts the first sheet when
// painting begins, so the job reaches the device only with its first page: a job that ends up
// with no pages (the first page's paper set up for pages that are all skipped) sends nothing.
class QtPrinterTarget : public TfrPrintTarget {
 public:
  void setTitle(const std::string& title) override { device().setDocName(toQString(title)); }
  void setCopies(int copies) override { device().setCopyCount(copies); }
  TfrPrnInfo metrics() const override { return printerMetricsFrom(deviceMetricsOf(device())); }
  void begin() override { open_ = true; }
  void newSheet() override {
    if (painter_.isActive() && !device().newPage()) throw Error("the printer refused a new page");
  }
  void end() override {
    open_ = false;
    if (painter_.isActive()) painter_.end();
  }
  void abort() override {
    open_ = false;
    if (painter_.isActive()) {
      device().abort();
      painter_.end();
    }
  }
  QPainter& canvas() override {
    if (open_ && !painter_.isActive() && !painter_.begin(&device()))
      throw Error(utf8ToEngine("cannot start the print job on " +
                               device().printerName().toStdString() +
                               device().outputFileName().toStdString()));
    return painter_;
  }

 protected:
  virtual QPrinter& device() const = 0;
  QPainter painter_;
  bool open_ = false;
};

class PrinterModelTarget : public QtPrinterTarget {
 public:
  explicit PrinterModelTarget(TfrPrinter& printer) : printer_(printer) {
    // The printer may have gone or changed since the model last looked.
    printer.refreshPrinterList();
    if (!printer.platformPrinter()) throw Error("the virtual printer cannot print");
  }
  bool samePaper(const TfrEMFPage& page) const override {
    return printer_.samePaper(page.pgSize, page.pgWidth, page.pgHeight, orientationOf(page),
                              page.pgBin);
  }
  void setPaper(const TfrEMFPage& page) override {
    printer_.setPaper(page.pgSize, page.pgWidth, page.pgHeight, orientationOf(page), page.pgBin,
                      true);
  }
  void changePaper(const TfrEMFPage& page) override {
    end();
    setPaper(page);
    begin();
  }

 private:
  static TPrinterOrientation orientationOf(const TfrEMFPage& page) {
    return page.orientation == 0 ? TPrinterOrientation::poPortrait
                                 : TPrinterOrientation::poLandscape;
  }
  QPrinter& device() const override { return *printer_.platformPrinter(); }
  TfrPrinter& printer_;
};

// A PDF file: each page gets the paper it was laid out on, with no unprintable border, and all
// pages stay in one document whatever their paper.
class PdfTarget : public QtPrinterTarget {
 public:
  explicit PdfTarget(const QString& fileName) : printer_(QPrinter::HighResolution) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(fileName);
    printer_.setCreator(QStringLiteral("Kelpo"));
  }
  bool samePaper(const TfrEMFPage& page) const override {
    // Metrics read back from the device may differ from the laid-out size by a rounding unit.
    return std::abs(page.prnInfo.pw - width_) <= 1 && std::abs(page.prnInfo.ph - height_) <= 1;
  }
  void setPaper(const TfrEMFPage& page) override {
    width_ = page.prnInfo.pw;
    height_ = page.prnInfo.ph;
    const auto mm = [](int units) { return units * 25.4 / kLayoutUnitsPerInch; };
    const bool landscape = width_ > height_;
    const QSizeF portrait(mm(std::min(width_, height_)), mm(std::max(width_, height_)));
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    printer_.setPageLayout(
        QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
  }
  void changePaper(const TfrEMFPage& page) override {
    setPaper(page);
    newSheet();  // the new paper takes effect with the next sheet
  }
  void abort() override {
    // A cancelled file is not left behind looking complete.
    QtPrinterTarget::abort();
    end();
    QFile::remove(printer_.outputFileName());
  }

 private:
  QPrinter& device() const override { return printer_; }
  mutable QPrinter printer_;
  int width_ = 0, height_ = 0;
};

}  // namespace

std::unique_ptr<TfrPrintTarget> makePrinterTarget(TfrPrinter& printer) {
  return std::make_unique<PrinterModelTarget>(printer);
}

std::unique_ptr<TfrPrintTarget> makePdfTarget(const QString& fileName) {
  return std::make_unique<PdfTarget>(fileName);
}

namespace {

constexpr int kPreparingCaption = 55203;  // "正在准备报表"
constexpr int kPrintingPrefix = 55208;    // "正在打印页:"

QString& pdfDestination() {
  static QString fileName;
  return fileName;
}

void runReportPrint(TfrReport& report) {
  const TfrReport::TfrPrintJob& job = report.printJob;
  TfrPrintOptions options;
  options.pageList = toQString(job.pageNumbers);
  options.copies = job.copies;
  options.collate = job.collate;
  options.which = static_cast<TfrPrintPages>(std::clamp(job.oddEven, 0, 2));
  // A bad page list fails here, before a job or the progress window exists.
  parsePageList(options.pageList, report.emfPages.count());
  std::unique_ptr<TfrPrintTarget> target;
  if (!pdfDestination().isEmpty()) {
    target = makePdfTarget(pdfDestination());
  } else {
    TfrPrinter* printer = frPrinter();
    if (!printer) throw Error("there is no printer to print on");
    target = makePrinterTarget(*printer);
  }
  const auto work = [&report, &options, &target] {
    printPreparedReport(report, options, *target, [&report](int pageNo) {
      report.InternalOnProgress(pageNo);
      return !report.terminated;
    });
  };
  if (!report.ShowProgress || report.OnProgress) {
    work();
    return;
  }
  std::string caption = frLoadStr(kPreparingCaption);
  if (!report.Title.empty()) caption += " - " + report.Title;
  report.progressPrefix = frLoadStr(kPrintingPrefix);
  frProgressForm().run(report, toQString(caption), work);
}

}  // namespace

void installPrintRun() {
  installProgressForm();
  TfrReport::setPrintHook(runReportPrint);
}

TfrPdfDestination::TfrPdfDestination(const QString& fileName) : previous_(pdfDestination()) {
  pdfDestination() = fileName;
}

TfrPdfDestination::~TfrPdfDestination() { pdfDestination() = previous_; }

}  // namespace kelpo::report
