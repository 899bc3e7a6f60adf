#include "environment/tools_detection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>

#include "environment/aspi_layer.h"
#include "lib/console_runner.h"
#include "lib/product.h"
#include "platform/folders.h"
#include "services/services.h"
#include "settings/language.h"
#include "settings/message_dialogs.h"

namespace {

struct TFlagKey {
    const char* Key;
    bool TDoNotShowFlags::*Flag;
};

constexpr TFlagKey FlagKeys[] = {
    {"DoNotShowNoVcdImagerAgain", &TDoNotShowFlags::NoVcdImager},
    {"DoNotShowNoCdrdaoAgain", &TDoNotShowFlags::NoCdrdao},
    {"DoNotShowNoMjpegAgain", &TDoNotShowFlags::NoMjpeg},
    {"DoNotShowNoAspiDllAgain", &TDoNotShowFlags::NoAspiDll},
    {"DoNotShowBadVcdImagerAgain", &TDoNotShowFlags::BadVcdImager},
    {"DoNotShowBadCdrDaoAgain", &TDoNotShowFlags::BadCdrdao},
    {"DoNotShowCdrdaoReadWarningAgain", &TDoNotShowFlags::CdrdaoReadWarning},
    {"DoNotShowCdrDaoDisabledAgain", &TDoNotShowFlags::CdrdaoDisabled},
    {"DoNotShowBadMjpegtoolsAgain", &TDoNotShowFlags::BadMjpegtools},
};

constexpr std::uint32_t NoExitCode = 0xFFFFFFFF;

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

TStringList WithoutTrailingEmptyLines(TStringList lines) {
    while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
    return lines;
}

// What a version query printed, and how it ended.
struct TQueryResult {
    TStringList Lines;
    std::uint32_t ExitCode = NoExitCode;
};

// One detection run: the options, the state being filled, and the messages.
class TDetection {
public:
    TDetection(const TDetectionOptions& options, TDetectedTools& tools)
        : Options(options),
          Tools(tools),
          Platform(options.Platform ? *options.Platform : SystemDetectionPlatform()),
          Product(ProductName) {}

    bool Run();

private:
    const TDetectionOptions& Options;
    TDetectedTools& Tools;
    const TDetectionPlatform& Platform;
    const std::string Product;

    bool CheckVcdImager();
    void CheckCdrdao();
    void CheckMjpegTools();

    std::string LocateTool(const std::string& subFolder, const std::string& program) const;
    bool FolderIsUsable(const std::string& folder, const std::string& forbidden) const;
    bool ProgramsPresent(const std::string& folder, std::initializer_list<const char*> programs) const;
    TQueryResult Query(const std::string& program, const std::string& parameters) const;

