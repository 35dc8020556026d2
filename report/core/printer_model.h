// The report core's view of the program-wide printer model: the 12 printer metrics a page keeps
// and the few paper operations pages and the report need. The printer model of the preview and
// printing layer implements this interface and registers itself, so the core never depends on it.
#pragma once

#include <cstdint>
#include <string>

namespace kelpo::report {

// Layout units per inch of report geometry.
inline constexpr double kLayoutUnitsPerInch = 91.62561576354680426;

// Printer metrics: paper and printable area in printer pixels and in layout units.
struct TfrPrnInfo {
  std::int32_t pgw = 0, pgh = 0;    // device page width, height
  std::int32_t pw = 0, ph = 0;      // page width, height in layout units
  std::int32_t ofx = 0, ofy = 0;    // device offsets of the printable area
  std::int32_t ofpx = 0, ofpy = 0;  // the same in layout units
  std::int32_t ppgw = 0, ppgh = 0;  // device printable width, height
  std::int32_t ppw = 0, pph = 0;    // printable width, height in layout units
  bool operator==(const TfrPrnInfo&) const = default;
};

// Paper settings as pages hand them to the printer and read them back.
struct TfrPaper {
  std::int32_t size = 9;
  std::int32_t width = 2100;
  std::int32_t height = 2970;
  std::uint8_t orientation = 0;
  std::int32_t bin = 0xFFFF;
};

class TfrPrinterModel {
 public:
  virtual ~TfrPrinterModel() = default;
  // Current paper settings of the selected printer.
  virtual TfrPaper paper() const = 0;
  // Applies a page's paper (may throw when the printer refuses it) and returns the paper in force.
  virtual TfrPaper setPaper(const TfrPaper& paper) = 0;
  virtual TfrPrnInfo metrics() const = 0;
  // Name of the selected printer; whether it is the virtual printer.
  virtual std::string printerName() const = 0;
  virtual bool isVirtual() const = 0;
  // Selects the printer of that name when the list has it; returns whether it did.
  virtual bool selectPrinter(const std::string& name) = 0;
};

// The registered printer model, or null before one is registered (then pages compute their
// metrics from the paper alone, with no unprintable border).
TfrPrinterModel* printerModel();
void setPrinterModel(TfrPrinterModel* model);

// Metrics of a paper of `width` x `height` tenths of a millimetre (orientation already applied)
// when no printer is known: device pixels equal layout units, no offsets.
TfrPrnInfo paperOnlyMetrics(std::int32_t width, std::int32_t height);

// Tenths of a millimetre to layout units, rounded half to even.
std::int32_t tenthsMmToUnits(std::int32_t tenths);

}  // namespace kelpo::report
