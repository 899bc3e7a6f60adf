// The VCDImager commands with the real tools on the media fixtures: a disc
// image built from a description, ripped back and converted from CDXA.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "environment/detected_tools.h"
#include "exec/commands_manager.h"
#include "exec/status_lines.h"
#include "integration/disc_images.h"
#include "lib/console_runner.h"
#include "model/mpeg_files.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "vcdimager/command_cdxa_to_mpeg.h"
#include "vcdimager/command_vcdxbuild.h"
#include "vcdimager/command_vcdxrip.h"
#include "vcdimager/command_xml.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Fixture(const std::string& name) { return (FixturesFolder() / name).string(); }

class VcdImagerTools : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TScriptedDialogs Dialogs;
    TServicesScope Scope{&Loop, &Dialogs};
    TDetectedTools SavedTools = DetectedTools();
    TTempFolder Folder;
    TCommandsManager Manager;
    TCommandLinesList Memo;
    std::vector<std::string> Output;
    std::function<void(const std::string&)> OnLine;

    void SetUp() override {
        const std::string program = FindProgram("vcdxbuild");
        if (program.empty()) GTEST_SKIP() << "vcdxbuild is not installed";
        DetectedTools().VcdImagerFolder = fs::path(program).parent_path().string() + "/";
        DetectedTools().VcdImagerAvailable = true;
        DetectedTools().VcdImagerVersion = "GNU VCDImager (test run)";
    }
    void TearDown() override { DetectedTools() = SavedTools; }

    TCommandOutputEvent Sink() {
        return [this](TCommandInterface&, const std::string& line) {
            Output.push_back(line);
            if (OnLine) OnLine(line);
        };
    }

    void RunQueue() {
        Manager.Run(true, &Memo);
        ASSERT_TRUE(Loop.RunUntil([&] { return !Manager.IsRunning(); }, 120s));
    }

    // Two PAL sequences; the first has two chapters that fall onto one entry point.
    TMpegFiles Files;
    TNavigationRegistration Navigation{Files};

    std::shared_ptr<TVcdProperties> TwoPalVideos(TCdImageType type) {
        TMpegFile* first = Files.Add(std::make_unique<TMpegFile>(Fixture("pal_vcd_1.mpg"), true));
        first->AddEntryPoint("0:00:01.100", true);
        first->AddEntryPoint("0:00:01.150", true);
        Files.Add(std::make_unique<TMpegFile>(Fixture("pal_vcd_2.mpg"), true));
        auto properties = std::make_shared<TVcdProperties>();
        properties->Files = &Files;
        properties->ProgramNameVersion = "Lumora v1.1.6";
        properties->VolumeLabel = "FIXTURES";
        properties->AlbumName = "FIXTURES";
        properties->XmlComments = false;
        properties->CdImageType = type;
        properties->SetOutputBaseName(Folder.File("disc"));
        return properties;
    }

    // Description and image of the two fixtures through one queue; returns the image base.
    std::string Build(TCdImageType type) {
        auto info = std::make_shared<TXmlGenerationInfo>();
        info->Properties = TwoPalVideos(type);
        Manager.Add(MakeXmlCommand(info, Sink()));
        Manager.Add(BuildCdImage(MakeBuildParam(*info->Properties), Sink()));
        RunQueue();
        return info->Properties->OutputBaseName;
    }

    bool Saw(const std::string& part) const {
        return std::any_of(Output.begin(), Output.end(),
                           [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }
};

// The files under `folder` that a job writes under a temporary name, whose name ends with `ending`.
std::vector<fs::path> TemporaryFiles(const fs::path& folder, const std::string& ending) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string path = entry.path().string();
        if (path.find(".lumora-tmp-") != std::string::npos && EndsWith(path, ending)) found.push_back(entry.path());
    }
    return found;
}

