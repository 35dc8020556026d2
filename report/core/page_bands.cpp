// Building the run-time bands of a template page: placing objects on vertical and horizontal
// bands, chaining bands of a type, attaching headers and footers to their data bands, pairing
// group footers, vertical datasets, child bands, groups and page columns.
#include "platform/text.h"
#include "report/core/build_engine.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "report/expr/names.h"

namespace kelpo::report {

namespace {

bool isVerticalType(int type) {
  return type == btCrossHeader || type == btCrossData || type == btCrossFooter;
}

}  // namespace

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
  for (TfrBand* d = master; d; d = d->next) {
    if (!d->view || !d->dataSource.empty() || !report->Dataset) continue;
    d->dataset = report->Dataset;
    d->dataset->OpenRange();  // closed with the band like any report dataset
  }

  // 11. Page columns.
  columns = page->columns <= 0 ? 1 : page->columns;
  leftMargin = page->leftMargin();
  topMargin = page->topMargin();
  rightEdge = page->rightEdge();
  bottomEdge = page->bottomEdge();
  if (bands[btPageFooter]->view) bottomEdge -= bands[btPageFooter]->dy;
  colWidth = (rightEdge - leftMargin - (columns - 1) * page->colGap) / columns;
}

}  // namespace kelpo::report
