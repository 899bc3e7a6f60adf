#include <filesystem>

#include "cli/cli_jobs.h"
#include "environment/detected_tools.h"
#include "environment/tools_detection.h"
#include "model/mpeg_file.h"
#include "vcdimager/command_cdxa_to_mpeg.h"
#include "vcdimager/command_vcdxbuild.h"
#include "vcdimager/command_vcdxrip.h"
#include "vcdimager/compliance_file_names.h"
#include "vcdimager/mpeg_analysis_command.h"
#include "vcdimager/mpeg_compliance.h"

namespace fs = std::filesystem;

TCdImageType CliImageType(const std::string& name) {
    if (name == "advcue") return TCdImageType::AdvCue;
    if (name == "toc") return TCdImageType::Toc;
    if (name == "toast") return TCdImageType::Toast;
    return TCdImageType::Cue;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

int RunCheck(TCliSession& session) {
    for (const std::string& line : ToolsCheckLines(DetectedTools())) session.Printer().Line(line);
    return DetectedTools().VcdImagerAvailable ? ExitSuccess : ExitFailure;
}

int RunAnalyse(TCliSession& session, const std::vector<std::string>& files, bool relaxedAps) {
    // Each name is checked first, so that every refused file gets its reason.
    TStringList accepted;
    for (const std::string& file : files)
        if (CheckMpegInputFile(AbsolutePath(file))) accepted.push_back(AbsolutePath(file));
    const auto count = static_cast<std::int32_t>(accepted.size());
    int analysed = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        auto show = [&](TCommandInterface&, const TExecuteStatus& status, bool&, const TCommandParamPtr& param) {
            const TMpegInformation information = ShowSimpleMpegAnalyse(status, static_cast<TMinfoParam&>(*param));
            if (!information.Analysed) return;
            if (status.IsSucceeded()) ++analysed;
            for (const std::string& line : information.Lines) session.Printer().Line(line);
        };
        session.Manager().Add(AnalyseMpegFile(accepted[static_cast<std::size_t>(i)], nullptr, nullptr, count, i + 1,
                                              relaxedAps, session.LineHandler(), show));
    }
    if (count > 0) session.RunQueue(false);
    const auto total = static_cast<int>(files.size());
    if (analysed != total)
        session.Printer().Message(TMsgDlgType::Error,
                                  Format("%d of %d files could not be analysed", total - analysed, total));
    if (session.WasInterrupted()) return ExitInterrupted;
    return analysed == total ? ExitSuccess : ExitFailure;
}

int RunBuildXml(TCliSession& session, const std::string& xml, const std::string& output, const std::string& image,
                bool sector2336) {
    const TCdImageType type = CliImageType(image);
    const std::string input = AbsolutePath(xml);
    const std::string target = AbsolutePath(output);
    if (const std::string refusal = RefusedToolPathMessage(target); !refusal.empty()) {
        session.Printer().Message(TMsgDlgType::Error, refusal);
        return ExitFailure;
    }
    const std::string base = fs::path(target).replace_extension().string();
    TStringList outputs = {base + ".toc"};
    if (type == TCdImageType::Cue || type == TCdImageType::AdvCue) {
        outputs = {base + ".bin", base + ".cue"};
    } else {
        for (const std::string& track : TrackImageFiles(base)) outputs.push_back(track);
    }
    for (const std::string& path : outputs)
        if (RefuseSameCdxaFiles(input, path) || !PrepareOutputFile(path)) return ExitFailure;
    if (!ConfirmReplacing(ExistingFiles(outputs))) return ExitFailure;
    auto param = MakeBuildParam(input, base, type, sector2336);
    const std::string imageFile = ImageFileName(*param);
    session.Manager().Add(BuildCdImage(param, session.LineHandler()));
    if (!session.RunQueue()) return session.FailureExitCode();
    session.Printer().Result("image", imageFile);
    return ExitSuccess;
}

int RunRip(TCliSession& session, const TRipCliOptions& options) {
    const std::string image = AbsolutePath(options.Image);
    const std::optional<std::string> xml = CheckOutputFileName(
        AbsolutePath(options.Xml.empty() ? fs::path(image).replace_extension(".xml").string() : options.Xml), "xml");
    if (!xml || RefuseSameCdxaFiles(image, *xml)) return ExitFailure;
    TRipOptions rip;
    rip.XmlOnly = options.XmlOnly;
    rip.NoSequences = options.NoSequences;
    rip.NoSegments = options.NoSegments;
    rip.NoFiles = options.NoFiles;
    rip.NoExtPsd = options.NoExtPsd;
    rip.Sector2336 = options.Sector2336;
    session.Manager().Add(RipBinFile(image, *xml, rip, session.LineHandler()));
    if (!session.RunQueue()) return session.FailureExitCode();
    session.Printer().Result("xml", *xml);
    return ExitSuccess;
}

int RunDatToMpg(TCliSession& session, const std::string& input, const std::string& output) {
    const std::string in = AbsolutePath(input);
    const std::string out = AbsolutePath(output);
    if (RefuseSameCdxaFiles(in, out)) return ExitFailure;
    session.Manager().Add(CdxaToMpeg(in, out, session.LineHandler()));
    if (!session.RunQueue()) return session.FailureExitCode();
    session.Printer().Result("mpeg", out);
    return ExitSuccess;
}
