#include "report/ui/barcode_form.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/barcode_view.h"
#include "report/expr/engine_strings.h"
#include "report/expr/value.h"
#include "report/ui/combo_edit.h"
#include "report/ui/dialog_glyphs.h"
#include "ui_barcode_form.h"

namespace kelpo::report {

namespace {

// The form's own text stays when the string table has none for the number.
void loadText(QWidget* w, int id, void (*set)(QWidget*, const QString&)) {
  const std::string s = frLoadStr(id);
  if (!s.empty()) set(w, toQString(s));
}

constexpr int kCaption = 53650, kCode = 53651, kType = 53652, kOptions = 53653, kChecksum = 53654,
              kHumanReadable = 53655, kExpressionHint = 53656, kOrientation = 53658, kZoom = 53659,
              kOk = 55000, kCancel = 55001, kError = 55206, kBarcodeError = 55339;

}  // namespace

TfrBarCodeForm::TfrBarCodeForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrBarCodeForm>()) {
  ui_->setupUi(this);
  setFixedSize(size());
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) &
                 ~Qt::WindowContextHelpButtonHint);

  auto setTitle = [](QWidget* w, const QString& t) { w->setWindowTitle(t); };
  auto setLabel = [](QWidget* w, const QString& t) { static_cast<QLabel*>(w)->setText(t); };
  auto setGroup = [](QWidget* w, const QString& t) { static_cast<QGroupBox*>(w)->setTitle(t); };
  auto setButton = [](QWidget* w, const QString& t) {
    static_cast<QAbstractButton*>(w)->setText(t);
  };
  auto setHint = [](QWidget* w, const QString& t) { w->setToolTip(t); };
  loadText(this, kCaption, setTitle);
  loadText(ui_->Label1, kCode, setLabel);
  loadText(ui_->Label2, kType, setLabel);
  loadText(ui_->GroupBox1, kOptions, setGroup);
  loadText(ui_->ckCheckSum, kChecksum, setButton);
  loadText(ui_->ckViewText, kHumanReadable, setButton);
  loadText(ui_->GroupBox2, kOrientation, setGroup);
  loadText(ui_->Label3, kZoom, setLabel);
  loadText(ui_->bOk, kOk, setButton);
  loadText(ui_->bCancel, kCancel, setButton);
  // The builder needs a report designer, which this program does not have.
  ui_->M1->button()->setToolTip("Expression builder: not available, there is no report designer");
  loadText(ui_->M1->button(), kExpressionHint, setHint);

  for (int t = 0; t < kBarcodeTypeCount; ++t) ui_->cbType->addItem(barcodeTypeName(t));
  ui_->frSpeedButton1->setGlyph(arrowGlyph(true));
  ui_->frSpeedButton2->setGlyph(arrowGlyph(false));
  connect(ui_->frSpeedButton1, &TfrSpeedButton::clicked, this, &TfrBarCodeForm::zoomUp);
  connect(ui_->frSpeedButton2, &TfrSpeedButton::clicked, this, &TfrBarCodeForm::zoomDown);
  connect(ui_->bOk, &QPushButton::clicked, this, &TfrBarCodeForm::accept);
  connect(ui_->bCancel, &QPushButton::clicked, this, &TfrBarCodeForm::reject);
  ui_->M1->setText("0");
  ui_->M1->setFocus();
}

TfrBarCodeForm::~TfrBarCodeForm() = default;

void TfrBarCodeForm::showEvent(QShowEvent* e) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(e);
}

void TfrBarCodeForm::showView(const TfrBarCodeView& view) {
  if (!view.memo.empty()) ui_->M1->setText(toQString(view.memo[0]));
  ui_->cbType->setCurrentIndex(view.barType < kBarcodeTypeCount ? view.barType : -1);
  ui_->ckCheckSum->setChecked(view.calcCheckSum != 0);
  ui_->ckViewText->setChecked(view.showText != 0);
  ui_->eZoom->setText(toQString(formatFloatGeneral(view.zoom)));
  if (view.rotation == 0)
    ui_->RB1->setChecked(true);
  else if (view.rotation == 90)
    ui_->RB2->setChecked(true);
  else if (view.rotation == 180)
    ui_->RB3->setChecked(true);
  else
    ui_->RB4->setChecked(true);
}

void TfrBarCodeForm::applyTo(TfrBarCodeView& view) const {
  view.memo = {fromQString(ui_->M1->text())};
  view.zoom = textToFloat(fromQString(ui_->eZoom->text()));
  view.calcCheckSum = ui_->ckCheckSum->isChecked();
  view.showText = ui_->ckViewText->isChecked();
  view.barType = static_cast<std::uint8_t>(std::max(0, ui_->cbType->currentIndex()));
  view.rotation = ui_->RB1->isChecked()   ? 0
                  : ui_->RB2->isChecked() ? 90
                  : ui_->RB3->isChecked() ? 180
                                          : 270;
}

bool TfrBarCodeForm::checkCode() {
  const std::string code = fromQString(ui_->M1->text());
  if (!code.empty() && code[0] == '[') return true;
  try {
    TfrBarcode scratch;
    scratch.SetText(code);
    scratch.SetChecksum(ui_->ckCheckSum->isChecked());
    scratch.SetTyp(ui_->cbType->currentIndex());
    QImage bitmap(16, 16, QImage::Format_RGB32);
    QPainter p(&bitmap);
    scratch.DrawBarcode(p);
  } catch (const std::exception&) {
    messageBox(frLoadText(kBarcodeError), frLoadText(kError), MessageIcon::Critical,
               QMessageBox::Ok, this);
    return false;
  }
  return true;
}

void TfrBarCodeForm::zoomUp() {
  const double zoom = textToFloat(fromQString(ui_->eZoom->text()));
  ui_->eZoom->setText(toQString(formatFloatGeneral(zoom + 1)));
}

void TfrBarCodeForm::zoomDown() {
  double zoom = textToFloat(fromQString(ui_->eZoom->text())) - 1;
  if (zoom <= 0) zoom = 1;
  ui_->eZoom->setText(toQString(formatFloatGeneral(zoom)));
}

void TfrBarCodeForm::accept() {
  if (checkCode()) QDialog::accept();
}

bool ShowBarCodeEditor(TfrBarCodeView& view, QWidget* parent) {
  TfrBarCodeForm form(parent);
  form.showView(view);
  if (form.exec() != QDialog::Accepted) return false;
  form.applyTo(view);
  return true;
}

void installBarCodeEditor() {
  frBarCodeEditor() = [](TfrBarCodeView& view) { ShowBarCodeEditor(view); };
}

}  // namespace kelpo::report
