// Memo output: expansion into prepared records, suppression and blank zeros, heights for the
// build engine, split parts, wrapping of engine text, and the pixels of drawn memos.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/text.h"
#include "report/core/band.h"
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

// Wrapping keeps every character whole and puts paragraph marks only where paragraphs end.
TEST(MemoWrapping, EngineTextBreaksOnlyBetweenCharacters) {
  const QFont font = memoFont({E("宋体"), 12}, scratchFontHeight(12), 0);
  // Two-byte and four-byte characters (the latter outside the basic plane and inside it).
  const std::string text = E("菜谱𠀀麻婆豆腐€𠀁微辣𠀂鱼香肉丝𠀃宫保鸡丁𠀄");
  TfrStrings out;
  wrapLine(text, 50, font, false, out);
  ASSERT_GT(out.size(), 2u);
  std::string joined;
  for (std::size_t i = 0; i < out.size(); ++i) {
    std::string line = out[i];
    const bool last = i + 1 == out.size();
    ASSERT_EQ(!line.empty() && line.back() == kParagraphMark, last) << i;
    if (last) line.pop_back();
    // Each line converts on its own: no character was cut.
    EXPECT_EQ(fromQString(toQString(line)), line) << i;
    joined += line;
  }
  EXPECT_EQ(joined, text);
}

TEST(MemoWrapping, LinesBreaksAndSpaces) {
  const QFont font = memoFont({"Arial", 10}, scratchFontHeight(10), 0);
  struct Case {
    const char* text;
    int width;
    TfrStrings lines;
  } cases[] = {
      {"short", 200, {"short\x01"}},
      // A run of CR and LF ends the paragraph once.
      {"one\r\n\r\ntwo", 200, {"one\x01", "two\x01"}},
      // Breaks at the last space; the space itself is dropped.
      {"alpha beta gamma", 60, {"alpha", "beta", "gamma\x01"}},
      // A single character wider than the width still makes progress.
      {"WWW", 1, {"W", "W", "W\x01"}},
  };
  for (const Case& c : cases) {
    TfrStrings out;
    wrapLine(c.text, c.width, font, false, out);
    EXPECT_EQ(out, c.lines) << c.text;
  }
}

TEST(MemoWrapping, WordBreakTables) {
  // Hyphenation works on single-byte letters of the Cyrillic code page (upper-cased first).
  // "МОЛОКО" in that code page: vowels О (206) are followed by consonants then vowels.
  const std::vector<unsigned> moloko = {204, 206, 203, 206, 202, 206};
  EXPECT_EQ(hyphenationPoints(moloko), (std::vector<int>{2, 4}));
  EXPECT_TRUE(hyphenationPoints({204, 206, 203}).empty());  // fewer than 4 characters
  // A Latin word has no vowels of that table, so WordBreak falls back to a plain break: the
  // word is cut inside, without a hyphen, and nothing is lost.
  const QFont font = memoFont({"Arial", 10}, scratchFontHeight(10), 0);
  TfrStrings out;
  wrapLine("Supercalifragilisticexpialidocious", 60, font, true, out);
  ASSERT_GT(out.size(), 2u);
  std::string joined;
  for (const std::string& line : out) {
    EXPECT_EQ(line.find('-'), std::string::npos);
    joined += line;
  }
  EXPECT_EQ(joined, "Supercalifragilisticexpialidocious\x01");
}

TEST_F(MemoOutput, HeightsForTheBuildEngine) {
  struct Case {
    int size, lineSpacing, gapY, dy;
    float frame;
    int min, remain;
  } cases[] = {
      // 10 pt: 13 px; line height 15.
      {10, 2, 1, 100, 1.0f, 2 + 2 + 2 + 13, 2 + 2 + (100 - 2 - 2) % 15},
      {12, 0, 2, 50, 0.5f, 1 + 0 + 4 + 16, 4 + 1 + (50 - 1 - 4) % 16},
      {9, 3, 0, 15, 0.0f, 0 + 3 + 0 + 12, 0},
  };
  for (const Case& c : cases) {
    auto m = makeMemo(0, 0, 100, c.dy, {}, "Arial", c.size);
    m->lineSpacing = c.lineSpacing;
    m->gapY = c.gapY;
    m->frameWidth = c.frame;
    EXPECT_EQ(m->MinHeight(), c.min) << c.size;
    EXPECT_EQ(m->RemainHeight(), c.remain) << c.size;
  }
  // A memo whose lines take no room does not divide by zero.
  auto flat = makeMemo(0, 0, 100, 40, {}, "Arial", 0);
  flat->lineSpacing = 0;
  EXPECT_EQ(flat->RemainHeight(), 2 * flat->gapY + 2);
  // CalcHeight: lines × line height + both gaps; a second line adds one line height.
  auto m = makeMemo(0, 0, 300, 10, {"one"});
  const int one = m->CalcHeight();
  EXPECT_EQ(one, 15 + 2 * (m->gapY + 0));
  m->memo = {"one", "two"};
  EXPECT_EQ(m->CalcHeight(), one + 15);
  m->visible = false;
  EXPECT_EQ(m->CalcHeight(), 0);
}

