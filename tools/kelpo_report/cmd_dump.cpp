// kelpo-report dump: prints a readable listing of a template stream (or of ReportForm bytes), or
// of a prepared-report file (.frp).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/barcode_view.h"
#include "report/core/report.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/headless_app.h"

namespace kelpo::tools {
namespace {

using namespace kelpo::report;

std::string u(const std::string& engine) { return engineToUtf8(engine); }

std::string lines(const TfrStrings& list) {
  std::string out;
  for (std::size_t i = 0; i < list.size(); ++i) out += (i ? " | " : "") + u(list[i]);
  return "[" + out + "]";
}

void dumpView(const TfrView& v) {
  std::printf("  object %s typ %d class %s id %d rec %d.%d\n", u(v.name).c_str(), v.typ,
              v.className().c_str(), v.id, v.versionMajor, v.versionMinor);
  std::printf("    pos %d,%d size %dx%d flags 0x%X frameTyp %d frameWidth %g frameColor 0x%X "
              "frameStyle %d fill 0x%X\n",
              v.x, v.y, v.dx, v.dy, v.flags, v.frameTyp, v.frameWidth, v.frameColor,
              v.frameStyle, v.fillColor);
  std::printf("    format 0x%X formatStr \"%s\" visible %d restrictions 0x%X gaps %d,%d "
              "bandAlign %d tag \"%s\"\n",
              v.format, u(v.formatStr).c_str(), v.visible, v.restrictions, v.gapX, v.gapY,
              v.bandAlign, u(v.tag).c_str());
  std::printf("    text %s\n    script %s\n", lines(v.memo).c_str(), lines(v.script).c_str());
  if (auto* m = dynamic_cast<const TfrMemoView*>(&v)) {
    std::printf("    font \"%s\" %d style 0x%X colour 0x%X charset %d alignment 0x%X\n",
                u(m->font.name).c_str(), m->font.size, m->font.style, m->font.color,
                m->font.charset, m->alignment);
    std::printf("    highlight style 0x%X colour 0x%X fill 0x%X \"%s\" lineSpacing %d "
                "charSpacing %d\n",
                m->highlightStyle, m->highlightColor, m->highlightFill,
                u(m->highlightCondition).c_str(), m->lineSpacing, m->characterSpacing);
  } else if (auto* b = dynamic_cast<const TfrBandView*>(&v)) {
    std::printf("    band %s child \"%s\" master \"%s\" columns %d width %d gap %d after %d\n",
                bandTypeName(b->bandType()), u(b->childBand).c_str(), u(b->master).c_str(),
                b->columns, b->columnWidth, b->columnGap, b->newColumnAfter);
  } else if (auto* p = dynamic_cast<const TfrPictureView*>(&v)) {
    std::printf("    graphic kind %d blob type %d, %zu bytes\n", p->graphicKind, p->blobType,
                p->graphicData.size());
  } else if (auto* s = dynamic_cast<const TfrSubReportView*>(&v)) {
    std::printf("    sub-report page %d\n", s->subPage);
  } else if (auto* c = dynamic_cast<const TfrBarCodeView*>(&v)) {
    std::printf("    barcode type %d checksum %d showText %d mode %d zoom %g rotation %g\n",
                c->barType, c->calcCheckSum, c->showText, c->mode, c->zoom, c->rotation);
  }
}

void dumpList(const char* title, const TfrVariables& list) {
  std::printf("  %s: %d\n", title, list.Count());
  for (int i = 0; i < list.Count(); ++i)
    std::printf("    \"%s\" = \"%s\"\n", u(list.GetNameAt(i)).c_str(),
                u(list.GetValueAt(i).toText()).c_str());
}

bool isPreparedFile(const std::string& name) {
  return name.size() > 4 && QString::fromStdString(name.substr(name.size() - 4)).toLower() == ".frp";
}

// Pages in order with their paper, margins and metrics, then their objects in output order.
int dumpPrepared(const std::string& data) {
  HeadlessApplication app;
  TfrReport r;
  r.emfPages.loadFromStream(data);
  std::printf("prepared report: printer \"%s\" pages %d generator %d\n",
              u(r.printerName).c_str(), r.emfPages.count(), r.info.generatorVersion);
  for (int i = 0; i < r.emfPages.count(); ++i) {
    TfrEMFPage& p = r.emfPages[i];
    const TfrPrnInfo& m = p.prnInfo;
    std::printf("page %d: size %d %dx%d orientation %d bin %d UseMargins %d margins %d,%d,%d,%d\n",
                i + 1, p.pgSize, p.pgWidth, p.pgHeight, p.orientation, p.pgBin, p.useMargins,
                p.margins[0], p.margins[1], p.margins[2], p.margins[3]);
    std::printf("  metrics device %dx%d units %dx%d offsets %d,%d / %d,%d printable %dx%d / %dx%d\n",
                m.pgw, m.pgh, m.pw, m.ph, m.ofx, m.ofy, m.ofpx, m.ofpy, m.ppgw, m.ppgh, m.ppw,
                m.pph);
    r.emfPages.readObjects(i);
    for (const auto& v : p.page->objects) dumpView(*v);
    r.emfPages.releaseObjects(i);
  }
  return 0;
}

int runDump(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kelpo-report dump FILE\n");
    return 2;
  }
  std::ifstream in(args[0], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", args[0].c_str());
    return 1;
  }
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (isPreparedFile(args[0])) return dumpPrepared(data);
  int failures = 0;
  setMessageHook([&](const MessageRecord& m) {
    std::fprintf(stderr, "%s: %s\n", m.caption.toUtf8().constData(), m.text.toUtf8().constData());
    ++failures;
    return QMessageBox::Ok;
  });
  registerBarCodeView();
  TfrReport r;
  // ReportForm bytes are int32 25 and int32 length of the rest; anything else is a stream.
  auto le32 = [&](std::size_t at) {
    return std::uint32_t(std::uint8_t(data[at])) | std::uint32_t(std::uint8_t(data[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(data[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(data[at + 3])) << 24;
  };
  if (data.size() >= 8 && le32(0) == 25 && le32(4) == data.size() - 8) {
    std::printf("ReportForm wrapping: int32 25, stream of %zu bytes\n", data.size() - 8);
    r.readReportForm(data);
  } else {
    r.loadFromStream(data, true);
  }
  std::printf("report: PrintToDefault %d DoublePass %d printer \"%s\"\n", r.printToDefault,
              r.doublePass, u(r.printerName).c_str());
  for (int i = 0; i < r.pages.count(); ++i) {
    const TfrPage& p = *r.pages[i];
    std::printf("page %d \"%s\": size %d %dx%d orientation %d bin 0x%X margins %d,%d,%d,%d "
                "UseMargins %d PrintToPrevPage %d columns %d gap %d type %d\n",
                i, u(p.name).c_str(), p.pgSize, p.pgWidth, p.pgHeight, p.orientation, p.pgBin,
                p.marginLeft, p.marginTop, p.marginRight, p.marginBottom, p.useMargins,
                p.printToPrevPage, p.columns, p.colGap, p.pageType);
    std::printf("  dialog: border %d caption \"%s\" colour 0x%X bounds %d,%d,%d,%d position %d\n",
                p.borderStyle, u(p.caption).c_str(), p.color, p.left, p.top, p.width, p.height,
                p.position);
    std::printf("  script %s\n", lines(p.script).c_str());
    for (const auto& v : p.objects) dumpView(*v);
  }
  std::printf("dictionary:\n");
  dumpList("variables", r.dictionary.VariableList);
  dumpList("aliases", r.dictionary.AliasList);
  dumpList("band sources", r.dictionary.BandSourceList);
  const auto& inf = r.info;
  std::printf("report information: comment \"%s\" name \"%s\" author \"%s\" version "
              "\"%s\".\"%s\".\"%s\".\"%s\" password %zu bytes protected %d generator %d "
              "created %.8f last change %.8f\n",
              u(inf.comment).c_str(), u(inf.name).c_str(), u(inf.author).c_str(),
              u(inf.vMajor).c_str(), u(inf.vMinor).c_str(), u(inf.vRelease).c_str(),
              u(inf.vBuild).c_str(), inf.password.size(), inf.passwordProtected,
              inf.generatorVersion, inf.created, inf.lastChange);
  setMessageHook({});
  return failures ? 1 : 0;
}

}  // namespace

KELPO_REPORT_COMMAND("dump", "FILE  list the report settings, pages, objects, dictionary and "
                     "information of a template stream or ReportForm bytes; or the printer, "
                     "pages and objects of a prepared-report file (.frp)", runDump);

}  // namespace kelpo::tools
