#include "report/expr/interpreter.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "report/expr/names.h"

namespace kelpo::report {

namespace {

using namespace script_line;

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
// Letters of identifiers; the characters of Chinese names count as letters.
bool isLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0 || static_cast<unsigned char>(c) >= 0x80;
}
bool isIdentChar(char c) { return isLetter(c) || isDigit(c) || c == '_' || c == '.'; }

std::string jumpBytes(std::size_t target) {
  std::string b(2, '\0');
  b[0] = static_cast<char>(target & 0xFF);
  b[1] = static_cast<char>((target >> 8) & 0xFF);
  return b;
}

struct CompileError {
  std::size_t pos;
  std::string message;
};

// One compilation: the work buffer, the position, the comments cut so far and the labels.
class Compiler {
 public:
  Compiler(std::string buffer, TfrStrings& out) : buf_(std::move(buffer)), out_(out) {}

  void compile() {
    if (buf_.empty()) return;
    statement();
    resolveLabels();
  }

  // The position in the text as written of a position in the buffer.
  std::size_t writtenPos(std::size_t pos) const {
    for (const auto& [at, length] : cuts_)
      if (at <= pos) pos += length;
    return pos;
  }

 private:
  struct Token {
    std::string text;  // upper-cased; a single space at the end of the text
    std::size_t start = 0, end = 0;
  };
  struct Goto {
    std::size_t line, pos;
  };

  [[noreturn]] void fail(std::size_t pos, std::string message) {
    throw CompileError{pos, std::move(message)};
  }

  char at(std::size_t p) const { return p < buf_.size() ? buf_[p] : '\0'; }

  // At `p` a comment starts (outside a quoted token): cut it out and say so.
  bool cutComment(std::size_t p) {
    if (at(p) == '{') {
      const std::size_t close = engineFind(buf_, '}', p);
      const std::size_t end = close == std::string::npos ? buf_.size() : close + 1;
      cut(p, end - p);
      return true;
    }
    if (at(p) == '/' && at(p + 1) == '/') {
      const std::size_t cr = buf_.find('\r', p);
      const std::size_t end = cr == std::string::npos ? buf_.size() : cr;
      cut(p, end - p);
      return true;
    }
    return false;
  }
  void cut(std::size_t p, std::size_t length) {
    buf_.erase(p, length);
    cuts_.emplace_back(p, length);
  }

  // Skips blanks and comments from `p`.
  std::size_t skip(std::size_t p) {
    for (;;) {
      while (p < buf_.size() && isBlank(buf_[p])) ++p;
      if (!cutComment(p)) return p;
    }
  }

  Token token(std::size_t p) {
    Token t;
    p = skip(p);
    t.start = p;
    if (p >= buf_.size()) {
      t.text = " ";
      t.end = p;
      return t;
    }
    const bool quoted = buf_[p] == '\'';
    while (p < buf_.size() && !isBlank(buf_[p])) {
      if (!quoted && cutComment(p)) continue;
      p += engineCharSize(buf_, p);
    }
    t.end = p;
    t.text = upperName(std::string_view(buf_).substr(t.start, p - t.start));
    return t;
  }
  Token token() { return token(cur_); }

  std::size_t addLine(std::string line) {
    if (out_.size() >= 65535) fail(cur_, "Script too long");
    out_.push_back(std::move(line));
    return out_.size() - 1;
  }
  void patch(std::size_t line, std::size_t target) { out_[line].replace(1, 2, jumpBytes(target)); }

  // --- expressions (checked for syntax; the text between the positions is stored) ---

  // Skips to the expression, checks it, and returns its text.
  std::string expressionText() {
    cur_ = skip(cur_);
    const std::size_t start = cur_;
    expression();
    return buf_.substr(start, cur_ - start);
  }

  bool wordAhead(std::size_t p, std::string_view word) {
    for (std::size_t i = 0; i < word.size(); ++i)
      if (std::toupper(static_cast<unsigned char>(at(p + i))) != word[i]) return false;
    return true;
  }

  void expression() {
    simpleExpression();
    const std::size_t p = skip(cur_);
    const char c = at(p), n = at(p + 1);
    std::size_t length = 0;
    if ((c == '>' && n == '=') || (c == '<' && (n == '=' || n == '>')))
      length = 2;
    else if (c == '<' || c == '=' || c == '>')
      length = 1;
    if (length == 0) return;
    cur_ = p + length;
    simpleExpression();
  }

  void simpleExpression() {
    term();
    for (;;) {
      const std::size_t p = skip(cur_);
      if (at(p) == '+' || at(p) == '-') {
        cur_ = p + 1;
      } else if (wordAhead(p, "OR")) {
        cur_ = p + 2;
      } else {
        return;
      }
      term();
    }
  }

