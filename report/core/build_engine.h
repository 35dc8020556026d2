// The build engine: turns a template's pages and datasets into prepared pages. It keeps the
// engine state of one preparation, the run-time state of each template page (bands, current y,
// columns, play lists of sub-reports), the data loop with groups, new pages and new columns,
// and the error text of a failed build.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/core/band.h"
#include "report/core/page.h"

namespace kelpo::report {

class TfrReport;
class TfrEMFPages;

enum class TfrPlayAction { First, Next, Show };
struct TfrPlayRecord {
  TfrBand* band;
  TfrPlayAction action;
};

// A template page while it is prepared.
class TfrPageRun {
 public:
  TfrPageRun(TfrBuildEngine* engine, TfrPage* page, int index)
      : engine(engine), page(page), index(index) {}

  TfrBuildEngine* engine;
  TfrPage* page;
  int index;

  std::array<TfrBand*, kBandTypeCount> bands{};
  std::vector<std::unique_ptr<TfrBand>> owned;  // every band of the page, empty ones included
  bool initialised = false;

  std::int32_t curY = 0, curBottomY = 0;
  int curColumn = 0;
  std::int32_t colWidth = 0, xAdjust = 0, lastStaticColumnY = 0;
  int currentPos = 1, columnPos = 1;
  int columns = 1;
  TfrBand* lastBand = nullptr;
  bool disableRepeatHeader = false;
  bool skip = false;                // shown inside a sub-report view
  TfrPageRun* parentRun = nullptr;  // while played as a sub-report: the page showing it
  bool recording = false;
  std::vector<TfrPlayRecord> playList;
  std::size_t playPos = 0;
  // Margins of the page, or of the enclosing band's page while played as a sub-report.
  std::int32_t leftMargin = 0, topMargin = 0, rightEdge = 0, bottomEdge = 0;

  void InitReport();
  void DoneReport();
  void FormPage();
  // Prints a band (records it while recording); true when printing started a new page.
  bool ShowBand(TfrBand* band);
  void NewPage();
  void NewColumn(TfrBand* band);
  void DoLoop(int level);
  void ResetPositions();
  // Bands stacked by the data loop and printed together.
  void StackBand(TfrBand* band);
  void ShowStack();
  void DropStack() {
    if (!stack_.empty()) stack_.pop_back();
  }
  bool StackEmpty() const { return stack_.empty(); }
  // Prints the pending page footers of the prepared pages from the page number on.
  void PrintPageFooters(bool onFirstPageForced);
  std::int32_t ColumnFooterHeight() const;
  bool PlayRecording();

 private:
  void buildBands();
  void placeObjects();
  TfrBand* newBand(int type);

  std::vector<TfrBand*> stack_;
  bool columnFooterZero_ = false;
  int maxLevel_ = 0;
  int endPageFired_ = -1;  // the last prepared page whose end-page event has fired
  friend class TfrBand;
};

class TfrBuildEngine {
 public:
  explicit TfrBuildEngine(TfrReport* report);
  ~TfrBuildEngine();
  TfrBuildEngine(const TfrBuildEngine&) = delete;
  TfrBuildEngine& operator=(const TfrBuildEngine&) = delete;

  TfrReport* report;
  TfrReport* masterReport;
  std::vector<std::unique_ptr<TfrPageRun>> pages;

  TfrPageRun* curPage = nullptr;
  TfrBand* curBand = nullptr;
  bool firstPass = false;  // objects run their scripts but write nothing
  bool append = false;
  std::int32_t savedY = 0, savedBottom = 0;
  bool footerDone = false;
  // The error switch and text are the engine's (frEngine()): an add-in object of a class nobody
  // registered, created while the build runs, fails the build with its class name like any
  // other error. `handledError` keeps the first error of the build.
  bool handledError = false;
  bool error() const { return frEngine().errorFlag; }
  const std::string& errorText() const { return frEngine().errorText; }
  std::vector<TfrView*> hookList;
  TfrBand* aggregateTarget = nullptr;
  bool dialogCancelled = false;
  // The build's y was moved by a sub-report; band drawing leaves it there.
  bool subReportMovedY = false;

  // Builds all pages once (one pass, or one of the two passes).
  void BuildAll();
  void FinishAll();
  // The page run of template page i.
  TfrPageRun* run(int i) { return pages.at(static_cast<std::size_t>(i)).get(); }
  TfrPageRun* runOf(const TfrPage* page);

  // Turns an error raised while an object is output, while aggregates are registered or while
  // a script runs into the report's error text, and ends the build.
  void HandleError(const std::exception& e);
  // Prepared pages and the page number.
  TfrEMFPages& prepared();
  void AddPreparedPage(TfrPageRun* run);
  // Keeps the engine variables that expressions read in step with the current page.
  void syncState();
  bool terminated() const;

  // Script functions of the engine; true when `name` is one of them.
  bool CallFunction(const std::string& name, const Value& p1, Value& result);

  // Runs a view's or page's script; does nothing until scripts can run.
  static void RunScript(TfrView& view);
  static void RunScript(TfrPage& page);
  using PageScriptRunner = std::function<void(TfrPage& page)>;
  static void setPageScriptRunner(PageScriptRunner runner);

  // Aggregate hooks: collect the aggregate call texts of a text or script (registration), add
  // a printed record to a data band's accumulators, and reset the values a band shows.
  struct AggregateHooks {
    std::function<std::vector<std::string>(const TfrStrings& lines, bool script)> collect;
    // crossColumn 0: the record itself; n > 0: cross-tab column n of the record.
    std::function<void(TfrBand& dataBand, int crossColumn)> accumulate;
    std::function<void(TfrBand& shownBy)> reset;
  };
  static AggregateHooks& aggregateHooks();

 private:
  void initPages();
  void prepareFieldObjects(TfrPageRun* run);
  void registerAggregates(TfrPageRun* run);
  void runPages();
};

// The engine of the build running now; null outside a build.
TfrBuildEngine*& frBuild();

}  // namespace kelpo::report
