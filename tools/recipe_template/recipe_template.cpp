#include "tools/recipe_template/recipe_template.h"

#include <QDateTime>

#include "platform/text.h"

namespace kelpo::report {

namespace {

double storedDateTime(int y, int mo, int d, int h, int mi, int s) {
  QDateTime t(QDate(y, mo, d), QTime(h, mi, s));
  return static_cast<double>(QDate(1899, 12, 30).daysTo(t.date())) +
         t.time().msecsSinceStartOfDay() / 86400000.0;
}

struct MemoSpec {
  const char* name;
  int x, y, w, h;
  const char* text;  // UTF-8
  const char* font;  // UTF-8
  int size, charset;
  std::uint32_t alignment;
};

// The contact line is sized so the template stream keeps its recorded length of 1116 bytes.
const MemoSpec kMemos[] = {
    {"Memo1", 188, 144, 276, 20, "联系: kelpo.cn", "宋体", 12, 0, 0x0A},
    {"Memo2", 188, 104, 276, 32, "[ADOQuery3.\"菜谱\"]", "隶书", 20, 134, 0x0A},
    {"Memo3", 104, 196, 472, 120, "[ADOQuery3.\"配料\"]", "宋体", 12, 0, 0},
    {"Memo4", 104, 324, 472, 248, "[ADOQuery3.\"方法\"]", "宋体", 12, 0, 0},
    {"Memo5", 104, 592, 496, 84, "[ADOQuery3.\"特点\"]", "Arial", 10, 1, 0},
    {"Memo6", 104, 688, 500, 100, "[ADOQuery3.\"提示\"]", "Arial", 10, 1, 0},
};

}  // namespace

void buildRecipeTemplate(TfrReport& report) {
  report.clear();
  report.printToDefault = false;
  report.doublePass = false;
  report.printerName = "Lenovo 3110";
  TfrPage* page = report.pages.add();
  page->changePaper(13, 1820, 2570, 0xFFFF, 0);
  page->name.clear();
  page->useMargins = true;

  auto band = std::make_unique<TfrBandView>();
  band->name = utf8ToEngine("报表标题1");
  band->frameTyp = static_cast<std::uint16_t>(TfrBandType::btReportTitle);
  band->x = 0;
  band->y = 40;
  band->dx = 656;
  band->dy = 804;
  page->objects.push_back(std::move(band));

  for (const auto& m : kMemos) {
    auto memo = std::make_unique<TfrMemoView>();
    memo->name = m.name;
    memo->x = m.x;
    memo->y = m.y;
    memo->dx = m.w;
    memo->dy = m.h;
    memo->memo = {utf8ToEngine(m.text)};
    memo->font.name = utf8ToEngine(m.font);
    memo->font.size = m.size;
    memo->font.charset = static_cast<std::uint16_t>(m.charset);
    memo->alignment = m.alignment;
    page->objects.push_back(std::move(memo));
  }
  report.info = TfrReportInfo{};
  report.info.created = storedDateTime(2006, 4, 26, 18, 44, 59);
  report.info.lastChange = storedDateTime(2006, 5, 10, 7, 44, 31);
}

std::string recipeTemplateForm() {
  TfrReport report;
  buildRecipeTemplate(report);
  std::string stream = report.saveToStream(report.info.lastChange);
  TfrWriter w;
  w.i32(25);
  w.i32(static_cast<std::int32_t>(stream.size()));
  w.bytes(stream);
  return w.take();
}

}  // namespace kelpo::report
