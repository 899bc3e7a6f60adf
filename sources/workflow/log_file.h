// The log file: every line shown in the log is appended and flushed at once.
#pragma once

#include <cstdio>
#include <string>

class TLogFile {
public:
    TLogFile() = default;
    ~TLogFile();
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    bool FileAppend = true;

    // Opens `name` (made absolute): appends when FileAppend is set and the file
    // exists, otherwise creates or truncates it. An open file under another
    // name is closed first. Returns the absolute name, empty when it cannot be opened.
    std::string SetLogFile(const std::string& name);
    void CloseLogFile();
    // Deletes the file and, when it was open, opens it again empty.
    // False when a file that exists could not be deleted.
    bool CleanLogFile();

    bool IsOpen() const { return File != nullptr; }
    const std::string& FileName() const { return Name; }
    // Writes the line and a line break, flushed; nothing when closed.
    void WriteLine(const std::string& line);

private:
    std::FILE* File = nullptr;
    std::string Name;
};
