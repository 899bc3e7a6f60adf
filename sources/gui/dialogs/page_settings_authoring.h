// Settings page "General": authoring options.
#pragma once

#include <memory>

#include "pages/tabbed_page.h"
#include "workflow/settings_pages.h"

namespace Ui {
class PageSettingsAuthoring;
}

class TPageSettingsAuthoring final : public TLumoraTabbedForm {
    Q_OBJECT
public:
    explicit TPageSettingsAuthoring(QWidget* parent = nullptr);
    ~TPageSettingsAuthoring() override;

    void Translate() override;
    void LoadSettings() override;
    void SaveSettings() override;
    void DefaultSettings() override;

    TAuthoringSettingsModel Model;
    bool FirstPaintDone = false;  // the restart messages are shown only once the window is up

private:
    std::unique_ptr<Ui::PageSettingsAuthoring> Ui;
    void ShowModel();
    void TakeModel();
    void AspiToolsClicked(bool checked);
};
