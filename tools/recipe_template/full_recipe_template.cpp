// The full recipe sheet: the stored template's content on A4 with the recipe's photograph, and
// the long texts on stretched bands that may split, so a long method goes on over the page.
#include <QDateTime>

#include "platform/text.h"
#include "tools/recipe_template/recipe_template.h"

namespace kelpo::report {

namespace {

constexpr std::uint16_t kBold = 2;
constexpr std::uint32_t kCentre = 2, kVerticalCentre = 8;
constexpr std::uint32_t kDarkRed = 0x000080;  // 0x00BBGGRR
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint16_t kAllLines = 15;
constexpr int kLeft = 58, kWidth = 640;  // the text column, in layout units

TfrBandView* addBand(TfrPage& page, const char* name, TfrBandType type, int y, int height,
                     const char* child = "") {
  auto band = std::make_unique<TfrBandView>();
  band->name = utf8ToEngine(name);
  band->frameTyp = static_cast<std::uint16_t>(type);
  band->flags = flStretched | flBandBreaked | flBandOnFirstPage | flBandOnLastPage;
  band->y = y;
  band->dx = 757;
  band->dy = height;
  band->childBand = utf8ToEngine(child);
  auto* added = band.get();
  page.objects.push_back(std::move(band));
  return added;
}

TfrMemoView* addMemo(TfrPage& page, const char* name, int x, int y, int w, int h, const char* text,
                     const char* font, int size) {
  auto memo = std::make_unique<TfrMemoView>();
  memo->name = name;
  memo->x = x, memo->y = y, memo->dx = w, memo->dy = h;
  memo->memo = {utf8ToEngine(text)};
  memo->font.name = utf8ToEngine(font);
  memo->font.size = size;
  auto* added = memo.get();
  page.objects.push_back(std::move(memo));
  return added;
}

// A section heading: bold, dark red, never stretched.
void addHeading(TfrPage& page, const char* name, int y, const char* text) {
  TfrMemoView* heading = addMemo(page, name, kLeft, y, kWidth, 24, text, "宋体", 14);
  heading->flags = flWordWrap;
  heading->font.style = kBold;
  heading->font.color = kDarkRed;
}

void addRule(TfrPage& page, const char* name, int y) {
  auto line = std::make_unique<TfrLineView>();
  line->name = name;
  line->x = kLeft, line->y = y, line->dx = kWidth, line->dy = 1;
  line->frameWidth = 2;
  line->frameColor = kDarkRed;
  page.objects.push_back(std::move(line));
}

}  // namespace

void buildFullRecipeTemplate(TfrReport& report) {
  report.clear();
  report.printToDefault = true;
  report.doublePass = false;
  TfrPage* page = report.pages.add();
  page->changePaper(9, 2100, 2970, 0xFFFF, 0);
  page->useMargins = true;
  page->marginTop = page->marginBottom = 36;

  // Title, photograph and ingredients.
  addBand(*page, "报表标题1", TfrBandType::btReportTitle, 40, 316, "子项1");
  TfrMemoView* title =
      addMemo(*page, "Name", kLeft, 44, kWidth, 48, "[ADOQuery3.\"菜谱\"]", "隶书", 26);
  title->alignment = kCentre | kVerticalCentre;
  title->flags = flWordWrap;
  addRule(*page, "Line1", 96);
  auto photo = std::make_unique<TfrPictureView>();
  photo->name = "Photograph";
  photo->x = kLeft, photo->y = 108, photo->dx = 320, photo->dy = 240;
  photo->flags = flStretched | flPictRatio | flPictCenter;
  photo->frameTyp = kAllLines;
  photo->frameColor = kGrey;
  // Recipe photographs lie below the program folder, named by the recipe's 图片.
  photo->script = {utf8ToEngine("Photograph.LoadFromFile(ProgramFolder + [ADOQuery3.\"图片\"])")};
  page->objects.push_back(std::move(photo));
  TfrMemoView* heading =
      addMemo(*page, "IngredientsHeading", 396, 108, 302, 24, "配料", "宋体", 14);
  heading->flags = flWordWrap;
  heading->font.style = kBold;
  heading->font.color = kDarkRed;
  addMemo(*page, "Ingredients", 396, 136, 302, 212, "[ADOQuery3.\"配料\"]", "宋体", 12);

  // Method, features and tips: each grows with its text and may continue on the next page.
  addBand(*page, "子项1", TfrBandType::btChild, 370, 64, "子项2");
  addHeading(*page, "MethodHeading", 374, "做法");
  addMemo(*page, "Method", kLeft, 402, kWidth, 30, "[ADOQuery3.\"方法\"]", "宋体", 12);
  addBand(*page, "子项2", TfrBandType::btChild, 450, 64, "子项3");
  addHeading(*page, "FeaturesHeading", 454, "特点");
  addMemo(*page, "Features", kLeft, 482, kWidth, 30, "[ADOQuery3.\"特点\"]", "宋体", 12);
  addBand(*page, "子项3", TfrBandType::btChild, 530, 64);
  addHeading(*page, "TipsHeading", 534, "提示");
  addMemo(*page, "Tips", kLeft, 562, kWidth, 30, "[ADOQuery3.\"提示\"]", "宋体", 12);

  // Page number at the foot of every page.
  TfrBandView* footer = addBand(*page, "页脚1", TfrBandType::btPageFooter, 990, 30);
  footer->flags = flBandOnFirstPage | flBandOnLastPage;
  TfrMemoView* number =
      addMemo(*page, "PageNumber", kLeft, 996, kWidth, 20, "第 [PAGE#] 页", "宋体", 10);
  number->alignment = kCentre;
  number->flags = flWordWrap;
  number->font.color = kGrey;

  report.info = TfrReportInfo{};
  report.info.name = utf8ToEngine("完整菜谱");
}

std::string fullRecipeTemplateStream() {
  TfrReport report;
  buildFullRecipeTemplate(report);
  const QDateTime now = QDateTime::currentDateTime();
  return report.saveToStream(static_cast<double>(QDate(1899, 12, 30).daysTo(now.date())) +
                             now.time().msecsSinceStartOfDay() / 86400000.0);
}

}  // namespace kelpo::report
