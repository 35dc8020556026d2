#include "report/expr/parser.h"

#include <cmath>
#include <new>

#include "platform/text.h"
#include "report/expr/names.h"

namespace kelpo::report {

TfrParser& frParser() {
  static TfrParser parser;
  return parser;
}

namespace {

using namespace postfix;

// ASCII needs no table lookup; only multibyte characters go to the codec helper.
inline std::size_t charSize(std::string_view text, std::size_t pos) {
  return static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : engineCharSize(text, pos);
}

inline bool isStop(char c) {
  switch (c) {
    case '\r':
    case ' ':
    case '(':
    case ')':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '[': return true;
    default: return false;
  }
}

inline bool startsNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; }

// Smaller binds tighter; '(' is never moved by another operator.
int priority(char op) {
  switch (op) {
    case kInt:
    case kFrac:
    case kRound:
    case kStr: return 0;
    case '*':
    case '/':
    case kMod:
    case kAnd:
    case kOr:
    case kNot: return 1;
    case '+':
    case '-':
    case kNegate:
    case kPlus: return 2;
    case '=':
    case kNotEqual:
    case '<':
    case '>':
    case kLessEqual:
    case kGreaterEqual: return 3;
    case ')': return 4;
    default: return 5;  // '('
  }
}

bool isPrefix(char op) {
  switch (op) {
    case kInt:
    case kFrac:
    case kRound:
    case kStr:
    case kNot:
    case kNegate:
    case kPlus: return true;
    default: return false;
  }
}

char wordOperator(std::string_view word) {
  if (word.size() < 2 || word.size() > 5) return 0;
  const std::string upper = upperName(word);
  if (upper == "INT") return kInt;
  if (upper == "FRAC") return kFrac;
  if (upper == "ROUND") return kRound;
  if (upper == "OR") return kOr;
  if (upper == "AND") return kAnd;
  if (upper == "NOT") return kNot;
  if (upper == "STR") return kStr;
  if (upper == "MOD") return kMod;
  return 0;
}

// The operator stack of the conversion; its top is the string's last character.
void pushOperator(std::string& stack, std::string& out, char op) {
  // A prefix operator applies to the operand that follows it, so it never moves a waiting
  // operator to the output: that operator's right operand has not been read yet, and moving it
  // would leave it without one ("a * -b" reads as a * (-b)).
  if (!isPrefix(op)) {
    const int p = priority(op);
    while (!stack.empty() && p >= priority(stack.back())) {
      out += stack.back();
      stack.pop_back();
    }
  }
  stack += op;
}

// Reads a string literal; `terminated` tells whether a closing quote was found.
std::string_view readLiteral(std::string_view text, std::size_t& pos, bool& terminated) {
  const std::size_t start = pos++;
  terminated = false;
  while (pos < text.size()) {
    if (text[pos] == '\'') {
      if (pos + 1 < text.size() && text[pos + 1] == '\'') {
        pos += 2;
        continue;
      }
      ++pos;
      terminated = true;
      break;
    }
    ++pos;
  }
  return text.substr(start, pos - start);
}

// The body of a literal with its quotes removed and '' turned into '.
std::string literalBody(std::string_view literal, bool terminated) {
  std::string_view body = literal.substr(1);
  if (terminated) body.remove_suffix(1);
  std::string out;
  out.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    out += body[i];
    if (body[i] == '\'' && i + 1 < body.size() && body[i + 1] == '\'') ++i;
  }
  return out;
}

double numberLiteral(std::string_view text) {
  // Whole numbers of up to 15 digits are exact in a double: no general parsing needed.
  if (text.size() <= 15) {
    double whole = 0;
    std::size_t k = 0;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9') whole = whole * 10 + (text[k++] - '0');
    if (k == text.size()) return whole;
  }
  // '.' and ',' both mean the decimal separator, whatever the user's setting.
  double value = 0;
  if (text.find(',') == std::string_view::npos) {
    if (tryTextToFloat(text, '.', value)) return value;
  } else {
    std::string copy(text);
    for (char& c : copy)
      if (c == ',') c = '.';
    if (tryTextToFloat(copy, '.', value)) return value;
  }
  throw EConvertError("'" + std::string(text) + "' is not a valid number");
}

// At most kStackSlots values, constructed only as they are pushed: most expressions use two
// or three slots, and constructing all of them would dominate short evaluations.
class ValueStack {
 public:
  ValueStack() = default;
  ValueStack(const ValueStack&) = delete;
  ValueStack& operator=(const ValueStack&) = delete;
  ~ValueStack() {
    while (count_ > 0) pop();
  }

  int count() const { return count_; }

