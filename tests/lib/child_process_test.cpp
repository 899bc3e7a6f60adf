#include "platform/child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

TEST(SplitCommandLine, FollowsShellWordRulesWithoutExpansion) {
    struct Case {
        std::string Line;
        TStringList Words;
    };
    const Case cases[] = {
        {"", {}},
        {"  vcdxbuild   -v  ", {"vcdxbuild", "-v"}},
        {"\"/opt/my tools/vcdxbuild\" --gui -p", {"/opt/my tools/vcdxbuild", "--gui", "-p"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\" x", {"", "x"}},
        {"'it''s $HOME'", {"its $HOME"}},
        {R"("say \"hi\" \\ \$x \`y\` \n")", {R"(say "hi" \ $x `y` \n)"}},
        {R"(back\slash C:\dir)", {R"(back\slash)", R"(C:\dir)"}},
        {"/bin/sh -c 'jpeg2yuv -f 25 | mpeg2enc -o \"out.m1v\"'",
         {"/bin/sh", "-c", "jpeg2yuv -f 25 | mpeg2enc -o \"out.m1v\""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.Line), c.Words) << c.Line;
}

TEST(ChildEnvironment, PutsWindowsStylePathEntriesFirst) {
    setenv("PATH", "/usr/bin:/bin", 1);
    const TStringList environment = ChildEnvironment("PATH=/opt/aspi;%PATH% ");
    EXPECT_NE(std::find(environment.begin(), environment.end(), "PATH=/opt/aspi:/usr/bin:/bin"), environment.end());
}
