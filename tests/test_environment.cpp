// Linked into every test program: the settings each test run needs, whoever starts it
// (ctest, a debugger, a plain shell), without depending on the caller's environment.
#include <cstdlib>

// Qt, fontconfig and the platform plugins keep one-time allocations until exit; they are
// not leaks of ours, so leak reports stay off while every other sanitizer check is fatal.
extern "C" const char* __asan_default_options() { return "detect_leaks=0:abort_on_error=1"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

namespace {
// Widget tests run without a display.
const int kOffscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0);
}  // namespace
