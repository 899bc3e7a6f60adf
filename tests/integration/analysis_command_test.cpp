// The analysis command running the real vcdxminfo on the media fixtures.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "environment/detected_tools.h"
#include "exec/commands_manager.h"
#include "model/mpeg_file.h"
#include "model/mpeg_files.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "vcdimager/analysis_store.h"
#include "vcdimager/mpeg_analysis_command.h"
#include "vcdimager/mpeg_compliance.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class AnalysisCommand : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TScriptedDialogs Dialogs;
    TMainWindowServices Window;
    TServicesScope Scope{&Loop, &Dialogs, nullptr, &Window};
    TDetectedTools SavedTools = DetectedTools();
    TAnalysisStoreOptions SavedStore = AnalysisStoreOptions();
    TTempFolder Folder;
    std::string Tools = (Folder.Path() / "tools").string() + "/";
    std::string Counter = Folder.File("runs.txt");
    TStringList Output;
    TStringList ProgressTexts;
    std::vector<bool> BatchModes;

    AnalysisCommand() {
        DetectedTools().VcdImagerFolder.clear();
        DetectedTools().VcdImagerAvailable = true;
        DetectedTools().VcdImagerVersion = "GNU VCDImager test";
        AnalysisStoreOptions() = {};
        Window.OnSetProgressText = [this](const std::string& text, bool) { ProgressTexts.push_back(text); };
        Window.OnSetFileListBatch = [this](bool on) { BatchModes.push_back(on); };
    }
    ~AnalysisCommand() override {
        DetectedTools() = SavedTools;
        AnalysisStoreOptions() = SavedStore;
    }

    // A tool folder whose vcdxminfo counts its runs before the real one works.
    void UseCountingTool(const std::string& body = "exec vcdxminfo \"$@\"") {
        fs::create_directories(Tools);
        const std::string script = Tools + "vcdxminfo";
        std::ofstream(script) << "#!/bin/sh\necho run >> '" << Counter << "'\n" << body << "\n";
        fs::permissions(script, fs::perms::owner_all);
        DetectedTools().VcdImagerFolder = Tools;
    }
    int Runs() const {
        std::ifstream file(Counter);
        int runs = 0;
        for (std::string line; std::getline(file, line);) ++runs;
        return runs;
    }

    std::string Fixture(const std::string& name) {
        const std::string copy = Folder.File(name);
        if (!fs::exists(copy)) fs::copy_file(FixturesFolder() / name, copy);
        return copy;
    }

    struct TRun {
        std::shared_ptr<TMinfoParam> Param;
        TExecuteStatus Status;
        bool Reused = false;
    };

    TRun Analyse(const std::string& path, bool relaxed = false, int batchCount = 1, int batchIndex = 1) {
        auto command = AnalyseMpegFile(
            path, nullptr, nullptr, batchCount, batchIndex, relaxed,
            [this](TCommandInterface&, const std::string& line) { Output.push_back(line); }, nullptr);
        TRun run;
        run.Param = std::dynamic_pointer_cast<TMinfoParam>(command->Param);
        bool ended = false;
        command->Execute(
            nullptr,
            [&](TCommandInterface&, const TExecuteStatus& status, const TCommandParamPtr&) {
                run.Status = status;
                ended = true;
            },
            nullptr);
        EXPECT_TRUE(Loop.RunUntil([&] { return ended; }, 60s)) << path;
        run.Reused = command->AnalysisReused;
        return run;
    }

    TStringList DescriptionLines() const {
        TStringList lines;
        for (const std::string& line : Output)
            if (StartsWith(line, " ") || StartsWith(line, "<mpeg-info") || StartsWith(line, "</mpeg-info"))
                lines.push_back(line);
        return lines;
    }
};

