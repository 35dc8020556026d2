#include "tests/report/core/support_build.h"

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace kelpo::report::testing {

BuildFixture::BuildFixture() {
  form.setObjectName(QStringLiteral("FrmMain"));
  report = new TfrReport(&form);
  report->setObjectName(QStringLiteral("frReport1"));
  report->ShowProgress = false;
  tpage = report->pages.add();
  tpage->changePaper(9, 2100, 2970, 0xFFFF, 0);
  frEngine() = TfrEngineState{};
  ScriptVariables().Clear();
}

BuildFixture::~BuildFixture() {
  frScriptRunner() = nullptr;
  TfrBuildEngine::aggregateHooks() = {};
  setMessageHook(nullptr);
  frEngine() = TfrEngineState{};
  frParser().setValueCallback(ResolveVariable);
  frParser().setFunctionCallback(nullptr);
  frCurReport() = nullptr;
  frCurView() = nullptr;
}

TfrBandView* BuildFixture::band(int type, std::int32_t y, std::int32_t height,
                                const std::string& source, std::uint16_t flags) {
  auto v = std::make_unique<TfrBandView>();
  v->frameTyp = static_cast<std::uint16_t>(type);
  v->name = "Band" + std::to_string(tpage->objects.size() + 1);
  v->x = 0;
  v->y = y;
  v->dx = 700;
  v->dy = height;
  v->flags = flags;
  v->formatStr = source;
  tpage->objects.push_back(std::move(v));
  return static_cast<TfrBandView*>(tpage->objects.back().get());
}

TfrMemoView* BuildFixture::memo(const std::string& text, std::int32_t x, std::int32_t y,
                                std::int32_t w, std::int32_t h, std::uint16_t flags) {
  auto v = std::make_unique<TfrMemoView>();
  v->name = "Memo" + std::to_string(tpage->objects.size() + 1);
  v->x = x;
  v->y = y;
  v->dx = w;
  v->dy = h;
  v->flags = flags;
  v->memo = splitLines(text);
  tpage->objects.push_back(std::move(v));
  return static_cast<TfrMemoView*>(tpage->objects.back().get());
}

TfrUserDataset* BuildFixture::dataset(const char* name, int count) {
  auto* d = new TfrUserDataset(&form);
  d->setObjectName(QString::fromUtf8(name));
  d->RangeEnd = TRangeEnd::reCount;
  d->RangeEndCount = count;
  return d;
}

bool BuildFixture::prepare() {
  shownError.clear();
  setMessageHook([this](const MessageRecord& m) {
    shownError = fromQString(m.text);
    return QMessageBox::Ok;
  });
  return report->PrepareReport();
}

std::vector<Printed> BuildFixture::page(int i) {
  std::vector<Printed> out;
  report->emfPages.readObjects(i);
  for (auto& v : report->emfPages[i].page->objects) {
    std::string text;
    for (std::size_t n = 0; n < v->memo.size(); ++n) text += (n ? "|" : "") + v->memo[n];
    // Split parts carry wrapped lines with their paragraph marks; the rows show the text.
    std::erase(text, '\x01');
    out.push_back({v->name, v->x, v->y, v->dy, text});
  }
  return out;
}

std::string BuildFixture::texts(int i) {
  std::string out;
  for (const Printed& p : page(i)) out += (out.empty() ? "" : " ") + p.text;
  return out;
}

}  // namespace kelpo::report::testing