  void term() {
    factor();
    for (;;) {
      const std::size_t p = skip(cur_);
      if (at(p) == '*' || at(p) == '/') {
        cur_ = p + 1;
      } else if (wordAhead(p, "AND") || wordAhead(p, "MOD")) {
        cur_ = p + 3;
      } else {
        return;
      }
      factor();
    }
  }

  void factor() {
    std::size_t p = skip(cur_);
    const char c = at(p);
    if (c == '(') {
      cur_ = p + 1;
      expression();
      p = skip(cur_);
      if (at(p) != ')') fail(p, "Need \")\" here");
      cur_ = p + 1;
    } else if (c == '[') {
      std::size_t end = p;
      TfrParser::ReadBracketed(buf_, end);
      if (at(end) != ']' || end == p) fail(p, "Need \"]\" here");
      cur_ = end + 1;
    } else if (c == '+' || c == '-') {
      cur_ = p + 1;
      expression();
    } else if (wordAhead(p, "NOT") && !isIdentChar(at(p + 3))) {
      cur_ = p + 3;
      expression();
    } else if (c == '\'') {
      std::size_t end = p;
      TfrParser::ReadStringLiteral(buf_, end);
      cur_ = end;
    } else if (isDigit(c)) {
      while (isDigit(at(p))) ++p;
      if (at(p) == '.') {
        ++p;
        while (isDigit(at(p))) ++p;
      }
      cur_ = p;
    } else if (isLetter(c)) {
      cur_ = p;
      const std::size_t nameEnd = identifierEnd(p);
      if (at(nameEnd) == '(') {
        cur_ = nameEnd;
        functionArguments();
      } else {
        variable();
      }
    }
  }

  std::size_t identifierEnd(std::size_t p) const {
    while (p < buf_.size() && isIdentChar(buf_[p])) p += engineCharSize(buf_, p);
    return p;
  }

  // `cur_` on the '(' of a call.
  void functionArguments() {
    ++cur_;
    std::size_t p = skip(cur_);
    if (at(p) == ')') {
      cur_ = p + 1;
      return;
    }
    for (;;) {
      expression();
      p = skip(cur_);
      if (at(p) == ')') {
        cur_ = p + 1;
        return;
      }
      if (at(p) != ',') fail(p, "Need \",\" or \")\" here");
      cur_ = p + 1;
    }
  }

  // `cur_` on the first letter: the name and an optional [index] directly after it.
  void variable() {
    cur_ = identifierEnd(cur_);
    if (at(cur_) != '[') return;
    ++cur_;
    expression();
    if (at(cur_) != ']') fail(skip(cur_), "Need \"]\" here");
    ++cur_;
  }

  // --- statements ---

  void expect(const Token& t, std::string_view word, const char* message) {
    if (t.text != word) fail(t.start, message);
    cur_ = t.end;
  }