  void push(Value&& value) {
    if (count_ == TfrParser::kStackSlots)
      throw EParserError("expression too complex: more than 32 values on the stack");
    new (slot(count_)) Value(std::move(value));
    ++count_;
  }
  void pop() { slot(--count_)->~Value(); }
  // fromTop 1 is the last value pushed.
  Value& at(int fromTop) { return *slot(count_ - fromTop); }

  void require(int operands) const {
    if (count_ < operands) throw EParserError("operator without operand");
  }

 private:
  Value* slot(int index) {
    return std::launder(reinterpret_cast<Value*>(storage_)) + index;
  }

  alignas(Value) unsigned char storage_[sizeof(Value) * TfrParser::kStackSlots];
  int count_ = 0;
};

class NestingGuard {
 public:
  explicit NestingGuard(int& nesting) : nesting_(nesting) {
    if (nesting_ >= TfrParser::kMaxNesting)
      throw EParserError("expression nested too deeply");
    ++nesting_;
  }
  ~NestingGuard() { --nesting_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  int& nesting_;
};

Value compareResult(char op, const Value& a, const Value& b) {
  const Ordering o = compareValues(a, b);
  bool holds = false;
  switch (op) {
    case '=': holds = o == Ordering::Equal; break;
    case kNotEqual: holds = o != Ordering::Equal; break;
    case '<': holds = o == Ordering::Less; break;
    case '>': holds = o == Ordering::Greater; break;
    case kLessEqual: holds = o == Ordering::Less || o == Ordering::Equal; break;
    case kGreaterEqual: holds = o == Ordering::Greater || o == Ordering::Equal; break;
  }
  return Value(holds ? 1 : 0);
}

// Round to nearest, ties to even (the default floating-point rounding mode).
double roundEven(double v) { return std::nearbyint(v); }

// Null stays Null through the numeric prefix operators, as it does through arithmetic.
Value intPart(const Value& v) {
  if (v.isNull()) return v;
  double d = v.toFloat();
  const double r = roundEven(d);
  d = std::abs(r - d) < 1e-10 ? r : std::trunc(d);
  return Value(d);
}

Value fracPart(const Value& v) {
  if (v.isNull()) return v;
  double d = v.toFloat();
  const double r = roundEven(d);
  if (std::abs(r - d) < 1e-10) d = r;
  if (std::isinf(d)) return Value(0.0);
  return Value(d - std::trunc(d));
}

Value roundValue(const Value& v) {
  if (v.isNull()) return v;
  return Value(roundEven(v.toFloat()));
}

}  // namespace

// ---- lexical helpers ----

namespace {

std::string_view readIdentifier(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ') ++pos;
  const std::size_t start = pos;
  bool quoted = false;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '"') {
      quoted = !quoted;
      ++pos;
      continue;
    }
    if (!quoted && isStop(c)) break;
    pos += charSize(text, pos);
  }
  if (pos > text.size()) pos = text.size();
  return text.substr(start, pos - start);
}

}  // namespace

std::string TfrParser::ReadIdentifier(std::string_view text, std::size_t& pos) {
  return std::string(readIdentifier(text, pos));
}

std::string TfrParser::ReadStringLiteral(std::string_view text, std::size_t& pos) {
  bool terminated = false;
  return std::string(readLiteral(text, pos, terminated));
}

std::string TfrParser::ReadBracketed(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  std::size_t last = pos;
  int depth = 0;
  bool doubleQuoted = false;
  bool singleQuoted = false;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '"' && !singleQuoted) {
      doubleQuoted = !doubleQuoted;
    } else if (c == '\'' && !doubleQuoted) {
      singleQuoted = !singleQuoted;
    } else if (!doubleQuoted && !singleQuoted) {
      if (c == '[') {
        ++depth;
      } else if (c == ']' && --depth == 0) {
        return std::string(text.substr(start + 1, pos - start - 1));
      }
    }
    last = pos;
    pos += charSize(text, pos);
  }
  pos = last;
  return last > start ? std::string(text.substr(start + 1, last - start - 1)) : std::string();
}

std::array<std::string, 3> TfrParser::SplitArguments(std::string_view text, std::size_t& pos) {
  std::array<std::string, 3> args;
  int depth = 1;
  int index = 0;
  bool quoted = false;
  std::size_t argStart = ++pos;
  const auto store = [&](std::size_t end) {
    // Three arguments are delivered; a fifth and later one lands on the second.
    std::string piece(text.substr(argStart, end - argStart));
    if (index < 3)
      args[static_cast<std::size_t>(index)] = std::move(piece);
    else if (index >= 4)
      args[1] = std::move(piece);
  };
  // Parentheses, commas and quotes are ASCII below 0x40 and never occur inside a multibyte
  // character, so a byte scan is exact here.
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '\'') {
      quoted = !quoted;
    } else if (!quoted) {
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth == 0) {
          store(pos);
          ++pos;
          return args;
        }
      } else if (c == ',' && depth == 1) {
        store(pos);
        if (index < 4) ++index;
        argStart = pos + 1;
      }
    }
  }
  throw EParserError("");
}