TEST_F(AnalysisCommand, TheRecordHoldsWhatTheToolReports) {
    struct TCase {
        const char* Name;
        const char* Version;
        const char* Horizontal;
        const char* Vertical;
        TStreamTvSystem Tv;
    };
    const TCase cases[] = {
        {"pal_vcd_1.mpg", "1", "352", "288", TStreamTvSystem::Pal},
        {"ntsc_vcd_1.mpg", "1", "352", "240", TStreamTvSystem::Ntsc},
        {"pal_svcd_1.mpg", "2", "480", "576", TStreamTvSystem::Pal},
        {"ntsc_svcd_1.mpg", "2", "480", "480", TStreamTvSystem::Ntsc},
    };
    for (const TCase& test : cases) {
        Output.clear();
        const TRun run = Analyse(Fixture(test.Name));
        ASSERT_TRUE(run.Status.IsSucceeded()) << test.Name;
        ASSERT_TRUE(run.Param->MpegFile) << test.Name;
        const TMpegFile& file = *run.Param->MpegFile;
        EXPECT_TRUE(file.Analysed()) << test.Name;
        EXPECT_TRUE(file.IsSequence()) << test.Name;
        EXPECT_EQ(file.MpegVersion(), test.Version) << test.Name;
        EXPECT_EQ(file.MainHorizontalSize(), test.Horizontal) << test.Name;
        EXPECT_EQ(file.MainVerticalSize(), test.Vertical) << test.Name;
        EXPECT_EQ(file.MainTvSystem(), test.Tv) << test.Name;
        // The fixtures last three or four seconds.
        const int ms = std::stoi(file.PlayingTimeMsOrEmpty());
        EXPECT_GT(ms, 2500) << test.Name;
        EXPECT_LT(ms, 4500) << test.Name;
        EXPECT_GT(file.MainVideoBitrate(), 1000000) << test.Name;
        ASSERT_NE(file.AudioStream(AudioSlotStandard), nullptr) << test.Name;
        EXPECT_EQ(file.AudioStream(AudioSlotStandard)->Layer, "2") << test.Name;
        EXPECT_GT(file.ApsTimes().Count(), 2) << test.Name;
        EXPECT_EQ(run.Param->SuccessMessage, std::string("\r\"") + test.Name + "\" analyse succeeded.");
        EXPECT_TRUE(run.Param->FailureMessage.empty());
        // The version line goes with the description, which drops it.
        EXPECT_EQ(Output.at(0), std::string("[MPEG Analyze: ") + Folder.File(test.Name) + "]");
        for (const std::string& line : Output) EXPECT_EQ(line.find("VCDImager test"), std::string::npos) << line;
        EXPECT_NE(std::find(Output.begin(), Output.end(), "  <mpeg-properties>"), Output.end()) << test.Name;
        EXPECT_EQ(
            std::count_if(Output.begin(), Output.end(),
                          [](const std::string& l) { return l.find("stream scan completed") != std::string::npos; }),
            0);
    }
}

TEST_F(AnalysisCommand, AnUnchangedFileIsAnalysedOnce) {
    UseCountingTool();
    const std::string movie = Fixture("pal_vcd_1.mpg");
    const TRun first = Analyse(movie);
    ASSERT_TRUE(first.Status.IsSucceeded());
    EXPECT_FALSE(first.Reused);
    EXPECT_EQ(Runs(), 1);
    EXPECT_TRUE(fs::exists(movie + ".vxm"));
    const TStringList firstDescription = DescriptionLines();
    ASSERT_FALSE(firstDescription.empty());

    Output.clear();
    const TRun second = Analyse(movie);
    EXPECT_EQ(Runs(), 1);
    EXPECT_TRUE(second.Reused);
    EXPECT_TRUE(second.Status.IsSucceeded());
    EXPECT_EQ(DescriptionLines(), firstDescription);
    ASSERT_TRUE(second.Param->MpegFile);
    EXPECT_EQ(second.Param->MpegFile->MainVerticalSize(), "288");
    EXPECT_EQ(second.Param->MpegFile->ApsTimes().Items(), first.Param->MpegFile->ApsTimes().Items());
    EXPECT_EQ(second.Param->SuccessMessage, "\r\"pal_vcd_1.mpg\" analyse succeeded.");

    // The relaxed analysis has a stored file of its own.
    EXPECT_TRUE(Analyse(movie, true).Status.IsSucceeded());
    EXPECT_EQ(Runs(), 2);
    EXPECT_TRUE(fs::exists(movie + ".vxr"));
    EXPECT_TRUE(Analyse(movie, true).Reused);
    EXPECT_EQ(Runs(), 2);
}

