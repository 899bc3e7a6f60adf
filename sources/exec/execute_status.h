// The result of one command: its flags and the remarks shown with the final message.
#pragma once

#include <cstddef>
#include <string>

#include "lib/text.h"

class TExecuteStatus {
public:
    bool Succeeded = false;
    bool Cancelled = false;
    bool Started = false;
    bool Finished = false;
    TStringList SuccessLines;
    TStringList WarningLines;
    TStringList ErrorLines;

    void Reset();
    // A tool that repeats an error without end would fill the memory: each
    // list keeps its first MaxStatusLines lines and one line saying so.
    static constexpr std::size_t MaxStatusLines = 1000;
    void KeepBounded();
    void SetSucceeded();
    void SetFailed();
    void SetCancelled();

    bool IsCancelled() const { return Cancelled; }
    bool IsFailed() const { return !Cancelled && Finished && !Succeeded; }
    bool IsSucceeded() const { return !Cancelled && Finished && Succeeded; }

    // Message blocks; `format` holds one "%s" for `name`. Empty when there is nothing to say.
    std::string FormatSuccess(const std::string& format, const std::string& name) const;
    std::string FormatFailure(const std::string& format, const std::string& name) const;
    std::string FormatWarnings() const;
};

// A titled block of indented lines as message boxes show them; empty for no lines.
std::string FormatMessageBlock(const TStringList& lines, const std::string& title);
