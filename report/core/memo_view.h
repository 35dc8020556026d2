// Memo text layout: the shared 96-dpi scratch canvas text is measured on, wrapping of expanded
// lines (word wrap, hyphenation, paragraph marks), and the hand-over of drawn lines to an export
// filter. The memo view's own operations are declared with the view classes.
#pragma once

#include <QFont>
#include <QRect>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "report/core/view.h"

class QIODevice;
class QPaintDevice;
class QPainter;

namespace kelpo::report {

// Ends a wrapped line that closes a paragraph.
inline constexpr char kParagraphMark = '\x01';

// The 96-dpi device every memo is measured on, shared by all memos.
QPaintDevice& scratchDevice();
// Runs `draw` with a painter on the scratch device (on a private one when the scratch device is
// already being painted, as when a measuring pass runs inside another).
void withScratchCanvas(const std::function<void(QPainter&)>& draw);
// The shared list of wrapped lines the last wrapping produced.
TfrStrings& wrappedLines();

// A memo font as drawn: pixel height `pixelHeight`, the record's style bits, character spacing.
QFont memoFont(const TfrFont& font, int pixelHeight, int characterSpacing);
// Height of a memo font on the scratch canvas: round(size × 96 ÷ 72) pixels.
int scratchFontHeight(int pointSize);

// Break positions after which a word may be hyphenated (1-based character positions), from the
// word's character codes; characters of more than one byte pass as code 0.
std::vector<int> hyphenationPoints(const std::vector<unsigned>& codes);

// Wrapping one expanded line to `width` layout units with the scratch canvas font `font`;
// lines that end a paragraph get kParagraphMark. Appends to `out`.
void wrapLine(std::string_view line, int width, const QFont& font, bool wordBreak, TfrStrings& out);

// Receives memo lines in exporting mode. No filter is registered in this program; the hook
// exists so that one can be.
class TfrExportFilter {
 public:
  virtual ~TfrExportFilter() = default;
  // One drawn line: the memo's text rectangle, the line's position, the line without its
  // paragraph mark, and the frame lines it carries (top only on the first line, bottom only on
  // the last).
  virtual void OnText(const QRect& rect, int x, int y, const std::string& text, TfrView& view,
                      std::uint16_t frameLines) = 0;
  // Non-text views are handed over whole.
  virtual void OnData(TfrView& view) { (void)view; }

  // The document around the lines, for the report's export operation: the target file (open
  // while the filter runs), a veto before anything happens, the filter's options (false
  // cancels), and the document and page brackets.
  QIODevice* stream = nullptr;
  std::string fileName;
  virtual bool BeforeExport(const std::string& file) { return (void)file, true; }
  virtual bool ShowModal() { return true; }
  virtual void OnBeginDoc() {}
  virtual void OnBeginPage(int index) { (void)index; }
  virtual void OnEndPage(int index) { (void)index; }
  virtual void OnEndDoc() {}
  virtual void AfterExport(const std::string& file) { (void)file; }
};
TfrExportFilter*& frCurrentExportFilter();

}  // namespace kelpo::report
