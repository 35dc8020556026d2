// Band output: what happens when the engine shows a band. The fit check with forced pages and
// columns, the band's height from its stretched objects, writing its objects into the current
// prepared page, splitting a band across pages, band columns and aggregates.
#include <algorithm>

#include "report/core/band.h"
#include "report/core/build_engine.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

bool fixedPosition(int type) { return type == btPageFooter || type == btOverlay || type == btNone; }

bool isStretcheable(const TfrView* v) { return dynamic_cast<const TfrStretcheable*>(v) != nullptr; }

constexpr std::uint8_t kBandAlignBottom = 5;

// Writes an object's prepared record; a memo writes in the given draw mode (2: the part that
// fits).
void emitObject(TfrView* view, TfrWriter& stream, int drawMode) {
  if (auto* memo = dynamic_cast<TfrMemoView*>(view)) memo->drawMode = drawMode;
  view->EmitPrepared(stream);
}

TfrStretcheable* stretcheable(TfrView* view) { return static_cast<TfrStretcheable*>(view); }

// Writes an object into the prepared page being filled, moved by (dx, dy) for the output only.
void emitAt(TfrView* view, std::int32_t dx, std::int32_t dy, int drawMode) {
  TfrBuildEngine* e = frBuild();
  const std::int32_t ox = view->x, oy = view->y;
  view->x += dx;
  view->y += dy;
  try {
    emitObject(view, e->prepared()[frEngine().pageNo].stream, drawMode);
  } catch (...) {
    view->x = ox, view->y = oy;
    throw;
  }
  view->x = ox, view->y = oy;
}

}  // namespace

TfrBand::TfrBand() = default;
TfrBand::TfrBand(TfrPageRun* r, int t) : page(r->page), run(r), type(t) {}
TfrBand::~TfrBand() { freeDatasets(); }

void TfrBand::freeDatasets() {
  // A report dataset belongs to the form; only its range is closed. Record counts are ours.
  if (dataset && !ownedDataset) dataset->CloseRange();
  if (vDataset && !ownedVDataset) vDataset->CloseRange();
  dataset = vDataset = nullptr;
  ownedDataset.reset();
  ownedVDataset.reset();
}

void TfrBand::setDataSource(const std::string& source, QObject* owner) {
  if (dataset && !ownedDataset) dataset->CloseRange();
  dataset = nullptr;
  ownedDataset.reset();
  dataSource = source;
  if (source.empty()) return;
  BandDataset found = OpenBandDataset(owner, source);
  dataset = found.dataset;
  ownedDataset = std::move(found.owned);
}

void TfrBand::setVDataSource(const std::string& source, QObject* owner) {
  if (vDataset && !ownedVDataset) vDataset->CloseRange();
  vDataset = nullptr;
  ownedVDataset.reset();
  if (source.empty()) return;
  BandDataset found = OpenBandDataset(owner, source);
  vDataset = found.dataset;
  ownedVDataset = std::move(found.owned);
}

void TfrBand::InitValues() {
  if (auto& reset = TfrBuildEngine::aggregateHooks().reset) reset(*this);
}

void TfrBand::DoAggregate(int crossColumn) {
  if (auto& accumulate = TfrBuildEngine::aggregateHooks().accumulate)
    accumulate(*this, crossColumn);
}

// --- print ---------------------------------------------------------------------------------

