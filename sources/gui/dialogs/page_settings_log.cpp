#include "dialogs/page_settings_log.h"

#include "lib/settings.h"
#include "services/services.h"
#include "settings/language.h"
#include "ui_page_settings_log.h"
#include "widgets/translatable_window.h"

TPageSettingsLog::TPageSettingsLog(TLogSettingsModel& model, TLogFile& file, QWidget* parent)
    : TLumoraTabbedForm(parent), Ui(std::make_unique<Ui::PageSettingsLog>()), Model(model), File(file) {
    Ui->setupUi(this);
    TitleLabel = Ui->LabelLogSettingsTitle;
    ListStringsToTranslate = {"LabelLogSettingsTitle", "GroupBoxLogLevel", "RadioButtonNormal",   "RadioButtonVerbose",
                              "CheckBoxShowWarnings",  "CheckBoxSaveLog",  "ButtonBrowseLogFile", "ButtonCleanLog"};
    connect(Ui->RadioButtonVerbose, &QRadioButton::toggled, this, [this](bool on) { Model.Verbose = on; });
    connect(Ui->CheckBoxShowWarnings, &QCheckBox::toggled, this, [this](bool on) { Model.ShowWarnings = on; });
    connect(Ui->CheckBoxSaveLog, &QCheckBox::clicked, this, [this](bool on) {
        // A name still being typed counts: the box acts on what the edit shows.
        Model.FileName = Ui->EditSaveLogFilename->text().toStdString();
        Model.SaveLog = on;
        ApplySave();
    });
    // The name is applied when editing ends, never per keystroke.
    connect(Ui->EditSaveLogFilename, &QLineEdit::editingFinished, this, [this] {
        if (QStr(Model.FileName) == Ui->EditSaveLogFilename->text()) return;
        Model.FileName = Ui->EditSaveLogFilename->text().toStdString();
        ApplySave();
    });
    connect(Ui->EditSaveLogFilename, &QLineEdit::textEdited, this,
            [this](const QString& text) { Ui->CheckBoxSaveLog->setEnabled(!text.trimmed().isEmpty()); });
    connect(Ui->ButtonBrowseLogFile, &QPushButton::clicked, this, &TPageSettingsLog::Browse);
    connect(Ui->ButtonCleanLog, &QPushButton::clicked, this, &TPageSettingsLog::CleanLog);
}

TPageSettingsLog::~TPageSettingsLog() = default;

void TPageSettingsLog::DefaultSettings() {
    if (Settings) Model.DefaultSettings(*Settings);
}

void TPageSettingsLog::LoadSettings() {
    if (!Settings) return;
    Model.LoadSettings(*Settings);
    ApplySave();
}

void TPageSettingsLog::SaveSettings() {
    if (Settings) Model.SaveSettings(*Settings);
}

void TPageSettingsLog::ApplySave() {
    const std::string failure = Model.ApplySave(File);
    ShowModel();
    if (!failure.empty()) Dialogs().MessageDlg("\r" + failure + "     ", TMsgDlgType::Warning, mbOK);
}

void TPageSettingsLog::ShowModel() {
    (Model.Verbose ? Ui->RadioButtonVerbose : Ui->RadioButtonNormal)->setChecked(true);
    Ui->CheckBoxShowWarnings->setChecked(Model.ShowWarnings);
    Ui->EditSaveLogFilename->setText(QStr(Model.FileName));
    Ui->CheckBoxSaveLog->setEnabled(Model.SaveEnabled());
    Ui->CheckBoxSaveLog->setChecked(Model.SaveLog);
    Ui->ButtonCleanLog->setEnabled(Model.CleanEnabled());
}

void TPageSettingsLog::Browse() {
    TFileDialogOptions options;
    options.Title = Format(::Translate("Save %s file to"), ::Translate("Log"));
    options.Filter = Format(::Translate("%s file"), ::Translate("Text")) + " (*.txt)|*.txt";
    options.FileName = Model.FileName;
    const auto chosen = Dialogs().SaveFile(options);
    if (!chosen) return;
    Model.FileName = TLogSettingsModel::WithTextExtension(*chosen);
    ApplySave();
}

void TPageSettingsLog::CleanLog() {
    // Deleting the user's log is asked first.
    const std::string question = Format(::Translate("Delete the content of the log file %s?"), Model.FileName);
    if (Dialogs().ConfirmNoDefault("\r" + question + "     ", TMsgDlgType::Confirmation, mbYesNo) != TModalResult::Yes)
        return;
    if (!File.CleanLogFile())
        Dialogs().MessageDlg("\r" + Format(::Translate("The log file %s cannot be deleted."), Model.FileName) + "     ",
                             TMsgDlgType::Error, mbOK);
}
