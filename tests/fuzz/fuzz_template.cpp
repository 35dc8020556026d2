// Any byte string given to the template reader must load or end in the reader's own messages:
// no crash, no hang, no read outside the buffer, no allocation beyond the bytes given.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/message_box.h"
#include "report/core/addin_registry.h"
#include "report/core/report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool ready = [] {
    kelpo::setMessageHook([](const kelpo::MessageRecord&) { return QMessageBox::Ok; });
    kelpo::report::registerBarCodeView();
    return true;
  }();
  (void)ready;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kelpo::report::TfrReport report;
  report.loadFromStream(bytes);
  // A template that loaded must save and load again.
  std::string saved = report.saveToStream(1.0);
  kelpo::report::TfrReport again;
  again.loadFromStream(saved);
  try {
    again.readReportForm(bytes);
  } catch (const kelpo::report::StreamError&) {
  }
  return 0;
}