TEST_F(AnalysisCommand, AChangedFileIsAnalysedAgain) {
    UseCountingTool();
    const std::string movie = Fixture("pal_vcd_1.mpg");
    ASSERT_TRUE(Analyse(movie).Status.IsSucceeded());
    ASSERT_EQ(Runs(), 1);

    {
        // One byte of padding inside the first 64 KiB.
        std::fstream file(movie, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(60000);
        const char old = static_cast<char>(file.get());
        file.seekp(60000);
        file.put(static_cast<char>(old ^ 0x01));
    }
    EXPECT_FALSE(Analyse(movie).Reused);
    EXPECT_EQ(Runs(), 2);
    EXPECT_TRUE(Analyse(movie).Reused);
    EXPECT_EQ(Runs(), 2);

    fs::resize_file(movie, fs::file_size(movie) + 2324);
    EXPECT_FALSE(Analyse(movie).Reused);
    EXPECT_EQ(Runs(), 3);
}

TEST_F(AnalysisCommand, AnElementaryStreamIsExplained) {
    const TRun run = Analyse(Fixture("elementary_video.mpg"));
    EXPECT_TRUE(run.Status.IsFailed());
    EXPECT_NE(std::find(Output.begin(), Output.end(),
                        "<log level=\"assertion\">GNU VCDImager only accepts/analyzes multiplexed program "
                        "streams.</log>"),
              Output.end());
    // The tool's own reason is shown too.
    EXPECT_NE(std::find_if(Output.begin(), Output.end(),
                           [](const std::string& l) {
                               return l.find("looks like a elementary video stream") != std::string::npos;
                           }),
              Output.end());
    const std::string& failure = run.Param->FailureMessage;
    EXPECT_EQ(failure.rfind("\"elementary_video.mpg\" analyse failed:\r", 0), 0u) << failure;
    EXPECT_NE(failure.find("Lumora only accepts/analyzes multiplexed program streams."), std::string::npos);
    EXPECT_NE(failure.find("check first that it is not an elementary video or elementary audio stream only"),
              std::string::npos);
    ASSERT_TRUE(run.Param->MpegFile);
    EXPECT_FALSE(run.Param->MpegFile->Analysed());
    EXPECT_FALSE(fs::exists(Folder.File("elementary_video.mpg.vxm")));
}

TEST_F(AnalysisCommand, ARiffWrappedFileIsExplained) {
    const TRun run = Analyse(Fixture("riff_wrapped.mpg"));
    EXPECT_TRUE(run.Status.IsFailed());
    EXPECT_NE(std::find(Output.begin(), Output.end(),
                        "<log level=\"assertion\">Invalid MPEG file, seems to be a \".dat\" file renamed to \".mpg\". "
                        "(Use Cdxa2mpeg in the tools page to try to convert it to a \"true\" Mpeg file)</log>"),
              Output.end());
    for (const std::string& line : Output) EXPECT_EQ(line.find("only accepts/analyzes"), std::string::npos) << line;
    EXPECT_EQ(run.Status.ErrorLines,
              (TStringList{"Invalid MPEG file, seems to be a \".dat\" file renamed to \".mpg\"",
                           "Use Cdxa2mpeg in the tools page to try to convert it to a \"true\" Mpeg file"}));
}

TEST_F(AnalysisCommand, BatchesPrefixTheProgress) {
    const std::string movie = Fixture("ntsc_svcd_1.mpg");
    Analyse(movie, false, 3, 2);
    int prefixed = 0;
    for (const std::string& line : Output)
        if (line.find("<guiprogress") == 0) {
            EXPECT_EQ(line.find("<guiprogress message=\"[2/3] - Scanning ntsc_svcd_1.mpg...\""), 0u) << line;
            ++prefixed;
        }
    EXPECT_GT(prefixed, 0);

    // Reused in a batch, the progress caption tells which file it is.
    Output.clear();
    EXPECT_TRUE(Analyse(movie, false, 3, 3).Reused);
    EXPECT_EQ(ProgressTexts, TStringList{"[3/3] - Scanning ntsc_svcd_1.mpg..."});

    fs::remove(movie + ".vxm");
    Output.clear();
    Analyse(movie);
    for (const std::string& line : Output)
        if (line.find("<guiprogress") == 0) {
            EXPECT_EQ(line.find("<guiprogress message=\"Scanning"), 0u) << line;
        }
}

TEST_F(AnalysisCommand, LargeFilesRepaintTheListAndHugeOnesAreRefused) {
    UseCountingTool("exit 1");
    const std::string big = Folder.File("big.mpg");
    std::ofstream(big).close();
    fs::resize_file(big, 901ll * 1048576);
    const TRun refused = Analyse(big);
    EXPECT_EQ(Runs(), 0);
    EXPECT_FALSE(refused.Status.IsSucceeded());
    EXPECT_FALSE(refused.Status.IsFailed());
    EXPECT_FALSE(refused.Param->MpegFile);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "advanced");
    EXPECT_EQ(Dialogs.Asked[0].Message, "\"" + big +
                                            "\":\r\r901 MB:    This MPEG file is too big.\rClick on the \"Help\" link "
                                            "below to have an example on how to cut MPEG files.");
    EXPECT_EQ(BatchModes, (std::vector<bool>{false, true}));

    fs::resize_file(big, 901ll * 1048576 - 1);  // 900 MiB and a little
    BatchModes.clear();
    EXPECT_TRUE(Analyse(big).Status.IsFailed());
    EXPECT_EQ(Runs(), 1);
    EXPECT_EQ(BatchModes, (std::vector<bool>{false, true}));
}

