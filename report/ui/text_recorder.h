// A paint device that draws nothing and keeps every text output made on it, in drawing order,
// with its bounding rectangle: what the preview's search looks through.
#pragma once

#include <QPaintDevice>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

namespace kelpo::report {

struct TfrRecordedText {
  QString text;
  QRect rect;  // device pixels
};

class TfrTextRecorder : public QPaintDevice {
 public:
  // A device of `size` pixels at 96 dots per inch.
  explicit TfrTextRecorder(QSize size);
  ~TfrTextRecorder() override;

  const std::vector<TfrRecordedText>& texts() const { return texts_; }
  QPaintEngine* paintEngine() const override;

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  class Engine;
  friend class Engine;
  QSize size_;
  std::unique_ptr<Engine> engine_;
  std::vector<TfrRecordedText> texts_;
};

}  // namespace kelpo::report
