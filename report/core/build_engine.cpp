#include "report/core/build_engine.h"

#include <QCoreApplication>
#include <algorithm>

#include "platform/text.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "report/expr/engine_strings.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

constexpr int kErrorCalculating = 55200;
constexpr int kErrorReport = 55201;
constexpr int kErrorObject = 55202;
constexpr std::size_t kMaxStackedBands = 100;

TfrBuildEngine::PageScriptRunner& pageScriptRunner() {
  static TfrBuildEngine::PageScriptRunner runner;
  return runner;
}

int& pageNo() { return frEngine().pageNo; }

}  // namespace

TfrBuildEngine*& frBuild() {
  static TfrBuildEngine* engine = nullptr;
  return engine;
}

void TfrBuildEngine::RunScript(TfrView& view) {
  if (!view.script.empty() && frScriptRunner()) frScriptRunner()(view);
}

void TfrBuildEngine::RunScript(TfrPage& page) {
  if (!page.script.empty() && pageScriptRunner()) pageScriptRunner()(page);
}

void TfrBuildEngine::setPageScriptRunner(PageScriptRunner runner) {
  pageScriptRunner() = std::move(runner);
}

TfrBuildEngine::AggregateHooks& TfrBuildEngine::aggregateHooks() {
  static AggregateHooks hooks;
  return hooks;
}

TfrBuildEngine::TfrBuildEngine(TfrReport* r) : report(r), masterReport(r) {
  for (int i = 0; i < report->pages.count(); ++i)
    pages.push_back(std::make_unique<TfrPageRun>(this, report->pages[i], i));
}

TfrBuildEngine::~TfrBuildEngine() {
  if (frBuild() == this) frBuild() = nullptr;
}

TfrPageRun* TfrBuildEngine::runOf(const TfrPage* page) {
  for (auto& p : pages)
    if (p->page == page) return p.get();
  return nullptr;
}

TfrEMFPages& TfrBuildEngine::prepared() { return masterReport->emfPages; }

bool TfrBuildEngine::terminated() const { return report->terminated || masterReport->terminated; }

void TfrBuildEngine::AddPreparedPage(TfrPageRun* run) {
  // Adding a prepared page fires the begin-page event.
  prepared().add(*run->page);
}

void TfrBuildEngine::syncState() {
  TfrEngineState& s = frEngine();
  s.finalPass = report->finalPass;
  if (!curPage) return;
  s.curY = curPage->curY;
  s.pageBottom = curPage->curBottomY;
  s.pageRight = curPage->rightEdge;
  s.current = curPage->currentPos;
  s.column = curPage->columnPos;
  auto level = [&](int type) -> std::optional<TfrDataset*> {
    TfrBand* b = curPage->bands[type];
    if (!b || !b->exists()) return std::nullopt;
    return b->dataset;
  };
  s.masterData = level(btMasterData);
  s.detailData = level(btDetailData);
  s.subDetailData = level(btSubDetailData);
  s.crossData = level(btCrossData);
}

void TfrBuildEngine::HandleError(const std::exception& e) {
  if (handledError) return;
  std::string text = frLoadStr(kErrorCalculating);
  TfrView* view = frCurView();
  if (view)
    for (const std::string& line : view->memo) text += "\r" + line;
  text += "\r\r" + frLoadStr(kErrorReport) + " " + fromQString(report->objectName()) + "\r";
  if (view) text += frLoadStr(kErrorObject) + " " + view->name + "\r";
  text += "\r";
  text += e.what();
  frEngine().errorText = text;
  frEngine().errorFlag = true;
  handledError = true;
  masterReport->terminated = true;
}

bool TfrBuildEngine::CallFunction(const std::string& name, const Value& p1, Value& result) {
  if (name == "STOPREPORT") {
    masterReport->terminated = true;
    report->terminated = true;
    return true;
  }
  if (name == "NEWPAGE") {
    if (curBand) ++curBand->forceNewPage;
    return true;
  }
  if (name == "NEWCOLUMN") {
    if (curBand) ++curBand->forceNewColumn;
    return true;
  }
  if (name == "SHOWBAND") {
    // The argument names the band; an expression giving the name works too.
    std::string bandName = p1.toText();
    TfrBand* found = nullptr;
    auto findByName = [&](const std::string& wanted) {
      for (auto& run : pages)
        for (int t = 0; t < kBandTypeCount && !found; ++t)
          for (TfrBand* b = run->bands[t]; b && !found; b = b->next)
            if (b->view && sameName(b->view->name, wanted)) found = b;
    };
    findByName(bandName);
    if (!found) findByName(frParser().Evaluate(bandName).toText());
    if (found) {
      TfrBand* saved = curBand;
      found->Print();
      curBand = saved;
    }
    result = Value();
    return true;
  }
  return false;
}

