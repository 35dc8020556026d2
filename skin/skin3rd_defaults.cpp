// The default Skin3rd lines: classes of other component sets mapped to the skin kinds.
#include "skin/skin_data.h"

namespace kelpo::skin {

QStringList defaultSkin3rd() {
  QStringList lines = {"TTBDock=Panel",
                       "TTBToolbar=Panel",
                       "TImageEnMView=scrollbar",
                       "TImageEnView=scrollbar",
                       "TRzButton=button",
                       "TRzCheckGroup=CheckGroup",
                       "TRzRadioGroup=Radiogroup",
                       "TRzRadioButton=Radiobutton",
                       "TRzCheckBox=Checkbox",
                       "TRzButtonEdit=Edit",
                       "TRzDBRadioGroup=Radiogroup",
                       "TRzDBRadioButton=Radiobutton",
                       "TRzDBCheckBox=Checkbox",
                       "TDBCheckboxEh=Checkbox",
                       "TDBCheckboxEh=Checkbox",
                       "TLMDCHECKBOX=Checkbox",
                       "TLMDDBCHECKBOX=Checkbox",
                       "TLMDRadiobutton=Radiobutton",
                       "TLMDGROUPBOX=Panel",
                       "TLMDSIMPLEPANEL=Panel",
                       "TLMDDBCalendar=Panel",
                       "TLMDButtonPanel=Panel",
                       "TLMDLMDCalculator=Panel",
                       "TLMDHeaderPanel=Panel",
                       "TLMDTechnicalLine=Panel",
                       "TLMDLMDClock=Panel",
                       "TLMDTrackbar=trackbar",
                       "TLMDListCombobox=combobox",
                       "TLMDCheckListCombobox=combobox",
                       "TLMDHeaderListCombobox=combobox",
                       "TLMDImageCombobox=combobox",
                       "TLMDColorCombobox=combobox",
                       "TLMDFontCombobox=combobox",
                       "TLMDFontSizeCombobox=combobox",
                       "TLMDFontSizeCombobox=combobox",
                       "TLMDPrinterCombobox=combobox",
                       "TLMDDriveCombobox=combobox",
                       "TLMDCalculatorComboBox=combobox",
                       "TLMDTrackBarComboBox=combobox",
                       "TLMDCalendarComboBox=combobox",
                       "TLMDRADIOGROUP=radiogroup",
                       "TLMDCheckGroup=CheckGroup",
                       "TLMDDBRADIOGROUP=radiogroup",
                       "TLMDDBCheckGroup=CheckGroup"};
  for (const char* name :
       {"TLMDEDIT", "TLMDMASKEDIT", "TLMDBROWSEEDIT", "TLMDEXTSPINEDIT", "TLMDCALENDAREDIT",
        "TLMDFILEOPENEDIT", "TLMDFILESAVEEDIT", "TLMDCOLOREDIT", "TLMDDBEDIT", "TLMDDBMASKEDIT",
        "TLMDDBEXTSPINEDIT", "TLMDDBSPINEDIT", "TLMDDBEDITDBLookup", "TLMDEDITDBLookup"})
    lines << QString::fromLatin1(name) + "=Edit";
  for (const char* name :
       {"TDBLookupCombobox", "TWWDBCombobox", "TWWDBLookupCombo", "TWWDBCombobox", "TWWKeyCombo"})
    lines << QString::fromLatin1(name) + "=Combobox";
  lines << "TWWTempKeyCombo=combobox"
        << "TWWDBDateTimePicker=Combobox"
        << "TWWRADIOGROUP=radiogroup";
  for (const char* name :
       {"TDXDBPICKEDIT", "TDXDBCALCEDIT", "TDXDBIMAGEEDIT", "TDXDBPOPUPEDIT", "TDXDBEXTLOOKUPEDIT",
        "TDXDBLOOKUPEDIT", "TDXDBDATEEDIT", "TDXDATEEDIT", "TDXPICKEDIT", "TDXPOPUPEDIT"})
    lines << QString::fromLatin1(name) + "=Combobox";
  for (const char* name :
       {"TDXDBCURRENCYEDIT", "TDXDBEDIT", "TDXDBMASKEDIT", "TDXDBHYPERLINKEDIT", "TDXEDIT",
        "TDXMASKEDIT", "TWWDBEDIT", "TDXBUTTONEDIT", "TDXCURRENCYEDIT", "TDXHYPERLINKEDIT",
        "TOVCPICTUREFIELD", "TOVCDBPICTUREFIELD", "TOVCSLIDEREDIT", "TOVCDBSLIDEREDIT",
        "TOVCSIMPLEFIELD", "TOVCDBSIMPLEFIELD", "TO32DBFLEXEDIT", "TOVCNUMERICFIELD",
        "TOVCDBNUMERICFIELD"})
    lines << QString::fromLatin1(name) + "=Edit";
  return lines;
}

}  // namespace kelpo::skin
