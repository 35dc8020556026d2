// Context help of the report windows: a short text for each help tag, shown in a pop-up like a
// tool tip beside the control the user pointed at in help mode.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace kelpo::report {

// The help text for a control's help tag; empty when the tag has none.
QString frHelpText(int tag);
// The help tag a widget carries (its "HelpContext" property), 0 when it has none.
int helpTagOf(const QWidget* widget);
// Shows the text of `tag` at `global` (screen coordinates); false when the tag has no text.
bool showContextHelp(int tag, const QPoint& global, QWidget* control);

}  // namespace kelpo::report
