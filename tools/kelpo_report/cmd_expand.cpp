// kelpo-report expand: expands the bracketed pieces of a memo text and prints its lines.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "report/expr/memo_expand.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/report_data.h"

namespace kelpo::tools {
namespace {

// "CODE" or "CODE:TEXT"; the code is decimal or 0x hexadecimal.
void parseFormat(const std::string& spec, CommandView& view) {
  const std::size_t colon = spec.find(':');
  const std::string code = spec.substr(0, colon);
  char* end = nullptr;
  const unsigned long value = std::strtoul(code.c_str(), &end, 0);
  if (code.empty() || *end != '\0' || value > 0xFFFFFFFFul)
    throw Error("--format wants CODE[:TEXT] with a decimal or 0x code, got \"" + spec + "\"");
  view.code = static_cast<std::uint32_t>(value);
  view.text = colon == std::string::npos ? std::string() : utf8ToEngine(spec.substr(colon + 1));
}

int runExpand(const std::vector<std::string>& args) {
  ReportData data;
  CommandView view;
  std::string text;
  bool haveText = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (data.consume(args, i)) continue;
    if (arg == "--format" && i + 1 < args.size()) {
      parseFormat(args[++i], view);
    } else if (arg.rfind("--format=", 0) == 0) {
      parseFormat(arg.substr(9), view);
    } else if (arg == "--hide-zeros") {
      view.hideZeros = true;
    } else if (!haveText) {
      text = utf8ToEngine(arg);
      haveText = true;
    } else {
      throw Error("unexpected argument \"" + arg + "\"");
    }
  }
  if (!haveText) throw Error("expand wants a memo text");
  data.start(&view);

  // The memo's design text: one line per line of the argument.
  std::vector<std::string> lines;
  report::AppendAsText(lines, text);
  for (const std::string& line : report::ExpandMemo(lines, &view))
    std::printf("%s\n", engineToUtf8(line).c_str());
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("expand",
                     "[--db FILE] [--query NAME=STATEMENT]... [--format CODE[:TEXT]] "
                     "[--hide-zeros] TEXT  expand the [...] pieces of a memo text",
                     runExpand);

}  // namespace kelpo::tools
