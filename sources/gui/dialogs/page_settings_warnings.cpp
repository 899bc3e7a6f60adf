#include "dialogs/page_settings_warnings.h"

#include "lib/settings.h"
#include "ui_page_settings_warnings.h"

TPageSettingsWarnings::TPageSettingsWarnings(QWidget* parent)
    : TLumoraTabbedForm(parent), Ui(std::make_unique<Ui::PageSettingsWarnings>()) {
    Ui->setupUi(this);
    TitleLabel = Ui->LabelWarningsTitle;
    ListStringsToTranslate = {"LabelWarningsTitle", "CheckboxShowScanDataOffsetsWarning",
                              "CheckBoxNoAutopaddingWarning"};
}

TPageSettingsWarnings::~TPageSettingsWarnings() = default;

void TPageSettingsWarnings::DefaultSettings() {
    if (Settings) Model.DefaultSettings(*Settings);
}

void TPageSettingsWarnings::LoadSettings() {
    if (!Settings) return;
    Model.LoadSettings(*Settings);
    Ui->CheckboxShowScanDataOffsetsWarning->setChecked(Model.ShowSdoWarning);
    Ui->CheckBoxNoAutopaddingWarning->setChecked(Model.NoAutopaddingWarning);
}

void TPageSettingsWarnings::SaveSettings() {
    if (!Settings) return;
    Model.ShowSdoWarning = Ui->CheckboxShowScanDataOffsetsWarning->isChecked();
    Model.NoAutopaddingWarning = Ui->CheckBoxNoAutopaddingWarning->isChecked();
    Model.SaveSettings(*Settings);
}