bool TfrBand::Print() {
  TfrBuildEngine* e = run->engine;
  TfrReport* report = e->report;
  const bool savedSplit = maySplit;
  e->curBand = this;
  frCurView() = view;
  frEngine().bandType = static_cast<TfrBandType>(type);
  // LINE# of a band without a dataset counts the records of its chain's first band.
  // A group header's LINE# is the group's number.
  const TfrBand* counted =
      (dataset || type == btGroupHeader || !run->bands[type]) ? this : run->bands[type];
  frEngine().lineNo = counted->positions[0];
  frEngine().lineThrough = counted->positions[1];
  calculatedHeight = -1;
  forceNewPage = forceNewColumn = 0;
  if (report->OnBeginBand) report->OnBeginBand(this);
  bool result = false;

  // A band printed after a row of band columns that was not completed starts below that row.
  TfrBand* previous = run->lastBand;
  if (previous && previous != this && previous->exists() && previous->curColumn > 1) {
    run->xAdjust = previous->savedXAdjust;
    run->curY += previous->calculatedHeight;
    previous->curColumn = 1;
  }

  if (!reprint) {
    e->syncState();
    try {
      if (view) TfrBuildEngine::RunScript(*view);
    } catch (const std::exception& ex) {
      e->HandleError(ex);
    }
  }
  reprint = false;
  if (e->terminated()) {
    maySplit = savedSplit;
    return false;
  }

  for (int i = 0; i < forceNewPage; ++i) {
    run->curColumn = run->columns - 1;
    run->NewColumn(this);
  }
  for (int i = 0; i < forceNewColumn; ++i) run->NewColumn(this);
  forceNewPage = forceNewColumn = 0;
  if (curYAssigned) {
    run->curY = assignedCurY;
    curYAssigned = false;
  }

  if (visible) {
    if (type == btColumnHeader) run->lastStaticColumnY = run->curY;
    if (type == btPageFooter) y = run->curBottomY;
    if (exists()) {
      calculatedHeight = std::max(calculatedHeight, dy);
      if (type != btPageFooter && type != btOverlay && type != btColumnFooter && type != btNone) {
        const std::int32_t h = CalcHeight();
        if (run->curY + h > run->curBottomY && !maySplit) {
          if (run->curBottomY - run->topMargin >= h || run->curY > run->topMargin) {
            if (run->skip) {
              e->curBand = this;
              if (report->OnEndBand) report->OnEndBand(this);
              maySplit = savedSplit;
              return true;
            }
            run->NewColumn(this);
            result = true;
          } else {
            // Taller than an empty page: printed in parts rather than never.
            maySplit = true;
          }
        }
      }
      subReportFinished.assign(subReportFinished.size(), true);
      if (isDataBand(type) && dataset && next && !next->dataset) {
        for (TfrBand* b = this; b; b = b->next)
          if (b->visible) b->Draw();
      } else {
        Draw();
        if (child) child->Print();
        if (!isDataBand(type) && type != btGroupHeader && newPageAfter) run->NewPage();
      }
      for (bool finished : subReportFinished)
        if (!finished) result = true;
    }
  } else {
    if (child && printChildIfInvisible) child->Print();
    if (isDataBand(type)) DoAggregate();
  }

  if (!disableInit) {
    if (type == btGroupHeader) {
      for (TfrBand* g = this; g; g = g->nextGroup) {
        try {
          g->lastGroupValue = frParser().Evaluate(g->groupCondition);
        } catch (const std::exception& ex) {
          e->HandleError(ex);
        }
      }
    } else if (type != btPageFooter || frEngine().pageNo == e->prepared().count() - 1) {
      InitValues();
    }
  }
  e->curBand = this;
  if (report->OnEndBand) report->OnEndBand(this);
  maySplit = savedSplit;
  return result;
}

// --- dy --------------------------------------------------------------------------------

std::int32_t TfrBand::stretchedHeight() {
  std::int32_t h = dy;
  TfrBuildEngine* e = run->engine;
  bool cells = false;
  for (TfrView* v : objects) {
    if (v->parent != this) {
      cells = cells || (v->parent && v->parent->vertical());
      continue;
    }
    if (!isStretcheable(v)) continue;
    frCurView() = v;
    try {
      h = std::max(h, v->y + stretcheable(v)->CalcHeight());
    } catch (const std::exception& ex) {
      e->HandleError(ex);
    }
  }
  if (cells && type != btPageFooter) h = std::max(h, crossCellsHeight());
  frCurView() = view;
  return h;
}

