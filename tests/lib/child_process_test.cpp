#include "platform/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/processes.h"

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

TEST(SpawnChild, ReportsWhyAProgramCannotStart) {
    pid_t pid = -1;
    TSpawnOptions missing;
    missing.Argv = {"lumora-no-such-program"};
    EXPECT_EQ(SpawnChild(missing, pid), ENOENT);
    TSpawnOptions noFolder;
    noFolder.Argv = {"true"};
    noFolder.WorkingFolder = "/lumora-no-such-folder";
    EXPECT_EQ(SpawnChild(noFolder, pid), ENOENT);
    TSpawnOptions plain;
    plain.Argv = {"sh", "-c", "exit 7"};
    ASSERT_EQ(SpawnChild(plain, pid), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_EQ(ExitCodeOf(status), 7u);
}

TEST(SpawnChild, TheChildEndsWhenTheProgramIsKilled) {
    // A stand-in for the program: a process that starts a tool and is then
    // killed without any chance to clean up.
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        close(report[0]);
        TSpawnOptions options;
        options.Argv = {"sleep", "60"};
        pid_t tool = -1;
        if (SpawnChild(options, tool) != 0) _exit(1);
        [[maybe_unused]] auto written = write(report[1], &tool, sizeof tool);
        pause();
        _exit(0);
    }
    close(report[1]);
    pid_t tool = -1;
    ASSERT_EQ(read(report[0], &tool, sizeof tool), static_cast<ssize_t>(sizeof tool));
    close(report[0]);
    ASSERT_GT(tool, 0);
    EXPECT_FALSE(ProcessGone(tool));
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ProcessGone(tool) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(ProcessGone(tool)) << "the tool outlived the program";
    if (!ProcessGone(tool)) kill(tool, SIGKILL);
}
