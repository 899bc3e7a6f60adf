// Settings page "CD Images": the image type of authoring runs.
#pragma once

#include <memory>

#include "pages/tabbed_page.h"
#include "workflow/settings_pages.h"

namespace Ui {
class PageSettingsCdImage;
}
class QRadioButton;

class TPageSettingsCdImage final : public TLumoraTabbedForm {
    Q_OBJECT
public:
    explicit TPageSettingsCdImage(QWidget* parent = nullptr);
    ~TPageSettingsCdImage() override;

    void Translate() override;
    void LoadSettings() override;
    void SaveSettings() override;
    void DefaultSettings() override;

    TCdImageSettingsModel Model;

private:
    std::unique_ptr<Ui::PageSettingsCdImage> Ui;
    QRadioButton* Radio(int code) const;
    void TypeClicked(int code);
};
