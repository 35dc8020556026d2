// The program's start-up and message loop, kept apart from main() so tests can run it.
#pragma once

namespace kelpo {

class KelpoApplication;
class TFrmMain;

// Creates the catalogue window and the hidden about window, shows the catalogue window and
// runs the message loop until it closes. Returns the exit status: non-zero when the database
// cannot be opened or the tree cannot be built (each has been reported in a message box).
// `created`, when given, sees the catalogue window before the loop runs.
int runKelpo(KelpoApplication& app, void (*created)(TFrmMain&) = nullptr);

}  // namespace kelpo
