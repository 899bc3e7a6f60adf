#include "dialogs/dlg_settings.h"

#include "pages/tabbed_page.h"
#include "settings/language.h"
#include "ui_dlg_settings.h"
#include "widgets/page_host.h"
#include "widgets/translatable_window.h"

namespace {

struct TTopic {
    const char* Caption;
    const char* PageName;
};

// The recorder topics arrive with their pages; only pages that exist are offered.
constexpr TTopic Topics[] = {
    {"General", "PageSettingsAuthoring"},
    {"CD Images", "PageSettingsCdImage"},
    {"Warnings", "PageSettingsWarnings"},
    {"Log", "PageSettingsLog"},
};

}  // namespace

TDlgSettings::TDlgSettings(std::vector<TLumoraTabbedForm*> pages, QWidget* parent)
    : QDialog(parent), Ui(std::make_unique<Ui::DlgSettings>()), Pages(std::move(pages)) {
    Ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    Ui->SplitterSettings->setStretchFactor(1, 1);
    Ui->SplitterSettings->setChildrenCollapsible(false);
    Ui->SplitterSettings->setSizes({190, 560});
    connect(Ui->TreeViewSettings, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { TopicChanged(item); });
    connect(Ui->SettingsButtonOk, &QPushButton::clicked, this, &QDialog::accept);
}

TDlgSettings::~TDlgSettings() {
    // The pages belong to the main window: hand them back before the host goes.
    Ui->EmbeddedFormControlSettings->SetEmbeddedFormName({});
    for (TLumoraTabbedForm* page : Pages) page->setParent(nullptr);
}

TPageHost& TDlgSettings::Host() { return *Ui->EmbeddedFormControlSettings; }

QString TDlgSettings::CurrentPageName() const { return Ui->EmbeddedFormControlSettings->EmbeddedFormName(); }

void TDlgSettings::BuildTree() {
    QTreeWidget& tree = *Ui->TreeViewSettings;
    tree.clear();
    for (const TTopic& topic : Topics) {
        auto* item = new QTreeWidgetItem(&tree, {QStr(::Translate(topic.Caption))});
        item->setData(0, Qt::UserRole, QString(topic.PageName));
    }
    tree.setCurrentItem(tree.topLevelItem(0));
}

void TDlgSettings::SelectTopic(const QString& pageName) {
    QTreeWidget& tree = *Ui->TreeViewSettings;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (tree.topLevelItem(i)->data(0, Qt::UserRole).toString() == pageName)
            tree.setCurrentItem(tree.topLevelItem(i));
}

void TDlgSettings::Translate() {
    setWindowTitle(QStr(::Translate("Settings")));
    TranslateWindow(*this, {"SettingsButtonOk"});
    for (TLumoraTabbedForm* page : Pages) page->Translate();
    QTreeWidget& tree = *Ui->TreeViewSettings;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        tree.topLevelItem(i)->setText(0, QStr(::Translate(Topics[i].Caption)));
    FitPage();
}

void TDlgSettings::FitPage() {
    // Long captions (translations often are) widen the dialog rather than being cut.
    QSplitter& splitter = *Ui->SplitterSettings;
    const int tree = std::max(Ui->TreeViewSettings->minimumWidth(), splitter.sizes().value(0));
    const int page = Ui->EmbeddedFormControlSettings->sizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    const int needed = margins.left() + tree + splitter.handleWidth() + page + margins.right();
    if (needed > width()) resize(needed, height());
    if (splitter.sizes().value(1) < page) splitter.setSizes({tree, page});
}

void TDlgSettings::TopicChanged(QTreeWidgetItem* item) {
    if (!item) return;
    const QString name = item->data(0, Qt::UserRole).toString();
    Ui->EmbeddedFormControlSettings->SetEmbeddedFormName(name);
    for (TLumoraTabbedForm* page : Pages) page->SetPageVisible(page->objectName() == name);
    FitPage();
}