TfrDataset* TfrBand::crossDataset(std::unique_ptr<TfrDataset>& counted) {
  TfrBand* data = run->bands[btCrossData];
  TfrDataset* ds = vDataset ? vDataset : data->dataset;
  if (type == btMasterFooter && ds && (ds->First(), ds->Eof()) && data->maxColumns > 0) {
    // A footer's columns line up with the data columns seen so far.
    BandDataset found = OpenBandDataset(nullptr, std::to_string(data->maxColumns));
    counted = std::move(found.owned);
    ds = counted.get();
  }
  return ds;
}

std::int32_t TfrBand::crossCellsHeight() {
  TfrBuildEngine* e = run->engine;
  TfrReport* report = e->report;
  TfrBand* header = run->bands[btCrossHeader];
  TfrBand* data = run->bands[btCrossData];
  TfrBand* footer = run->bands[btCrossFooter];
  if (!data->view) return 0;
  std::int32_t h = 0;
  // The tallest stretched cell of `vertical` in the current column.
  auto measure = [&](TfrBand* vertical) {
    for (TfrView* v : objects) {
      if (v->parent != vertical || !isStretcheable(v) || e->terminated()) continue;
      frCurView() = v;
      e->syncState();
      try {
        h = std::max(h, v->y + stretcheable(v)->CalcHeight());
      } catch (const std::exception& ex) {
        e->HandleError(ex);
      }
    }
  };
  if (report->OnBeginColumn) report->OnBeginColumn(this);
  run->columnPos = 1;
  if (header->view) measure(header);
  std::unique_ptr<TfrDataset> counted;
  if (TfrDataset* ds = crossDataset(counted)) {
    for (ds->First(); !ds->Eof() && !e->terminated(); ds->Next()) {
      std::int32_t width = data->dx;
      if (report->OnPrintColumn) report->OnPrintColumn(run->columnPos, width);
      measure(data);
      ++run->columnPos;
    }
  }
  if (footer->view) measure(footer);
  run->columnPos = 1;
  return h;
}

std::int32_t TfrBand::CalcHeight() {
  std::int32_t h;
  if (isDataBand(type) && dataset && next && !next->dataset) {
    h = 0;
    for (TfrBand* b = this; b; b = b->next) h += b->stretched ? b->stretchedHeight() : b->dy;
  } else {
    h = stretched ? stretchedHeight() : dy;
  }
  calculatedHeight = std::max(calculatedHeight, h);
  return calculatedHeight;
}

// --- drawing -------------------------------------------------------------------------------

bool TfrBand::checkFit(std::int32_t h) {
  if (run->curY + h + run->ColumnFooterHeight() <= run->curBottomY) return true;
  if (type != btColumnFooter) run->NewColumn(this);
  return false;
}

void TfrBand::outputObject(TfrView* v, int drawMode) {
  TfrBuildEngine* e = run->engine;
  if (v->parent != this) return;
  frCurView() = v;
  e->syncState();
  try {
    if (e->firstPass && !maySplit) {
      // The first pass only runs what may change values; nothing is written.
      TfrBuildEngine::RunScript(*v);
    } else {
      emitAt(v, run->xAdjust - run->leftMargin, y, drawMode);
    }
  } catch (const std::exception& ex) {
    e->HandleError(ex);
  }
}

void TfrBand::DrawObjects() {
  TfrBuildEngine* e = run->engine;
  bool cells = false;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    TfrView* v = objects[i];
    if (e->terminated()) break;
    // Sub-report views come last on a band: they print side by side, and end the band's list.
    if (v->typ == gtSubReport && v->visible && v->parent == this) {
      DrawSubReports(i);
      break;
    }
    if (v->parent && v->parent != this && v->parent->vertical()) cells = true;
    outputObject(v, 0);
  }
  if (cells && type != btPageFooter && !e->terminated()) DrawCross();
}

// --- side-by-side sub-reports --------------------------------------------------------------

