#include "vcdimager/command_vcdxbuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string Log(const std::string& level, const std::string& text) { return MakeLogStatusLine(level, text); }

class ImageBuild : public ::testing::Test {
protected:
    TScriptedDialogs Dialogs;
    TServicesScope Scope{nullptr, &Dialogs};
    TDetectedTools SavedTools = DetectedTools();
    TTempFolder Folder;
    std::vector<std::string> Output;

    ~ImageBuild() override { DetectedTools() = SavedTools; }

    std::unique_ptr<TCommandVcdXBuild> Make(TCdImageType type = TCdImageType::Cue, const std::string& base = "",
                                            const std::string& xml = "/work/disc/videocd.xml") {
        auto param = std::make_shared<TBuildParam>();
        param->ToolsComplete = true;
        param->ImageType = type;
        param->ImageBase = base.empty() ? "/work/disc/image" : base;
        param->XmlFile = xml;
        auto command =
            BuildCdImage(param, [this](TCommandInterface&, const std::string& line) { Output.push_back(line); });
        bool proceed = true;
        command->BeforeStart(proceed);
        std::string arguments;
        command->GetParameters(arguments);  // names the temporary base
        Output.clear();
        return command;
    }

    // The temporary base the tool writes to shown as "<tmp>".
    static std::string Normal(const std::string& text) {
        return std::regex_replace(text, std::regex("\\.lumora-tmp-[0-9a-f]{8}-[0-9]+-[0-9]+~"), "<tmp>");
    }

    // Every line as the runner hands it over.
    void Feed(TCommandVcdXBuild& command, const std::vector<std::string>& lines) {
        for (const std::string& line : lines) command.EmitLine(line);
    }
};

TEST_F(ImageBuild, CommandLinePerImageType) {
    struct TCase {
        TCdImageType Type;
        bool Sector2336;
        std::string Base;
        std::string Xml;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {TCdImageType::Cue, false, "/work/my disc/image", "/work/my disc/videocd.xml",
         "-v --gui -p -i bincue -o bin=\"/work/my disc/<tmp>.bin\" -o cue=\"/work/my disc/<tmp>.cue\" "
         "\"/work/my disc/videocd.xml\""},
        {TCdImageType::AdvCue, true, "/work/image", "/work/v.xml",
         "-v --gui -p -i bincue -o sector=2336 -o bin=\"/work/<tmp>.bin\" -o cue=\"/work/<tmp>.cue\" \"/work/v.xml\""},
        {TCdImageType::Toc, false, "/work/image", "/work/v.xml",
         "-v --gui -p -i cdrdao -o img_base=\"/work/<tmp>\" --cdrdao-file \"/work/<tmp>\" \"/work/v.xml\""},
    };
    for (const TCase& c : cases) {
        auto command = Make(c.Type, c.Base, c.Xml);
        command->BuildParam->Sector2336 = c.Sector2336;
        std::string arguments;
        command->GetParameters(arguments);
        EXPECT_EQ(Normal(arguments), c.Expected);
    }

    auto incomplete = Make();
    incomplete->ToolsComplete = false;
    std::string arguments = "x";
    incomplete->GetParameters(arguments);
    EXPECT_EQ(arguments, "") << "without every VCDImager tool the line stays empty";
    bool proceed = true;
    incomplete->BeforeStart(proceed);
    EXPECT_FALSE(proceed) << "and the run is refused with its reason";
    EXPECT_TRUE(incomplete->Status.IsFailed());
    EXPECT_EQ(incomplete->Status.ErrorLines,
              (std::vector<std::string>{"GNU VCDImager was not found, or not all of its tools"}));

    std::string folder;
    Make(TCdImageType::Cue, "", "/work/my disc/videocd.xml")->GetWorkingFolder(folder);
    EXPECT_EQ(folder, "/work/my disc");
    DetectedTools().VcdImagerFolder = "/opt/lumora/VCDImager/";
    std::string program;
    Make()->GetExecutable(program);
    EXPECT_EQ(program, "/opt/lumora/VCDImager/vcdxbuild");
}

