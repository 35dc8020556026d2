// Expansion of memo text: bracketed pieces replaced by their formatted values, inserted text
// never expanded again, and values with line breaks becoming lines of their own.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "report/expr/memo_expand.h"
#include "report/expr/names.h"
#include "tests/report/expr/support_data.h"

namespace kelpo::report {
namespace {

using testing::DataFixture;
using testing::E;
using Lines = std::vector<std::string>;

class MemoExpansion : public ::testing::Test {
 protected:
  MemoExpansion() {
    data.report.OnGetValue = [](const std::string& name, Value& value) {
      if (name == "A") value = Value("[B]");
      if (name == "B") value = Value(2);
      if (name == "Nothing") value = Value(std::string());
      if (name == "Breaks") value = Value("x\ny\r\rz\r\n");
    };
  }
  DataFixture data;
};

TEST_F(MemoExpansion, LinesOfOneMemo) {
  struct Case {
    const char* line;
    const char* expanded;
  } cases[] = {
      {"Total: [A] and [B]", "Total: [B] and 2"},  // inserted text is not expanded again
      {"[B][B]x[B]", "22x2"},
      {"a [unclosed", "a [unclosed"},
      {"x [B] [y", "x 2 [y"},
      {"[a[b]", "[a[b]"},  // unclosed though it ends with ]
      {"['x]']", "x]"},    // brackets inside quotes do not count
      {"[[B]]", ""},       // the whole nested text is one piece: [B] as a name
      {"no pieces", "no pieces"},
  };
  data.report.OnGetValue = [inner = data.report.OnGetValue](const std::string& n, Value& v) {
    inner(n, v);
    if (n == "[B]") v = Value(std::string());
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandLine(E(c.line), nullptr), E(c.expanded)) << c.line;
}

// Characters whose trail bytes equal '[', ']', '\\' or '|' (嘯 87 5B, 擺 94 5B, 嘳 87 5D, 嘰 87 5C,
// 億 83 7C) and a four-byte character with digit bytes (𠀀 95 32 82 36), before, inside and after
// a piece and at the end of a line.
TEST_F(MemoExpansion, MultibyteCharactersAroundAndInsidePieces) {
  data.report.OnGetValue = [inner = data.report.OnGetValue](const std::string& n, Value& v) {
    inner(n, v);
    if (n == E("嘯")) v = Value(E("啸"));
    if (n == E("擺[嘳]")) v = Value(E("摆"));
    if (n == E("𠀀1")) v = Value(7);
  };
  struct Case {
    const char* line;
    const char* expanded;
  } cases[] = {
      {"擺 [B]", "擺 2"},
      {"嘯]x [B]", "嘯]x 2"},
      {"嘳[B]嘰", "嘳2嘰"},
      {"[嘯]", "啸"},
      {"a[擺[嘳]]b", "a摆b"},
      {"['擺]嘳']", "擺]嘳"},
      {"[IF(B = 2, '億', '嘰')]", "億"},
      {"[𠀀1] 𠀀", "7 𠀀"},
      {"[B] 擺", "2 擺"},
      {"[B] 嘯", "2 嘯"},
      {"x 嘯[B]", "x 嘯2"},
      {"[B 嘯", "[B 嘯"},  // still unclosed
      {"[B嘳", "[B嘳"},    // the trail ']' does not close it
      {"[擺", "[擺"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandLine(E(c.line), nullptr), E(c.expanded)) << c.line;
  EXPECT_EQ(ExpandMemo({E("嘯 [B]"), E("[B]擺")}, nullptr), (Lines{E("嘯 2"), E("2擺")}));
}

TEST_F(MemoExpansion, ValuesWithLineBreaksBecomeSeveralLines) {
  EXPECT_EQ(ExpandMemo({E("[ADOQuery3.\"菜谱\"]")}, nullptr), (Lines{E("麻婆豆腐"), E("微辣")}));
  EXPECT_EQ(ExpandMemo({"<[Breaks]>"}, nullptr), (Lines{"<x", "y", "", "z", ">"}));
  // An empty line stays; a line that expands to nothing adds none.
  EXPECT_EQ(ExpandMemo({"[Nothing]", "", "b [B]"}, nullptr), (Lines{"", "b 2"}));
  EXPECT_EQ(ExpandMemo({"[B]"}, nullptr, true), (Lines{"[B]"}));
}

}  // namespace
}  // namespace kelpo::report
