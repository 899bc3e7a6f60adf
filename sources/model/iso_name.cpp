#include "model/iso_name.h"

#include <algorithm>

#include "lib/text.h"
#include "settings/language.h"

namespace {

constexpr std::size_t Level1BaseLength = 8;

// Upper case, trimmed, no trailing delimiter.
std::string PlainName(std::string_view name) {
    std::string text = UpperCase(Trim(name));
    while (!text.empty() && (text.back() == '/' || text.back() == '\\')) text.pop_back();
    return text;
}

// A file name without a dot gets one.
std::string WithDot(std::string text, bool isFolder) {
    if (!isFolder && text.find('.') == std::string::npos) text += '.';
    return text;
}

// The base length that the mode allows beside `extension`.
std::size_t BaseLength(TTreeMode mode, std::size_t extensionLength) {
    return mode == TTreeMode::IsoLevel1 ? Level1BaseLength : 31 - extensionLength;
}

}  // namespace

bool IsoNameIsShortened(std::string_view name, std::string_view isoName, bool isFolder) {
    return WithDot(PlainName(name), isFolder) != isoName;
}

std::string NumberedIsoName(std::string_view isoName, bool isFolder, TTreeMode mode, int number) {
    std::string base(isoName);
    std::string extension;
    if (const std::size_t dot = base.rfind('.'); !isFolder && dot != std::string::npos) {
        extension = base.substr(dot);
        base.resize(dot);
    }
    const std::string ending = "_" + std::to_string(number);
    const std::size_t length = BaseLength(mode, extension.size());
    if (ending.size() >= length) return {};
    return base.substr(0, std::min(base.size(), length - ending.size())) + ending + extension;
}

std::string IsoName(std::string_view name, bool isFolder, TTreeMode mode) {
    std::string text = PlainName(name);
    if (StartsWith(text, ".")) text = "_" + text;
    text = WithDot(text, isFolder);
    // One "_" per character: a multi-byte character counts once.
    std::string kept;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) continue;
        kept += (c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) ? c : '_';
    }
    text = kept;

    std::string base = text;
    std::string extension;
    if (!isFolder) {
        const std::size_t dot = text.rfind('.');
        base = text.substr(0, dot);
        extension = text.substr(dot);
    }
    base = ReplaceAll(base, ".", "");
    if (mode == TTreeMode::IsoLevel1) {
        extension = extension.substr(0, 4);
    } else if (extension.size() >= 32) {
        extension = extension.substr(0, 30);
    }
    base = base.substr(0, BaseLength(mode, extension.size()));
    return base + extension;
}

namespace {

// Each character outside 7-bit ASCII once, in order of appearance, whole.
std::string ForbiddenCharacters(const std::string& path) {
    std::string found;
    TStringList seen;
    for (std::size_t i = 0; i < path.size();) {
        const auto lead = static_cast<unsigned char>(path[i]);
        std::size_t length = 1;
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        if (lead >= 0x80) {
            const std::string character = path.substr(i, length);
            bool known = false;
            for (const std::string& s : seen) known = known || s == character;
            if (!known) {
                seen.push_back(character);
                found += character;
            }
        }
        i += length;
    }
    return found;
}

}  // namespace

std::string DiskPathProblem(const std::string& path, bool noNetworkFiles) {
    if (noNetworkFiles && StartsWith(path, "\\\\"))
        return Format(Translate("Network files \"%s\" are not allowed"), path);
    if (path.find('&') != std::string::npos)
        return Translate("\"&&\" in filenames are not allowed") + "\r\r" + ReplaceAll(path, "&", "&&");
    const std::string forbidden = ForbiddenCharacters(path);
    if (!forbidden.empty())
        return Translate("Special characters in filenames are not allowed^(GNU VCDImager known bug)") + "\r\r" +
               Translate("Forbidden characters") + ": " + forbidden + "\r\r" +
               Format(Translate("In %s"), "\"" + path + "\"") + "\r\r" +
               Translate("Rename or/and move the file in order to not have forbidden characters in the full filemane");
    return "";
}

bool IsRecycleFolderName(std::string_view name) {
    return SameText(name, "Recycled") || SameText(name, "Recycler") || SameText(name, "$Recycle.Bin") ||
           name == ".Trash" || StartsWith(name, ".Trash-");
}