// --- pages ---------------------------------------------------------------------------------

std::int32_t TfrPageRun::ColumnFooterHeight() const {
  if (columnFooterZero_) return 0;
  const TfrBand* f = bands[btColumnFooter];
  return f && f->view && f->visible ? f->dy : 0;
}

void TfrPageRun::StackBand(TfrBand* band) {
  if (band && stack_.size() < kMaxStackedBands) stack_.push_back(band);
}

void TfrPageRun::ShowStack() {
  std::vector<TfrBand*> list;
  list.swap(stack_);
  for (TfrBand* b : list)
    if (b->exists()) ShowBand(b);
}

bool TfrPageRun::ShowBand(TfrBand* band) {
  if (!band || !band->exists()) return false;
  if (recording) {
    playList.push_back({band, TfrPlayAction::Show});
    return false;
  }
  return band->Print();
}

void TfrPageRun::PrintPageFooters(bool onFirstPageForced) {
  curColumn = 0;
  xAdjust = leftMargin;
  TfrBand* footer = bands[btPageFooter];
  TfrReport* report = engine->report;
  const bool onFirst = onFirstPageForced || (footer->flags & flBandOnFirstPage);
  const int count = engine->prepared().count();
  for (int i = pageNo(); i < count; ++i) {
    if (engine->append && engine->footerDone) continue;
    pageNo() = i;
    // Every page gets its end-page event; only the footer is left off the first page.
    if (report->OnEndPage) report->OnEndPage(i);
    if (engine->masterReport != report && engine->masterReport->OnEndPage)
      engine->masterReport->OnEndPage(i);
    endPageFired_ = i;
    if (i != 0 || onFirst) ShowBand(footer);
  }
  pageNo() = engine->prepared().count();
}

void TfrPageRun::NewPage() {
  TfrReport* report = engine->report;
  report->InternalOnProgress(pageNo() + 1);
  if (!disableRepeatHeader) ShowBand(bands[btColumnFooter]);
  PrintPageFooters(false);
  curBottomY = bottomEdge;
  engine->AddPreparedPage(this);
  engine->append = false;
  ShowBand(bands[btOverlay]);
  curY = topMargin;
  lastStaticColumnY = curY;
  ShowBand(bands[btPageHeader]);
  if (!bands[btColumnHeader]->exists()) lastStaticColumnY = curY;
  ShowBand(bands[btColumnHeader]);
}

void TfrPageRun::NewColumn(TfrBand* band) {
  if (curColumn < columns - 1) {
    ShowBand(bands[btColumnFooter]);
    ++curColumn;
    xAdjust += colWidth + page->colGap;
    curY = lastStaticColumnY;
    ShowBand(bands[btColumnHeader]);
  } else {
    NewPage();
  }
  if (!band) return;
  TfrBand* data = isDataBand(band->type)        ? band
                  : band->type == btGroupHeader ? band->dataBand
                                                : nullptr;
  if (data && !disableRepeatHeader) {
    for (TfrBand* g = data->firstGroup; g && g != band; g = g->nextGroup) {
      if (!(g->flags & flBandRepeatHeader)) continue;
      g->disableInit = true;
      ShowBand(g);
      g->disableInit = false;
    }
  }
  if (isDataBand(band->type) && band->header && (band->header->flags & flBandRepeatHeader))
    ShowBand(band->header);
}

bool TfrPageRun::PlayRecording() {
  TfrBuildEngine* saved = engine;
  TfrPageRun* outer = engine->curPage;
  engine->curPage = this;
  while (playPos < playList.size() && !engine->terminated()) {
    const TfrPlayRecord& record = playList[playPos];
    TfrBand* b = record.band;
    switch (record.action) {
      case TfrPlayAction::First:
        if (b->dataset) b->dataset->First();
        b->positions[0] = b->positions[1] = 1;
        break;
      case TfrPlayAction::Next:
        if (b->dataset) b->dataset->Next();
        ++currentPos;
        ++b->positions[0];
        ++b->positions[1];
        break;
      case TfrPlayAction::Show:
        // A band that does not fit stays next in the list for the following page.
        if (b->Print()) {
          saved->curPage = outer;
          return false;
        }
        break;
    }
    ++playPos;
  }
  saved->curPage = outer;
  return true;
}

void TfrPageRun::ResetPositions() {
  for (auto& b : owned) b->positions[0] = b->positions[1] = 0;
}