TEST_F(ImageBuild, ARefusedPathStopsTheBuildBeforeItStarts) {
    auto param = std::make_shared<TBuildParam>();
    param->ToolsComplete = true;
    param->ImageBase = "/work/disc \"one\"";
    param->XmlFile = "/work/v.xml";
    auto command = BuildCdImage(param, [this](TCommandInterface&, const std::string& line) { Output.push_back(line); });
    bool proceed = true;
    command->BeforeStart(proceed);
    EXPECT_FALSE(proceed);
    EXPECT_TRUE(command->Status.IsFailed());
    ASSERT_EQ(command->Status.ErrorLines.size(), 1u);
    EXPECT_NE(command->Status.ErrorLines[0].find("/work/disc \"one\""), std::string::npos);
}

TEST_F(ImageBuild, ChaptersOnOneEntryPointGiveOneAssertionBeforeTheNextLine) {
    auto command = Make();
    EXPECT_FALSE(command->BuildParam->SameEntryPoint) << "cleared when the run starts";
    Feed(*command,
         {"<log level=\"debug\">requested entry point (id=Chapter-0001-02) at 1.100000, closest possible entry point "
          "at 1.210911</log>",
          "<log level=\"debug\">requested entry point (id=Chapter-0001-03) at 1.150000, closest possible entry point "
          "at 1.210911</log>"});
    EXPECT_TRUE(command->BuildParam->SameEntryPoint);
    ASSERT_EQ(Output.size(), 2u) << "the assertion waits for the next line";
    Feed(*command, {"<log level=\"information\">writing track 1 (ISO9660)...</log>"});
    ASSERT_EQ(Output.size(), 4u);
    EXPECT_EQ(AttributeValue(Output[2], "level"), "assertion");
    EXPECT_NE(Output[2].find("several chapters at the same entry point"), std::string::npos);
    EXPECT_NE(Output[2].find("let Lumora analyse"), std::string::npos);
    EXPECT_EQ(Output[3], "<log level=\"information\">writing track 1 (ISO9660)...</log>");

    // Another sequence, or another place, is no collision.
    auto other = Make();
    Feed(*other, {"<log level=\"debug\">requested entry point (id=Chapter-0001-02) at 1.1, closest possible entry "
                  "point at 1.210911</log>",
                  "<log level=\"warning\">requested entry point (id=Chapter-0002-02) at 1.1, closest possible entry "
                  "point at 1.210911</log>",
                  "<log level=\"debug\">requested entry point (id=Chapter-0002-03) at 2.1, closest possible entry "
                  "point at 2.210911</log>",
                  "<log level=\"information\">(id= without a key) at closest possible entry point</log>", "end"});
    EXPECT_FALSE(other->BuildParam->SameEntryPoint);
    for (const std::string& line : Output) EXPECT_NE(AttributeValue(line, "level"), "assertion") << line;

    auto sameSector = Make();
    Feed(*sameSector, {"<log level=\"warning\">entry point 'Chapter-0001-03' falls into same sector as previous "
                       "one!</log>"});
    EXPECT_TRUE(sameSector->BuildParam->SameEntryPoint);
}

TEST_F(ImageBuild, EntryPointKeys) {
    EXPECT_EQ(EntryPointKey("requested entry point (id=Chapter-0001-02) at 1.100000, closest possible entry point at "
                            "1.210911"),
              "Chapter-0001 1.210911");
    EXPECT_EQ(EntryPointKey("(id=ab) at 1, closest possible entry point at 12345678901234567890123"),
              "1234567890123456789");
    EXPECT_EQ(EntryPointKey("nothing to key on"), "");
}

TEST_F(ImageBuild, BadPackets) {
    auto packet = [](const std::string& offset, const std::string& remaining) {
        return "bad packet at packet #12 (stream byte offset " + offset + ") -- remaining " + remaining +
               " bytes of stream will be ignored";
    };
    const std::vector<std::pair<std::string, bool>> cases = {
        {packet("500000", "100000"), true},
        {packet("600000", "100001"), false},
        {packet("499999", "100000"), false},
        {packet("1000", "0"), true},
        {packet("0", "0"), true},
        {packet("abc", "10"), false},
        {"bad packet at packet #12 (stream byte offset 500000) -- remaining 10 bytes", false},
        {"BAD PACKET AT PACKET #1 (STREAM BYTE OFFSET 900) -- REMAINING 1 BYTES OF STREAM WILL BE IGNORED", true},
    };
    for (const auto& [text, harmless] : cases) {
        auto command = Make();
        Feed(*command, {Log("warning", text)});
        if (harmless)
            EXPECT_TRUE(Output.empty()) << text;
        else
            EXPECT_EQ(Output, (std::vector<std::string>{Log("assertion", text)})) << text;
    }
}

