// The plain description written for real projects goes through VCDImager:
// vcdxbuild must make an image of it, and vcdxrip must give back the MPEG
// files byte for byte.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "lib/crc32.h"
#include "lib/safe_file.h"
#include "support/temp_folder.h"
#include "writers/integrity_text_file.h"
#include "writers/video_cd_xml_writer.h"

namespace fs = std::filesystem;

namespace {

struct TToolRun {
    int ExitCode = -1;
    std::string Output;
};

std::string Quote(const std::string& text) { return "'" + ReplaceAll(text, "'", "'\\''") + "'"; }

// Runs a command line in a folder and collects its output.
TToolRun RunTool(const fs::path& folder, const std::string& command) {
    TToolRun run;
    const std::string line = "cd " + Quote(folder.string()) + " && " + command + " 2>&1";
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Output.append(buffer, read);
    const int status = pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Fixture(const std::string& name) { return (FixturesFolder() / name).string(); }

TDescriptionFile MpegFile(const std::string& path, bool still, const std::vector<std::string>& times) {
    TDescriptionFile file;
    file.FullPath = path;
    file.IsStill = still;
    file.Size = static_cast<std::int64_t>(fs::file_size(path));
    for (const std::string& time : times) {
        TDescriptionEntry entry;
        entry.TimeText = time;
        entry.Selection.Return = {{TPbcTargetKind::End, -1}, false};
        entry.Selection.WaitTime = 2;
        file.Entries.push_back(entry);
    }
    return file;
}

// Automatic previous, next and timeout links over all selections.
void LinkSelections(TVideoCdDescription& d) {
    std::vector<TSelectionState*> flat;
    std::vector<int> firstOfFile;
    for (TDescriptionFile& file : d.Files) {
        firstOfFile.push_back(static_cast<int>(flat.size()));
        for (TDescriptionEntry& entry : file.Entries) flat.push_back(&entry.Selection);
    }
    const TPbcTarget end{TPbcTargetKind::End, -1};
    int position = 0;
    for (std::size_t f = 0; f < d.Files.size(); ++f) {
        for (std::size_t e = 0; e < d.Files[f].Entries.size(); ++e, ++position) {
            TSelectionState& s = *flat[static_cast<std::size_t>(position)];
            s.Prev.Target = position == 0 ? end : TPbcTarget::To(position - 1);
            if (e == 0 && f > 0) s.Prev.Target = TPbcTarget::To(firstOfFile[f - 1]);
            s.Next.Target = position + 1 < static_cast<int>(flat.size()) ? TPbcTarget::To(position + 1) : end;
            s.Timeout.Target = f + 1 < d.Files.size() ? TPbcTarget::To(firstOfFile[f + 1]) : end;
        }
    }
}

class VideoCdImageTest : public ::testing::Test {
protected:
    TTempFolder Work;

    void SetUp() override {
        for (const char* tool : {"vcdxbuild", "vcdxrip"})
            if (RunTool(Work.Path(), std::string("command -v ") + tool).ExitCode != 0)
                GTEST_SKIP() << tool << " missing";
        for (const char* name : {"pal_vcd_1.mpg", "pal_vcd_2.mpg", "pal_svcd_1.mpg", "still_pal_vcd.mpg"})
            if (!fs::exists(Fixture(name))) GTEST_SKIP() << name << " missing from the fixtures";
    }

    std::string WriteDescription(const TVideoCdDescription& d) {
        const std::string path = Work.File("videocd.xml");
        std::string error;
        EXPECT_TRUE(SaveFileSafely(path, LinesToText(WriteVideoCdXml(d, TXmlMode::Plain)), &error)) << error;
        return path;
    }

    void ExpectBuilt(const TToolRun& run) {
        EXPECT_EQ(run.ExitCode, 0) << run.Output;
        EXPECT_EQ(run.Output.find("level=\"error\""), std::string::npos) << run.Output;
    }

    // Rips the image given by the option into a fresh folder.
    fs::path Rip(const std::string& sourceOption, TToolRun& run) {
        const fs::path folder = Work.Path() / "rip";
        fs::create_directories(folder);
        run = RunTool(folder, "vcdxrip -p --gui " + sourceOption + " -o rip.xml");
        return folder;
    }
};

TVideoCdDescription Vcd20Project(const std::string& userFile) {
    TVideoCdDescription d;
    d.ProgramNameVersion = "Lumora v1.1.6";
    d.UsePBC = true;
    d.XmlComments = true;
    d.AlbumName = "Tom & Jerry";
    d.VolumeLabel = "HOLIDAYS";
    d.Files.push_back(MpegFile(Fixture("pal_vcd_1.mpg"), false, {"0:00:00.000", "0:00:02.000"}));
    d.Files.push_back(MpegFile(Fixture("still_pal_vcd.mpg"), true, {"0:00:00.000"}));
    d.Files.push_back(MpegFile(Fixture("pal_vcd_2.mpg"), false, {"0:00:00.000", "0:00:01.500"}));
    LinkSelections(d);
    // Custom targets and numeric keys on the first selection.
    TSelectionState& first = d.Files[0].Entries[0].Selection;
    first.Next = {TPbcTarget::To(3), false};
    first.DefaultKey = {{TPbcTargetKind::Itself, -1}, false};
    first.NumericMode = TNumericMode::Custom;
    first.NumericKeys[0] = TPbcTarget::To(0);
    first.NumericKeys[1] = TPbcTarget::To(1);
    first.NumericKeys[2] = TPbcTarget::To(2);
    first.NumericKeys[3] = {TPbcTargetKind::Disabled, -1};
    first.NumericKeys[5] = TPbcTarget::To(4);  // key 5 left without target
    TSelectionState& still = d.Files[1].Entries[0].Selection;
    still.WaitTime = 3;
    still.Return = {TPbcTarget::To(0), false};
    TSelectionState& last = d.Files[2].Entries[1].Selection;
    last.WaitTime = -1;
    last.JumpImmediate = false;
    d.FileSystem.push_back({true, "EXTRAS", "", false, {{false, "README.TXT", userFile, false, {}}}});
    return d;
}

int Count(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

}  // namespace

TEST_F(VideoCdImageTest, Vcd20WithStillChaptersPbcAndUserFileRipsBackIdentical) {
    const std::string readme = Work.Write("readme.txt", "Read me, then play the disc.\n");
    const std::string xml = WriteDescription(Vcd20Project(readme));

    ExpectBuilt(RunTool(Work.Path(), "vcdxbuild -v --gui -p -i bincue --cue-file=" + Quote(Work.File("disc.cue")) +
                                         " --bin-file=" + Quote(Work.File("disc.bin")) + " " + Quote(xml)));
    ASSERT_TRUE(fs::exists(Work.File("disc.bin")));

    TToolRun rip;
    const fs::path ripped = Rip("--cue-file=" + Quote(Work.File("disc.cue")), rip);
    ASSERT_EQ(rip.ExitCode, 0) << rip.Output;
    EXPECT_EQ(ReadWholeFile((ripped / "avseq01.mpg").string()), ReadWholeFile(Fixture("pal_vcd_1.mpg")));
    EXPECT_EQ(ReadWholeFile((ripped / "avseq02.mpg").string()), ReadWholeFile(Fixture("pal_vcd_2.mpg")));
    EXPECT_EQ(ReadWholeFile((ripped / "item0001.mpg").string()), ReadWholeFile(Fixture("still_pal_vcd.mpg")));

    // The disc keeps the chapters, the selections and their numeric keys.
    const std::string description = ReadWholeFile((ripped / "rip.xml").string());
    EXPECT_EQ(Count(description, "<entry "), 2) << description;
    EXPECT_EQ(Count(description, "<selection "), 5) << description;
    EXPECT_EQ(Count(description, "<select "), 6) << description;
    EXPECT_NE(description.find("<bsn>1</bsn>"), std::string::npos) << description;
    EXPECT_NE(description.find("<name>EXTRAS</name>"), std::string::npos) << description;
    EXPECT_EQ(ReadWholeFile((ripped / "_extras_readme.txt").string()), ReadWholeFile(readme));
}

TEST_F(VideoCdImageTest, SvcdRipsBackIdentical) {
    TVideoCdDescription d;
    d.ProgramNameVersion = "Lumora v1.1.6";
    d.VideoCdType = TVideoCdType::Svcd10;
    d.UsePBC = true;
    d.Files.push_back(MpegFile(Fixture("pal_svcd_1.mpg"), false, {"0:00:00.000", "0:00:01.000"}));
    LinkSelections(d);
    const std::string xml = WriteDescription(d);
    EXPECT_NE(ReadWholeFile(xml).find("class=\"svcd\" version=\"1.0\""), std::string::npos);

    ExpectBuilt(RunTool(Work.Path(), "vcdxbuild -v --gui -p -i bincue --cue-file=" + Quote(Work.File("disc.cue")) +
                                         " --bin-file=" + Quote(Work.File("disc.bin")) + " " + Quote(xml)));
    TToolRun rip;
    const fs::path ripped = Rip("--cue-file=" + Quote(Work.File("disc.cue")), rip);
    ASSERT_EQ(rip.ExitCode, 0) << rip.Output;
    EXPECT_EQ(ReadWholeFile((ripped / "avseq01.mpg").string()), ReadWholeFile(Fixture("pal_svcd_1.mpg")));
    EXPECT_NE(ReadWholeFile((ripped / "rip.xml").string()).find("class=\"svcd\""), std::string::npos);
}

TEST_F(VideoCdImageTest, TocImageHoldsTheSameDisc) {
    const std::string readme = Work.Write("readme.txt", "toc\n");
    TVideoCdDescription d = Vcd20Project(readme);
    d.Options.CdImageType = TCdImageType::Toc;
    const std::string xml = WriteDescription(d);
    const std::string base = Work.File("disc");
    ExpectBuilt(RunTool(Work.Path(), "vcdxbuild -v --gui -p -i cdrdao -o img_base=" + Quote(base) + " --cdrdao-file " +
                                         Quote(base) + " " + Quote(xml)));
    const std::string toc = ReadWholeFile(base + ".toc");
    ASSERT_FALSE(toc.empty());

    // vcdxrip reads no multi-file cdrdao image here: the track files are
    // joined in TOC order and described by a CUE sheet for the rip.
    std::string joined;
    std::string cue = "FILE \"joined.bin\" BINARY\r\n";
    int track = 0;
    const std::regex line(R"re(^\s*(TRACK|DATAFILE|START)\s*"?([^"]*)"?)re");
    std::istringstream lines(toc);
    for (std::string text; std::getline(lines, text);) {
        std::smatch match;
        if (!std::regex_search(text, match, line)) continue;
        const auto sector = [&] {
            const std::size_t frames = joined.size() / 2352;
            return ZeroPad(static_cast<long long>(frames / 75 / 60), 2) + ":" +
                   ZeroPad(static_cast<long long>(frames / 75 % 60), 2) + ":" +
                   ZeroPad(static_cast<long long>(frames % 75), 2);
        };
        if (match[1] == "TRACK") {
            cue += "  TRACK " + ZeroPad(++track, 2) + " MODE2/2352\r\n";
            cue += "    INDEX " + std::string(track == 1 ? "01 " : "00 ") + sector() + "\r\n";
        } else if (match[1] == "START") {
            cue += "    INDEX 01 " + sector() + "\r\n";
        } else {
            joined += ReadWholeFile(match[2]);
        }
    }
    ASSERT_EQ(track, 3) << toc;
    std::ofstream(Work.File("joined.bin"), std::ios::binary) << joined;
    std::ofstream(Work.File("joined.cue"), std::ios::binary) << cue;

    TToolRun rip;
    const fs::path ripped = Rip("--cue-file=" + Quote(Work.File("joined.cue")), rip);
    ASSERT_EQ(rip.ExitCode, 0) << rip.Output;
    EXPECT_EQ(ReadWholeFile((ripped / "avseq01.mpg").string()), ReadWholeFile(Fixture("pal_vcd_1.mpg")));
    EXPECT_EQ(ReadWholeFile((ripped / "avseq02.mpg").string()), ReadWholeFile(Fixture("pal_vcd_2.mpg")));
    EXPECT_EQ(ReadWholeFile((ripped / "item0001.mpg").string()), ReadWholeFile(Fixture("still_pal_vcd.mpg")));
}
