// Any byte string given as a prepared-report file must load or end in a reader error: no crash,
// no hang, no read outside the buffer, no allocation beyond the bytes given. Pages that load are
// read back, drawn, hit-tested and saved again.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/error.h"
#include "platform/fonts.h"
#include "platform/shell.h"
#include "report/core/addin_registry.h"
#include "report/core/report.h"

// Fontconfig and Qt's font caches keep allocations for the life of the process as text of new
// fonts is drawn; they are not leaks of ours, and every other sanitizer check stays on.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
// Undefined behaviour is a finding like a crash.
extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QGuiApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz_prepared";
    static char* argv[] = {name, nullptr};
    auto* a = new QGuiApplication(argc, argv);
    kelpo::registerFontSubstitutions();
    kelpo::report::registerBarCodeView();
    kelpo::setShellOpenHook([](const QString&) {});
    return a;
  }();
  (void)app;
  using namespace kelpo::report;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TfrReport report;
  try {
    report.emfPages.loadFromStream(bytes);
  } catch (const kelpo::Error&) {
    return 0;
  }
  // What loaded saves and loads again to the same pages.
  const std::string saved = report.emfPages.saveToStream();
  TfrReport again;
  again.emfPages.loadFromStream(saved);
  if (again.emfPages.count() != report.emfPages.count()) std::abort();
  QImage image(96, 128, QImage::Format_RGB32);
  for (int i = 0; i < report.emfPages.count() && i < 4; ++i) {
    try {
      report.emfPages.readObjects(i);
      report.emfPages[i].visible = true;
      QPainter canvas(&image);
      report.emfPages.draw(i, canvas, image.rect());
      report.emfPages.hitTest(i, {20, 20}, true);
      report.emfPages.writeObjects(i);
    } catch (const kelpo::Error&) {
    }
  }
  return 0;
}
