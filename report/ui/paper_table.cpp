// Sizes are those of the platform's standard paper codes; inch sizes are converted and rounded
// to the nearest tenth of a millimetre.
#include "report/ui/paper_table.h"

namespace kelpo::report {

const std::array<TPaperInfo, PAPERCOUNT> PaperInfo = {{
    {1, "Letter, 8 1/2 x 11 in", 2159, 2794},
    {2, "Letter Small, 8 1/2 x 11 in", 2159, 2794},
    {3, "Tabloid, 11 x 17 in", 2794, 4318},
    {4, "Ledger, 17 x 11 in", 4318, 2794},
    {5, "Legal, 8 1/2 x 14 in", 2159, 3556},
    {6, "Statement, 5 1/2 x 8 1/2 in", 1397, 2159},
    {7, "Executive, 7 1/4 x 10 1/2 in", 1842, 2667},
    {8, "A3, 297 x 420 mm", 2970, 4200},
    {9, "A4, 210 x 297 mm", 2100, 2970},
    {10, "A4 Small, 210 x 297 mm", 2100, 2970},
    {11, "A5, 148 x 210 mm", 1480, 2100},
    {12, "B4 (JIS), 257 x 364 mm", 2570, 3640},
    {13, "B5 (JIS), 182 x 257 mm", 1820, 2570},
    {14, "Folio, 8 1/2 x 13 in", 2159, 3302},
    {15, "Quarto, 215 x 275 mm", 2150, 2750},
    {16, "10 x 14 in", 2540, 3556},
    {17, "11 x 17 in", 2794, 4318},
    {18, "Note, 8 1/2 x 11 in", 2159, 2794},
    {19, "Envelope #9, 3 7/8 x 8 7/8 in", 984, 2254},
    {20, "Envelope #10, 4 1/8 x 9 1/2 in", 1048, 2413},
    {21, "Envelope #11, 4 1/2 x 10 3/8 in", 1143, 2635},
    {22, "Envelope #12, 4 3/4 x 11 in", 1207, 2794},
    {23, "Envelope #14, 5 x 11 1/2 in", 1270, 2921},
    {24, "C size sheet, 17 x 22 in", 4318, 5588},
    {25, "D size sheet, 22 x 34 in", 5588, 8636},
    {26, "E size sheet, 34 x 44 in", 8636, 11176},
    {27, "Envelope DL, 110 x 220 mm", 1100, 2200},
    {28, "Envelope C5, 162 x 229 mm", 1620, 2290},
    {29, "Envelope C3, 324 x 458 mm", 3240, 4580},
    {30, "Envelope C4, 229 x 324 mm", 2290, 3240},
    {31, "Envelope C6, 114 x 162 mm", 1140, 1620},
    {32, "Envelope C65, 114 x 229 mm", 1140, 2290},
    {33, "Envelope B4, 250 x 353 mm", 2500, 3530},
    {34, "Envelope B5, 176 x 250 mm", 1760, 2500},
    {35, "Envelope B6, 176 x 125 mm", 1760, 1250},
    {36, "Envelope Italy, 110 x 230 mm", 1100, 2300},
    {37, "Envelope Monarch, 3 7/8 x 7 1/2 in", 984, 1905},
    {38, "Envelope Personal, 3 5/8 x 6 1/2 in", 921, 1651},
    {39, "US Std Fanfold, 14 7/8 x 11 in", 3778, 2794},
    {40, "German Std Fanfold, 8 1/2 x 12 in", 2159, 3048},
    {41, "German Legal Fanfold, 8 1/2 x 13 in", 2159, 3302},
    {42, "B4 (ISO), 250 x 353 mm", 2500, 3530},
    {43, "Japanese Postcard, 100 x 148 mm", 1000, 1480},
    {44, "9 x 11 in", 2286, 2794},
    {45, "10 x 11 in", 2540, 2794},
    {46, "15 x 11 in", 3810, 2794},
    {47, "Envelope Invite, 220 x 220 mm", 2200, 2200},
    {50, "Letter Extra, 9 1/2 x 12 in", 2413, 3048},
    {51, "Legal Extra, 9 1/2 x 15 in", 2413, 3810},
    {52, "Tabloid Extra, 11.69 x 18 in", 2969, 4572},
    {53, "A4 Extra, 9.27 x 12.69 in", 2355, 3223},
    {54, "Letter Transverse, 8 1/2 x 11 in", 2159, 2794},
    {55, "A4 Transverse, 210 x 297 mm", 2100, 2970},
    {56, "Letter Extra Transverse, 9 1/2 x 12 in", 2413, 3048},
    {57, "Super A/A4, 227 x 356 mm", 2270, 3560},
    {58, "Super B/A3, 305 x 487 mm", 3050, 4870},
    {59, "Letter Plus, 8 1/2 x 12.69 in", 2159, 3223},
    {60, "A4 Plus, 210 x 330 mm", 2100, 3300},
    {61, "A5 Transverse, 148 x 210 mm", 1480, 2100},
    {62, "B5 (JIS) Transverse, 182 x 257 mm", 1820, 2570},
    {63, "A3 Extra, 322 x 445 mm", 3220, 4450},
    {64, "A5 Extra, 174 x 235 mm", 1740, 2350},
    {65, "B5 (ISO) Extra, 201 x 276 mm", 2010, 2760},
    {66, "A2, 420 x 594 mm", 4200, 5940},
    {67, "A3 Transverse, 297 x 420 mm", 2970, 4200},
    {68, "A3 Extra Transverse, 322 x 445 mm", 3220, 4450},
    {kUserPaperSize, "Custom", 0, 0},
}};

const TPaperInfo* findPaper(int code) {
  for (const TPaperInfo& p : PaperInfo)
    if (p.Typ == code) return &p;
  return nullptr;
}

}  // namespace kelpo::report
