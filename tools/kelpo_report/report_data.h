// The data side of kelpo-report's expression commands: a database opened with --db, named
// queries made with --query, and the report context and view that name resolution reads.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/database.h"
#include "report/expr/dictionary.h"
#include "report/expr/engine_state.h"

namespace kelpo::tools {

// The view the expanded text belongs to: its display format and blank-zero option.
class CommandView : public report::TfrCurrentView {
 public:
  int CalcWidth() override { return 0; }  // no layout here
  std::uint32_t FormatCode() const override { return code; }
  std::string FormatText() const override { return text; }
  bool HideZeros() const override { return hideZeros; }

  std::uint32_t code = 0;
  std::string text;  // engine text
  bool hideZeros = false;
};

class ReportData {
 public:
  ReportData();
  ~ReportData();
  ReportData(const ReportData&) = delete;
  ReportData& operator=(const ReportData&) = delete;

  // Takes --db FILE and --query NAME=STATEMENT at args[i] (advancing i past the value);
  // returns false for any other argument.
  bool consume(const std::vector<std::string>& args, std::size_t& i);

  // Opens the database and the queries (each on its first row) and points the engine state
  // and the parser at this report. Queries without --db are an error.
  void start(report::TfrCurrentView* view);

  report::TfrReportContext report;
  // The form that owns the connection and the queries (and whatever else a command adds).
  QObject& form() { return form_; }

 private:
  struct QueryOption {
    std::string name, statement;  // UTF-8
  };
  QObject form_;  // owns the connection and the queries, as a window would
  std::string database_;
  std::vector<QueryOption> queries_;
  report::TfrDataDictionary dictionary_;
};

}  // namespace kelpo::tools
