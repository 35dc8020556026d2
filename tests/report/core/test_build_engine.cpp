#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/memo_view.h"
#include "report/expr/engine_strings.h"
#include "report/expr/parser.h"
#include "tests/report/core/support_build.h"

using namespace kelpo::report;
using namespace kelpo::report::testing;

namespace {

// Scripts evaluated line by line as expressions, enough to make requests of the engine.
void evaluateScripts() {
  frScriptRunner() = [](TfrView& view) {
    for (const std::string& line : view.script) frParser().Evaluate(line);
  };
}

}  // namespace

TEST(BuildEngine, TitleOnlyPagePrintsTheTitleAtTheTopMargin) {
  BuildFixture f;
  f.tpage->marginTop = 30;
  f.band(btReportTitle, 40, 100);
  f.memo("Page [PAGE#]", 10, 60);
  f.band(btPageHeader, 200, 20);  // without OnFirstPage: not under the title
  f.memo("header", 10, 200);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 1);
  auto objects = f.page(0);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].text, "Page 1");
  EXPECT_EQ(objects[0].y, 30 + 20);
  EXPECT_EQ(objects[0].x, 10);
}

TEST(BuildEngine, ADatasetGoneSinceTheLastBuildIsNotLookedAt) {
  BuildFixture f;
  TfrUserDataset* rows = f.dataset("Rows", 2);
  const std::string master = f.band(btMasterData, 0, 10, "Rows")->name;
  f.memo("[LINE#]", 0, 0);
  ASSERT_TRUE(f.prepare());
  // The dataset goes with its form; the next build uses another band source, and a field name
  // is looked up in the default dataset before any band of this build prints.
  delete rows;
  // (Preparing reloads the template, so the page and the band are found anew.)
  f.tpage = f.report->pages[0];
  static_cast<TfrBandView*>(f.report->findObject(master))->formatStr = "1";
  f.memo("[Items.\"id\"]", 0, 20);
  f.prepare();
  SUCCEED();
}

TEST(BuildEngine, MasterDetailAndSubDetailNestWithHeadersAndFooters) {
  BuildFixture f;
  f.band(btMasterHeader, 0, 10);
  f.memo("MH", 0, 0);
  f.band(btMasterData, 20, 10, "2");
  f.memo("M[LINE#]", 0, 20);
  f.band(btDetailData, 40, 10, "2");
  f.memo("D[LINE#]", 0, 40);
  f.band(btSubDetailData, 60, 10, "1");
  f.memo("S", 0, 60);
  f.band(btDetailFooter, 80, 10);
  f.memo("DF", 0, 80);
  f.band(btMasterFooter, 100, 10);
  f.memo("MF", 0, 100);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 1);
  EXPECT_EQ(f.texts(0), "MH M1 D1 S D2 S DF M2 D1 S D2 S DF MF");
  auto objects = f.page(0);
  for (std::size_t i = 0; i < objects.size(); ++i)
    EXPECT_EQ(objects[i].y, static_cast<std::int32_t>(i) * 10) << objects[i].text;
}

TEST(BuildEngine, MasterWithEmptyDetailIsDroppedUnlessPrintIfSubsetEmpty) {
  for (bool subsetEmpty : {false, true}) {
    BuildFixture f;
    f.band(btMasterHeader, 0, 10);
    f.memo("MH", 0, 0);
    f.band(btMasterData, 20, 10, "2", subsetEmpty ? flBandPrintifSubsetEmpty : 0);
    f.memo("M[LINE#]", 0, 20);
    f.dataset("Empty", 0);
    f.band(btDetailData, 40, 10, "Empty");
    f.memo("D", 0, 40);
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.texts(0), subsetEmpty ? "MH M1 M2" : "") << subsetEmpty;
  }
}