TEST_F(ImageBuild, RemarksThatChangeLevelOrFailTheBuild) {
    struct TCase {
        std::string Line;
        std::string Shown;
        bool Fails;
        std::size_t ErrorRemarks;
    };
    const std::string riff = "...this looks like a RIFF header but a plain multiplexed program stream was required.";
    const std::vector<TCase> cases = {
        {Log("error", riff),
         Log("error",
             "Invalid MPEG file, seems to be a \".dat\" file renamed to \".mpg\". (Use Cdxa2mpeg in the tools page to "
             "try to convert it to a \"true\" Mpeg file)"),
         true, 3},
        {Log("debug", "mpeg stream will be padded on the fly -- hope that's ok for you!"),
         Log("warning", "mpeg stream will be padded on the fly -- hope that's ok for you!"), false, 0},
        {Log("warning", "generated image (400000 sectors [88:53:00]) may not fit on 74min CDRs (333000 sectors)"),
         Log("assertion", "generated image (400000 sectors [88:53:00]) may not fit on 74min CDRs (333000 sectors)"),
         false, 0},
        {Log("error", "image too big (400000 sectors > 360000 sectors)"),
         Log("error", "image too big (400000 sectors > 360000 sectors)"), true, 5},
    };
    for (const TCase& c : cases) {
        auto command = Make();
        Feed(*command, {c.Line});
        EXPECT_EQ(Output, (std::vector<std::string>{c.Shown})) << c.Line;
        EXPECT_EQ(command->Failed, c.Fails) << c.Line;
        EXPECT_EQ(command->Status.ErrorLines.size(), c.ErrorRemarks) << c.Line;
    }
}

TEST_F(ImageBuild, EncoderRemarksAreShownOncePerSequence) {
    auto command = Make();
    const std::string tag = "unknown user data tag id 0xcc encountered";
    const std::string userData = "strange (possibly non-compliant) user_data seen...";
    Feed(*command, {"<log level=\"debug\">adding sequence #0, /a.mpg</log>", Log("debug", tag), Log("debug", tag),
                    Log("warning", userData), Log("debug", userData),
                    "<log level=\"debug\">adding segment #0, /b.mpg</log>", Log("debug", tag), Log("debug", userData)});
    const std::string tagShown =
        Log("warning", tag + " (not a problem, most likely caused by a specific MPEG encoder)");
    const std::string userDataShown = Log("warning", userData + " (not a problem, usually a sign of TMPGEnc)");
    EXPECT_EQ(Output, (std::vector<std::string>{"<log level=\"debug\">adding sequence #0, /a.mpg</log>", tagShown,
                                                userDataShown, "<log level=\"debug\">adding segment #0, /b.mpg</log>",
                                                tagShown, userDataShown}));
}

TEST_F(ImageBuild, FinishedLinesGoToTheSummary) {
    auto command = Make();
    Feed(*command,
         {Log("information", "finished ok, image created with 1420 sectors [00:18:70]"), "  finished ok, plain form  ",
          Log("debug", "finished ok, at the wrong level"), "Finished OK, other case"});
    EXPECT_EQ(command->Status.SuccessLines,
              (std::vector<std::string>{"finished ok, image created with 1420 sectors [00:18:70]",
                                        "finished ok, plain form"}));
}

// What a run of vcdxbuild leaves under the base it was given.
void WriteImage(const std::string& work, TCdImageType type, const std::string& binSize = std::string(2352 * 2, 'x')) {
    auto write = [](const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    };
    if (type == TCdImageType::Cue || type == TCdImageType::AdvCue) {
        write(work + ".bin", binSize);
        write(work + ".cue", "FILE \"" + work +
                                 ".bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    FLAGS DCP\r\n"
                                 "    INDEX 01 00:00:00\r\n  TRACK 02 MODE2/2352\r\n    INDEX 00 00:04:00\r\n"
                                 "    INDEX 01 00:06:00\r\n    INDEX 02 00:08:00\r\n");
        return;
    }
    for (const char* track : {"_01.img", "_02_pregap.img", "_02.img"}) write(work + track, std::string(2352, 't'));
    write(work + ".toc", "CD_ROM_XA\n\nTRACK MODE2_RAW\n DATAFILE \"" + work +
                             "_01.img\"\n\nTRACK MODE2_RAW\n DATAFILE \"" + work +
                             "_02_pregap.img\"\n START\n DATAFILE \"" + work + "_02.img\"\n");
}