TEST_F(MemoOutput, SplitPartHoldsTheFittingLinesAndTheRestFollows) {
  auto m = makeMemo(0, 0, 300, 300, {"1", "2", "3", "4", "5", "6", "7"});
  m->flags &= ~flWordWrap;
  m->frameWidth = 0;
  // Room for three 15-unit lines below the 1-unit gap.
  m->dy = 1 + 3 * 15 + 2;
  m->drawMode = TfrMemoView::drPart;
  TfrWriter first;
  m->EmitPrepared(first);
  EXPECT_EQ(m->drawMode, TfrMemoView::drAll);
  EXPECT_EQ(recordsIn(first), (std::vector<TfrStrings>{{"1\x01", "2\x01", "3\x01"}}));
  // The rest is kept wrapped; the next part starts with line 4 and is not expanded again.
  m->memo = {"[T]"};
  m->dy = 300;
  m->drawMode = TfrMemoView::drPart;
  TfrWriter second;
  m->EmitPrepared(second);
  EXPECT_EQ(recordsIn(second), (std::vector<TfrStrings>{{"4\x01", "5\x01", "6\x01", "7\x01"}}));
}

// At output a memo's top alignment takes the band's y and width alignment on a vertical band the
// band's width; bottom alignment is left to split drawing. The view keeps its own geometry.
TEST_F(MemoOutput, BandAlignmentAtOutput) {
  TfrBand band;
  band.y = 200;
  band.dx = 90;
  band.calculatedHeight = 50;
  struct Case {
    int type;
    std::uint8_t align;
    int y, dx;
  } cases[] = {{0, 6, 200, 40}, {0, 5, 230, 40}, {19, 4, 230, 90}, {0, 4, 230, 40}};
  for (const Case& c : cases) {
    band.type = c.type;
    auto m = makeMemo(10, 230, 40, 10, {"x"});
    m->parent = &band;
    m->bandAlign = c.align;
    TfrWriter stream;
    m->EmitPrepared(stream);
    TfrReader r(stream.data());
    r.u8();
    TfrMemoView written;
    written.loadFromStream(r, {kTemplateVersion, false});
    EXPECT_EQ(std::make_pair(written.y, written.dx), std::make_pair(c.y, c.dx)) << int(c.align);
    EXPECT_EQ(std::make_tuple(m->y, m->dx, m->bandAlign), std::make_tuple(230, 40, c.align));
  }
}

TEST_F(MemoOutput, CalcHeightIsAMethodOfStretcheableViews) {
  auto m = makeMemo(0, 0, 300, 10, {"one", "two", "three"});
  EXPECT_EQ(m->CallMethod("calcHeight", "", "", "").toInteger(), 3 * 15 + 2 * m->gapY);
  TfrLineView line;
  line.dy = 77;
  EXPECT_EQ(line.CallMethod("CALCHEIGHT", "", "", "").toInteger(), 77);
}

TEST_F(MemoOutput, HighlightSwapsStyleForOneOutput) {
  auto m = makeMemo(0, 0, 300, 20, {"x"});
  m->highlightCondition = "1 = 1";
  m->highlightStyle = 2;
  m->highlightColor = 0x0000FF;
  m->highlightFill = 0x00FF00;
  TfrWriter stream;
  m->EmitPrepared(stream);
  TfrReader r(stream.data());
  r.u8();
  TfrMemoView written;
  written.loadFromStream(r, {kTemplateVersion, false});
  EXPECT_EQ(std::make_tuple(written.font.style, written.font.color, written.fillColor),
            std::make_tuple(std::uint16_t(2), 0x0000FFu, 0x00FF00u));
  // Restored afterwards; a faulty condition does not highlight and raises nothing.
  EXPECT_EQ(std::make_tuple(m->font.style, m->font.color, m->fillColor),
            std::make_tuple(std::uint16_t(0), 0u, kClNone));
  m->highlightCondition = "1 +";
  TfrWriter again;
  EXPECT_NO_THROW(m->EmitPrepared(again));
}

// In exporting mode each line goes to the filter with its position and the frame lines it
// carries: the top line with the first line only, the bottom line with the last only.
TEST_F(MemoOutput, ExportHandsOverLinesWithTheirFrameLines) {
  struct Line {
    int x, y;
    std::string text;
    std::uint16_t frames;
  };
  struct Collect : TfrExportFilter {
    std::vector<Line> lines;
    void OnText(const QRect&, int x, int y, const std::string& text, TfrView&,
                std::uint16_t frames) override {
      lines.push_back({x, y, text, frames});
    }
  } filter;
  frCurrentExportFilter() = &filter;
  auto m = makeMemo(10, 20, 300, 60, {"first", "middle", "last"});
  m->frameTyp = 15;
  m->Export();
  frCurrentExportFilter() = nullptr;
  ASSERT_EQ(filter.lines.size(), 3u);
  EXPECT_EQ(filter.lines[0].text, "first");
  EXPECT_EQ(filter.lines[0].frames, 15 & ~2);
  EXPECT_EQ(filter.lines[1].frames, 15 & ~2 & ~8);
  EXPECT_EQ(filter.lines[2].frames, 15 & ~8);
  EXPECT_EQ(filter.lines[1].y - filter.lines[0].y, 15);
  // x + gap x, the gap growing by half the 1-unit frame (rounded to even: 0).
  EXPECT_EQ(filter.lines[0].x, 10 + 2);
}

