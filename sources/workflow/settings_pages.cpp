#include "workflow/settings_pages.h"

#include <array>

#include "lib/text.h"

void TAuthoringSettingsModel::DefaultSettings(TSettings& store) const {
    store.SetValueDefault("XmlComments", true);
    store.SetValueDefault("FillVolumeLabel", false);
    store.SetValueDefault("FillAlbumName", false);
    store.SetValueDefault("EraseCdImageFiles", false);
    store.SetValueDefault("EraseXmlFile", false);
    store.SetValueDefault("NoMpegAnalyseStorage", false);
    store.SetValueDefault("EnableAspiTools", false);
}

void TAuthoringSettingsModel::LoadSettings(const TSettings& store) {
    XmlComments = store.GetBool("XmlComments", true);
    FillVolumeLabel = store.GetBool("FillVolumeLabel");
    FillAlbumName = store.GetBool("FillAlbumName");
    EraseCdImageFiles = store.GetBool("EraseCdImageFiles");
    EraseXmlFile = store.GetBool("EraseXmlFile");
    NoMpegAnalyseStorage = store.GetBool("NoMpegAnalyseStorage");
    IntegratedBurning = IntegratedBurningEnabled() && Availability.CdrdaoSupported;
    EnableAspiTools = Availability.ScsiToolsEnabled;
}

void TAuthoringSettingsModel::SaveSettings(TSettings& store) const {
    store.SetValue("XmlComments", XmlComments);
    store.SetValue("FillVolumeLabel", FillVolumeLabel);
    store.SetValue("FillAlbumName", FillAlbumName);
    store.SetValue("EraseCdImageFiles", EraseCdImageFiles);
    store.SetValue("EraseXmlFile", EraseXmlFile);
    store.SetValue("NoMpegAnalyseStorage", NoMpegAnalyseStorage);
    store.SetValue("EnableAspiTools", AspiToolsEnabled() && EnableAspiTools);
    if (IntegratedBurningEnabled()) {
        store.SetValue("ForceCdrdao", IntegratedBurning);
        store.SetValue("ForceNoCdrdao", !IntegratedBurning);
    }
}

namespace {

constexpr std::array<const char*, 4> ImageTypeNames{"Cue", "AdvCue", "Toc", "Toast"};

}  // namespace

int ImageTypeCode(const std::string& name) {
    for (std::size_t i = 0; i < ImageTypeNames.size(); ++i)
        if (SameText(Trim(name), ImageTypeNames[i])) return static_cast<int>(i);
    return 0;
}

const char* ImageTypeName(int code) {
    return code >= 0 && code < static_cast<int>(ImageTypeNames.size()) ? ImageTypeNames[static_cast<std::size_t>(code)]
                                                                       : ImageTypeNames[0];
}

void TCdImageSettingsModel::DefaultSettings(TSettings& store) const {
    store.SetValueDefault("CdImageType", std::string("Cue"));
    store.SetValueDefault("Use2336BytesForImage", false);
}

void TCdImageSettingsModel::LoadSettings(const TSettings& store) {
    ImageType = ImageTypeCode(store.GetString("CdImageType"));
    Use2336 = store.GetBool("Use2336BytesForImage");
}

void TCdImageSettingsModel::SaveSettings(TSettings& store) const {
    store.SetValue("CdImageType", std::string(ImageTypeName(ImageType)));
    store.SetValue("Use2336BytesForImage", Use2336);
}

void TWarningsSettingsModel::DefaultSettings(TSettings& store) const {
    store.SetValueDefault("ShowSDOWarning", false);
    store.SetValueDefault("NoAutopaddingWarning", false);
}

void TWarningsSettingsModel::LoadSettings(const TSettings& store) {
    ShowSdoWarning = store.GetBool("ShowSDOWarning");
    NoAutopaddingWarning = store.GetBool("NoAutopaddingWarning");
}

void TWarningsSettingsModel::SaveSettings(TSettings& store) const {
    store.SetValue("ShowSDOWarning", ShowSdoWarning);
    store.SetValue("NoAutopaddingWarning", NoAutopaddingWarning);
}
