// kelpo-report barcode: draws one barcode view into a PNG with a quiet zone of ten modules, at
// --scale pixels per layout unit, or prints the generator's pattern for a text.
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "report/core/barcode_view.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/headless_app.h"

namespace kelpo::tools {
namespace {

using report::TfrBarcode;

// A display name ("Code39 Extended", case ignored) or a number 0 to 22.
int barcodeType(const std::string& name) {
  for (int t = 0; t < report::kBarcodeTypeCount; ++t)
    if (QString::fromStdString(name).compare(report::barcodeTypeName(t), Qt::CaseInsensitive) ==
            0 ||
        name == std::to_string(t))
      return t;
  std::string names;
  for (int t = 0; t < report::kBarcodeTypeCount; ++t)
    names += std::string(t ? ", " : "") + "\"" + report::barcodeTypeName(t) + "\"";
  throw Error("unknown barcode type \"" + name + "\"; the types are 0 to 22 or " + names);
}

double decimal(const std::string& text, const char* what) {
  std::size_t used = 0;
  double v = 0;
  try {
    v = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || !std::isfinite(v))
    throw Error(std::string(what) + " must be a number, got \"" + text + "\"");
  return v;
}

struct Options {
  bool pattern = false, check = false, text = true;
  double zoom = 1, rotation = 0;
  int height = 64;
  // Pixels per layout unit: decoders read modules of several pixels far more surely than one.
  int scale = 3;
  std::vector<std::string> rest;
};

Options parse(const std::vector<std::string>& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw Error(a + " wants a value");
      return args[++i];
    };
    if (a == "--pattern")
      o.pattern = true;
    else if (a == "--check")
      o.check = true;
    else if (a == "--no-text")
      o.text = false;
    else if (a == "--zoom")
      o.zoom = decimal(value(), "the zoom");
    else if (a == "--rotation")
      o.rotation = decimal(value(), "the rotation");
    else if (a == "--height")
      o.height = static_cast<int>(decimal(value(), "the height"));
    else if (a == "--scale")
      o.scale = static_cast<int>(decimal(value(), "the scale"));
    else
      o.rest.push_back(a);
  }
  if (o.zoom <= 0 || o.zoom > 100) throw Error("the zoom must be above 0 and at most 100");
  if (o.height < 1 || o.height > 10000) throw Error("the height must be 1 to 10000");
  if (o.scale < 1 || o.scale > 20) throw Error("the scale must be 1 to 20");
  return o;
}

int runBarcode(const std::vector<std::string>& args) {
  const Options o = parse(args);
  if (o.rest.size() != (o.pattern ? 2u : 3u)) {
    std::fprintf(stderr,
                 "usage: kelpo-report barcode TYPE TEXT OUT.png [--check] [--no-text] [--zoom Z] "
                 "[--rotation R] [--height H] [--scale S]\n"
                 "       kelpo-report barcode --pattern TYPE TEXT [--check]\n");
    return 1;
  }
  const int type = barcodeType(o.rest[0]);
  const std::string text = utf8ToEngine(o.rest[1]);

  // The generator judges the text first, as the barcode editor does, so a rejected text is an
  // error here rather than a placeholder in the picture.
  TfrBarcode scratch;
  scratch.SetTyp(type);
  scratch.SetText(text);
  scratch.SetChecksum(o.check);
  const std::string pattern = scratch.MakePattern();
  if (o.pattern) {
    std::printf("%s\n", pattern.c_str());
    return 0;
  }

  HeadlessApplication app;

  report::TfrBarCodeView view;
  view.barType = static_cast<std::uint8_t>(type);
  view.memo = {text};
  view.calcCheckSum = o.check;
  view.showText = o.text;
  view.zoom = o.zoom;
  view.rotation = o.rotation;
  const bool across = o.rotation == 90 || o.rotation == 270;
  (across ? view.dx : view.dy) = o.height;
  // Laid out once for the picture's size; painting lays it out again the same way.
  view.memo1 = view.memo;
  view.layoutBarcode();

  // Drawn as a prepared page draws it, scaled, with the quiet zone as the page offset.
  const int quiet = static_cast<int>(std::lround(10 * o.zoom * o.scale));
  QImage image(view.dx * o.scale + 2 * quiet, view.dy * o.scale + 2 * quiet, QImage::Format_RGB32);
  image.fill(Qt::white);
  view.scaleX = view.scaleY = o.scale;
  view.offsetX = view.offsetY = quiet;
  const report::TfrDocMode mode = report::frDocMode();
  report::frDocMode() = report::TfrDocMode::Output;
  {
    QPainter painter(&image);
    view.Paint(painter);
  }
  report::frDocMode() = mode;
  const QString out = toQString(utf8ToEngine(o.rest[2]));
  if (!image.save(out, "PNG")) throw Error("cannot write \"" + o.rest[2] + "\"");
  return 0;
}

KELPO_REPORT_COMMAND("barcode",
                     "TYPE TEXT OUT.png [--check] [--no-text] [--zoom Z] [--rotation R] "
                     "[--height H] [--scale S] | --pattern TYPE TEXT [--check]: draws a barcode "
                     "view, or prints its pattern",
                     runBarcode);

}  // namespace
}  // namespace kelpo::tools
