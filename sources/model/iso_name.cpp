#include "model/iso_name.h"

#include "lib/text.h"
#include "settings/language.h"

std::string IsoName(std::string_view name, bool isFolder, TTreeMode mode) {
    std::string text = UpperCase(Trim(name));
    while (!text.empty() && (text.back() == '/' || text.back() == '\\')) text.pop_back();
    if (StartsWith(text, ".")) text = "_" + text;
    if (!isFolder && text.find('.') == std::string::npos) text += '.';
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
        base = base.substr(0, 8);
        extension = extension.substr(0, 4);
    } else {
        if (extension.size() >= 32) extension = extension.substr(0, 30);
        base = base.substr(0, 31 - extension.size());
    }
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
