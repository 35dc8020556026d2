#include "report/core/build_engine.h"

#include <QCoreApplication>
#include <algorithm>

#include "platform/text.h"
#include "report/core/build_seams.h"
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

bool isVerticalType(int type) {
  return type == btCrossHeader || type == btCrossData || type == btCrossFooter;
}

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

bool TfrBuildEngine::terminated() const {
  return report->terminated || masterReport->terminated;
}

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
  if (error) return;
  std::string text = frLoadStr(kErrorCalculating);
  TfrView* view = frCurView();
  if (view)
    for (const std::string& line : view->memo) text += "\r" + line;
  text += "\r\r" + frLoadStr(kErrorReport) + " " + fromQString(report->objectName()) + "\r";
  if (view) text += frLoadStr(kErrorObject) + " " + view->name + "\r";
  text += "\r";
  text += e.what();
  errorText = text;
  error = true;
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

TfrBand* TfrPageRun::newBand(int type) {
  owned.push_back(std::make_unique<TfrBand>(this, type));
  return owned.back().get();
}

void TfrPageRun::InitReport() {
  TfrReport* report = engine->report;
  if (initialised && report->doublePass && report->finalPass) {
    // The final pass of a two-pass build keeps the first pass's bands.
    for (auto& v : page->objects)
      if (auto* memo = dynamic_cast<TfrMemoView*>(v.get())) memo->lastValue.clear();
    for (TfrBand* b : bands)
      if (b && b->dataset) b->dataset->First();
    return;
  }
  owned.clear();
  for (int t = 0; t < kBandTypeCount; ++t) bands[t] = newBand(t);
  buildBands();
  currentPos = columnPos = 1;
  initialised = true;
}

void TfrPageRun::DoneReport() {
  for (auto& v : page->objects) v.get()->parent = nullptr;
  owned.clear();
  bands.fill(nullptr);
  initialised = false;
}

