#include "report/ui/preview_form.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QWheelEvent>
#include <cmath>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/prepared_pages.h"
#include "report/core/report.h"
#include "report/core/view_painting.h"
#include "report/ui/context_help.h"
#include "report/ui/preview_glyphs.h"
#include "report/ui/print_form.h"
#include "report/ui/printer.h"
#include "ui_preview_form.h"

namespace kelpo::report {
namespace {

constexpr int kReach = 2000;      // pages further below the view than this are not drawn
constexpr int kCurrentLine = 11;  // the current page is the one under this line of the view

TfrPreviewForm::FileDialog& fileDialog() {
  static TfrPreviewForm::FileDialog dialog;
  return dialog;
}

// "Report 文件 (*.frp)", the one file type of both dialogs.
QString reportFilter() { return QStringLiteral("Report 文件 (*.frp)"); }

struct ZoomEntry {
  const char* text;
  int tag;
};
constexpr ZoomEntry kZoomEntries[] = {
    {"200%", 200}, {"150%", 150}, {"100%", 100},   {"75%", 75},     {"50%", 50},
    {"25%", 25},   {"10%", 10},   {"页宽(&P)", 1}, {"全页(&W)", 2}, {"双页(&T)", 3}};

}  // namespace

void TfrPreviewForm::reportFailure(const std::exception& e, QWidget* parent) {
  const auto* engine = dynamic_cast<const Error*>(&e);
  showMessage(engine ? toQString(engine->message()) : QString::fromLocal8Bit(e.what()), parent);
}

// ---- page box ------------------------------------------------------------------------------

TfrPBox::TfrPBox(QWidget* parent) : QWidget(parent) {
  // The box paints every pixel itself, so the background is never erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

TfrPreviewForm* TfrPBox::form() const {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* f = qobject_cast<TfrPreviewForm*>(w)) return f;
  return nullptr;
}

void TfrPBox::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  if (TfrPreviewForm* f = form()) {
    f->paintBox(p, e->rect());
  } else {
    p.fillRect(e->rect(), QColor(128, 128, 128));
  }
}

void TfrPBox::mousePressEvent(QMouseEvent* e) {
  if (TfrPreviewForm* f = form()) f->boxMousePress(e);
}
void TfrPBox::mouseMoveEvent(QMouseEvent* e) {
  if (TfrPreviewForm* f = form()) f->boxMouseMove(e);
}
void TfrPBox::mouseReleaseEvent(QMouseEvent* e) {
  if (TfrPreviewForm* f = form()) f->boxMouseRelease(e);
}
void TfrPBox::mouseDoubleClickEvent(QMouseEvent*) {
  if (TfrPreviewForm* f = form()) f->boxDoubleClick();
}

// ---- window --------------------------------------------------------------------------------

double& TfrPreviewForm::lastScale() {
  static double scale = 1.0;
  return scale;
}

TfrPreviewZoom& TfrPreviewForm::lastZoom() {
  static TfrPreviewZoom zoom = TfrPreviewZoom::pzPercent;
  return zoom;
}

void TfrPreviewForm::setFileDialog(FileDialog dialog) { fileDialog() = std::move(dialog); }

