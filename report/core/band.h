// The run-time band: one per band view while a report is prepared. Views on it are placed,
// aligned and output against its box; the build engine fills in the rest of its state.
#pragma once

#include <cstdint>

namespace kelpo::report {

class TfrPage;
class TfrBandView;

class TfrBand {
 public:
  virtual ~TfrBand() = default;

  TfrPage* page = nullptr;      // the template page being prepared
  TfrBandView* view = nullptr;  // none for a page's empty band of a type
  int type = 22;
  // Box on the page in layout units: vertical bands use x and width, horizontal ones y and height.
  std::int32_t x = 0, y = 0, dx = 0, dy = 0;
  std::int32_t calculatedHeight = 0;
  bool stretched = false;

  // Cross-tab bands run down the page and are placed side by side.
  bool vertical() const { return type >= 18 && type <= 20; }
};

}  // namespace kelpo::report
