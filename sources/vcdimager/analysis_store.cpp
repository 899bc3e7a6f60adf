#include "vcdimager/analysis_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "lib/bounded_file.h"
#include "lib/crc32.h"
#include "model/mpeg_file.h"
#include "writers/integrity_text_file.h"

namespace {

constexpr const char* FileSizeKey = "filesize";
constexpr const char* FingerprintKey = "mpeg_file_fingerprint";
constexpr const char* TailFingerprintKey = "mpeg_tail_fingerprint";

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// A file completed or edited after its first 64 KiB keeps its size and head:
// its last 64 KiB tell.
std::string TailFingerprint(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return "";
    struct stat info {};
    bool complete = false;
    std::string tail;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::uint64_t>(info.st_size);
        const std::uint64_t length = std::min<std::uint64_t>(size, FileHeadCrcLimit);
        tail.resize(static_cast<std::size_t>(length));
        std::size_t done = 0;
        while (done < tail.size()) {
            const ssize_t got =
                pread(fd, tail.data() + done, tail.size() - done, static_cast<off_t>(size - length + done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        complete = done == tail.size();
    }
    close(fd);
    return complete ? Crc32Text(Crc32(tail)) : "";
}

// The MPEG file was changed after its description was stored.
bool ModifiedSince(const std::string& mpegPath, const std::string& storedPath) {
    struct stat mpeg {};
    struct stat stored {};
    if (stat(mpegPath.c_str(), &mpeg) != 0 || stat(storedPath.c_str(), &stored) != 0) return true;
    if (mpeg.st_mtim.tv_sec != stored.st_mtim.tv_sec) return mpeg.st_mtim.tv_sec > stored.st_mtim.tv_sec;
    return mpeg.st_mtim.tv_nsec > stored.st_mtim.tv_nsec;
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
    const std::string tail = TailFingerprint(mpegFile.FullPath());
    if (tail.empty()) return false;
    stored.push_back("<!-- " + std::string(TailFingerprintKey) + " " + tail + " -->");
    return Strings_SaveToFile(GetAnalysisFileName(mpegFile.FullPath(), relaxed), stored,
                              AnalysisStoreOptions().Scrambled);
}

std::optional<TStringList> LoadMpegAnalysis(const TMpegFile& mpegFile, bool relaxed) {
    const std::string storedName = GetAnalysisFileName(mpegFile.FullPath(), relaxed);
    if (!IsExistingFile(storedName) || !IsExistingFile(mpegFile.FullPath())) return std::nullopt;
    if (ModifiedSince(mpegFile.FullPath(), storedName)) return std::nullopt;
    const TBoundedFile bytes = ReadBoundedFile(storedName, MaxStoredAnalysisBytes);
    if (!bytes.Ok()) return std::nullopt;
    TStoredText stored = ParseStoredText(bytes.Bytes);
    if (stored.Lines.empty() || !stored.HasIntegrity || !stored.IntegrityOk) return std::nullopt;
    TStringList lines = std::move(stored.Lines);
    const std::string tail = TakeCommentValue(lines, TailFingerprintKey);
    if (tail.empty() || tail != TailFingerprint(mpegFile.FullPath())) return std::nullopt;
    const std::string fingerprint = TakeCommentValue(lines, FingerprintKey);
    const std::string size = TakeCommentValue(lines, FileSizeKey);
    if (fingerprint.empty() || !SameText(fingerprint, mpegFile.Crc())) return std::nullopt;
    if (size.empty() || !SameText(size, std::to_string(mpegFile.Size()))) return std::nullopt;
    if (lines.empty()) return std::nullopt;
    return lines;
}