TEST(BuildEngine, GroupsBreakWithInnerFootersFirst) {
  BuildFixture f;
  auto* data = f.dataset("Rows", 4);
  // Outer group: record 0-1 | 2-3; inner group: every record.
  f.report->OnGetValue = [data](const std::string& name, Value& v) {
    if (name == "OUTER") v = Value(data->RecNo() / 2);
    if (name == "INNER") v = Value(data->RecNo());
  };
  f.band(btGroupHeader, 0, 10, "OUTER");
  f.memo("O[OUTER]/[LINE#]", 0, 0);
  f.band(btGroupHeader, 20, 10, "INNER");
  f.memo("I[INNER]", 0, 20);
  f.band(btMasterData, 40, 10, "Rows");
  f.memo("R[INNER]", 0, 40);
  f.band(btGroupFooter, 60, 10);
  f.memo("/I", 0, 60);
  f.band(btGroupFooter, 80, 10);
  f.memo("/O", 0, 80);
  ASSERT_TRUE(f.prepare());
  EXPECT_EQ(f.texts(0), "O0/1 I0 R0 /I I1 R1 /I /O O1/2 I2 R2 /I I3 R3 /I /O");
}

TEST(BuildEngine, PageHeaderAndFooterFollowOnFirstPageAndOnLastPage) {
  struct Case {
    std::uint16_t headerFlags, footerFlags;
    const char* pages[3];
  };
  const Case cases[] = {
      {0, 0, {"r r", "H r r F", "H r"}},
      {flBandOnFirstPage, flBandOnFirstPage | flBandOnLastPage, {"H r r F", "H r r F", "H r F"}},
      {flBandOnFirstPage, flBandOnLastPage, {"H r r", "H r r F", "H r F"}},
  };
  for (const Case& c : cases) {
    BuildFixture f;
    f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;  // bottom edge 100
    f.band(btPageHeader, 0, 20, {}, c.headerFlags);
    f.memo("H", 0, 0);
    f.band(btMasterData, 30, 30, "5");
    f.memo("r", 0, 30);
    f.band(btPageFooter, 80, 20, {}, c.footerFlags);
    f.memo("F", 0, 80);
    std::string events;
    f.report->OnBeginPage = [&](int n) { events += "b" + std::to_string(n); };
    f.report->OnEndPage = [&](int n) { events += "e" + std::to_string(n); };
    ASSERT_TRUE(f.prepare());
    ASSERT_EQ(f.pageCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.texts(i), c.pages[i]) << "page " << i;
    // End page fires once per page, after that page's footer.
    EXPECT_EQ(events, "b0e0b1e1b2e2");
  }
}

TEST(BuildEngine, PageFooterSitsAtTheBottomEdge) {
  BuildFixture f;
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;
  f.band(btMasterData, 30, 30, "1");
  f.memo("r", 0, 30);
  f.band(btPageFooter, 80, 20, {}, flBandOnFirstPage | flBandOnLastPage);
  f.memo("F", 0, 85);
  ASSERT_TRUE(f.prepare());
  auto objects = f.page(0);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[1].text, "F");
  EXPECT_EQ(objects[1].y, 100 - 20 + 5);
}

TEST(BuildEngine, PageColumnsFillDownThenAcross) {
  BuildFixture f;
  f.tpage->columns = 2;
  f.tpage->colGap = 20;
  f.tpage->marginLeft = 10;
  f.tpage->marginRight = f.tpage->prnInfo.pw - 410;  // right edge 410: columns of 190
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;
  f.band(btMasterData, 0, 40, "5");
  f.memo("[LINE#]", 0, 0);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 2);
  auto first = f.page(0);
  ASSERT_EQ(first.size(), 4u);
  // Objects keep their designed x in the first column; the second is 190 + 20 to the right.
  const std::int32_t expected[4][2] = {{0, 0}, {0, 40}, {210, 0}, {210, 40}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(first[i].x, expected[i][0]) << i;
    EXPECT_EQ(first[i].y, expected[i][1]) << i;
  }
  EXPECT_EQ(f.texts(1), "5");
}