void TfrPageRun::buildBands() {
  TfrReport* report = engine->report;
  QObject* owner = report->parent();
  std::vector<bool> placed(page->objects.size(), false);

  // 1. Every object to prepared mode, unplaced and without a band.
  for (auto& v : page->objects) {
    v->templateMode = false;
    if (v->flags & flWantHook && v->typ != gtBand) engine->hookList.push_back(v.get());
    v.get()->parent = nullptr;
    if (auto* sub = dynamic_cast<TfrSubReportView*>(v.get()))
      if (sub->subPage >= 0 && sub->subPage < static_cast<int>(engine->pages.size()))
        engine->run(sub->subPage)->skip = true;
  }

  auto configure = [&](TfrBand* b, TfrBandView* bv) {
    b->view = bv;
    b->name = bv->name;
    b->text = bv->memo;
    b->script = bv->script;
    b->x = bv->x;
    b->y = bv->y;
    b->dx = bv->dx;
    b->dy = bv->dy;
    b->flags = bv->flags;
    b->visible = bv->visible;
    b->curColumn = 1;
    b->stretched = bv->flags & flStretched;
    b->printIfSubsetEmpty = bv->flags & flBandPrintifSubsetEmpty;
    b->printChildIfInvisible = bv->flags & flBandPrintChildIfInvisible;
    b->newPageAfter = !skip && (bv->flags & flBandNewPageAfter);
    b->maySplit = !skip && (bv->flags & flBandBreaked);
    if (b->type == btGroupHeader)
      b->groupCondition = bv->formatStr;
    else
      b->setDataSource(bv->formatStr, owner);
    bv->parent = b;
  };

  // 2-3. Vertical bands and the objects lying across them.
  bool vertical = false;
  for (auto& v : page->objects) {
    auto* bv = dynamic_cast<TfrBandView*>(v.get());
    if (!bv || !isVerticalType(bv->bandType())) continue;
    configure(bands[bv->bandType()], bv);
    vertical = true;
  }
  if (vertical) {
    for (int t : {btCrossHeader, btCrossData, btCrossFooter}) {
      TfrBand* b = bands[t];
      if (!b->view) continue;
      for (std::size_t i = 0; i < page->objects.size(); ++i) {
        TfrView* v = page->objects[i].get();
        if (v->typ == gtBand || placed[i] || v->parent) continue;
        if (v->x >= b->x && v->x + v->dx <= b->x + b->dx) {
          v->x -= b->x;
          v->parent = b;
          b->objects.push_back(v);
        }
      }
    }
  }

  // 4. Horizontal bands by type, their objects by top edge, then sorted by y and chained.
  for (int t = 0; t < btNone; ++t) {
    if (isVerticalType(t)) continue;
    std::vector<TfrBand*> list;
    for (auto& v : page->objects) {
      auto* bv = dynamic_cast<TfrBandView*>(v.get());
      if (!bv || bv->bandType() != t) continue;
      TfrBand* b = list.empty() ? bands[t] : newBand(t);
      configure(b, bv);
      list.push_back(b);
      auto inside = [&](const TfrView* o) { return o->y >= b->y && o->y <= b->y + b->dy; };
      for (std::size_t i = 0; i < page->objects.size(); ++i) {
        TfrView* o = page->objects[i].get();
        if (o->typ == gtBand || o->typ == gtSubReport || placed[i] || o->parent) continue;
        if (!inside(o)) continue;
        o->y -= b->y;
        o->parent = b;
        placed[i] = true;
        b->objects.push_back(o);
      }
      for (std::size_t i = 0; i < page->objects.size(); ++i) {
        TfrView* o = page->objects[i].get();
        TfrBand* parent = o->parent;
        if (o->typ == gtBand || placed[i] || !parent || !isVerticalType(parent->type)) continue;
        if (!inside(o)) continue;
        o->y -= b->y;
        placed[i] = true;
        b->objects.push_back(o);  // a cross cell: printed by its vertical band
      }
      for (std::size_t i = 0; i < page->objects.size(); ++i) {
        TfrView* o = page->objects[i].get();
        if (o->typ != gtSubReport || placed[i] || o->parent) continue;
        if (!inside(o)) continue;
        o->y -= b->y;
        o->parent = b;
        placed[i] = true;
        b->objects.push_back(o);
      }
    }
    if (list.empty()) continue;
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::size_t min = i;
      for (std::size_t j = i + 1; j < list.size(); ++j)
        if (list[j]->y < list[min]->y) min = j;
      std::swap(list[i], list[min]);
    }
    bands[t] = list.front();
    for (std::size_t i = 0; i < list.size(); ++i) {
      list[i]->prev = i > 0 ? list[i - 1] : nullptr;
      list[i]->next = i + 1 < list.size() ? list[i + 1] : nullptr;
    }
    list.front()->last = list.back();
  }

  // 5. The rest belongs to the none band.
  TfrBand* none = bands[btNone];
  none->y = 0;
  for (std::size_t i = 0; i < page->objects.size(); ++i) {
    TfrView* o = page->objects[i].get();
    if (o->typ == gtBand || placed[i] || o->parent) continue;
    o->parent = none;
    none->objects.push_back(o);
  }

  auto chain = [&](int type) {
    std::vector<TfrBand*> list;
    for (TfrBand* b = bands[type]; b; b = b->next)
      if (b->view) list.push_back(b);
    return list;
  };

  // 6. Headers and footers of the three data levels.
  for (int h : {btMasterHeader, btDetailHeader, btSubDetailHeader}) {
    const std::vector<TfrBand*> data = chain(h + 1);
    if (data.empty()) continue;
    for (TfrBand* header : chain(h)) {
      for (TfrBand* d : data) {
        if (header->y + header->dy < d->y) {
          if (!d->header) {
            d->header = header;
            header->dataBand = d;
          }
          break;
        }
      }
    }
    for (TfrBand* footer : chain(h + 2)) {
      TfrBand* owner = data.back();
      for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i]->y + data[i]->dy > footer->y) {
          owner = i > 0 ? data[i - 1] : nullptr;
          break;
        }
      }
      if (owner && !owner->footer) {
        owner->footer = footer;
        footer->dataBand = owner;
      }
    }
  }

  // 7. Group headers pair with group footers from the outside in.
  const std::vector<TfrBand*> groupHeaders = chain(btGroupHeader);
  const std::vector<TfrBand*> groupFooters = chain(btGroupFooter);
  for (std::size_t i = 0; i < groupHeaders.size() && i < groupFooters.size(); ++i)
    groupHeaders[groupHeaders.size() - 1 - i]->footer = groupFooters[i];

  // 8. Vertical datasets named band by band in the cross data band's source.
  TfrBand* cross = bands[btCrossData];
  if (cross->view && cross->dataSource.find(';') != std::string::npos) {
    const std::string& list = cross->dataSource;
    std::size_t start = 0;
    while (start < list.size()) {
      std::size_t semi = start;
      while (semi < list.size() && list[semi] != ';') semi += engineCharSize(list, semi);
      const std::string entry = list.substr(start, semi - start);
      start = semi + 1;
      const std::size_t eq = entry.find('=');
      if (eq == std::string::npos) continue;
      const std::string bandName = entry.substr(0, eq), source = entry.substr(eq + 1);
      for (int t = btMasterHeader; t <= btChild; ++t)
        for (TfrBand* b = bands[t]; b; b = b->next)
          if (b->view && sameName(b->view->name, bandName)) b->setVDataSource(source, owner);
    }
  }

  // 9. Child bands.
  for (auto& b : owned) {
    if (!b->view || b->view->childBand.empty()) continue;
    for (auto& c : owned)
      if (c->view && sameName(c->view->name, b->view->childBand)) b->child = c.get();
  }

  // 10. Groups join the data band their Master names (the first master data band by default).
  TfrBand* master = bands[btMasterData];
  if (master->view) {
    for (TfrBand* g : groupHeaders) {
      TfrBand* data = master;
      if (!g->view->master.empty()) {
        data = nullptr;
        for (TfrBand* d = master; d; d = d->next)
          if (d->view && sameName(d->view->name, g->view->master)) data = d;
        if (!data) continue;
      }
      g->dataBand = data;
      if (!data->firstGroup) {
        data->firstGroup = g;
      } else {
        data->lastGroup->nextGroup = g;
        g->prevGroup = data->lastGroup;
      }
      data->lastGroup = g;
    }
  }
  // A master data band without a source walks the report's own dataset.
  for (TfrBand* d = master; d; d = d->next)
    if (d->view && d->dataSource.empty() && d == master && report->Dataset) d->dataset = report->Dataset;

  // 11. Page columns.
  columns = page->columns <= 0 ? 1 : page->columns;
  leftMargin = page->leftMargin();
  topMargin = page->topMargin();
  rightEdge = page->rightEdge();
  bottomEdge = page->bottomEdge();
  if (bands[btPageFooter]->view) bottomEdge -= bands[btPageFooter]->dy;
  colWidth = (rightEdge - leftMargin - (columns - 1) * page->colGap) / columns;
}

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
  if (pageNo() != 0 || onFirst) {
    const int count = engine->prepared().count();
    for (int i = pageNo(); i < count; ++i) {
      if (engine->append && engine->footerDone) continue;
      pageNo() = i;
      if (report->OnEndPage) report->OnEndPage(i);
      if (engine->masterReport != report && engine->masterReport->OnEndPage)
        engine->masterReport->OnEndPage(i);
      endPageFired_ = i;
      ShowBand(footer);
    }
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
  TfrBand* data = isDataBand(band->type) ? band : band->type == btGroupHeader ? band->dataBand
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

void TfrBuildEngine::prepareFieldObjects(TfrPageRun*) {
  // Blob fields read whole belong to memo and picture output; nothing to remember here yet.
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
            std::vector<std::string> calls = hooks.collect(band->script, true);
            for (TfrView* v : band->objects) {
              std::vector<std::string> more;
              if (v->typ == gtMemo) more = hooks.collect(v->memo, false);
              for (auto& c : hooks.collect(v->script, true)) more.push_back(std::move(c));
              for (auto& c : more) calls.push_back(std::move(c));
            }
            curBand = band;
            aggregateTarget = data;
            state.aggregateCollection = true;
            for (const std::string& call : calls) {
              try {
                frParser().Evaluate(call);
              } catch (const std::exception& ex) {
                state.aggregateCollection = false;
                HandleError(ex);
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
  error = false;
  errorText.clear();
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