TEST_F(ImageBuild, TheImageReplacesThePreviousOneOnlyWhenTheBuildSucceeded) {
    struct TCase {
        TCdImageType Type;
        std::uint32_t ExitCode;
        bool Cancel;
        std::vector<std::string> Remaining;
    };
    const std::vector<std::string> previous = {"image.bin",    "image.cue",    "image.toc",        "image_01.img",
                                               "image_02.img", "image_03.img", "image_backup.img", "other.img"};
    // The previous files stay byte for byte unless a build succeeded; a
    // successful TOC build drops track images of the previous image that it
    // did not replace, and only those: the user's "image_backup.img" stays.
    const std::vector<TCase> cases = {
        {TCdImageType::Cue, 0, false, previous},
        {TCdImageType::Toc,
         0,
         false,
         {"image.bin", "image.cue", "image.toc", "image_01.img", "image_02.img", "image_02_pregap.img",
          "image_backup.img", "other.img"}},
        {TCdImageType::Toast,
         0,
         false,
         {"image.bin", "image.cue", "image_01.img", "image_02.img", "image_backup.img", "other.img"}},
        {TCdImageType::Cue, 1, false, previous},
        {TCdImageType::AdvCue, 0, true, previous},
        {TCdImageType::Toc, 2, false, previous},
        {TCdImageType::Toast, 0, true, previous},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        for (const std::string& name : previous) folder.Write(name, "previous");
        auto command = Make(c.Type, folder.File("image"));
        WriteImage(command->BuildParam->WorkBase, c.Type);
        if (c.Cancel)
            command->Cancel();
        else
            command->CommandEnded(c.ExitCode);
        const bool succeeded = !c.Cancel && c.ExitCode == 0;
        EXPECT_EQ(command->Status.IsSucceeded(), succeeded);
        EXPECT_EQ(FileNames(folder.Path()), c.Remaining) << static_cast<int>(c.Type) << " exit " << c.ExitCode;
        if (succeeded) continue;
        for (const std::string& name : previous) EXPECT_EQ(ReadWholeFile(folder.File(name)), "previous") << name;
    }
}

TEST_F(ImageBuild, AnImageThatIsNotWholeIsAFailure) {
    struct TCase {
        const char* Name;
        TCdImageType Type;
        std::function<void(const std::string& work)> Write;
    };
    auto write = [](const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    };
    const std::vector<TCase> cases = {
        {"nothing written", TCdImageType::Cue, [](const std::string&) {}},
        {"empty image", TCdImageType::Cue, [](const std::string& work) { WriteImage(work, TCdImageType::Cue, ""); }},
        {"part of a sector", TCdImageType::Cue,
         [](const std::string& work) { WriteImage(work, TCdImageType::Cue, std::string(2352 + 100, 'x')); }},
        {"no CUE sheet", TCdImageType::AdvCue,
         [](const std::string& work) {
             WriteImage(work, TCdImageType::AdvCue);
             fs::remove(work + ".cue");
         }},
        {"sheet names a missing file", TCdImageType::Cue,
         [write](const std::string& work) {
             WriteImage(work, TCdImageType::Cue);
             write(work + ".cue", "FILE \"/nowhere/x.bin\" BINARY\r\n");
         }},
        {"TOC names a missing track", TCdImageType::Toc,
         [](const std::string& work) {
             WriteImage(work, TCdImageType::Toc);
             fs::remove(work + "_02.img");
         }},
        {"empty TOC", TCdImageType::Toc, [write](const std::string& work) { write(work + ".toc", ""); }},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        folder.Write("image.bin", "previous");
        auto command = Make(c.Type, folder.File("image"));
        c.Write(command->BuildParam->WorkBase);
        command->CommandEnded(0);
        EXPECT_TRUE(command->Status.IsFailed()) << c.Name;
        EXPECT_FALSE(command->Status.ErrorLines.empty()) << c.Name;
        EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"image.bin"})) << c.Name;
    }
    // The 2336-byte sectors of a build that asked for them are whole.
    TTempFolder folder;
    auto command = Make(TCdImageType::Cue, folder.File("image"));
    command->BuildParam->Sector2336 = true;
    WriteImage(command->BuildParam->WorkBase, TCdImageType::Cue, std::string(2336 * 3, 'x'));
    command->CommandEnded(0);
    EXPECT_TRUE(command->Status.IsSucceeded()) << JoinLines(command->Status.ErrorLines, "\n");
}

