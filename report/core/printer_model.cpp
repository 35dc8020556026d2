#include "report/core/printer_model.h"

#include <cmath>

namespace kelpo::report {

namespace {
TfrPrinterModel* g_model = nullptr;
}

TfrPrinterModel* printerModel() { return g_model; }
void setPrinterModel(TfrPrinterModel* model) { g_model = model; }

std::int32_t tenthsMmToUnits(std::int32_t tenths) {
  return static_cast<std::int32_t>(std::nearbyint(tenths / 254.0 * kLayoutUnitsPerInch));
}

TfrPrnInfo paperOnlyMetrics(std::int32_t width, std::int32_t height) {
  TfrPrnInfo m;
  m.pw = m.pgw = m.ppw = m.ppgw = tenthsMmToUnits(width);
  m.ph = m.pgh = m.pph = m.ppgh = tenthsMmToUnits(height);
  return m;
}

}  // namespace kelpo::report
