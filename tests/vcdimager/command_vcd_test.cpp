#include "vcdimager/command_vcd.h"

#include <gtest/gtest.h>

#include "environment/detected_tools.h"
#include "exec/status_lines.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"

namespace {

// The base filter alone, on a command that never runs.
class TPlainVcdCommand final : public TCommandVcd {
public:
    explicit TPlainVcdCommand(TCommandSetup setup) : TCommandVcd(std::move(setup)) {}
    std::vector<std::string> Paths;

    void GetExecutable(std::string& path) override { path = VcdImagerProgram("vcdxbuild"); }
    void GetParameters(std::string& arguments) override { arguments.clear(); }
    void GetWorkingFolder(std::string& folder) override { folder.clear(); }
    void OnSuccess() override {}
    void OnFailure() override {}
    void OnCancel() override {}

protected:
    std::vector<std::string> ToolPaths() const override { return Paths; }
};

class VcdCommandBase : public ::testing::Test {
protected:
    TScriptedDialogs Dialogs;
    TServicesScope Scope{nullptr, &Dialogs};
    TDetectedTools SavedTools = DetectedTools();
    std::vector<std::string> Output;

    ~VcdCommandBase() override { DetectedTools() = SavedTools; }

    std::unique_ptr<TPlainVcdCommand> Make(bool toolsComplete = true) {
        auto param = std::make_shared<TVcdImagerParam>();
        param->ToolsComplete = toolsComplete;
        TCommandSetup setup;
        setup.Param = param;
        setup.OnOutput = [this](TCommandInterface&, const std::string& line) { Output.push_back(line); };
        return std::make_unique<TPlainVcdCommand>(std::move(setup));
    }

    static std::string Filtered(TCommandVcd& command, std::string line) {
        command.FilterLine(line);
        return line;
    }
};

std::string Progress(const std::string& operation, const std::string& id, const std::string& position,
                     const std::string& size) {
    return "<progress operation=\"" + operation + "\" id=\"" + id + "\" position=\"" + position + "\" size=\"" + size +
           "\" />";
}

TEST_F(VcdCommandBase, ProgressElementsBecomeProgressLines) {
    struct TCase {
        std::string Element;
        std::string Message;
        int Position;
    };
    const std::vector<TCase> cases = {
        {Progress("write", "", "50", "200"), "Writing CD image file...", 25},
        {Progress("WRITE", "", "0", "0"), "Writing CD image file...", 100},
        {Progress("scan", "sequence-00", "6972", "692552"), "Scanning sequence-00...", 1},
        {Progress("scan", "/media/films/clip.mpg", "10", "10"), "Scanning clip.mpg...", 100},
        {Progress("write", "", "300", "200"), "Writing CD image file...", 100},
        {Progress("write", "", "-50", "200"), "Writing CD image file...", 0},
        {Progress("write", "", "abc", "200"), "Writing CD image file...", 0},
        {Progress("write", "", "50", "2x"), "Writing CD image file...", 0},
        {Progress("write", "", "", "200"), "Writing CD image file...", 0},
        {Progress("write", "", "9223372036854775807", "9223372036854775807"), "Writing CD image file...", 100},
        {Progress("write", "", "4611686018427387903", "9223372036854775807"), "Writing CD image file...", 49},
        {Progress("verify", "x", "5", "10"), "", 50},
        {"<progress position=\"1\" size=\"4\"/>", "", 25},
    };
    for (const TCase& c : cases) {
        auto command = Make();
        EXPECT_EQ(Filtered(*command, c.Element), MakeProgressStatusLine(c.Message, c.Position)) << c.Element;
    }
}

TEST_F(VcdCommandBase, ExtractProgressCountsFromTheFirstPositionOfEachFile) {
    auto command = Make();
    struct TStep {
        std::string Element;
        int Position;
    };
    const std::vector<TStep> steps = {
        {Progress("extract", "avseq01.mpg", "1000", "5000"), 0},
        {Progress("extract", "avseq01.mpg", "3000", "5000"), 50},
        {Progress("extract", "avseq01.mpg", "5000", "5000"), 100},
        {Progress("extract", "avseq02.mpg", "5000", "5000"), 100},  // a file of no size: done at once
        {Progress("extract", "avseq03.mpg", "6000", "9000"), 0},
        {Progress("extract", "avseq03.mpg", "5000", "9000"), 0},  // going back stays at 0
        {Progress("extract", "avseq03.mpg", "7500", "9000"), 50},
        // Another operation keeps the origin of the file being ripped.
        {Progress("write", "", "7500", "9000"), 50},
    };
    for (const TStep& step : steps)
        EXPECT_EQ(AttributeValue(Filtered(*command, step.Element), "position"), std::to_string(step.Position))
            << step.Element;
    EXPECT_EQ(Filtered(*command, Progress("extract", "avseq04.mpg", "x", "9000")),
              MakeProgressStatusLine("Ripping avseq04.mpg...", 0));
    EXPECT_EQ(command->ProgressOrigin, 0) << "a non-numeric first position counts from 0";
}

TEST_F(VcdCommandBase, LogElementsAndPlainLines) {
    struct TCase {
        std::string Line;
        std::string Result;       // the line after the filter
        std::string ErrorRemark;  // what goes into ErrorLines, if anything
    };
    const std::vector<TCase> cases = {
        {"<log level=\"information\">writing track 1 (ISO9660)...</log>",
         "<log level=\"information\">writing track 1 (ISO9660)...</log>", ""},
        {"<log level=\"warning\">   </log>", "", ""},
        {"<log level=\"error\"></log>", "", ""},
        {"<log level=\"error\">cannot open file</log>", "<log level=\"error\">cannot open file</log>",
         "cannot open file"},
        {"<log level=\"Error\">not exactly error</log>", "<log level=\"Error\">not exactly error</log>", ""},
        {"<log level=\"debug\">EEL sysid=[v.xml] pubid=[NULL]</log>", "", ""},
        {"<log level=\"warning\">EEL sysid=[v.xml]</log>", "<log level=\"warning\">EEL sysid=[v.xml]</log>", ""},
        {"**ERROR: fopen (`x.dat'): No such file", "**ERROR: fopen (`x.dat'): No such file",
         "fopen (`x.dat'): No such file"},
        {"**error: lower case marker", "**error: lower case marker", "lower case marker"},
        {"Error while parsing the XML", "Error while parsing the XML", "while parsing the XML"},
        {"an error in the middle", "an error in the middle", ""},
        {"This is the UNSTABLE development branch!", "", ""},
        {"Use only if you know what you are doing.", "", ""},
        {"see http://www.gnu.org/software/vcdimager/ for more information", "", ""},
        {"plain words", "plain words", ""},
    };
    for (const TCase& c : cases) {
        auto command = Make();
        EXPECT_EQ(Filtered(*command, c.Line), c.Result) << c.Line;
        const std::vector<std::string> expected =
            c.ErrorRemark.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.ErrorRemark};
        EXPECT_EQ(command->Status.ErrorLines, expected) << c.Line;
        EXPECT_FALSE(command->Failed) << "the filter never fails a command: " << c.Line;
    }
}

