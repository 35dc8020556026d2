// kelpo-report preview: opens the preview window on a prepared-report file, or draws the window
// into a PNG (--grab) at a chosen zoom and size, so the preview can be looked at without a screen.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <cstdio>

#include "platform/error.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/report.h"
#include "report/ui/preview_form.h"
#include "report/ui/print_run.h"
#include "report/ui/printer.h"
#include "tools/kelpo_report/command.h"

namespace kelpo::tools {
namespace {

using namespace kelpo::report;

int runPreview(const std::vector<std::string>& args) {
  std::string in, grab;
  int zoom = 0, width = 1000, height = 760;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--grab" && i + 1 < args.size()) {
      grab = args[++i];
    } else if (args[i] == "--zoom" && i + 1 < args.size()) {
      zoom = std::atoi(args[++i].c_str());
    } else if (args[i] == "--size" && i + 1 < args.size()) {
      if (std::sscanf(args[++i].c_str(), "%dx%d", &width, &height) != 2) in.clear();
    } else if (in.empty()) {
      in = args[i];
    } else {
      in.clear();
      break;
    }
  }
  if (in.empty() || width < 200 || height < 150 || width > 8000 || height > 8000) {
    std::fprintf(stderr,
                 "usage: kelpo-report preview FILE.frp [--grab OUT.png [--zoom TAG] [--size WxH]]\n");
    return 2;
  }
  if (!grab.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "kelpo-report";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kelpo"));
  registerFontSubstitutions();
  registerBarCodeView();
  createPrinterModel();
  // The preview's print button goes through the print dialog and the print run, as in Kelpo.
  installPrintRun();
  if (!grab.empty()) {
    // Nobody is there to press OK: boxes go to the error stream.
    setMessageHook([](const MessageRecord& r) {
      std::fprintf(stderr, "%s\n", r.text.toLocal8Bit().constData());
      return QMessageBox::Ok;
    });
  }

  TfrReport report;
  report.Title = fromQString(QFileInfo(QString::fromLocal8Bit(in.c_str())).fileName());
  int status = 0;
  try {
    report.LoadPreparedReport(fromQString(QString::fromLocal8Bit(in.c_str())));
  } catch (const std::exception& e) {
    // As opening from the window: the error is reported and the window shows no pages.
    report.emfPages.clear();
    const auto* engine = dynamic_cast<const Error*>(&e);
    showMessage(engine ? toQString(engine->message()) : QString::fromLocal8Bit(e.what()));
    status = 1;
  }
  if (grab.empty()) {
    TfrPreviewForm::ShowPreview(report);
    return status;
  }
  TfrPreviewForm form;
  form.resize(width, height);
  form.attach(report);
  form.show();
  if (zoom > 0) form.chooseZoom(zoom);
  QApplication::processEvents();
  if (!form.grab().save(QString::fromLocal8Bit(grab.c_str()), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", grab.c_str());
    return 1;
  }
  return status;
}

}  // namespace

KELPO_REPORT_COMMAND("preview",
                     "FILE.frp [--grab OUT.png [--zoom TAG] [--size WxH]]  open the preview "
                     "window on a prepared report (or draw it into a PNG; TAG is a percentage, "
                     "1 page width, 2 whole page, 3 two pages)",
                     runPreview);

}  // namespace kelpo::tools
