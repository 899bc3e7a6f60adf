#include "stills/still_batch.h"

#include <algorithm>
#include <filesystem>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "lib/output_files.h"
#include "services/services.h"
#include "settings/language.h"
#include "stills/command_mplex_still.h"
#include "stills/command_picture2mv.h"
#include "stills/preparation_pool.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* SuccessPrefix = "[SUCCESS] \t";
constexpr const char* ErrorPrefix = "[ERROR]   \t";
constexpr const char* SkippedPrefix = "[SKIPPED] \t";

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string OneLine(const TStringList& lines) {
    std::string text = JoinLines(lines, " ");
    text = ReplaceAll(text, "\r", " ");
    return ReplaceAll(text, "\n", "");
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

void AddFolderPictures(const fs::path& folder, bool recursive, std::vector<std::string>& pictures) {
    std::vector<std::string> found;
    std::error_code error;
    const auto options = fs::directory_options::skip_permission_denied;
    auto take = [&](const fs::directory_entry& entry) {
        std::error_code entryError;
        if (entry.is_regular_file(entryError) && HasPictureExtension(entry.path().string()) &&
            !IsStillByProduct(entry.path().string()))
            found.push_back(entry.path().string());
    };
    if (recursive) {
        for (fs::recursive_directory_iterator it(folder, options, error), end; !error && it != end; it.increment(error))
            take(*it);
    } else {
        for (fs::directory_iterator it(folder, options, error), end; !error && it != end; it.increment(error))
            take(*it);
    }
    std::sort(found.begin(), found.end());
    pictures.insert(pictures.end(), found.begin(), found.end());
}

}  // namespace

TStillFiles StillFilesFor(const std::string& picture, const std::string& folder, const std::string& base, bool vcd,
                          bool dual) {
    const std::string f = WithSlash(folder) + base;
    const std::string digit = vcd ? "1" : "2";
    TStillFiles files;
    files.Picture = picture;
    files.ViewingJpeg = f + "_for_pc.jpg";
    files.StillJpeg = f + "_for_still.jpg";
    files.Stream = f + ".m" + digit + "v";
    files.Still = f + ".mpg";
    if (dual) {
        files.SecondStillJpeg = f + "_for_still_.jpg";
        files.SecondStream = f + "_.m" + digit + "v";
    }
    return files;
}

bool IsStillByProduct(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    if (IsTemporaryOutputName(name)) return true;
    return EndsText(name, "_for_pc.jpg") || EndsText(name, "_for_still.jpg") || EndsText(name, "_for_still_.jpg");
}

std::vector<std::string> CollectPictures(const std::vector<std::string>& paths, bool recursive) {
    std::vector<std::string> pictures;
    for (const std::string& path : paths) {
        if (IsFolder(path))
            AddFolderPictures(path, recursive, pictures);
        else
            pictures.push_back(path);
    }
    return pictures;
}

TStillBatch::TStillBatch(TStillOptions options) : Options(std::move(options)) {
    Options.Conversion.StillType = StillTypeOf(Options);
    Options.Dual = Options.Dual && Options.Vcd && Options.High;
    if (!Options.Vcd)
        Options.Conversion.AspectCorrection = std::max<std::uint8_t>(Options.Conversion.AspectCorrection, 1);
    if (Options.Jobs > 1) Pool = std::make_unique<TPreparationPool>(Options.Jobs);
}

TStillBatch::~TStillBatch() = default;

void TStillBatch::LogLine(const std::string& level, const std::string& text) const {
    if (Log) Log(level.empty() ? text : MakeLogStatusLine(level, text));
}

std::string TStillBatch::UniqueBase(const std::string& folder, const std::string& picture,
                                    std::vector<std::string>& used) const {
    const fs::path path(picture);
    std::string base = path.stem().string() + Options.NameSuffix;
    // "a.jpg" and "a.png" of one folder would share every output name.
    auto taken = [&](const std::string& candidate) {
        return std::find(used.begin(), used.end(), folder + candidate) != used.end();
    };
    if (taken(base)) base += "_" + LowerCase(path.extension().string().substr(1));
    const std::string stem = base;
    for (int n = 2; taken(base); ++n) base = stem + "_" + std::to_string(n);
    used.push_back(folder + base);
    return base;
}