TEST_F(AnalysisCommand, RefusedNamesNeverReachTheTool) {
    UseCountingTool();
    const std::string source = FixturesFolder() / "pal_vcd_2.mpg";
    for (const std::string name : {"a&b.mpg", "caf\xC3\xA9.mpg", "quote\".mpg", "tab\t.mpg"}) {
        Dialogs.Asked.clear();
        const std::string path = Folder.File(name);
        fs::copy_file(source, path);
        const TRun run = Analyse(path, false, 2, 1);
        EXPECT_FALSE(run.Param->MpegFile) << name;
        EXPECT_TRUE(run.Param->AskContinue) << name;
        EXPECT_EQ(Dialogs.Asked.size(), 1u) << name;
    }
    EXPECT_EQ(Runs(), 0);
    const std::string comma = Folder.File("one, two.mpg");
    fs::copy_file(source, comma);
    EXPECT_TRUE(Analyse(comma).Status.IsSucceeded());
    EXPECT_EQ(Runs(), 1);
}

TEST_F(AnalysisCommand, AddingRunsTheComplianceChain) {
    TComplianceContext context;
    context.DiscType = TVideoCdType::Vcd20;
    context.ProjectTvSystem = TTvSystem::Ntsc;
    context.ProjectFileCount = 1;

    // Three seconds are too short for a disc: refused, and more files follow.
    TRun run = Analyse(Fixture("ntsc_vcd_1.mpg"), false, 2, 1);
    bool continueBatch = true;
    Dialogs.Answer(TModalResult::OK);
    Dialogs.Answer(TModalResult::No);  // "Do you want to continue ?"
    EXPECT_FALSE(AcceptAnalysedMpeg(run.Status, *run.Param, continueBatch, context));
    EXPECT_FALSE(continueBatch);
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_NE(Dialogs.Asked[0].Message.find("too short ( 2980 < 4000 milliseconds)"), std::string::npos);
    EXPECT_EQ(Dialogs.Asked[1].Message, "\rDo you want to continue ?   ");

    // A failed analysis shows its failure message.
    Dialogs.Asked.clear();
    run = Analyse(Fixture("riff_wrapped.mpg"));
    continueBatch = false;
    EXPECT_FALSE(AcceptAnalysedMpeg(run.Status, *run.Param, continueBatch, context));
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Message.rfind("\r\"riff_wrapped.mpg\" analyse failed:\r", 0), 0u);
}

