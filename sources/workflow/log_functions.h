// The log as the rest of the program reaches it: each function adds to the
// log page's lines, and does nothing while no log page exists.
#pragma once

#include <string>

#include "exec/command_lines_view.h"
#include "lib/text.h"
#include "workflow/log_lines.h"

// The log page publishes its lines and command-lines view here (null: none).
void SetLogTargets(TLogLines* lines, TCommandLinesView* commandLines);

void LogPlain(const std::string& text);
void LogDebug(const std::string& text);
void LogWarning(const std::string& text);
void LogInformation(const std::string& text);
void LogAssertion(const std::string& text);
void LogError(const std::string& text);
void LogUnknown(const std::string& text);
void LogList(const TStringList& lines);
void ClearLog();
void ClearCommandLines();