void TfrBand::DrawSubReports(std::size_t first) {
  TfrBuildEngine* e = run->engine;
  std::vector<TfrPageRun*> subs;
  for (std::size_t i = first; i < objects.size(); ++i) {
    auto* view = dynamic_cast<TfrSubReportView*>(objects[i]);
    if (!view || !view->visible || view->parent != this) continue;
    if (view->subPage < 0 || view->subPage >= static_cast<int>(e->pages.size())) continue;
    TfrPageRun* sub = e->run(view->subPage);
    if (!sub->initialised || sub == run) continue;
    // Record the sub-report's band sequence, then place it inside this band's area.
    const bool append = e->append;
    e->append = false;
    sub->recording = true;
    sub->playList.clear();
    sub->FormPage();
    sub->recording = false;
    e->append = append;
    e->curPage = run;
    sub->curY = y + view->y;
    sub->curBottomY = run->curBottomY;
    sub->xAdjust = run->xAdjust + view->x;
    sub->leftMargin = run->leftMargin;
    sub->topMargin = run->topMargin;
    sub->rightEdge = run->rightEdge;
    sub->bottomEdge = run->bottomEdge;
    sub->columns = 1;
    sub->curColumn = 0;
    sub->playPos = 0;
    sub->parentRun = run;
    subs.push_back(sub);
  }
  subReportFinished.assign(subs.size(), false);
  const std::int32_t start = y;
  const int startPage = frEngine().pageNo;
  bool newPage = false;
  std::int32_t lowest = 0;
  for (;;) {
    bool all = true;
    for (std::size_t i = 0; i < subs.size(); ++i) {
      if (subReportFinished[i]) continue;
      subReportFinished[i] = subs[i]->PlayRecording();
      lowest = std::max(lowest, subs[i]->curY);
      if (!subReportFinished[i]) all = false;
    }
    e->curPage = run;
    if (all || e->terminated()) break;
    // Inside another sub-report the enclosing band decides where to continue.
    if (run->skip) {
      reprint = true;
      break;
    }
    run->NewPage();
    newPage = true;
    reprint = true;
    lowest = run->curY;
    for (std::size_t i = 0; i < subs.size(); ++i)
      if (!subReportFinished[i]) subs[i]->curY = run->curY;
  }
  for (TfrPageRun* sub : subs) {
    sub->playList.clear();
    sub->playPos = 0;
    sub->parentRun = nullptr;
  }
  // A band split inside a sub-report may have started the page itself.
  if (frEngine().pageNo != startPage) newPage = true;
  if (!newPage) lowest = std::max(lowest, start + dy);
  run->curY = lowest;
  e->subReportMovedY = true;
}

void TfrBand::continueOnNewPage() {
  TfrBuildEngine* e = run->engine;
  TfrPageRun* outer = run;
  while (outer->skip && outer->parentRun) outer = outer->parentRun;
  outer->NewPage();
  e->curBand = this;
  e->curPage = run;
  for (TfrPageRun* r = run; r && r != outer; r = r->parentRun) {
    r->curY = outer->curY;
    r->curBottomY = outer->curBottomY;
  }
}

// --- cross columns -------------------------------------------------------------------------

void TfrBand::drawCells(TfrBand* vertical, std::int32_t columnX) {
  TfrBuildEngine* e = run->engine;
  for (TfrView* v : objects) {
    if (v->parent != vertical || e->terminated()) continue;
    frCurView() = v;
    e->syncState();
    try {
      if (e->firstPass) {
        TfrBuildEngine::RunScript(*v);
        continue;
      }
      emitAt(v, columnX, y, 0);
    } catch (const std::exception& ex) {
      e->HandleError(ex);
    }
  }
}

