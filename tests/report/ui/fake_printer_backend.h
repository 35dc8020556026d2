// A printer with fixed metrics and capabilities that records what the printer model asks of it.
#pragma once

#include <stdexcept>

#include "report/ui/printer.h"

namespace kelpo::report::testing {

class FakePrinterBackend : public PrinterBackend {
 public:
  struct State {
    std::vector<std::string> names{"Office", "Label"};
    int current = 0;
    bool selectable = true;
    bool hasMode = true;
    bool throwOnMetrics = false;
    bool printing = false;
    TfrDeviceMode mode;
    TfrDeviceMetrics metrics{4960, 7016, 100, 120, 4760, 6776, 600, 600};
    std::vector<TfrCodeName> sizes{{9, "A4"}, {11, "A5"}, {1, "Letter"}};
    std::vector<TfrCodeName> sources{{1, "Upper"}, {2, "Lower"}};
    std::vector<TfrDriverOption> options;
    // What the model did.
    int selectCalls = 0;
    int modeReads = 0;
    int modeWrites = 0;
    TfrDeviceMode lastWritten;
  };

  explicit FakePrinterBackend(State* state) : s_(state) {
    s_->mode.fields = TfrDeviceMode::kOrientation | TfrDeviceMode::kPaperSize |
                      TfrDeviceMode::kCopies | TfrDeviceMode::kDefaultSource;
    s_->mode.paperSize = 9;
    s_->mode.defaultSource = 1;
  }

  std::vector<std::string> printers() override { return s_->names; }
  int currentPrinter() override { return s_->names.empty() ? -1 : s_->current; }
  bool selectPrinter(int index) override {
    ++s_->selectCalls;
    if (!s_->selectable) return false;
    s_->current = index;
    return true;
  }
  std::string device() override { return s_->names.at(s_->current); }
  std::string driver() override { return "Fake Driver"; }
  std::string port() override { return "fake:/"; }
  std::optional<TfrDeviceMode> deviceMode() override {
    ++s_->modeReads;
    if (!s_->hasMode) return std::nullopt;
    return s_->mode;
  }
  void setDeviceMode(const TfrDeviceMode& mode) override {
    ++s_->modeWrites;
    s_->lastWritten = mode;
    s_->mode = mode;
    // Like a driver: the physical page follows the paper and the orientation.
    int w = 0, h = 0;
    if (mode.paperSize == 256 && mode.has(TfrDeviceMode::kPaperWidth)) {
      w = mode.paperWidth;
      h = mode.paperLength;
    } else if (mode.paperSize == 11) {
      w = 1480;
      h = 2100;
    } else {
      w = 2100;
      h = 2970;
    }
    if (mode.orientation == TPrinterOrientation::poLandscape) std::swap(w, h);
    s_->metrics.physicalWidth = w * 600 / 254;
    s_->metrics.physicalHeight = h * 600 / 254;
  }
  std::vector<TfrCodeName> paperSizes() override { return s_->sizes; }
  std::vector<TfrCodeName> paperSources() override { return s_->sources; }
  std::vector<TfrDriverOption> driverOptions() override { return s_->options; }
  TfrDeviceMetrics deviceMetrics() override {
    if (s_->throwOnMetrics) throw std::runtime_error("printer went away");
    return s_->metrics;
  }
  bool printing() override { return s_->printing; }

 private:
  State* s_;
};

}  // namespace kelpo::report::testing
