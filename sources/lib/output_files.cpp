#include "lib/output_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* Prefix = ".lumora-tmp-";
constexpr char End = '~';

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// The process id in a temporary name, or 0 when it is not one.
pid_t OwnerOf(const std::string& name) {
    const std::string prefix = Prefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    const std::size_t end = name.find(End, prefix.size());
    if (end == std::string::npos) return 0;
    const std::string digits = name.substr(prefix.size(), end - prefix.size());
    const std::size_t dash = digits.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == digits.size()) return 0;
    if (digits.find_first_not_of("0123456789-") != std::string::npos) return 0;
    if (digits.find('-', dash + 1) != std::string::npos) return 0;
    try {
        return static_cast<pid_t>(std::stol(digits.substr(0, dash)));
    } catch (const std::exception&) {
        return 0;
    }
}

bool IsAlive(pid_t pid) { return pid == getpid() || ::kill(pid, 0) == 0 || errno != ESRCH; }

// "<folder>/.lumora-tmp-<pid>-<serial>~": at most 33 bytes of name.
std::string NewTemporaryName(const std::string& folder) {
    static std::atomic<unsigned long> serial{0};
    RemoveStaleTemporaryFiles(folder);
    const std::string name = Prefix + std::to_string(getpid()) + "-" + std::to_string(serial++) + End;
    return (fs::path(folder) / name).string();
}

void RemoveQuietly(const fs::path& path) {
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

bool IsTemporaryOutputName(const std::string& name) { return OwnerOf(name) != 0; }

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
        const pid_t owner = OwnerOf(it->path().filename().string());
        if (owner > 0 && !IsAlive(owner)) RemoveQuietly(it->path());
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
            RemoveQuietly(area.Temporary);
            continue;
        }
        const std::string prefix = fs::path(area.Temporary).filename().string();
        std::error_code error;
        for (fs::directory_iterator it(FolderOf(area.Temporary), error), end; !error && it != end; it.increment(error))
            if (it->path().filename().string().compare(0, prefix.size(), prefix) == 0) RemoveQuietly(it->path());
    }
}
