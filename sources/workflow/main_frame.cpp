#include "workflow/main_frame.h"

#include "lib/text.h"
#include "settings/gui_settings.h"

std::optional<TGroupId> GroupOfPage(int pageId) {
    switch (pageId) {
        case PageMain:
        case PageOptions:
        case PageChapters:
        case PageIsoFiles:
        case PageNavigation:
            return GroupSvcd;
        case PageMpegTools:
        case PageBuildRip:
        case PageCdrdaoTools:
        case PageMpegStills:
            return GroupTools;
        case PageLog:
        case PageXmlViewer:
            return GroupLog;
        default:
            return std::nullopt;
    }
}

bool TabVisible(int pageId, const TFrameAvailability& availability) {
    switch (pageId) {
        case PageNavigation:
            return availability.PbcEnabledAndChecked;
        case PageMpegTools:
        case PageBuildRip:
            return availability.VcdImagerToolsFound;
        case PageCdrdaoTools:
            return availability.CdrdaoVersionCode != 0;
        case PageMpegStills:
            return availability.MjpegToolsAvailable;
        default:
            return GroupOfPage(pageId).has_value();
    }
}

bool ToolsGroupVisible(const TFrameAvailability& availability) {
    return availability.CdrdaoVersionCode != 0 || availability.VcdImagerToolsFound ||
           availability.MjpegToolsVersionCode != 0;
}

bool GoPanelVisible(bool cancelMode, int activeGroup) {
    return cancelMode || activeGroup == GroupSvcd || activeGroup == GroupLog;
}

TGoCancelState::TAction TGoCancelState::Click(bool managerRunning) {
    if (Cancelling) {
        if (!managerRunning || Pending) return TAction::None;
        Pending = true;
        return TAction::Cancel;
    }
    return managerRunning ? TAction::None : TAction::Start;
}

namespace {

// The keys the main window itself keeps, in the order it stores them.
constexpr const char* MainKeys[] = {
    "VcdType",
    "Language",
    "UsePBC",
    "AlwaysOnTop",
    "XmlOnly",
    "PerformComplianceChecks",
    "RelaxAPS",
    "CdImageTypeAsTool",
    "MpegScanUse2336BytesForImage",
    "RipUse2336BytesForImage",
    "RipNoExtPsd",
    "RipNoSequences",
    "RipNoSegments",
    "RipNoFiles",
    "RipXmlOnly",
    "LastOutputFolder",
    "LastInputFolder",
    "RememberSizePosition",
    "ExpertMode",
    "NoBadPacketsWarning",
    "DoNotShowHighSvcdBitRateAgain",
    "TvSystem",
};

}  // namespace

void SetMainDefaults(TSettings& store) {
    for (const char* key : MainKeys) {
        for (const TSettingDeclaration& declaration : GuiSettingDeclarations()) {
            if (SameText(declaration.Name, key) && !IsEmpty(declaration.Default))
                store.SetValueDefault(key, declaration.Default);
        }
    }
}

std::string NormalVcdType(const std::string& stored) {
    if (stored == "Svcd" || stored == "Vcd11") return stored;
    return "Vcd20";
}

std::string NormalImageTypeAsTool(const std::string& stored) {
    const std::string lower = LowerCase(Trim(stored));
    if (lower == "advcue") return "AdvCue";
    if (lower == "toc") return "Toc";
    return "Cue";
}

TMainWindowSettings ApplyMainSettings(const TSettings& store) {
    TMainWindowSettings state;
    state.VcdType = NormalVcdType(store.GetString("VcdType"));
    state.Language = store.GetString("Language", "English");
    state.UsePbc = store.GetBool("UsePBC", true);
    state.AlwaysOnTop = store.GetBool("AlwaysOnTop");
    state.XmlOnly = store.GetBool("XmlOnly");
    state.PerformComplianceChecks = store.GetBool("PerformComplianceChecks", true);
    state.RelaxAps = store.GetBool("RelaxAPS");
    state.CdImageTypeAsTool = NormalImageTypeAsTool(store.GetString("CdImageTypeAsTool"));
    state.MpegScanUse2336 = store.GetBool("MpegScanUse2336BytesForImage");
    state.RipUse2336 = store.GetBool("RipUse2336BytesForImage");
    state.RipNoExtPsd = store.GetBool("RipNoExtPsd");
    state.RipNoSequences = store.GetBool("RipNoSequences");
    state.RipNoSegments = store.GetBool("RipNoSegments");
    state.RipNoFiles = store.GetBool("RipNoFiles");
    state.RipXmlOnly = store.GetBool("RipXmlOnly");
    state.LastOutputFolder = Trim(store.GetString("LastOutputFolder"));
    state.LastInputFolder = Trim(store.GetString("LastInputFolder"));
    state.RememberSizePosition = store.GetBool("RememberSizePosition", true);
    state.ExpertMode = store.GetBool("ExpertMode");
    state.NoBadPacketsWarning = store.GetBool("NoBadPacketsWarning");
    state.DoNotShowHighSvcdBitRateAgain = store.GetBool("DoNotShowHighSvcdBitRateAgain");
    const std::string tv = UpperCase(store.GetString("TvSystem"));
    state.TvSystem = (tv == "NTSC" || tv == "FILM" || tv == "NTSCFILM") ? "NTSC" : "PAL";
    return state;
}

void StoreMainSettings(const TMainWindowSettings& state, TSettings& store) {
    store.SetValue("VcdType", NormalVcdType(state.VcdType));
    store.SetValue("Language", state.Language);
    if (state.UsePbcEnabled) store.SetValue("UsePBC", state.UsePbc);
    store.SetValue("AlwaysOnTop", state.AlwaysOnTop);
    store.SetValue("XmlOnly", state.XmlOnly);
    store.SetValue("PerformComplianceChecks", state.PerformComplianceChecks);
    store.SetValue("RelaxAPS", state.RelaxAps);
    store.SetValue("CdImageTypeAsTool", NormalImageTypeAsTool(state.CdImageTypeAsTool));
    store.SetValue("MpegScanUse2336BytesForImage", state.MpegScanUse2336);
    store.SetValue("RipUse2336BytesForImage", state.RipUse2336);
    store.SetValue("RipNoExtPsd", state.RipNoExtPsd);
    store.SetValue("RipNoSequences", state.RipNoSequences);
    store.SetValue("RipNoSegments", state.RipNoSegments);
    store.SetValue("RipNoFiles", state.RipNoFiles);
    store.SetValue("RipXmlOnly", state.RipXmlOnly);
    store.SetValue("LastOutputFolder", state.LastOutputFolder);
    store.SetValue("LastInputFolder", state.LastInputFolder);
    store.SetValue("TvSystem", state.TvSystem);
    store.SetValue("RememberSizePosition", state.RememberSizePosition);
    store.SetValue("ExpertMode", state.ExpertMode);
    store.SetValue("NoBadPacketsWarning", state.NoBadPacketsWarning);
    store.SetValue("DoNotShowHighSvcdBitRateAgain", state.DoNotShowHighSvcdBitRateAgain);
}
