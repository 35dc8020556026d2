// Band output with cross-tab cells and sub-reports: a stretched band as tall as its tallest
// column, a sub-report inside a sub-report's page, and a split band inside a sub-report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/report/core/support_build.h"

namespace kelpo::report::testing {
namespace {

// "text@x,y" for every object of a prepared page.
std::vector<std::string> placed(BuildFixture& f, int page) {
  std::vector<std::string> out;
  for (const Printed& p : f.page(page))
    out.push_back(p.text + "@" + std::to_string(p.x) + "," + std::to_string(p.y));
  return out;
}

TfrSubReportView* subReport(TfrPage* page, const std::string& name, std::int32_t x, std::int32_t y,
                            std::int32_t dx, std::int32_t dy, int subPage) {
  auto sub = std::make_unique<TfrSubReportView>();
  sub->name = name;
  sub->x = x;
  sub->y = y;
  sub->dx = dx;
  sub->dy = dy;
  sub->subPage = subPage;
  page->objects.push_back(std::move(sub));
  return static_cast<TfrSubReportView*>(page->objects.back().get());
}

TfrPage* addPage(BuildFixture& f) {
  f.tpage = f.report->pages.add();
  f.tpage->changePaper(9, 2100, 2970, 0xFFFF, 0);
  return f.tpage;
}

TEST(BandOutput, StretchedBandIsAsTallAsItsTallestCrossColumn) {
  BuildFixture f;
  // Only the second column's cell needs three lines.
  f.report->OnGetValue = [](const std::string& name, Value& v) {
    if (name == "CELL") v = Value(std::string(frEngine().column == 2 ? "a\r\nb\r\nc" : "a"));
  };
  f.band(btMasterData, 50, 20, "1", flStretched);
  f.memo("row", 10, 50, 60, 18, flStretched);
  auto* cross = f.band(btCrossData, 0, 0, "3");
  cross->x = 100;
  cross->dx = 100;
  f.memo("[CELL]", 110, 50, 80, 17, flStretched);
  f.band(btMasterFooter, 80, 10);
  f.memo("end", 0, 80);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  auto objects = f.page(0);
  ASSERT_EQ(objects.size(), 5u);
  // Arial 10 points: 15 units a line, plus a gap of 1 above and below.
  const std::int32_t h = 3 * 15 + 2;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(objects[i].dy, h) << objects[i].text;
  EXPECT_EQ(objects[2].text, "a|b|c");
  EXPECT_EQ(objects[4].text, "end");
  EXPECT_EQ(objects[4].y, h);
}

TEST(BandOutput, SubReportInsideASubReportsPagePrintsInItsArea) {
  BuildFixture f;
  TfrPage* main = f.tpage;
  f.band(btMasterData, 0, 30, "1");
  subReport(main, "SubReport1", 0, 0, 400, 30, 1);
  f.band(btMasterFooter, 40, 10);
  f.memo("end", 0, 40);
  TfrPage* middle = addPage(f);
  f.band(btMasterData, 0, 20, "2");
  f.memo("b[LINE#]", 0, 0, 50, 10);
  subReport(middle, "SubReport2", 100, 0, 200, 20, 2);
  addPage(f);
  f.band(btMasterData, 0, 10, "2");
  f.memo("c[LINE#]", 0, 0, 50, 10);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 1);
  EXPECT_EQ(placed(f, 0), (std::vector<std::string>{"b1@0,0", "c1@100,0", "c2@100,10", "b2@0,20",
                                                    "c1@100,20", "c2@100,30", "end@0,40"}));
}

TEST(BandOutput, SplitBandInsideASubReportContinuesOnTheNextPage) {
  BuildFixture f;
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;  // bottom edge 100
  TfrPage* main = f.tpage;
  f.band(btPageHeader, 0, 10);
  f.memo("header", 0, 0);
  f.band(btMasterData, 20, 30, "1");
  f.memo("m", 0, 20, 40, 10);
  subReport(main, "SubReport1", 50, 20, 300, 30, 1);
  f.band(btMasterFooter, 60, 10);
  f.memo("end", 0, 60);
  f.report->OnGetValue = [](const std::string& name, Value& v) {
    if (name == "TEXT") v = Value(std::string("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8"));
  };
  addPage(f);
  f.band(btMasterData, 0, 122, "1", flBandBreaked);
  f.memo("[TEXT]", 0, 0, 100, 122);  // room for all 8 lines
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 2);
  // The band's area starts at y 0 (no page header on the first page): free = 100 - 0 - 2 = 98
  // gives the memo 6 lines there. The rest continues below the main page's header on the next
  // page, in the sub-report's column, and the main band's footer follows it.
  EXPECT_EQ(placed(f, 0), (std::vector<std::string>{"m@0,0", "1|2|3|4|5|6@50,0"}));
  auto second = placed(f, 1);
  ASSERT_EQ(second.size(), 3u);
  EXPECT_EQ(second[0], "header@0,0");
  EXPECT_EQ(second[1], "7|8@50,10");
  EXPECT_EQ(second[2].rfind("end@0,", 0), 0u) << second[2];
}

}  // namespace
}  // namespace kelpo::report::testing
