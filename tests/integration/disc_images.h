// Test files cut out of a built disc image.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "lib/text.h"
#include "support/temp_folder.h"

// cue "mm:ss:ff" as a sector number.
inline long long Sector(const std::string& msf) {
    return (std::stoll(msf.substr(0, 2)) * 60 + std::stoll(msf.substr(3, 2))) * 75 + std::stoll(msf.substr(6, 2));
}

// The ".dat" file a Video CD shows for the second track: the RIFF/CDXA header
// and the raw sectors of the track, up to the pregap of the next one.
inline std::string MakeDatFromImage(const std::string& base, const std::string& dat) {
    std::ifstream cue(base + ".cue");
    std::string line, track;
    long long first = -1, last = -1;
    while (std::getline(cue, line)) {
        if (line.find("TRACK") != std::string::npos) track = line.substr(line.find("TRACK") + 6, 2);
        const std::size_t index = line.find("INDEX ");
        if (index == std::string::npos) continue;
        const std::string kind = line.substr(index + 6, 2);
        const std::string msf = Trim(line.substr(index + 9));
        if (track == "02" && kind == "01") first = Sector(msf);
        if (track == "03" && kind == "00") last = Sector(msf);
    }
    if (first < 0 || last <= first) return "";
    const std::string image = ReadWholeFile(base + ".bin");
    const std::string sectors =
        image.substr(static_cast<std::size_t>(first * 2352), static_cast<std::size_t>((last - first) * 2352));
    auto le32 = [](std::uint32_t value) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
        return bytes;
    };
    const auto size = static_cast<std::uint32_t>(sectors.size());
    std::string riff = "RIFF" + le32(4 + 8 + 16 + 8 + size) + "CDXA" + "fmt " + le32(16) + std::string(16, '\0') +
                       "data" + le32(size) + sectors;
    std::ofstream(dat, std::ios::binary) << riff;
    return dat;
}