TfrPreviewForm::TfrPreviewForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrPreviewForm>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("TfrPreviewForm"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  setFont(f);

  ui_->ZoomBtn->setGlyph(previewGlyph(PreviewGlyph::Zoom));
  ui_->LoadBtn->setGlyph(previewGlyph(PreviewGlyph::Open));
  ui_->SaveBtn->setGlyph(previewGlyph(PreviewGlyph::Save));
  ui_->PrintBtn->setGlyph(previewGlyph(PreviewGlyph::Print));
  ui_->FindBtn->setGlyph(previewGlyph(PreviewGlyph::Find));
  ui_->HelpBtn->setGlyph(previewGlyph(PreviewGlyph::Help));
  ui_->ExitBtn->setGlyph(previewGlyph(PreviewGlyph::Exit));
  ui_->PgUp->setGlyph(previewGlyph(PreviewGlyph::PageUp));
  ui_->PgDown->setGlyph(previewGlyph(PreviewGlyph::PageDown));
  ui_->ZoomBtn->setCaption(QStringLiteral("100%"));
  QPalette pal = ui_->PBox->palette();
  pal.setColor(QPalette::Window, QColor(128, 128, 128));
  ui_->PBox->setPalette(pal);
  ui_->ScrollBox1->setFocusPolicy(Qt::StrongFocus);

  zoomMenu_ = new QMenu(this);
  zoomMenu_->setObjectName(QStringLiteral("ProcMenu"));
  zoomGroup_ = new QActionGroup(zoomMenu_);
  zoomGroup_->setExclusive(true);
  for (const ZoomEntry& entry : kZoomEntries) {
    QAction* a = zoomMenu_->addAction(QString::fromUtf8(entry.text));
    a->setCheckable(true);
    a->setData(entry.tag);
    a->setChecked(entry.tag == 100);
    zoomGroup_->addAction(a);
    if (entry.tag == 10) zoomMenu_->addSeparator();
    connect(a, &QAction::triggered, this, [this, tag = entry.tag] { chooseZoom(tag); });
  }

  connect(ui_->ZoomBtn, &TfrSpeedButton::clicked, this,
          [this] { openZoomMenu(ui_->ZoomBtn->mapToGlobal(QPoint(0, ui_->ZoomBtn->height()))); });
  connect(ui_->LoadBtn, &TfrSpeedButton::clicked, this, &TfrPreviewForm::loadClicked);
  connect(ui_->SaveBtn, &TfrSpeedButton::clicked, this, &TfrPreviewForm::saveClicked);
  connect(ui_->PrintBtn, &TfrSpeedButton::clicked, this, [this] { printPages(); });
  connect(ui_->FindBtn, &TfrSpeedButton::clicked, this, &TfrPreviewForm::findClicked);
  // The help button stays down while the help pointer is up.
  ui_->HelpBtn->setGroupIndex(1);
  ui_->HelpBtn->setAllowAllUp(true);
  connect(ui_->HelpBtn, &TfrSpeedButton::clicked, this, &TfrPreviewForm::startHelpMode);
  connect(ui_->ExitBtn, &TfrSpeedButton::clicked, this, &QDialog::reject);
  connect(ui_->PgUp, &TfrSpeedButton::clicked, this, &TfrPreviewForm::pageUp);
  connect(ui_->PgDown, &TfrSpeedButton::clicked, this, &TfrPreviewForm::pageDown);
  connect(ui_->VScrollBar, &QScrollBar::valueChanged, this, &TfrPreviewForm::verticalMoved);
  connect(ui_->HScrollBar, &QScrollBar::valueChanged, this, &TfrPreviewForm::horizontalMoved);

  // Keys reach the window before any of its controls.
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  layoutPanels();
}

TfrPreviewForm::~TfrPreviewForm() {
  if (separateWindow_) writePlacement();
}

int TfrPreviewForm::pageCount() const { return pages_ ? pages_->count() : 0; }

QRect TfrPreviewForm::pageRect(int index) const { return (*pages_)[index].previewRect; }

int TfrPreviewForm::unpackedPageCount() const {
  int n = 0;
  for (int i = 0; i < pageCount(); ++i) n += (*pages_)[i].page != nullptr;
  return n;
}

QString TfrPreviewForm::pageText() const { return ui_->Label1->text(); }
QString TfrPreviewForm::linkText() const { return ui_->Label2->text(); }
QString TfrPreviewForm::zoomCaption() const { return ui_->ZoomBtn->caption(); }
QScrollBar* TfrPreviewForm::verticalBar() const { return ui_->VScrollBar; }
QScrollBar* TfrPreviewForm::horizontalBar() const { return ui_->HScrollBar; }
QWidget* TfrPreviewForm::pageBox() const { return ui_->PBox; }

void TfrPreviewForm::attach(TfrReport& report) {
  report_ = &report;
  pages_ = std::make_unique<TfrEMFPages>(&report);
  pages_->swap(report.emfPages);
  QString caption = QStringLiteral("预览");
  if (!report.Title.empty()) caption += QStringLiteral(" - ") + toQString(report.Title);
  setWindowTitle(caption);
  setupButtons();
  initView(true);
  ui_->VScrollBar->setValue(0);
  ui_->HScrollBar->setValue(0);
}

void TfrPreviewForm::ShowPreview(TfrReport& report, QWidget* parent) {
  auto form = std::make_unique<TfrPreviewForm>(parent);
  form->separateWindow_ = true;
  form->attach(report);
  form->readPlacement();
  if (report.ModalPreview) {
    form->exec();
    return;
  }
  // Without waiting: the window frees itself, and its pages, when it is closed.
  form->setAttribute(Qt::WA_DeleteOnClose);
  form.release()->show();
}

