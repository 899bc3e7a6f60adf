// The settings dialog: a tree of topics and the page of the chosen topic.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "lib/text.h"

namespace Ui {
class DlgSettings;
}
class TLumoraTabbedForm;
class TPageHost;
class QTreeWidgetItem;

class TDlgSettings final : public QDialog {
    Q_OBJECT
public:
    // `pages` are the settings pages in topic order: General, CD Images, Warnings, Log.
    explicit TDlgSettings(std::vector<TLumoraTabbedForm*> pages, QWidget* parent = nullptr);
    ~TDlgSettings() override;

    bool CdrdaoSupportEnabled = true;

    // Rebuilds the tree, translated, with "General" selected.
    void BuildTree();
    void SelectTopic(const QString& pageName);
    void Translate();
    TPageHost& Host();
    QString CurrentPageName() const;

private:
    std::unique_ptr<Ui::DlgSettings> Ui;
    std::vector<TLumoraTabbedForm*> Pages;
    void TopicChanged(QTreeWidgetItem* item);
    void FitPage();
};