std::vector<std::string> TStillBatch::AcceptedPictures(const std::vector<std::string>& files, bool batchMode) {
    std::vector<std::string> accepted;
    for (const std::string& listed : files) {
        // Quotes around a pasted name go; a name that really holds them stays.
        std::string file = listed;
        std::error_code error;
        if (!fs::exists(file, error)) file = Trim(ReplaceAll(listed, "\"", ""));
        const bool exists = fs::is_regular_file(file, error);
        if (!batchMode) {
            if (file.empty() || file.front() != '/' || !exists) {
                Dialogs().MessageDlg("\r" + Format(Translate("The file \"%s\" does not exist"), file) + "\r",
                                     TMsgDlgType::Error, mbOK);
                return {};
            }
            if (!HasPictureExtension(file)) {
                Dialogs().MessageDlg("\r" + Translate("Unsupported Picture extension") + ": " +
                                         fs::path(file).extension().string() + "     \r",
                                     TMsgDlgType::Error, mbOK);
                return {};
            }
        } else if (file.find('/') == std::string::npos || !HasPictureExtension(file) || !exists ||
                   IsStillByProduct(file)) {
            continue;
        }
        accepted.push_back(file);
        if (batchMode) LogLine(LogLevel::Information, "[" + std::to_string(accepted.size()) + "] " + file);
    }
    return accepted;
}

bool TStillBatch::Queue(TCommandsManager& manager, const std::vector<std::string>& files, bool batchMode) {
    SummaryEntries.clear();
    PictureFiles.clear();
    Stopped = false;
    if (files.empty() || !DetectedTools().MjpegToolsAvailable || manager.IsRunning()) return false;
    LogLine(LogLevel::Information, std::to_string(files.size()) + " " + Translate("files") + ":");
    for (const std::string& file : files) LogLine("", file);
    LogLine("", "");

    // A folder that does not exist counts as none: each still goes beside its picture.
    std::string outputFolder = WithSlash(Trim(Options.OutputFolder));
    if (!outputFolder.empty() && !IsFolder(outputFolder)) outputFolder.clear();
    if (batchMode) LogLine(LogLevel::Information, Translate("Files with supported picture extensions") + ":");

    const std::vector<std::string> pictures = AcceptedPictures(files, batchMode);
    std::vector<std::string> usedBases;
    for (const std::string& picture : pictures) {
        SummaryEntries.push_back(std::string(SkippedPrefix) + picture);
        const std::string folder =
            outputFolder.empty() ? WithSlash(fs::path(picture).parent_path().string()) : outputFolder;
        RemoveStaleTemporaryFiles(folder);
        TStillFiles names =
            StillFilesFor(picture, folder, UniqueBase(folder, picture, usedBases), Options.Vcd, Options.Dual);
        if (Options.DeleteTempFiles) {
            // Streams deleted at the end never take the place of files of the same name.
            names.Stream = TemporaryNameBeside(names.Stream);
            if (!names.SecondStream.empty()) names.SecondStream = TemporaryNameBeside(names.SecondStream);
        }
        PictureFiles.push_back(names);
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (IsUpToDate(PictureFiles[i])) {
            SummaryEntries[i] = std::string(SuccessPrefix) + pictures[i];
            LogLine(LogLevel::Information, Format(Translate("\"%s\" is up to date"), PictureFiles[i].Still));
            continue;
        }
        QueuePicture(manager, i, pictures.size());
    }
    if (pictures.empty()) return false;
    if (batchMode) {
        LogLine("", "");
        LogLine(LogLevel::Information, std::to_string(manager.Count()) + " " + Translate("queued commands"));
        LogLine("", "");
    }
    return true;
}

bool TStillBatch::IsUpToDate(const TStillFiles& files) const {
    if (!Options.ReuseUpToDate) return false;
    std::error_code error;
    const auto still = fs::last_write_time(files.Still, error);
    if (error) return false;
    const auto picture = fs::last_write_time(files.Picture, error);
    return !error && still >= picture && fs::file_size(files.Still, error) > 0 && !error;
}

void TStillBatch::QueuePicture(TCommandsManager& manager, std::size_t index, std::size_t count) {
    // One question per picture about the files it would replace.
    auto confirmed = std::make_shared<bool>(false);
    auto first = PictureCommand(index, count, false);
    auto* data = static_cast<TPicture2MvData*>(first->Param.get());
    const TStillFiles& files = PictureFiles[index];
    data->OtherOutputs = {files.Still};
    if (!Options.DeleteTempFiles)
        data->OtherOutputs.insert(data->OtherOutputs.end(), {files.SecondStillJpeg, files.SecondStream});
    data->ReplaceConfirmed = confirmed;
    manager.Add(std::move(first));
    if (Options.Dual) {
        auto second = PictureCommand(index, count, true);
        static_cast<TPicture2MvData*>(second->Param.get())->ReplaceConfirmed = confirmed;
        manager.Add(std::move(second));
    }
    auto mplex = MplexCommand(index, count);
    static_cast<TMplexStillData*>(mplex->Param.get())->ReplaceConfirmed = confirmed;
    manager.Add(std::move(mplex));
}