TEST(BuildEngine, BandColumnsPlaceThreeRecordsSideBySide) {
  BuildFixture f;
  auto* bv = f.band(btMasterData, 0, 30, "4");
  bv->columns = 3;
  bv->columnWidth = 100;
  bv->columnGap = 10;
  f.memo("[LINE#]", 5, 0);
  f.band(btMasterFooter, 40, 10);
  f.memo("end", 0, 40);
  ASSERT_TRUE(f.prepare());
  auto objects = f.page(0);
  ASSERT_EQ(objects.size(), 5u);
  const std::int32_t expected[5][2] = {{5, 0}, {115, 0}, {225, 0}, {5, 30}, {0, 60}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(objects[i].x, expected[i][0]) << objects[i].text;
    EXPECT_EQ(objects[i].y, expected[i][1]) << objects[i].text;
  }
}

TEST(BuildEngine, StretchedBandGrowsToItsMemoAndStretchesItsNeighbours) {
  BuildFixture f;
  f.report->OnGetValue = [](const std::string& name, Value& v) {
    if (name == "TEXT") v = Value(std::string("1\r\n2\r\n3\r\n4\r\n5"));
  };
  f.band(btMasterData, 0, 20, "1", flStretched);
  f.memo("[TEXT]", 0, 0, 100, 17, flStretched);
  f.memo("side", 120, 0, 100, 10, flStretched);
  f.band(btMasterFooter, 50, 10);
  f.memo("end", 0, 50);
  ASSERT_TRUE(f.prepare());
  auto objects = f.page(0);
  ASSERT_EQ(objects.size(), 3u);
  // Arial 10 points: 15 units a line, plus a gap of 1 above and below.
  const std::int32_t h = 5 * 15 + 2;
  EXPECT_EQ(objects[0].dy, h);
  EXPECT_EQ(objects[1].dy, h);
  EXPECT_EQ(objects[2].y, h);
}

TEST(BuildEngine, SplitBandPrintsFittingLinesAndContinuesOnTheNextPage) {
  BuildFixture f;
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 200;  // bottom edge 200
  f.report->OnGetValue = [](const std::string& name, Value& v) {
    if (name == "TEXT") v = Value(std::string("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10"));
  };
  f.band(btReportTitle, 0, 100);
  f.memo("title", 0, 0);
  f.band(btMasterData, 150, 170, "1", flBandBreaked);
  f.memo("top", 200, 150, 100, 10);
  f.memo("[TEXT]", 0, 155, 100, 152);  // room for all 10 lines
  f.memo("below", 0, 310, 100, 10);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 2);
  // Band at y 100; free space 200 - 100 - 2 = 98: the memo at 5 gets 94 units, 6 lines.
  auto first = f.page(0);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[1].text, "top");
  EXPECT_EQ(first[2].text, "1|2|3|4|5|6");
  EXPECT_EQ(first[2].y, 105);
  auto second = f.page(1);
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0].text, "7|8|9|10");
  EXPECT_EQ(second[0].y, 0);
  // "below" (designed 3 units under the memo) moved up by the free space and down by the part
  // of the memo's first piece that held no whole line (4 units).
  EXPECT_EQ(second[1].text, "below");
  EXPECT_EQ(second[1].y, 160 - 98 + 4);
}

TEST(BuildEngine, BandTallerThanThePageIsSplitAnyway) {
  BuildFixture f;
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;
  f.report->OnGetValue = [](const std::string& name, Value& v) {
    if (name == "TEXT") {
      std::string t;
      for (int i = 1; i <= 12; ++i) t += std::to_string(i) + (i < 12 ? "\r\n" : "");
      v = Value(t);
    }
  };
  f.band(btMasterData, 0, 20, "1", flStretched);  // not Breaked
  f.memo("[TEXT]", 0, 0, 100, 17, flStretched);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 2);
  EXPECT_EQ(f.texts(0), "1|2|3|4|5|6");
  EXPECT_EQ(f.texts(1), "7|8|9|10|11|12");
}

