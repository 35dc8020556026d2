// SUM, AVG, MIN, MAX and COUNT: registering aggregate keys on the data band they total during
// the collection pass, accumulating per printed record, reading from the band that shows them
// and resetting after that band has printed.
//
// MIN and MAX start from "nothing accumulated" (Null) rather than from a sentinel, so MAX of
// only negative values is the largest of them and MIN of no records is 0; AVG divides by the
// records it actually summed.
#include <string>
#include <string_view>
#include <vector>

#include "report/core/build_engine.h"
#include "report/core/report.h"
#include "report/core/report_interpreter.h"
#include "report/expr/engine_state.h"
#include "report/expr/function_splitter.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

constexpr char kSeparator = 1;

// The fields of an aggregate key.
struct Key {
  std::string column;  // empty without a cross-tab column prefix
  std::string band, expression, flags;
  char code = 0;
};

// Keys are parsed for every record a band accumulates: the fields are cut without building a
// list first.
Key parseKey(std::string_view text) {
  std::string_view fields[5];
  std::size_t count = 0, start = 0;
  for (std::size_t p = 0; p < text.size() && count < 5; ++p) {
    if (text[p] != kSeparator) continue;
    fields[count++] = text.substr(start, p - start);
    start = p + 1;
  }
  Key k;
  std::size_t i = 0;
  if (count == 5 && !fields[0].empty() &&
      fields[0].find_first_not_of("0123456789") == std::string_view::npos)
    k.column = fields[i++];
  if (count < i + 4) return k;
  k.band = fields[i];
  k.code = fields[i + 1].empty() ? 0 : fields[i + 1][0];
  k.expression = fields[i + 2];
  k.flags = fields[i + 3];
  return k;
}

std::string makeKey(const std::string& band, char code, const std::string& expression,
                    const std::string& flags) {
  const std::string sep(1, kSeparator);
  return band + sep + std::string(1, code) + sep + expression + sep + flags + sep;
}

// Nothing accumulated yet: MIN and MAX hold Null until their first record.
Value initialValue(char code) {
  return code == aggregate::kMin || code == aggregate::kMax ? Value::null() : Value(0);
}

// The cross band (header, data or footer column) of a cross-tab cell printed with `band`, or
// null when `view` is an ordinary object of the band.
TfrBand* crossBandOf(const TfrView* view, const TfrBand* band) {
  if (!view || !view->parent || view->parent == band || !view->parent->vertical()) return nullptr;
  return view->parent;
}

std::string columnPrefix(int column) { return std::to_string(column) + kSeparator; }

int defaultDataType(int type) {
  switch (type) {
    case btReportSummary:
    case btPageFooter:
    case btMasterFooter:
    case btGroupFooter:
      return btMasterData;
    case btDetailFooter:
      return btDetailData;
    case btSubDetailFooter:
      return btSubDetailData;
    case btCrossFooter:
      return btCrossData;
    default:
      return -1;
  }
}

void registerCall(TfrBuildEngine& e, char code, const Value& p1, const Value& p2, const Value& p3) {
  TfrBand* current = e.curBand;
  TfrBand* target = e.aggregateTarget;
  if (!current || !target) return;
  const std::string bandText =
      std::string(trimBlanks((code == aggregate::kCount ? p1 : p2).toText()));
  const std::string flags = (code == aggregate::kCount ? p2 : p3).toText();
  if (bandText.empty()) {
    if (defaultDataType(current->type) != target->type) return;
  } else if (!sameName(bandText, target->name)) {
    return;
  }
  std::string key = makeKey(current->name, code, p1.toText(), flags);
  // A cell of a cross-tab column keeps one value per column: the "0" key is the template the
  // columns' keys are copied from as they are accumulated.
  if (current->type != btCrossFooter && crossBandOf(frCurView(), current))
    key = columnPrefix(0) + key;
  target->values.SetVariable(key, initialValue(code));
  if (code == aggregate::kAvg) target->summedCounts.SetVariable(key, Value(0));
  current->aggregateBand = target;
}

// The data band an aggregate call reads: the one its band-name parameter names (or the
// current band's default data band) that holds the key. A band may total several data bands
// (a master footer counting masters and details): the band it registered last is only the
// fallback.
TfrBand* aggregateSource(TfrBand& current, const std::string& bandText, const std::string& key) {
  if (current.run) {
    const int wanted = bandText.empty() ? defaultDataType(current.type) : -1;
    for (int type : {btMasterData, btDetailData, btSubDetailData, btCrossData}) {
      if (wanted >= 0 && type != wanted) continue;
      for (TfrBand* b = current.run->bands[type]; b; b = b->next) {
        if (wanted < 0 && !sameName(bandText, b->name)) continue;
        if (b->values.Contains(key)) return b;
      }
    }
  }
  return current.aggregateBand;
}

void readAggregate(TfrBuildEngine& e, char code, const Value& p1, const Value& p2, const Value& p3,
                   Value& result) {
  TfrBand* current = e.curBand;
  if (!current) return;
  // A cross footer's cell totals the columns of its row; any other cell reads its own column.
  bool column = false;
  if (TfrBand* cross = crossBandOf(frCurView(), current)) {
    if (cross->type == btCrossFooter)
      current = cross;
    else
      column = true;
  }
  if (!current->aggregateBand) return;
  const std::string flags = (code == aggregate::kCount ? p2 : p3).toText();
  std::string key = makeKey(current->name, code, p1.toText(), flags);
  if (column && e.curPage) key = columnPrefix(e.curPage->columnPos) + key;
  const std::string bandText =
      std::string(trimBlanks((code == aggregate::kCount ? p1 : p2).toText()));
  TfrBand* source = aggregateSource(*current, bandText, key);
  const Value* stored = source->values.Find(key);
  if (!stored) return;
  if (code == aggregate::kAvg) {
    const Value* n = source->summedCounts.Find(key);
    const int count = n ? n->toInteger() : 0;
    result = count == 0 ? Value(0) : Value(stored->toFloat() / count);
    return;
  }
  result = stored->isNull() ? Value(0) : *stored;
}