TEST_F(AnalysisCommand, AProjectRecordIsCheckedInsteadOfTheChain) {
    const std::string movie = Fixture("pal_vcd_1.mpg");
    TRun run = Analyse(movie);
    ASSERT_TRUE(run.Param->MpegFile);
    auto record = std::make_shared<TProjectRecord>();
    record->Fingerprint = run.Param->MpegFile->Crc();
    record->Size = std::to_string(fs::file_size(movie));
    record->Id = "Sequence-0001-01";
    record->Chapters = {{"0:00:01.000", "Chapter-0001-02"}};

    struct TCase {
        const char* What;
        void (*Change)(TProjectRecord&);
        const char* Message;  // empty: accepted
    };
    const TCase cases[] = {
        {"as recorded", [](TProjectRecord&) {}, ""},
        {"other CRC", [](TProjectRecord& r) { r.Fingerprint = "00000000"; }, "(bad CRC)"},
        {"other size", [](TProjectRecord& r) { r.Size += "0"; }, "(bad size)"},
        {"other kind", [](TProjectRecord& r) { r.MotionVideo = false; }, "different to the one expected..."},
        {"bad chapter", [](TProjectRecord& r) { r.Chapters[0].TimeText = "0:00:01"; }, "Invalid Chapter Information"},
        {"same id twice", [](TProjectRecord& r) { r.Chapters[0].Id = r.Id; },
         "The ID \"Sequence-0001-01\" is not unique..."},
    };
    for (const TCase& test : cases) {
        Output.clear();
        Dialogs.Asked.clear();
        run = Analyse(movie);
        auto changed = std::make_shared<TProjectRecord>(*record);
        test.Change(*changed);
        run.Param->ProjectRecord = changed;
        TComplianceContext context;
        context.ProjectTvSystem = TTvSystem::Ntsc;  // the chain would ask
        TSelectionRegistry registry;
        bool continueBatch = true;
        const auto accepted = AcceptAnalysedMpeg(run.Status, *run.Param, continueBatch, context, &registry);
        if (std::string(test.Message).empty()) {
            EXPECT_TRUE(accepted) << test.What;
            EXPECT_TRUE(continueBatch) << test.What;
            EXPECT_TRUE(Dialogs.Asked.empty()) << test.What;
            EXPECT_EQ(registry.size(), 2u);
            EXPECT_EQ(accepted->EntryPoints().Count(), 2);
        } else {
            EXPECT_FALSE(accepted) << test.What;
            EXPECT_FALSE(continueBatch) << test.What;
            ASSERT_EQ(Dialogs.Asked.size(), 1u) << test.What;
            EXPECT_NE(Dialogs.Asked[0].Message.find(test.Message), std::string::npos) << Dialogs.Asked[0].Message;
        }
    }
}

TEST_F(AnalysisCommand, TheInformationPageLines) {
    const TRun run = Analyse(Fixture("pal_vcd_1.mpg"));
    ASSERT_TRUE(run.Param->MpegFile);
    const TStringList lines = MpegInformationLines(*run.Param->MpegFile);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("MPEG1, PlayingTime=3.996s, Bitrate=1411200bps, PtsOffset=0.469s, ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Video Stream: Motion Video, 352x288, 25fps (PAL), 1150kbps");
    EXPECT_EQ(lines[3].rfind("Audio Stream: Audio Standard MPEG layer2 Stereo, 44100Hz", 0), 0u) << lines[3];
}

}  // namespace

namespace {

TEST_F(AnalysisCommand, AStillIsAcceptedWhereStillsAreAllowed) {
    if (!fs::exists(FixturesFolder() / "still_pal_vcd.mpg")) GTEST_SKIP() << "no still fixture (mjpegtools missing)";
    const TRun run = Analyse(Fixture("still_pal_vcd.mpg"));
    ASSERT_TRUE(run.Status.IsSucceeded());
    ASSERT_TRUE(run.Param->MpegFile);
    EXPECT_TRUE(run.Param->MpegFile->IsStill());
    EXPECT_EQ(run.Param->MpegFile->MainHorizontalSize(), "352");
    EXPECT_EQ(run.Param->MpegFile->MainTvSystem(), TStreamTvSystem::Pal);

    for (const auto& [disc, accepted] : {std::pair{TVideoCdType::Vcd20, true}, std::pair{TVideoCdType::Vcd11, false}}) {
        Dialogs.Asked.clear();
        TRun again = Analyse(Folder.File("still_pal_vcd.mpg"));
        TComplianceContext context;
        context.DiscType = disc;
        context.ProjectTvSystem = TTvSystem::Pal;
        context.ProjectFileCount = 1;
        bool continueBatch = false;
        EXPECT_EQ(AcceptAnalysedMpeg(again.Status, *again.Param, continueBatch, context) != nullptr, accepted);
        if (accepted) {
            EXPECT_TRUE(Dialogs.Asked.empty());
        } else {
            ASSERT_EQ(Dialogs.Asked.size(), 1u);
            EXPECT_NE(Dialogs.Asked[0].Message.find("VCD1.1 does not allow the use of MPEG pictures"),
                      std::string::npos);
        }
    }
}

}  // namespace

