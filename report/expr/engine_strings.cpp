// Reads the embedded string table once: lines "number=text" in UTF-8, kept as engine text.
#include "report/expr/engine_strings.h"

#include <QFile>
#include <unordered_map>

#include "platform/text.h"

// Resources of a static library are only linked in when something names their initialiser,
// and Q_INIT_RESOURCE has to be used outside any namespace.
static void initEngineStringsResource() { Q_INIT_RESOURCE(engine_strings); }

namespace kelpo::report {
namespace {

std::unordered_map<int, std::string> loadTable() {
  initEngineStringsResource();
  std::unordered_map<int, std::string> table;
  QFile file(QStringLiteral(":/kelpo/strings/engine_strings.txt"));
  if (!file.open(QIODevice::ReadOnly)) return table;
  const QByteArray all = file.readAll();
  for (QByteArray line : all.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0) continue;
    bool ok = false;
    const int id = line.left(eq).trimmed().toInt(&ok);
    if (!ok) continue;
    const QByteArray text = line.mid(eq + 1);
    table[id] = utf8ToEngine(std::string_view(text.constData(), text.size()));
  }
  return table;
}

}  // namespace

std::string frLoadStr(int id) {
  static const std::unordered_map<int, std::string> table = loadTable();
  const auto it = table.find(id);
  return it == table.end() ? std::string() : it->second;
}

QString frLoadText(int id) { return toQString(frLoadStr(id)); }

TfrLocale& frLocale() {
  static TfrLocale locale;
  return locale;
}

}  // namespace kelpo::report
