// The run-time band: one per band view while a report is prepared (plus an empty band per type
// and page). Views on it are placed, aligned and output against its box; it carries its data
// source, the links between headers, data bands, footers and groups, the record positions behind
// LINE# and the aggregate store its footers read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "report/core/view.h"
#include "report/expr/engine_state.h"
#include "report/expr/variables.h"

class QObject;

namespace kelpo::report {

class TfrPage;
class TfrPageRun;
class TfrBuildEngine;
class TfrDataset;

// Band type numbers as templates store them.
enum : int {
  btReportTitle = 0,
  btReportSummary = 1,
  btPageHeader = 2,
  btPageFooter = 3,
  btMasterHeader = 4,
  btMasterData = 5,
  btMasterFooter = 6,
  btDetailHeader = 7,
  btDetailData = 8,
  btDetailFooter = 9,
  btSubDetailHeader = 10,
  btSubDetailData = 11,
  btSubDetailFooter = 12,
  btOverlay = 13,
  btColumnHeader = 14,
  btColumnFooter = 15,
  btGroupHeader = 16,
  btGroupFooter = 17,
  btCrossHeader = 18,
  btCrossData = 19,
  btCrossFooter = 20,
  btChild = 21,
  btNone = 22
};

inline bool isDataBand(int type) {
  return type == btMasterData || type == btDetailData || type == btSubDetailData;
}

class TfrBand {
 public:
  TfrBand();
  TfrBand(TfrPageRun* run, int type);
  virtual ~TfrBand();
  TfrBand(const TfrBand&) = delete;
  TfrBand& operator=(const TfrBand&) = delete;

  TfrPage* page = nullptr;      // the template page being prepared
  TfrPageRun* run = nullptr;    // its run-time state
  TfrBandView* view = nullptr;  // none for a page's empty band of a type
  int type = 22;
  std::string name;
  TfrStrings text, script;
  // Box on the page in layout units: vertical bands use x and width, horizontal ones y and height.
  std::int32_t x = 0, y = 0, dx = 0, dy = 0;
  std::uint16_t flags = 0;
  bool stretched = false, newPageAfter = false, printIfSubsetEmpty = false, maySplit = false,
       printChildIfInvisible = false, visible = true;

  // Cross-tab bands run down the page and are placed side by side.
  bool vertical() const { return type >= 18 && type <= 20; }

  TfrBand* next = nullptr;  // bands of the same type on the page, by y
  TfrBand* prev = nullptr;
  TfrBand* last = nullptr;  // kept on the first band of a chain
  TfrBand* header = nullptr;
  TfrBand* footer = nullptr;
  TfrBand* dataBand = nullptr;
  TfrBand* firstGroup = nullptr;
  TfrBand* lastGroup = nullptr;
  TfrBand* nextGroup = nullptr;
  TfrBand* prevGroup = nullptr;
  TfrBand* child = nullptr;
  TfrBand* aggregateBand = nullptr;

  // Objects that print with this band, in page order (cross cells included: their parent is
  // the vertical band).
  std::vector<TfrView*> objects;

  TfrDataset* dataset = nullptr;
  std::unique_ptr<TfrDataset> ownedDataset;
  TfrDataset* vDataset = nullptr;
  std::unique_ptr<TfrDataset> ownedVDataset;
  std::string dataSource;  // the data source text as the view gives it

  std::string groupCondition;
  Value lastGroupValue;

  // Aggregate accumulators keyed by aggregate key, and the records accumulated since a reset.
  TfrVariables values;
  int valuesCount = 0;
  // Per AVG key: the records actually summed (invisible records may be left out).
  TfrVariables summedCounts;

  int positions[2] = {0, 0};  // local (LINE#) and global (LINETHROUGH#)
  std::int32_t calculatedHeight = 0, drawnHeight = 0;
  int curColumn = 1;
  std::int32_t savedXAdjust = 0;
  int forceNewPage = 0, forceNewColumn = 0;
  // A script assigned CURY while new-page or new-column requests were pending: y returns to
  // that value once the requests are carried out.
  bool curYAssigned = false;
  std::int32_t assignedCurY = 0;
  bool disableInit = false, reprint = false;
  int subReportIndex = 0;
  std::vector<bool> subReportFinished;
  std::int32_t maxY = 0;
  int maxColumns = 0;

  // A band exists when it has a view or objects.
  bool exists() const { return view != nullptr || !objects.empty(); }
  // Sets the data source text and opens what it names (a record count or a report dataset).
  void setDataSource(const std::string& source, QObject* owner);
  void setVDataSource(const std::string& source, QObject* owner);
  void freeDatasets();

  // Operations of band output.
  // Prints the band; true when a new page was started for it.
  bool Print();
  std::int32_t CalcHeight();
  void Draw();
  void DrawObjects();
  void DrawSplit();
  // Sub-report views from objects[first] on: their pages recorded, then played side by side.
  void DrawSubReports(std::size_t first);
  // Cross-tab columns: the cross bands' cells of this band, column after column.
  void DrawCross();
  // Aggregates: reset the values this band shows; add a printed record (data bands), or one
  // cross-tab column of it (crossColumn > 0: the keys of that column only).
  void InitValues();
  void DoAggregate(int crossColumn = 0);

 private:
  // Starts a new column (or page) when the band does not fit below the current y.
  bool checkFit(std::int32_t h);
  // Writes one object at the band's position; draw mode 2 writes the part that fits.
  void outputObject(TfrView* view, int drawMode);
  std::int32_t stretchedHeight();
  // A split band of a sub-report continues at the top of a new page of the page showing it.
  void continueOnNewPage();
  // The tallest cross-tab cell over every column of the cross dataset.
  std::int32_t crossCellsHeight();
  // The dataset the cross columns walk (a record count for a footer whose columns ran out).
  TfrDataset* crossDataset(std::unique_ptr<TfrDataset>& counted);
  // Writes the cells of `vertical` lying on this band at column position `columnX`.
  void drawCells(TfrBand* vertical, std::int32_t columnX);
};

}  // namespace kelpo::report
