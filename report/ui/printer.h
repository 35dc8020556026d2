// The printer model: the program's printers with the virtual printer last, the current paper
// settings, and the printer metrics that report pages are laid out and drawn with.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "report/core/printer_model.h"

class QPrinter;
class QWidget;

namespace kelpo::report {

enum class TPrinterOrientation : std::uint8_t { poPortrait = 0, poLandscape = 1 };

// A printer's settings record. `fields` tells which members the printer supports; for the two
// custom-size members it also tells whether a custom size is present.
struct TfrDeviceMode {
  enum Field : std::uint32_t {
    kOrientation = 0x1,
    kPaperSize = 0x2,
    kPaperLength = 0x4,
    kPaperWidth = 0x8,
    kCopies = 0x100,
    kDefaultSource = 0x200,
  };
  std::uint32_t fields = 0;
  TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
  int paperSize = 9;
  // Custom paper size in tenths of a millimetre, as fed (before the orientation turns it).
  int paperLength = 0;
  int paperWidth = 0;
  int copies = 1;
  int defaultSource = -1;
  // The driver's further settings: option keyword and chosen value, as the driver names them.
  std::vector<std::pair<std::string, std::string>> driverOptions;

  bool has(Field f) const { return (fields & f) != 0; }
  bool operator==(const TfrDeviceMode&) const = default;
};

// A paper size or paper source a printer offers: its code and its name (engine text).
struct TfrCodeName {
  int code = 0;
  std::string name;
};

// One further setting of a printer driver and the values it can take; keywords are the
// driver's own names, texts are engine text for showing.
struct TfrDriverChoice {
  std::string keyword;
  std::string text;
};
struct TfrDriverOption {
  std::string keyword;
  std::string text;
  std::vector<TfrDriverChoice> choices;
  std::string defaultChoice;
};

// Device metrics of a printer for its current settings, in printer pixels.
struct TfrDeviceMetrics {
  int physicalWidth = 0;
  int physicalHeight = 0;
  int offsetX = 0;
  int offsetY = 0;
  int printableWidth = 0;
  int printableHeight = 0;
  int dpiX = 0;
  int dpiY = 0;
};

// The platform's printing interface as the printer model uses it. The program uses the
// system's printers; tests may put in a printer of their own.
class PrinterBackend {
 public:
  virtual ~PrinterBackend() = default;
  // Installed printers in the platform's order (engine text); reads the system's list anew.
  virtual std::vector<std::string> printers() = 0;
  // Position of the platform's current printer in the last list, −1 when there is none.
  virtual int currentPrinter() = 0;
  // Makes printer `index` the platform's current printer; false when it cannot be used.
  virtual bool selectPrinter(int index) = 0;
  virtual std::string device() = 0;
  virtual std::string driver() = 0;
  virtual std::string port() = 0;
  // The current printer's settings record; none when the printer gives none.
  virtual std::optional<TfrDeviceMode> deviceMode() = 0;
  virtual void setDeviceMode(const TfrDeviceMode& mode) = 0;
  virtual std::vector<TfrCodeName> paperSizes() = 0;
  virtual std::vector<TfrCodeName> paperSources() = 0;
  virtual std::vector<TfrDriverOption> driverOptions() = 0;
  virtual TfrDeviceMetrics deviceMetrics() = 0;
  // Whether a print job is being produced on the current printer.
  virtual bool printing() = 0;
  // The device pages are drawn on; null when there is none.
  virtual QPrinter* paintDevice() { return nullptr; }
};

// Printer metrics (device pixels and layout units) of a printer's device metrics.
TfrPrnInfo printerMetricsFrom(const TfrDeviceMetrics& metrics);

class TfrPrinter : public TfrPrinterModel {
 public:
  // Text buffers of the platform's printer identification hold at most this many bytes.
  static constexpr std::size_t kIdentityBytes = 127;
  // At most this many paper codes or bin codes are kept.
  static constexpr std::size_t kMaxCodes = 256;

  // A model with paper size 9 and no printer list; attach() connects it to the printers.
  explicit TfrPrinter(std::unique_ptr<PrinterBackend> backend);
  ~TfrPrinter() override;

  // Start-up: refresh the printer list; when that leaves no settings record, the virtual
  // printer is selected and the paper size is unknown (−1), so the next setting is applied.
  void attach();

  void refreshPrinterList();
  void selectPrinter(int index);
  void readPrinterSettings();
  void applyPaperSettings();
  bool samePaper(int size, int width, int height, TPrinterOrientation orientation, int bin) const;
  void setPaper(int size, int width, int height, TPrinterOrientation orientation, int bin,
                bool force);
  void fillPrinterMetrics(TfrPrnInfo& info) const;
  // The printer's properties dialog on a copy of its settings record; the copy replaces the
  // record when the user confirms. Returns whether the user confirmed.
  bool showPrinterProperties(QWidget* parent = nullptr);

  const std::vector<std::string>& printerNames() const { return printerNames_; }
  int printerIndex() const { return printerIndex_; }
  int virtualPrinterIndex() const { return virtualPrinterIndex_; }
  int paperSize() const { return paperSize_; }
  int paperWidth() const { return paperWidth_; }
  int paperHeight() const { return paperHeight_; }
  TPrinterOrientation orientation() const { return orientation_; }
  int bin() const { return bin_; }
  const std::vector<int>& paperCodes() const { return paperCodes_; }
  const std::vector<std::string>& paperNames() const { return paperNames_; }
  const std::vector<int>& binCodes() const { return binCodes_; }
  const std::vector<std::string>& binNames() const { return binNames_; }
  const std::string& device() const { return device_; }
  const std::string& driver() const { return driver_; }
  const std::string& port() const { return port_; }
  // The current printer's settings record; none for the virtual printer.
  std::optional<TfrDeviceMode> deviceMode() const;
  // The device a print run draws on; null for the virtual printer.
  QPrinter* platformPrinter() const;
  PrinterBackend& backend() const { return *backend_; }

  // The report core's view of the model.
  TfrPaper paper() const override;
  TfrPaper setPaper(const TfrPaper& paper) override;
  TfrPrnInfo metrics() const override;
  std::string printerName() const override;
  bool isVirtual() const override;
  bool selectPrinter(const std::string& name) override;

 private:
  void useVirtualPrinter();

  std::unique_ptr<PrinterBackend> backend_;
  std::string device_, driver_, port_;
  std::vector<std::string> printerNames_;
  int printerIndex_ = -1;
  int virtualPrinterIndex_ = -1;
  int paperSize_ = 9;
  int paperWidth_ = 2100;
  int paperHeight_ = 2970;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
  int bin_ = -1;
  std::vector<int> paperCodes_;
  std::vector<std::string> paperNames_;
  std::vector<int> binCodes_;
  std::vector<std::string> binNames_;
};

// Name of the default paper source, entry 0 of every printer's bin list (engine text).
std::string defaultSourceName();

// A bin code that leaves the choice of paper source to the printer.
inline bool isDefaultBin(int bin) { return (bin & 0xFFFF) == 0xFFFF; }

// The program-wide printer model: created on the system's printers, attached, and registered
// as the report core's printer model. Called once at start-up before the rest of the report
// engine; later calls return the same model.
TfrPrinter& createPrinterModel();
// The program-wide printer model, or null before createPrinterModel().
TfrPrinter* frPrinter();

}  // namespace kelpo::report
