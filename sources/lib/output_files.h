// The files a job writes, produced under temporary names beside their final
// names and moved into place together only when the job succeeded: a refused,
// failed or cancelled job leaves the previous files as they were. Temporary
// names are short (any final name that fits the file-name limit works) and
// carry the writer's process id, so that files left by a killed run are
// removed by the next run that writes into the same folder.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TOutputFiles {
public:
    TOutputFiles() = default;
    // Whatever was not committed is removed.
    ~TOutputFiles();
    TOutputFiles(const TOutputFiles&) = delete;
    TOutputFiles& operator=(const TOutputFiles&) = delete;

    // A temporary base in the folder of `finalBase`: a file written as that
    // base followed by any text (".bin", "_01.img" or nothing) becomes
    // `finalBase` followed by the same text.
    std::string Base(const std::string& finalBase);
    // The name of a temporary folder (not created yet) for the files a tool
    // writes into `finalFolder`: each entry written into it moves there.
    std::string Folder(const std::string& finalFolder);

    // Every (temporary, final) pair written so far, files only.
    std::vector<std::pair<std::string, std::string>> Written() const;
    // The final name of a temporary path (unchanged when it is not one).
    std::string FinalPath(const std::string& temporaryPath) const;

    // Moves everything written into place; false (with `error`) when a file
    // could not be moved; what was not moved is removed.
    bool Commit(std::string* error = nullptr);
    // Removes everything written under the temporary names.
    void Discard();

private:
    struct TArea {
        std::string Temporary;  // a base, or a folder
        std::string Final;
        bool IsFolder = false;
    };
    std::vector<TArea> Areas;
};

// A short temporary name beside `path`, in its folder, for one file.
std::string TemporaryNameBeside(const std::string& path);

// Removes what runs that no longer exist left under temporary names in `folder`.
void RemoveStaleTemporaryFiles(const std::string& folder);

// Whether `name` (without folder) is one of the temporary names.
bool IsTemporaryOutputName(const std::string& name);

// The folder that holds `path`: "." for a bare name.
std::string FolderOf(const std::string& path);

// Removes a file when it is there; a failure is ignored (clean-ups never stop a job).
void RemoveQuietly(const std::string& path);
