// The printer's properties dialog: paper size, orientation, paper source and the driver's
// further options, edited on a copy of the printer's settings record.
#pragma once

#include <QDialog>
#include <vector>

#include "report/ui/printer.h"

class QComboBox;
class QRadioButton;

namespace kelpo::report {

class PrinterPropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  PrinterPropertiesDialog(const QString& printerName, const TfrDeviceMode& mode,
                          std::vector<TfrCodeName> paperSizes,
                          std::vector<TfrCodeName> paperSources,
                          std::vector<TfrDriverOption> options, QWidget* parent = nullptr);

  // The record as the dialog's controls say; only meaningful after the user confirmed.
  TfrDeviceMode deviceMode() const;

  QComboBox* paperSizeBox() const { return paperSize_; }
  QComboBox* paperSourceBox() const { return paperSource_; }
  QRadioButton* portraitButton() const { return portrait_; }
  QRadioButton* landscapeButton() const { return landscape_; }
  // The box of driver option `keyword`, or null when the driver has no such option.
  QComboBox* optionBox(const std::string& keyword) const;

 private:
  TfrDeviceMode mode_;
  std::vector<TfrDriverOption> options_;
  QComboBox* paperSize_ = nullptr;
  QComboBox* paperSource_ = nullptr;
  QRadioButton* portrait_ = nullptr;
  QRadioButton* landscape_ = nullptr;
  std::vector<QComboBox*> optionBoxes_;
};

}  // namespace kelpo::report
