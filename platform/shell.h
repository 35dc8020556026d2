// Asks the desktop to open a web address or document with its default handler.
#pragma once

#include <QString>
#include <functional>

namespace kelpo {

// The result is not reported: an address that cannot be opened is silently ignored.
void shellOpen(const QString& address);
// Replaces the desktop for tests: every shellOpen goes to the hook instead (empty restores it).
void setShellOpenHook(std::function<void(const QString&)> hook);

// The folder of the running executable, with its trailing separator.
QString programFolder();

}  // namespace kelpo
