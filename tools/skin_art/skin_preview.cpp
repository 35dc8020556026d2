// Painting a sample window from the skin objects: frame pieces, caption, title-bar buttons and
// a few controls, each with the build its kind uses.
#include "tools/skin_art/skin_preview.h"

#include <QFont>
#include <QPainter>

#include "skin/skin_data.h"

namespace kelpo::skin::tools {
namespace {

void window(QPainter& p, TSkinData& data, QRect area, bool active) {
  const SkinObjects& s = *data.skin();
  TSkinPainter& painter = data.painter();
  const int frame = active ? 1 : 2;
  const int L = s.left->bitmap.width() / s.left->frameCount;
  const int R = s.right->bitmap.width() / s.right->frameCount;
  const int T = s.top->bitmap.height() / s.top->frameCount;
  const int B = s.bottom->bitmap.height() / s.bottom->frameCount;
  const int W = area.width(), H = area.height();
  p.save();
  p.translate(area.topLeft());
  p.fillRect(QRect(L, T, W - L - R, H - T - B), toQColor(s.colours.buttonFace));
  painter.drawNine(p, *s.left, frame, QRect(0, 0, L, H));
  painter.drawNine(p, *s.right, frame, QRect(W - R, 0, R, H));
  painter.drawNine(p, *s.bottom, frame, QRect(L, H - B, W - L - R, B), true);
  painter.drawNine(p, *s.top, frame, QRect(L, 0, W - L - R, T), true);

  // Caption text on its plate.
  QFont font(QStringLiteral("AR PL UMing CN"));
  font.setPixelSize(s.title->fontHeight);
  font.setBold(true);
  p.setFont(font);
  const QString text = QStringLiteral("Kelpo 家常菜谱");
  const int tw =
      p.fontMetrics().horizontalAdvance(text) + s.title->textBackLeft + s.title->textBackRight;
  const int x = L + s.title->leftWidth;
  p.drawImage(x, 0,
              painter.threeBuild(*s.title, s.title->bitmap, 2, frame, QSize(tw, T),
                                 s.title->textBackLeft, s.title->textBackRight, true, true));
  p.setPen(toQColor(active ? s.colours.titleTextActive : s.colours.titleTextNoActive));
  p.drawText(QRect(x + s.title->textBackLeft, s.title->topHeight / 2, tw, T),
             Qt::AlignVCenter | Qt::AlignLeft, text);

  // Close, maximise (greyed: the sample has no maximise box) and minimise.
  for (const auto& b : s.sysButtons) {
    if (b->bitmap.isNull() || b->align != 1) continue;
    const bool shown = b->action == 0 || b->action == 2 || b->name == "BUTTON.MAXIMIZEDISABLED";
    if (!shown) continue;
    const int w = b->bitmap.width() / b->frameCount;
    painter.drawFrame(p, *b, active ? 1 : (b->frameCount >= 4 ? 4 : 1),
                      QRect(W - b->xcoord, b->ycoord, w, b->bitmap.height()));
  }
  // Menu bar.
  if (s.menuBar) painter.drawNine(p, *s.menuBar, frame, QRect(L, T, W - L - R, 20));
  p.setFont(QFont(QStringLiteral("AR PL UMing CN"), -1));
  QFont small(QStringLiteral("AR PL UMing CN"));
  small.setPixelSize(13);
  p.setFont(small);
  p.setPen(toQColor(s.colours.menuBarText));
  p.drawText(QRect(L + 8, T, 200, 20), Qt::AlignVCenter, QStringLiteral("文件   查询   帮助"));

  // Controls: buttons in their states, marks, an edit, a combo, progress, a scroll bar.
  const int top = T + 32;
  const QString captions[] = {"添加", "按下", "不可用", "悬停"};
  for (int i = 0; i < 4; ++i) {
    const QRect r(L + 12 + i * 82, top, 75, 25);
    painter.drawNine(p, *s.button, i + 1, r);
    p.setPen(toQColor(i == 2 ? s.colours.buttonShadow : s.colours.buttonText));
    p.drawText(r, Qt::AlignCenter, captions[i]);
  }
  const TDataSkinButton& btn = *s.button;
  for (int i = 0; i < 4; ++i) {
    TDataSkinObject check;
    check.bitmap = btn.checkBitmap;
    check.frameCount = btn.checkFrame;
    check.trans = 1;
    painter.drawFrame(p, check, i + 1, QRect(L + 14 + i * 60, top + 40, 13, 13));
    TDataSkinObject radio;
    radio.bitmap = btn.radioBitmap;
    radio.frameCount = btn.radioFrame;
    radio.trans = 1;
    painter.drawFrame(p, radio, i + 1, QRect(L + 34 + i * 60, top + 40, 13, 13));
  }
  const QRect edit(L + 12, top + 66, 160, 22);
  p.fillRect(edit, Qt::white);
  painter.drawBorder(p, *s.sunkEdge, active ? 4 : 1, edit);
  p.setPen(toQColor(s.colours.windowText));
  p.drawText(edit.adjusted(5, 0, 0, 0), Qt::AlignVCenter, QStringLiteral("红烧肉"));
  const QRect combo(L + 184, top + 66, 140, 22);
  p.fillRect(combo, Qt::white);
  painter.drawBorder(p, *s.sunkEdge, 1, combo);
  painter.drawFrame(p, *s.comboButton, 1, QRect(combo.right() - 17, combo.top() + 1, 17, 20));
  const QRect bar(L + 12, top + 100, 312, 16);
  painter.drawNine(p, *s.progress, 1, bar);
  painter.drawNine(p, *s.progress, 2, QRect(bar.topLeft(), QSize(bar.width() * 6 / 10, 16)));
  // A vertical scroll bar on the right.
  const QRect sb(W - R - 18, T + 24, 16, H - T - B - 52);
  painter.drawNine(p, *s.vertScroll, 1, sb);
  painter.drawFrame(p, *s.scrollbar, 9, QRect(sb.left(), sb.top(), 16, 16));
  painter.drawFrame(p, *s.scrollbar, 13, QRect(sb.left(), sb.bottom() - 15, 16, 16));
  painter.drawNine(p, *s.vertScrollThumb, 1, QRect(sb.left(), sb.top() + 30, 16, 50));
  // Status bar.
  const QRect status(L, H - B - 22, W - L - R, 22);
  p.fillRect(status, toQColor(s.colours.buttonFace));
  painter.drawNine(p, *s.statusBar, 1, QRect(status.left() + 2, status.top() + 2, 150, 18));
  painter.drawNine(p, *s.statusBar, 1,
                   QRect(status.left() + 156, status.top() + 2, status.width() - 158, 18));
  p.restore();
}

}  // namespace

QImage skinPreview(TSkinData& data, int width, int height) {
  QImage image(width + 20, 2 * height + 30, QImage::Format_RGB32);
  image.fill(QColor(84, 110, 122));  // a desktop
  if (!data.skin()) return image;
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing);
  window(p, data, QRect(10, 10, width, height), true);
  window(p, data, QRect(10, height + 20, width, height), false);
  return image;
}

}  // namespace kelpo::skin::tools