    void ErrorBox(const std::string& message) const { Dialogs().MessageDlg(message, TMsgDlgType::Error, mbOK); }
    void InformationBox(const std::string& message) const {
        Dialogs().MessageDlg(message, TMsgDlgType::Information, mbOK);
    }
    void Advanced(const std::string& message, TMsgDlgType type, const std::string& helpName, bool& dontShow) const {
        AdvancedMessageDlg(message, type, mbOK, helpName, Translate(DontShowAgainCaption), dontShow, TModalResult::OK);
    }
    std::string OnlyVersionText() const {
        return Translate("This " + Product + " version supports only the version %s of \"%s\"");
    }
    std::string NoAspiDllText() const;
};

bool TDetection::Run() {
    if (!CheckVcdImager()) return false;
    // The media player is Qt Multimedia here; the window front end checks it
    // and disables only the chapter preview without it.
    CheckCdrdao();
    CheckMjpegTools();
    return true;
}

std::string TDetection::LocateTool(const std::string& subFolder, const std::string& program) const {
    const std::string own = Tools.ProgramFolder + subFolder + "/";
    if (IsExecutableFile(own + program)) return own;
    const char* environment = std::getenv("PATH");
    const std::string path = Options.SearchPath ? *Options.SearchPath : std::string(environment ? environment : "");
    for (const std::string& folder : SplitLines(ReplaceAll(path, ":", "\n"))) {
        // Relative entries would make the result depend on the current folder.
        if (folder.empty() || folder.front() != '/') continue;
        const std::string candidate = IncludeTrailingDelimiter(folder);
        if (IsExecutableFile(candidate + program)) return candidate;
    }
    return {};
}

// The tool commands quote their paths on command lines; a folder holding a
// character that breaks those lines is refused with a message.
bool TDetection::FolderIsUsable(const std::string& folder, const std::string& forbidden) const {
    for (const char c : folder) {
        if (forbidden.find(c) == std::string::npos) continue;
        std::string shown = std::string(1, c);
        if (c == '\n') shown = Translate("line break");
        if (c == '\t') shown = Translate("tab");
        ErrorBox("\r" + Format(Translate("The %s character is not allowed in:"), shown) + "\r\r   " + folder + "\r");
        return false;
    }
    return true;
}

bool TDetection::ProgramsPresent(const std::string& folder, std::initializer_list<const char*> programs) const {
    for (const char* program : programs) {
        if (IsExecutableFile(folder + program)) continue;
        ErrorBox("\r" + Format(Translate("\"%s\" must be in the folder \"%s\""), std::string(program), folder) + ".  " +
                 "\r");
        return false;
    }
    return true;
}

TQueryResult TDetection::Query(const std::string& program, const std::string& parameters) const {
    TQueryResult result;
    try {
        result.ExitCode =
            CaptureConsoleOutput(program, parameters, &result.Lines, nullptr, true, true, Options.QueryTimeoutMs);
    } catch (const EConsoleIOError&) {
        // Not started or killed for hanging: no usable banner.
        result.ExitCode = NoExitCode;
    }
    return result;
}

bool TDetection::CheckVcdImager() {
    const std::string folder = LocateTool("VCDImager", "vcdxbuild");
    if (folder.empty()) {
        ErrorBox(
            Format(Translate("\"%s\" (from %s) not found"), std::string("vcdxbuild"), std::string("GNU VCDImager")) +
            "... " + "\r\r" + Format(Translate("Some files required by %s are missing"), Product) + "... " + "\r" +
            Format(Translate("Please, install the %s full distribution to have all the required files"), Product) +
            ".     ");
        return false;
    }
    if (!FolderIsUsable(folder, "\"\\\n\t")) return false;

    const TQueryResult query = Query(folder + "vcdxbuild", "-V");
    if (query.ExitCode == 0) Tools.VcdImagerBanner = WithoutTrailingEmptyLines(query.Lines);
    const std::string version = VcdImagerVersionLine(query.Lines, query.ExitCode);
    if (!IsSupportedVcdImager(version, Options.Rules)) {
        // Without VCDImager the program ends; it must never end without a word,
        // so any unsupported or unreadable version gets the message.
        Advanced(
            "\r" + Format(OnlyVersionText(), SupportedVcdImagerVersions(Options.Rules), std::string("GNU VCDImager")) +
                "...   ",
            TMsgDlgType::Information, "", Tools.DoNotShow.BadVcdImager);
        return false;
    }
    Tools.VcdImagerFolder = folder;
    Tools.VcdImagerVersion = version;
    if (!ProgramsPresent(folder, {"vcdxminfo", "vcdxrip", "cdxa2mpeg"})) return false;
    Tools.VcdImagerAvailable = true;
    return true;
}

std::string TDetection::NoAspiDllText() const {
    return Format(Translate("\"%s\" not found"), std::string("WnAspi32.dll")) + "... " + "\r" +
           Translate("The ASPI layer (required by CDRDAO) may be missing or not be installed correctly") + "    " +
           "\r\r\r" + Translate("CDRDAO support is disabled");
}

void TDetection::CheckCdrdao() {
    const std::string folder = LocateTool("CDRDAO", "cdrdao");
    if (folder.empty()) {
        Advanced(
            Format(Translate("\"%s\" not found"), std::string("CDRDAO")) + ". " + "\r\r" +
                Format(Translate("If you want to burn with %s..."), Product) + " " + "\r" +
                Format(Translate("Please, install the %s full distribution to have all the required files"), Product) +
                ".     ",
            TMsgDlgType::Information, "", Tools.DoNotShow.NoCdrdao);
        return;
    }
    if (!FolderIsUsable(folder, "\"\\\n\t")) return;
    Tools.CdrdaoFolder = folder;

    const TAspiChoice choice = ChooseAspiLayer(Platform, Options.Keys, folder);
    Tools.AspiWindowsPresent = choice.WindowsPresent;
    Tools.AspiAdaptecPresent = choice.AdaptecPresent;
    Tools.AspiNeroPresent = choice.NeroPresent;
    Tools.AspiCdrdaoPresent = choice.CdrdaoPresent;
    Tools.AspiInstallationClass = choice.InstallationClass;
    Tools.AspiLayer = choice.Layer;
    Tools.AspiDllPath = choice.DllPath;
    Tools.AspiFolder = choice.Folder;
    Tools.ForceNoCdrdao = choice.ForceNoCdrdao;
    Tools.ForceCdrdao = choice.ForceCdrdao;

    // What cdrdao cannot use is not forced on again at the next start.
    const auto clearForceFlags = [&] { Tools.ForceNoCdrdao = Tools.ForceCdrdao = false; };
    if (Tools.ForceNoCdrdao) {
        Tools.CdrdaoDisabled = true;
        return;
    }
    if (!Tools.ForceCdrdao && (choice.Layer == TAspiLayer::None || choice.Layer == TAspiLayer::Windows)) {
        Tools.CdrdaoDisabled = true;
        if (Platform.SystemFileExists("WnAspi32.dll"))
            Advanced(
                Translate("CDRDAO (burning) has been disabled, as I am not sure it will work with your ASPI drivers") +
                    "    " + "\r\r" +
                    Translate("Go to the \"settings\" page to enable it yourself if you want to try...") + "    ",
                TMsgDlgType::Information, "UnknownAspi", Tools.DoNotShow.CdrdaoDisabled);
        else
            Advanced(NoAspiDllText(), TMsgDlgType::Information, "WinAspi", Tools.DoNotShow.NoAspiDll);
        return;
    }
    if (!ProgramsPresent(folder, {"cdrdao"})) {
        clearForceFlags();
        return;
    }
    if (choice.Layer == TAspiLayer::None) {
        InformationBox(NoAspiDllText());
        Tools.CdrdaoDisabled = true;
        clearForceFlags();
        return;
    }

    const TQueryResult query = Query(folder + "cdrdao", "");
    Tools.CdrdaoBanner = CdrdaoBannerLines(query.Lines, query.ExitCode);
    Tools.CdrdaoVersion = CdrdaoVersionLine(Tools.CdrdaoBanner);
    const TCdrdaoVersionCheck version = CheckCdrdaoVersion(Tools.CdrdaoVersion, Options.Rules);
    if (version.Code == 0) {
        if (version.TellUser) {
            const auto [first, second] = SupportedCdrdaoVersions(Options.Rules);
            Advanced(
                "\r" + Format(Translate("This " + Product + " version supports only the versions %s and %s of \"%s\""),
                              first, second, std::string("CDRDAO")),
                TMsgDlgType::Information, "", Tools.DoNotShow.BadCdrdao);
        }
        clearForceFlags();
        return;
    }
    Tools.CdrdaoVersionCode = version.Code;
    Tools.CdrdaoInstalled = true;
    if (Platform.Family() == TWindowsFamily::Win95)
        Advanced(
            "\r" +
                Translate("If the \"Auto Insert Notification\" of your CD device is ON, your PC may hang during CD "
                          "read operations.") +
                "\r" + Translate("If so, check OFF \"Auto Insert Notification\" of your CD device.") + "\r",
            TMsgDlgType::Warning, "", Tools.DoNotShow.CdrdaoReadWarning);
    Tools.ScsiToolsAllowed = ScsiToolsAllowedOn(choice.Layer);
    Tools.ScsiToolsEnabled = (Tools.ScsiToolsAllowed && Options.Keys.EnableAspiTools && Tools.CdrdaoInstalled) ||
                             Options.Keys.ExpertForceEnableAspiTools;
}

void TDetection::CheckMjpegTools() {
    const std::string folder = LocateTool("Mjpegtools", "mplex");
    if (folder.empty()) {
        Advanced(
            Format(Translate("\"%s\" not found"), std::string("MJPEG Tools")) + ". " + "\r\r" +
                Format(Translate("If you want to create some MPEG pictures with %s..."), Product) + " " + "\r" +
                Format(Translate("Please, install the %s full distribution to have all the required files"), Product) +
                ".     ",
            TMsgDlgType::Information, "", Tools.DoNotShow.NoMjpeg);
        return;
    }
    // The still pipelines run through "/bin/sh -c '...'": no quote, backquote or dollar either.
    if (!FolderIsUsable(folder, "\"\\\n\t'`$")) return;
    if (!ProgramsPresent(folder, {"jpeg2yuv", "mpeg2enc"})) return;

    const TQueryResult query = Query(folder + "mplex", "-?");
    Tools.MplexBanner = MplexBannerLines(query.Lines);
    const std::string version = MplexVersionText(Tools.MplexBanner);
    const std::uint8_t code = MplexVersionCode(version, Options.Rules);
    Tools.MplexVersion = version;
    if (code == 0) {
        Advanced(
            "\r" + Format(OnlyVersionText(), SupportedMplexVersions(Options.Rules), std::string("Mjpegtools Mplex")),
            TMsgDlgType::Information, "", Tools.DoNotShow.BadMjpegtools);
        return;
    }
    Tools.MjpegToolsFolder = folder;
    Tools.MjpegToolsVersionCode = code;
    Tools.MjpegToolsAvailable = true;
}

std::string YesNo(bool value) { return value ? Translate("yes") : Translate("no"); }

std::string OrNone(const std::string& text) { return text.empty() ? Translate("(none)") : text; }

}  // namespace

