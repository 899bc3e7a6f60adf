// The main window's frame as a model: which group a page belongs to, which
// tabs and groups are visible, the Go/Cancel button, and the window's own
// settings as a plain record mapped to and from the settings store.
#pragma once

#include <optional>
#include <string>

#include "lib/settings.h"

// Page identifiers of ShowPage.
enum TPageId : int {
    PageMain = 0,
    PageOptions = 1,
    PageChapters = 2,
    PageIsoFiles = 3,
    PageMpegTools = 4,
    PageBuildRip = 5,
    PageCdrdaoTools = 6,
    PageLog = 7,
    PageNavigation = 8,
    PageXmlViewer = 9,
    PageMpegStills = 10,
};

enum TGroupId : int { GroupSvcd = 0, GroupTools = 1, GroupLog = 2 };

// The group of a page id, nothing for an unknown id.
std::optional<TGroupId> GroupOfPage(int pageId);

// What decides which tabs are offered.
struct TFrameAvailability {
    bool VcdImagerToolsFound = false;
    int CdrdaoVersionCode = 0;
    int MjpegToolsVersionCode = 0;
    bool MjpegToolsAvailable = false;
    bool PbcEnabledAndChecked = true;
};

bool TabVisible(int pageId, const TFrameAvailability& availability);
bool ToolsGroupVisible(const TFrameAvailability& availability);
// The Go button's panel: while a queue can be cancelled, or on the (S)VCD and Log groups.
bool GoPanelVisible(bool cancelMode, int activeGroup);

// Go/Cancel: one cancel request per queue.
class TGoCancelState {
public:
    enum class TAction { None, Cancel, Start };

    bool CancelMode() const { return Cancelling; }
    bool CancelPending() const { return Pending; }

    // A click on the button while the manager runs (or not).
    TAction Click(bool managerRunning);
    // The manager's handlers.
    void QueueBegin() { Pending = false; }
    void CancelEnable(bool enable) { Cancelling = enable; }
    void AllDone() {
        Cancelling = false;
        Pending = false;
    }

private:
    bool Cancelling = false;
    bool Pending = false;
};

// The main window's own settings as its controls hold them.
struct TMainWindowSettings {
    std::string VcdType = "Vcd20";  // "Vcd11", "Vcd20" or "Svcd"
    std::string Language = "English";
    bool UsePbc = true;
    bool UsePbcEnabled = true;  // "UsePBC" is written only while its box is enabled
    bool AlwaysOnTop = false;
    bool XmlOnly = false;
    bool PerformComplianceChecks = true;
    bool RelaxAps = false;
    std::string CdImageTypeAsTool = "Cue";  // "Cue", "AdvCue" or "Toc"
    bool MpegScanUse2336 = false;
    bool RipUse2336 = false;
    bool RipNoExtPsd = false;
    bool RipNoSequences = false;
    bool RipNoSegments = false;
    bool RipNoFiles = false;
    bool RipXmlOnly = false;
    std::string LastOutputFolder;
    std::string LastInputFolder;
    bool RememberSizePosition = true;
    bool ExpertMode = false;
    bool NoBadPacketsWarning = false;
    bool DoNotShowHighSvcdBitRateAgain = false;
    std::string TvSystem = "PAL";
};

// The main window's keys get their declared defaults.
void SetMainDefaults(TSettings& store);
// The record as the loaded store says.
TMainWindowSettings ApplyMainSettings(const TSettings& store);
// The record into the store (not saved to disk).
void StoreMainSettings(const TMainWindowSettings& state, TSettings& store);

// The disc type names of "VcdType": "Svcd" and "Vcd11" as written, anything else "Vcd20".
std::string NormalVcdType(const std::string& stored);
// "cue", "advcue" or "toc" in any case gives its stored name; anything else "Cue".
std::string NormalImageTypeAsTool(const std::string& stored);

// The track pregap of the gaps page while the image type changes: Toast forces
// 152 sectors, and leaving Toast gives the user's value back. The stored
// setting keeps the user's value throughout.
class TToastPregap {
public:
    static constexpr int ToastPregap = 152;

    int Shown() const { return Toast ? ToastPregap : UserValue; }
    bool IsToast() const { return Toast; }
    // The value the user set (or loaded); shown unless Toast is chosen.
    int Stored() const { return UserValue; }
    void SetUserValue(int value) { UserValue = value; }
    void CdImageTypeChanged(bool isToast) { Toast = isToast; }

private:
    int UserValue = 150;
    bool Toast = false;
};