void TfrBand::DrawCross() {
  TfrBuildEngine* e = run->engine;
  TfrReport* report = e->report;
  TfrBand* header = run->bands[btCrossHeader];
  TfrBand* data = run->bands[btCrossData];
  TfrBand* footer = run->bands[btCrossFooter];
  if (!data->view) return;
  const int startPage = frEngine().pageNo;
  if (report->OnBeginColumn) report->OnBeginColumn(this);
  run->columnPos = 1;
  // Cross cells count this band's records.
  for (TfrBand* b : {header, data, footer}) {
    b->positions[0] = positions[0];
    b->positions[1] = positions[1];
  }
  data->aggregateBand = this;
  auto runScript = [&](TfrBand* b) {
    e->curBand = b;
    try {
      TfrBuildEngine::RunScript(*b->view);
    } catch (const std::exception& ex) {
      e->HandleError(ex);
    }
    e->curBand = this;
  };
  std::int32_t columnX = data->x;
  // Columns that pass the right edge continue on the next prepared page at the same height.
  auto fit = [&](std::int32_t width) {
    if (columnX + width <= run->rightEdge) return;
    const int next = frEngine().pageNo + 1;
    frEngine().pageNo = next;
    if (next >= e->prepared().count()) {
      e->prepared().add(*run->page);
      const std::int32_t savedY = run->curY;
      run->curY = run->topMargin;
      run->ShowBand(run->bands[btOverlay]);
      TfrBand* pageHeader = run->bands[btPageHeader];
      if (startPage != 0 || (pageHeader->flags & flBandOnFirstPage)) run->ShowBand(pageHeader);
      run->curY = savedY;
    }
    columnX = run->leftMargin;
    if (header->view && (header->flags & flBandRepeatHeader)) {
      drawCells(header, columnX);
      columnX += header->dx;
    }
  };
  if (header->view) {
    runScript(header);
    drawCells(header, header->x);
  }
  std::unique_ptr<TfrDataset> counted;
  if (TfrDataset* ds = crossDataset(counted)) {
    ds->First();
    while (!ds->Eof() && !e->terminated()) {
      std::int32_t width = data->dx;
      if (report->OnPrintColumn) report->OnPrintColumn(run->columnPos, width);
      runScript(data);
      fit(width);
      drawCells(data, columnX);
      data->DoAggregate();
      if (isDataBand(type)) DoAggregate(run->columnPos);
      columnX += width;
      data->maxColumns = std::max(data->maxColumns, run->columnPos);
      ++run->columnPos;
      ds->Next();
    }
  }
  if (footer->view && !e->terminated()) {
    runScript(footer);
    fit(footer->dx);
    drawCells(footer, columnX);
    footer->InitValues();
  }
  frEngine().pageNo = startPage;
  frCurView() = view;
}

void TfrBand::Draw() {
  if (!exists()) return;
  TfrBuildEngine* e = run->engine;
  const std::int32_t savedY = y;
  const bool fixed = fixedPosition(type);
  if (!fixed) y = run->curY;

  if (stretched) {
    struct Saved {
      TfrView* v;
      std::int32_t dy;
    };
    std::vector<Saved> saved;
    for (TfrView* v : objects) {
      const bool own = v->parent == this || (v->parent && v->parent->vertical());
      if (!own || !isStretcheable(v) || !(v->flags & flStretched) || v->dy <= 0) continue;
      saved.push_back({v, v->dy});
      v->dy = calculatedHeight - v->y;
    }
    drawnHeight = calculatedHeight;
    if (!maySplit) {
      checkFit(calculatedHeight);
      y = run->curY;
    }
    if (maySplit)
      DrawSplit();
    else
      DrawObjects();
    for (const Saved& s : saved) s.v->dy = s.dy;
    if (!e->subReportMovedY) run->curY += maySplit ? drawnHeight : calculatedHeight;
  } else {
    // A band that may split is not moved whole to the next page first: that is what splitting
    // avoids.
    if (!fixed) {
      if (!maySplit) checkFit(dy);
      y = run->curY;
    }
    if (maySplit) {
      drawnHeight = calculatedHeight;
      DrawSplit();
      run->curY += drawnHeight;
    } else {
      DrawObjects();
      if (!fixed && !e->subReportMovedY) run->curY += dy;
    }
  }
  e->subReportMovedY = false;

  // Band columns: the next record prints beside this one until the row is full.
  if (view && view->columns > 1 && view->newColumnAfter == 1 && isDataBand(type)) {
    if (run->lastBand != this) curColumn = 1;
    if (curColumn == 1) savedXAdjust = run->xAdjust;
    ++curColumn;
    if (curColumn > view->columns) {
      run->xAdjust = savedXAdjust;
      curColumn = 1;
    } else {
      run->xAdjust = (view->columnWidth + view->columnGap) * (curColumn - 1) + savedXAdjust;
      run->curY -= calculatedHeight;
    }
  }
  run->lastBand = this;
  y = savedY;
  if (isDataBand(type)) DoAggregate();
}

