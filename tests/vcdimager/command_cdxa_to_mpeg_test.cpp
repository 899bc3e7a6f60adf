#include "vcdimager/command_cdxa_to_mpeg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "exec/status_lines.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class CdxaConversion : public ::testing::Test {
protected:
    TScriptedDialogs Dialogs;
    TServicesScope Scope{nullptr, &Dialogs};
    TTempFolder Folder;
    std::vector<std::string> Output;

    std::unique_ptr<TCommandCdxaToMpeg> Make(const std::string& dat, const std::string& mpg) {
        return CdxaToMpeg(dat, mpg, [this](TCommandInterface&, const std::string& line) { Output.push_back(line); });
    }
};

TEST_F(CdxaConversion, OutputLines) {
    struct TCase {
        std::string Line;
        std::string Shown;
        bool Fails;
    };
    const std::string notRiff = " (The file is not a MPEG file with Riff header [.dat file])";
    const std::vector<TCase> cases = {
        {"**ERROR: fopen (`x.dat'): No such file", MakeLogStatusLine("error", "fopen (`x.dat'): No such file"), true},
        {"--DEBUG: chunk RIFF", MakeLogStatusLine("debug", "chunk RIFF"), false},
        {"++ WARN: odd sector 12", MakeLogStatusLine("warning", "odd sector 12"), false},
        {"++ WARN: unknown chunk id [] encountered",
         MakeLogStatusLine("error", "unknown chunk id [] encountered" + notRiff), true},
        {"info: extraction done", MakeLogStatusLine("information", "extraction done"), false},
        {"!ASSERT: should not happen", MakeLogStatusLine("assertion", "should not happen"), false},
        {"  some plain text  ", "some plain text", false},
        {"error in a plain line", "error in a plain line", false},
    };
    for (const TCase& c : cases) {
        auto command = Make("/in.dat", "/out.mpg");
        std::string line = c.Line;
        command->FilterLine(line);
        EXPECT_EQ(line, c.Shown) << c.Line;
        EXPECT_EQ(command->Failed, c.Fails) << c.Line;
        EXPECT_EQ(command->Status.ErrorLines.empty(), !c.Fails && c.Line.find("error") == std::string::npos) << c.Line;
    }
    auto done = Make("/in.dat", "/out.mpg");
    done->EmitLine("INFO: extraction done");
    EXPECT_EQ(done->Status.SuccessLines, (std::vector<std::string>{"extraction done"}));
}

TEST_F(CdxaConversion, QuotedNamesAreUsedWithoutTheirQuotes) {
    const std::string dat = Folder.Write("in put.dat", "RIFF");
    auto command = Make("\"" + dat + "\"", "\"" + Folder.File("out.mpg") + "\"");
    std::string arguments;
    command->GetParameters(arguments);
    // The tool writes beside the output, under a temporary name.
    EXPECT_EQ(arguments.find("\"" + dat + "\" \"" + Folder.File(".lumora-tmp-")), 0u) << arguments;
    std::string folder;
    command->GetWorkingFolder(folder);
    EXPECT_EQ(folder, Folder.Path().string());
    bool proceed = true;
    command->BeforeStart(proceed);
    EXPECT_TRUE(proceed);
    EXPECT_EQ(command->DatParam->DatFile, dat);
    EXPECT_EQ(command->DatParam->MpgFile, Folder.File("out.mpg"));
}

TEST_F(CdxaConversion, NoRunWithoutInputOrWritableOutput) {
    const std::string dat = Folder.Write("in.dat", "RIFF");
    {
        auto command = Make(Folder.File("missing.dat"), Folder.File("out.mpg"));
        bool proceed = true;
        command->BeforeStart(proceed);
        EXPECT_FALSE(proceed);
        EXPECT_TRUE(command->Status.IsFailed());
        ASSERT_EQ(command->Status.ErrorLines.size(), 1u);
        EXPECT_NE(command->Status.ErrorLines[0].find("missing.dat"), std::string::npos);
    }
    {
        auto command = Make(dat, Folder.File("no such folder/out.mpg"));
        bool proceed = true;
        command->BeforeStart(proceed);
        EXPECT_FALSE(proceed);
        ASSERT_EQ(Dialogs.Asked.size(), 1u);
        EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Error);
        EXPECT_EQ(Dialogs.Asked[0].Message.find("Unable to create:\r\r  "), 0u) << Dialogs.Asked[0].Message;
        EXPECT_NE(Dialogs.Asked[0].Message.find("Please check the filename...   "), std::string::npos);
    }
    {
        // A refused name costs the user nothing: the old output stays.
        const std::string old = Folder.Write("tab\tname.mpg", "old");
        auto command = Make(dat, old);
        bool proceed = true;
        command->BeforeStart(proceed);
        EXPECT_FALSE(proceed);
        EXPECT_TRUE(command->Status.IsFailed());
        EXPECT_TRUE(fs::exists(old));
    }
}

