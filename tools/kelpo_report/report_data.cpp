#include "tools/kelpo_report/report_data.h"

#include <QDateTime>

#include "platform/error.h"
#include "platform/text.h"
#include "report/core/report_interpreter.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace kelpo::tools {

namespace {

// The value of an option given as "--name VALUE" or "--name=VALUE", or nullptr.
const std::string* optionValue(const std::vector<std::string>& args, std::size_t& i,
                               const std::string& option, std::string& joined) {
  const std::string& arg = args[i];
  if (arg == option) {
    if (i + 1 >= args.size()) throw Error(option + " wants a value");
    return &args[++i];
  }
  if (arg.rfind(option + "=", 0) == 0) {
    joined = arg.substr(option.size() + 1);
    return &joined;
  }
  return nullptr;
}

}  // namespace

ReportData::ReportData() {
  form_.setObjectName(QStringLiteral("FrmMain"));
  dictionary_.SetOwner(&form_);
  report.owner = &form_;
  report.dictionary = &dictionary_;
}

ReportData::~ReportData() {
  if (report::frEngine().report == &report) report::frEngine() = report::TfrEngineState{};
}

bool ReportData::consume(const std::vector<std::string>& args, std::size_t& i) {
  std::string joined;
  if (const std::string* file = optionValue(args, i, "--db", joined)) {
    database_ = *file;
    return true;
  }
  if (const std::string* q = optionValue(args, i, "--query", joined)) {
    const std::size_t eq = q->find('=');
    if (eq == std::string::npos || eq == 0)
      throw Error("--query wants NAME=STATEMENT, got \"" + *q + "\"");
    queries_.push_back({q->substr(0, eq), q->substr(eq + 1)});
    return true;
  }
  return false;
}

void ReportData::start(report::TfrCurrentView* view) {
  if (!queries_.empty() && database_.empty()) throw Error("--query needs --db FILE");
  Connection* connection = nullptr;
  if (!database_.empty()) {
    connection = new Connection(&form_);
    connection->setObjectName(QStringLiteral("ADOConnection1"));
    connection->setConnectionString(QStringLiteral("Data Source=") +
                                    QString::fromStdString(database_));
    connection->open();
  }
  for (const QueryOption& option : queries_) {
    auto* query = new Query(&form_);
    query->setObjectName(QString::fromStdString(option.name));
    query->setConnection(connection);
    query->setSql(QString::fromStdString(option.statement));
    query->open();
  }

  report::TfrEngineState& state = report::frEngine();
  state = report::TfrEngineState{};
  state.report = &report;
  state.view = view;
  const QDateTime now = QDateTime::currentDateTime();
  state.startDate = static_cast<double>(QDate(1899, 12, 30).daysTo(now.date()));
  state.startTime = now.time().msecsSinceStartOfDay() / 86400000.0;
  dictionary_.ClearCache();

  report::TfrParser& parser = report::frParser();
  parser.setValueCallback(report::ResolveVariable);
  // The report's function dispatch without a report: the function libraries and the
  // procedures that need no build.
  parser.setFunctionCallback([](const std::string& name, const report::Value& p1,
                                const report::Value& p2, const report::Value& p3,
                                report::Value& result) {
    report::DispatchFunction(nullptr, name, p1, p2, p3, result);
  });
}

}  // namespace kelpo::tools
