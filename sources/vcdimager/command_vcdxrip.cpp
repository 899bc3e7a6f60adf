#include "vcdimager/command_vcdxrip.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "settings/language.h"
#include "vcdimager/compliance_file_names.h"
#include "vcdimager/last_file_names.h"
#include "writers/video_cd_xml_writer.h"

namespace fs = std::filesystem;

TCommandVcdXRip::TCommandVcdXRip(TCommandSetup setup)
    : TCommandVcd(std::move(setup)), RipParam(std::dynamic_pointer_cast<TRipParam>(Param)) {
    Kind = TCommandKind::CdxaConversion;
}

void TCommandVcdXRip::GetExecutable(std::string& path) { path = VcdImagerProgram("vcdxrip"); }

// vcdxrip writes the description and the files it extracts into its working
// folder: a temporary folder beside the description, moved into place when
// the rip succeeded.
void TCommandVcdXRip::GetWorkingFolder(std::string& folder) { folder = RipParam ? TemporaryFolder() : ""; }

const std::string& TCommandVcdXRip::TemporaryFolder() {
    if (WorkFolder.empty() && RipParam && !RipParam->XmlFile.empty())
        WorkFolder = Outputs.Folder(fs::path(RipParam->XmlFile).parent_path().string());
    return WorkFolder;
}

std::string TCommandVcdXRip::TemporaryXml() {
    return TemporaryFolder() + "/" + fs::path(RipParam->XmlFile).filename().string();
}

std::vector<std::string> TCommandVcdXRip::ToolPaths() const {
    if (!RipParam) return {};
    return {ToolPath(RipParam->XmlFile), ToolPath(RipParam->ImageFile)};
}

void TCommandVcdXRip::GetParameters(std::string& arguments) {
    arguments.clear();
    if (!RipParam) return;
    const TRipParam& p = *RipParam;
    arguments = "-v --gui -p";
    if (p.Sector2336) arguments += " --sector-2336";
    if (p.NoExtPsd) arguments += " --no-ext-psd";
    if (p.XmlOnly) {
        arguments += " --norip";
    } else {
        if (p.NoSequences) arguments += " --nosequences";
        if (p.NoSegments) arguments += " --nosegments";
        if (p.NoFiles) arguments += " --nofiles";
    }
    arguments += " -o \"" + ToolPath(TemporaryXml()) + "\"";
    const std::string image = ToolPath(p.ImageFile);
    arguments += (EndsText(image, ".nrg") ? " --nrg-file=\"" : " --bin-file=\"") + image + "\"";
}

void TCommandVcdXRip::BeforeStart(bool& proceed) {
    // vcdxrip's own words for a missing image name a ".cue" file nobody asked for.
    std::error_code error;
    if (proceed && RipParam && !fs::is_regular_file(RipParam->ImageFile, error)) {
        RefuseRun(Format(Translate("The file \"%s\" does not exist"), RipParam->ImageFile));
        proceed = false;
        return;
    }
    TCommandVcd::BeforeStart(proceed);
    if (!proceed || !RipParam) return;
    const std::string& xml = RipParam->XmlFile;
    if (!ConfirmReplacing(ExistingFiles({xml}))) {
        RefuseRun(Translate("The existing files were kept"));
        proceed = false;
        return;
    }
    if (!PrepareOutputFile(xml, true) || !fs::create_directory(TemporaryFolder(), error)) {
        RefuseRun(Translate("Unable to create") + ": " + xml);
        proceed = false;
    }
}

void TCommandVcdXRip::FilterLine(std::string& line) {
    line = Trim(line);
    if (IsElement(line, "log")) {
        const std::string level = AttributeValue(line, "level");
        if (level == LogLevel::Information &&
            (ContainsText(line, "done") || ContainsText(line, "writing xml description")))
            Status.SuccessLines.push_back(LogElementText(line));
        const std::string hint = "unexpected descriptor type, check the bytes sectors mode";
        if (level == LogLevel::Error && ContainsText(line, "unexpected descriptor type"))
            line = ReplaceFirstText(line, "unexpected descriptor type", hint);
        else if (level == LogLevel::Error && line.find("unexcected descriptor type") != std::string::npos)
            line = ReplaceFirstText(line, "unexcected descriptor type", hint);
    } else if (ContainsText(line, "done")) {
        Status.SuccessLines.push_back(line);
    }
    TCommandVcd::FilterLine(line);
}

void TCommandVcdXRip::OnSuccess() {
    if (!RipParam) return;
    std::error_code error;
    std::string reason;
    if (!fs::is_regular_file(TemporaryXml(), error)) {
        reason = Translate("The tool wrote no XML description");
    } else {
        // The names of the extracted files are known only now: those that
        // would replace an existing file are asked about first.
        TStringList replaced;
        for (const auto& [written, final] : Outputs.Written())
            if (final != RipParam->XmlFile) replaced.push_back(final);
        if (!ConfirmReplacing(ExistingFiles(replaced)))
            reason = Translate("The existing files were kept");
        else if (!Outputs.Commit(&reason))
            reason = Translate("Unable to overwrite") + ": " + reason;
    }
    if (!reason.empty()) return FailAfterRun(reason);
    if (!RipParam->ImageFile.empty()) RememberLastImageName(RipParam->ImageFile);
}

// Everything the tool wrote goes; the previous description and files stay.
void TCommandVcdXRip::DeleteOutputs() {
    Outputs.Discard();
    if (RipParam && RipParam->DeleteImageOnFailure && !RipParam->ImageFile.empty()) {
        RemoveQuietly(RipParam->ImageFile);
        RemoveQuietly(fs::path(RipParam->ImageFile).replace_extension(".toc").string());
    }
}

void TCommandVcdXRip::OnFailure() { DeleteOutputs(); }
void TCommandVcdXRip::OnCancel() { DeleteOutputs(); }

std::unique_ptr<TCommandVcdXRip> RipBinFile(const std::string& imageFile, const std::string& xmlFile,
                                            const TRipOptions& options, TCommandOutputEvent onOutput) {
    auto param = std::make_shared<TRipParam>();
    param->ToolsComplete = DetectedTools().VcdImagerAvailable;
    param->ImageFile = imageFile;
    param->XmlFile = xmlFile;
    param->DeleteImageOnFailure = options.DeleteImageOnFailure;
    param->XmlOnly = options.XmlOnly;
    if (!options.XmlOnly) {
        param->NoFiles = options.NoFiles;
        param->NoSegments = options.NoSegments;
        param->NoSequences = options.NoSequences;
    }
    param->NoExtPsd = options.NoExtPsd;
    param->Sector2336 = options.Sector2336;

    TCommandSetup setup;
    setup.Param = std::move(param);
    setup.Title = "VCDxRip";
    setup.WaitMessage = Format(Translate("Ripping %s"), xmlFile) + "...";
    setup.OnOutput = std::move(onOutput);
    setup.Reported = true;
    setup.StopWaitingAtEnd = true;
    return std::make_unique<TCommandVcdXRip>(std::move(setup));
}
