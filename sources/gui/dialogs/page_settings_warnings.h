// Settings page "Warnings": which compliance warnings are shown.
#pragma once

#include <memory>

#include "pages/tabbed_page.h"
#include "workflow/settings_pages.h"

namespace Ui {
class PageSettingsWarnings;
}

class TPageSettingsWarnings final : public TLumoraTabbedForm {
    Q_OBJECT
public:
    explicit TPageSettingsWarnings(QWidget* parent = nullptr);
    ~TPageSettingsWarnings() override;

    void LoadSettings() override;
    void SaveSettings() override;
    void DefaultSettings() override;

    TWarningsSettingsModel Model;

private:
    std::unique_ptr<Ui::PageSettingsWarnings> Ui;
};
