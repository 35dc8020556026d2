// The report component as far as templates go: pages, data dictionary block, report
// information, loading and saving the template stream and its form-resource wrapping.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/core/page.h"
#include "report/core/prepared_pages.h"
#include "report/expr/dictionary.h"
#include "report/expr/engine_state.h"

namespace kelpo::report {

struct TfrReportInfo {
  std::string comment, name, author;
  std::string vMajor, vMinor, vRelease, vBuild;
  std::string password;  // the password bytes (stored as hexadecimal digits)
  std::uint8_t generatorVersion = 88;
  bool passwordProtected = false;
  double created = 0;
  double lastChange = 0;
  bool operator==(const TfrReportInfo&) const = default;
};

// Current local date-time as days since 30 December 1899.
double nowDateTime();

class TfrReport;
class TfrBand;
class TfrDataset;
class TfrBuildEngine;
class TfrExportFilter;

enum class TfrReportType { rtSimple = 0, rtMultiple = 1 };

// The preview's toolbar buttons a report asks for (`PreviewButtons`, a set of these bits).
enum TfrPreviewButton : int {
  pbZoom = 1,
  pbLoad = 2,
  pbSave = 4,
  pbPrint = 8,
  pbFind = 16,
  pbHelp = 32,
  pbExit = 64,
  pbPageSetup = 128,
};
// The zoom a report's preview opens with; pzDefault keeps the zoom last chosen.
enum class TfrPreviewInitialZoom { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };

// The report and view the engine is working on; builds set them, and object-property names in
// expressions resolve against them.
TfrReport*& frCurReport();
// The outermost report of a build (the current one unless reports are nested).
TfrReport*& frMasterReport();
TfrView*& frCurView();
// `Memo1.Visible`, `PAGE2.Width`, or a bare property of the current view: true and the value
// when the name is a property in the object's table.
bool lookupObjectProperty(const std::string& name, Value& value);
// Sets such a property; false when the object or the property does not exist.
bool assignObjectProperty(const std::string& name, const Value& value);

class TfrReport : public QObject {
  Q_OBJECT
 public:
  explicit TfrReport(QObject* parent = nullptr);
  ~TfrReport() override;

  TfrPages pages{this};
  TfrEMFPages emfPages{this};
  TfrDataDictionary dictionary;
  TfrReportInfo info;
  bool printToDefault = false;
  bool doublePass = false;
  bool storeInDFM = false;
  std::string printerName;
  std::string fileName;  // the localised "Untitled" until a file is named

  // Published properties used by preparation.
  TfrDataset* Dataset = nullptr;
  bool PrintIfEmpty = true;
  TfrReportType ReportType = TfrReportType::rtSimple;
  bool ShowProgress = true;
  bool UseDefaultDataSetName = false;
  std::string Title;
  // Published properties the preview window reads.
  bool GrayedButtons = false;
  TfrPreviewInitialZoom InitialZoom = TfrPreviewInitialZoom::pzDefault;
  bool ModalPreview = true;
  int PreviewButtons = pbZoom | pbLoad | pbSave | pbPrint | pbFind | pbHelp | pbExit;
  // The print dialog's presets, and whether the preview's print button asks with it at all.
  int DefaultCopies = 1;
  bool DefaultCollate = true;
  bool ShowPrintDialog = true;

  // Events.
  std::function<void()> OnBeginDoc, OnEndDoc;
  std::function<void(int pageNo)> OnEndPage;
  std::function<void(TfrBand*band)> OnBeginBand, OnEndBand;
  std::function<void(const std::string& name, Value& value)> OnGetValue;
  std::function<void(const std::string& name, const Value& p1, const Value& p2, const Value& p3,
                     Value& result)>
      OnUserFunction;
  std::function<void(int n)> OnProgress;
  std::function<void(TfrBand* band)> OnBeginColumn;
  std::function<void(int column, std::int32_t& width)> OnPrintColumn;
  std::function<void(TfrPage* page)> OnManualBuild;
  std::function<void()> OnPrintReport;

  bool terminated = false;
  bool finalPass = false;
  bool canRebuild = false;
  // The build engine of the preparation running now (between the passes of a two-pass build
  // it keeps the run-time bands).
  std::unique_ptr<TfrBuildEngine> engine;

