// Asks the desktop to open a web address or document with its default handler.
#pragma once

#include <QString>

namespace kelpo {

// The result is not reported: an address that cannot be opened is silently ignored.
void shellOpen(const QString& address);

// The folder of the running executable, with its trailing separator.
QString programFolder();

}  // namespace kelpo