TEST_F(CdxaConversion, OutputPreparation) {
    const std::string existing = Folder.Write("old.mpg", "old content");
    EXPECT_FALSE(PrepareToolOutputFile(existing)) << "not confirmed: kept";
    Dialogs.Answer(TModalResult::Yes);
    EXPECT_TRUE(PrepareToolOutputFile(existing));
    EXPECT_EQ(ReadWholeFile(existing), "old content") << "replaced only by a complete new file";
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_NE(Dialogs.Asked[0].Message.find(existing), std::string::npos);
    Dialogs.Asked.clear();
    EXPECT_TRUE(PrepareToolOutputFile(Folder.File("new.mpg")));
    EXPECT_FALSE(fs::exists(Folder.File("new.mpg")));
    EXPECT_TRUE(Dialogs.Asked.empty());

    if (geteuid() != 0) {
        // A file in a folder that may not be changed cannot be overwritten.
        const fs::path locked = Folder.Path() / "locked";
        fs::create_directory(locked);
        const std::string file = Folder.Write("locked/new.mpg", "keep");
        fs::remove(file);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(PrepareToolOutputFile(file));
        fs::permissions(locked, fs::perms::owner_all);
        ASSERT_EQ(Dialogs.Asked.size(), 1u);
        EXPECT_NE(Dialogs.Asked[0].Message.find("Unable to create:"), std::string::npos);
    }
}

TEST_F(CdxaConversion, TheFilesMustBeDifferent) {
    EXPECT_TRUE(RefuseSameCdxaFiles("/media/Clip.DAT", "/media/clip.dat"));
    EXPECT_TRUE(RefuseSameCdxaFiles("/media/./clip.dat", " /media/clip.dat "));
    EXPECT_FALSE(RefuseSameCdxaFiles("/media/clip.dat", "/media/clip.mpg"));
    const std::string dat = Folder.Write("clip.dat", "RIFF");
    fs::create_symlink(dat, Folder.File("link.mpg"));
    EXPECT_TRUE(RefuseSameCdxaFiles(dat, Folder.File("link.mpg")));
    EXPECT_EQ(Dialogs.Messages(), std::vector<std::string>(3, "\rThe files must be different\r"));
}

TEST_F(CdxaConversion, TheOutputIsReplacedOnlyByACompleteConversion) {
    struct TCase {
        const char* Name;
        const char* Written;  // by the tool under the temporary name; nullptr: nothing
        std::vector<std::string> Lines;
        std::uint32_t ExitCode;
        bool Cancel;
        bool Succeeds;
    };
    const std::vector<TCase> cases = {
        {"converted", "new mpeg", {"INFO: extraction done"}, 0, false, true},
        {"not a RIFF file", "partial", {"++ WARN: unknown chunk id [] encountered"}, 0, false, false},
        {"tool failed", "partial", {}, 1, false, false},
        {"cancelled", "partial", {}, 0, true, false},
        {"exit 0, nothing written", nullptr, {}, 0, false, false},
        {"exit 0, empty file", "", {}, 0, false, false},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        const std::string mpg = folder.Write("out.mpg", "previous");
        auto command = Make(folder.Write("in.dat", "RIFF"), mpg);
        Dialogs.Answer(TModalResult::Yes);
        bool proceed = true;
        command->BeforeStart(proceed);
        ASSERT_TRUE(proceed) << c.Name;
        std::string arguments;
        command->GetParameters(arguments);
        const std::string marker = "\" \"";
        const std::string temporary =
            arguments.substr(arguments.find(marker) + marker.size(), arguments.size() - arguments.find(marker) - 4);
        EXPECT_EQ(fs::path(temporary).parent_path(), folder.Path()) << arguments;
        EXPECT_NE(temporary, mpg);
        if (c.Written) std::ofstream(temporary, std::ios::binary) << c.Written;
        for (const std::string& line : c.Lines) command->EmitLine(line);
        if (c.Cancel)
            command->Cancel();
        else
            command->CommandEnded(c.ExitCode);
        EXPECT_EQ(command->Status.IsSucceeded(), c.Succeeds) << c.Name;
        EXPECT_EQ(ReadWholeFile(mpg), c.Succeeds ? "new mpeg" : "previous") << c.Name;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2) << c.Name;
    }
}

}  // namespace
