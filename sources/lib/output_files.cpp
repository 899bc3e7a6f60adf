#include "lib/output_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* Prefix = ".lumora-tmp-";
constexpr char End = '~';

// The machine a name was made on: a folder shared over the network may hold
// temporary files of a run elsewhere, whose process id means nothing here.
const std::string& HostTag() {
    static const std::string tag = [] {
        char name[256] = {};
        gethostname(name, sizeof name - 1);
        std::uint32_t hash = 2166136261u;  // FNV-1a
        for (const char* c = name; *c; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(hash));
        return std::string(hex);
    }();
    return tag;
}

// The parts of a temporary name "<prefix><host>-<pid>-<serial>~...", or nothing.
struct TNameParts {
    std::string Host;
    pid_t Owner = 0;
};
std::optional<TNameParts> PartsOf(const std::string& name) {
    const std::string prefix = Prefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const std::size_t end = name.find(End, prefix.size());
    if (end == std::string::npos) return std::nullopt;
    const std::string middle = name.substr(prefix.size(), end - prefix.size());
    const std::size_t first = middle.find('-');
    const std::size_t second = first == std::string::npos ? first : middle.find('-', first + 1);
    if (second == std::string::npos || first != 8 || second == first + 1 || second + 1 == middle.size())
        return std::nullopt;
    const std::string pid = middle.substr(first + 1, second - first - 1);
    const std::string serial = middle.substr(second + 1);
    if (middle.substr(0, first).find_first_not_of("0123456789abcdef") != std::string::npos ||
        pid.find_first_not_of("0123456789") != std::string::npos ||
        serial.find_first_not_of("0123456789") != std::string::npos || pid.size() > 9)
        return std::nullopt;
    return TNameParts{middle.substr(0, first), static_cast<pid_t>(std::stol(pid))};
}

bool IsAlive(pid_t pid) { return pid == getpid() || ::kill(pid, 0) == 0 || errno != ESRCH; }

// "<folder>/.lumora-tmp-<host>-<pid>-<serial>~": at most 42 bytes of name.
std::string NewTemporaryName(const std::string& folder) {
    static std::atomic<unsigned long> serial{0};
    RemoveStaleTemporaryFiles(folder);
    const std::string name = Prefix + HostTag() + "-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + End;
    return (fs::path(folder) / name).string();
}

// A file, or a temporary folder with whatever a tool left in it.
void RemoveTreeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

// The files under `folder`, with their paths relative to it.
void CollectFiles(const fs::path& folder, const fs::path& relative,
                  std::vector<std::pair<std::string, std::string>>& files, const fs::path& target) {
    std::error_code error;
    for (fs::directory_iterator it(folder / relative, error), end; !error && it != end; it.increment(error)) {
        const fs::path inner = relative / it->path().filename();
        std::error_code kindError;
        if (it->is_directory(kindError))
            CollectFiles(folder, inner, files, target);
        else
            files.emplace_back((folder / inner).string(), (target / inner).string());
    }
}

// Moves the entries of `from` into `to`, folder by folder.
bool MoveInto(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code code;
    fs::create_directories(to, code);
    for (fs::directory_iterator it(from, code), end; !code && it != end; it.increment(code)) {
        const fs::path target = to / it->path().filename();
        std::error_code kindError;
        if (it->is_directory(kindError) && fs::is_directory(target, kindError)) {
            if (!MoveInto(it->path(), target, error)) return false;
            continue;
        }
        if (::rename(it->path().c_str(), target.c_str()) != 0) {
            if (error) *error = "cannot replace " + target.string() + ": " + std::strerror(errno);
            return false;
        }
    }
    if (code) {
        if (error) *error = "cannot read " + from.string() + ": " + code.message();
        return false;
    }
    return true;
}

}  // namespace

bool IsTemporaryOutputName(const std::string& name) { return PartsOf(name).has_value(); }

std::string TemporaryNameBeside(const std::string& path) { return NewTemporaryName(FolderOf(path)); }

void RemoveStaleTemporaryFiles(const std::string& folder) {
    // Each folder once per run: a long job does not scan it again and again.
    static std::mutex lock;
    static std::set<std::string> cleaned;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (!cleaned.insert(folder).second) return;
    }
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::optional<TNameParts> parts = PartsOf(it->path().filename().string());
        if (parts && parts->Host == HostTag() && parts->Owner > 0 && !IsAlive(parts->Owner))
            RemoveTreeQuietly(it->path());
    }
}

TOutputFiles::~TOutputFiles() { Discard(); }

std::string TOutputFiles::Base(const std::string& finalBase) {
    TArea area{NewTemporaryName(FolderOf(finalBase)), finalBase, false};
    Areas.push_back(area);
    return area.Temporary;
}

std::string TOutputFiles::Folder(const std::string& finalFolder) {
    TArea area{NewTemporaryName(finalFolder.empty() ? "." : finalFolder), finalFolder, true};
    Areas.push_back(area);
    return area.Temporary;
}

std::vector<std::pair<std::string, std::string>> TOutputFiles::Written() const {
    std::vector<std::pair<std::string, std::string>> files;
    for (const TArea& area : Areas) {
        if (area.IsFolder) {
            CollectFiles(area.Temporary, "", files, area.Final);
            continue;
        }
        const std::string prefix = fs::path(area.Temporary).filename().string();
        std::error_code error;
        for (fs::directory_iterator it(FolderOf(area.Temporary), error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.compare(0, prefix.size(), prefix) == 0)
                files.emplace_back(it->path().string(), area.Final + name.substr(prefix.size()));
        }
    }
    return files;
}

std::string TOutputFiles::FinalPath(const std::string& temporaryPath) const {
    for (const TArea& area : Areas) {
        const std::string& base = area.Temporary;
        if (temporaryPath.compare(0, base.size(), base) != 0) continue;
        const std::string rest = temporaryPath.substr(base.size());
        if (area.IsFolder && !rest.empty() && rest.front() != '/') continue;
        return area.Final + rest;
    }
    return temporaryPath;
}

bool TOutputFiles::Commit(std::string* error) {
    bool moved = true;
    for (const TArea& area : Areas) {
        if (!moved) break;
        if (area.IsFolder) {
            std::error_code code;
            if (fs::is_directory(area.Temporary, code)) moved = MoveInto(area.Temporary, area.Final, error);
            continue;
        }
        for (const auto& [temporary, final] : Written())
            if (temporary.compare(0, area.Temporary.size(), area.Temporary) == 0 &&
                ::rename(temporary.c_str(), final.c_str()) != 0) {
                if (error) *error = "cannot replace " + final + ": " + std::strerror(errno);
                moved = false;
                break;
            }
    }
    Discard();
    return moved;
}

void TOutputFiles::Discard() {
    for (const TArea& area : Areas) {
        if (area.IsFolder) {
            RemoveTreeQuietly(area.Temporary);
            continue;
        }
        const std::string prefix = fs::path(area.Temporary).filename().string();
        std::error_code error;
        for (fs::directory_iterator it(FolderOf(area.Temporary), error), end; !error && it != end; it.increment(error))
            if (it->path().filename().string().compare(0, prefix.size(), prefix) == 0) RemoveTreeQuietly(it->path());
    }
}

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

void RemoveQuietly(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}
