// Settings page "Log": detail level, warnings and the log file.
#pragma once

#include <memory>

#include "pages/tabbed_page.h"
#include "workflow/log_settings.h"

namespace Ui {
class PageSettingsLog;
}

class TPageSettingsLog final : public TLumoraTabbedForm {
    Q_OBJECT
public:
    TPageSettingsLog(TLogSettingsModel& model, TLogFile& file, QWidget* parent = nullptr);
    ~TPageSettingsLog() override;

    void LoadSettings() override;
    void SaveSettings() override;
    void DefaultSettings() override;

private:
    std::unique_ptr<Ui::PageSettingsLog> Ui;
    TLogSettingsModel& Model;
    TLogFile& File;

    void ApplySave();
    void ShowModel();
    void Browse();
    void CleanLog();
};
