// The report engine's string table: every text the engine shows is fetched here by number.
#pragma once

#include <QString>
#include <string>

namespace kelpo::report {

// Engine text (GB18030) of string `id`; empty when the table has no such number. The table is
// read from the embedded resource on first use and kept for the rest of the program.
std::string frLoadStr(int id);
// The same text for a window: captions, labels and buttons.
QString frLoadText(int id);

// The program-wide lookup the engine's windows and messages go through.
class TfrLocale {
 public:
  std::string LoadStr(int id) const { return frLoadStr(id); }
};

// The one instance.
TfrLocale& frLocale();

}  // namespace kelpo::report