TDetectionOptions ReadDetectionOptions(const TStartupKeysReader& reader) {
    TDetectionOptions options;
    options.Keys = reader.Read();
    for (const TFlagKey& key : FlagKeys) options.DoNotShow.*key.Flag = reader.Flag(key.Key);
    return options;
}

TDetectionOptions ReadDetectionOptions() { return ReadDetectionOptions(TStartupKeysReader()); }

bool DetectTools(const TDetectionOptions& options, TDetectedTools& tools) {
    tools = TDetectedTools{};
    tools.ProgramFolder =
        IncludeTrailingDelimiter(options.ProgramFolder.empty() ? ProgramFolder() : options.ProgramFolder);
    tools.DoNotShow = options.DoNotShow;
    tools.ForceNoCdrdao = options.Keys.ForceNoCdrdao;
    tools.ForceCdrdao = options.Keys.ForceCdrdao;
    return TDetection(options, tools).Run();
}

bool DetectTools(const TDetectionOptions& options) { return DetectTools(options, DetectedTools()); }

std::string VcdImagerStatusText(const TDetectedTools& tools) {
    return tools.VcdImagerAvailable ? tools.VcdImagerVersion : Format(Translate("No %s"), std::string("GNU VCDImager"));
}

std::string CdrdaoStatusText(const TDetectedTools& tools) {
    if (tools.CdrdaoInstalled) return tools.CdrdaoVersion;
    if (tools.CdrdaoDisabled) return Format(Translate("%s disabled"), std::string("CDRDAO"));
    return Format(Translate("No %s"), std::string("CDRDAO"));
}

