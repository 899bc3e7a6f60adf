#include "app/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "lib/product.h"
#include "lib/text.h"
#include "platform/folders.h"
#include "settings/dialog_captions.h"
#include "settings/language.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

struct TButtonInfo {
    TMsgDlgBtn Button;
    QMessageBox::ButtonRole Role;
    TDialogCaption Caption;
};

constexpr TButtonInfo ButtonTable[] = {
    {TMsgDlgBtn::Yes, QMessageBox::YesRole, TDialogCaption::MessageYes},
    {TMsgDlgBtn::No, QMessageBox::NoRole, TDialogCaption::MessageNo},
    {TMsgDlgBtn::OK, QMessageBox::AcceptRole, TDialogCaption::MessageOK},
    {TMsgDlgBtn::Cancel, QMessageBox::RejectRole, TDialogCaption::MessageCancel},
    {TMsgDlgBtn::Abort, QMessageBox::RejectRole, TDialogCaption::MessageAbort},
    {TMsgDlgBtn::Retry, QMessageBox::AcceptRole, TDialogCaption::MessageRetry},
    {TMsgDlgBtn::Ignore, QMessageBox::AcceptRole, TDialogCaption::MessageIgnore},
    {TMsgDlgBtn::All, QMessageBox::YesRole, TDialogCaption::MessageAll},
    {TMsgDlgBtn::NoToAll, QMessageBox::NoRole, TDialogCaption::MessageNoToAll},
    {TMsgDlgBtn::YesToAll, QMessageBox::YesRole, TDialogCaption::MessageYesToAll},
    {TMsgDlgBtn::Help, QMessageBox::HelpRole, TDialogCaption::MessageHelp},
};

const TButtonInfo& InfoOf(TMsgDlgBtn button) {
    for (const TButtonInfo& info : ButtonTable)
        if (info.Button == button) return info;
    return ButtonTable[2];
}

QMessageBox::Icon IconOf(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::Warning:
            return QMessageBox::Warning;
        case TMsgDlgType::Error:
            return QMessageBox::Critical;
        case TMsgDlgType::Information:
            return QMessageBox::Information;
        case TMsgDlgType::Confirmation:
            return QMessageBox::Question;
        case TMsgDlgType::Custom:
            break;
    }
    return QMessageBox::NoIcon;
}

QString TitleOf(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::Warning:
            return Q(DialogCaption(TDialogCaption::TitleWarning));
        case TMsgDlgType::Error:
            return Q(DialogCaption(TDialogCaption::TitleError));
        case TMsgDlgType::Information:
            return Q(DialogCaption(TDialogCaption::TitleInformation));
        case TMsgDlgType::Confirmation:
            return Q(DialogCaption(TDialogCaption::TitleConfirm));
        case TMsgDlgType::Custom:
            break;
    }
    return ProductName;
}

// A box with the program's buttons; `focused` (when in the set) gets the focus
// and is the one Enter presses.
struct TBox {
    QMessageBox Box;
    std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> Buttons;

    TBox(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons, std::optional<TMsgDlgBtn> focused)
        : Box(QApplication::activeWindow()) {
        Box.setObjectName("MessageDialog");
        Box.setIcon(IconOf(type));
        Box.setWindowTitle(TitleOf(type));
        Box.setText(BoxText(message));
        for (TMsgDlgBtn button : buttons) {
            const TButtonInfo& info = InfoOf(button);
            QPushButton* added = Box.addButton(Q(DialogCaption(info.Caption)), info.Role);
            added->setAccessibleName(added->text().remove('&'));
            Buttons.emplace_back(added, button);
        }
        if (!Buttons.empty()) {
            QPushButton* first = static_cast<QPushButton*>(Buttons.front().first);
            QPushButton* chosen = first;
            for (const auto& [widget, button] : Buttons)
                if (focused && button == *focused) chosen = static_cast<QPushButton*>(widget);
            Box.setDefaultButton(chosen);
        }
    }

