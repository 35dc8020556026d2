// The report component at run time: preparing in one or two passes around a template snapshot,
// showing and storing prepared reports, progress, and the parser's callbacks into the report.
#include <QCoreApplication>
#include <QFile>
#include <cmath>

#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/build_engine.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "report/core/report_interpreter.h"
#include "report/expr/datasets.h"
#include "report/expr/engine_strings.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace kelpo::report {

namespace {

constexpr int kErrorCaption = 55206;
constexpr int kPreparingCaption = 55203;  // "正在准备报表"
constexpr int kFirstPassPrefix = 55204;   // "进行第一次处理:"
constexpr int kPreparingPrefix = 55205;   // "正在处理页:"

TfrReport::PreviewHook& previewHook() {
  static TfrReport::PreviewHook hook;
  return hook;
}

TfrReport::PrintHook& printHook() {
  static TfrReport::PrintHook hook;
  return hook;
}

TfrReport::ProgressRunner& progressRunner() {
  static TfrReport::ProgressRunner runner;
  return runner;
}

TfrReport::ProgressText& progressText() {
  static TfrReport::ProgressText show;
  return show;
}

TfrReport::ProgressText& progressDetail() {
  static TfrReport::ProgressText show;
  return show;
}

}  // namespace

void TfrReport::setProgressRunner(ProgressRunner runner) { progressRunner() = std::move(runner); }
void TfrReport::setProgressText(ProgressText show) { progressText() = std::move(show); }
void TfrReport::setProgressDetail(ProgressText show) { progressDetail() = std::move(show); }
void TfrReport::ShowProgressDetail(const std::string& text) {
  if (progressDetail()) progressDetail()(text);
}

void TfrReport::setPreviewHook(PreviewHook hook) { previewHook() = std::move(hook); }

TfrReportContext& TfrReport::context() {
  context_.owner = parent();
  context_.dataset = Dataset;
  context_.dictionary = &dictionary;
  context_.OnGetValue = [this](const std::string& name, Value& value) {
    if (OnGetValue) OnGetValue(name, value);
  };
  context_.info = {info.comment,  info.name,   info.author,  info.vMajor,    info.vMinor,
                   info.vRelease, info.vBuild, info.created, info.lastChange};
  return context_;
}

void TfrReport::GetVariableValue(const std::string& name, Value& value) {
  ResolveVariable(name, value);
}

void TfrReport::CallFunction(const std::string& name, const Value& p1, const Value& p2,
                             const Value& p3, Value& result) {
  DispatchFunction(this, name, p1, p2, p3, result);
}

void TfrReport::InstallParserCallbacks() {
  dictionary.SetOwner(parent());
  frEngine().report = &context();
  frParser().setValueCallback(
      [this](const std::string& name, Value& value) { GetVariableValue(name, value); });
  frParser().setFunctionCallback([this](const std::string& name, const Value& p1, const Value& p2,
                                        const Value& p3,
                                        Value& result) { CallFunction(name, p1, p2, p3, result); });
}

void TfrReport::InternalOnProgress(int n) {
  if (OnProgress) {
    OnProgress(n);
    return;
  }
  if (!ShowProgress) return;
  if (progressText()) {
    std::string text = progressPrefix + " " + std::to_string(n);
    // The final pass of a two-pass report also says how many pages there are.
    if (savedDoublePass_ && finalPass && frEngine().totalPages > 0)
      text += " " + utf8ToEngine("从") + " " + std::to_string(frEngine().totalPages);
    progressText()(text);
  }
  // Pending input is served after every page, so the progress window's cancel button works.
  QCoreApplication::processEvents();
}

void TfrReport::runBuild() {
  engine->BuildAll();
  if (finalPass) return;
  // The end of a first pass: its page count is what TOTALPAGES shows in the final pass.
  frEngine().totalPages = emfPages.count();
  doublePass = false;
  if (terminated) {
    emfPages.clear();
    return;
  }
  progressPrefix = frLoadStr(kPreparingPrefix);
  doPrepare();
  doublePass = true;
}

void TfrReport::doPrepare() {
  terminated = false;
  engine->append = false;
  engine->firstPass = false;
  finalPass = true;
  frEngine().pageNo = 0;
  emfPages.clear();
  const bool progressWindow = !OnProgress && ShowProgress;
  if (doublePass) {
    finalPass = false;
    runBuild();
    return;
  }
  if (!progressWindow) {
    doublePass = savedDoublePass_;
    runBuild();
    return;
  }
  if (savedDoublePass_) {
    doublePass = true;
    runBuild();
    return;
  }
  frEngine().totalPages = 0;
  runBuild();
}

