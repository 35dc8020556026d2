// A template page with its paper, margins, dialog settings and owned objects, and the report's
// ordered list of pages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/core/printer_model.h"
#include "report/core/view.h"
#include "report/expr/names.h"

namespace kelpo::report {

class TfrReport;

class TfrPage : public TfrObject {
 public:
  std::int32_t pgSize = 9;
  std::int32_t pgWidth = 2100, pgHeight = 2970;
  std::int32_t marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
  std::uint8_t orientation = 0;
  std::int32_t pgBin = 0xFFFF;
  bool printToPrevPage = false;
  bool useMargins = true;
  TfrPrnInfo prnInfo;
  std::int32_t columns = 0, colWidth = 0, colGap = 0;
  std::uint8_t pageType = 0;
  std::vector<std::unique_ptr<TfrView>> objects;
  std::string name;
  std::uint8_t borderStyle = 3;
  std::string caption = "Form";
  std::uint32_t color = 0xFF00000F;
  std::int32_t left = 220, top = 120, width = 380, height = 300;
  std::uint8_t position = 4;
  TfrStrings script;
  bool visible = true;
  std::int32_t pageNumber = 0;

  void SetProperty(const std::string& name, const Value& value) override;
  Value GetProperty(const std::string& name) override;
  void RegisterProperties() override;

  // First object of that name, compared without regard to case; null when none.
  TfrView* findObject(std::string_view objName) const;
  // Keeps the paper, applies it to the printer model and takes back the metrics in force; when
  // the printer refuses it the page keeps its size as a user-defined paper with the default bin.
  void changePaper(std::int32_t size, std::int32_t w, std::int32_t h, std::int32_t bin,
                   std::uint8_t orient);

  // Margins in layout units as the engine uses them.
  std::int32_t topMargin() const;
  std::int32_t leftMargin() const;
  std::int32_t rightEdge() const;
  std::int32_t bottomEdge() const;

  void loadFromStream(TfrReader& r, int version);
  void saveToStream(TfrWriter& w) const;
};

// The page being prepared or drawn.
TfrPage*& frCurPage();

class TfrPages {
 public:
  explicit TfrPages(TfrReport* report) : report_(report) {}
  int count() const { return static_cast<int>(pages_.size()); }
  TfrPage* operator[](int i) const { return pages_.at(static_cast<std::size_t>(i)).get(); }
  // Appends a page with a generated name and the printer's current paper.
  TfrPage* add();
  void remove(int i);
  void clear() { pages_.clear(); }
  TfrReport* report() const { return report_; }

 private:
  TfrReport* report_;
  std::vector<std::unique_ptr<TfrPage>> pages_;
};

}  // namespace kelpo::report