void TfrPageRun::DoLoop(int level) {
  const int type = level == 1 ? btMasterData : level == 2 ? btDetailData : btSubDetailData;
  for (TfrBand* b = bands[type]; b; b = b->next) {
    if (!b->dataset || !b->view) continue;
    TfrDataset* ds = b->dataset;
    ds->First();
    if (recording) {
      playList.push_back({b, TfrPlayAction::First});
    } else {
      b->positions[0] = b->positions[1] = 1;
    }
    for (TfrBand* g = b->firstGroup; g; g = g->nextGroup) g->positions[0] = g->positions[1] = 0;
    if (!ds->Eof()) {
      StackBand(b->header);
      for (TfrBand* g = b->firstGroup; g; g = g->nextGroup) {
        ++g->positions[0];
        ++g->positions[1];
        StackBand(g);
      }
      if (b->footer) b->footer->InitValues();
    }
    while (!ds->Eof() && !engine->terminated()) {
      StackBand(b);
      if (b->printIfSubsetEmpty) ShowStack();
      bool printed = true;
      if (level < maxLevel_) {
        DoLoop(level + 1);
        if (!stack_.empty()) {
          if (b->printIfSubsetEmpty) {
            ShowStack();
          } else {
            DropStack();
            printed = false;
          }
        }
      } else {
        ShowStack();
      }
      ds->Next();
      bool leave = false;
      for (TfrBand* g = b->firstGroup; g; g = g->nextGroup) {
        const bool atEnd = ds->Eof();
        bool breaks = atEnd || g->lastGroupValue.isEmpty();
        if (!breaks) {
          try {
            const Value now = frParser().Evaluate(g->groupCondition);
            Ordering order = Ordering::Unordered;
            try {
              order = compareValues(now, g->lastGroupValue);
            } catch (const Error&) {
              // Values that cannot be compared are different groups.
            }
            breaks = order != Ordering::Equal;
          } catch (const std::exception& ex) {
            engine->HandleError(ex);
            return;
          }
        }
        if (!breaks) continue;
        bool stepped = true;
        try {
          ds->Prior();
        } catch (const std::exception&) {
          stepped = false;
        }
        for (TfrBand* h = b->lastGroup; h && h != g; h = h->prevGroup) {
          h->positions[0] = h->positions[1] = 0;
          StackBand(h->footer);
        }
        StackBand(g->footer);
        ShowStack();
        if (atEnd) {
          leave = true;
          break;
        }
        if (stepped) ds->Next();
        if (g->newPageAfter && g->visible) NewPage();
        for (TfrBand* h = g; h; h = h->nextGroup) {
          ++h->positions[0];
          ++h->positions[1];
          StackBand(h);
        }
        b->positions[0] = 0;
        break;
      }
      if (leave) break;
      if (recording) {
        playList.push_back({b, TfrPlayAction::Next});
      } else if (printed) {
        ++currentPos;
        ++b->positions[0];
        ++b->positions[1];
        if (!ds->Eof() && b->newPageAfter && b->visible) NewPage();
      }
    }
    if (!stack_.empty())
      DropStack();
    else
      ShowBand(b->footer);
  }
}