// ---- conversion ----

std::string TfrParser::ToPostfix(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  std::string stack;
  bool operandRead = false;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    switch (c) {
      case ' ':
      case '\r': ++i; continue;
      case '(':
        stack += '(';
        operandRead = false;
        ++i;
        continue;
      case ')': {
        const std::size_t open = stack.rfind('(');
        if (open != std::string::npos) {
          for (std::size_t k = stack.size(); k > open + 1; --k) out += stack[k - 1];
          stack.resize(open);
        }
        ++i;
        continue;
      }
      case ';': i = s.size(); continue;
      case '*':
      case '+':
      case '-':
      case '/':
      case '<':
      case '=':
      case '>': {
        char op = c;
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        ++i;
        if (c == '<' && next == '>') {
          op = kNotEqual;
          ++i;
        } else if (c == '>' && next == '=') {
          op = kGreaterEqual;
          ++i;
        } else if (c == '<' && next == '=') {
          op = kLessEqual;
          ++i;
        } else if (!operandRead && c == '-') {
          op = kNegate;
        } else if (!operandRead && c == '+') {
          op = kPlus;
        }
        operandRead = false;
        pushOperator(stack, out, op);
        continue;
      }
      default: break;
    }

    // An operand.
    operandRead = true;
    std::size_t j = i;
    std::string operand;
    bool prefixed = false;
    if (c == '%' && i + 1 < s.size()) {
      // '%' carries the next character into the operand whatever it is.
      const std::size_t size = charSize(s, i + 1);
      operand.assign(s.substr(i, 1 + size));
      j = i + 1 + size;
      prefixed = true;
    }
    if (j < s.size() && s[j] == '\'') {
      bool terminated = false;
      operand += readLiteral(s, j, terminated);
      // An unterminated literal runs to the end of the expression; closing it here keeps the
      // separating blank of the postfix text out of its value.
      if (!terminated) operand += '\'';
      out += operand;
      out += ' ';
    } else if (j < s.size() && s[j] == '[') {
      const std::size_t open = j;
      ReadBracketed(s, j);
      j = j + 1 > s.size() ? s.size() : j + 1;
      operand += s.substr(open, j - open);
      out += operand;
      out += ' ';
    } else {
      std::string identifier = ReadIdentifier(s, j);
      const std::size_t identStart = prefixed ? i : j - identifier.size();
      operand += identifier;
      bool indexed = false;
      if (j < s.size() && s[j] == '[') {
        const std::size_t open = j;
        ReadBracketed(s, j);
        j = j + 1 > s.size() ? s.size() : j + 1;
        operand += s.substr(open, j - open);
        indexed = true;
      }
      const char word = (prefixed || indexed) ? 0 : wordOperator(operand);
      if (!operand.empty() && startsNumber(operand[0])) {
        out += operand;
        out += ' ';
      } else if (word != 0) {
        operandRead = false;
        pushOperator(stack, out, word);
      } else if (!indexed && j < s.size() && s[j] == '(') {
        SplitArguments(s, j);
        out += s.substr(identStart, j - identStart);
      } else {
        out += operand;
        out += ' ';
      }
    }
    i = j > i ? j : i + 1;
  }
  for (std::size_t k = stack.size(); k > 0; --k) out += stack[k - 1];
  return out;
}

// ---- evaluation ----

Value TfrParser::Evaluate(std::string_view expression) {
  return EvaluatePostfix(ToPostfix(expression));
}

