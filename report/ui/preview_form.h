// The preview window: shows a report's prepared pages, zooms, scrolls and pages through them,
// follows links, opens and saves prepared-report files and prints.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

class QActionGroup;
class QMenu;
class QScrollBar;

namespace Ui {
class TfrPreviewForm;
}

namespace kelpo::report {

class TfrReport;
class TfrEMFPages;
class TfrPreviewForm;
class TfrPreviewSearchForm;

// The page box: a borderless panel on which the pages are drawn; its owner window paints it and
// takes its mouse.
class TfrPBox : public QWidget {
  Q_OBJECT
 public:
  explicit TfrPBox(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  TfrPreviewForm* form() const;
};

enum class TfrPreviewZoom { pzPercent, pzPageWidth, pzOnePage, pzTwoPages };

class TfrPreviewForm : public QDialog {
  Q_OBJECT
  friend class TfrPBox;

 public:
  explicit TfrPreviewForm(QWidget* parent = nullptr);
  ~TfrPreviewForm() override;

  // Takes the report's prepared pages (the report keeps an empty list), sets up the buttons and
  // initialises the view. `exec()` or `show()` follows.
  void attach(TfrReport& report);
  // attach, then the placement from the settings and the modal run; the window is gone after.
  static void ShowPreview(TfrReport& report, QWidget* parent = nullptr);

  // The zoom the next preview starts from (the last one chosen in any preview).
  static double& lastScale();
  static TfrPreviewZoom& lastZoom();

  // View state, for the status and for tests.
  int pageCount() const;
  int currentPage() const { return currentPage_; }
  double scale() const { return scale_; }
  TfrPreviewZoom zoomMode() const { return zoom_; }
  // A page's rectangle in arrangement coordinates (0-based index).
  QRect pageRect(int index) const;
  // Pages whose objects are read back from their streams at the moment: only pages in view stay
  // unpacked, so long reports do not fill the memory.
  int unpackedPageCount() const;
  QString pageText() const;
  QString linkText() const;
  QString zoomCaption() const;
  QScrollBar* verticalBar() const;
  QScrollBar* horizontalBar() const;
  QWidget* pageBox() const;
  QMenu* zoomMenu() const { return zoomMenu_; }

  // Zoom menu entry with tag (percent, or 1, 2, 3 for page width, whole page, two pages).
  void chooseZoom(int tag);
  // Opens / saves a prepared-report file without the file dialog.
  void openFile(const QString& fileName);
  void saveFile(const QString& fileName);
  // Prints every page on the current printer; false when there was nothing to print on.
  bool printPages();
  // Follows a page link ("@n") as a click on it would.
  void followPageLink(const std::string& link);
  void pageUp();
  void pageDown();
  // The wheel over the pages: `angleDelta` in eighths of a degree (120 per notch).
  void wheelScroll(int angleDelta);

  // Context help (the help button): the help pointer until the next press in the window, which
  // shows the help text of the control pressed.
  void startHelpMode();
  bool helpMode() const { return helpMode_; }

  // Search: the dialog (find button, Ctrl+F), then the search; F3 goes on from the last match.
  void findClicked();
  void findNext();
  bool found() const { return found_; }
  // The rectangle of the found text on its page, in layout units at 100%.
  QRect foundRect() const { return foundRect_; }
  // Replaces the search dialog's modal run: fills the dialog and says whether it was confirmed.
  using SearchDialog = std::function<bool(TfrPreviewSearchForm& dialog)>;
  static void setSearchDialog(SearchDialog dialog);

  // Replaces the open and save dialogs: gets (save?) and returns the chosen name or empty.
  using FileDialog = std::function<QString(bool save, const QString& filter)>;
  static void setFileDialog(FileDialog dialog);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  static constexpr int kGap = 10;  // pixels around and between pages
  static void reportFailure(const std::exception& e, QWidget* parent);
  bool handleKey(QKeyEvent* e);
  void endHelpMode();
  void helpPress(QWidget* target, const QPoint& global);
  void setupButtons();
  void layoutToolbar();
  void initView(bool reset);
  void arrangePages();
  void layoutPanels();
  void showPageNo();
  void updatePageText();
  void markZoomEntry();
  void paintBox(QPainter& p, const QRect& area);
  void boxMousePress(QMouseEvent* e);
  void boxMouseMove(QMouseEvent* e);
  void boxMouseRelease(QMouseEvent* e);
  void boxDoubleClick();
  void verticalMoved(int position);
  void horizontalMoved(int position);
  void openZoomMenu(QPoint global);
  void loadClicked();
  void saveClicked();
  void giveBack();
  void takeAgain();
  void readPlacement();
  void writePlacement();
  QRect drawRect(int index) const;
  void continueFromCurrentPage();
  void search();
  void scrollToFound();

  std::unique_ptr<Ui::TfrPreviewForm> ui_;
  QMenu* zoomMenu_ = nullptr;
  QActionGroup* zoomGroup_ = nullptr;
  TfrReport* report_ = nullptr;
  std::unique_ptr<TfrEMFPages> pages_;
  double scale_ = 1.0;
  TfrPreviewZoom zoom_ = TfrPreviewZoom::pzPercent;
  int currentPage_ = 1;
  int offsetX_ = 0, offsetY_ = 0;
  int lastX_ = 0, lastY_ = 0;
  bool painting_ = true;
  bool dragging_ = false;
  QPoint dragLast_;
  int lastClicked_ = 0;
  bool ignorePress_ = false;
  int wheelFactor_ = 1;
  int wheelRest_ = 0;  // wheel turn short of a whole notch, kept for the next event
  bool helpMode_ = false;
  // The control pressed in help mode, whose help shows when the button is released.
  bool helpPending_ = false;
  QPointer<QWidget> helpTarget_;
  QPoint helpAt_;
  bool separateWindow_ = false;
  // Search state.
  QString findText_;
  bool caseSensitive_ = false;
  int searchPage_ = 0;
  int resume_ = 0;
  bool found_ = false;
  QRect foundRect_;
  QRect highlight_;  // box pixels inverted by the next paint only
};

// Makes TfrReport's show-prepared-report operation open this window.
void installPreviewForm();

}  // namespace kelpo::report
