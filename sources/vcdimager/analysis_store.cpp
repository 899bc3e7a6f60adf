#include "vcdimager/analysis_store.h"

#include <filesystem>
#include <system_error>

#include "model/mpeg_file.h"
#include "writers/integrity_text_file.h"

namespace {

constexpr const char* FileSizeKey = "filesize";
constexpr const char* FingerprintKey = "mpeg_file_fingerprint";

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

}  // namespace

TAnalysisStoreOptions& AnalysisStoreOptions() {
    static TAnalysisStoreOptions options;
    return options;
}

std::string GetAnalysisFileName(const std::string& mpegFileName, bool relaxed) {
    const std::string extension = std::string(".") + (relaxed ? RelaxedAnalysisExtension : NormalAnalysisExtension);
    if (EndsText(mpegFileName, extension)) return mpegFileName;
    return mpegFileName + extension;
}

std::string TakeCommentValue(TStringList& lines, std::string_view key) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const std::string text = Trim(*line);
        if (!StartsWith(text, "<!--") || !ContainsText(text, key)) continue;
        std::string value = text.substr(4);
        if (const std::size_t end = value.find("-->"); end != std::string::npos) value.resize(end);
        value = UpperCase(Trim(RemoveFirstText(value, key)));
        lines.erase(std::next(line).base());
        return value;
    }
    return "";
}

bool SaveMpegAnalysis(const TMpegFile& mpegFile, const TStringList& lines, bool relaxed) {
    if (AnalysisStoreOptions().Disabled || lines.empty() || !IsExistingFile(mpegFile.FullPath())) return false;
    TStringList stored = lines;
    stored.push_back("<!-- " + std::string(FileSizeKey) + " " + std::to_string(mpegFile.Size()) + " -->");
    stored.push_back("<!-- " + std::string(FingerprintKey) + " " + mpegFile.Crc() + " -->");
    return Strings_SaveToFile(GetAnalysisFileName(mpegFile.FullPath(), relaxed), stored,
                              AnalysisStoreOptions().Scrambled);
}

std::optional<TStringList> LoadMpegAnalysis(const TMpegFile& mpegFile, bool relaxed) {
    const std::string storedName = GetAnalysisFileName(mpegFile.FullPath(), relaxed);
    if (!IsExistingFile(storedName) || !IsExistingFile(mpegFile.FullPath())) return std::nullopt;
    std::optional<TStoredText> stored = Strings_LoadFromFile(storedName);
    if (!stored || stored->Lines.empty() || !stored->HasIntegrity || !stored->IntegrityOk) return std::nullopt;
    TStringList lines = std::move(stored->Lines);
    const std::string fingerprint = TakeCommentValue(lines, FingerprintKey);
    const std::string size = TakeCommentValue(lines, FileSizeKey);
    if (fingerprint.empty() || !SameText(fingerprint, mpegFile.Crc())) return std::nullopt;
    if (size.empty() || !SameText(size, std::to_string(mpegFile.Size()))) return std::nullopt;
    if (lines.empty()) return std::nullopt;
    return lines;
}