void TfrPreviewForm::setupButtons() {
  const int wanted = report_ ? report_->PreviewButtons : 0;
  const auto has = [wanted](int button) { return (wanted & button) != 0; };
  ui_->ZoomBtn->setVisible(has(pbZoom));
  ui_->Sep1->setVisible(has(pbZoom));
  ui_->LoadBtn->setVisible(has(pbLoad));
  ui_->SaveBtn->setVisible(has(pbSave));
  ui_->PrintBtn->setVisible(has(pbPrint));
  ui_->PageSetupBtn->setVisible(has(pbPageSetup));
  ui_->FindBtn->setVisible(has(pbFind));
  // Help and close belong to a toolbar in its own window, which this one always is.
  ui_->HelpBtn->setVisible(has(pbHelp));
  ui_->ExitBtn->setVisible(has(pbExit));
  ui_->Sep3->setVisible(has(pbFind) || has(pbHelp));
  layoutToolbar();
  // Print needs an installed printer.
  TfrPrinter* printer = frPrinter();
  ui_->PrintBtn->setEnabled(printer && printer->virtualPrinterIndex() > 0);
  switch (report_ ? report_->InitialZoom : TfrPreviewInitialZoom::pzDefault) {
    case TfrPreviewInitialZoom::pzPageWidth:
      lastZoom() = TfrPreviewZoom::pzPageWidth;
      break;
    case TfrPreviewInitialZoom::pzOnePage:
      lastZoom() = TfrPreviewZoom::pzOnePage;
      break;
    case TfrPreviewInitialZoom::pzTwoPages:
      lastZoom() = TfrPreviewZoom::pzTwoPages;
      break;
    case TfrPreviewInitialZoom::pzDefault:
      break;
  }
  const bool grayed = report_ && report_->GrayedButtons;
  for (TfrSpeedButton* b : ui_->Panel1->findChildren<TfrSpeedButton*>())
    b->setGrayedInactive(grayed);
}

void TfrPreviewForm::layoutToolbar() {
  // The visible buttons and separators line up from the left, in their order on the bar.
  static constexpr const char* kOrder[] = {"ZoomBtn",  "Sep1",         "LoadBtn", "SaveBtn",
                                           "PrintBtn", "PageSetupBtn", "Sep2",    "FindBtn",
                                           "HelpBtn",  "Sep3",         "ExitBtn"};
  int x = 4;
  for (const char* name : kOrder) {
    QWidget* w = ui_->Panel1->findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!w || w->isHidden()) continue;
    w->move(x, 6);
    x += w->width();
  }
}

void TfrPreviewForm::initView(bool reset) {
  scale_ = lastScale();
  zoom_ = lastZoom();
  markZoomEntry();
  if (reset) {
    currentPage_ = 1;
    offsetX_ = offsetY_ = 0;
    lastX_ = lastY_ = 0;
    const QSignalBlocker v(ui_->VScrollBar), h(ui_->HScrollBar);
    ui_->VScrollBar->setValue(0);
    ui_->HScrollBar->setValue(0);
  }
  updatePageText();
  arrangePages();
  if (pages_) {
    QImage none(1, 1, QImage::Format_RGB32);
    QPainter p(&none);
    for (int i = 0; i < pages_->count(); ++i) {
      (*pages_)[i].visible = false;
      pages_->draw(i, p, QRect());
    }
  }
  ui_->PBox->update();
}

void TfrPreviewForm::markZoomEntry() {
  int tag = 0;
  switch (zoom_) {
    case TfrPreviewZoom::pzPageWidth:
      tag = 1;
      break;
    case TfrPreviewZoom::pzOnePage:
      tag = 2;
      break;
    case TfrPreviewZoom::pzTwoPages:
      tag = 3;
      break;
    case TfrPreviewZoom::pzPercent:
      tag = roundEven(scale_ * 100);
      break;
  }
  for (QAction* a : zoomGroup_->actions())
    if (a->data().toInt() == tag) a->setChecked(true);
}

