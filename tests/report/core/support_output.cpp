#include "tests/report/core/support_output.h"

#include <QDir>
#include <QPainter>
#include <cstdlib>

#include "platform/text.h"
#include "report/core/memo_view.h"

namespace kelpo::report::testing {

std::unique_ptr<TfrMemoView> makeMemo(int x, int y, int dx, int dy, TfrStrings text,
                                      const char* font, int size) {
  auto m = std::make_unique<TfrMemoView>();
  m->name = "Memo1";
  m->x = x, m->y = y, m->dx = dx, m->dy = dy;
  m->frameTyp = 0;
  m->font.name = utf8ToEngine(font);
  m->font.size = size;
  m->memo = text;
  m->memo1 = std::move(text);
  return m;
}

QImage drawAlone(TfrMemoView& memo, int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  image.fill(Qt::white);
  const TfrDocMode mode = frDocMode();
  frDocMode() = TfrDocMode::Output;
  {
    QPainter canvas(&image);
    memo.Paint(canvas);
  }
  frDocMode() = mode;
  return image;
}

void keepImage(const QImage& image, const std::string& name) {
  const char* dir = std::getenv("KELPO_KEEP_IMAGES");
  if (!dir || !*dir) return;
  QDir().mkpath(dir);
  image.save(QString::fromUtf8(dir) + "/" + QString::fromStdString(name) + ".png");
}

QRect inkBox(const QImage& image, const QRect& area) {
  QRect box;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

}  // namespace kelpo::report::testing
