// Shows the status lines of running commands on a terminal (levels and a
// progress bar), as plain lines for logs, or as one JSON object per line.
#pragma once

#include <cstdio>
#include <string>

#include "services/dialogs.h"

enum class TOutputMode { Terminal, Plain, Json };

class TStatusPrinter {
public:
    TStatusPrinter(TOutputMode mode, std::FILE* out) : Mode(mode), Out(out) {}
    ~TStatusPrinter() { EndProgress(); }

    TOutputMode GetMode() const { return Mode; }
    // Debug log lines are shown only with the "Verbose" log level.
    bool ShowDebug = true;

    // One status line as a command emitted it.
    void Line(const std::string& statusLine);
    // A message box's text, or a question with the answer that was given.
    void Message(TMsgDlgType type, const std::string& text, const std::string& answer = "");
    // A result the sub-command reports, such as where the image is.
    void Result(const std::string& key, const std::string& value);
    // Ends a progress bar that is on the screen.
    void EndProgress();
    // A write failed (closed pipe, full disk): nothing more is written.
    bool WriteFailed() const { return Failed; }

private:
    TOutputMode Mode;
    std::FILE* Out;
    bool ProgressShown = false;
    bool Failed = false;
    std::string LastProgressText;
    int LastProgressStep = -1;

    void Progress(const std::string& text, int position);
    void Write(const std::string& text);
};

// A message box text for a terminal: line breaks instead of CRs, no trailing blanks.
std::string TerminalText(const std::string& messageText);
const char* MessageTypeName(TMsgDlgType type);