void TfrPreviewForm::layoutPanels() {
  // Inside the contents rectangle: a frame drawn around the window takes the margins.
  const QRect c = contentsRect();
  const int w = c.width(), h = c.height(), x = c.x(), y = c.y();
  ui_->Panel1->setGeometry(x, y, w, 42);
  ui_->Bevel3->setGeometry(0, 0, w, 2);
  ui_->BPanel->setGeometry(x, y + h - 18, w, 18);
  ui_->RPanel->setGeometry(x + w - 16, y + 42, 16, h - 42 - 18);
  ui_->ScrollBox1->setGeometry(x, y + 42, w - 16, h - 42 - 18);
  ui_->PBox->setGeometry(0, 0, ui_->ScrollBox1->width(), ui_->ScrollBox1->height());
  const int rh = ui_->RPanel->height();
  ui_->PgDown->setGeometry(0, rh - 16, 16, 16);
  ui_->PgUp->setGeometry(0, rh - 32, 16, 16);
  ui_->VScrollBar->setGeometry(0, 0, 16, std::max(0, rh - 32 - 1));
  const int hx = ui_->HScrollBar->x();
  ui_->HScrollBar->setGeometry(hx, 0,
                               std::max(0, w - hx - (ui_->RPanel->isVisibleTo(this) ? 16 : 0)), 18);
}

void TfrPreviewForm::arrangePages() {
  if (pageCount() == 0) return;
  painting_ = false;
  const TfrEMFPage& current = (*pages_)[currentPage_ - 1];
  const double pw = current.prnInfo.pw, ph = current.prnInfo.ph;
  const int boxW = ui_->PBox->width(), boxH = ui_->PBox->height();
  if (pw > 0 && ph > 0) {
    switch (zoom_) {
      case TfrPreviewZoom::pzPageWidth:
        scale_ = (boxW - 20) / pw;
        break;
      case TfrPreviewZoom::pzOnePage:
        scale_ = (boxH - 20) / ph;
        break;
      case TfrPreviewZoom::pzTwoPages:
        scale_ = (boxW - 30) / (2 * pw);
        break;
      case TfrPreviewZoom::pzPercent:
        break;
    }
  }
  markZoomEntry();
  ui_->ZoomBtn->setCaption(QString::number(roundEven(scale_ * 100)) + QLatin1Char('%'));

  int columns = 0;
  {
    int x = kGap, c = 0;
    for (int i = 0; i < pages_->count(); ++i) {
      const int edge = x + kGap + roundEven((*pages_)[i].prnInfo.pw * scale_);
      if (edge > boxW) {
        columns = std::max(columns, c);
        x = kGap;
        c = 0;
      } else {
        x = edge;
        ++c;
      }
      if (i == pages_->count() - 1) columns = std::max(columns, c);
    }
  }
  columns = std::max(columns, 1);
  if (zoom_ == TfrPreviewZoom::pzOnePage) columns = 1;
  if (zoom_ == TfrPreviewZoom::pzTwoPages) columns = 2;

  int y = kGap, right = 0, bottom = 0;
  for (int i = 0; i < pages_->count(); i += columns) {
    int x = kGap, rowBottom = y;
    for (int k = i; k < std::min(i + columns, pages_->count()); ++k) {
      TfrEMFPage& page = (*pages_)[k];
      const int w = roundEven(page.prnInfo.pw * scale_);
      const int h = roundEven(page.prnInfo.ph * scale_);
      const int left = columns == 1 && w < boxW ? (boxW - w) / 2 : x;
      page.previewRect = QRect(left, y, w, h);
      x += w + kGap;
      rowBottom = std::max(rowBottom, y + h);
      right = std::max(right, left + w);
      bottom = std::max(bottom, y + h);
    }
    y = rowBottom + kGap;
  }

  layoutPanels();
  const int hMax = std::max(0, right - boxW + kGap);
  const int vMax = std::max(0, bottom - boxH + kGap);
  ui_->HScrollBar->setMaximum(hMax);
  ui_->HScrollBar->setEnabled(hMax > 0);
  ui_->VScrollBar->setMaximum(vMax);
  ui_->VScrollBar->setEnabled(vMax > 0);
  if (isVisible()) ui_->ScrollBox1->setFocus();
  showPageNo();
  painting_ = true;
}

void TfrPreviewForm::showPageNo() {
  if (pageCount() == 0) return;
  const int top = (*pages_)[currentPage_ - 1].previewRect.top() - kGap;
  if (ui_->VScrollBar->value() != top) {
    // The current page is chosen here, not by the scroll rule.
    const int keep = currentPage_;
    ui_->VScrollBar->setValue(top);
    currentPage_ = keep;
    updatePageText();
  }
}

void TfrPreviewForm::updatePageText() {
  ui_->Label1->setText(
      pageCount() == 0 ? QString() : QStringLiteral("页 %1/%2").arg(currentPage_).arg(pageCount()));
}

