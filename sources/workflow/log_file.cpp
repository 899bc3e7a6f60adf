#include "workflow/log_file.h"

#include <filesystem>
#include <system_error>

TLogFile::~TLogFile() { CloseLogFile(); }

std::string TLogFile::SetLogFile(const std::string& name) {
    if (name.empty()) {
        CloseLogFile();
        Name.clear();
        return "";
    }
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(name, error).lexically_normal().string();
    if (error) return "";
    if (File && absolute != Name) CloseLogFile();
    Name = absolute;
    if (!File) {
        const bool append = FileAppend && std::filesystem::exists(absolute, error);
        File = std::fopen(absolute.c_str(), append ? "ab" : "wb");
        if (!File) return "";
    }
    return Name;
}

void TLogFile::CloseLogFile() {
    if (!File) return;
    std::fflush(File);
    std::fclose(File);
    File = nullptr;
}

bool TLogFile::CleanLogFile() {
    if (Name.empty()) return true;
    const bool wasOpen = IsOpen();
    CloseLogFile();
    std::error_code error;
    std::filesystem::remove(Name, error);
    if (wasOpen) File = std::fopen(Name.c_str(), "wb");
    return !error;
}

void TLogFile::WriteLine(const std::string& line) {
    if (!File) return;
    std::fputs(line.c_str(), File);
    std::fputs("\r\n", File);
    std::fflush(File);
}
