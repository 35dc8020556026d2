// The print run: which prepared pages go to paper, in what order and how many times, and the
// print jobs (a printer queue or a PDF file) they are drawn into.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/core/prepared_pages.h"
#include "report/ui/printer.h"

class QPainter;
class QPrinter;

namespace kelpo::report {

class TfrReport;

// Position in the print dialog's odd/even list.
enum class TfrPrintPages { ppAll = 0, ppOdd = 1, ppEven = 2 };

// The pages a page list names. With `all` set every page prints.
struct TfrPageSet {
  bool all = true;
  std::vector<bool> chosen;  // by 1-based page number, up to the page count
  bool contains(int pageNo) const;
};

// Reads a page list such as "1,3,5-12" against a report of `pageCount` pages. Blanks are
// ignored, a trailing "-" runs to the last page, a reversed range or an empty text means all
// pages. A piece that is not a whole number throws EConvertError.
TfrPageSet parsePageList(const QString& text, int pageCount);

struct TfrPrintOptions {
  QString pageList;  // empty: all pages; the current page is passed as its number
  int copies = 1;
  bool collate = true;
  TfrPrintPages which = TfrPrintPages::ppAll;
};

// Where the print run puts its pages: the operations of a platform print job. The canvas's
// origin is the top-left corner of the printable area.
class TfrPrintTarget {
 public:
  virtual ~TfrPrintTarget() = default;
  virtual void setTitle(const std::string& title) = 0;
  virtual void setCopies(int copies) = 0;
  // Whether the page's paper is the paper in force.
  virtual bool samePaper(const TfrEMFPage& page) const = 0;
  // Puts the page's paper in force for the job begun next.
  virtual void setPaper(const TfrEMFPage& page) = 0;
  // The printer metrics of the paper in force.
  virtual TfrPrnInfo metrics() const = 0;
  // Begins a job on the paper in force; throws Error when the job cannot start.
  virtual void begin() = 0;
  virtual void newSheet() = 0;
  // Ends the job before the paper changes and begins the next one: a printer queue gets a job
  // per paper, a file keeps every page in one document.
  virtual void changePaper(const TfrEMFPage& page) = 0;
  virtual void end() = 0;
  virtual void abort() = 0;
  virtual QPainter& canvas() = 0;
};

// Called after every page with its 1-based number; returning false cancels the run.
using TfrPrintProgress = std::function<bool(int pageNo)>;

// Prints the report's prepared pages. Returns false when the run was cancelled. A bad page list
// throws before anything reaches the target.
bool printPreparedReport(TfrReport& report, const TfrPrintOptions& options, TfrPrintTarget& target,
                         const TfrPrintProgress& progress = {});

// A print target on a Qt printer: the queue of the printer model (paper through the model) or,
// with a file name, a PDF file (paper taken from the page itself, no unprintable border).
std::unique_ptr<TfrPrintTarget> makePrinterTarget(TfrPrinter& printer);
std::unique_ptr<TfrPrintTarget> makePdfTarget(const QString& fileName);

// Makes the report's print-prepared-report operation run the print run with the arguments it
// was given: on the program's printer, or into the PDF file of a TfrPdfDestination in force,
// inside the progress window unless the report shows no progress.
void installPrintRun();

// While one lives, the report's print operation writes the pages into this PDF file instead of
// sending them to the printer.
class TfrPdfDestination {
 public:
  explicit TfrPdfDestination(const QString& fileName);
  ~TfrPdfDestination();
  TfrPdfDestination(const TfrPdfDestination&) = delete;
  TfrPdfDestination& operator=(const TfrPdfDestination&) = delete;

 private:
  QString previous_;
};

}  // namespace kelpo::report
