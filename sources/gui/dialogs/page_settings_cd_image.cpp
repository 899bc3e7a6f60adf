#include "dialogs/page_settings_cd_image.h"

#include "lib/settings.h"
#include "services/services.h"
#include "settings/language.h"
#include "ui_page_settings_cd_image.h"
#include "widgets/translatable_window.h"

namespace {

constexpr int ToastCode = 3;

std::string Lines(std::initializer_list<const char*> texts) {
    std::string hint;
    for (const char* text : texts) {
        if (!hint.empty()) hint += "\n";
        if (*text) hint += Translate(text);
    }
    return hint;
}

}  // namespace

TPageSettingsCdImage::TPageSettingsCdImage(QWidget* parent)
    : TLumoraTabbedForm(parent), Ui(std::make_unique<Ui::PageSettingsCdImage>()) {
    Ui->setupUi(this);
    TitleLabel = Ui->LabelCdImageTitle;
    ListStringsToTranslate = {"LabelCdImageTitle",    "LabelCdImageType", "RadioButtonBinCueMinimal",
                              "RadioButtonCdrDaoToc", "RadioButtonToast", "CheckBox2336Output"};
    for (int code = 0; code <= ToastCode; ++code)
        connect(Radio(code), &QRadioButton::clicked, this, [this, code] { TypeClicked(code); });
}

TPageSettingsCdImage::~TPageSettingsCdImage() = default;

QRadioButton* TPageSettingsCdImage::Radio(int code) const {
    QRadioButton* radios[] = {Ui->RadioButtonBinCueMinimal, Ui->RadioButtonBinCueDetailled, Ui->RadioButtonCdrDaoToc,
                              Ui->RadioButtonToast};
    return radios[code >= 0 && code <= ToastCode ? code : 0];
}

void TPageSettingsCdImage::Translate() {
    TLumoraTabbedForm::Translate();
    const std::string detailed =
        ReplaceAll("BIN/" + Format(::Translate("detailled %s"), std::string("CUE")), "detailled", "detailed");
    Ui->RadioButtonBinCueDetailled->setText(QStr(detailed));
    Ui->RadioButtonBinCueMinimal->setToolTip(QStr(Lines({"CUE file with the minimum required burning directives", "",
                                                         "NB: These CUE files are compatible with Fireburner",
                                                         "but may lead to non working chapters when PBC is OFF"})));
    Ui->RadioButtonBinCueDetailled->setToolTip(
        QStr(ReplaceAll(Lines({"CUE file with more burning directives", "Be careful, this may lead to burning failure",
                               "", "NB: Detailled CUE files may be incompatible with Fireburner",
                               "but may be required to have working chapters when PBC is OFF"}),
                        "Detailled", "Detailed")));
    Ui->RadioButtonToast->setToolTip(QStr(::Translate("You will only have to drag the ..._##.img files into Toast")));
    Ui->CheckBox2336Output->setToolTip(QStr(::Translate("Mandatory for 99min CDR")));
    RenewAccessibleNames(*this);
}

void TPageSettingsCdImage::DefaultSettings() {
    if (Settings) Model.DefaultSettings(*Settings);
}

void TPageSettingsCdImage::LoadSettings() {
    if (!Settings) return;
    Model.LoadSettings(*Settings);
    Radio(Model.ImageType)->setChecked(true);
    Ui->CheckBox2336Output->setChecked(Model.Use2336);
}

void TPageSettingsCdImage::SaveSettings() {
    if (!Settings) return;
    Model.Use2336 = Ui->CheckBox2336Output->isChecked();
    Model.SaveSettings(*Settings);
}

void TPageSettingsCdImage::TypeClicked(int code) {
    Model.ImageType = code;
    MainWindowServices().CdImageTypeChanged(code == ToastCode);
}