Value TfrParser::EvaluatePostfix(std::string_view p) {
  NestingGuard guard(nesting_);
  ValueStack stack;
  std::size_t pos = 0;
  while (pos < p.size()) {
    const char c = p[pos];
    switch (c) {
      case '+':
      case '-':
      case '*':
      case '/':
      case kOr:
      case kAnd:
      case kMod:
      case '>':
      case '<':
      case '=':
      case kNotEqual:
      case kGreaterEqual:
      case kLessEqual: {
        stack.require(2);
        Value& a = stack.at(2);
        const Value& b = stack.at(1);
        switch (c) {
          case '+': a = a + b; break;
          case '-': a = a - b; break;
          case '*': a = a * b; break;
          case '/': a = a / b; break;
          case kOr: a = orValues(a, b); break;
          case kAnd: a = andValues(a, b); break;
          case kMod: a = modValues(a, b); break;
          default: a = compareResult(c, a, b); break;
        }
        stack.pop();
        ++pos;
        break;
      }
      case kInt:
      case kFrac:
      case kRound:
      case kNegate:
      case kStr:
      case kNot: {
        stack.require(1);
        Value& a = stack.at(1);
        switch (c) {
          case kInt: a = intPart(a); break;
          case kFrac: a = fracPart(a); break;
          case kRound: a = roundValue(a); break;
          case kNegate: a = -a; break;
          case kStr: a = Value(a.toText()); break;
          default: a = Value(compareValues(a, Value(0)) == Ordering::Equal ? 1 : 0); break;
        }
        ++pos;
        break;
      }
      case kPlus:
      case ' ': ++pos; break;
      case '[': {
        std::string name = ReadBracketed(p, pos);
        pos = pos + 1 > p.size() ? p.size() : pos + 1;
        if (pos < p.size() && p[pos] == ' ') ++pos;
        Value value = Value::null();
        if (valueCallback_) valueCallback_(name, value);
        stack.push(std::move(value));
        break;
      }
      default: {
        const std::size_t start = pos;
        bool nothing = false;
        Value value = evaluateOperand(p, pos, nothing);
        if (!nothing) {
          stack.push(std::move(value));
        } else if (pos == start) {
          // A stray stop character that starts no token: step over it.
          ++pos;
        }
        break;
      }
    }
  }
  if (stack.count() == 0) return Value(0);
  return std::move(stack.at(stack.count()));
}

Value TfrParser::evaluateOperand(std::string_view p, std::size_t& pos, bool& nothing) {
  nothing = false;
  if (p[pos] == '\'') {
    bool terminated = false;
    const std::string_view literal = readLiteral(p, pos, terminated);
    if (pos < p.size() && p[pos] == ' ') ++pos;
    return Value(literalBody(literal, terminated));
  }
  const std::string_view identifier = readIdentifier(p, pos);
  if (!identifier.empty() && startsNumber(identifier[0])) {
    if (pos < p.size() && p[pos] == ' ') ++pos;
    return Value(numberLiteral(identifier));
  }
  if (pos < p.size() && p[pos] == '[') {
    std::string index = ReadBracketed(p, pos);
    pos = pos + 1 > p.size() ? p.size() : pos + 1;
    if (pos < p.size() && p[pos] == ' ') ++pos;
    return Evaluate("GETARRAY(" + std::string(identifier) + ", " + index + ")");
  }
  if (pos < p.size() && p[pos] == '(') {
    const std::array<std::string, 3> args = SplitArguments(p, pos);
    return callFunction(upperName(identifier), args);
  }
  if (identifier.empty()) {
    // Only blanks, or a stop character that starts no token: nothing to push.
    nothing = true;
    return Value();
  }
  if (pos < p.size() && p[pos] == ' ') ++pos;
  std::string upper = upperName(identifier);
  if (upper.size() == 4 && upper == "TRUE") return Value(true);
  if (upper.size() == 5 && upper == "FALSE") return Value(false);
  Value value = Value::null();
  if (valueCallback_) valueCallback_(upper, value);
  return value;
}

Value TfrParser::callFunction(const std::string& name, const std::array<std::string, 3>& args) {
  if (name == "COPY") {
    const std::string text = Evaluate(args[0]).toText();
    const std::int64_t start = textToInteger(Evaluate(args[1]).toText());
    const std::int64_t count = textToInteger(Evaluate(args[2]).toText());
    // Positions count bytes of the engine text; the result holds the characters lying wholly
    // inside the chosen bytes, so a multibyte character is never split.
    const std::int64_t from = (start < 1 ? 1 : start) - 1;
    const std::int64_t to = count <= 0 ? from : std::min<std::int64_t>(start - 1 + count,
                                                                       static_cast<std::int64_t>(text.size()));
    std::size_t pos = 0;
    std::string out;
    while (pos < text.size() && static_cast<std::int64_t>(pos) < to) {
      const std::size_t size = charSize(text, pos);
      if (static_cast<std::int64_t>(pos) >= from &&
          static_cast<std::int64_t>(pos + size) <= to) {
        out.append(text, pos, size);
      }
      pos += size;
    }
    return Value(std::move(out));
  }
  if (name == "IF") {
    const Value condition = Evaluate(args[0]);
    bool holds = false;
    if (condition.kind() == Value::Kind::Boolean) {
      // A boolean is its own truth value; its text form is a word, not a number.
      holds = condition.boolean();
    } else {
      holds = std::trunc(textToFloat(condition.toText())) != 0;
    }
    return Evaluate(holds ? args[1] : args[2]);
  }
  if (name == "STRTODATE") return Value::dateTime(textToDate(Evaluate(args[0]).toText()));
  if (name == "STRTOTIME") return Value::dateTime(textToTime(Evaluate(args[0]).toText()));
  Value result = Value::null();
  if (functionCallback_)
    functionCallback_(name, Value(args[0]), Value(args[1]), Value(args[2]), result);
  return result;
}

}  // namespace kelpo::report
