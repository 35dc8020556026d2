#include "report/core/report_interpreter.h"

#include <QCoreApplication>
#include <unordered_map>

#include "platform/text.h"
#include "report/core/build_engine.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "report/expr/engine_state.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace kelpo::report {

namespace {

// The ScriptVariables name of an array element: Arr_NAME_INDEX.
std::string arrayElementName(const std::string& array, const Value& index) {
  const std::string indexText = index.isText() ? index.text() : std::to_string(index.toInteger());
  return "Arr_" + array + "_" + indexText;
}

// An object of the report by name, or the view being output when it has that name.
TfrObject* findNamedObject(TfrReport* report, const std::string& objectName) {
  TfrObject* object = report ? report->findObject(objectName) : nullptr;
  if (!object && frCurView() && sameName(frCurView()->name, objectName)) object = frCurView();
  return object;
}

// INC, DEC, SETARRAY, GETARRAY and object methods; true when `name` is one of them.
bool callProcedure(TfrReport* report, const std::string& name, const Value& p1, const Value& p2,
                   const Value& p3, Value& result) {
  if (name == "INC" || name == "DEC") {
    const std::string variable = std::string(trimBlanks(p1.toText()));
    Value value;
    ResolveVariable(variable, value);
    frInterpreter().WriteValue(variable, name == "INC" ? value + Value(1) : value - Value(1));
    return true;
  }
  if (name == "SETARRAY" || name == "GETARRAY") {
    const std::string array = std::string(trimBlanks(p1.toText()));
    const std::size_t dot = array.rfind('.');
    if (dot != std::string::npos) {
      // An object's list property ("Memo1.Lines[i]"): the object's index-property methods
      // evaluate the index and the value themselves.
      TfrObject* object = findNamedObject(report, array.substr(0, dot));
      if (!object)
        throw EParserError(utf8ToEngine("符号没定义") + " \"" + array.substr(0, dot) + "\"");
      const std::string list = array.substr(dot + 1);
      result = object->CallMethod(name == "SETARRAY" ? "SETINDEXPROPERTY" : "GETINDEXPROPERTY",
                                  list, p2.toText(), p3.toText());
      return true;
    }
    const Value index = frParser().Evaluate(p2.toText());
    const std::string element = arrayElementName(array, index);
    if (name == "SETARRAY")
      ScriptVariables().SetVariable(element, frParser().Evaluate(p3.toText()));
    else
      result = ScriptVariables().Contains(element) ? ScriptVariables().GetVariable(element)
                                                   : Value::null();
    return true;
  }
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) {
    if (TfrObject* object = findNamedObject(report, name.substr(0, dot))) {
      result = object->CallMethod(name.substr(dot + 1), p1.toText(), p2.toText(), p3.toText());
      return true;
    }
  }
  return false;
}

}  // namespace

TInterpretator& frInterpreter() {
  static TInterpretator interpreter;
  return interpreter;
}

void TInterpretator::ReadValue(const std::string& name, Value& value) {
  ResolveVariable(name, value);
}

void TInterpretator::WriteValue(const std::string& name, const Value& value) {
  if (ScriptVariables().Contains(name)) {
    ScriptVariables().SetVariable(name, value);
    return;
  }
  TfrReport* report = frCurReport();
  if (report && report->dictionary.CanResolve(name)) {
    report->dictionary.VariableList.SetVariable(name, Value(value.toText()));
    report->dictionary.ClearCache();
    return;
  }
  const std::string upper = upperName(name);
  TfrBuildEngine* engine = frBuild();
  if (upper == "MODALRESULT") return;  // dialog pages have no window to close here
  if (upper == "CURY") {
    if (engine && engine->curPage) {
      engine->curPage->curY = value.toInteger();
      TfrBand* band = engine->curBand;
      if (band && (band->forceNewPage > 0 || band->forceNewColumn > 0)) {
        band->curYAssigned = true;
        band->assignedCurY = engine->curPage->curY;
      }
      engine->syncState();
    }
    return;
  }
  if (upper == "PROGRESS") {
    TfrReport::ShowProgressDetail(value.toText());
    QCoreApplication::processEvents();
    return;
  }
  if (assignObjectProperty(name, value)) return;
  ScriptVariables().SetVariable(name, value);
}