TEST(BuildEngine, NewPageRequestedByAScriptMovesTheBand) {
  BuildFixture f;
  evaluateScripts();
  f.band(btMasterData, 0, 10, "3");
  f.memo("[LINE#]", 0, 0);
  f.band(btMasterFooter, 20, 10)->script = {"NEWPAGE()"};
  f.memo("end", 0, 20);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 2) << kelpo::engineToUtf8(f.shownError);
  EXPECT_EQ(f.texts(0), "1 2 3");
  auto second = f.page(1);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].text, "end");
  EXPECT_EQ(second[0].y, 0);
}

TEST(BuildEngine, StopReportEndsTheBuild) {
  BuildFixture f;
  evaluateScripts();
  auto* data = f.band(btMasterData, 0, 10, "5");
  f.memo("[LINE#]", 0, 0);
  data->script = {"IF(LINE# = 3, STOPREPORT(), 0)"};
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 1) << kelpo::engineToUtf8(f.shownError);
  EXPECT_EQ(f.texts(0), "1 2");
}

TEST(BuildEngine, TwoPassBuildShowsTotalPagesOnEveryPage) {
  BuildFixture f;
  f.report->doublePass = true;
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;
  f.band(btMasterData, 0, 40, "5");
  f.memo("[PAGE#]/[TOTALPAGES]", 0, 0);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 3);
  EXPECT_EQ(f.texts(0), "1/3 1/3");
  EXPECT_EQ(f.texts(2), "3/3");
  EXPECT_TRUE(f.report->doublePass);
}

TEST(BuildEngine, TemplateChangedByAScriptIsRestoredAfterTheBuild) {
  BuildFixture f;
  frScriptRunner() = [](TfrView&) {
    if (TfrView* v = frCurReport()->findObject("Memo2")) v->SetProperty("LEFT", Value(300));
  };
  f.band(btReportTitle, 0, 20)->script = {"x"};
  f.memo("moved", 10, 0);
  ASSERT_TRUE(f.prepare());
  EXPECT_EQ(f.page(0)[0].x, 300);
  TfrView* after = f.report->findObject("Memo2");
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(after->x, 10);
  EXPECT_TRUE(after->templateMode);
}

TEST(BuildEngine, ErrorGivesTheCalculationMessageAndNoPages) {
  BuildFixture f;
  f.band(btReportTitle, 0, 20);
  f.memo("a\r\n[NOSUCH]", 0, 0)->name = "Memo9";
  EXPECT_TRUE(f.prepare());
  EXPECT_EQ(f.pageCount(), 0);
  const std::string expected = frLoadStr(55200) + "\ra\r[NOSUCH]\r\r" + frLoadStr(55201) +
                               " frReport1\r" + frLoadStr(55202) + " Memo9\r\r" +
                               kelpo::utf8ToEngine("符号没定义") + " \"NOSUCH\"";
  EXPECT_EQ(kelpo::engineToUtf8(f.shownError), kelpo::engineToUtf8(expected));
  EXPECT_EQ(kelpo::engineToUtf8(frLoadStr(55200)), "计算时发生错误");
}

TEST(BuildEngine, AddInOfAnUnknownClassCreatedDuringTheBuildFailsIt) {
  BuildFixture f;
  f.band(btReportTitle, 0, 20);
  f.memo("title", 0, 0);
  // What an earlier template load left pending was reported then: a clean build shows nothing.
  frEngine().errorFlag = true;
  frEngine().errorText = "TfrEarlierView\r";
  ASSERT_TRUE(f.prepare());
  EXPECT_EQ(f.shownError, "");
  EXPECT_EQ(f.pageCount(), 1);
  // An object of an unregistered class created while the build runs: its class name is the
  // error text shown after the build, and no pages are kept.
  f.report->OnBeginBand = [](TfrBand*) {
    try {
      createAddInView("TfrMissingView");
    } catch (const EClassNotFound&) {
    }
  };
  f.prepare();
  EXPECT_EQ(f.shownError, "TfrMissingView\r");
  EXPECT_EQ(f.pageCount(), 0);
}

