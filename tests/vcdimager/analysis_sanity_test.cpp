#include <gtest/gtest.h>

#include <map>

#include "model/mpeg_file.h"
#include "vcdimager/mpeg_analysis_parser.h"
#include "vcdimager/mpeg_analysis_sanity.h"

namespace {

// A description as vcdxminfo gives it, with values that a case replaces.
TStringList Description(const std::map<std::string, std::string>& values, int accessPoints = 3,
                        bool withStreams = true) {
    auto value = [&](const std::string& key, const std::string& fallback) {
        const auto found = values.find(key);
        return found == values.end() ? fallback : found->second;
    };
    TStringList lines = {
        R"(<mpeg-info src="movie.mpg">)",
        "<mpeg-properties>",
        "<version>" + value("version", "1") + "</version>",
        "<playing-time>" + value("playing-time", "8.000000") + "</playing-time>",
        "<pts-offset>" + value("pts-offset", "0.500000") + "</pts-offset>",
        "<packets>" + value("packets", "600") + "</packets>",
        "<bit-rate>" + value("bit-rate", "1411200") + "</bit-rate>",
    };
    if (withStreams) {
        const TStringList video = {
            R"(<video-stream index="0">)",
            "<horizontal-size>" + value("horizontal-size", "352") + "</horizontal-size>",
            "<vertical-size>" + value("vertical-size", "288") + "</vertical-size>",
            "<frame-rate>" + value("frame-rate", "25.000000") + "</frame-rate>",
            "<bit-rate>" + value("video-bit-rate", "1150000") + "</bit-rate>",
            "<aps-list>",
        };
        lines.insert(lines.end(), video.begin(), video.end());
        for (int i = 1; i <= accessPoints; ++i)
            lines.push_back(R"(<aps packet=")" + std::to_string(i * 10) + R"(">)" +
                            value("aps", std::to_string(i * 0.5)) + "</aps>");
        const TStringList rest = {
            "</aps-list>",
            "</video-stream>",
            R"(<audio-stream index="0">)",
            "<layer>" + value("layer", "2") + "</layer>",
            "<sampling-frequency>" + value("sampling-frequency", "44100") + "</sampling-frequency>",
            "<bit-rate>" + value("audio-bit-rate", "224000") + "</bit-rate>",
            "<mode>stereo</mode>",
            "</audio-stream>",
        };
        lines.insert(lines.end(), rest.begin(), rest.end());
    }
    lines.push_back("</mpeg-properties>");
    lines.push_back("</mpeg-info>");
    return lines;
}

std::string Problem(const TStringList& lines) {
    TMpegFile file("", true);
    TStringList parsed = lines;
    ParseMpegAnalysis(&file, &parsed);
    return AnalysisProblem(file);
}

TEST(AnalysisSanity, ValuesOutOfAnySaneRangeAreRefused) {
    struct TCase {
        std::string Key;
        std::string Value;
        std::string Problem;  // empty: accepted
    };
    const TCase cases[] = {
        {"", "", ""},
        {"version", "2", ""},
        {"version", "3", "MPEG version: 3"},
        {"playing-time", "-1.000000", "playing time: -1.000000"},
        {"playing-time", "nan", "playing time: nan"},
        {"playing-time", "inf", "playing time: inf"},
        {"playing-time", "172800.000000", ""},
        {"playing-time", "172801.000000", "playing time: 172801.000000"},
        {"playing-time", "8 seconds", "playing time: 8 seconds"},
        {"pts-offset", "-0.1", "PTS offset: -0.1"},
        {"pts-offset", "95444", ""},
        {"packets", "-5", "packets: -5"},
        {"packets", "1e12", "packets: 1e12"},
        {"bit-rate", "nan", "bit rate: nan"},
        {"bit-rate", "-1411200", "bit rate: -1411200"},
        {"horizontal-size", "0", "picture width: 0"},
        {"horizontal-size", "-352", "picture width: -352"},
        {"vertical-size", "99999", "picture height: 99999"},
        {"frame-rate", "0.000000", "frame rate: 0.000000"},
        {"frame-rate", "29.970030", ""},
        {"frame-rate", "nan", "frame rate: nan"},
        {"video-bit-rate", "-1", "video bit rate: -1"},
        {"video-bit-rate", "104857200", ""},  // what stills declare
        {"video-bit-rate", "2e9", "video bit rate: 2e9"},
        {"layer", "4", "audio layer: 4"},
        {"sampling-frequency", "48000", ""},
        {"sampling-frequency", "0", "sampling frequency: 0"},
        {"sampling-frequency", "1e9", "sampling frequency: 1e9"},
        {"audio-bit-rate", "-224000", "audio bit rate: -224000"},
        {"aps", "-3.5", "access point time: -3500 ms"},
    };
    for (const TCase& c : cases) {
        std::map<std::string, std::string> values;
        if (!c.Key.empty()) values[c.Key] = c.Value;
        EXPECT_EQ(Problem(Description(values)), c.Problem) << c.Key << " = " << c.Value;
    }
}

TEST(AnalysisSanity, MoreAccessPointsThanFramesOrNoStreamIsRefused) {
    // 8 seconds hold at most (8 + 1) * 60 + 1 access points, with the one at 0.
    EXPECT_EQ(Problem(Description({}, 500)), "");
    EXPECT_EQ(Problem(Description({}, 600)), "access points: 601");
    EXPECT_EQ(Problem(Description({{"playing-time", "100.0"}}, 200000)), "access points: 200001");
    // A truncated file: the tool ends its description without any stream.
    EXPECT_EQ(Problem(Description({{"packets", "0"}}, 0, false)), "no video or audio stream");
    EXPECT_EQ(Problem({"<mpeg-info>"}), "no description");
}

TEST(AnalysisSanity, AStoredDescriptionIsJudgedTheSameWay) {
    EXPECT_EQ(StoredDescriptionProblem(Description({}), true), "");
    EXPECT_EQ(StoredDescriptionProblem(Description({{"playing-time", "nan"}}), true), "playing time: nan");
    EXPECT_EQ(StoredDescriptionProblem(Description({}, 0, false), true), "no video or audio stream");
}

}  // namespace