void TfrPreviewForm::verticalMoved(int position) {
  offsetY_ = -position;
  ui_->PBox->scroll(0, lastY_ - position);
  lastY_ = position;
  if (pageCount() == 0) return;
  const int line = position + kCurrentLine;
  for (int i = 0; i < pages_->count(); ++i) {
    const QRect r = (*pages_)[i].previewRect;
    if (r.top() < line && r.top() + r.height() > line) {
      currentPage_ = i + 1;
      break;
    }
  }
  updatePageText();
}

void TfrPreviewForm::horizontalMoved(int position) {
  offsetX_ = -position;
  ui_->PBox->scroll(lastX_ - position, 0);
  lastX_ = position;
}

QRect TfrPreviewForm::drawRect(int index) const {
  const TfrEMFPage& page = (*pages_)[index];
  const QRect r = page.previewRect.translated(offsetX_, offsetY_);
  if (page.useMargins) return r;
  const TfrPrnInfo& m = page.prnInfo;
  return QRect(r.left() + roundEven((m.ofpx + page.margins[0]) * scale_),
               r.top() + roundEven((m.ofpy + page.margins[1]) * scale_),
               roundEven((m.ppw - page.margins[0] - page.margins[2]) * scale_),
               roundEven((m.pph - page.margins[1] - page.margins[3]) * scale_));
}

void TfrPreviewForm::paintBox(QPainter& p, const QRect& area) {
  if (!painting_) return;
  if (pageCount() == 0) {
    p.fillRect(area, palette().color(QPalette::Button));
    return;
  }
  const int boxH = ui_->PBox->height();
  QRegion grey(area);
  for (int i = 0; i < pages_->count(); ++i) {
    TfrEMFPage& page = (*pages_)[i];
    const QRect r = page.previewRect.translated(offsetX_, offsetY_);
    if (r.top() > boxH + kReach || r.bottom() < 0) {
      page.visible = false;
    } else {
      page.visible = r.intersects(area);
    }
    if (page.visible) grey -= r.adjusted(1, 1, -1, -1);
  }
  p.setClipRegion(grey);
  p.fillRect(area, QColor(128, 128, 128));
  p.setClipping(false);
  for (int i = 0; i < pages_->count(); ++i) {
    const TfrEMFPage& page = (*pages_)[i];
    if (!page.visible) continue;
    const QRect r = page.previewRect.translated(offsetX_, offsetY_);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    // The shadow along the bottom and up the right edge.
    p.drawLine(r.left() + 1, r.bottom() + 1, r.right() + 1, r.bottom() + 1);
    p.drawLine(r.right() + 1, r.bottom() + 1, r.right() + 1, r.top() + 1);
  }
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < pages_->count(); ++i) {
    TfrEMFPage& page = (*pages_)[i];
    try {
      if (page.visible) {
        p.save();
        p.setClipRect(area);
        pages_->draw(i, p, drawRect(i));
        p.restore();
      } else if (page.page) {
        // Out of reach: drawing into nothing frees the page's unpacked objects. Pages holding
        // none are skipped, so a long report costs little per paint.
        pages_->draw(i, p, QRect());
      }
    } catch (const std::exception&) {
      // A page whose objects cannot be read stays blank rather than stopping the repaint.
      if (page.visible) p.restore();
    }
  }
  if (!highlight_.isEmpty()) {
    // The found text, inverted once; the next repaint of the area takes it away again.
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(highlight_, Qt::white);
    highlight_ = QRect();
  }
}

// ---- mouse ---------------------------------------------------------------------------------

void TfrPreviewForm::boxMousePress(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    openZoomMenu(e->globalPosition().toPoint());
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  if (ignorePress_) {
    ignorePress_ = false;
    return;
  }
  if (pageCount() == 0) return;
  lastClicked_ = currentPage_;
  const QPoint at = e->position().toPoint() - QPoint(offsetX_, offsetY_);
  for (int i = 0; i < pages_->count(); ++i) {
    const QRect r = (*pages_)[i].previewRect;
    if (!r.contains(at)) continue;
    lastClicked_ = i + 1;
    const QPoint inPage(roundEven((at.x() - r.left()) / scale_),
                        roundEven((at.y() - r.top()) / scale_));
    TfrHitResult hit;
    try {
      hit = pages_->hitTest(i, inPage, true);
    } catch (const std::exception& ex) {
      reportFailure(ex, this);
      return;
    }
    if (hit.found && (hit.handled || !hit.link.empty())) {
      if (!hit.link.empty()) followPageLink(hit.link);
      return;
    }
  }
  dragging_ = true;
  dragLast_ = e->position().toPoint();
  currentPage_ = lastClicked_;
  updatePageText();
}