void TInterpretator::CallFunction(const std::string& name, const Value& p1, const Value& p2,
                                  const Value& p3, Value& result) {
  DispatchFunction(frCurReport(), name, p1, p2, p3, result);
}

void TInterpretator::RunSource(const TfrStrings& source) {
  // A band's script runs once per record: the script run last is recognised without a lookup.
  if (lastCompiled_ && &source == lastSource_ && source == lastText_) {
    RunScript(*lastCompiled_);
    return;
  }
  std::string key;
  for (const std::string& line : source) {
    key += line;
    key += '\r';
  }
  auto it = compiled_.find(key);
  if (it == compiled_.end()) {
    TfrStrings lines, errors;
    CompileScript(source, lines, errors);
    it = compiled_.emplace(std::move(key), std::move(lines)).first;
  }
  lastSource_ = &source;
  lastText_ = source;
  lastCompiled_ = &it->second;
  RunScript(it->second);
}

TDatabaseFunctionLibrary::TDatabaseFunctionLibrary() {
  List = {"FIELDISNULL"};
  Describe("FIELDISNULL", "Database",
           "FIELDISNULL(<FieldName>)/Returns 'true' if DB-field is null");
}

void TDatabaseFunctionLibrary::CallByIndex(int, const Value& p1, const Value&, const Value&,
                                           Value& result) {
  const std::string reference = frParser().Evaluate(p1.toText()).toText();
  TfrReport* report = frCurReport();
  Query* dataset = report && report->UseDefaultDataSetName ? DefaultDataSet() : nullptr;
  // The form that owns the report being built (or the context a tool set up) names the queries.
  const TfrReportContext* context = frEngine().report;
  const std::string field =
      FindDatasetAndField(context ? context->owner : nullptr, reference, dataset);
  if (!dataset) {
    result = Value(true);
    return;
  }
  if (field.empty()) {
    // The dataset exists but has no such field: reading it raises the dataset's own error
    // naming the field, rather than calling a misspelt field null.
    const std::size_t quote = reference.find('"');
    const std::size_t dot = reference.rfind('.', quote);
    const std::string wanted =
        StripQuotes(dot == std::string::npos ? std::string_view(reference)
                                             : std::string_view(reference).substr(dot + 1));
    result = Value(dataset->isNull(toQString(wanted)));
    return;
  }
  result = Value(dataset->isNull(toQString(field)));
}

void DispatchFunction(TfrReport* report, const std::string& name, const Value& p1, const Value& p2,
                      const Value& p3, Value& result) {
  result = Value("0");
  if (frCallLibraries(name, p1, p2, p3, result)) return;
  TfrBuildEngine* engine = frBuild();
  if (!(engine && engine->CallFunction(name, p1, result)))
    callProcedure(report, name, p1, p2, p3, result);
  if (report && report->OnUserFunction) report->OnUserFunction(name, p1, p2, p3, result);
}

void frInstallScripting() {
  frInterpreter();
  // Registering a library a second time does nothing.
  frRegisterFunctionLibrary<TfrStdFunctionLibrary>();
  frRegisterFunctionLibrary<TDatabaseFunctionLibrary>();
  // Scripts run with their object as the current view, so bare property names mean its own.
  frScriptRunner() = [](TfrView& view) {
    if (view.script.empty()) return;
    TfrView* saved = frCurView();
    frCurView() = &view;
    frInterpreter().RunSource(view.script);
    frCurView() = saved;  // left on the failing view when the script raises, for the error text
  };
  TfrBuildEngine::setPageScriptRunner([](TfrPage& page) {
    if (!page.script.empty()) frInterpreter().RunSource(page.script);
  });
  frInstallAggregates();
}

}  // namespace kelpo::report