namespace {

TEST_F(AnalysisCommand, TheInformationPageAfterAnAnalysis) {
    const TRun run = Analyse(Fixture("pal_svcd_1.mpg"));
    const TMpegInformation shown = ShowSimpleMpegAnalyse(run.Status, *run.Param);
    EXPECT_TRUE(shown.Analysed);
    EXPECT_EQ(shown.MemoLines, 6);  // motion video and standard audio
    EXPECT_EQ(shown.Lines, MpegInformationLines(*run.Param->MpegFile));
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Information);
    EXPECT_EQ(Dialogs.Asked[0].Message, "\r\"pal_svcd_1.mpg\" analyse succeeded.");

    Dialogs.Asked.clear();
    const TRun failed = Analyse(Fixture("elementary_video.mpg"));
    const TMpegInformation nothing = ShowSimpleMpegAnalyse(failed.Status, *failed.Param);
    EXPECT_FALSE(nothing.Analysed);
    EXPECT_TRUE(nothing.Lines.empty());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Error);
}

TEST(InformationPage, WarningLinesAreRecognised) {
    EXPECT_TRUE(IsWarningLogLine(R"(<log level="warning">bad packet</log>)"));
    EXPECT_FALSE(IsWarningLogLine(R"(<log level="error">bad packet</log>)"));
    EXPECT_FALSE(IsWarningLogLine("warning: plain"));
}

}  // namespace

namespace {

// A batch added the way the main window does it: one analysis per file on the
// commands manager, each ended by the add step.
TEST_F(AnalysisCommand, ABatchOfAddsThroughTheQueue) {
    if (!fs::exists(FixturesFolder() / "still_pal_vcd.mpg")) GTEST_SKIP() << "no still fixture (mjpegtools missing)";
    const std::string refusedName = Folder.File("rock & roll.mpg");
    fs::copy_file(FixturesFolder() / "pal_vcd_2.mpg", refusedName);
    const TStringList batch = {Fixture("pal_vcd_5s.mpg"), refusedName, Fixture("still_pal_vcd.mpg")};

    for (const TModalResult goOn : {TModalResult::Yes, TModalResult::No}) {
        for (const std::string& path : batch) fs::remove(path + ".vxm");
        Dialogs.Asked.clear();
        Dialogs.Answer(TModalResult::OK);  // the refused name
        Dialogs.Answer(goOn);              // "Do you want to continue ?"
        TMpegFiles files;
        TComplianceContext context;
        context.DiscType = TVideoCdType::Vcd20;
        context.ProjectTvSystem = TTvSystem::Pal;
        TCommandsManager manager;
        bool done = false;
        for (int i = 0; i < static_cast<int>(batch.size()); ++i)
            manager.Add(AnalyseMpegFile(
                batch[static_cast<std::size_t>(i)], nullptr, nullptr, static_cast<int>(batch.size()), i + 1, false,
                nullptr,
                [&](TCommandInterface&, const TExecuteStatus& status, bool& continueQueue, const TCommandParamPtr& p) {
                    SetProjectCounts(context, files);
                    if (auto file = AcceptAnalysedMpeg(status, static_cast<TMinfoParam&>(*p), continueQueue, context))
                        files.Add(std::move(file));
                }));
        manager.Run(false, nullptr, nullptr, [&](TCommandsManager&, bool) { done = true; });
        ASSERT_TRUE(Loop.RunUntil([&] { return done || !manager.IsRunning(); }, 60s));

        const TStringList added = goOn == TModalResult::Yes ? TStringList{"pal_vcd_5s.mpg", "still_pal_vcd.mpg"}
                                                            : TStringList{"pal_vcd_5s.mpg"};
        TStringList names;
        for (int i = 0; i < files.Count(); ++i) names.push_back(files.Get(i)->FileName());
        EXPECT_EQ(names, added);
        ASSERT_GE(Dialogs.Asked.size(), 2u);
        EXPECT_NE(Dialogs.Asked[0].Message.find("\"&\" in filenames are not allowed"), std::string::npos);
        EXPECT_EQ(Dialogs.Asked[1].Message, "\rDo you want to continue ?   ");
        EXPECT_EQ(Dialogs.Asked.size(), 2u);
    }
}

}  // namespace