TEST_F(VcdImagerTools, BuildThenRipGivesTheSourcesBack) {
    const std::string base = Build(TCdImageType::Cue);
    ASSERT_TRUE(fs::exists(base + ".bin"));
    const std::string cue = ReadWholeFile(base + ".cue");
    EXPECT_EQ(cue.find("FLAGS"), std::string::npos) << cue;
    EXPECT_NE(cue.find("INDEX 01"), std::string::npos) << cue;

    EXPECT_TRUE(Saw(MakeLogStatusLine("information", "GNU VCDImager (test run)")));
    EXPECT_TRUE(Saw("<guiprogress message=\"Scanning Sequence-0001-01...\" position=\"100\" />"));
    EXPECT_TRUE(Saw("<guiprogress message=\"Writing CD image file...\" position=\"100\" />"));
    EXPECT_TRUE(Saw("several chapters at the same entry point"));
    EXPECT_FALSE(Saw("EEL sysid"));
    // The build is the last step: one warning about the shared entry point, then the summary.
    const std::vector<std::string> messages = Dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("one or more chapters have the same entry point"), std::string::npos);
    EXPECT_NE(messages[1].find("finished ok, image created with"), std::string::npos) << messages[1];
    EXPECT_NE(messages[1].find("Internally computed XML generated successfully"), std::string::npos);
    ASSERT_GE(Memo.Lines.size(), 4u);
    EXPECT_EQ(Memo.Lines[3].find("\"" + DetectedTools().VcdImagerFolder + "vcdxbuild\" -v --gui -p -i bincue"), 0u)
        << Memo.Lines[3];

    const fs::path ripFolder = Folder.Path() / "rip";
    fs::create_directory(ripFolder);
    const std::string ripXml = (ripFolder / "rip.xml").string();
    Output.clear();
    Manager.Add(RipBinFile(base + ".bin", ripXml, {}, Sink()));
    RunQueue();
    ASSERT_TRUE(fs::exists(ripXml));
    EXPECT_NE(ReadWholeFile(ripXml).find("avseq02.mpg"), std::string::npos);
    EXPECT_EQ(ReadWholeFile((ripFolder / "avseq01.mpg").string()), ReadWholeFile(Fixture("pal_vcd_1.mpg")));
    EXPECT_EQ(ReadWholeFile((ripFolder / "avseq02.mpg").string()), ReadWholeFile(Fixture("pal_vcd_2.mpg")));
    EXPECT_TRUE(Saw("<guiprogress message=\"Ripping avseq01.mpg...\" position=\"0\" />"));
    EXPECT_TRUE(Saw("<guiprogress message=\"Ripping avseq02.mpg...\" position=\"100\" />"));

    // The first track back from its CDXA form.
    const std::string dat = MakeDatFromImage(base, Folder.File("avseq01.dat"));
    ASSERT_FALSE(dat.empty());
    const std::string mpg = Folder.File("converted.mpg");
    Folder.Write("converted.mpg", "an older file of that name");
    Dialogs.Answer(TModalResult::Yes);  // it may be replaced
    Manager.Add(CdxaToMpeg(dat, mpg, Sink()));
    RunQueue();
    EXPECT_EQ(ReadWholeFile(mpg), ReadWholeFile(Fixture("pal_vcd_1.mpg")));
}

TEST_F(VcdImagerTools, ConvertingAPlainMpegFileFailsAndLeavesNoOutput) {
    const std::string mpg = Folder.File("out.mpg");
    Manager.Add(CdxaToMpeg(Fixture("pal_vcd_2.mpg"), mpg, Sink()));
    RunQueue();
    EXPECT_FALSE(fs::exists(mpg));
    EXPECT_TRUE(Saw("unknown chunk id"));
    const std::vector<std::string> messages = Dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("The file is not a MPEG file with Riff header"), std::string::npos) << messages[0];
}

