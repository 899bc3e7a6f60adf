#include "workflow/log_functions.h"

namespace {

TLogLines* Lines = nullptr;
TCommandLinesView* CommandLines = nullptr;

void Add(const std::string& text, TIconType icon) {
    if (Lines) Lines->Add(text, icon);
}

}  // namespace

void SetLogTargets(TLogLines* lines, TCommandLinesView* commandLines) {
    Lines = lines;
    CommandLines = commandLines;
}

void LogPlain(const std::string& text) { Add(text, TIconType::iconNone); }
void LogDebug(const std::string& text) { Add(text, TIconType::iconDebug); }
void LogWarning(const std::string& text) { Add(text, TIconType::iconWarning); }
void LogInformation(const std::string& text) { Add(text, TIconType::iconInformation); }
void LogAssertion(const std::string& text) { Add(text, TIconType::iconAssertion); }
void LogError(const std::string& text) { Add(text, TIconType::iconError); }
void LogUnknown(const std::string& text) { Add(text, TIconType::iconUnknown); }

void LogList(const TStringList& lines) {
    for (const std::string& line : lines) LogPlain(line);
}

void ClearLog() {
    if (Lines) Lines->Clear();
}

void ClearCommandLines() {
    if (CommandLines) CommandLines->Clear();
}
