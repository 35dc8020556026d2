// Memo output: expansion into prepared records, suppression and blank zeros, heights for the
// build engine, split parts, wrapping of engine text, and the pixels of drawn memos.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/text.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "report/core/view_painting.h"
#include "report/expr/engine_state.h"
#include "tests/report/core/support_output.h"

namespace kelpo::report {
namespace {

using testing::drawAlone;
using testing::inkBox;
using testing::keepImage;
using testing::makeMemo;

std::string E(const char* utf8) { return utf8ToEngine(utf8); }

// Reads back the records a memo wrote: the text of each.
std::vector<TfrStrings> recordsIn(const TfrWriter& stream) {
  std::vector<TfrStrings> texts;
  TfrReader r(stream.data());
  while (!r.atEnd()) {
    EXPECT_EQ(r.u8(), gtMemo);
    TfrMemoView m;
    m.loadFromStream(r, {kTemplateVersion, false});
    texts.push_back(m.memo);
  }
  return texts;
}

class MemoOutput : public ::testing::Test {
 protected:
  MemoOutput() {
    saved_ = frEngine().report;
    frEngine().report = &context;
    context.OnGetValue = [this](const std::string& name, Value& v) {
      if (name == "TWO") v = Value(E("麻婆豆腐\r\n微辣"));
      if (name == "N") v = number;
      if (name == "T") v = Value(text);
    };
    frDocMode() = TfrDocMode::Output;
  }
  ~MemoOutput() override {
    frEngine().report = saved_;
    frDocMode() = TfrDocMode::Template;
  }
  TfrReportContext context;
  Value number{0};
  std::string text;

 private:
  TfrReportContext* saved_;
};

TEST_F(MemoOutput, FieldWithTwoLinesGivesTwoLines) {
  auto m = makeMemo(0, 0, 200, 40, {"[TWO]"});
  TfrWriter stream;
  m->EmitPrepared(stream);
  EXPECT_EQ(recordsIn(stream), (std::vector<TfrStrings>{{E("麻婆豆腐"), E("微辣")}}));
}

TEST_F(MemoOutput, HideZerosBlanksNumbersOnly) {
  auto m = makeMemo(0, 0, 200, 40, {"<[N]>"});
  m->flags |= flHideZeros;
  TfrWriter a;
  m->EmitPrepared(a);
  m->memo = {"<[T]>"};
  text = "0";
  m->EmitPrepared(a);
  EXPECT_EQ(recordsIn(a), (std::vector<TfrStrings>{{"<>"}, {"<0>"}}));
}

TEST_F(MemoOutput, SuppressWritesARepeatedValueOnce) {
  auto m = makeMemo(0, 0, 200, 40, {"[T]"});
  m->flags |= flSuppressRepeated;
  TfrWriter stream;
  for (const char* v : {"a", "a", "b", "a", "a"}) {
    text = v;
    m->EmitPrepared(stream);
  }
  EXPECT_EQ(recordsIn(stream), (std::vector<TfrStrings>{{"a"}, {"b"}, {"a"}}));
  // A repeated value takes no height either.
  EXPECT_EQ(m->CalcHeight(), 0);
  text = "c";
  EXPECT_GT(m->CalcHeight(), 0);
}

}  // namespace
}  // namespace kelpo::report
