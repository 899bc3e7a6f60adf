#include "exec/execute_status.h"

void TExecuteStatus::Reset() {
    Succeeded = Cancelled = Started = Finished = false;
    SuccessLines.clear();
    WarningLines.clear();
    ErrorLines.clear();
}

void TExecuteStatus::SetSucceeded() { Started = Finished = Succeeded = true; }

void TExecuteStatus::SetFailed() {
    Started = Finished = true;
    Succeeded = false;
}

void TExecuteStatus::SetCancelled() {
    Finished = Succeeded = false;
    Cancelled = true;
}

std::string TExecuteStatus::FormatSuccess(const std::string& format, const std::string& name) const {
    return FormatMessageBlock(SuccessLines, Format(format, name));
}

std::string TExecuteStatus::FormatFailure(const std::string& format, const std::string& name) const {
    return FormatMessageBlock(ErrorLines, Format(format, name));
}

std::string TExecuteStatus::FormatWarnings() const { return FormatMessageBlock(WarningLines, ""); }

std::string FormatMessageBlock(const TStringList& lines, const std::string& title) {
    TStringList split;
    for (const std::string& line : lines) {
        const TStringList parts = SplitLines(line);
        if (parts.empty())
            split.emplace_back();
        else
            split.insert(split.end(), parts.begin(), parts.end());
    }
    if (split.empty()) return "";

    std::string block = title.empty() ? "" : title + "\r";
    for (const std::string& line : split) {
        std::string text = Trim(line);
        if (StartsWith(text, ":")) text = Trim(text.substr(1));
        block += "      " + text + "  \r";
    }
    return block;
}

void TExecuteStatus::KeepBounded() {
    for (TStringList* list : {&SuccessLines, &WarningLines, &ErrorLines}) {
        if (list->size() <= MaxStatusLines) continue;
        list->resize(MaxStatusLines);
        list->push_back("...");
    }
}