TEST_F(ImageBuild, AFailureThatTheToolGaveOnlyAsAWarningIsSaid) {
    auto command = Make(TCdImageType::Cue, Folder.File("image"));
    Feed(*command, {"<log level=\"warning\">parsing file `v.xml' failed</log>"});
    command->CommandEnded(1);
    EXPECT_EQ(command->Status.ErrorLines, (std::vector<std::string>{"parsing file `v.xml' failed"}));
}

TEST_F(ImageBuild, SuccessRewritesTheCueSheetForItsTypeWithTheFinalNames) {
    for (const TCdImageType type : {TCdImageType::Cue, TCdImageType::AdvCue}) {
        TTempFolder folder;
        auto command = Make(type, folder.File("image"));
        WriteImage(command->BuildParam->WorkBase, type);
        command->CommandEnded(0);
        EXPECT_TRUE(command->Status.IsSucceeded());
        const std::string cue = ReadWholeFile(folder.File("image.cue"));
        EXPECT_EQ(cue.find("FLAGS") == std::string::npos, type == TCdImageType::Cue) << cue;
        EXPECT_EQ(cue.find("INDEX 02") == std::string::npos, type == TCdImageType::Cue) << cue;
        EXPECT_NE(cue.find("INDEX 00 00:04:00"), std::string::npos) << cue;
        EXPECT_EQ(cue.find("FILE \"" + folder.File("image.bin") + "\" BINARY"), 0u) << cue;
    }
    TTempFolder folder;
    auto command = Make(TCdImageType::Toc, folder.File("image"));
    WriteImage(command->BuildParam->WorkBase, TCdImageType::Toc);
    command->CommandEnded(0);
    const std::string toc = ReadWholeFile(folder.File("image.toc"));
    EXPECT_NE(toc.find("DATAFILE \"" + folder.File("image_02_pregap.img") + "\""), std::string::npos) << toc;
    EXPECT_EQ(toc.find("lumora-tmp"), std::string::npos) << toc;
}

TEST_F(ImageBuild, EndHandlerStopsOrAsksAboutSharedEntryPoints) {
    struct TCase {
        bool Succeeded;
        bool SameEntryPoint;
        TCdImageType Type;
        bool ContinueBefore;
        std::optional<TModalResult> Answer;
        std::string Kind;  // the dialog shown, "" for none
        bool ContinueAfter;
    };
    const std::vector<TCase> cases = {
        {false, false, TCdImageType::Cue, true, std::nullopt, "", false},
        {true, false, TCdImageType::Cue, true, std::nullopt, "", true},
        {true, true, TCdImageType::Cue, false, std::nullopt, "message", false},
        {true, true, TCdImageType::AdvCue, true, std::nullopt, "message", false},
        {true, true, TCdImageType::Toc, true, TModalResult::Yes, "confirm-no-default", true},
        {true, true, TCdImageType::Toc, true, TModalResult::No, "confirm-no-default", false},
    };
    for (const TCase& c : cases) {
        TScriptedDialogs dialogs;
        TServicesScope scope(nullptr, &dialogs);
        if (c.Answer) dialogs.Answer(*c.Answer);
        auto command = Make(c.Type);
        command->BuildParam->SameEntryPoint = c.SameEntryPoint;
        TExecuteStatus status;
        if (c.Succeeded)
            status.SetSucceeded();
        else
            status.SetFailed();
        bool continueQueue = c.ContinueBefore;
        BuildCdImageEnded(*command, status, continueQueue, command->Param);
        EXPECT_EQ(continueQueue, c.ContinueAfter) << static_cast<int>(c.Type);
        ASSERT_EQ(dialogs.Asked.size(), c.Kind.empty() ? 0u : 1u);
        if (c.Kind.empty()) continue;
        EXPECT_EQ(dialogs.Asked[0].Kind, c.Kind);
        EXPECT_EQ(dialogs.Asked[0].Type, TMsgDlgType::Warning);
        const std::string& text = dialogs.Asked[0].Message;
        EXPECT_EQ(text.find("\rAttention: one or more chapters have the same entry point (See the detailed log)\r"), 0u)
            << text;
        EXPECT_EQ(text.back(), '\r');
        EXPECT_EQ(text.find("CDRDAO will not accept") != std::string::npos, c.Type == TCdImageType::AdvCue);
        EXPECT_EQ(text.find("Do you want to continue ?") != std::string::npos, c.Kind == "confirm-no-default");
    }
}

}  // namespace
