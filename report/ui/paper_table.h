// The standard paper sizes the report engine knows by code, in tenths of a millimetre.
#pragma once

#include <array>

namespace kelpo::report {

// One standard paper: its platform code, a name, and its portrait width and height.
struct TPaperInfo {
  int Typ;
  const char* Name;
  int X;
  int Y;
};

// The code of a user-defined paper size; its width and height come with the page.
inline constexpr int kUserPaperSize = 256;
inline constexpr int PAPERCOUNT = 67;

// Codes 1 to 47 and 50 to 68 with their standard portrait sizes, then the user-defined code.
extern const std::array<TPaperInfo, PAPERCOUNT> PaperInfo;

// The entry of `code`, or null when the table has none.
const TPaperInfo* findPaper(int code);

}  // namespace kelpo::report
