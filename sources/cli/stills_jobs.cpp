// lumora-cli stills, and the pictures among the files of lumora-cli author.
#include <filesystem>
#include <thread>

#include "cli/cli_jobs.h"
#include "environment/detected_tools.h"
#include "settings/gui_settings.h"
#include "stills/still_batch.h"

namespace fs = std::filesystem;

namespace {

// The stills page's settings, which the options then change.
TStillOptions StoredStillOptions() {
    TSettings settings;
    DeclareGuiSettings(settings, "");
    settings.Load();
    return ReadStillOptions(settings);
}

bool ParseColour(const std::string& text, std::uint32_t& colour) {
    std::string hex = text;
    if (!hex.empty() && hex.front() == '#') hex.erase(0, 1);
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    colour = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
    return true;
}

// Applies the command line's choices; false (and a message) for a bad one.
bool ApplyStillsOptions(TCliSession& session, const TStillsCliOptions& cli, TStillOptions& options) {
    auto refuse = [&](const std::string& message) {
        session.Printer().Message(TMsgDlgType::Error, message);
        return false;
    };
    if (!cli.Type.empty()) {
        options.Vcd = cli.Type.rfind("vcd", 0) == 0;
        options.High = cli.Type == "vcd-high" || cli.Type == "vcd-dual" || cli.Type == "svcd-high";
        options.Dual = cli.Type == "vcd-dual";
    }
    if (!cli.Tv.empty()) options.Pal = cli.Tv == "pal";
    if (cli.Quality >= 0) options.Quality = cli.Quality;
    if (!cli.Filter.empty()) options.Conversion.StretchFilter = StillFilterOf(cli.Filter);
    if (cli.Crop >= 0) options.Conversion.TvCropping = cli.Crop;
    if (!cli.Aspect.empty())
        options.Conversion.AspectCorrection = cli.Aspect == "none" ? 0 : cli.Aspect == "16:9" ? 2 : 1;
    if (cli.NoEnlarge) options.Conversion.AllowEnlarging = false;
    if (!cli.Background.empty() && !ParseColour(cli.Background, options.Conversion.BackColor))
        return refuse("Invalid background colour \"" + cli.Background + "\" (RRGGBB expected)");
    if (cli.AntiFlicker >= 0) options.Conversion.AntiFlickerRadius = cli.AntiFlicker;
    options.Jobs = cli.Jobs > 0 ? cli.Jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (!cli.OutputFolder.empty()) {
        options.OutputFolder = AbsolutePath(cli.OutputFolder);
        std::error_code error;
        if (!fs::is_directory(options.OutputFolder, error))
            return refuse("The output folder \"" + options.OutputFolder + "\" does not exist");
    }
    // Every picture goes on; the summary tells which failed.
    options.ContinueOnErrors = true;
    return true;
}

}  // namespace

bool MakeStills(TCliSession& session, const TStillOptions& options, const std::vector<std::string>& pictures,
                std::vector<std::string>& stills) {
    if (!DetectedTools().MjpegToolsAvailable) {
        session.Printer().Message(TMsgDlgType::Error, "The mjpegtools (jpeg2yuv, mpeg2enc, mplex) were not found.");
        return false;
    }
    TStillBatch batch(options);
    batch.Log = [&](const std::string& line) { session.Printer().Line(line); };
    batch.OnOutput = session.LineHandler();
    if (!batch.Queue(session.Manager(), pictures, true)) {
        session.Printer().Message(TMsgDlgType::Error, "No picture to turn into a still.");
        return false;
    }
    if (!session.Manager().IsEmpty()) session.RunQueue(false);
    const TStillSummary summary = batch.Summary();
    for (const std::string& line : summary.LogLines) session.Printer().Line(line);
    session.Printer().Message(summary.Failed == 0 ? TMsgDlgType::Information : TMsgDlgType::Error, summary.Text);
    stills.clear();
    for (std::size_t i = 0; i < batch.Files().size(); ++i) {
        if (!batch.Succeeded(i)) continue;
        stills.push_back(batch.Files()[i].Still);
        session.Printer().Result("still", batch.Files()[i].Still);
    }
    return summary.Failed == 0 && summary.Skipped == 0 && !session.WasInterrupted();
}

int RunStills(TCliSession& session, const TStillsCliOptions& cli) {
    TStillOptions options = StoredStillOptions();
    if (!ApplyStillsOptions(session, cli, options)) return ExitUsage;
    std::vector<std::string> paths;
    for (const std::string& path : cli.Pictures) paths.push_back(AbsolutePath(path));
    const std::vector<std::string> pictures = CollectPictures(paths, options.Recursive);
    std::vector<std::string> stills;
    if (MakeStills(session, options, pictures, stills)) return ExitSuccess;
    return session.WasInterrupted() ? ExitInterrupted : ExitFailure;
}

bool AuthorStills(TCliSession& session, bool svcd, bool pal, const std::string& outputFolder,
                  std::vector<std::string>& files) {
    std::vector<std::size_t> at;
    std::vector<std::string> pictures;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (HasPictureExtension(files[i])) {
            at.push_back(i);
            pictures.push_back(files[i]);
        }
    if (pictures.empty()) return true;
    TStillOptions options = StoredStillOptions();
    options.Vcd = !svcd;
    options.Pal = pal;
    options.High = true;
    options.Dual = !svcd;
    options.OutputFolder = outputFolder;
    options.NameSuffix = std::string(".") + (svcd ? "svcd" : "vcd") + (pal ? "-pal" : "-ntsc");
    options.ReuseUpToDate = true;
    options.ContinueOnErrors = true;
    options.Jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::string> stills;
    if (!MakeStills(session, options, pictures, stills) || stills.size() != pictures.size()) return false;
    for (std::size_t k = 0; k < at.size(); ++k) files[at[k]] = stills[k];
    return true;
}