void TfrPreviewForm::followPageLink(const std::string& link) {
  if (pageCount() == 0) return;
  const std::size_t at = link.find('@');
  if (at == std::string::npos || at + 1 >= link.size()) return;
  int n = 0;
  try {
    std::size_t used = 0;
    n = std::stoi(link.substr(at + 1), &used);
    if (used != link.size() - at - 1) throw std::invalid_argument(link);
  } catch (const std::exception&) {
    showMessage(
        QStringLiteral("'%1' is not a valid integer value").arg(toQString(link.substr(at + 1))),
        this);
    return;
  }
  if (n <= 0) n = 1;
  if (n > pageCount()) return;
  currentPage_ = n;
  updatePageText();
  showPageNo();
}

void TfrPreviewForm::boxMouseMove(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (dragging_) {
    ui_->HScrollBar->setValue(ui_->HScrollBar->value() + dragLast_.x() - pos.x());
    ui_->VScrollBar->setValue(ui_->VScrollBar->value() + dragLast_.y() - pos.y());
    dragLast_ = pos;
    return;
  }
  if (pageCount() == 0) return;
  const QPoint at = pos - QPoint(offsetX_, offsetY_);
  for (int i = 0; i < pages_->count(); ++i) {
    const QRect r = (*pages_)[i].previewRect;
    if (!r.contains(at)) continue;
    const QPoint inPage(roundEven((at.x() - r.left()) / scale_),
                        roundEven((at.y() - r.top()) / scale_));
    TfrHitResult hit;
    try {
      hit = pages_->hitTest(i, inPage, false);
    } catch (const std::exception&) {
      return;
    }
    ui_->PBox->setCursor(hit.handCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QString text = toQString(hit.link);
    const std::size_t mark = hit.link.find('@');
    if (mark != std::string::npos)
      text = QStringLiteral("页 ") + toQString(hit.link.substr(mark + 1));
    ui_->Label2->setText(text);
    return;
  }
}

void TfrPreviewForm::boxMouseRelease(QMouseEvent*) { dragging_ = false; }

void TfrPreviewForm::boxDoubleClick() {
  dragging_ = false;
  ignorePress_ = true;
  if (lastClicked_ > 0 && lastClicked_ <= pageCount()) {
    currentPage_ = lastClicked_;
    updatePageText();
    showPageNo();
  }
}

void TfrPreviewForm::openZoomMenu(QPoint global) { zoomMenu_->popup(global); }

// ---- zoom, paging, keys ---------------------------------------------------------------------

void TfrPreviewForm::chooseZoom(int tag) {
  offsetX_ = 0;
  switch (tag) {
    case 1:
      zoom_ = TfrPreviewZoom::pzPageWidth;
      break;
    case 2:
      zoom_ = TfrPreviewZoom::pzOnePage;
      break;
    case 3:
      zoom_ = TfrPreviewZoom::pzTwoPages;
      break;
    default:
      zoom_ = TfrPreviewZoom::pzPercent;
      scale_ = tag / 100.0;
  }
  markZoomEntry();
  ui_->HScrollBar->setValue(0);
  arrangePages();
  lastScale() = scale_;
  lastZoom() = zoom_;
  ui_->PBox->update();
}

void TfrPreviewForm::pageUp() {
  if (pageCount() == 0) return;
  if (currentPage_ > 1) --currentPage_;
  updatePageText();
  showPageNo();
}

void TfrPreviewForm::pageDown() {
  if (pageCount() == 0) return;
  if (currentPage_ < pageCount()) ++currentPage_;
  updatePageText();
  showPageNo();
}

void TfrPreviewForm::wheelScroll(int angleDelta) {
  if (pageCount() == 0) return;
  // Fine-grained wheels and touch pads report parts of a notch: they add up to whole notches
  // instead of being lost.
  wheelRest_ += angleDelta;
  const int notches = wheelRest_ / 120;
  wheelRest_ -= notches * 120;
  QScrollBar* v = ui_->VScrollBar;
  v->setValue(v->value() - notches * v->singleStep() * wheelFactor_);
}

// ---- context help --------------------------------------------------------------------------

void TfrPreviewForm::startHelpMode() {
  helpMode_ = true;
  ui_->HelpBtn->setDown(true);
  // Every press in the window comes here while the help pointer is shown.
  grabMouse(Qt::WhatsThisCursor);
}

void TfrPreviewForm::endHelpMode() {
  if (!helpMode_) return;
  helpMode_ = false;
  releaseMouse();
  ui_->HelpBtn->setDown(false);
}

void TfrPreviewForm::helpPress(QWidget* target, const QPoint& global) {
  endHelpMode();
  // The pop-up waits for the button's release: a tool tip goes away at any mouse button event.
  helpTarget_ = target == ui_->HelpBtn ? nullptr : target;
  helpAt_ = global;
  helpPending_ = true;
}

bool TfrPreviewForm::eventFilter(QObject* watched, QEvent* e) {
  if (helpMode_ &&
      (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w == this || isAncestorOf(w)) {
      // The press only chooses the control whose help is wanted; the control does not act.
      const auto* me = static_cast<QMouseEvent*>(e);
      const QPoint global = me->globalPosition().toPoint();
      if (w == this) w = childAt(me->position().toPoint());
      helpPress(w, global);
      return true;
    }
  }
  if (helpPending_ && e->type() == QEvent::MouseButtonRelease) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w == this || isAncestorOf(w)) {
      helpPending_ = false;
      if (helpTarget_) showContextHelp(helpTagOf(helpTarget_), helpAt_, helpTarget_);
      helpTarget_ = nullptr;
      return true;
    }
  }
  if (e->type() == QEvent::Wheel &&
      (watched == this || isAncestorOf(qobject_cast<QWidget*>(watched)))) {
    // The wheel scrolls the pages wherever the pointer is, scroll bars included, as the scroll
    // box holding the focus takes it.
    wheelScroll(static_cast<QWheelEvent*>(e)->angleDelta().y());
    return true;
  }
  if (e->type() == QEvent::KeyPress &&
      (watched == this || isAncestorOf(qobject_cast<QWidget*>(watched))))
    return handleKey(static_cast<QKeyEvent*>(e));
  return QDialog::eventFilter(watched, e);
}

