#include "report/expr/memo_expand.h"

#include "platform/text.h"
#include "report/expr/formatting.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

// Whether `inner`, as returned by the bracket reader, is a closed piece: brackets balanced and
// no quote left open (the reader's rules). Needed only when the reader stopped on the last
// character, where a closed and an unclosed piece look alike. Steps by character: a trail byte
// may equal '[' or ']'.
bool balanced(std::string_view inner) {
  int depth = 0;
  bool inDouble = false;
  bool inSingle = false;
  for (std::size_t i = 0; i < inner.size(); i += engineCharSize(inner, i)) {
    const char c = inner[i];
    if (c == '"' && !inSingle) {
      inDouble = !inDouble;
    } else if (c == '\'' && !inDouble) {
      inSingle = !inSingle;
    } else if (!inDouble && !inSingle) {
      if (c == '[') ++depth;
      if (c == ']' && --depth < 0) return false;
    }
  }
  return depth == 0 && !inDouble && !inSingle;
}

}  // namespace

std::string ExpandLine(std::string_view line, const TfrCurrentView* view) {
  std::string text(line);
  std::size_t from = 0;
  for (;;) {
    const std::size_t open = engineFind(text, '[', from);
    if (open == std::string::npos) break;
    std::size_t pos = open;
    const std::string inner = TfrParser::ReadBracketed(text, pos);
    const bool closed =
        pos < text.size() && text[pos] == ']' && (pos + 1 < text.size() || balanced(inner));
    if (!closed) break;
    const std::string value = SubstituteValue(inner, view);
    text.replace(open, pos - open + 1, value);
    from = open + value.size();
  }
  return text;
}

void AppendAsText(std::vector<std::string>& lines, std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.emplace_back(text.substr(start, end - start));
    if (end < text.size()) {
      const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      end += crlf ? 2 : 1;
    }
    start = end;
  }
}

std::vector<std::string> ExpandMemo(const std::vector<std::string>& lines,
                                    const TfrCurrentView* view, bool textOnly) {
  std::vector<std::string> expanded;
  for (const std::string& line : lines) {
    if (line.empty()) {
      expanded.emplace_back();
      continue;
    }
    AppendAsText(expanded, textOnly ? line : ExpandLine(line, view));
  }
  return expanded;
}

}  // namespace kelpo::report