// Drawn memos: where the ink lands for each alignment, rotation and frame.
class MemoPixels : public MemoOutput {};

TEST_F(MemoPixels, HorizontalAlignments) {
  struct Case {
    std::uint32_t alignment;
    const char* name;
  } cases[] = {{0, "left"}, {1, "right"}, {2, "centre"}};
  for (const Case& c : cases) {
    auto m = makeMemo(10, 10, 180, 30, {"Kelpo"});
    m->alignment = c.alignment;
    m->frameTyp = 15;
    QImage img = drawAlone(*m, 200, 50);
    keepImage(img, std::string("memo_align_") + c.name);
    QRect ink = inkBox(img, QRect(12, 12, 176, 26));
    ASSERT_FALSE(ink.isNull()) << c.name;
    const int leftGap = ink.left() - 10, rightGap = 190 - ink.right();
    if (c.alignment == 0) {
      EXPECT_LE(leftGap, 6) << c.name;
      EXPECT_GT(rightGap, 100) << c.name;
    } else if (c.alignment == 1) {
      EXPECT_LE(rightGap, 7) << c.name;
      EXPECT_GT(leftGap, 100) << c.name;
    } else {
      EXPECT_NEAR(leftGap, rightGap, 4) << c.name;
    }
  }
}

TEST_F(MemoPixels, RotatedTextRunsUpwards) {
  auto m = makeMemo(10, 10, 30, 150, {"Kelpo report"});
  m->alignment = 4;
  QImage img = drawAlone(*m, 60, 180);
  keepImage(img, "memo_rotated");
  QRect ink = inkBox(img, img.rect());
  ASSERT_FALSE(ink.isNull());
  EXPECT_GT(ink.height(), 3 * ink.width());
  // Left alignment of turned text starts at the bottom.
  EXPECT_GE(ink.bottom(), 150);
}

TEST_F(MemoPixels, JustifiedParagraphKeepsItsLastLine) {
  auto m =
      makeMemo(0, 0, 200, 80, {"aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk lll mmm nnn ooo ppp"});
  m->alignment = 3;
  QImage img = drawAlone(*m, 210, 90);
  keepImage(img, "memo_justify");
  const int step = m->lineSpacing + scratchFontHeight(10);
  std::vector<QRect> lines;
  for (int i = 0; i < 4; ++i) {
    QRect ink = inkBox(img, QRect(0, 1 + i * step, 210, step));
    if (!ink.isNull()) lines.push_back(ink);
  }
  ASSERT_GE(lines.size(), 2u);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_GE(lines[i].right(), 193) << i;
  EXPECT_LT(lines.back().right(), 180);
}

TEST_F(MemoPixels, VerticalAlignmentAndRuleLines) {
  int tops[3];
  for (int valign = 0; valign < 3; ++valign) {
    auto m = makeMemo(0, 0, 100, 90, {"Kelpo"});
    m->alignment = static_cast<std::uint32_t>(valign) << 3;
    QImage img = drawAlone(*m, 110, 100);
    keepImage(img, "memo_valign_" + std::to_string(valign));
    tops[valign] = inkBox(img, img.rect()).top();
  }
  EXPECT_LT(tops[0], 6);
  EXPECT_NEAR(tops[1], 3 + (90 - 17) / 2, 4);
  EXPECT_NEAR(tops[2], 90 - 17, 5);
  // Rule lines: one per whole line step of the height, at the text's baseline area.
  auto ruled = makeMemo(0, 0, 100, 60, {});
  ruled->flags |= flUnderlines;
  QImage img = drawAlone(*ruled, 110, 70);
  keepImage(img, "memo_rules");
  std::vector<int> rows;
  for (int y = 0; y < 70; ++y)
    if (qGray(img.pixel(50, y)) < 100) rows.push_back(y);
  EXPECT_EQ(rows,
            (std::vector<int>{1 + 2 + 13, 1 + 15 + 2 + 13, 1 + 30 + 2 + 13, 1 + 45 + 2 + 13}));
}

TEST_F(MemoPixels, DoubleFrameOfWidthTwo) {
  auto m = makeMemo(20, 20, 60, 40, {});
  m->frameTyp = 4;  // left line only
  m->frameStyle = 5;
  m->frameWidth = 2;
  m->fillColor = 0x00FFFF;  // yellow
  QImage img = drawAlone(*m, 100, 80);
  keepImage(img, "memo_double_frame");
  // Across the left edge at x 20: frame, fill, frame, each two pixels wide.
  std::string row;
  for (int x = 15; x <= 24; ++x) {
    const QRgb p = img.pixel(x, 40);
    row += qGray(p) < 60 ? 'k' : (qBlue(p) < 60 && qRed(p) > 200 ? 'y' : 'w');
  }
  EXPECT_EQ(row, "wwkkyykkyy");
}

}  // namespace
}  // namespace kelpo::report