TEST(BuildEngine, EmptyMasterWithoutPrintIfEmptyProducesNothing) {
  BuildFixture f;
  f.report->PrintIfEmpty = false;
  f.dataset("Empty", 0);
  f.band(btReportTitle, 0, 20);
  f.memo("title", 0, 0);
  f.band(btMasterData, 30, 10, "Empty");
  int previews = 0;
  TfrReport::setPreviewHook([&](TfrReport&) { ++previews; });
  f.report->ShowReport();
  TfrReport::setPreviewHook(nullptr);
  EXPECT_EQ(f.pageCount(), 0);
  EXPECT_EQ(previews, 0);
}

TEST(BuildEngine, CrossColumnsPassingTheRightEdgeContinueOnTheNextPageAtTheSameHeight) {
  BuildFixture f;
  f.tpage->marginLeft = 10;
  f.tpage->marginRight = f.tpage->prnInfo.pw - 400;  // right edge 400
  std::vector<std::pair<int, std::int32_t>> widths;
  f.report->OnPrintColumn = [&](int column, std::int32_t& width) {
    widths.push_back({column, width});
  };
  f.band(btMasterData, 50, 20, "2");
  f.memo("r[LINE#]", 10, 50, 60);
  auto* cross = f.band(btCrossData, 0, 0, "5");
  cross->x = 100;
  cross->dx = 100;
  f.memo("[LINE#].[COLUMN#]", 110, 52, 80);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 2);
  // Columns at 100, 200 and 300 fit up to 400; columns 4 and 5 go to the left margin of page 2.
  auto first = f.page(0), second = f.page(1);
  ASSERT_EQ(first.size(), 8u);
  EXPECT_EQ(first[0].text, "r1");
  EXPECT_EQ(first[1].text, "1.1");
  EXPECT_EQ(first[3].text, "1.3");
  EXPECT_EQ(first[3].x, 310);
  EXPECT_EQ(first[4].text, "r2");
  EXPECT_EQ(first[7].y, 22);
  ASSERT_EQ(second.size(), 4u);
  EXPECT_EQ(second[0].text, "1.4");
  EXPECT_EQ(second[0].x, 20);
  EXPECT_EQ(second[0].y, 2);
  EXPECT_EQ(second[1].text, "1.5");
  EXPECT_EQ(second[1].x, 120);
  EXPECT_EQ(second[3].text, "2.5");
  EXPECT_EQ(second[3].y, 22);
  ASSERT_EQ(widths.size(), 10u);
  EXPECT_EQ(widths[4], (std::pair<int, std::int32_t>{5, 100}));
}

TEST(BuildEngine, PageWithPrintToPrevPageContinuesThePreviousPreparedPage) {
  BuildFixture f;
  f.band(btReportTitle, 0, 20);
  f.memo("A", 0, 0);
  f.tpage = f.report->pages.add();
  f.tpage->changePaper(9, 2100, 2970, 0xFFFF, 0);
  f.tpage->printToPrevPage = true;
  f.band(btReportTitle, 0, 30);
  f.memo("B", 0, 5);
  f.tpage = f.report->pages.add();  // a third page starts a prepared page of its own
  f.tpage->changePaper(9, 2100, 2970, 0xFFFF, 0);
  f.band(btReportTitle, 0, 20);
  f.memo("C", 0, 0);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 2);
  auto first = f.page(0);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[1].text, "B");
  EXPECT_EQ(first[1].y, 25);
  EXPECT_EQ(f.texts(1), "C");
}

TEST(BuildEngine, MultipleReportRepeatsThePagesPerRecordWithPageEvents) {
  BuildFixture f;
  auto* records = f.dataset("Rows", 3);
  f.report->Dataset = records;
  f.report->ReportType = TfrReportType::rtMultiple;
  f.report->OnGetValue = [records](const std::string& name, Value& v) {
    if (name == "REC") v = Value(records->RecNo());
  };
  std::string events;
  f.report->OnBeginPage = [&](int n) { events += "b" + std::to_string(n); };
  f.report->OnEndPage = [&](int n) { events += "e" + std::to_string(n); };
  f.report->OnBeginDoc = [&] { events += "["; };
  f.report->OnEndDoc = [&] { events += "]"; };
  f.band(btReportTitle, 0, 20);
  f.memo("T[REC]", 0, 0);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 3);
  EXPECT_EQ(f.texts(0), "T0");
  EXPECT_EQ(f.texts(2), "T2");
  EXPECT_EQ(events, "[b0e0b1e1b2e2]");
}

