// Header sections from the skin's header image.
#include "skin/skin_header.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>

#include "skin/skin_data.h"

namespace kelpo::skin {

TSkinHeader::~TSkinHeader() { restore(); }

void TSkinHeader::attachToControl(QWidget* control, TSkinData* data, bool colour) {
  if (attached()) return;
  TSkinControl::attachToControl(control, data, colour);
  // The sections are painted on the header's viewport.
  if (auto* header = qobject_cast<QHeaderView*>(control)) watch(header->viewport());
}

bool TSkinHeader::eventFilter(QObject* watched, QEvent* event) {
  auto* header = qobject_cast<QHeaderView*>(control_.data());
  if (attached() && header && watched == header->viewport() && event->type() == QEvent::Paint) {
    const SkinObjects* s = skin();
    if (!s || !s->header || s->header->bitmap.isNull()) return false;
    drawSections(header->viewport());
    return true;
  }
  return TSkinControl::eventFilter(watched, event);
}

void TSkinHeader::drawSections(QWidget* viewport) {
  auto* header = qobject_cast<QHeaderView*>(control_.data());
  const TDataSkinObject& image = *skin()->header;
  QPainter p(viewport);
  p.setFont(header->font());
  p.setPen(toQColor(image.normalColour2));
  const bool horizontal = header->orientation() == Qt::Horizontal;
  const QRect all = viewport->rect();
  int end = 0;
  for (int visual = 0; visual < header->count(); ++visual) {
    const int logical = header->logicalIndex(visual);
    if (header->isSectionHidden(logical)) continue;
    const int start = header->sectionViewportPosition(logical);
    const int size = header->sectionSize(logical);
    const QRect r =
        horizontal ? QRect(start, 0, size, all.height()) : QRect(0, start, all.width(), size);
    data_->painter().drawNine(p, image, 1, r);
    end = std::max(end, start + size);
    if (!header->model()) continue;
    const QVariant text = header->model()->headerData(logical, header->orientation());
    const QVariant align =
        header->model()->headerData(logical, header->orientation(), Qt::TextAlignmentRole);
    const int flags = align.isValid() ? align.toInt() : int(header->defaultAlignment());
    const QVariant icon =
        header->model()->headerData(logical, header->orientation(), Qt::DecorationRole);
    QRect textRect = r.adjusted(4, 0, -4, 0);
    if (icon.canConvert<QIcon>() && !icon.value<QIcon>().isNull()) {
      const int side = std::min(16, r.height() - 2);
      icon.value<QIcon>().paint(
          &p, QRect(textRect.left(), r.top() + (r.height() - side) / 2, side, side));
      textRect.setLeft(textRect.left() + side + 2);
    }
    p.drawText(textRect, flags | Qt::AlignVCenter, text.toString());
  }
  // The space after the last section gets the same image.
  const QRect rest = horizontal ? QRect(end, 0, all.width() - end, all.height())
                                : QRect(0, end, all.width(), all.height() - end);
  if (rest.width() > 0 && rest.height() > 0) data_->painter().drawNine(p, image, 1, rest);
}

}  // namespace kelpo::skin
