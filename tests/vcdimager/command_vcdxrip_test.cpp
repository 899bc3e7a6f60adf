#include "vcdimager/command_vcdxrip.h"

#include <gtest/gtest.h>

#include <filesystem>

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

    static std::string Arguments(TCommandVcdXRip& command) {
        std::string arguments;
        command.GetParameters(arguments);
        return arguments;
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
        {{}, "/cd/disc.bin", "-v --gui -p -o \"/out/rip.xml\" --bin-file=\"/cd/disc.bin\""},
        {allSkips, "/cd/disc.NRG",
         "-v --gui -p --nosequences --nosegments --nofiles -o \"/out/rip.xml\" --nrg-file=\"/cd/disc.NRG\""},
        {xmlOnly, "/cd/disc.img",
         "-v --gui -p --sector-2336 --no-ext-psd --norip -o \"/out/rip.xml\" --bin-file=\"/cd/disc.img\""},
        {{}, "\\\\server\\cd\\disc.nrg", "-v --gui -p -o \"/out/rip.xml\" --nrg-file=\"//server/cd/disc.nrg\""},
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
    EXPECT_EQ(folder, "/out");
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

TEST_F(Rip, FailureRemovesTheDescriptionTheTemporaryImageAndACutFile) {
    struct TCase {
        bool TemporaryImage;
        bool Cancel;
        std::string LastPosition;  // of avseq02.mpg, whose size is 1420
        bool LastFileStays;
    };
    const std::vector<TCase> cases = {
        {false, true, "1000", false},
        {true, true, "1000", false},
        {false, true, "1420", false},  // killed: its end may never have reached the disk
        {false, false, "1000", false},
        {true, false, "1420", true},  // the tool ended by itself: a file it reported whole is whole
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        const std::string xml = folder.Write("rip.xml", "<videocd/>");
        const std::string image = folder.Write("disc.bin", "sectors");
        folder.Write("disc.toc", "toc");
        folder.Write("avseq01.mpg", "complete");
        folder.Write("avseq02.mpg", "last");
        TRipOptions options;
        options.DeleteImageOnFailure = c.TemporaryImage;
        auto command = Make(image, xml, options);
        bool proceed = true;
        command->BeforeStart(proceed);
        command->EmitLine("<progress operation=\"extract\" id=\"avseq01.mpg\" position=\"973\" size=\"973\" />");
        command->EmitLine("<progress operation=\"extract\" id=\"avseq02.mpg\" position=\"" + c.LastPosition +
                          "\" size=\"1420\" />");
        if (c.Cancel)
            command->Cancel();
        else
            command->CommandEnded(1);
        EXPECT_EQ(command->Status.IsCancelled(), c.Cancel);
        EXPECT_FALSE(fs::exists(xml));
        EXPECT_EQ(fs::exists(image), !c.TemporaryImage);
        EXPECT_EQ(fs::exists(folder.File("disc.toc")), !c.TemporaryImage);
        EXPECT_TRUE(fs::exists(folder.File("avseq01.mpg"))) << "a file finished before the last one stays";
        EXPECT_EQ(fs::exists(folder.File("avseq02.mpg")), c.LastFileStays)
            << (c.Cancel ? "cancel " : "failure ") << c.LastPosition;
    }
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

TEST_F(Rip, SuccessKeepsEverything) {
    TTempFolder folder;
    const std::string xml = folder.Write("rip.xml", "<videocd/>");
    const std::string image = folder.Write("disc.bin", "sectors");
    TRipOptions options;
    options.DeleteImageOnFailure = true;
    auto command = Make(image, xml, options);
    command->CommandEnded(0);
    EXPECT_TRUE(command->Status.IsSucceeded());
    EXPECT_TRUE(fs::exists(xml));
    EXPECT_TRUE(fs::exists(image));
}

}  // namespace
