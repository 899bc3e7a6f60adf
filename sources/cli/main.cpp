// lumora-cli: the program's jobs for scripts and terminals.
#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "cli/cli_jobs.h"
#include "cli/drive_jobs.h"
#include "environment/tools_detection.h"
#include "lib/ini_file.h"
#include "lib/product.h"
#include "platform/folders.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "settings/startup_keys.h"
#include "vcdimager/analysis_store.h"

namespace {

// A settings file that is a FIFO, a device or huge is not used, nor replaced.
bool SettingsFilesUsable(TCliSession& session) {
    for (const std::string& path : {IniFilePath(GuiIniFileName), RegistryFilePath()}) {
        const std::string problem = TIniFile(path).LoadProblem();
        if (problem.empty()) continue;
        session.Printer().Message(
            TMsgDlgType::Error,
            Format(Translate("The settings file \"%s\" cannot be used"), path) + ": " + problem + ".");
        return false;
    }
    return true;
}

// The detection that every job but the help needs; false ends the program.
bool StartUp(TCliSession& session) {
    if (!SettingsFilesUsable(session)) return false;
    const TStartupKeys keys = TStartupKeysReader().Read();
    ActivateStartupLanguage(keys.Language);
    TSettings settings;
    DeclareGuiSettings(settings, "");
    settings.Load();
    session.Printer().ShowDebug = settings.GetString("Log", "Verbose") == "Verbose";
    AnalysisStoreOptions().Disabled = settings.GetBool("NoMpegAnalyseStorage");
    AnalysisStoreOptions().Scrambled = keys.EncryptFiles;
    if (DetectTools(ReadDetectionOptions())) return true;
    session.Printer().Message(TMsgDlgType::Error, "GNU VCDImager is required and was not found usable.");
    return false;
}

// Without a standard output nothing can be reported; and a descriptor 1 left
// free would be taken by the next pipe, mixing the tools' output with ours.
bool StandardOutputOpen() {
    // A closed input or error output only loses what nobody would read.
    for (const int fd : {STDIN_FILENO, STDERR_FILENO})
        if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) != fd) return false;
    if (fcntl(STDOUT_FILENO, F_GETFD) != -1) return true;
    std::fprintf(stderr, "lumora-cli: the standard output is closed\n");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!StandardOutputOpen()) return ExitFailure;
    CLI::App app{std::string(ProductName) + " - Video CD and Super Video CD authoring", "lumora-cli"};
    app.set_version_flag("--version", std::string(ProductName) + " " + ProductVersion);
    app.require_subcommand(0, 1);
    app.fallthrough();  // the global options may follow the sub-command too

    TCliOptions global;
    app.add_flag("--json", global.Json, "Print every status line as one JSON object per line");
    auto* yes = app.add_flag("--yes", global.Yes, "Answer every question with yes");
    app.add_flag("--no", global.No, "Answer every question with no")->excludes(yes);
    app.add_flag("--expert", global.Expert, "Expert mode (default: the stored ExpertMode setting)");

    app.add_subcommand("check", "Show which tools were found");

    bool relaxed = false;
    std::vector<std::string> analyseFiles;
    auto* analyse = app.add_subcommand("analyse", "Analyse MPEG files");
    analyse->add_flag("--relaxed-aps", relaxed, "Relax the APS constraints for chapter entry points");
    analyse->add_option("FILE", analyseFiles, "MPEG files")->required();

    TAuthorOptions author;
    auto* authorCommand = app.add_subcommand("author", "Author a disc image from MPEG files, in disc order");
    authorCommand->add_option("--type", author.Type, "Disc type")->check(CLI::IsMember({"vcd11", "vcd20", "svcd"}));
    authorCommand->add_option("--tv", author.Tv, "TV system (default: the first file's)")
        ->check(CLI::IsMember({"pal", "ntsc"}));
    authorCommand->add_option("--image", author.Image, "CD image type")
        ->check(CLI::IsMember({"cue", "advcue", "toc", "toast"}));
    authorCommand->add_option("--chapters", author.Chapters, "Chapter times (H:MM:SS.mmm or seconds)")->delimiter(',');
    authorCommand->add_option("--chapters-every", author.ChaptersEvery,
                              "A chapter every so often (H:MM:SS.mmm or seconds)");
    authorCommand->add_flag("--no-pbc", author.NoPbc, "No playback control");
    authorCommand->add_option("--label", author.Label, "Volume label");
    authorCommand->add_option("--album", author.Album, "Album name");
    authorCommand->add_option("--output", author.Output, "Output file (default ./videocd.bin, .toc or .xml)");
    authorCommand->add_flag("--xml-only", author.XmlOnly, "Write the XML description only");
    authorCommand->add_flag("--sector-2336", author.Sector2336, "Use 2336-byte sectors for the image");
    authorCommand->add_option("--save", author.SaveProject, "Save the project file too");
    authorCommand->add_option("--iso-files", author.IsoFiles,
                              "Files and folders for the root of the disc's file system (the names up to the next "
                              "option; give the MPEG files first)");
    authorCommand->add_option("FILE", author.Files, "MPEG files and pictures (made into stills)")->required();

    std::string buildProject;
    std::string buildOutput;
    auto* build = app.add_subcommand("build", "Build the image of a saved project");
    build->add_option("PROJECT", buildProject, "Project file (.dsv)")->required();
    build->add_option("--output", buildOutput, "Output file");

    std::string xmlFile;
    std::string xmlOutput;
    std::string xmlImage = "cue";
    bool xmlSector2336 = false;
    auto* buildXml = app.add_subcommand("build-xml", "Build a disc image from a VideoCD XML description");
    buildXml->add_option("FILE", xmlFile, "VideoCD XML description")->required();
    buildXml->add_option("--output", xmlOutput, "Image file")->required();
    buildXml->add_option("--image", xmlImage, "CD image type")->check(CLI::IsMember({"cue", "advcue", "toc"}));
    buildXml->add_flag("--sector-2336", xmlSector2336, "Use 2336-byte sectors for the image");

    TRipCliOptions rip;
    auto* ripCommand = app.add_subcommand("rip", "Rip a Video CD image back into files");
    ripCommand->add_option("IMAGE", rip.Image, "CUE, BIN or NRG image")->required();
    ripCommand->add_option("--xml", rip.Xml, "XML description to write (default beside the image)");
    ripCommand->add_flag("--xml-only", rip.XmlOnly, "Write the description only");
    ripCommand->add_flag("--no-sequences", rip.NoSequences, "Do not extract the motion videos");
    ripCommand->add_flag("--no-segments", rip.NoSegments, "Do not extract the stills");
    ripCommand->add_flag("--no-files", rip.NoFiles, "Do not extract the other files");
    ripCommand->add_flag("--no-ext-psd", rip.NoExtPsd, "Ignore the extended PSD");
    ripCommand->add_flag("--sector-2336", rip.Sector2336, "The image has 2336-byte sectors");

    TStillsCliOptions stills;
    auto* stillsCommand = app.add_subcommand("stills", "Turn pictures into MPEG stills");
    stillsCommand->add_option("--type", stills.Type, "Still type")
        ->check(CLI::IsMember({"vcd", "vcd-high", "vcd-dual", "svcd", "svcd-high"}));
    stillsCommand->add_option("--tv", stills.Tv, "TV system")->check(CLI::IsMember({"pal", "ntsc"}));
    stillsCommand->add_option("--quality", stills.Quality, "Size of the still, 0 to 100")->check(CLI::Range(0, 100));
    stillsCommand->add_option("--filter", stills.Filter, "Resampling filter")
        ->check(CLI::IsMember({"nearest", "linear", "spline", "lanczos"}));
    stillsCommand->add_option("--crop", stills.Crop, "TV overscan cropping in percent")->check(CLI::Range(0, 50));
    stillsCommand->add_option("--aspect", stills.Aspect, "Display aspect to correct for")
        ->check(CLI::IsMember({"none", "4:3", "16:9"}));
    stillsCommand->add_flag("--no-enlarge", stills.NoEnlarge, "Do not enlarge small pictures");
    stillsCommand->add_option("--background", stills.Background, "Background colour RRGGBB");
    stillsCommand->add_option("--anti-flicker", stills.AntiFlicker, "Anti-flicker blur radius")
        ->check(CLI::Range(0.0, 10.0));
    stillsCommand->add_option("--jobs", stills.Jobs, "Pictures prepared at once (default: one per core)")
        ->check(CLI::Range(1, 64));
    stillsCommand->add_option("--output-folder", stills.OutputFolder,
                              "Folder of the stills (default: beside each picture)");
    stillsCommand->add_option("PICTURE", stills.Pictures, "Pictures and folders of pictures")->required();

    std::string datIn;
    std::string datOut;
    auto* dat = app.add_subcommand("dat2mpg", "Turn a Video CD .dat file into an MPEG file");
    dat->add_option("IN", datIn, "CDXA .dat file")->required();
    dat->add_option("OUT", datOut, "MPEG file")->required();

    TDriveCliOptions drive;
    AddDriveCommand(app, drive);
    TCdCliOptions cd;
    auto* cdCommand = app.add_subcommand("cd", "CD writer and reader jobs through cdrdao");
    cdCommand->require_subcommand(1);
    auto addDevice = [&cd](CLI::App* job, bool reader) {
        job->add_option("--device", cd.Device, "Device node, such as /dev/sr0 (default: the stored one)");
        if (reader) job->add_flag("--reader", cd.Reader, "Use the reader rather than the writer");
    };
    cdCommand->add_subcommand("scan", "List the CD writers and readers");
    addDevice(cdCommand->add_subcommand("info", "Show what disc is in the drive"), true);
    auto* cdBlank = cdCommand->add_subcommand("blank", "Blank a CD-RW");
    addDevice(cdBlank, false);
    cdBlank->add_flag("--full", cd.Full, "Blank the whole disc, not only its table of contents");
    cdBlank->add_flag("--eject", cd.Eject, "Eject the disc afterwards");
    auto* cdRead = cdCommand->add_subcommand("read", "Read a whole disc into a BIN file and its TOC file");
    addDevice(cdRead, true);
    cdRead->add_flag("--sector-2336", cd.Sector2336, "Read 2336-byte sectors");
    cdRead->add_option("--output", cd.Output, "BIN file to write; its TOC file goes beside it")->required();
    addDevice(cdCommand->add_subcommand("unlock", "Unlock a drive left locked by a failed burn"), true);
    auto* cdBurn = cdCommand->add_subcommand("burn", "Burn a CUE or TOC image");
    cdBurn->add_option("IMAGE", cd.Image, "CUE or TOC image")->required();
    addDevice(cdBurn, false);
    cdBurn->add_option("--speed", cd.Speed, "Writing speed (0: the drive's best)")->check(CLI::Range(0, 64));
    cdBurn->add_flag("--simulate", cd.Simulate, "Simulate the burn: the laser stays off");
    cdBurn->add_flag("--eject", cd.Eject, "Eject the disc afterwards");
    cdBurn->add_flag("--overburn", cd.Overburn, "Allow writing beyond the disc's stated capacity");
    cdBurn->add_option("--buffers", cd.Buffers, "Buffer count")->check(CLI::IsMember({32, 64, 128, 256, 512}));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        if (!std::cout.flush()) return ExitFailure;
        return code == 0 ? ExitSuccess : ExitUsage;
    }
    if (app.get_subcommands().empty()) {
        std::cout << app.help();
        return std::cout.flush() ? ExitSuccess : ExitFailure;
    }

    TCliSession session(global);
    try {
        if (!StartUp(session)) return ExitFailure;
        const std::string name = app.get_subcommands().front()->get_name();
        auto run = [&] {
            if (name == "check") return RunCheck(session);
            if (name == "analyse") return RunAnalyse(session, analyseFiles, relaxed);
            if (name == "author") {
                author.Expert = global.Expert;
                return RunAuthor(session, author);
            }
            if (name == "build") return RunBuildProject(session, buildProject, buildOutput);
            if (name == "build-xml") return RunBuildXml(session, xmlFile, xmlOutput, xmlImage, xmlSector2336);
            if (name == "rip") return RunRip(session, rip);
            if (name == "drive") return RunDrive(session, drive);
            if (name == "stills") return RunStills(session, stills);
            if (name == "cd") return RunCd(session, cdCommand->get_subcommands().front()->get_name(), cd);
            return RunDatToMpg(session, datIn, datOut);
        };
        // An error box shown on the way fails the job, even when its commands succeeded,
        // and so does a report that did not reach its reader.
        const int code = run();
        if (code != ExitSuccess) return code;
        return session.ErrorsShown() > 0 || session.Printer().WriteFailed() ? ExitFailure : ExitSuccess;
    } catch (const std::exception& error) {
        // The session's end stops and reaps whatever still runs.
        session.Printer().Message(TMsgDlgType::Error, std::string("Internal error: ") + error.what());
        return ExitFailure;
    }
}
