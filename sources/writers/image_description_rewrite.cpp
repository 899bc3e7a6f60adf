#include "writers/image_description_rewrite.h"

#include <filesystem>

#include "lib/text.h"
#include "lib/safe_file.h"

namespace {

namespace fs = std::filesystem;

std::string FileNamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReplaceFirst(const std::string& line, const std::string& from, const std::string& to) {
    const std::size_t at = line.find(from);
    if (at == std::string::npos) return line;
    return line.substr(0, at) + to + line.substr(at + from.size());
}

// The FILE directive's path, rewritten so that a burning program finds the image.
std::string RewriteFileLine(const std::string& line, bool bareFileName) {
    const std::size_t directive = FindText(line, "file \"");
    if (directive == std::string::npos) return line;
    const std::size_t start = directive + 6;
    const std::size_t end = line.find('"', start);
    const std::string path = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string replacement = bareFileName ? FileNamePart(path) : ShortPathName(path);
    if (replacement.empty() || replacement == path) return line;
    return ReplaceFirst(line, path, replacement);
}

bool IsDroppedInMinimalSheet(const std::string& line) {
    const std::string directive = UpperCase(Trim(line));
    if (StartsWith(directive, "FLAGS")) return true;
    return StartsWith(directive, "INDEX") && !StartsWith(directive, "INDEX 00") && !StartsWith(directive, "INDEX 01");
}

// Keeps the line ends the tool wrote.
std::string LineEnd(const std::string& content) {
    const std::size_t lf = content.find('\n');
    return lf != std::string::npos && lf > 0 && content[lf - 1] == '\r' ? "\r\n" : "\n";
}

bool ReadExisting(const std::string& path, std::string& content, bool& failed, std::string* error) {
    failed = false;
    std::error_code code;
    if (!fs::exists(path, code)) return false;
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        failed = true;
        if (error) *error = "cannot read " + path;
        return false;
    }
    content = *bytes;
    return true;
}

}  // namespace

std::string ShortPathName(const std::string& path) { return path; }

bool RewriteCue(const std::string& base, bool minimal, bool bareFileName, std::string* error) {
    if (base.empty()) return true;
    const std::string path = base + ".cue";
    std::string content;
    bool failed = false;
    if (!ReadExisting(path, content, failed, error)) return !failed;
    const std::string end = LineEnd(content);
    std::string rewritten;
    for (const std::string& line : SplitLines(content)) {
        if (minimal && IsDroppedInMinimalSheet(line)) continue;
        rewritten += RewriteFileLine(line, bareFileName) + end;
    }
    return SaveFileSafely(path, rewritten, error);
}

bool RewriteToc(const std::string& base, std::string* error) {
    if (base.empty()) return true;
    const std::string path = base + ".toc";
    std::string content;
    bool failed = false;
    if (!ReadExisting(path, content, failed, error)) return !failed;
    return SaveFileSafely(path, ReplaceAll(content, "\\", "/"), error);
}

void StripToastFiles(const std::string& base) {
    if (base.empty()) return;
    std::error_code ignored;
    fs::remove(base + ".toc", ignored);
    const fs::path basePath(base);
    const std::string prefix = basePath.filename().string() + "_";
    const std::string suffix = "_pregap.img";
    const fs::path folder = basePath.has_parent_path() ? basePath.parent_path() : fs::path(".");
    std::vector<fs::path> doomed;
    for (fs::directory_iterator it(folder, ignored), last; !ignored && it != last; it.increment(ignored)) {
        const std::string name = it->path().filename().string();
        if (name.size() < prefix.size() + suffix.size() || !StartsWith(name, prefix) || !EndsWith(name, suffix))
            continue;
        std::error_code kind;
        if (it->is_regular_file(kind)) doomed.push_back(it->path());
    }
    for (const fs::path& file : doomed) fs::remove(file, ignored);
}