bool TfrPreviewForm::handleKey(QKeyEvent* e) {
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  const int key = e->key();
  if (key == Qt::Key_Escape) {
    reject();
    return true;
  }
  QScrollBar* v = ui_->VScrollBar;
  QScrollBar* h = ui_->HScrollBar;
  if (pageCount() == 0)
    return ctrl || key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left ||
           key == Qt::Key_Right || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
           key == Qt::Key_Space || key == Qt::Key_F3;
  if (ctrl) {
    switch (key) {
      case Qt::Key_PageUp:
        pageUp();
        break;
      case Qt::Key_PageDown:
        pageDown();
        break;
      case Qt::Key_Home:
        v->setValue(0);
        break;
      case Qt::Key_End:
        currentPage_ = pageCount();
        updatePageText();
        showPageNo();
        break;
      case Qt::Key_O:
        loadClicked();
        break;
      case Qt::Key_F:
        findClicked();
        break;
      case Qt::Key_S:
        saveClicked();
        break;
      case Qt::Key_P:
        if (ui_->PrintBtn->isEnabled()) printPages();
        break;
      default:
        break;  // any other Ctrl combination is swallowed
    }
    return true;
  }
  switch (key) {
    case Qt::Key_Up:
      v->setValue(v->value() - v->singleStep());
      return true;
    case Qt::Key_Down:
      v->setValue(v->value() + v->singleStep());
      return true;
    case Qt::Key_Left:
      h->setValue(h->value() - h->singleStep());
      return true;
    case Qt::Key_Right:
      h->setValue(h->value() + h->singleStep());
      return true;
    case Qt::Key_PageUp:
      v->setValue(v->value() - v->pageStep());
      return true;
    case Qt::Key_PageDown:
      v->setValue(v->value() + v->pageStep());
      return true;
    case Qt::Key_F3:
      findNext();
      return true;
    case Qt::Key_Space:
      openZoomMenu(ui_->ZoomBtn->mapToGlobal(QPoint(0, ui_->ZoomBtn->height())));
      return true;
    default:
      return false;
  }
}

void TfrPreviewForm::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  layoutPanels();
  arrangePages();
}

void TfrPreviewForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  ui_->ScrollBox1->setFocus();
}

void TfrPreviewForm::hideEvent(QHideEvent* e) {
  // Closing in help mode (Escape) must not leave the mouse captured.
  endHelpMode();
  QDialog::hideEvent(e);
}