void TfrPageRun::FormPage() {
  TfrReport* report = engine->report;
  // 1. A page whose master data has nothing to print produces nothing.
  if (!report->PrintIfEmpty) {
    TfrBand* master = bands[btMasterData];
    bool empty = !master->dataset;
    if (!empty) {
      try {
        master->dataset->First();
        empty = master->dataset->Eof();
      } catch (const std::exception&) {
        empty = true;
      }
    }
    if (empty) {
      if (engine->append) ++pageNo();
      return;
    }
  }

  // 2. Start the page, or continue the previous one.
  disableRepeatHeader = false;
  engine->curPage = this;
  if (!recording) {
    try {
      TfrBuildEngine::RunScript(*page);
    } catch (const std::exception& ex) {
      engine->HandleError(ex);
      return;
    }
  }
  if (engine->append && engine->savedY == engine->savedBottom) {
    engine->append = false;
    pageNo() = engine->prepared().count();
  }
  curBottomY = engine->append && engine->footerDone ? engine->savedBottom : bottomEdge;
  curColumn = 0;
  xAdjust = leftMargin;
  endPageFired_ = -1;
  if (engine->append) {
    curY = engine->savedY;
  } else {
    if (!recording) engine->AddPreparedPage(this);
    curY = topMargin;
    ShowBand(bands[btOverlay]);
    ShowBand(bands[btNone]);
  }
  lastStaticColumnY = curY;

  // 3-4. Title, first page header and column header, then the data.
  const bool manual = static_cast<bool>(report->OnManualBuild);
  if (!manual) {
    if (!ShowBand(bands[btReportTitle])) {
      if (bands[btPageHeader]->flags & flBandOnFirstPage) ShowBand(bands[btPageHeader]);
      if (!bands[btColumnHeader]->exists()) lastStaticColumnY = curY;
      ShowBand(bands[btColumnHeader]);
    }
    maxLevel_ = 0;
    for (int level = 1; level <= 3; ++level) {
      const int type = level == 1 ? btMasterData : level == 2 ? btDetailData : btSubDetailData;
      if (bands[type]->view) maxLevel_ = level;
    }
    if (maxLevel_ > 0) DoLoop(1);
  }

  // 5. Summary and the last page's footers.
  if (!recording) {
    const int before = pageNo();
    if (manual) {
      report->OnManualBuild(page);
    } else {
      disableRepeatHeader = true;
      ShowBand(bands[btColumnFooter]);
      columnFooterZero_ = true;
      ShowBand(bands[btReportSummary]);
      columnFooterZero_ = false;
      disableRepeatHeader = false;
    }
    engine->savedY = columns > 1 ? curBottomY : curY;
    engine->savedBottom = curBottomY;
    curColumn = 0;
    xAdjust = leftMargin;
    TfrBand* footer = bands[btPageFooter];
    engine->footerDone = false;
    if (!manual && ((engine->prepared().count() == 1 && (footer->flags & flBandOnFirstPage)) ||
                    (footer->flags & flBandOnLastPage))) {
      PrintPageFooters(true);
      engine->footerDone = footer->exists();
    }
    // End page fires once per page: not again when the footers just fired it.
    const int last = engine->prepared().count() - 1;
    if (endPageFired_ != last) {
      if (report->OnEndPage) report->OnEndPage(pageNo());
      if (engine->masterReport != report && engine->masterReport->OnEndPage)
        engine->masterReport->OnEndPage(pageNo());
    }
    pageNo() = before + 1;
  }
  lastBand = nullptr;
}

// --- the whole build -----------------------------------------------------------------------

void TfrBuildEngine::prepareFieldObjects(TfrPageRun* run) {
  // An object whose whole text is one field reference remembers the field, so that a blob
  // field (a picture, a long text) is read whole when it is output.
  TfrDataDictionary& dictionary = report->dictionary;
  for (auto& v : run->page->objects) {
    v->cachedDataset = nullptr;
    v->cachedField.clear();
    if (v->typ == gtBand || v->memo.size() != 1) continue;
    if (v->typ == gtMemo && (v->flags & flTextOnly)) continue;
    const std::string& text = v->memo.front();
    if (text.size() < 3 || text.front() != '[') continue;
    std::size_t pos = 0;
    const std::string name = TfrParser::ReadBracketed(text, pos);
    if (pos >= text.size() || name.empty()) continue;
    if (!report->UseDefaultDataSetName && name.find('.') == std::string::npos &&
        !dictionary.VariableList.Contains(name))
      continue;
    try {
      if (!dictionary.CanResolve(name)) continue;
    } catch (const std::exception&) {
      continue;  // a name that reaches no component is resolved (and reported) when printed
    }
    if (const TfrCacheItem* item = dictionary.CachedField(name); item && item->dataset) {
      v->cachedDataset = item->dataset;
      v->cachedField = fromQString(item->field);
    }
  }
}

