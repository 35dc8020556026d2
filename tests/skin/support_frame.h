// A small skin with frame pieces, title-bar buttons and menu images of known sizes and
// colours, for the tests of skinned frames, menus and the manager; and a fixture that owns
// the application, a form carrying the skin data, and the manager.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

#include "skin/skin_data.h"

namespace kelpo::skin::testing {

// Colours the frame skin paints with, so rendered pixels tell which part drew them.
inline const QColor kLeftColour(200, 0, 0), kLeftInactive(100, 0, 0);
inline const QColor kRightColour(0, 0, 200);
inline const QColor kTopEdge(0, 0, 255), kTopMiddle(0, 160, 0), kTopInactive(0, 80, 0);
inline const QColor kBottomColour(120, 120, 0);
inline const QColor kCaptionActive(255, 255, 255), kCaptionInactive(255, 255, 0);
inline const QColor kButtonFrames[4] = {QColor(10, 10, 10), QColor(20, 20, 20), QColor(30, 30, 30),
                                        QColor(40, 40, 40)};
inline const QColor kMenuBarColour(0, 90, 90), kMenuBarText(250, 250, 0);
inline const QColor kMenuBackground(90, 0, 90), kMenuItem(0, 70, 140), kMenuItemSelected(60, 0, 0);

struct FrameSkinOptions {
  bool leftTrans = false;
  bool topTrans = false;
  bool bottomTrans = false;  // a magenta run at the bottom piece's left end
  bool menuImages = true;
};

// L 4, T 20 (fixed widths 25 and 25), R 3, B 4; buttons 16 x 14 with four frames each:
// close (x 20 from the right), maximise (x 38, not maximised), restore (x 38, maximised),
// minimise (x 56), each with visibility codes as a title bar uses them.
std::string frameSkinStream(const FrameSkinOptions& options = {});

class FrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;
  // A skin data component on `owner` with the frame skin, loaded, registered, skinning on.
  TSkinData* makeData(QWidget* owner, const FrameSkinOptions& options = {},
                      TSkinControls controls = TSkinControls::all());
  // Lets posted events (first layout, queued actions) run.
  static void settle();
  // The window as drawn, frame included.
  static QImage render(QWidget* window);
  static int countColour(const QImage& image, const QRect& area, const QColor& colour);

  std::unique_ptr<QWidget> owner;
  TSkinData* data = nullptr;
};

}  // namespace kelpo::skin::testing
