// Helpers of the output tests: memos made in a few lines, drawn alone into an image, and images
// kept for looking at when KELPO_KEEP_IMAGES names a folder.
#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "report/core/view.h"

namespace kelpo::report::testing {

// A memo at (x, y) of dx × dy layout units with the given (engine) text lines, no frame.
std::unique_ptr<TfrMemoView> makeMemo(int x, int y, int dx, int dy, TfrStrings text,
                                      const char* font = "Arial", int size = 10);

// Draws the memo (its expanded text as in a prepared page) on a white image of w × h pixels at
// scale 1, in output mode.
QImage drawAlone(TfrMemoView& memo, int w, int h);

// Saves the image under KELPO_KEEP_IMAGES (when set) as NAME.png, for a human to look at.
void keepImage(const QImage& image, const std::string& name);

// Bounding box of the pixels darker than mid-grey inside `area` (null when none).
QRect inkBox(const QImage& image, const QRect& area);

}  // namespace kelpo::report::testing
