#include "cli/status_printer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "exec/status_lines.h"
#include "exec/status_router.h"
#include "lib/json_text.h"
#include "lib/text.h"

namespace {

constexpr int ProgressBarWidth = 30;

}  // namespace

std::string TerminalText(const std::string& messageText) {
    TStringList lines;
    for (const std::string& line : SplitLines(messageText)) {
        const std::string text = TrimRight(line);
        if (text.empty() && !lines.empty() && lines.back().empty()) continue;  // boxes pad with blank lines
        lines.push_back(text);
    }
    while (!lines.empty() && lines.front().empty()) lines.erase(lines.begin());
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return JoinLines(lines, "\n");
}

const char* MessageTypeName(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::Warning:
            return "warning";
        case TMsgDlgType::Error:
            return "error";
        case TMsgDlgType::Information:
            return "information";
        case TMsgDlgType::Confirmation:
            return "question";
        case TMsgDlgType::Custom:
            break;
    }
    return "message";
}

void TStatusPrinter::Write(const std::string& text) {
    if (Failed) return;
    if (std::fwrite(text.data(), 1, text.size(), Out) != text.size() || std::fflush(Out) != 0) {
        // Said once, where it can still be seen; the job goes on and its exit code says it.
        Failed = true;
        const std::string reason = std::strerror(errno);
        std::fprintf(stderr, "lumora-cli: cannot write to the output: %s\n", reason.c_str());
    }
}

void TStatusPrinter::EndProgress() {
    if (ProgressShown && Mode == TOutputMode::Terminal) Write("\n");
    ProgressShown = false;
}

void TStatusPrinter::Line(const std::string& statusLine) {
    const TRoutedLine routed = RouteStatusLine(statusLine, {.Verbose = ShowDebug, .ShowWarnings = true});
    if (routed.Kind == TRoutedLine::TKind::Hidden) return;
    if (routed.Kind == TRoutedLine::TKind::Progress) return Progress(routed.Text, routed.Position);
    // A log element of an unknown level keeps its level name here; the log page shows it whole.
    const bool isLog = routed.IsLogElement;
    const std::string text = isLog ? LogElementText(statusLine) : statusLine;
    const std::string& level = routed.Level;
    if (Mode == TOutputMode::Json) {
        if (isLog)
            Write("{\"kind\":\"log\",\"level\":" + JsonQuoted(level) + ",\"text\":" + JsonQuoted(text) + "}\n");
        else
            Write("{\"kind\":\"text\",\"text\":" + JsonQuoted(text) + "}\n");
        return;
    }
    EndProgress();
    Write((isLog ? level + ": " + text : text) + "\n");
}

void TStatusPrinter::Progress(const std::string& text, int position) {
    if (Mode == TOutputMode::Json) {
        Write("{\"kind\":\"progress\",\"text\":" + JsonQuoted(text) + ",\"position\":" + std::to_string(position) +
              "}\n");
        return;
    }
    if (Mode == TOutputMode::Plain) {
        // A log file gets a line per tenth, not one per tool element.
        const int step = position / 10;
        if (text == LastProgressText && step == LastProgressStep) return;
        LastProgressText = text;
        LastProgressStep = step;
        Write("progress: " + std::to_string(position) + "% " + text + "\n");
        return;
    }
    const int filled = position * ProgressBarWidth / 100;
    std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(ProgressBarWidth - filled), ' ') + "] ";
    bar += Format("%3d%% ", position) + text + "\033[K";
    Write(bar);
    ProgressShown = true;
}

void TStatusPrinter::Message(TMsgDlgType type, const std::string& text, const std::string& answer) {
    const std::string shown = TerminalText(text);
    if (Mode == TOutputMode::Json) {
        std::string object =
            "{\"kind\":\"message\",\"type\":" + JsonQuoted(MessageTypeName(type)) + ",\"text\":" + JsonQuoted(shown);
        if (!answer.empty()) object += ",\"answer\":" + JsonQuoted(answer);
        Write(object + "}\n");
        return;
    }
    EndProgress();
    std::string block = std::string(MessageTypeName(type)) + ": " + ReplaceAll(shown, "\n", "\n  ");
    block = ReplaceAll(block, "\n  \n", "\n\n");
    if (!answer.empty()) block += " -> " + answer;
    Write(block + "\n");
}

void TStatusPrinter::Result(const std::string& key, const std::string& value) {
    if (Mode == TOutputMode::Json) {
        Write("{\"kind\":\"result\",\"name\":" + JsonQuoted(key) + ",\"value\":" + JsonQuoted(value) + "}\n");
        return;
    }
    EndProgress();
    Write(key + ": " + value + "\n");
}
