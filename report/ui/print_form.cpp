#include "report/ui/print_form.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <optional>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/report.h"
#include "report/expr/engine_strings.h"
#include "report/expr/value.h"
#include "report/ui/dialog_glyphs.h"
#include "report/ui/print_run.h"
#include "report/ui/printer.h"
#include "ui_print_form.h"

namespace kelpo::report {

namespace {

constexpr int kCaption = 53530, kPrinterGroup = 53531, kName = 53532, kProperties = 53533,
              kRangeGroup = 53534, kAll = 53535, kCurrent = 53536, kPages = 53537,
              kPagesHint = 53538, kCopiesGroup = 53539, kCopies = 53540, kCollate = 53541,
              kPrint = 53542, kAllPages = 53543, kOddPages = 53544, kEvenPages = 53545,
              kPdfFile = 53546, kPdfFilter = 53547, kOk = 55000, kCancel = 55001;

TfrPrintForm::ModalRun& modalRun() {
  static TfrPrintForm::ModalRun run;
  return run;
}

TfrPrintForm::FileDialog& fileDialog() {
  static TfrPrintForm::FileDialog dialog;
  return dialog;
}

// Where the collation pictures sit in their frame.
const QPoint kCollatedAt(8, 0), kUncollatedAt(0, 8);

}  // namespace

// ---- printer list ---------------------------------------------------------------------------

namespace {

// Entries of the open list: the icon 2 pixels from the left edge, the name 24 pixels from it
// and 1 pixel down.
class PrinterEntryDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    p->fillRect(option.rect, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    drawEntry(*p, option.rect, index.data().toString(),
              option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width() + 24, 18);
  }

  static void drawEntry(QPainter& p, const QRect& r, const QString& name, const QColor& color) {
    static const QPixmap icon = printerIcon();
    p.drawPixmap(r.left() + 2, r.top() + (r.height() - icon.height()) / 2, icon);
    p.setPen(color);
    p.drawText(r.adjusted(24, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
  }
};

}  // namespace

TfrPrinterBox::TfrPrinterBox(QWidget* parent) : QComboBox(parent) {
  setItemDelegate(new PrinterEntryDelegate(this));
}

void TfrPrinterBox::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  p.drawComplexControl(QStyle::CC_ComboBox, option);
  if (currentIndex() < 0) return;
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  const bool focused = hasFocus() && !view()->isVisible();
  if (focused) p.fillRect(field, palette().color(QPalette::Highlight));
  PrinterEntryDelegate::drawEntry(
      p, field, currentText(),
      palette().color(focused ? QPalette::HighlightedText : QPalette::Text));
}

// ---- dialog ---------------------------------------------------------------------------------

TfrPrintForm::TfrPrintForm(QWidget* parent, TfrPrinter* printer)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TfrPrintForm>()),
      printer_(printer ? printer : frPrinter()) {
  ui_->setupUi(this);
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  setFont(f);
  setFixedSize(size());
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) &
                 ~Qt::WindowContextHelpButtonHint);

  setWindowTitle(frLoadText(kCaption));
  ui_->GroupBox1->setTitle(frLoadText(kPrinterGroup));
  ui_->Label1->setText(frLoadText(kName));
  ui_->PropButton->setText(frLoadText(kProperties));
  ui_->GroupBox2->setTitle(frLoadText(kRangeGroup));
  ui_->RB1->setText(frLoadText(kAll));
  ui_->RB2->setText(frLoadText(kCurrent));
  ui_->RB3->setText(frLoadText(kPages));
  ui_->Label2->setText(frLoadText(kPagesHint));
  ui_->GroupBox3->setTitle(frLoadText(kCopiesGroup));
  ui_->Label3->setText(frLoadText(kCopies));
  ui_->Label4->setText(frLoadText(kCollate));
  ui_->Label5->setText(frLoadText(kPrint));
  ui_->CB2->clear();
  ui_->CB2->addItems({frLoadText(kAllPages), frLoadText(kOddPages), frLoadText(kEvenPages)});
  ui_->CB2->setCurrentIndex(0);
  ui_->Button1->setText(frLoadText(kOk));
  ui_->Button2->setText(frLoadText(kCancel));
  // The list sits 11 pixels to the right of its label, however long the label's text is.
  ui_->Label5->adjustSize();
  ui_->CB2->move(ui_->Label5->geometry().right() + 1 + 11, ui_->CB2->y());

  ui_->frSpeedButton1->setGlyph(arrowGlyph(true));
  ui_->frSpeedButton2->setGlyph(arrowGlyph(false));
  showCollation();

  fillPrinters();
  connect(ui_->CB1, &QComboBox::activated, this, &TfrPrintForm::printerChosen);
  connect(ui_->PropButton, &QPushButton::clicked, this, [this] {
    if (printer_ && !pdfChosen()) printer_->showPrinterProperties(this);
  });
  connect(ui_->Button1, &QPushButton::clicked, this, &TfrPrintForm::accept);
  connect(ui_->RB3, &QRadioButton::clicked, this, [this] { ui_->E2->setFocus(); });
  ui_->E2->installEventFilter(this);
  ui_->Label4->installEventFilter(this);
  connect(ui_->CB3, &QCheckBox::toggled, this, &TfrPrintForm::showCollation);
  // An arrow on a copies text that is not a number reports the error and changes nothing.
  const auto guarded = [this](void (TfrPrintForm::*step)()) {
    return [this, step] {
      try {
        (this->*step)();
      } catch (const std::exception& e) {
        showMessage(toQString(e.what()), this);
      }
    };
  };
  connect(ui_->frSpeedButton1, &TfrSpeedButton::clicked, this, guarded(&TfrPrintForm::copiesUp));
  connect(ui_->frSpeedButton2, &TfrSpeedButton::clicked, this, guarded(&TfrPrintForm::copiesDown));
}