void TfrBand::DrawSplit() {
  TfrBuildEngine* e = run->engine;
  struct Item {
    TfrView* v;
    std::int32_t y, dy;
    bool done = false;
    bool finalHeight = false;
  };
  std::vector<Item> items;
  for (TfrView* v : objects) {
    if (v->parent != this) continue;
    items.push_back({v, v->y, v->dy});
    if (v->bandAlign == kBandAlignBottom) v->y = calculatedHeight - v->dy;
  }

  if (run->curY + calculatedHeight + run->ColumnFooterHeight() <= run->curBottomY) {
    DrawObjects();
    drawnHeight = calculatedHeight;
  } else {
    // A band that did not stretch has not measured its objects: their text is prepared here.
    if (!stretched)
      for (Item& it : items)
        if (isStretcheable(it.v)) stretcheable(it.v)->CalcHeight();
    std::int32_t maxBottom = 0;
    for (;;) {
      if (e->terminated()) break;
      const std::int32_t free = run->curBottomY - run->ColumnFooterHeight() - y - 2;
      maxBottom = 0;
      // Moves every object below `above` that starts within its width down by `by`.
      auto pushBelow = [&](const Item& above, std::int32_t by) {
        if (by <= 0) return;
        for (Item& o : items) {
          if (o.done || o.v == above.v) continue;
          if (o.v->y > above.v->y && o.v->x >= above.v->x && o.v->x < above.v->x + above.v->dx)
            o.v->y += by;
        }
      };
      for (Item& it : items) {
        if (it.done || it.finalHeight) continue;
        TfrView* v = it.v;
        if (v->y >= 0 && v->y < free) {
          if (v->y + v->dy < free) {
            outputObject(v, 0);
            it.done = true;
            maxBottom = std::max(maxBottom, v->y + v->dy);
          } else if (isStretcheable(v)) {
            const std::int32_t full = v->dy;
            v->dy = free - v->y + 1;
            if (stretcheable(v)->MinHeight() <= v->dy) {
              outputObject(v, 2);
              maxBottom = std::max(maxBottom, v->y + v->dy);
              const std::int32_t rest = stretcheable(v)->RemainHeight();
              v->dy = full + rest;
              pushBelow(it, rest);
            } else {
              // Not even one line fits: the whole object starts on the next page.
              v->dy = full;
              v->y = free;
            }
          } else {
            v->y = free;
          }
        } else if (v->y < 0 && isStretcheable(v)) {
          const std::int32_t top = v->y, full = v->dy;
          if (top + full < free) {
            if (stretched && (v->flags & flStretched)) {
              it.finalHeight = true;
              maxBottom = std::max(maxBottom, top + full);
            } else {
              v->y = 0;
              v->dy = top + full;
              outputObject(v, 2);
              maxBottom = std::max(maxBottom, v->dy);
              v->y = top, v->dy = full;
              it.done = true;
            }
          } else {
            v->y = 0;
            v->dy = free;
            outputObject(v, 2);
            maxBottom = std::max(maxBottom, free);
            const std::int32_t rest = stretcheable(v)->RemainHeight();
            v->y = top;
            v->dy = full + rest;
            pushBelow(it, rest);
          }
        }
      }
      bool pending = false;
      for (Item& it : items) {
        if (it.done || it.finalHeight) continue;
        it.v->y -= free;
        pending = true;
      }
      if (!pending) break;
      if (run->skip && run->parentRun) {
        continueOnNewPage();
      } else {
        run->NewColumn(this);
      }
      y = run->curY;
    }
    drawnHeight = maxBottom;
    for (Item& it : items) {
      if (!it.finalHeight) continue;
      it.v->y = 0;
      it.v->dy = std::max(drawnHeight, 1);
      outputObject(it.v, 2);
    }
  }
  for (Item& it : items) {
    it.v->y = it.y;
    it.v->dy = it.dy;
  }
}

}  // namespace kelpo::report