std::unique_ptr<TCommandInterface> TStillBatch::PictureCommand(std::size_t index, std::size_t count, bool second) {
    const TStillFiles& files = PictureFiles[index];
    auto data = std::make_shared<TPicture2MvData>();
    data->InputPicture = files.Picture;
    data->Index = static_cast<std::int32_t>(index + 1);
    data->Count = static_cast<std::int32_t>(count);
    data->Quiet = Options.ContinueOnErrors;
    data->StillJpeg = second ? files.SecondStillJpeg : files.StillJpeg;
    data->ViewingJpeg = second ? "" : files.ViewingJpeg;
    data->OutputStream = second ? files.SecondStream : files.Stream;
    data->Quality = Options.Quality;
    data->Vcd = Options.Vcd;
    data->SvcdHack = !Options.Vcd && Options.SvcdHack;
    data->Pal = Options.Pal;
    data->Conversion = Options.Conversion;
    if (second) data->Conversion.StillType = NormalStillType(Options.Conversion.StillType);
    data->DeleteTempFiles = Options.DeleteTempFiles;
    data->SvcdDisplayOption = DetectedTools().MjpegToolsVersionCode;
    data->OnOutputFolder = OnOutputFolder;
    data->OnSourceLoaded = OnSourceLoaded;
    data->OnResultReady = OnResultReady;
    data->OnPictureStart = OnPictureStart;
    if (Pool) {
        const int task = PreparationCount++;
        const std::string input = files.Picture;
        const TStillConversion conversion = data->Conversion;
        const bool viewing = !data->ViewingJpeg.empty() && !data->DeleteTempFiles;
        data->Prepared = Pool->Add([input, conversion, viewing] { return PreparePicture(input, conversion, viewing); });
        TPreparationPool* pool = Pool.get();
        data->OnPictureStart = [pool, task, start = OnPictureStart](const std::string& path) {
            pool->Reach(task);
            if (start) start(path);
        };
    }

    TCommandSetup setup;
    setup.OnOutput = OnOutput;
    setup.Title = "Picture to MV";
    setup.Reported = false;  // the batch's summary tells the outcome
    setup.WaitMessage = "[" + std::to_string(index + 1) + "/" + std::to_string(count) + "] - " +
                        fs::path(files.Picture).filename().string();
    setup.Param = data;
    setup.OnEnded = [this, index](TCommandInterface& sender, const TExecuteStatus& status, bool& continueQueue,
                                  const TCommandParamPtr&) { PictureEnded(index, sender, status, continueQueue); };
    auto command = std::make_unique<TCommandPicture2Mv>(std::move(setup));
    command->MjpegToolsAvailable = DetectedTools().MjpegToolsAvailable;
    command->Cancellable = !second;
    command->SkipCount = second ? 1 : Options.Dual ? 2 : 1;
    return command;
}

std::unique_ptr<TCommandInterface> TStillBatch::MplexCommand(std::size_t index, std::size_t count) {
    const TStillFiles& files = PictureFiles[index];
    auto data = std::make_shared<TMplexStillData>();
    data->InputPicture = files.Picture;
    data->Index = static_cast<std::int32_t>(index + 1);
    data->Count = static_cast<std::int32_t>(count);
    data->Quiet = Options.ContinueOnErrors;
    data->FirstStream = files.Stream;
    data->SecondStream = files.SecondStream;
    data->OutputStill = files.Still;
    data->Vcd = Options.Vcd;
    data->Pal = Options.Pal;
    data->DeleteTempFiles = Options.DeleteTempFiles;
    data->OnStart = OnMplexStart;

    TCommandSetup setup;
    setup.OnOutput = OnOutput;
    setup.Title = "MV to MPG";
    setup.Reported = false;
    setup.WaitMessage = "[" + std::to_string(index + 1) + "/" + std::to_string(count) + "] - " +
                        fs::path(files.Picture).filename().string();
    setup.Param = data;
    setup.OnEnded = [this, index](TCommandInterface& sender, const TExecuteStatus& status, bool& continueQueue,
                                  const TCommandParamPtr&) { MplexEnded(index, sender, status, continueQueue); };
    auto command = std::make_unique<TCommandMplexStill>(std::move(setup));
    command->MjpegToolsAvailable = DetectedTools().MjpegToolsAvailable;
    command->Cancellable = false;
    return command;
}