TEST_F(VcdCommandBase, ToolsCompleteComesFromTheParameterRecord) {
    EXPECT_TRUE(Make(true)->ToolsComplete);
    EXPECT_FALSE(Make(false)->ToolsComplete);
}

TEST_F(VcdCommandBase, TheProgramIsTakenFromTheDetectedFolderOrFromPath) {
    auto command = Make();
    std::string path;
    DetectedTools().VcdImagerFolder = "/opt/lumora/VCDImager/";
    command->GetExecutable(path);
    EXPECT_EQ(path, "/opt/lumora/VCDImager/vcdxbuild");
    DetectedTools().VcdImagerFolder = "/opt/lumora/VCDImager";
    command->GetExecutable(path);
    EXPECT_EQ(path, "/opt/lumora/VCDImager/vcdxbuild");
    DetectedTools().VcdImagerFolder.clear();
    command->GetExecutable(path);
    EXPECT_EQ(path, "vcdxbuild");
}

TEST_F(VcdCommandBase, BeforeStartShowsTheVersionAndResetsTheProgress) {
    DetectedTools().VcdImagerVersion = "GNU VCDImager 2.0.1";
    auto command = Make();
    command->LastProgressId = "avseq01.mpg";
    command->ProgressOrigin = 450;
    bool proceed = true;
    command->BeforeStart(proceed);
    EXPECT_TRUE(proceed);
    EXPECT_EQ(Output, (std::vector<std::string>{MakeLogStatusLine("information", "GNU VCDImager 2.0.1")}));
    EXPECT_EQ(command->LastProgressId, "");
    EXPECT_EQ(command->ProgressOrigin, 0);

    Output.clear();
    DetectedTools().VcdImagerVersion.clear();
    command->BeforeStart(proceed);
    EXPECT_TRUE(Output.empty());
}

TEST_F(VcdCommandBase, PathsThatWouldBreakTheCommandLineAreRefused) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"/home/ann/My Films/disc #1 (été) & co, 'best' $HOME.xml", true},
        {"//server/share/disc.xml", true},
        {"/home/ann/say \"hi\".xml", false},
        {"/home/ann/back\\slash.xml", false},
        {"/home/ann/two\nlines.xml", false},
        {"/home/ann/carriage\rreturn.xml", false},
        {"/home/ann/tab\there.xml", false},
    };
    for (const auto& [path, accepted] : cases) {
        EXPECT_EQ(RefusedToolPathMessage(path).empty(), accepted) << path;
        auto command = Make();
        command->Paths = {"/fine.xml", path};
        Output.clear();
        bool proceed = true;
        command->BeforeStart(proceed);
        EXPECT_EQ(proceed, accepted) << path;
        if (accepted) continue;
        EXPECT_TRUE(command->Status.IsFailed()) << path;
        ASSERT_EQ(command->Status.ErrorLines.size(), 1u) << path;
        EXPECT_NE(command->Status.ErrorLines[0].find("in filenames are not allowed"), std::string::npos);
        ASSERT_EQ(Output.size(), 1u);
        EXPECT_EQ(AttributeValue(Output[0], "level"), "error");
        EXPECT_EQ(Output[0].find('\n'), std::string::npos) << "the refused path is shown on one line";
    }
}

}  // namespace
