// Base of every page of the main window and of the settings dialog: the
// life-cycle calls through which the frame drives all pages alike, and
// docking into a page host or floating as a tool window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "lib/text.h"

class TSettings;
class TPageHost;

class TLumoraTabbedForm : public QWidget {
    Q_OBJECT
public:
    explicit TLumoraTabbedForm(QWidget* parent = nullptr);

    // Back into the host it was last docked in.
    virtual void Dock();
    // Out of its host into a tool window of its own, centred on the desktop.
    virtual void Undock();
    virtual void PageShow() {}
    virtual void PageHide() {}
    // Translates the components named in ListStringsToTranslate; the page's
    // caption (the floating window's title) follows its title label.
    virtual void Translate();
    virtual void SetSettings(TSettings* store) { Settings = store; }
    virtual void LoadSettings() {}
    virtual void SaveSettings() {}
    virtual void DefaultSettings() {}
    virtual void SetPageEnabled(bool) {}
    virtual void ResetPage() {}

    void ToggleDock();
    bool IsDocked() const;
    void SetPageVisible(bool show);
    bool IsHidden() const { return HiddenFlag; }
    bool IsHiddenAndDocked() const { return HiddenFlag && IsDocked(); }

    TPageHost* LastHost() const;
    void SetLastHost(TPageHost* host);

    TStringList ListStringsToTranslate;

protected:
    TSettings* Settings = nullptr;
    // The label whose text is the page's title, if any.
    QWidget* TitleLabel = nullptr;

    void closeEvent(QCloseEvent* event) override;

private:
    bool HiddenFlag = true;
    QPointer<TPageHost> Host;
};
