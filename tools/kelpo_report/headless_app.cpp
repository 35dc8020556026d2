#include "tools/kelpo_report/headless_app.h"

#include "platform/fonts.h"
#include "report/core/addin_registry.h"

namespace kelpo::tools {

HeadlessApplication::OffscreenUnlessSet::OffscreenUnlessSet() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

HeadlessApplication::HeadlessApplication() : app_(argc_, argv_) {
  registerFontSubstitutions();
  report::registerBarCodeView();
}

}  // namespace kelpo::tools