    TModalResult Run() {
        Box.exec();
        for (const auto& [widget, button] : Buttons)
            if (Box.clickedButton() == widget) return ResultOf(button);
        // Closed with Escape or the title bar: the safe answer.
        TMsgDlgButtons shown;
        for (const auto& entry : Buttons) shown.push_back(entry.second);
        return CautiousAnswer(shown);
    }
};

}  // namespace

QString BoxText(const std::string& message) {
    return Q(TrimRight(TrimLeft(ReplaceAll(ReplaceAll(message, "\r\n", "\n"), "\r", "\n"))));
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        QString description = parts[i];
        // Descriptions often repeat their patterns already.
        const qsizetype open = description.indexOf(" (");
        if (open >= 0) description = description.left(open);
        filters << description + " (" + patterns + ")";
    }
    return filters.join(";;");
}

TModalResult TQtDialogs::MessageDlg(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    TBox box(message, type, buttons, std::nullopt);
    return box.Run();
}

TModalResult TQtDialogs::AdvancedMessageDlg(const TAdvancedMessage& message, bool& checked) {
    TBox box(message.Message, message.DlgType, message.Buttons, std::nullopt);
    if (!message.HelpPage.empty()) {
        auto* help = box.Box.addButton(Q(Translate("Help")), QMessageBox::HelpRole);
        help->setObjectName("_AdvancedMessageDlg_UrlLink");
        help->setAccessibleName(help->text());
        const QUrl url = QUrl::fromLocalFile(Q(message.HelpPage));
        // The link opens the page and leaves the box open.
        help->disconnect();
        QObject::connect(help, &QAbstractButton::clicked, [url] { QDesktopServices::openUrl(url); });
    }
    QCheckBox* check = nullptr;
    if (!message.CheckBoxCaption.empty()) {
        check = new QCheckBox(Q(message.CheckBoxCaption));
        check->setObjectName("_AdvancedMessageDlg_CheckBox");
        check->setAccessibleName(check->text());
        check->setChecked(checked);
        box.Box.setCheckBox(check);
    }
    const TModalResult result = box.Run();
    if (check) checked = check->isChecked();
    return result;
}

TModalResult TQtDialogs::ConfirmNoDefault(const std::string& message, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    TBox box(message, type, buttons, TMsgDlgBtn::No);
    return box.Run();
}

namespace {

QString StartPath(const TFileDialogOptions& options) {
    if (options.FileName.empty()) return Q(options.InitialFolder);
    if (options.InitialFolder.empty() || options.FileName.front() == '/') return Q(options.FileName);
    return Q(IncludeTrailingDelimiter(options.InitialFolder) + options.FileName);
}

}  // namespace

std::vector<std::string> TQtDialogs::OpenFiles(const TFileDialogOptions& options) {
    std::vector<std::string> chosen;
    QWidget* parent = QApplication::activeWindow();
    if (options.AllowMultiple) {
        for (const QString& file :
             QFileDialog::getOpenFileNames(parent, Q(options.Title), StartPath(options), QtFileFilter(options.Filter)))
            chosen.push_back(file.toStdString());
    } else {
        const QString file =
            QFileDialog::getOpenFileName(parent, Q(options.Title), StartPath(options), QtFileFilter(options.Filter));
        if (!file.isEmpty()) chosen.push_back(file.toStdString());
    }
    return chosen;
}

std::optional<std::string> TQtDialogs::SaveFile(const TFileDialogOptions& options) {
    QFileDialog dialog(QApplication::activeWindow(), Q(options.Title), StartPath(options),
                       QtFileFilter(options.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!options.DefaultExtension.empty()) dialog.setDefaultSuffix(Q(options.DefaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> TQtDialogs::SelectFolder(const std::string& title, const std::string& initialFolder) {
    const QString folder = QFileDialog::getExistingDirectory(QApplication::activeWindow(), Q(title), Q(initialFolder));
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}