TEST_F(VcdImagerTools, ToastLeavesTrackImagesOnly) {
    const std::string base = Build(TCdImageType::Toast);
    EXPECT_FALSE(fs::exists(base + ".toc"));
    std::vector<std::string> images;
    for (const auto& entry : fs::directory_iterator(Folder.Path()))
        if (entry.path().extension() == ".img") images.push_back(entry.path().filename().string());
    std::sort(images.begin(), images.end());
    EXPECT_EQ(images, (std::vector<std::string>{"disc_01.img", "disc_02.img", "disc_03.img"}));
}

TEST_F(VcdImagerTools, TocImageNamesItsTrackFiles) {
    const std::string base = Build(TCdImageType::Toc);
    const std::string toc = ReadWholeFile(base + ".toc");
    EXPECT_NE(toc.find(base + "_02.img"), std::string::npos) << toc;
    EXPECT_EQ(toc.find('\\'), std::string::npos);
}

TEST_F(VcdImagerTools, CancellingARipRemovesTheDescriptionAndTheCutFile) {
    const std::string base = Build(TCdImageType::Cue);
    ASSERT_TRUE(fs::exists(base + ".bin"));
    const fs::path ripFolder = Folder.Path() / "rip";
    fs::create_directory(ripFolder);
    const std::string ripXml = (ripFolder / "rip.xml").string();
    Manager.Add(RipBinFile(base + ".bin", ripXml, {}, Sink()));
    bool cancelAsked = false;
    bool secondWhileRipping = false;
    OnLine = [&](const std::string& line) {
        if (cancelAsked || line.find("Ripping avseq02.mpg") == std::string::npos) return;
        cancelAsked = true;
        secondWhileRipping = !TemporaryFiles(ripFolder, "avseq02.mpg").empty();
    };
    Manager.Run(true, &Memo);
    ASSERT_TRUE(Loop.RunUntil([&] { return cancelAsked || !Manager.IsRunning(); }, 120s));
    Manager.Cancel();
    ASSERT_TRUE(Loop.RunUntil([&] { return !Manager.IsRunning(); }, 120s));
    ASSERT_TRUE(cancelAsked);
    EXPECT_TRUE(secondWhileRipping) << "the second sequence was being written when the user cancelled";
    // The rip went to a temporary folder: nothing of it is left, the previous files are.
    EXPECT_EQ(std::distance(fs::directory_iterator(ripFolder), fs::directory_iterator()), 0);
}

TEST_F(VcdImagerTools, CancellingABuildRemovesItsPartialFiles) {
    auto info = std::make_shared<TXmlGenerationInfo>();
    info->Properties = TwoPalVideos(TCdImageType::Cue);
    const std::string base = info->Properties->OutputBaseName;
    Manager.Add(MakeXmlCommand(info, Sink()));
    Manager.Add(BuildCdImage(MakeBuildParam(*info->Properties), Sink()));
    bool binWhileWriting = false;
    bool cancelAsked = false;
    OnLine = [&](const std::string& line) {
        if (cancelAsked || line.find("writing track 2") == std::string::npos) return;
        cancelAsked = true;
        binWhileWriting = !TemporaryFiles(Folder.Path(), ".bin").empty();
    };
    Manager.Run(true, &Memo);
    // Cancelled as the user would, between two lines of the tool.
    ASSERT_TRUE(Loop.RunUntil([&] { return cancelAsked || !Manager.IsRunning(); }, 120s));
    Manager.Cancel();
    ASSERT_TRUE(Loop.RunUntil([&] { return !Manager.IsRunning(); }, 120s));
    ASSERT_TRUE(cancelAsked);
    EXPECT_TRUE(binWhileWriting) << "the image was being written when the user cancelled";
    EXPECT_FALSE(fs::exists(base + ".bin"));
    EXPECT_FALSE(fs::exists(base + ".cue"));
    EXPECT_TRUE(TemporaryFiles(Folder.Path(), "").empty());
    const std::vector<std::string> messages = Dialogs.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.back().find("execution cancelled"), std::string::npos) << messages.back();
}

}  // namespace
