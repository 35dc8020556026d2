#include "report/ui/text_recorder.h"

#include <QPaintEngine>
#include <QTextItem>
#include <QTransform>

namespace kelpo::report {

class TfrTextRecorder::Engine : public QPaintEngine {
 public:
  explicit Engine(TfrTextRecorder& owner) : QPaintEngine(QPaintEngine::AllFeatures), owner_(owner) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }
  void updateState(const QPaintEngineState& state) override {
    if (state.state() & QPaintEngine::DirtyTransform) transform_ = state.transform();
  }
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
  void drawTextItem(const QPointF& p, const QTextItem& item) override {
    const QRectF box(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent());
    owner_.texts_.push_back({item.text(), transform_.mapRect(box).toAlignedRect()});
  }

 private:
  TfrTextRecorder& owner_;
  QTransform transform_;
};

TfrTextRecorder::TfrTextRecorder(QSize size) : size_(size), engine_(std::make_unique<Engine>(*this)) {}

TfrTextRecorder::~TfrTextRecorder() = default;

QPaintEngine* TfrTextRecorder::paintEngine() const { return engine_.get(); }

int TfrTextRecorder::metric(PaintDeviceMetric metric) const {
  switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return size_.width() * 254 / 960;
    case PdmHeightMM: return size_.height() * 254 / 960;
    case PdmNumColors: return 0x7fffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return 96;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return 0;
  }
}

}  // namespace kelpo::report
