// Built from what the printer offers, so a printer without paper sources or further options
// shows only what applies to it.
#include "report/ui/printer_properties_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/text.h"
#include "report/expr/engine_strings.h"
#include "report/ui/paper_table.h"

namespace kelpo::report {
namespace {
constexpr int kOkText = 55000;
constexpr int kCancelText = 55001;
}  // namespace

PrinterPropertiesDialog::PrinterPropertiesDialog(
    const QString& printerName, const TfrDeviceMode& mode, std::vector<TfrCodeName> paperSizes,
    std::vector<TfrCodeName> paperSources, std::vector<TfrDriverOption> options, QWidget* parent)
    : QDialog(parent), mode_(mode), options_(std::move(options)) {
  setWindowTitle(printerName + QStringLiteral(" 属性"));
  auto* layout = new QVBoxLayout(this);

  auto* paperGroup = new QGroupBox(QStringLiteral("纸张"), this);
  auto* paperForm = new QFormLayout(paperGroup);
  paperSize_ = new QComboBox(paperGroup);
  paperSize_->setObjectName(QStringLiteral("PaperSize"));
  // A custom size has no dimensions to offer here; only the record's own custom size is.
  for (const TfrCodeName& p : paperSizes)
    if (p.code != kUserPaperSize) paperSize_->addItem(toQString(p.name), p.code);
  int at = paperSize_->findData(mode.paperSize);
  if (mode.paperSize == kUserPaperSize) {
    paperSize_->addItem(
        QStringLiteral("%1 x %2 mm").arg(mode.paperWidth / 10.0).arg(mode.paperLength / 10.0),
        kUserPaperSize);
    at = paperSize_->count() - 1;
  }
  paperSize_->setCurrentIndex(at < 0 ? 0 : at);
  paperSize_->setEnabled(mode.has(TfrDeviceMode::kPaperSize));
  paperForm->addRow(QStringLiteral("大小(&Z):"), paperSize_);

  paperSource_ = new QComboBox(paperGroup);
  paperSource_->setObjectName(QStringLiteral("PaperSource"));
  paperSource_->addItem(toQString(defaultSourceName()), -1);
  for (const TfrCodeName& s : paperSources) paperSource_->addItem(toQString(s.name), s.code);
  at = paperSource_->findData(mode.defaultSource);
  paperSource_->setCurrentIndex(at < 0 ? 0 : at);
  paperSource_->setEnabled(mode.has(TfrDeviceMode::kDefaultSource));
  paperForm->addRow(QStringLiteral("来源(&S):"), paperSource_);
  layout->addWidget(paperGroup);

  auto* orientationGroup = new QGroupBox(QStringLiteral("方向"), this);
  auto* orientationRow = new QHBoxLayout(orientationGroup);
  portrait_ = new QRadioButton(QStringLiteral("纵向(&O)"), orientationGroup);
  landscape_ = new QRadioButton(QStringLiteral("横向(&A)"), orientationGroup);
  orientationRow->addWidget(portrait_);
  orientationRow->addWidget(landscape_);
  (mode.orientation == TPrinterOrientation::poLandscape ? landscape_ : portrait_)->setChecked(true);
  orientationGroup->setEnabled(mode.has(TfrDeviceMode::kOrientation));
  layout->addWidget(orientationGroup);

  if (!options_.empty()) {
    auto* optionGroup = new QGroupBox(QStringLiteral("其他选项"), this);
    auto* optionForm = new QFormLayout(optionGroup);
    for (const TfrDriverOption& o : options_) {
      auto* box = new QComboBox(optionGroup);
      box->setObjectName(QString::fromStdString(o.keyword));
      for (const TfrDriverChoice& c : o.choices)
        box->addItem(toQString(c.text), QString::fromStdString(c.keyword));
      std::string current = o.defaultChoice;
      for (const auto& [keyword, value] : mode.driverOptions)
        if (keyword == o.keyword) current = value;
      const int index = box->findData(QString::fromStdString(current));
      box->setCurrentIndex(index < 0 ? 0 : index);
      optionForm->addRow(toQString(o.text) + QLatin1Char(':'), box);
      optionBoxes_.push_back(box);
    }
    layout->addWidget(optionGroup);
  }

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(frLoadText(kOkText), QDialogButtonBox::AcceptRole);
  buttons->addButton(frLoadText(kCancelText), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QComboBox* PrinterPropertiesDialog::optionBox(const std::string& keyword) const {
  for (std::size_t i = 0; i < options_.size(); ++i)
    if (options_[i].keyword == keyword) return optionBoxes_[i];
  return nullptr;
}

TfrDeviceMode PrinterPropertiesDialog::deviceMode() const {
  TfrDeviceMode mode = mode_;
  if (mode.has(TfrDeviceMode::kPaperSize) && paperSize_->currentIndex() >= 0) {
    const int code = paperSize_->currentData().toInt();
    // A size chosen from the list replaces the record's custom size.
    if (code != kUserPaperSize)
      mode.fields &= ~(TfrDeviceMode::kPaperLength | TfrDeviceMode::kPaperWidth);
    mode.paperSize = code;
  }
  if (mode.has(TfrDeviceMode::kOrientation))
    mode.orientation = landscape_->isChecked() ? TPrinterOrientation::poLandscape
                                               : TPrinterOrientation::poPortrait;
  if (mode.has(TfrDeviceMode::kDefaultSource))
    mode.defaultSource = paperSource_->currentData().toInt();
  for (std::size_t i = 0; i < options_.size(); ++i) {
    const std::string value = optionBoxes_[i]->currentData().toString().toStdString();
    bool found = false;
    for (auto& [keyword, chosen] : mode.driverOptions) {
      if (keyword == options_[i].keyword) {
        chosen = value;
        found = true;
      }
    }
    if (!found) mode.driverOptions.emplace_back(options_[i].keyword, value);
  }
  return mode;
}

}  // namespace kelpo::report