  // Builds the prepared pages; false when a dialog page was cancelled or the progress window
  // was cancelled. A failed build shows its error text and leaves no prepared pages.
  bool PrepareReport();
  // Prepare, then show whatever was prepared.
  void ShowReport();
  // Hands the prepared pages to the preview (a hook until the preview window exists).
  void ShowPreparedReport();
  using PreviewHook = std::function<void(TfrReport& report)>;
  static void setPreviewHook(PreviewHook hook);
  // Prints the prepared pages: page numbers text (empty: all), copies, collation, and 0 all,
  // 1 odd, 2 even pages. The print run of the printing layer installs itself as the hook.
  struct TfrPrintJob {
    std::string pageNumbers;
    int copies = 1;
    bool collate = true;
    int oddEven = 0;
  };
  TfrPrintJob printJob;
  void PrintPreparedReport(const std::string& pageNumbers, int copies, bool collate, int oddEven);
  using PrintHook = std::function<void(TfrReport& report)>;
  static void setPrintHook(PrintHook hook);
  // Hands every prepared page to an export filter writing `fileName`.
  void ExportTo(TfrExportFilter& filter, const std::string& fileName);
  TfrExportFilter* currentFilter = nullptr;
  // Runs a long operation inside the progress window: shows it with `caption`, calls `work` once
  // it is up and returns false when the user cancelled. Without a runner the work runs alone.
  using ProgressRunner = std::function<bool(TfrReport& report, const std::string& caption,
                                            const std::function<void()>& work)>;
  static void setProgressRunner(ProgressRunner runner);
  // Shows the progress text (engine text) in the progress window's first line.
  using ProgressText = std::function<void(const std::string& text)>;
  static void setProgressText(ProgressText show);
  // Shows a script's PROGRESS value (engine text) in the progress window's second line.
  static void setProgressDetail(ProgressText show);
  static void ShowProgressDetail(const std::string& text);
  // The text page numbers are appended to in the progress window.
  std::string progressPrefix;
  void SavePreparedReport(const std::string& fileName);
  void LoadPreparedReport(const std::string& fileName);
  // Progress of a long operation (page number).
  void InternalOnProgress(int n);
  // The parser's callbacks while this report is prepared.
  void GetVariableValue(const std::string& name, Value& value);
  void CallFunction(const std::string& name, const Value& p1, const Value& p2, const Value& p3,
                    Value& result);
  void InstallParserCallbacks();
  // What name resolution reads of this report, refreshed before every build.
  TfrReportContext& context();

  // Loads a template stream. `fromFile` streams ask for the password of a protected report.
  void loadFromStream(std::string_view data, bool fromFile = false);
  std::string saveToStream() { return saveToStream(nowDateTime()); }
  // Saves with a given last-change time (stored resources keep their recorded date).
  std::string saveToStream(double lastChange);
  void clear();
  void setPrinter(const std::string& name);

  // The `ReportForm` binary property: int32 25 and, with StoreInDFM, int32 length and stream.
  std::string writeReportForm();
  // Reads the property and loads the template it holds.
  void readReportForm(std::string_view data);

  // Object lookup over all pages in page order.
  TfrView* findObject(std::string_view name) const;
  // Base name + smallest free n (up to 10000), or empty when none is free.
  std::string generateName(const std::string& baseName) const;

  // Events. OnBeforePrint may change the expanded text of the view being output;
  // OnObjectClick sets `handled`; OnMouseOverObject may change the cursor shape.
  std::function<void(int pageNo)> OnBeginPage;
  std::function<void(TfrStrings& text, TfrView& view)> OnBeforePrint;
  std::function<void(TfrView& view, bool& handled)> OnObjectClick;
  std::function<void(TfrView& view, int& cursor)> OnMouseOverObject;

  // Asks for the password of a protected report read from a file: the entered text, or nothing
  // when the question was cancelled (or nobody can be asked), which refuses the template.
  using PasswordPrompt = std::function<std::optional<std::string>()>;
  static void setPasswordPrompt(PasswordPrompt prompt);

 private:
  class LoadNames;
  void loadPages(TfrReader& r, int version, std::vector<std::string>& missing);
  void loadObject(TfrReader& r, int version, std::vector<std::string>& missing, LoadNames& names);
  void resetInfo();
  void doPrepare();
  void runBuild();

  TfrReportContext context_;
  bool savedDoublePass_ = false;
};

}  // namespace kelpo::report
