// Callbacks that the main window registers so that pages, settings pages and
// commands reach it without depending on it. An unregistered service does nothing.
#pragma once

#include <functional>
#include <string>

class TMainWindowServices {
public:
    std::function<void()> OnRefreshSizes;
    std::function<void()> OnQueueBegin;
    std::function<void()> OnQueueAllDone;
    std::function<void(const std::string& text)> OnShowWaitMessage;
    std::function<void()> OnStopWaitAnimation;
    std::function<void(const std::string& text, bool show)> OnSetProgressText;
    std::function<void(bool enabled)> OnSetWindowEnabled;
    std::function<void(bool updatePages)> OnApplyVideoCdType;
    std::function<void(bool isToast)> OnCdImageTypeChanged;
    std::function<void()> OnDevicesChanged;
    std::function<void()> OnWriterSelectionChanged;
    std::function<void(bool on)> OnSetFileListBatch;
    std::function<void()> OnRefreshFileListNow;

    void RefreshSizes() const { Call(OnRefreshSizes); }
    void QueueBegin() const { Call(OnQueueBegin); }
    void QueueAllDone() const { Call(OnQueueAllDone); }
    void ShowWaitMessage(const std::string& text) const { Call(OnShowWaitMessage, text); }
    void StopWaitAnimation() const { Call(OnStopWaitAnimation); }
    void SetProgressText(const std::string& text, bool show) const { Call(OnSetProgressText, text, show); }
    void SetWindowEnabled(bool enabled) const { Call(OnSetWindowEnabled, enabled); }
    void ApplyVideoCdType(bool updatePages) const { Call(OnApplyVideoCdType, updatePages); }
    void CdImageTypeChanged(bool isToast) const { Call(OnCdImageTypeChanged, isToast); }
    void DevicesChanged() const { Call(OnDevicesChanged); }
    void WriterSelectionChanged() const { Call(OnWriterSelectionChanged); }
    void SetFileListBatch(bool on) const { Call(OnSetFileListBatch, on); }
    void RefreshFileListNow() const { Call(OnRefreshFileListNow); }

private:
    template <typename F, typename... Args>
    static void Call(const F& handler, Args&&... args) {
        if (handler) handler(std::forward<Args>(args)...);
    }
};
