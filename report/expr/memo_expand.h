// Expansion of memo text: every bracketed piece of a line is replaced by the formatted text of
// its value, and values holding line breaks become lines of their own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelpo::report {

class TfrCurrentView;

// One line: each [...] found by the bracket reader is replaced by SubstituteValue of its text;
// scanning goes on after the inserted text, which is never expanded again. An unclosed bracket
// ends the expansion and stays as written.
std::string ExpandLine(std::string_view line, const TfrCurrentView* view);

// The expanded text of a memo: a non-empty line is expanded (unless `textOnly`) and appended as
// text, so line breaks in it (CR, LF or CR LF) start new lines and an expansion to nothing adds
// no line; an empty line stays one empty line.
std::vector<std::string> ExpandMemo(const std::vector<std::string>& lines,
                                    const TfrCurrentView* view, bool textOnly = false);

// Appends `text` to `lines` as text: split at CR, LF and CR LF, a final break adding no line.
void AppendAsText(std::vector<std::string>& lines, std::string_view text);

}  // namespace kelpo::report
