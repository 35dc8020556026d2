// The preview's text search: the find dialog, F3, and bringing the found text into view.
#include <QApplication>
#include <QPainter>
#include <QScrollBar>

#include "platform/text.h"
#include "report/core/prepared_pages.h"
#include "report/core/view_painting.h"
#include "report/ui/preview_form.h"
#include "report/ui/preview_search_form.h"
#include "report/ui/text_recorder.h"
#include "ui_preview_form.h"

namespace kelpo::report {
namespace {

TfrPreviewForm::SearchDialog& searchDialog() {
  static TfrPreviewForm::SearchDialog dialog;
  return dialog;
}

}  // namespace

void TfrPreviewForm::setSearchDialog(SearchDialog dialog) { searchDialog() = std::move(dialog); }

void TfrPreviewForm::findClicked() {
  if (pageCount() == 0) return;
  TfrPreviewSearchForm dialog(this);
  const bool ok = searchDialog() ? searchDialog()(dialog) : dialog.exec() == QDialog::Accepted;
  if (!ok) return;
  caseSensitive_ = dialog.caseSensitive();
  findText_ = caseSensitive_ ? dialog.text() : dialog.text().toUpper();
  if (dialog.fromCurrentPage()) {
    continueFromCurrentPage();
  } else {
    searchPage_ = 0;
    resume_ = 0;
  }
  search();
}

void TfrPreviewForm::findNext() {
  if (pageCount() == 0 || findText_.isEmpty()) return;
  continueFromCurrentPage();
  search();
}

void TfrPreviewForm::continueFromCurrentPage() {
  // Still on the page of the last match: go on after it; elsewhere start at the page's top.
  if (currentPage_ - 1 != searchPage_) {
    searchPage_ = currentPage_ - 1;
    resume_ = 0;
  }
}

void TfrPreviewForm::search() {
  painting_ = false;
  found_ = false;
  QImage none(1, 1, QImage::Format_RGB32);
  while (searchPage_ < pageCount()) {
    TfrEMFPage& page = (*pages_)[searchPage_];
    const QSize full(page.prnInfo.pw, page.prnInfo.ph);
    TfrTextRecorder recorder(full);
    try {
      QPainter p(&recorder);
      page.visible = true;
      pages_->draw(searchPage_, p, QRect(QPoint(0, 0), full));
    } catch (const std::exception& e) {
      reportFailure(e, this);
    }
    const auto& texts = recorder.texts();
    for (int k = resume_; k < static_cast<int>(texts.size()) && !findText_.isEmpty(); ++k) {
      const QString t = caseSensitive_ ? texts[k].text : texts[k].text.toUpper();
      if (t.contains(findText_)) {
        found_ = true;
        foundRect_ = texts[k].rect;
        resume_ = k + 1;
        break;
      }
    }
    if (found_) {
      currentPage_ = searchPage_ + 1;
      updatePageText();
      scrollToFound();
      return;
    }
    page.visible = false;
    QPainter release(&none);
    pages_->draw(searchPage_, release, QRect());
    resume_ = 0;
    ++searchPage_;
  }
  painting_ = true;
}

void TfrPreviewForm::scrollToFound() {
  const double s = scale_;
  const QRect page = (*pages_)[currentPage_ - 1].previewRect;
  const int w = roundEven(foundRect_.width() * s), h = roundEven(foundRect_.height() * s);
  const int left = roundEven(foundRect_.left() * s), top = roundEven(foundRect_.top() * s);
  const int boxW = ui_->PBox->width(), boxH = ui_->PBox->height();
  ui_->VScrollBar->setValue(kGap + top + h > boxH ? page.top() + top + h - boxH
                                                  : page.top() - kGap);
  ui_->HScrollBar->setValue(kGap + left + w > boxW ? page.left() + left + w - boxW
                                                   : page.left() - kGap);
  QApplication::processEvents();
  painting_ = true;
  // Where the text really is after scrolling: the bars may have stopped short at their ends.
  highlight_ = QRect(page.left() + left + offsetX_, page.top() + top + offsetY_, w, h);
  ui_->PBox->repaint();
}

}  // namespace kelpo::report