// Adds the current record to the band's plain keys (column 0, once per printed record) or to
// the keys of one cross-tab column (once per column of the record).
void accumulate(TfrBand& band, int crossColumn) {
  TfrVariables& values = band.values;
  const bool cross = crossColumn > 0;
  const std::string column = cross ? std::to_string(crossColumn) : std::string();
  if (cross) {
    // Templates (column "0") get a copy for the current column when it has none.
    const std::string templatePrefix = columnPrefix(0);
    for (int i = 0; i < values.Count(); ++i) {
      const std::string name = values.NameAt(i);
      if (name.rfind(templatePrefix, 0) != 0) continue;
      const std::string copy = columnPrefix(crossColumn) + name.substr(templatePrefix.size());
      if (values.Contains(copy)) continue;
      const Key k = parseKey(name);
      values.SetVariable(copy, initialValue(k.code));
      if (k.code == aggregate::kAvg) band.summedCounts.SetVariable(copy, Value(0));
    }
  }
  std::string lastExpression;
  Value lastValue;
  bool haveLast = false;
  for (int i = 0; i < values.Count(); ++i) {
    const std::string name = values.NameAt(i);
    const Key k = parseKey(name);
    if (cross ? k.column != column : !k.column.empty()) continue;
    Value v(1);
    if (k.code != aggregate::kCount) {
      if (!haveLast || k.expression != lastExpression) {
        lastValue = frParser().Evaluate(k.expression);
        lastExpression = k.expression;
        haveLast = true;
      }
      v = lastValue.isNull() ? Value(0) : lastValue;
    }
    if (!band.visible && trimBlanks(k.flags) != "1") continue;
    const Value stored = values.GetValueAt(i);
    switch (k.code) {
      case aggregate::kSum:
        values.SetValueAt(i, (stored.isNull() ? Value(0) : stored) + v);
        break;
      case aggregate::kAvg: {
        values.SetValueAt(i, (stored.isNull() ? Value(0) : stored) + v);
        band.summedCounts.SetVariable(name,
                                      Value(band.summedCounts.GetVariable(name).toInteger() + 1));
        break;
      }
      case aggregate::kMin:
        if (stored.isNull() || compareValues(v, stored) == Ordering::Less) values.SetValueAt(i, v);
        break;
      case aggregate::kMax:
        if (stored.isNull() || compareValues(v, stored) == Ordering::Greater)
          values.SetValueAt(i, v);
        break;
      case aggregate::kCount:
        values.SetValueAt(i, Value(stored.toInteger() + 1));
        break;
      default:
        break;
    }
  }
  if (!cross) ++band.valuesCount;
}

// Resets the keys `shownBy` reads in every data band that holds any: a footer may total more
// than one data band.
void reset(TfrBand& shownBy) {
  // A band that registered no aggregate shows none.
  if (!shownBy.aggregateBand) return;
  auto resetIn = [&](TfrBand& source) {
    bool any = false;
    for (int i = 0; i < source.values.Count(); ++i) {
      const std::string& name = source.values.NameAt(i);
      const Key k = parseKey(name);
      if (!sameName(k.band, shownBy.name)) continue;
      any = true;
      source.values.SetValueAt(i, initialValue(k.code));
      if (k.code == aggregate::kAvg) source.summedCounts.SetVariable(name, Value(0));
    }
    return any;
  };
  if (shownBy.run) {
    for (int type : {btMasterData, btDetailData, btSubDetailData, btCrossData})
      for (TfrBand* b = shownBy.run->bands[type]; b; b = b->next)
        if (b != shownBy.aggregateBand && resetIn(*b)) b->valuesCount = 0;
  }
  resetIn(*shownBy.aggregateBand);
  shownBy.aggregateBand->valuesCount = 0;
}

std::vector<std::string> collect(const TfrStrings& lines, bool script) {
  TfrStrings calls;
  TfrReport* report = frCurReport();
  TAggregateFunctionsSplitter splitter(report ? &report->dictionary.VariableList : nullptr, calls);
  if (script) {
    TfrStrings compiled, errors;
    frInterpreter().CompileScript(lines, compiled, errors);
    splitter.SplitScript(compiled);
  } else {
    splitter.SplitMemo(lines);
  }
  return calls;
}

}  // namespace

void frInstallAggregates() {
  frAggregateHandler() = [](char code, const Value& p1, const Value& p2, const Value& p3,
                            Value& result) {
    TfrBuildEngine* e = frBuild();
    if (!e) return;
    if (frEngine().aggregateCollection)
      registerCall(*e, code, p1, p2, p3);
    else
      readAggregate(*e, code, p1, p2, p3, result);
  };
  auto& hooks = TfrBuildEngine::aggregateHooks();
  hooks.collect = collect;
  hooks.accumulate = accumulate;
  hooks.reset = reset;
}

}  // namespace kelpo::report
