#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "environment/detected_tools.h"
#include "model/mpeg_file.h"
#include "services/services.h"
#include "settings/language.h"
#include "support/folders_scope.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "vcdimager/analysis_store.h"
#include "vcdimager/mpeg_analysis_command.h"

namespace {

class AnalysisCommandLines : public ::testing::Test {
protected:
    TScriptedDialogs Dialogs;
    TServicesScope Scope{nullptr, &Dialogs};
    TDetectedTools SavedTools = DetectedTools();
    TTempFolder Folder;

    AnalysisCommandLines() {
        DetectedTools().VcdImagerFolder = "/opt/vcd/";
        DetectedTools().VcdImagerAvailable = true;
    }
    ~AnalysisCommandLines() override { DetectedTools() = SavedTools; }

    static std::unique_ptr<TCommandVcdXMinfo> Make(const std::string& name, int count = 1, int index = 1,
                                                   bool relaxed = false) {
        return AnalyseMpegFile(name, nullptr, nullptr, count, index, relaxed, nullptr, nullptr);
    }
};

TEST_F(AnalysisCommandLines, CommandLine) {
    auto command = Make("/v/my movie.mpg");
    std::string executable, parameters, folder;
    command->GetExecutable(executable);
    command->GetParameters(parameters);
    command->GetWorkingFolder(folder);
    EXPECT_EQ(executable, "/opt/vcd/vcdxminfo");
    EXPECT_EQ(parameters, "-v -i -p --gui -a \"/v/my movie.mpg\"");
    EXPECT_EQ(folder, "/opt/vcd/");
    EXPECT_EQ(command->Title, "MPEG Analyze: /v/my movie.mpg");
    EXPECT_EQ(command->Kind, TCommandKind::MpegAnalysis);
    EXPECT_FALSE(command->Reported);

    Make("/v/a.mpg", 1, 1, true)->GetParameters(parameters);
    EXPECT_EQ(parameters, "-v -i -p --gui -a --relaxed-aps \"/v/a.mpg\"");

    DetectedTools().VcdImagerAvailable = false;
    Make("/v/a.mpg")->GetParameters(parameters);
    EXPECT_EQ(parameters, "");
}

TEST_F(AnalysisCommandLines, FilterKeepsTheDescriptionForLater) {
    struct TCase {
        std::string Line;
        std::string Shown;  // empty: dropped from the live output
        bool Collected;
    };
    const TCase cases[] = {
        {R"(<progress operation="scan" id="/v/a.mpg" position="50" size="200" />)",
         R"(<guiprogress message="[2/3] - Scanning a.mpg..." position="25" />)", false},
        {R"(<log level="debug">trying to open mpeg stream...</log>)", "", false},
        {R"(<log level="debug">stream scan completed</log>)", "", false},
        {R"(<log level="debug">mpeg: some marker is not set...</log>)", "", true},
        {R"(<log level="error">something went wrong</log>)", "", true},
        {R"(<log level="assertion">kept</log>)", R"(<log level="assertion">kept</log>)", false},
        {R"(    <version>1</version>)", "", true},
        {"plain text from the tool", "plain text from the tool", false},
        {"<log level=\"information\"> </log>", "", false},
    };
    auto command = Make("/v/a.mpg", 3, 2);
    for (const TCase& test : cases) {
        command->AnalysisLines.clear();
        std::string line = test.Line;
        command->FilterLine(line);
        EXPECT_EQ(line, test.Shown) << test.Line;
        EXPECT_EQ(command->AnalysisLines, test.Collected ? TStringList{test.Line} : TStringList{}) << test.Line;
    }
    EXPECT_EQ(command->Status.ErrorLines, TStringList{"something went wrong"});
}

TEST_F(AnalysisCommandLines, InvalidStreamsAreExplainedOnce) {
    const std::string invalid = R"(<log level="error">input mpeg stream has been deemed invalid -- aborting</log>)";
    auto elementary = Make("/v/a.mpg");
    std::string line = invalid;
    elementary->FilterLine(line);
    EXPECT_EQ(line, R"(<log level="assertion">GNU VCDImager only accepts/analyzes multiplexed program streams.</log>)");
    ASSERT_EQ(elementary->Status.ErrorLines.size(), 3u);
    EXPECT_EQ(elementary->Status.ErrorLines[0], "Lumora only accepts/analyzes multiplexed program streams.\r");
    EXPECT_FALSE(elementary->RiffSeen);

    auto riff = Make("/v/a.mpg");
    line =
        R"(<log level="warning">...this looks like a RIFF header but a plain multiplexed program stream was required.</log>)";
    riff->FilterLine(line);
    EXPECT_TRUE(riff->RiffSeen);
    EXPECT_EQ(line.rfind(R"(<log level="assertion">Invalid MPEG file)", 0), 0u) << line;
    line = invalid;
    riff->FilterLine(line);
    EXPECT_EQ(line, "");
    EXPECT_EQ(riff->Status.ErrorLines.size(), 2u);
}

TEST_F(AnalysisCommandLines, AStoredDescriptionIsUsedWithoutTheTool) {
    // The tool folder holds no vcdxminfo: a run would fail.
    DetectedTools().VcdImagerFolder = Folder.Path().string() + "/";
    const std::string movie = Folder.Write("movie.mpg", std::string(5000, 'm'));
    const TMpegFile described(movie, true);
    ASSERT_TRUE(SaveMpegAnalysis(
        described,
        {"<mpeg-info src=\"movie.mpg\">", "<mpeg-properties>", "<version>2</version>", "<video-stream index=\"1\">",
         "<horizontal-size>480</horizontal-size>", "</video-stream>", "</mpeg-properties>", "</mpeg-info>"},
        false));
    TStringList output;
    TExecuteStatus ended;
    int ends = 0;
    auto command = AnalyseMpegFile(
        movie, nullptr, nullptr, 1, 1, false, [&](TCommandInterface&, const std::string& l) { output.push_back(l); },
        nullptr);
    command->Execute(
        nullptr,
        [&](TCommandInterface&, const TExecuteStatus& status, const TCommandParamPtr&) {
            ended = status;
            ++ends;
        },
        nullptr);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(ended.IsSucceeded());
    EXPECT_TRUE(command->AnalysisReused);
    const auto* param = command->MinfoParam();
    ASSERT_TRUE(param->MpegFile);
    EXPECT_TRUE(param->MpegFile->IsStill());
    EXPECT_EQ(param->MpegFile->MainHorizontalSize(), "480");
    EXPECT_EQ(output, (TStringList{"[MPEG Analyze: " + movie + "]", "<mpeg-info src=\"movie.mpg\">",
                                   "  <mpeg-properties>", "    <version>2</version>", "    <video-stream index=\"1\">",
                                   "      <horizontal-size>480</horizontal-size>", "    </video-stream>",
                                   "  </mpeg-properties>", "</mpeg-info>"}));
    EXPECT_EQ(param->SuccessMessage, "\r\"movie.mpg\" analyse succeeded.");
}

TEST_F(AnalysisCommandLines, ARunWithoutDescriptionFails) {
    const std::string movie = Folder.Write("movie.mpg", "m");
    auto command = Make(movie);
    bool proceed = true;
    command->BeforeStart(proceed);
    ASSERT_TRUE(proceed);
    std::string line = "<log level=\"warning\">nothing useful</log>";
    command->FilterLine(line);
    command->CommandEnded(0);
    EXPECT_TRUE(command->Status.IsFailed());
    EXPECT_NE(command->MinfoParam()->FailureMessage.find("\"movie.mpg\" analyse failed:"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(movie + ".vxm"));
}

TEST_F(AnalysisCommandLines, ADescriptionWithoutStreamsOrWithImpossibleValuesFails) {
    const std::string movie = Folder.Write("movie.mpg", "m");
    struct TCase {
        TStringList Lines;
        std::string Reason;
    };
    const TCase cases[] = {
        // What vcdxminfo says of a truncated file: a description without any stream.
        {{"<mpeg-info src=\"movie.mpg\">", "<mpeg-properties>", "<packets>0</packets>", "</mpeg-properties>",
          "</mpeg-info>"},
         "(no video or audio stream)"},
        {{"<mpeg-info src=\"movie.mpg\">", "<mpeg-properties>", "<playing-time>-nan</playing-time>",
          "<audio-stream index=\"0\">", "<layer>2</layer>", "</audio-stream>", "</mpeg-properties>", "</mpeg-info>"},
         "(playing time: -nan)"},
    };
    for (const TCase& c : cases) {
        auto command = Make(movie);
        bool proceed = true;
        command->BeforeStart(proceed);
        ASSERT_TRUE(proceed);
        for (std::string line : c.Lines) command->FilterLine(line);
        command->CommandEnded(0);
        EXPECT_TRUE(command->Status.IsFailed()) << c.Reason;
        EXPECT_NE(command->MinfoParam()->FailureMessage.find(c.Reason), std::string::npos)
            << command->MinfoParam()->FailureMessage;
        EXPECT_FALSE(std::filesystem::exists(movie + ".vxm"));
    }
}

TEST_F(AnalysisCommandLines, AStoredDescriptionWithImpossibleValuesIsAnalysedAgain) {
    const std::string movie = Folder.Write("movie.mpg", std::string(5000, 'm'));
    const TMpegFile described(movie, true);
    ASSERT_TRUE(SaveMpegAnalysis(
        described,
        {"<mpeg-info src=\"movie.mpg\">", "<mpeg-properties>", "<video-stream index=\"0\">",
         "<horizontal-size>-352</horizontal-size>", "</video-stream>", "</mpeg-properties>", "</mpeg-info>"},
        false));
    ASSERT_TRUE(LoadMpegAnalysis(described, false).has_value());  // intact, but not believable
    auto command = Make(movie);
    bool proceed = true;
    command->BeforeStart(proceed);
    EXPECT_TRUE(proceed);
    EXPECT_FALSE(command->AnalysisReused);
}

TEST_F(AnalysisCommandLines, AGivenRecordWithAnUnsafeNameIsRefusedBeforeTheTool) {
    const std::string movie = Folder.Write("say \"hi\".mpg", "m");
    TStringList output;
    auto command = AnalyseMpegFile(
        movie, std::make_unique<TMpegFile>(movie, true), nullptr, 1, 1, false,
        [&](TCommandInterface&, const std::string& l) { output.push_back(l); }, nullptr);
    TExecuteStatus ended;
    command->Execute(
        nullptr, [&](TCommandInterface&, const TExecuteStatus& status, const TCommandParamPtr&) { ended = status; },
        nullptr);
    EXPECT_TRUE(ended.IsFailed());
    EXPECT_NE(command->MinfoParam()->FailureMessage.find("Double quotes, backslashes, tabs and line breaks"),
              std::string::npos)
        << command->MinfoParam()->FailureMessage;
    ASSERT_FALSE(output.empty());
    EXPECT_NE(output.back().find("Double quotes"), std::string::npos) << output.back();
}

}  // namespace

// A file too big to analyse is refused with a link to the "Cut" help page,
// found as every help page is: in French when there is one, from the
// installed data folder when none is beside the program.
TEST_F(AnalysisCommandLines, ATooBigFileLinksTheCutHelpPage) {
    TTempFolder program;
    TTempFolder installed;
    TFoldersScope folders(program.Path().string(), program.File("config"), installed.Path().string());
    const std::string english = installed.Write("Docs/Cut.htm", "<html></html>");
    const std::string french = installed.Write("Docs/Cut_fr.htm", "<html></html>");
    const std::string big = Folder.File("big.mpg");
    { std::ofstream(big) << "x"; }
    std::filesystem::resize_file(big, (MaxAnalysedMiB + 1) * 1048576);  // sparse
    ResetLanguageState();
    for (const bool inFrench : {false, true}) {
        if (inFrench)
            ActivateLanguage(true, program.Write("lumora_fr.lng", "[Language]\nLanguage=Fr\nLanguageExt=fr\n"));
        else
            ActivateLanguage(false);
        Dialogs.Asked.clear();
        auto command = Make(big);
        bool proceed = true;
        command->BeforeStart(proceed);
        EXPECT_FALSE(proceed);
        ASSERT_EQ(Dialogs.Asked.size(), 1u);
        EXPECT_EQ(Dialogs.Asked[0].HelpPage, inFrench ? french : english);
    }
    ResetLanguageState();
}
