#include "vcdimager/command_vcdxrip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "exec/status_lines.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class Rip : public ::testing::Test {
protected:
    TScriptedDialogs Dialogs;
    TServicesScope Scope{nullptr, &Dialogs};
    std::vector<std::string> Output;

    std::unique_ptr<TCommandVcdXRip> Make(const std::string& image, const std::string& xml,
                                          const TRipOptions& options = {}) {
        auto command = RipBinFile(image, xml, options,
                                  [this](TCommandInterface&, const std::string& line) { Output.push_back(line); });
        command->ToolsComplete = true;
        return command;
    }

    // The temporary folder the tool writes into shown as "<tmp>".
    static std::string Normal(const std::string& text) {
        return std::regex_replace(text, std::regex("/\\.lumora-tmp-[0-9a-f]{8}-[0-9]+-[0-9]+~"), "/<tmp>");
    }
    static std::string Arguments(TCommandVcdXRip& command) {
        std::string arguments;
        command.GetParameters(arguments);
        return Normal(arguments);
    }
};

TEST_F(Rip, CommandLineOptions) {
    struct TCase {
        TRipOptions Options;
        std::string Image;
        std::string Expected;
    };
    TRipOptions allSkips;
    allSkips.NoSequences = allSkips.NoSegments = allSkips.NoFiles = true;
    TRipOptions xmlOnly = allSkips;
    xmlOnly.XmlOnly = true;
    xmlOnly.Sector2336 = true;
    xmlOnly.NoExtPsd = true;
    const std::vector<TCase> cases = {
        {{}, "/cd/disc.bin", "-v --gui -p -o \"/out/<tmp>/rip.xml\" --bin-file=\"/cd/disc.bin\""},
        {allSkips, "/cd/disc.NRG",
         "-v --gui -p --nosequences --nosegments --nofiles -o \"/out/<tmp>/rip.xml\" --nrg-file=\"/cd/disc.NRG\""},
        {xmlOnly, "/cd/disc.img",
         "-v --gui -p --sector-2336 --no-ext-psd --norip -o \"/out/<tmp>/rip.xml\" --bin-file=\"/cd/disc.img\""},
        {{}, "\\\\server\\cd\\disc.nrg", "-v --gui -p -o \"/out/<tmp>/rip.xml\" --nrg-file=\"//server/cd/disc.nrg\""},
    };
    for (const TCase& c : cases) {
        auto command = Make(c.Image, "/out/rip.xml", c.Options);
        EXPECT_EQ(Arguments(*command), c.Expected);
    }
    auto xml = Make("/cd/disc.bin", "/out/rip.xml", xmlOnly);
    EXPECT_FALSE(xml->RipParam->NoSequences || xml->RipParam->NoSegments || xml->RipParam->NoFiles)
        << "the skip flags are not kept when only the description is written";
    std::string folder;
    xml->GetWorkingFolder(folder);
    EXPECT_EQ(Normal(folder), "/out/<tmp>");
}

TEST_F(Rip, OutputLines) {
    struct TCase {
        std::string Line;
        std::string Shown;
        std::vector<std::string> Success;
        std::vector<std::string> Errors;
    };
    const std::vector<TCase> cases = {
        {"  Done.  ", "Done.", {"Done."}, {}},
        {"<log level=\"information\">writing xml description to rip.xml</log>",
         "<log level=\"information\">writing xml description to rip.xml</log>",
         {"writing xml description to rip.xml"},
         {}},
        {"<log level=\"information\">extraction DONE</log>",
         "<log level=\"information\">extraction DONE</log>",
         {"extraction DONE"},
         {}},
        {"<log level=\"debug\">done</log>", "<log level=\"debug\">done</log>", {}, {}},
        {"<log level=\"error\">Unexpected descriptor type at sector 16</log>",
         "<log level=\"error\">unexpected descriptor type, check the bytes sectors mode at sector 16</log>",
         {},
         {"unexpected descriptor type, check the bytes sectors mode at sector 16"}},
        {"<log level=\"error\">unexcected descriptor type 0x01</log>",
         "<log level=\"error\">unexpected descriptor type, check the bytes sectors mode 0x01</log>",
         {},
         {"unexpected descriptor type, check the bytes sectors mode 0x01"}},
        {"<progress operation=\"extract\" id=\"avseq01.mpg\" position=\"450\" size=\"973\" />",
         MakeProgressStatusLine("Ripping avseq01.mpg...", 0),
         {},
         {}},
    };
    for (const TCase& c : cases) {
        auto command = Make("/cd/disc.bin", "/out/rip.xml");
        std::string line = c.Line;
        command->FilterLine(line);
        EXPECT_EQ(line, c.Shown) << c.Line;
        EXPECT_EQ(command->Status.SuccessLines, c.Success) << c.Line;
        EXPECT_EQ(command->Status.ErrorLines, c.Errors) << c.Line;
    }
}

// What the tool was told to write: the -o name, inside a temporary folder.
std::string WrittenXml(TCommandVcdXRip& command) {
    std::string arguments;
    command.GetParameters(arguments);
    const std::size_t open = arguments.find(" -o \"") + 5;
    return arguments.substr(open, arguments.find('"', open) - open);
}

