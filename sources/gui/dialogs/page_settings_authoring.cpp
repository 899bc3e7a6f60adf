#include "dialogs/page_settings_authoring.h"

#include "environment/detected_tools.h"
#include "lib/product.h"
#include "lib/settings.h"
#include "services/services.h"
#include "settings/language.h"
#include "ui_page_settings_authoring.h"
#include "widgets/translatable_window.h"

TPageSettingsAuthoring::TPageSettingsAuthoring(QWidget* parent)
    : TLumoraTabbedForm(parent), Ui(std::make_unique<Ui::PageSettingsAuthoring>()) {
    Ui->setupUi(this);
    TitleLabel = Ui->LabelAuthoringTitle;
    ListStringsToTranslate = {"LabelAuthoringTitle",
                              "CheckBoxInsertXmlComments",
                              "CheckBoxFillVolumeLabel",
                              "CheckBoxFillAlbumName",
                              "CheckBoxErase",
                              "CheckBoxEraseXml",
                              "CheckBoxEnableIntegratedBurning",
                              "CheckBoxEnableAspiTools"};
    connect(Ui->CheckBoxEnableIntegratedBurning, &QCheckBox::clicked, this, [this](bool checked) {
        Model.IntegratedBurning = checked;
        Ui->CheckBoxEnableAspiTools->setEnabled(Model.AspiToolsEnabled());
    });
    connect(Ui->CheckBoxEnableAspiTools, &QCheckBox::clicked, this, &TPageSettingsAuthoring::AspiToolsClicked);
}

TPageSettingsAuthoring::~TPageSettingsAuthoring() = default;

void TPageSettingsAuthoring::Translate() {
    TLumoraTabbedForm::Translate();
    Ui->CheckBoxNoVxmFiles->setText(
        QStr(Format(::Translate("Do not create the %s/%s files (storage of the MPEG analysis)"), std::string("vxm"),
                    std::string("vxr"))));
    RenewAccessibleNames(*this);
}

void TPageSettingsAuthoring::DefaultSettings() {
    if (Settings) Model.DefaultSettings(*Settings);
}

void TPageSettingsAuthoring::LoadSettings() {
    if (!Settings) return;
    const TDetectedTools& tools = DetectedTools();
    Model.Availability = {.CdrdaoFolderFound = !tools.CdrdaoFolder.empty(),
                          .CdrdaoSupported = tools.CdrdaoVersionCode != 0,
                          .ScsiToolsAllowed = tools.ScsiToolsAllowed,
                          .ScsiToolsEnabled = tools.ScsiToolsEnabled};
    Model.LoadSettings(*Settings);
    ShowModel();
}

void TPageSettingsAuthoring::SaveSettings() {
    if (!Settings) return;
    TakeModel();
    Model.SaveSettings(*Settings);
}

void TPageSettingsAuthoring::ShowModel() {
    Ui->CheckBoxInsertXmlComments->setChecked(Model.XmlComments);
    Ui->CheckBoxFillVolumeLabel->setChecked(Model.FillVolumeLabel);
    Ui->CheckBoxFillAlbumName->setChecked(Model.FillAlbumName);
    Ui->CheckBoxErase->setChecked(Model.EraseCdImageFiles);
    Ui->CheckBoxEraseXml->setChecked(Model.EraseXmlFile);
    Ui->CheckBoxNoVxmFiles->setChecked(Model.NoMpegAnalyseStorage);
    Ui->CheckBoxEnableIntegratedBurning->setEnabled(Model.IntegratedBurningEnabled());
    Ui->CheckBoxEnableIntegratedBurning->setChecked(Model.IntegratedBurning);
    Ui->CheckBoxEnableAspiTools->setEnabled(Model.AspiToolsEnabled());
    Ui->CheckBoxEnableAspiTools->setChecked(Model.EnableAspiTools);
}

void TPageSettingsAuthoring::TakeModel() {
    Model.XmlComments = Ui->CheckBoxInsertXmlComments->isChecked();
    Model.FillVolumeLabel = Ui->CheckBoxFillVolumeLabel->isChecked();
    Model.FillAlbumName = Ui->CheckBoxFillAlbumName->isChecked();
    Model.EraseCdImageFiles = Ui->CheckBoxErase->isChecked();
    Model.EraseXmlFile = Ui->CheckBoxEraseXml->isChecked();
    Model.NoMpegAnalyseStorage = Ui->CheckBoxNoVxmFiles->isChecked();
    Model.IntegratedBurning = Ui->CheckBoxEnableIntegratedBurning->isChecked();
    Model.EnableAspiTools = Ui->CheckBoxEnableAspiTools->isChecked();
}

void TPageSettingsAuthoring::AspiToolsClicked(bool checked) {
    Model.EnableAspiTools = checked;
    if (!FirstPaintDone) return;
    const std::string restart = Format(::Translate("You need to restart %s in order to take the changes into account"),
                                       std::string(ProductName));
    if (checked)
        Dialogs().MessageDlg("\r" +
                                 ::Translate("Warning: You may experience some problems with the ASPI Tools in "
                                             "enabling them...^if so, send me an email") +
                                 "     \r\r" + restart + "     ",
                             TMsgDlgType::Warning, mbOK);
    else
        Dialogs().MessageDlg("\r" + restart + "     ", TMsgDlgType::Information, mbOK);
}
