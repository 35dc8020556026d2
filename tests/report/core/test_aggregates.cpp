// Aggregates in built reports: group footer, page footer and summary totals, the flags
// parameter for invisible records, and the sound MIN, MAX and AVG results.
#include <gtest/gtest.h>

#include <vector>

#include "platform/text.h"
#include "tests/report/core/support_build.h"

namespace kelpo::report::testing {
namespace {

// A report dataset "Rows" whose PRICE is prices[record] and whose group G is record / 3.
TfrUserDataset* rows(BuildFixture& f, std::vector<int> prices) {
  auto* data = f.dataset("Rows", static_cast<int>(prices.size()));
  f.report->OnGetValue = [data, prices](const std::string& name, Value& v) {
    const int rec = data->RecNo();
    if (rec < 0 || rec >= static_cast<int>(prices.size())) return;
    if (name == "PRICE") v = Value(prices[static_cast<std::size_t>(rec)]);
    if (name == "G") v = Value(rec / 3);
  };
  return data;
}

TEST(Aggregates, GroupFooterAndSummaryTotalTheirRecordsAndFootersReset) {
  BuildFixture f;
  rows(f, {1, 2, 3, 4, 5, 6});
  f.band(btGroupHeader, 0, 10, "G");     // Band1
  f.band(btMasterData, 20, 10, "Rows");  // Band2
  f.memo("[PRICE]", 0, 20);
  f.band(btGroupFooter, 40, 10);  // Band4
  f.memo("[SUM([PRICE])]/[COUNT(Band2)]", 0, 40);
  f.band(btReportSummary, 60, 10);  // Band6
  f.memo("[SUM([PRICE], Band2)] [AVG([PRICE])] [MIN([PRICE])] [MAX([PRICE])]", 0, 60);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  EXPECT_EQ(f.texts(0), "1 2 3 6/3 4 5 6 15/3 21 3.5 1 6");
}

TEST(Aggregates, PageFooterTotalsEachPageAcrossPageBreaks) {
  BuildFixture f;
  rows(f, {1, 2, 3, 4, 5});
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;
  f.band(btMasterData, 0, 40, "Rows");
  f.memo("[PRICE]", 0, 0);
  f.band(btPageFooter, 60, 10, {}, flBandOnFirstPage | flBandOnLastPage);
  f.memo("total [SUM([PRICE])]", 0, 60);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 3);
  EXPECT_EQ(f.texts(0), "1 2 total 3");
  EXPECT_EQ(f.texts(1), "3 4 total 7");
  EXPECT_EQ(f.texts(2), "5 total 5");
}

TEST(Aggregates, InvisibleRecordsCountOnlyWithTheFlag) {
  BuildFixture f;
  rows(f, {-4, -1, -7, -2});
  // Records with PRICE < -3 are hidden.
  f.band(btMasterData, 0, 10, "Rows")->script = {"Band1.Visible := [PRICE] >= -3"};
  f.memo("[PRICE]", 0, 0);
  f.band(btReportSummary, 20, 40);
  f.memo("[COUNT(Band1)] [COUNT(Band1, 1)] [SUM([PRICE])] [SUM([PRICE], Band1, 1)]", 0, 20);
  f.memo("[AVG([PRICE])] [AVG([PRICE], Band1, 1)] [MAX([PRICE])] [MIN([PRICE], Band1, 1)]", 0, 40);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  // MAX of only negative values is the largest of them; AVG divides by the records summed.
  EXPECT_EQ(f.texts(0), "-1 -2 2 4 -3 -14 -1.5 -3.5 -1 -7");
}

TEST(Aggregates, NoRecordsGiveZeroForAvgMinAndMax) {
  BuildFixture f;
  f.report->PrintIfEmpty = true;
  rows(f, {});
  f.band(btMasterData, 0, 10, "Rows");
  f.memo("[PRICE]", 0, 0);
  f.band(btReportSummary, 20, 10);
  f.memo("[AVG([PRICE])] [MIN([PRICE])] [MAX([PRICE])] [COUNT(Band1)]", 0, 20);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  EXPECT_EQ(f.texts(0), "0 0 0 0");
}

TEST(Aggregates, FootersTotalMastersAndDetailsSeparately) {
  BuildFixture f;
  rows(f, {0, 0, 0, 0, 0, 0});  // two groups of three masters
  f.band(btGroupHeader, 0, 10, "G");
  f.band(btMasterData, 20, 10, "Rows");  // Band2
  f.memo("M", 0, 20);
  f.band(btDetailData, 40, 10, "2");  // Band4
  f.memo("[LINE#]", 0, 40);
  f.band(btDetailFooter, 60, 10);
  f.memo("d=[SUM([LINE#])]", 0, 60);
  // A group footer counts the masters by default and the details when named; both reset
  // after each group.
  f.band(btGroupFooter, 80, 10);
  f.memo("g=[COUNT()]/[COUNT(Band4)]/[SUM([LINE#], Band4)]", 0, 80);
  f.band(btReportSummary, 100, 10);
  f.memo("s=[COUNT(Band2)]/[MAX([LINE#], Band4)]", 0, 100);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  const std::string group = "M 1 2 d=3 M 1 2 d=3 M 1 2 d=3 g=3/6/9";
  EXPECT_EQ(f.texts(0), group + " " + group + " s=6/2");
}

// A small cross-tab: two rows by three columns whose cell value is row * 10 + column.
TEST(Aggregates, CrossTabCellsKeepOneValuePerColumn) {
  BuildFixture f;
  f.band(btMasterData, 50, 20, "2");  // Band1
  f.memo("r[LINE#]", 10, 50, 60);
  auto* cross = f.band(btCrossData, 0, 0, "3");
  cross->x = 100;
  cross->dx = 100;
  f.memo("[[LINE#] * 10 + [COLUMN#]]", 110, 52, 80);
  auto* crossFooter = f.band(btCrossFooter, 0, 0);
  crossFooter->x = 200;
  crossFooter->dx = 100;
  // The cross footer's cell totals its row over the columns.
  f.memo("[SUM([LINE#] * 10 + [COLUMN#])]", 210, 52, 80);
  f.band(btMasterFooter, 80, 20);
  // The master footer's cell totals its column over the rows; an ordinary object of the same
  // footer keeps one total.
  f.memo("[SUM([LINE#] * 10 + [COLUMN#])]/[MAX([COLUMN#] * 100 + [LINE#])]", 110, 82, 80);
  f.memo("n=[COUNT(Band1)]", 10, 82, 60);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  EXPECT_EQ(f.texts(0), "r1 11 12 13 36 r2 21 22 23 66 n=2 32/102 34/202 36/302");
}

}  // namespace
}  // namespace kelpo::report::testing
