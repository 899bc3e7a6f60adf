#include "settings/gui_settings.h"

#include <vector>

#include "lib/text.h"

namespace {

constexpr TSettingType B = TSettingType::stBoolean;
constexpr TSettingType S = TSettingType::stString;
constexpr TSettingType I = TSettingType::stInteger;
constexpr TSettingType D = TSettingType::stDate;
constexpr TSettingType F = TSettingType::stFloat;
constexpr TSettingStorage Ini = TSettingStorage::ssIniFile;
constexpr TSettingStorage Reg = TSettingStorage::ssRegistry;

TSettingValue Str(const char* text) { return TSettingValue(std::string(text)); }
TSettingValue Int(std::int32_t value) { return TSettingValue(value); }

const std::vector<TSettingDeclaration>& Declarations() {
    static const std::vector<TSettingDeclaration> table{
        // Authoring on the main page.
        {"VcdType", S, Ini, Str("Vcd20")},
        {"TvSystem", S, Ini, Str("PAL")},
        {"XmlOnly", B, Ini, false},
        {"PerformComplianceChecks", B, Ini, true},
        {"RelaxAPS", B, Ini, false},
        {"UsePBC", B, Ini, true},
        {"ExpertMode", B, Ini, false},
        {"AlwaysOnTop", B, Ini, false},
        {"RememberSizePosition", B, Ini, true},
        {"Language", S, Ini, {}},
        {"LastInputFolder", S, Ini, Str("")},
        {"LastOutputFolder", S, Ini, Str("")},
        {"NoBadPacketsWarning", B, Ini, false},
        {"DoNotShowHighSvcdBitRateAgain", B, Ini, false},
        {"NoMpegAnalyseStorage", B, Ini, false},
        {"XmlComments", B, Ini, true},
        {"FillVolumeLabel", B, Ini, false},
        {"FillAlbumName", B, Ini, false},
        {"EraseCdImageFiles", B, Ini, false},
        {"EraseXmlFile", B, Ini, false},
        {"NoAutopaddingWarning", B, Ini, false},
        {"ShowSDOWarning", B, Ini, false},
        // Disc options.
        {"IncludeNumKeyForChapters", B, Ini, true},
        {"WaitTime", I, Ini, Int(2)},
        {"NextVolumeUseSequence2", B, Ini, false},
        {"NextVolumeUseLid2", B, Ini, false},
        {"SvcdBroken", B, Ini, false},
        {"SvcdUpdateScanData", B, Ini, true},
        {"AddEmptySegmentDir", B, Ini, true},
        {"RestrictionCategory", I, Ini, Int(0)},
        {"CustomizeGaps", B, Ini, false},
        {"LeadoutPreGap", I, Ini, Int(150)},
        {"TrackPreGap", I, Ini, Int(150)},
        {"VcdTrackFrontMargin", I, Ini, Int(30)},
        {"VcdTrackRearMargin", I, Ini, Int(45)},
        {"SvcdTrackFrontMargin", I, Ini, Int(0)},
        {"SvcdTrackRearMargin", I, Ini, Int(0)},
        {"VcdUseCdiDefault", B, Ini, false},
        {"VcdUseCdiDefaultCfg", B, Ini, true},
        {"ApplicationID", S, Ini, Str("CDI/CDI_VCD.APP;1")},
        // Image, burning and ripping.
        {"CdImageType", S, Ini, Str("Cue")},
        {"Use2336BytesForImage", B, Ini, false},
        {"CdImageTypeAsTool", S, Ini, Str("Cue")},
        {"MpegScanUse2336BytesForImage", B, Ini, false},
        {"CdWriterSimulate", B, Ini, true},
        {"CdWriterBurn", B, Ini, false},
        {"CdWriterDevice", S, Ini, Str("")},
        {"CdWriterDriver", S, Ini, Str(" default")},
        {"CdWriterSpeed", S, Ini, Str("4x")},
        {"CdWriterBuffer", S, Ini, Str("64")},
        {"CdWriterOverburn", B, Ini, false},
        {"CdWriterEject", B, Ini, true},
        {"CdWriterForce", B, Ini, false},
        {"DisableBurnProof", B, Ini, false},
        {"DisableReload", B, Ini, false},
        {"EjectWhenNoDisc", B, Ini, false},
        {"CdReaderDevice", S, Ini, Str("")},
        {"CdReaderDriver", S, Ini, Str(" default")},
        {"QuickBlankCdrw", B, Ini, true},
        {"DiscInfoFromWriter", B, Ini, false},
        {"CreateBinFromWriter", B, Ini, {}},
        {"Use2336BytesForCreateBin", B, Ini, false},
        {"BurnBinTocSimulate", B, Ini, true},
        {"RipFrom", S, Ini, Str("image")},
        {"RipUse2336BytesForImage", B, Ini, false},
        {"RipNoExtPsd", B, Ini, false},
        {"RipNoSequences", B, Ini, false},
        {"RipNoSegments", B, Ini, false},
        {"RipNoFiles", B, Ini, false},
        {"RipXmlOnly", B, Ini, false},
        {"AspiDevice", S, Ini, Str("")},
        {"ForceNoCdrdao", B, Ini, false},
        {"ForceCdrdao", B, Ini, false},
        {"EnableAspiTools", B, Ini, false},
        {"PreferredAspi", S, Ini, Str("")},
        {"AspiWindowsWasOk", B, Ini, false},
        {"AspiAdaptecWasOk", B, Ini, false},
        {"AspiNeroWasOk", B, Ini, false},
        {"AspiCdrdaoWasOk", B, Ini, false},
        // Log, messages and peripheral features.
        {"Log", S, Ini, Str("Verbose")},
        {"LogWarnings", B, Ini, true},
        {"SaveLog", B, Ini, false},
        {"SaveLogFilename", S, Ini, Str("")},
        {"DisplayXmlInColor", B, Ini, true},
        {"SoundsEnabled", B, Ini, true},
        {"ShowTipsAtStartup", B, Ini, true},
        {"CurrentTipNumber", I, Ini, Int(-1)},
        {"Proxy", S, Ini, Str("")},
        {"ProxyPort", S, Ini, Str("80")},
        {"PerformCheck", B, Reg, true},
        {"LastVersionCheckDate", D, Reg, 0.0},
        {"DoNotShowNoVcdImagerAgain", B, Ini, false},
        {"DoNotShowNoCdrdaoAgain", B, Ini, false},
        {"DoNotShowNoMjpegAgain", B, Ini, false},
        {"DoNotShowNoAspiDllAgain", B, Ini, false},
        {"DoNotShowBadVcdImagerAgain", B, Ini, false},
        {"DoNotShowBadCdrDaoAgain", B, Ini, false},
        {"DoNotShowCdrdaoReadWarningAgain", B, Ini, false},
        {"DoNotShowCdrDaoDisabledAgain", B, Ini, false},
        {"DoNotShowBadMjpegtoolsAgain", B, Ini, false},
        {"DoNotShowTooSmallDesktopAgain", B, Ini, false},
        {"DoNotShowDVDPlayerRequiredAgain", B, Ini, false},
        // Chapters page and MPEG stills page.
        {"ChapterEveryMs", S, Ini, Str("0:00:00.000")},
        {"ChapterEveryFrames", S, Ini, Str("0")},
        {"ChapterEquidistant", I, Ini, Int(1)},
        {"PlayerVolume", I, Ini, Int(15)},
        {"SavePlayerPictureFolder", S, Ini, Str("")},
        {"StillType", S, Ini, Str("StillVcd")},
        {"StillSvcdHacked", B, Ini, false},
        {"StillPal", B, Ini, true},
        {"StillHigh", B, Ini, true},
        {"StillResizeFilter", S, Ini, Str("Spline")},
        {"StillNoMaximize", B, Ini, true},
        {"StillMpegQuality", I, Ini, Int(20)},
        {"StillTvCropping", I, Ini, Int(0)},
        {"StillBackColor", F, Ini, 0.0},
        {"StillTvAspectRatio", B, Ini, true},
        {"StillApplyARCorrection", B, Ini, true},
        {"StillDeleteTempFiles", B, Ini, true},
        {"StillOutFolder", S, Ini, Str("")},
        {"StillRecursiveDrop", B, Ini, false},
        {"StillContinueOnErrors", B, Ini, false},
        {"AntiFlickering", I, Ini, Int(0)},
    };
    return table;
}

}  // namespace

std::span<const TSettingDeclaration> GuiSettingDeclarations() { return Declarations(); }

void DeclareGuiSettings(TSettings& store, const std::string& detectedLanguage) {
    store.SetIniFileName(GuiIniFileName);
    store.RootKey = TRootKeys::rkHKEY_CURRENT_USER;
    store.BaseKey = GuiBaseKey;
    store.SetApplicationKey(GuiApplicationKey);
    store.SetApplicationIni(GuiIniSection);
    const std::string language = Trim(detectedLanguage).empty() ? std::string("English") : Trim(detectedLanguage);
    for (const TSettingDeclaration& declaration : Declarations()) {
        const bool isLanguage = std::string_view(declaration.Name) == "Language";
        store.Add(declaration.Name, declaration.Type, declaration.Storage,
                  isLanguage ? TSettingValue(language) : declaration.Default);
    }
    store.ClearModified();
}