TfrPrintForm::~TfrPrintForm() = default;

void TfrPrintForm::fillPrinters() {
  QComboBox* box = ui_->CB1;
  box->clear();
  if (printer_) {
    const auto& names = printer_->printerNames();
    for (int i = 0; i < printer_->virtualPrinterIndex(); ++i) box->addItem(toQString(names[i]));
    printerAtOpening_ = printer_->printerIndex();
  }
  pdfEntry_ = box->count();
  box->addItem(frLoadText(kPdfFile));
  // The virtual printer is not in the list: with it current no entry is marked.
  const bool real = printer_ && printerAtOpening_ < printer_->virtualPrinterIndex();
  box->setCurrentIndex(real ? printerAtOpening_ : -1);
  ui_->PropButton->setEnabled(real);
}

void TfrPrintForm::printerChosen(int entry) {
  ui_->PropButton->setEnabled(entry != pdfEntry_);
  // A file takes each page's own paper, so the printer stays as it is.
  if (entry == pdfEntry_ || !printer_) return;
  printer_->selectPrinter(entry);
}

void TfrPrintForm::showCollation() {
  const bool collated = ui_->CB3->isChecked();
  // The sheets' silver surroundings let the dialog's own face show through.
  QPixmap frame(ui_->Image1->size());
  frame.fill(Qt::transparent);
  QPainter p(&frame);
  p.drawPixmap(collated ? kCollatedAt : kUncollatedAt, collationPicture(collated));
  p.end();
  ui_->Image1->setPixmap(frame);
}

bool TfrPrintForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == ui_->E2 && e->type() == QEvent::FocusIn) {
    ui_->RB3->setChecked(true);
  } else if (watched == ui_->Label4 &&
             (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
    if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
      ui_->CB3->toggle();
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

void TfrPrintForm::setCopies(int copies) { ui_->E1->setText(QString::number(copies)); }
void TfrPrintForm::setCollate(bool collate) { ui_->CB3->setChecked(collate); }

TfrPrintForm::PageChoice TfrPrintForm::pageChoice() const {
  if (ui_->RB2->isChecked()) return PageChoice::Current;
  if (ui_->RB3->isChecked()) return PageChoice::List;
  return PageChoice::All;
}

QString TfrPrintForm::pageText() const { return ui_->E2->text(); }
QString TfrPrintForm::copiesText() const { return ui_->E1->text(); }
bool TfrPrintForm::collate() const { return ui_->CB3->isChecked(); }
int TfrPrintForm::oddEven() const { return std::max(ui_->CB2->currentIndex(), 0); }
bool TfrPrintForm::pdfChosen() const { return ui_->CB1->currentIndex() == pdfEntry_; }

void TfrPrintForm::copiesUp() { setCopies(textToInteger(fromQString(copiesText())) + 1); }

void TfrPrintForm::copiesDown() {
  setCopies(std::max(textToInteger(fromQString(copiesText())) - 1, 1));
}

void TfrPrintForm::accept() {
  if (pdfChosen()) {
    const QString name = fileDialog()
                             ? fileDialog()()
                             : QFileDialog::getSaveFileName(this, {}, {}, frLoadText(kPdfFilter));
    // Without a file there is nothing to print into: the dialog stays for another choice.
    if (name.isEmpty()) return;
    pdfFileName_ = name;
  }
  QDialog::accept();
}

void TfrPrintForm::done(int result) {
  // Closed without OK: the printer chosen on the way is not kept.
  if (result != QDialog::Accepted && printer_ && printer_->printerIndex() != printerAtOpening_)
    printer_->selectPrinter(printerAtOpening_);
  QDialog::done(result);
}

bool TfrPrintForm::ask() {
  if (!modalRun()) return exec() == QDialog::Accepted;
  show();
  const bool confirmed = modalRun()(*this);
  // A run that answered without pressing a button closes the dialog the same way.
  if (isVisible()) confirmed ? accept() : reject();
  if (isVisible()) reject();  // OK without a PDF file name: nothing was confirmed
  return confirmed && result() == QDialog::Accepted;
}

bool TfrPrintForm::print(TfrReport& report, int currentPage) {
  QString pages;
  if (pageChoice() == PageChoice::Current) pages = QString::number(currentPage);
  if (pageChoice() == PageChoice::List) pages = pageText();
  const int copies = textToInteger(fromQString(copiesText()));
  std::optional<TfrPdfDestination> destination;
  if (pdfChosen()) destination.emplace(pdfFileName_);
  report.PrintPreparedReport(fromQString(pages), copies, collate(), oddEven());
  return !report.terminated;
}

void TfrPrintForm::setModalRun(ModalRun run) { modalRun() = std::move(run); }
void TfrPrintForm::setFileDialog(FileDialog dialog) { fileDialog() = std::move(dialog); }

}  // namespace kelpo::report
