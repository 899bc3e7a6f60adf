#include "exec/status_lines.h"

#include "lib/text.h"

std::string MakeLogStatusLine(std::string_view level, std::string_view text) {
    std::string line = "<log level=\"";
    line.append(level).append("\">").append(text).append("</log>");
    return line;
}

std::string MakeProgressStatusLine(std::string_view message, int position) {
    std::string line = "<guiprogress message=\"";
    line.append(message).append("\" position=\"").append(std::to_string(position)).append("\" />");
    return line;
}

bool IsElement(std::string_view line, std::string_view tag) {
    if (line.size() < tag.size() + 2 || line[0] != '<' || line.substr(1, tag.size()) != tag) return false;
    const char next = line[tag.size() + 1];
    return next == '>' || next == ' ';
}

std::string AttributeValue(std::string_view line, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = FindText(line, key);
    if (at == std::string_view::npos) return "";
    const std::size_t start = at + key.size();
    const std::size_t end = line.find('"', start);
    return Trim(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string LogElementText(std::string_view line) {
    std::string text(line);
    if (const std::size_t open = text.find("<log"); open != std::string::npos) text.erase(open, 4);
    if (const std::size_t close = text.find("</log>"); close != std::string::npos) text.erase(close, 6);
    text = Trim(text);
    const std::size_t end = text.find('>');
    return end == std::string::npos ? text : text.substr(end + 1);
}
