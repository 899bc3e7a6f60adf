#include "environment/aspi_layer.h"

#include "settings/language.h"

namespace {

constexpr const char* AspiDllName = "WnAspi32.dll";

std::string WithoutTrailingDelimiter(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

// Joined with the folder's own delimiter: the Windows layers name Windows folders.
std::string DllPathIn(const std::string& folder) {
    const bool windowsStyle = folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
    return folder + (windowsStyle ? "\\" : "/") + AspiDllName;
}

bool IsWindowsFamily(TWindowsFamily family) { return family == TWindowsFamily::Nt || family == TWindowsFamily::Win95; }

// The Nero folder that holds the layer, or empty.
std::string NeroAspiFolder(const TDetectionPlatform& platform, TWindowsFamily family) {
    if (family == TWindowsFamily::Win95 && !platform.SystemFileExists("IOSUBSYS\\NEROAPIX.VXD")) return {};
    for (const std::string& folder : platform.NeroFolders()) {
        const std::string trimmed = WithoutTrailingDelimiter(folder);
        if (!Trim(trimmed).empty() && platform.AspiDllIn(trimmed)) return trimmed;
    }
    return {};
}

bool PreferredIsCandidate(const TAspiChoice& choice) {
    switch (choice.Preferred) {
        case TPreferredAspi::Windows:
            return choice.WindowsPresent && choice.ForceCdrdao;
        case TPreferredAspi::Adaptec:
            return choice.AdaptecPresent;
        case TPreferredAspi::Nero:
            return choice.NeroPresent;
        case TPreferredAspi::Cdrdao:
            return choice.CdrdaoPresent;
        case TPreferredAspi::None:
            break;
    }
    return false;
}

TAspiLayer LayerOf(TPreferredAspi preferred) {
    switch (preferred) {
        case TPreferredAspi::Windows:
            return TAspiLayer::Windows;
        case TPreferredAspi::Adaptec:
            return TAspiLayer::Adaptec;
        case TPreferredAspi::Nero:
            return TAspiLayer::Nero;
        case TPreferredAspi::Cdrdao:
            return TAspiLayer::CdrdaoFolder;
        case TPreferredAspi::None:
            break;
    }
    return TAspiLayer::None;
}

TAspiLayer DefaultLayer(const TAspiChoice& choice) {
    if (choice.CdrdaoPresent) return TAspiLayer::CdrdaoFolder;
    if (choice.NeroPresent) return TAspiLayer::Nero;
    if (choice.AdaptecPresent) return TAspiLayer::Adaptec;
    if (choice.KernelPresent) return TAspiLayer::LinuxSgIo;
    if (choice.WindowsPresent && choice.ForceCdrdao) return TAspiLayer::Windows;
    return TAspiLayer::None;
}

}  // namespace

TAspiChoice ChooseAspiLayer(const TDetectionPlatform& platform, const TStartupKeys& keys,
                            const std::string& cdrdaoFolder) {
    TAspiChoice choice;
    const TWindowsFamily family = platform.Family();
    choice.InstallationClass = platform.AspiInstallationClass();
    const int fullOrMinimal = family == TWindowsFamily::Win95 ? 3 : 7;

    choice.WindowsPresent = IsWindowsFamily(family) && platform.SystemFileExists(AspiDllName);
    choice.AdaptecPresent = choice.InstallationClass >= 0 && choice.InstallationClass <= fullOrMinimal;
    const std::string neroFolder = NeroAspiFolder(platform, family);
    choice.NeroPresent = !neroFolder.empty();
    const std::string ownFolder = WithoutTrailingDelimiter(cdrdaoFolder);
    choice.CdrdaoPresent = !cdrdaoFolder.empty() && platform.AspiDllIn(ownFolder);
    choice.KernelPresent = platform.KernelScsiLayer();

    // An installed layer supersedes Windows' own; cdrdao's own copy supersedes all.
    if (choice.AdaptecPresent) choice.WindowsPresent = false;
    if (choice.CdrdaoPresent) choice.WindowsPresent = choice.AdaptecPresent = choice.NeroPresent = false;

    choice.ForceNoCdrdao = keys.ForceNoCdrdao;
    choice.ForceCdrdao = keys.ForceCdrdao;
    choice.Preferred = keys.PreferredAspi;
    // A layer that appeared since the last run deserves another try of cdrdao.
    const bool newLayer =
        (choice.WindowsPresent && !keys.AspiWindowsWasOk) || (choice.AdaptecPresent && !keys.AspiAdaptecWasOk) ||
        (choice.NeroPresent && !keys.AspiNeroWasOk) || (choice.CdrdaoPresent && !keys.AspiCdrdaoWasOk);
    if (choice.ForceNoCdrdao && newLayer) {
        choice.ForceNoCdrdao = false;
        choice.Preferred = TPreferredAspi::None;
    }
    if (choice.ForceNoCdrdao) choice.ForceCdrdao = false;

    choice.Layer = PreferredIsCandidate(choice) ? LayerOf(choice.Preferred) : DefaultLayer(choice);
    switch (choice.Layer) {
        case TAspiLayer::Windows:
        case TAspiLayer::Adaptec:
            choice.Folder = WithoutTrailingDelimiter(platform.SystemFolder());
            break;
        case TAspiLayer::Nero:
            choice.Folder = neroFolder;
            break;
        case TAspiLayer::CdrdaoFolder:
            choice.Folder = ownFolder;
            break;
        case TAspiLayer::None:
        case TAspiLayer::LinuxSgIo:
            break;
    }
    if (!choice.Folder.empty()) choice.DllPath = DllPathIn(choice.Folder);
    return choice;
}

namespace {

const char* AdaptecVersionPart(int installationClass) {
    static constexpr const char* parts[] = {"460", "470", "471", "Sup471"};
    return installationClass >= 0 && installationClass <= 7 ? parts[installationClass % 4] : "";
}

const char* AdaptecVersionLabel(int installationClass) {
    static constexpr const char* labels[] = {" v4.60", " v4.70", " v4.71", " v > 4.71"};
    return installationClass >= 0 && installationClass <= 7 ? labels[installationClass % 4] : "";
}

}  // namespace

std::string AspiReportingName(TAspiLayer layer, int installationClass) {
    switch (layer) {
        case TAspiLayer::None:
            return "AspiNone";
        case TAspiLayer::Windows:
            return "AspiWindows";
        case TAspiLayer::Adaptec:
            return std::string("AspiAdaptec") + AdaptecVersionPart(installationClass) +
                   (installationClass >= 4 ? "Min" : "Full");
        case TAspiLayer::Nero:
            return "AspiNero";
        case TAspiLayer::CdrdaoFolder:
            return "AspiCdrdao";
        case TAspiLayer::LinuxSgIo:
            return "Linux SG_IO";
    }
    return "AspiNone";
}

std::string AspiStatusLabel(TAspiLayer layer, int installationClass) {
    const std::string aspi = Translate("%s ASPI");
    switch (layer) {
        case TAspiLayer::None:
            return Format(Translate("No %s"), "ASPI");
        case TAspiLayer::Windows:
            return Format(aspi, "Windows");
        case TAspiLayer::Adaptec:
            return Format(aspi, std::string("Adaptec") + AdaptecVersionLabel(installationClass) +
                                    (installationClass >= 4 ? " Min" : ""));
        case TAspiLayer::Nero:
            return Format(aspi, "Nero");
        case TAspiLayer::CdrdaoFolder:
            return Format(aspi, "CDRDAO");
        case TAspiLayer::LinuxSgIo:
            return "Linux SG_IO";
    }
    return Format(Translate("No %s"), "ASPI");
}

bool ScsiToolsAllowedOn(TAspiLayer layer) {
    return layer == TAspiLayer::Adaptec || layer == TAspiLayer::Nero || layer == TAspiLayer::CdrdaoFolder ||
           layer == TAspiLayer::LinuxSgIo;
}