  void statement() {
    Token t = token();
    if (t.text == "BEGIN") {
      cur_ = t.end;
      for (;;) {
        statement();
        t = token();
        if (!t.text.empty() && t.text[0] == ';') {
          cur_ = t.start + 1;
        } else if (t.text == "END" || t.text == "END;") {
          cur_ = t.start + 3;
          return;
        } else {
          fail(t.start, "Need \";\" or \"end\" here");
        }
      }
    }
    if (t.text == "IF") {
      cur_ = t.end;
      const std::size_t condition = addLine(jumpLine(kJumpIfZero, 0) + expressionText());
      expect(token(), "THEN", "Need \"then\" here");
      statement();
      t = token();
      if (t.text == "ELSE") {
        cur_ = t.end;
        const std::size_t jump = addLine(jumpLine(kJump, 0));
        patch(condition, out_.size());
        statement();
        patch(jump, out_.size());
      } else {
        patch(condition, out_.size());
      }
      return;
    }
    if (t.text == "REPEAT") {
      cur_ = t.end;
      const std::size_t first = out_.size();
      for (;;) {
        statement();
        t = token();
        if (!t.text.empty() && t.text[0] == ';') {
          cur_ = t.start + 1;
        } else if (t.text == "UNTIL") {
          cur_ = t.end;
          addLine(jumpLine(kJumpIfZero, first) + expressionText());
          return;
        } else {
          fail(t.start, "Need \";\" or \"until\" here");
        }
      }
    }
    if (t.text == "WHILE") {
      cur_ = t.end;
      const std::size_t condition = addLine(jumpLine(kJumpIfZero, 0) + expressionText());
      expect(token(), "DO", "Need \"do\" here");
      statement();
      addLine(jumpLine(kJump, condition));
      patch(condition, out_.size());
      return;
    }
    if (t.text == "FOR") {
      cur_ = skip(t.end);
      const std::size_t nameStart = cur_;
      if (isLetter(at(cur_))) variable();
      const std::string name = buf_.substr(nameStart, cur_ - nameStart);
      t = token();
      if (t.text.rfind(":=", 0) != 0) fail(t.start, "Need \":=\" here");
      cur_ = t.start + 2;
      addLine(name + ' ' + expressionText());
      expect(token(), "TO", "Need \"to\" here");
      const std::size_t condition =
          addLine(jumpLine(kJumpIfZero, 0) + name + "<=" + expressionText());
      expect(token(), "DO", "Need \"do\" here");
      statement();
      addLine(name + ' ' + name + "+1");
      addLine(jumpLine(kJump, condition));
      patch(condition, out_.size());
      return;
    }
    if (t.text == "GOTO") {
      std::size_t p = skip(t.end);
      const std::size_t start = p;
      while (isDigit(at(p))) ++p;
      const std::string label = buf_.substr(start, p - start);
      gotos_.push_back({addLine(std::string(1, kJump) + label), start});
      if (label.empty()) fail(start, "\"goto\" label must be a number");
      cur_ = p;
      return;
    }
    if (isDigit(at(t.start))) {
      std::size_t p = t.start;
      while (isDigit(at(p))) ++p;
      if (at(p) == ':' && at(p + 1) != '=') {
        const std::string label = buf_.substr(t.start, p - t.start + 1);
        if (label.size() - 1 > TfrInterpretator::kMaxLabelLength)
          fail(t.start, "Label name too long");
        bool known = false;
        for (const auto& l : labels_) known = known || l.first == label;
        if (!known) {
          if (labels_.size() >= TfrInterpretator::kMaxLabels) fail(t.start, "Too many labels");
          labels_.emplace_back(label, out_.size());
        }
        cur_ = p + 1;
        statement();
        return;
      }
    }
    if (t.text == "END" || t.text == "END;" || t.text == "UNTIL") return;
    if (isLetter(at(t.start)) && at(identifierEnd(t.start)) != '(') {
      cur_ = t.start;
      variable();
      const std::string name = buf_.substr(t.start, cur_ - t.start);
      const Token next = token();
      if (next.text.rfind(":=", 0) == 0) {
        cur_ = next.start + 2;
        const std::string value = expressionText();
        const std::size_t open = engineFind(name, '[');
        if (open == std::string::npos) {
          addLine(name + ' ' + value);
        } else {
          const std::string index = name.substr(open + 1, name.size() - open - 2);
          addLine(std::string(1, kCall) + "SETARRAY(" + name.substr(0, open) + ", " + index + ", " +
                  value + ")");
        }
        return;
      }
      if (next.text == ";" || next.text == "END" || next.text == "END;" || next.text == "ELSE" ||
          next.text == "UNTIL" || next.text == " ") {
        addLine(std::string(1, kCall) + name + "(0)");
        return;
      }
      fail(next.start, "Need \":=\" here");
    }
    const std::string text = expressionText();
    if (!text.empty()) addLine(std::string(1, kCall) + text);
  }

  static std::string jumpLine(char kind, std::size_t target) {
    return std::string(1, kind) + jumpBytes(target);
  }

  // Jumps hold their label's digits until the labels are known.
  void resolveLabels() {
    for (const Goto& g : gotos_) {
      const std::string label = out_[g.line].substr(1) + ":";
      bool found = false;
      for (const auto& [name, line] : labels_) {
        if (name != label) continue;
        out_[g.line] = jumpLine(kJump, line);
        found = true;
        break;
      }
      if (!found) fail(g.pos, "Label \"" + label.substr(0, label.size() - 1) + "\" is not defined");
    }
  }

  std::string buf_;
  std::size_t cur_ = 0;
  TfrStrings& out_;
  std::vector<std::pair<std::size_t, std::size_t>> cuts_;
  std::vector<std::pair<std::string, std::size_t>> labels_;
  std::vector<Goto> gotos_;
};

// The expression part of a compiled line, and where it starts.
std::size_t expressionStart(std::string_view line) {
  if (line.empty()) return 0;
  if (line[0] == kJumpIfZero) return line.size() < 3 ? line.size() : 3;
  if (line[0] == kJump) return line.size();
  if (line[0] == kCall) return 1;
  std::size_t p = 0;
  while (p < line.size() && isBlank(line[p])) ++p;
  while (p < line.size() && !isBlank(line[p])) ++p;
  return p < line.size() ? p + 1 : p;
}

}  // namespace

TfrInterpretator::TfrInterpretator() {
  parser_.setValueCallback(
      [this](const std::string& name, Value& value) { ReadValue(name, value); });
  parser_.setFunctionCallback([this](const std::string& name, const Value& p1, const Value& p2,
                                     const Value& p3,
                                     Value& result) { CallFunction(name, p1, p2, p3, result); });
}

