#include <gtest/gtest.h>

#include "exec/status_lines.h"
#include "platform/child_process.h"
#include "stills/command_mplex_still.h"
#include "stills/command_picture2mv.h"

namespace {

TEST(MjpegLines, ToolLinesBecomeLogLines) {
    TCommandSetup setup;
    setup.Param = std::make_shared<TMplexStillData>();
    TCommandMplexStill command(std::move(setup));
    struct TCase {
        std::string Raw;
        std::string Filtered;
    };
    const TCase cases[] = {
        {"   INFO: [mplex]  Scanning  for ( header)",
         MakeLogStatusLine("information", "[mplex] Scanning for (header)")},
        {"++ WARN: [mplex] Stream too short", MakeLogStatusLine("warning", "[mplex] Stream too short")},
        {"   ", ""},
        {"plain text", "plain text"},
        {"**ERROR: [mplex] Still picture larger than maximum permitted size",
         MakeLogStatusLine("error",
                           "[mplex] Still picture larger than maximum permitted size (Please increase the Mpeg Size "
                           "[Quality])")},
    };
    for (const TCase& c : cases) {
        std::string line = c.Raw;
        command.FilterLine(line);
        EXPECT_EQ(line, c.Filtered) << c.Raw;
    }
    ASSERT_EQ(command.Status.ErrorLines.size(), 1u);
    EXPECT_NE(command.Status.ErrorLines[0].find("Please increase"), std::string::npos);
    // The tool ended with 0, but it reported an error: the run failed.
    command.CommandEnded(0);
    EXPECT_TRUE(command.Status.IsFailed());
}

TEST(MjpegLines, EncoderOptions) {
    TPicture2MvData data;
    EXPECT_EQ(Mpeg2EncOptions(data), " -a 1 -f 6");
    data.Conversion.AspectCorrection = 2;
    data.Vcd = false;
    data.SvcdHack = true;
    data.SvcdDisplayOption = 1;
    EXPECT_EQ(Mpeg2EncOptions(data), " -a 3 --hack-svcd-hds-bug -f 7");
    data.SvcdDisplayOption = 2;
    data.Conversion.AspectCorrection = 1;
    EXPECT_EQ(Mpeg2EncOptions(data), " -a 2 --correct-svcd-hds -f 7");
    data.Vcd = true;
    EXPECT_EQ(Mpeg2EncOptions(data), " -a 2 -f 6");
}

TEST(MjpegLines, FileNamesTravelAsWords) {
    // Whatever the name holds, the command-line splitter gives it back as one word.
    for (const std::string name : {"/a/it's.jpg", "/a/\"q\" $HOME `id` \\.png", "/a/new\nline\t.jpg", "/a/''\"\"'.jpg",
                                   "/a/latin\xE9.jpg", "-c", ""})
        EXPECT_EQ(SplitCommandLine("sh " + ShellWord(name) + " x"), (TStringList{"sh", name, "x"})) << name;
    EXPECT_EQ(PatternSafe("/x/50%d.jpg"), "/x/50%%d.jpg");
}

}  // namespace
