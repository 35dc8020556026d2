// The system's printers as the printer model sees them: Qt's printing on CUPS for the printer
// list, page sizes and device metrics, and the queue's driver description for paper sources
// and the driver's further settings, which Qt does not expose.
#pragma once

#include <QPageSize>
#include <QPrinterInfo>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "report/ui/printer.h"

class QPrinter;

namespace kelpo::report {

// The platform's code for a page size (the printer-independent part of the mapping): the
// standard code whose size it has, preferring Qt's own code for it; 0 when it has none.
int standardPaperCode(const QPageSize& size);

// A printer's device metrics for its current page layout, in its own pixels.
TfrDeviceMetrics deviceMetricsOf(const QPrinter& printer);

class CupsPrinterBackend : public PrinterBackend {
 public:
  CupsPrinterBackend();
  ~CupsPrinterBackend() override;

  std::vector<std::string> printers() override;
  int currentPrinter() override;
  bool selectPrinter(int index) override;
  std::string device() override;
  std::string driver() override;
  std::string port() override;
  std::optional<TfrDeviceMode> deviceMode() override;
  void setDeviceMode(const TfrDeviceMode& mode) override;
  std::vector<TfrCodeName> paperSizes() override;
  std::vector<TfrCodeName> paperSources() override;
  std::vector<TfrDriverOption> driverOptions() override;
  TfrDeviceMetrics deviceMetrics() override;
  bool printing() override;
  QPrinter* paintDevice() override;

  // The page size a paper code stands for on the current printer; invalid when none.
  QPageSize pageSizeFor(int code) const;

 private:
  struct Paper {
    int code;
    QPageSize size;
  };
  struct Source {
    int code;
    std::string keyword;
    std::string name;  // engine text
  };

  void loadPrinter(const QPrinterInfo& info);
  void loadDriverDescription(const QString& name);
  void pushDriverOptions();
  int paperCodeOf(const QPageSize& size) const;

  QList<QPrinterInfo> infos_;
  QString current_;
  std::unique_ptr<QPrinter> printer_;
  bool customSizes_ = false;
  std::string port_;
  std::vector<Paper> papers_;
  std::vector<Source> sources_;
  std::string defaultSourceKeyword_;
  std::vector<TfrDriverOption> options_;
  // The value of every driver option chosen so far (paper source included), sent with a job.
  std::map<std::string, std::string> chosen_;
};

}  // namespace kelpo::report