TEST(BuildEngine, SubReportsPrintSideBySideAndContinueOnTheNextPage) {
  BuildFixture f;
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;  // bottom edge 100
  f.band(btMasterData, 0, 30, "1");
  TfrPage* main = f.tpage;
  for (int i = 0; i < 2; ++i) {
    auto sub = std::make_unique<TfrSubReportView>();
    sub->name = "SubReport" + std::to_string(i + 1);
    sub->x = i * 300;
    sub->y = 0;
    sub->dx = 250;
    sub->dy = 30;
    sub->subPage = i + 1;
    main->objects.push_back(std::move(sub));
  }
  f.band(btMasterFooter, 40, 10);
  f.memo("end", 0, 40);
  const char* sources[] = {"3", "7"};
  const char* letters[] = {"a", "b"};
  for (int i = 0; i < 2; ++i) {
    f.tpage = f.report->pages.add();
    f.tpage->changePaper(9, 2100, 2970, 0xFFFF, 0);
    f.band(btMasterData, 0, 20, sources[i]);
    f.memo(std::string(letters[i]) + "[LINE#]", 5, 0);
  }
  ASSERT_TRUE(f.prepare()) << kelpo::engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 2);
  // Both lists run down from the band's top at their views' x; the longer one continues at the
  // top of the next page, and what follows the band starts below the lowest point reached.
  auto first = f.page(0);
  std::vector<std::string> got;
  for (const auto& p : first)
    got.push_back(p.text + "@" + std::to_string(p.x) + "," + std::to_string(p.y));
  // Each sub-report plays its records in turn until one does not fit.
  EXPECT_EQ(got, (std::vector<std::string>{"a1@5,0", "a2@5,20", "a3@5,40", "b1@305,0", "b2@305,20",
                                           "b3@305,40", "b4@305,60", "b5@305,80"}));
  auto second = f.page(1);
  ASSERT_EQ(second.size(), 3u);
  EXPECT_EQ(second[0].text, "b6");
  EXPECT_EQ(second[0].y, 0);
  EXPECT_EQ(second[1].text, "b7");
  EXPECT_EQ(second[2].text, "end");
  EXPECT_EQ(second[2].y, 40);
}

TEST(BuildEngine, ExportHandsEveryPreparedPageToTheFilterAndFilesRoundTrip) {
  BuildFixture f;
  f.tpage->marginBottom = f.tpage->prnInfo.ph - 100;
  f.band(btMasterData, 0, 40, "3");
  f.memo("row [LINE#]", 0, 0);
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 2);
  struct Recorder : TfrExportFilter {
    std::string log;
    void OnText(const QRect&, int, int, const std::string& text, TfrView&, std::uint16_t) override {
      log += text + ";";
    }
    void OnBeginDoc() override { log += "["; }
    void OnBeginPage(int i) override { log += "p" + std::to_string(i) + ":"; }
    void OnEndDoc() override { log += "]"; }
  } filter;
  QTemporaryDir dir;
  f.report->ExportTo(filter, kelpo::fromQString(dir.filePath("out.txt")));
  EXPECT_EQ(filter.log, "[p0:row 1;row 2;p1:row 3;]");
  EXPECT_EQ(f.report->currentFilter, nullptr);

  const std::string file = kelpo::fromQString(dir.filePath("out.frp"));
  f.report->SavePreparedReport(file);
  f.report->emfPages.clear();
  f.report->LoadPreparedReport(file);
  ASSERT_EQ(f.pageCount(), 2);
  EXPECT_EQ(f.texts(1), "row 3");
}