void TStillBatch::AskToContinue(std::size_t index, std::size_t count, bool& continueQueue) {
    if (index + 1 >= count || !continueQueue) return;
    if (Options.ContinueOnErrors) return;
    const TModalResult answer =
        Dialogs().MessageDlg(Translate("Do you want to continue ?") + "       ", TMsgDlgType::Confirmation, mbYesNo);
    if (answer != TModalResult::Yes) {
        continueQueue = false;
        Stopped = true;
    }
}

void TStillBatch::PictureEnded(std::size_t index, TCommandInterface& sender, const TExecuteStatus& status,
                               bool& continueQueue) {
    const std::string& picture = PictureFiles[index].Picture;
    const auto* data = dynamic_cast<const TPicture2MvData*>(sender.Param.get());
    if (status.IsCancelled()) {
        continueQueue = false;
        Stopped = true;
        return;
    }
    if (status.IsSucceeded()) {
        sender.SkipCount = 0;
        return;
    }
    const bool failed = status.IsFailed();
    std::string details = OneLine(status.ErrorLines);
    if (!failed && details.empty()) details = Translate("Invalid picture file, or unable to read it");
    SummaryEntries[index] = std::string(ErrorPrefix) + picture + "  -  " + details;
    const std::string title = Format(Translate("\"%s\" creation failed"), data ? data->OutputStream : picture);
    const std::string message =
        status.ErrorLines.empty() ? title : title + ":\r\r" + JoinLines(status.ErrorLines, "\r");
    if (!Options.ContinueOnErrors) Dialogs().MessageDlg("\r" + message, TMsgDlgType::Error, mbOK);
    AskToContinue(index, PictureFiles.size(), continueQueue);
}

void TStillBatch::MplexEnded(std::size_t index, TCommandInterface&, const TExecuteStatus& status, bool& continueQueue) {
    const TStillFiles& files = PictureFiles[index];
    if (status.IsCancelled()) {
        continueQueue = false;
        Stopped = true;
        return;
    }
    if (status.IsSucceeded()) {
        SummaryEntries[index] = std::string(SuccessPrefix) + files.Picture;
        if (!Options.ContinueOnErrors && !status.WarningLines.empty())
            Dialogs().MessageDlg("\r" + JoinLines(status.WarningLines, "\r"), TMsgDlgType::Information, mbOK);
        return;
    }
    const bool failed = status.IsFailed();
    SummaryEntries[index] =
        std::string(ErrorPrefix) + files.Picture + (failed ? "  -  " + OneLine(status.ErrorLines) : std::string());
    const std::string title = Format(Translate("\"%s\" creation failed"), files.Still);
    const std::string message =
        status.ErrorLines.empty() ? title : title + ":\r\r" + JoinLines(status.ErrorLines, "\r");
    if (!Options.ContinueOnErrors) Dialogs().MessageDlg("\r" + message, TMsgDlgType::Error, mbOK);
    AskToContinue(index, PictureFiles.size(), continueQueue);
}

bool TStillBatch::Succeeded(std::size_t picture) const {
    return picture < SummaryEntries.size() && StartsWith(SummaryEntries[picture], SuccessPrefix);
}

TStillSummary TStillBatch::Summary() const {
    TStillSummary summary;
    summary.Count = static_cast<int>(SummaryEntries.size());
    summary.LogLines.push_back(Translate("MPEG stills creation summary") + " (" +
                               Translate("Files with supported picture extensions") + " = " +
                               std::to_string(summary.Count) + "):");
    summary.LogLines.push_back("");
    for (const std::string& entry : SummaryEntries) {
        if (StartsWith(entry, SuccessPrefix)) {
            ++summary.Succeeded;
            summary.LogLines.push_back(MakeLogStatusLine(LogLevel::Information, entry));
        } else if (StartsWith(entry, ErrorPrefix)) {
            ++summary.Failed;
            summary.LogLines.push_back(MakeLogStatusLine(LogLevel::Error, entry));
        } else if (StartsWith(entry, SkippedPrefix)) {
            ++summary.Skipped;
            summary.LogLines.push_back(MakeLogStatusLine(LogLevel::Debug, entry));
        } else {
            ++summary.Skipped;
            summary.LogLines.push_back(MakeLogStatusLine(LogLevel::Warning, entry));
        }
    }
    summary.LogLines.push_back("");
    std::string text = Translate("Mpeg Still(s) creation finished") + "\r\r" + Translate("Number of pictures") + ": " +
                       std::to_string(summary.Count) + "\r";
    const std::pair<const char*, int> counts[] = {
        {"Succeeded", summary.Succeeded}, {"Failed", summary.Failed}, {"Skipped", summary.Skipped}};
    for (const auto& [name, count] : counts)
        if (count != 0) text += "   " + Translate(name) + ": " + std::to_string(count) + "\r";
    summary.Text = text;
    return summary;
}
