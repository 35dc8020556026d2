// kelpo-report render: draws one page of a prepared-report file into a PNG at 96 dpi.
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/error.h"
#include "platform/text.h"
#include "report/core/report.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/headless_app.h"

namespace kelpo::tools {
namespace {

using namespace kelpo::report;

int runRender(const std::vector<std::string>& args) {
  std::string in, out;
  int pageNo = 1;
  double scale = 1.0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--page" && i + 1 < args.size()) {
      pageNo = std::atoi(args[++i].c_str());
    } else if (args[i] == "--scale" && i + 1 < args.size()) {
      scale = std::atof(args[++i].c_str());
    } else if (in.empty()) {
      in = args[i];
    } else if (out.empty()) {
      out = args[i];
    } else {
      in.clear();
      break;
    }
  }
  if (in.empty() || out.empty() || !(scale > 0 && scale <= 8)) {
    std::fprintf(stderr, "usage: kelpo-report render FILE.frp [--page N] [--scale S] OUT.png\n");
    return 2;
  }
  std::ifstream file(in, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", in.c_str());
    return 1;
  }
  std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  HeadlessApplication app;
  TfrReport report;
  report.emfPages.loadFromStream(data);
  if (pageNo < 1 || pageNo > report.emfPages.count()) {
    std::fprintf(stderr, "error: %s has %d pages, no page %d\n", in.c_str(),
                 report.emfPages.count(), pageNo);
    return 1;
  }
  TfrEMFPage& page = report.emfPages[pageNo - 1];
  // A damaged picture would draw as an empty box; say which one instead of writing that page.
  report.emfPages.readObjects(pageNo - 1);
  for (const auto& v : page.page->objects) {
    auto* picture = dynamic_cast<const TfrPictureView*>(v.get());
    if (!picture) continue;
    try {
      picture->graphic();
    } catch (const Error& e) {
      std::fprintf(stderr, "error: page %d: picture \"%s\": %s\n", pageNo,
                   engineToUtf8(picture->name).c_str(), engineToUtf8(e.message()).c_str());
      return 1;
    }
  }
  // Layout units are 1/91.6 inch; at scale 1 the page is drawn at 96 dpi.
  const double pixelsPerUnit = 96.0 / kLayoutUnitsPerInch * scale;
  const int w = static_cast<int>(std::lround(page.prnInfo.pw * pixelsPerUnit));
  const int h = static_cast<int>(std::lround(page.prnInfo.ph * pixelsPerUnit));
  if (w <= 0 || h <= 0 || w > 20000 || h > 20000) {
    std::fprintf(stderr, "error: page %d has an unusable size\n", pageNo);
    return 1;
  }
  QImage image(w, h, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  image.fill(Qt::white);
  {
    QPainter canvas(&image);
    page.visible = true;
    report.emfPages.draw(pageNo - 1, canvas, QRect(0, 0, w, h));
    page.visible = false;
  }
  if (!image.save(QString::fromStdString(out), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("render",
                     "FILE.frp [--page N] [--scale S] OUT.png  draw one prepared page "
                     "(default 1, scale 1 = 100% at 96 dpi) into a PNG",
                     runRender);

}  // namespace kelpo::tools