bool TfrReport::PrepareReport() {
  setPrinter(printerName);
  const double now = nowDateTime();
  frEngine().startDate = std::floor(now);
  frEngine().startTime = now - std::floor(now);
  frCurView() = nullptr;
  frCurReport() = this;
  savedDoublePass_ = doublePass;
  InstallParserCallbacks();

  // Scripts may change the template while it is built; the snapshot puts it back.
  const std::string snapshot = saveToStream(info.lastChange);
  const TfrReportInfo savedInfo = info;

  engine = std::make_unique<TfrBuildEngine>(this);
  if (OnBeginDoc) OnBeginDoc();
  bool userCancelled = false;
  if (ShowProgress && !OnProgress && progressRunner()) {
    std::string caption = frLoadStr(kPreparingCaption);
    if (!Title.empty()) caption += " - " + Title;
    progressPrefix = frLoadStr(doublePass ? kFirstPassPrefix : kPreparingPrefix);
    userCancelled = !progressRunner()(*this, caption, [this] { doPrepare(); });
  } else {
    doPrepare();
  }
  if (OnEndDoc) OnEndDoc();
  const bool error = engine->error();
  const std::string errorText = engine->errorText();
  const bool cancelled = engine->dialogCancelled || userCancelled;
  engine->FinishAll();
  engine.reset();

  const bool storedForm = storeInDFM;
  loadFromStream(snapshot, false);
  storeInDFM = storedForm;
  info = savedInfo;
  doublePass = savedDoublePass_;

  finalPass = false;
  if (error) {
    messageBox(toQString(errorText), frLoadText(kErrorCaption), MessageIcon::Critical);
    emfPages.clear();
  }
  if (cancelled) emfPages.clear();
  frCurView() = nullptr;
  return !cancelled;
}

void TfrReport::ShowReport() {
  PrepareReport();
  ShowPreparedReport();
}

void TfrReport::ShowPreparedReport() {
  frCurReport() = this;
  frCurView() = nullptr;
  if (emfPages.count() == 0) return;
  if (previewHook()) previewHook()(*this);
}

void TfrReport::setPrintHook(PrintHook hook) { printHook() = std::move(hook); }

void TfrReport::PrintPreparedReport(const std::string& pageNumbers, int copies, bool collate,
                                    int oddEven) {
  frCurReport() = this;
  frMasterReport() = this;
  terminated = false;
  printJob = {pageNumbers, copies, collate, oddEven};
  // The mouse-over event belongs to the preview; it stays quiet while pages go to the printer.
  auto mouseOver = std::move(OnMouseOverObject);
  OnMouseOverObject = nullptr;
  try {
    if (printHook()) printHook()(*this);
  } catch (...) {
    OnMouseOverObject = std::move(mouseOver);
    throw;
  }
  OnMouseOverObject = std::move(mouseOver);
}

void TfrReport::ExportTo(TfrExportFilter& filter, const std::string& name) {
  currentFilter = &filter;
  filter.fileName = name;
  struct Forget {
    TfrReport* report;
    ~Forget() {
      report->currentFilter = nullptr;
      frCurrentExportFilter() = nullptr;
    }
  } forget{this};
  if (!filter.BeforeExport(name) || !filter.ShowModal()) return;
  QFile file(toQString(name));
  if (!file.open(QIODevice::WriteOnly)) throw Error("cannot create " + name);
  filter.stream = &file;
  frCurReport() = this;
  frMasterReport() = this;
  terminated = false;
  frEngine().totalPages = emfPages.count();
  frCurrentExportFilter() = &filter;
  filter.OnBeginDoc();
  for (int i = 0; i < emfPages.count() && !terminated; ++i) {
    filter.OnBeginPage(i);
    emfPages.exportPage(i);
    InternalOnProgress(i + 1);
    filter.OnEndPage(i);
  }
  filter.OnEndDoc();
  filter.stream = nullptr;
  file.close();
  filter.AfterExport(name);
}

void TfrReport::SavePreparedReport(const std::string& name) {
  QFile file(toQString(name));
  if (!file.open(QIODevice::WriteOnly)) throw Error("cannot create " + name);
  const std::string data = emfPages.saveToStream();
  file.write(data.data(), static_cast<qint64>(data.size()));
}

void TfrReport::LoadPreparedReport(const std::string& name) {
  QFile file(toQString(name));
  if (!file.open(QIODevice::ReadOnly)) throw Error("cannot open " + name);
  const QByteArray data = file.readAll();
  resetInfo();
  emfPages.loadFromStream(
      std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
  canRebuild = false;
}

}  // namespace kelpo::report
