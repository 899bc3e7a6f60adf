// A fresh folder under the system's temporary folder, removed with its content.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return Folder; }
    std::string File(const std::string& name) const { return (Folder / name).string(); }
    // Writes `content` to the named file and returns its path.
    std::string Write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path Folder;
};

std::string ReadWholeFile(const std::string& path);
// The names of the entries of a folder, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& folder);
// Folder of the media fixtures generated for the integration tests.
std::filesystem::path FixturesFolder();
