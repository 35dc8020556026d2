// Templates built with the object model for build engine tests, and the prepared pages read
// back as (name, x, y, height, text) rows.
#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "report/core/build_engine.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"

namespace kelpo::report::testing {

struct Printed {
  std::string name;
  std::int32_t x, y, dy;
  std::string text;  // expanded lines joined with "|", without paragraph marks
};

class BuildFixture {
 public:
  BuildFixture();
  ~BuildFixture();

  TfrBandView* band(int type, std::int32_t y, std::int32_t height, const std::string& source = {},
                    std::uint16_t flags = 0);
  TfrMemoView* memo(const std::string& text, std::int32_t x, std::int32_t y, std::int32_t w = 100,
                    std::int32_t h = 18, std::uint16_t flags = 0);
  // A report dataset of `count` records owned by the form.
  TfrUserDataset* dataset(const char* name, int count);

  // Prepares without message boxes; the box text, when one was shown, goes to `shownError`.
  bool prepare();
  std::vector<Printed> page(int i);
  int pageCount() { return report->emfPages.count(); }
  // Texts of page i's objects in output order, joined with spaces.
  std::string texts(int i);

  QObject form;
  TfrReport* report;
  TfrPage* tpage;
  std::string shownError;
};

}  // namespace kelpo::report::testing