TStringList ToolsCheckLines(const TDetectedTools& tools) {
    const auto line = [](const char* label, const std::string& value) { return Translate(label) + ": " + value; };
    TStringList lines;
    lines.push_back(line("Program folder", tools.ProgramFolder));
    lines.push_back(line("VCDImager folder", OrNone(tools.VcdImagerFolder)));
    lines.push_back(line("VCDImager version", OrNone(tools.VcdImagerVersion)));
    lines.push_back(line("VCDImager available", YesNo(tools.VcdImagerAvailable)));
    lines.push_back(line("cdrdao folder", OrNone(tools.CdrdaoFolder)));
    lines.push_back(line("cdrdao version", OrNone(tools.CdrdaoVersion)));
    lines.push_back(line("cdrdao version code", std::to_string(tools.CdrdaoVersionCode)));
    lines.push_back(line("cdrdao installed", YesNo(tools.CdrdaoInstalled)));
    lines.push_back(line("cdrdao status", CdrdaoStatusText(tools)));
    lines.push_back(line("mjpegtools folder", OrNone(tools.MjpegToolsFolder)));
    lines.push_back(line("mplex version", OrNone(tools.MplexVersion)));
    lines.push_back(line("mjpegtools version code", std::to_string(tools.MjpegToolsVersionCode)));
    lines.push_back(line("mjpegtools available", YesNo(tools.MjpegToolsAvailable)));
    const std::string label = AspiStatusLabel(tools.AspiLayer, tools.AspiInstallationClass);
    const std::string name = AspiReportingName(tools.AspiLayer, tools.AspiInstallationClass);
    const std::string code = Translate("code") + " " + std::to_string(static_cast<int>(tools.AspiLayer));
    lines.push_back(line("SCSI layer", label + " (" + (name == label ? code : name + ", " + code) + ")"));
    lines.push_back(line("SCSI drive tools allowed", YesNo(tools.ScsiToolsAllowed)));
    lines.push_back(line("SCSI drive tools enabled", YesNo(tools.ScsiToolsEnabled)));
    lines.push_back(line("Media player", Translate("checked by the window front end")));
    return lines;
}

void StoreDetectionChoices(const TDetectedTools& tools, TSettings& store) {
    for (const TFlagKey& key : FlagKeys) store.SetValue(key.Key, tools.DoNotShow.*key.Flag);
    store.SetValue("ForceNoCdrdao", tools.ForceNoCdrdao);
    store.SetValue("ForceCdrdao", tools.ForceCdrdao);
    store.SetValue("AspiWindowsWasOk", tools.AspiWindowsPresent);
    store.SetValue("AspiAdaptecWasOk", tools.AspiAdaptecPresent);
    store.SetValue("AspiNeroWasOk", tools.AspiNeroPresent);
    store.SetValue("AspiCdrdaoWasOk", tools.AspiCdrdaoPresent);
}