// ---- files and printing ---------------------------------------------------------------------

void TfrPreviewForm::giveBack() {
  report_->emfPages.clear();
  report_->emfPages.swap(*pages_);
}

void TfrPreviewForm::takeAgain() { pages_->swap(report_->emfPages); }

void TfrPreviewForm::loadClicked() {
  if (pageCount() == 0 || !report_) return;
  const QString name = fileDialog() ? fileDialog()(false, reportFilter())
                                    : QFileDialog::getOpenFileName(this, {}, {}, reportFilter());
  if (!name.isEmpty()) openFile(name);
}

void TfrPreviewForm::saveClicked() {
  if (pageCount() == 0 || !report_) return;
  const QString name = fileDialog() ? fileDialog()(true, reportFilter())
                                    : QFileDialog::getSaveFileName(this, {}, {}, reportFilter());
  if (!name.isEmpty()) saveFile(name);
}

void TfrPreviewForm::openFile(const QString& fileName) {
  if (!report_) return;
  pages_->clear();
  giveBack();
  try {
    report_->LoadPreparedReport(fromQString(fileName));
  } catch (const std::exception& e) {
    // The old pages are gone and the file's are not taken: the window is left without pages.
    report_->emfPages.clear();
    takeAgain();
    ui_->PBox->update();
    updatePageText();
    reportFailure(e, this);
    return;
  }
  takeAgain();
  currentPage_ = 1;
  arrangePages();
  updatePageText();
  showPageNo();
  ui_->PBox->update();
}

void TfrPreviewForm::saveFile(const QString& fileName) {
  if (pageCount() == 0 || !report_) return;
  const QFileInfo info(fileName);
  const QString target =
      info.suffix().isEmpty()
          ? fileName + QStringLiteral(".frp")
          : info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".frp");
  giveBack();
  try {
    report_->SavePreparedReport(fromQString(target));
  } catch (const std::exception& e) {
    takeAgain();
    reportFailure(e, this);
    return;
  }
  takeAgain();
}

bool TfrPreviewForm::printPages() {
  if (pageCount() == 0 || !report_) return false;
  TfrPrintForm dialog(this);
  dialog.setCopies(report_->DefaultCopies);
  dialog.setCollate(report_->DefaultCollate);
  // Without the dialog the presets print all pages on the current printer.
  if (report_->ShowPrintDialog && !dialog.ask()) return false;
  bool done = false;
  giveBack();
  try {
    done = dialog.print(*report_, currentPage_);
  } catch (const std::exception& e) {
    reportFailure(e, this);
  }
  takeAgain();
  initView(false);
  return done;
}

// ---- placement -----------------------------------------------------------------------------

namespace {
const QString kFormGroup = QStringLiteral("Form/TfrPreviewForm");
}  // namespace

void TfrPreviewForm::readPlacement() {
  QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KelpoReport"));
  s.beginGroup(kFormGroup);
  const bool maximized =
      s.value(QStringLiteral("Maximized"), QStringLiteral("1")).toString() != QLatin1String("0");
  const QRect screen = QApplication::primaryScreen()
                           ? QApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 800, 600);
  const int w = s.value(QStringLiteral("Width"), screen.width() * 3 / 4).toInt();
  const int h = s.value(QStringLiteral("Height"), screen.height() * 3 / 4).toInt();
  const int y = s.value(QStringLiteral("YPosition"), screen.top() + screen.height() / 8).toInt();
  const int x = s.value(QStringLiteral("XPosition"), screen.left() + screen.width() / 8).toInt();
  setGeometry(x, y, std::max(w, 200), std::max(h, 150));
  if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrPreviewForm::writePlacement() {
  QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KelpoReport"));
  s.beginGroup(kFormGroup);
  const QRect g = isMaximized() ? normalGeometry() : geometry();
  s.setValue(QStringLiteral("XPosition"), QString::number(g.x()));
  s.setValue(QStringLiteral("YPosition"), QString::number(g.y()));
  s.setValue(QStringLiteral("Width"), QString::number(g.width()));
  s.setValue(QStringLiteral("Height"), QString::number(g.height()));
  s.setValue(QStringLiteral("Maximized"),
             isMaximized() ? QStringLiteral("1") : QStringLiteral("0"));
}

void installPreviewForm() {
  TfrReport::setPreviewHook(
      [](TfrReport& report) { TfrPreviewForm::ShowPreview(report, QApplication::activeWindow()); });
}

}  // namespace kelpo::report
