#include "vcdimager/command_xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "exec/commands_manager.h"
#include "model/mpeg_files.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "vcdimager/command_vcdxbuild.h"
#include "writers/vcd_properties_xml.h"

namespace {

namespace fs = std::filesystem;

class XmlGeneration : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TScriptedDialogs Dialogs;
    TServicesScope Scope{&Loop, &Dialogs};
    TTempFolder Folder;
    std::vector<std::string> Output;
    std::vector<std::string> Events;

    TMpegFiles Files;
    TNavigationRegistration Navigation{Files};

    void SetUp() override {
        Files.Add(std::make_unique<TMpegFile>(Folder.Write("clip.mpg", std::string(3000, 'c')), true));
    }

    // The project record of one motion video, its description going to `xmlFile`.
    std::shared_ptr<TVcdProperties> Project(const std::string& xmlFile) {
        auto properties = std::make_shared<TVcdProperties>();
        properties->Files = &Files;
        properties->ProgramNameVersion = "Lumora v1.1.6";
        properties->VolumeLabel = "TEST";
        properties->XmlPath = xmlFile;
        properties->Lines = {"stale line of an earlier run"};
        return properties;
    }

    std::shared_ptr<TXmlGenerationInfo> Info(std::shared_ptr<TVcdProperties> properties) {
        auto info = std::make_shared<TXmlGenerationInfo>();
        info->Properties = std::move(properties);
        info->OnXmlStart = [this](TCommandInterface&, bool flag) {
            Events.push_back(std::string("start ") + (flag ? "true" : "false"));
        };
        info->OnXmlText = [this](TCommandInterface&, const std::string& text) { Events.push_back(text); };
        return info;
    }
    std::shared_ptr<TXmlGenerationInfo> Info(const std::string& xmlFile) { return Info(Project(xmlFile)); }

    std::unique_ptr<TCommandXml> Make(std::shared_ptr<TXmlGenerationInfo> info) {
        return MakeXmlCommand(std::move(info),
                              [this](TCommandInterface&, const std::string& line) { Output.push_back(line); });
    }

    // Runs the command alone, as the queue does, and returns its final status.
    TExecuteStatus RunAlone(TCommandXml& command) {
        TExecuteStatus result;
        command.Execute(
            nullptr,
            [&](TCommandInterface&, const TExecuteStatus& status, const TCommandParamPtr&) { result = status; },
            nullptr);
        return result;
    }
};

TEST_F(XmlGeneration, WritesTheDescriptionAndReportsIt) {
    const std::string xml = Folder.File("disc.xml");
    auto info = Info(xml);
    auto command = Make(info);
    const TExecuteStatus status = RunAlone(*command);
    EXPECT_TRUE(status.IsSucceeded());

    TVcdProperties reference = *Project(xml);
    reference.Lines.clear();
    WriteVideoCdXml(&reference, false);
    const TStringList& expected = reference.Lines;
    EXPECT_EQ(info->Properties->Lines, expected) << "the stale lines are replaced";
    const std::string text = JoinLines(expected, "\r\n") + "\r\n";
    EXPECT_EQ(ReadWholeFile(xml), text);
    EXPECT_EQ(Events, (std::vector<std::string>{"start false", text}));
    EXPECT_NE(text.find("<sequence-item src=\"" + Folder.File("clip.mpg") + "\""), std::string::npos);

    const std::string success = "Internally computed XML generated successfully: \"" + xml + "\"";
    EXPECT_EQ(Output, (std::vector<std::string>{"[Internal Xml Generation]", success}));
    EXPECT_EQ(status.SuccessLines, (std::vector<std::string>{success}));
}

TEST_F(XmlGeneration, FailuresAreReportedAndLeaveNoFile) {
    struct TCase {
        std::string Name;
        std::shared_ptr<TXmlGenerationInfo> Info;
        std::string Error;
    };
    auto noDescription = Info(std::shared_ptr<TVcdProperties>());
    auto noName = Info("");
    const std::string missingFolder = Folder.File("no such folder/disc.xml");
    const std::vector<TCase> cases = {
        {"no record", nullptr, "Unable to generate the internally computed XML file, execution aborted..."},
        {"no project", noDescription, "Unable to generate the internally computed XML file, execution aborted..."},
        {"no name", noName, "Unable to generate the internally computed XML file (bad filename), execution aborted..."},
        {"no folder", Info(missingFolder), "Unable to create the new file \"" + missingFolder + "\""},
    };
    for (const TCase& c : cases) {
        Output.clear();
        auto command = c.Info ? Make(c.Info) : Make(nullptr);
        const TExecuteStatus status = RunAlone(*command);
        EXPECT_TRUE(status.IsFailed()) << c.Name;
        EXPECT_EQ(status.ErrorLines, (std::vector<std::string>{c.Error})) << c.Name;
        EXPECT_EQ(Output.back(), "ERROR: " + c.Error) << c.Name;
    }
    EXPECT_FALSE(fs::exists(missingFolder));
}

TEST_F(XmlGeneration, AFailedGenerationStopsTheQueueBeforeTheBuild) {
    TCommandsManager manager;
    const std::string missingFolder = Folder.File("no such folder/disc.xml");
    manager.Add(Make(Info(missingFolder)));
    auto build = BuildCdImage(MakeBuildParam(missingFolder, Folder.File("image"), TCdImageType::Cue, false),
                              [this](TCommandInterface&, const std::string& line) { Output.push_back(line); });
    manager.Add(std::move(build));
    manager.Run(true, nullptr);
    EXPECT_FALSE(manager.IsRunning());
    EXPECT_TRUE(manager.IsEmpty());
    EXPECT_EQ(std::count(Output.begin(), Output.end(), "[VCDxBuild]"), 0) << "vcdxbuild never ran";
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Error);
    EXPECT_NE(Dialogs.Asked[0].Message.find("Unable to create the new file"), std::string::npos);
}

TEST_F(XmlGeneration, ACommandCancelledWhileQueuedWritesNothing) {
    const std::string xml = Folder.File("disc.xml");
    auto command = Make(Info(xml));
    command->Cancel();
    EXPECT_TRUE(command->Status.IsCancelled());
    RunAlone(*command);
    EXPECT_FALSE(fs::exists(xml));
    EXPECT_TRUE(Events.empty());
}

TEST_F(XmlGeneration, TheSuccessMessageIsTranslatedButNotTheFileName) {
    auto command = Make(Info(Folder.File("disc.xml")));
    std::string result;
    command->TranslateLine(
        "  internally computed XML generated successfully: \"/a/Internally computed XML generated "
        "successfully.xml\"  ",
        result);
    EXPECT_EQ(result,
              "Internally computed XML generated successfully: \"/a/Internally computed XML generated "
              "successfully.xml\"");
}

}  // namespace