void TfrInterpretator::ReadValue(const std::string&, Value&) {}
void TfrInterpretator::WriteValue(const std::string&, const Value&) {}
void TfrInterpretator::CallFunction(const std::string&, const Value&, const Value&, const Value&,
                                    Value&) {}

void TfrInterpretator::CompileScript(const TfrStrings& source, TfrStrings& target,
                                     TfrStrings& errors) {
  // The source may be the target itself: take the text before clearing anything.
  const TfrStrings lines = source;
  std::string buffer;
  for (std::string line : lines) {
    for (char& c : line)
      if (c == '\t') c = ' ';
    buffer += line;
    buffer += '\r';
  }
  target.clear();
  errors.clear();
  auto report = [&](std::size_t written, const std::string& message) {
    // An error at the end of the text is reported on the last line end.
    std::size_t line = 0, column = std::min(written, buffer.empty() ? 0 : buffer.size() - 1);
    while (line + 1 < lines.size() && column >= lines[line].size() + 1) {
      column -= lines[line].size() + 1;
      ++line;
    }
    errors.push_back("Line " + std::to_string(line + 1) + "/" + std::to_string(column + 1) + ": " +
                     message);
  };
  if (buffer.size() > kMaxSource) {
    report(buffer.size(), "Script too long (more than " + std::to_string(kMaxSource) + " bytes)");
    return;
  }
  Compiler compiler(buffer, target);
  try {
    compiler.compile();
  } catch (const CompileError& e) {
    report(compiler.writtenPos(e.pos), e.message);
    return;
  }
  for (std::string& line : target) {
    const std::size_t start = expressionStart(line);
    if (line.empty() || line[0] == kJump) continue;
    line = line.substr(0, start) + TfrParser::ToPostfix(std::string_view(line).substr(start));
  }
}

std::size_t TfrInterpretator::JumpTarget(std::string_view line) {
  if (line.size() < 3) return 0;
  return static_cast<unsigned char>(line[1]) |
         (static_cast<std::size_t>(static_cast<unsigned char>(line[2])) << 8);
}

void TfrInterpretator::RunScript(const TfrStrings& compiled) {
  std::size_t i = 0;
  while (i < compiled.size()) {
    const std::string& line = compiled[i];
    const char kind = line.empty() ? '\0' : line[0];
    if (kind == kJumpIfZero) {
      const Value v = parser_.EvaluatePostfix(std::string_view(line).substr(expressionStart(line)));
      i = compareValues(v, Value(0)) == Ordering::Equal ? JumpTarget(line) : i + 1;
    } else if (kind == kJump) {
      i = JumpTarget(line);
    } else if (kind == kCall) {
      const std::string_view rest = std::string_view(line).substr(1);
      if (upperName(rest) == "EXIT(0)") return;
      parser_.EvaluatePostfix(rest);
      ++i;
    } else {
      std::size_t p = 0;
      while (p < line.size() && isBlank(line[p])) ++p;
      const std::size_t nameStart = p;
      while (p < line.size() && !isBlank(line[p])) ++p;
      const std::string name = line.substr(nameStart, p - nameStart);
      const std::size_t start = p < line.size() ? p + 1 : p;
      const Value v = parser_.EvaluatePostfix(std::string_view(line).substr(start));
      WriteValue(name, v);
      ++i;
    }
  }
}

void TfrInterpretator::CollectFunctionCalls(
    const TfrStrings& compiled, const std::function<void(const std::string&)>& collect) {
  for (const std::string& line : compiled) {
    if (line.empty() || line[0] == kJump) continue;
    collect(line.substr(expressionStart(line)));
  }
}

std::string TfrInterpretator::Describe(std::string_view line) {
  auto readable = [](std::string_view text) {
    static const char* const kNames[] = {"",   ">=",  "<=",   "<>",  "or",  "and", "int",  "frac",
                                         "#8", "neg", "plus", "str", "not", "mod", "round"};
    std::string out;
    for (char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if (u >= 1 && u <= 14)
        out += std::string("{") + kNames[u] + "}";
      else if (u < 32 && c != '\r')
        out += "{#" + std::to_string(u) + "}";
      else
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
  };
  if (line.empty()) return "set";
  switch (line[0]) {
    case kJumpIfZero:
      return "jz " + std::to_string(JumpTarget(line)) + " " +
             readable(line.substr(expressionStart(line)));
    case kJump:
      return "jmp " + std::to_string(JumpTarget(line));
    case kCall:
      return "call " + readable(line.substr(1));
    default: {
      const std::size_t start = expressionStart(line);
      std::string name(line.substr(0, start));
      while (!name.empty() && isBlank(name.back())) name.pop_back();
      return "set " + name + " " + readable(line.substr(start));
    }
  }
}

}  // namespace kelpo::report
