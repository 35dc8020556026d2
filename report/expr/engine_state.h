// The run-time state of a report build that expressions read: the report, page, band and view
// being processed and the counters behind the system variables. The build engine fills it;
// name resolution, default datasets and memo expansion only read it.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "report/expr/value.h"

namespace kelpo::report {

class TfrDataset;
class TfrDataDictionary;

// Band types as stored in templates (0..22).
enum class TfrBandType : int {
  btReportTitle = 0,
  btReportSummary,
  btPageHeader,
  btPageFooter,
  btMasterHeader,
  btMasterData,
  btMasterFooter,
  btDetailHeader,
  btDetailData,
  btDetailFooter,
  btSubDetailHeader,
  btSubDetailData,
  btSubDetailFooter,
  btOverlay,
  btColumnHeader,
  btColumnFooter,
  btGroupHeader,
  btGroupFooter,
  btCrossHeader,
  btCrossData,
  btCrossFooter,
  btChild,
  btNone
};

// The report's descriptive texts behind REPORTNAME, VMAJOR, REPORTDATE and the like.
struct TfrReportTexts {
  std::string comment, name, author;
  std::string vMajor, vMinor, vRelease, vBuild;
  double created = 0;     // date-time
  double lastChange = 0;  // date-time
};

// What name resolution needs of one report; the report component owns one and keeps it filled.
struct TfrReportContext {
  QObject* owner = nullptr;                 // the form that owns the report
  TfrDataset* dataset = nullptr;            // the report's Dataset property
  TfrDataDictionary* dictionary = nullptr;  // the report's data dictionary
  // The application's first say on every name; leaving the value Empty declines.
  std::function<void(const std::string& name, Value& value)> OnGetValue;
  TfrReportTexts info;
};

// The current view as expressions see it. The object model implements it; until a view is
// current the engine state holds none.
class TfrCurrentView {
 public:
  virtual ~TfrCurrentView() = default;
  // CALCWIDTH: the width a memo's text needs, or the view's width for other views.
  virtual int CalcWidth() = 0;
  // The view's display format, used when a bracketed piece brings no format of its own.
  virtual std::uint32_t FormatCode() const = 0;
  virtual std::string FormatText() const = 0;
  // The blank-zero option (HideZeros).
  virtual bool HideZeros() const = 0;
};

// Object properties (`Memo1.Visible`, `PAGE2.Width`, a bare property of the current view).
// Returns true and sets `value` when the name is such a property. The object model installs it.
using TfrObjectPropertyLookup = std::function<bool(const std::string& name, Value& value)>;

struct TfrEngineState {
  TfrReportContext* report = nullptr;  // the report being built
  TfrCurrentView* view = nullptr;      // the view being processed, if any

  // The band being printed (none outside band output) and the kind of the current page.
  std::optional<TfrBandType> bandType;
  bool dialogPage = false;
  // Report datasets of the current page's data bands; nullopt when the page has no such band
  // (a present band may still have no dataset: nullptr).
  std::optional<TfrDataset*> masterData, detailData, subDetailData, crossData;

  // Counters kept by the build engine.
  int pageNo = 0;  // 0-based; PAGE# is pageNo + 1
  int lineNo = 0, lineThrough = 0, column = 0, current = 0, totalPages = 0;
  double startDate = 0, startTime = 0;
  int curY = 0, pageBottom = 0, pageRight = 0;
  bool finalPass = true;
  bool aggregateCollection = false;  // the aggregate-collection pass is running

  Value value;                  // VALUE: the last value produced for a bracketed piece
  std::string currentVariable;  // the piece being substituted, without its format
  std::string nameUnderEvaluation;

  TfrObjectPropertyLookup objectProperty;

  // The engine's error switch and pending error text, for failures reported after the fact:
  // creating an object of an add-in class nobody registered adds the class name and a CR.
  bool errorFlag = false;
  std::string errorText;
};

// The one engine state of the program.
TfrEngineState& frEngine();

}  // namespace kelpo::report