void TfrBuildEngine::registerAggregates(TfrPageRun* run) {
  auto& hooks = aggregateHooks();
  if (!hooks.collect) return;
  struct Level {
    int data;
    std::vector<int> totals;
  };
  static const Level kLevels[] = {
      {btMasterData,
       {btPageFooter, btColumnFooter, btMasterFooter, btGroupFooter, btReportSummary}},
      {btDetailData,
       {btPageFooter, btColumnFooter, btMasterFooter, btDetailFooter, btGroupFooter,
        btReportSummary}},
      {btSubDetailData,
       {btPageFooter, btColumnFooter, btMasterFooter, btDetailFooter, btSubDetailFooter,
        btGroupFooter, btReportSummary}},
      {btCrossData, {btCrossFooter}},
  };
  TfrEngineState& state = frEngine();
  for (const Level& level : kLevels) {
    for (TfrBand* data = run->bands[level.data]; data; data = data->next) {
      if (!data->view || (data != run->bands[level.data] && !data->dataset)) continue;
      for (int type : level.totals) {
        for (TfrBand* b = run->bands[type]; b; b = b->next) {
          for (TfrBand* band : {b, b->child}) {
            if (!band || !band->exists()) continue;
            // Calls are registered with their object current: a cross-tab cell's totals are
            // kept per column.
            std::vector<std::pair<TfrView*, std::vector<std::string>>> sources;
            sources.push_back({band->view, hooks.collect(band->script, true)});
            for (TfrView* v : band->objects) {
              std::vector<std::string> calls;
              if (v->typ == gtMemo) calls = hooks.collect(v->memo, false);
              for (auto& c : hooks.collect(v->script, true)) calls.push_back(std::move(c));
              sources.push_back({v, std::move(calls)});
            }
            curBand = band;
            aggregateTarget = data;
            state.aggregateCollection = true;
            for (const auto& [view, calls] : sources) {
              frCurView() = view;
              for (const std::string& call : calls) {
                try {
                  frParser().Evaluate(call);
                } catch (const std::exception& ex) {
                  state.aggregateCollection = false;
                  HandleError(ex);
                }
              }
            }
            state.aggregateCollection = false;
            aggregateTarget = nullptr;
          }
        }
      }
    }
  }
  curBand = nullptr;
  frCurView() = nullptr;
}

void TfrBuildEngine::BuildAll() {
  frBuild() = this;
  QCoreApplication::processEvents();
  report->canRebuild = true;
  frDocMode() = TfrDocMode::Output;
  frCurReport() = report;
  frMasterReport() = masterReport;
  report->dictionary.ClearCache();
  report->InstallParserCallbacks();
  // No band prints yet: the bands and datasets of an earlier build may be gone since.
  TfrEngineState& state = frEngine();
  state.bandType.reset();
  state.masterData.reset();
  state.detailData.reset();
  state.subDetailData.reset();
  state.crossData.reset();
  // Only this build's failures are reported: what an earlier load left pending was shown then.
  state.errorFlag = false;
  state.errorText.clear();
  handledError = false;
  const bool finalOfTwo = report->doublePass && report->finalPass;
  firstPass = report->doublePass && !report->finalPass;

  const bool multiple = report->ReportType == TfrReportType::rtMultiple && report->Dataset;
  if (multiple) {
    report->Dataset->OpenRange();
    report->Dataset->First();
  }
  if (!finalOfTwo) {
    hookList.clear();
    for (auto& p : pages) p->skip = false;
    dialogCancelled = false;
  }

  // Dialog pages run their script: no controls exist to show a window with.
  for (auto& p : pages) {
    if (p->page->pageType != 1) continue;
    curPage = p.get();
    try {
      RunScript(*p->page);
    } catch (const std::exception& ex) {
      HandleError(ex);
    }
    if (dialogCancelled) break;
  }

  if (!dialogCancelled) {
    for (auto& p : pages)
      if (p->page->pageType == 0) {
        try {
          p->InitReport();
        } catch (const std::exception& ex) {
          HandleError(ex);
        }
      }
    if (!finalOfTwo) {
      for (auto& p : pages) {
        if (p->page->pageType != 0 || !p->initialised) continue;
        prepareFieldObjects(p.get());
        registerAggregates(p.get());
      }
    }
    for (;;) {
      report->InternalOnProgress(pageNo() + 1);
      for (std::size_t j = 0; j < pages.size(); ++j) {
        TfrPageRun* p = pages[j].get();
        curPage = p;
        frCurPage() = p->page;
        p->page->pageNumber = static_cast<std::int32_t>(j) + 1;
        if (!p->page->visible) {
          try {
            RunScript(*p->page);
          } catch (const std::exception& ex) {
            HandleError(ex);
          }
        } else if (!p->skip && p->page->pageType == 0 && p->initialised) {
          p->recording = false;
          p->FormPage();
          append = false;
          if (j + 1 < pages.size() && pages[j + 1]->page->printToPrevPage &&
              prepared().count() > 0) {
            --pageNo();
            append = true;
          }
          if (!append) {
            pageNo() = prepared().count();
            report->InternalOnProgress(pageNo());
          }
        }
        if (terminated()) break;
      }
      report->InternalOnProgress(pageNo());
      if (!multiple) break;
      report->Dataset->Next();
      if (terminated() || report->Dataset->Eof()) break;
    }
  }
  if (multiple) report->Dataset->CloseRange();
  curPage = nullptr;
  curBand = nullptr;
}

void TfrBuildEngine::FinishAll() {
  for (auto& p : pages) p->DoneReport();
  hookList.clear();
}

}  // namespace kelpo::report
