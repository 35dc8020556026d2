// Skinned scroll bars: TSkinScrollBar over the bars of a scrollable control, TSkinScControl
// for a stand-alone scroll bar. Arrows, shaft and thumb come from the skin; scrolling itself
// stays with the bar and its control.
#pragma once

#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include "skin/skin_control.h"
class QMouseEvent;

namespace kelpo::skin {

// A bar's scroll information with the maximum counting the page, as the thumb rules read it.
struct ScrollInfo {
  int min = 0, max = 0, page = 0, pos = 0, trackPos = 0;
};
ScrollInfo scrollInfoOf(const QScrollBar* bar);

// The parts along one bar. Thumb length 0: no thumb.
struct BarMetrics {
  int length = 0;  // along the bar
  int arrow = 0;   // b: the arrow length, the bar's thickness
  int track = 0;
  int thumb = 0;
  int offset = 0;  // thumb start after the first arrow
};

enum class BarPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

// The thumb of a scrollable control's bar: its page and range as the scroll information has
// them. `standAlone` uses the stand-alone bar's rule (range + 1 in the proportion).
BarMetrics barMetrics(int length, int arrow, const ScrollInfo& info, bool standAlone);
BarPart hitTestBar(const BarMetrics& m, int c);
// The position a thumb dragged to `offset` stands for.
int dragPosition(const BarMetrics& m, const ScrollInfo& info, int& offset);

// Pressed parts: 0 none, 1 left, 2 right, 3 up, 4 down, 5 horizontal thumb, 6 vertical thumb.
void paintBar(QPainter& p, TSkinData& data, const QRect& rect, bool horizontal, const BarMetrics& m,
              int pressedPart);

// One skinned bar widget: its painting, and presses on arrows, shaft and thumb driven from the
// painted geometry through the bar's own actions.
class SkinnedBar : public QObject {
  Q_OBJECT
 public:
  SkinnedBar(QScrollBar* bar, TSkinData* data, bool standAlone, bool dragging);
  // Null once the bar is being destroyed: events sent from its destructor must not treat it as
  // a scroll bar any more.
  QScrollBar* bar() const { return qobject_cast<QScrollBar*>(bar_.data()); }
  int pressedPart() const { return pressedPart_; }
  bool dragging() const { return dragging_; }
  BarMetrics metrics() const;
  // False consumes the event.
  bool handle(QEvent* event);

 private:
  bool horizontal() const;
  void press(QMouseEvent* event);
  void drag(QMouseEvent* event);
  void release();
  void repeat();
  void platformPress(QMouseEvent* event, const BarMetrics& m);
  void platformForward(QMouseEvent* event);

  QPointer<QObject> bar_;
  QPointer<TSkinData> data_;
  bool standAlone_;
  bool skinDragging_;
  int pressedPart_ = 0;
  bool dragging_ = false;
  int dragStartCursor_ = 0, dragStartOffset_ = 0, dragOffset_ = 0;
  int repeatAction_ = 0;
  bool platformDrag_ = false;
  QPoint platformShift_;
  QTimer repeatTimer_;
};

class TSkinScrollBar : public TSkinControl {
  Q_OBJECT
 public:
  // `dragging`: the skin drags the thumb (false for list views and grids).
  TSkinScrollBar(TSkinControlSet* owner, bool dragging);
  ~TSkinScrollBar() override;
  void attachToControl(QWidget* control, TSkinData* data, bool colour) override;
  void restore() override;
  bool skinDragging() const { return dragging_; }
  SkinnedBar* horizontalBar() const { return bars_[0].get(); }
  SkinnedBar* verticalBar() const { return bars_[1].get(); }
  // The box where both bars meet, in the control's coordinates; empty unless both show.
  QRect sizeGripBox() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void draw(QPainter& p, const QRect& rect) override;

 private:
  bool dragging_;
  std::unique_ptr<SkinnedBar> bars_[2];
};

class TSkinScControl : public TSkinControl {
  Q_OBJECT
 public:
  using TSkinControl::TSkinControl;
  void attachToControl(QWidget* control, TSkinData* data, bool colour) override;
  void restore() override;
  SkinnedBar* skinnedBar() const { return bar_.get(); }

 protected:
  bool beforeMessage(QEvent* event) override;

 private:
  std::unique_ptr<SkinnedBar> bar_;
};

}  // namespace kelpo::skin