TEST_F(Rip, AFailedOrCancelledRipLeavesThePreviousFilesAndRemovesATemporaryImage) {
    for (const bool cancel : {false, true})
        for (const bool temporaryImage : {false, true}) {
            TTempFolder folder;
            const std::string xml = folder.Write("rip.xml", "<previous/>");
            const std::string image = folder.Write("disc.bin", "sectors");
            folder.Write("disc.toc", "toc");
            folder.Write("avseq01.mpg", "previous");
            TRipOptions options;
            options.DeleteImageOnFailure = temporaryImage;
            auto command = Make(image, xml, options);
            Dialogs.Answer(TModalResult::Yes);
            bool proceed = true;
            command->BeforeStart(proceed);
            ASSERT_TRUE(proceed);
            const fs::path work = fs::path(WrittenXml(*command)).parent_path();
            EXPECT_EQ(work.parent_path(), folder.Path());
            std::string working;
            command->GetWorkingFolder(working);
            EXPECT_EQ(working, work.string()) << "the tool extracts into the temporary folder";
            std::ofstream(work / "rip.xml") << "<partial/>";
            std::ofstream(work / "avseq01.mpg") << "cut";
            if (cancel)
                command->Cancel();
            else
                command->CommandEnded(1);
            std::vector<std::string> expected = {"avseq01.mpg", "rip.xml"};
            if (!temporaryImage) expected = {"avseq01.mpg", "disc.bin", "disc.toc", "rip.xml"};
            EXPECT_EQ(FileNames(folder.Path()), expected) << cancel << temporaryImage;
            EXPECT_EQ(ReadWholeFile(xml), "<previous/>");
            EXPECT_EQ(ReadWholeFile(folder.File("avseq01.mpg")), "previous");
        }
}

TEST_F(Rip, ASuccessfulRipReplacesOnlyWhatTheUserAgreedTo) {
    struct TCase {
        const char* Name;
        std::vector<TModalResult> Answers;  // about the description, then about the extracted files
        bool Succeeds;
    };
    const std::vector<TCase> cases = {
        {"both agreed", {TModalResult::Yes, TModalResult::Yes}, true},
        {"description refused", {TModalResult::No}, false},
        {"extracted files refused", {TModalResult::Yes, TModalResult::No}, false},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        const std::string xml = folder.Write("rip.xml", "<previous/>");
        const std::string image = folder.Write("disc.bin", "sectors");
        folder.Write("avseq01.mpg", "previous");
        auto command = Make(image, xml);
        for (const TModalResult answer : c.Answers) Dialogs.Answer(answer);
        Dialogs.Asked.clear();
        bool proceed = true;
        command->BeforeStart(proceed);
        if (proceed) {
            const fs::path work = fs::path(WrittenXml(*command)).parent_path();
            std::ofstream(work / "rip.xml") << "<ripped/>";
            std::ofstream(work / "avseq01.mpg") << "ripped";
            std::ofstream(work / "avseq02.mpg") << "ripped";
            command->CommandEnded(0);
        }
        EXPECT_EQ(command->Status.IsSucceeded(), c.Succeeds) << c.Name;
        EXPECT_EQ(Dialogs.Asked.size(), c.Answers.size()) << c.Name;
        EXPECT_EQ(ReadWholeFile(xml), c.Succeeds ? "<ripped/>" : "<previous/>") << c.Name;
        EXPECT_EQ(ReadWholeFile(folder.File("avseq01.mpg")), c.Succeeds ? "ripped" : "previous") << c.Name;
        std::vector<std::string> expected = {"avseq01.mpg", "disc.bin", "rip.xml"};
        if (c.Succeeds) expected = {"avseq01.mpg", "avseq02.mpg", "disc.bin", "rip.xml"};
        EXPECT_EQ(FileNames(folder.Path()), expected) << c.Name << ": no temporary file is left";
    }
}

TEST_F(Rip, AToolThatWritesNoDescriptionFails) {
    TTempFolder folder;
    auto command = Make(folder.Write("disc.bin", "sectors"), folder.File("rip.xml"));
    bool proceed = true;
    command->BeforeStart(proceed);
    ASSERT_TRUE(proceed);
    command->CommandEnded(0);
    EXPECT_TRUE(command->Status.IsFailed());
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"disc.bin"}));
}

TEST_F(Rip, AMissingImageIsRefusedBeforeTheToolRuns) {
    TTempFolder folder;
    const std::string xml = folder.Write("rip.xml", "<videocd/>");
    auto command = Make(folder.File("disc.bin"), xml);
    bool proceed = true;
    command->BeforeStart(proceed);
    EXPECT_FALSE(proceed);
    EXPECT_TRUE(command->Status.IsFailed());
    EXPECT_EQ(command->Status.ErrorLines,
              (std::vector<std::string>{"The file \"" + folder.File("disc.bin") + "\" does not exist"}));
    EXPECT_TRUE(fs::exists(xml)) << "nothing ran, so nothing is cleaned up";
}

}  // namespace
