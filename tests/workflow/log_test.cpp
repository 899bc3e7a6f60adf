#include <gtest/gtest.h>

#include <filesystem>

#include "lib/settings.h"
#include "settings/gui_settings.h"
#include "settings/language.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"
#include "workflow/log_functions.h"
#include "workflow/log_lines.h"
#include "workflow/log_settings.h"

namespace {

TEST(LogLines, TextWithLineBreaksBecomesOneLinePerPartWithTheSameIcon) {
    TLogLines log;
    log.Add("first\r\nsecond\nthird", TIconType::iconError);
    const TLogLines::TBatch batch = log.TakeBatch();
    ASSERT_EQ(batch.Added.size(), 3u);
    for (const TLogLine& line : batch.Added) EXPECT_EQ(line.Icon, TIconType::iconError);
    EXPECT_EQ(batch.Added[1].Text, "second");
    EXPECT_FALSE(log.HasPending());
}

TEST(LogLines, AtTheCapOnlyTheOldestLinesGo) {
    TLogLines log(5);
    for (int i = 0; i < 5; ++i) log.Add("line " + std::to_string(i), TIconType::iconInformation);
    EXPECT_EQ(log.TakeBatch().DroppedFromTop, 0u);
    log.Add("line 5", TIconType::iconWarning);
    log.Add("line 6", TIconType::iconWarning);
    const TLogLines::TBatch batch = log.TakeBatch();
    EXPECT_EQ(batch.DroppedFromTop, 2u);
    ASSERT_EQ(log.Lines().size(), 5u);
    EXPECT_EQ(log.Lines().front().Text, "line 2");
    EXPECT_EQ(log.Lines().back().Text, "line 6");
}

TEST(LogLines, AHugeBatchKeepsOnlyTheNewestView) {
    TLogLines log(10);
    log.Add("old", TIconType::iconNone);
    log.TakeBatch();
    for (int i = 0; i < 1000; ++i) log.Add(std::to_string(i), TIconType::iconNone);
    const TLogLines::TBatch batch = log.TakeBatch();
    EXPECT_EQ(batch.Added.size(), 10u);
    EXPECT_EQ(batch.DroppedFromTop, 1u);
    EXPECT_EQ(log.Lines().front().Text, "990");
}

class LogFile : public ::testing::Test {
protected:
    TTempFolder Folder;
    TFoldersScope Folders{Folder.File("program"), Folder.File("config")};
    void SetUp() override { ActivateLanguage(false); }
};

TEST_F(LogFile, ShownLinesAreAppendedAndCleanEmptiesTheFile) {
    TLogLines log;
    const std::string name = Folder.File("run.txt");
    EXPECT_EQ(log.File.SetLogFile(name), name);
    log.Add("one\ntwo", TIconType::iconInformation);
    EXPECT_EQ(ReadWholeFile(name), "one\r\ntwo\r\n");
    ASSERT_TRUE(log.File.CleanLogFile());
    EXPECT_TRUE(log.File.IsOpen());
    EXPECT_EQ(ReadWholeFile(name), "");
    log.Add("three", TIconType::iconInformation);
    log.File.CloseLogFile();
    EXPECT_EQ(ReadWholeFile(name), "three\r\n");
    // Opening again appends.
    log.File.SetLogFile(name);
    log.Add("four", TIconType::iconInformation);
    EXPECT_EQ(ReadWholeFile(name), "three\r\nfour\r\n");
}

TEST_F(LogFile, AFileThatCannotBeOpenedSwitchesSavingOffAndSaysSo) {
    TLogSettingsModel model;
    TLogFile file;
    model.SaveLog = true;
    model.FileName = Folder.File("missing-folder/log.txt");
    const std::string message = model.ApplySave(file);
    EXPECT_NE(message.find("missing-folder/log.txt"), std::string::npos);
    EXPECT_FALSE(model.SaveLog);
    EXPECT_FALSE(model.CleanEnabled());
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(LogFile, RelativeNameBecomesAbsoluteAndEmptyNameStopsSaving) {
    TLogSettingsModel model;
    TLogFile file;
    model.SaveLog = true;
    const std::string saved = std::filesystem::current_path().string();
    std::filesystem::current_path(Folder.Path());
    EXPECT_EQ(model.NameEdited("relative.txt", file), "");
    std::filesystem::current_path(saved);
    EXPECT_EQ(model.FileName, Folder.File("relative.txt"));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(model.NameEdited("  ", file), "");
    EXPECT_FALSE(model.SaveLog);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(model.SaveEnabled());
}

TEST(LogSettings, LoadStoreAndTheTextExtension) {
    TSettings store;
    DeclareGuiSettings(store, "");
    TLogSettingsModel model;
    model.DefaultSettings(store);
    store.SetValue("Log", std::string("Other"));
    model.LoadSettings(store);
    EXPECT_FALSE(model.Verbose);  // anything but "Verbose" is Normal
    EXPECT_TRUE(model.ShowWarnings);
    model.ShowWarnings = false;
    model.SaveSettings(store);
    EXPECT_EQ(store.GetString("Log"), "Normal");
    EXPECT_FALSE(store.GetBool("LogWarnings", true));
    EXPECT_EQ(TLogSettingsModel::WithTextExtension("/tmp/run"), "/tmp/run.txt");
    EXPECT_EQ(TLogSettingsModel::WithTextExtension("/tmp/run.TXT"), "/tmp/run.TXT");
}

}  // namespace

namespace {

TEST(LogFunctions, NothingHappensWithoutALogAndEachLevelHasItsIcon) {
    LogError("lost");  // no log page yet: nothing, and no crash
    TLogLines lines;
    TCommandLinesList commands;
    commands.AddLine("vcdxbuild");
    SetLogTargets(&lines, &commands);
    LogPlain("plain");
    LogDebug("debug");
    LogWarning("warning");
    LogInformation("information");
    LogAssertion("assertion");
    LogError("two\nlines");
    LogUnknown("unknown");
    LogList({"a", "b"});
    const TLogLines::TBatch batch = lines.TakeBatch();
    const std::vector<TIconType> icons{TIconType::iconNone,        TIconType::iconDebug,     TIconType::iconWarning,
                                       TIconType::iconInformation, TIconType::iconAssertion, TIconType::iconError,
                                       TIconType::iconError,       TIconType::iconUnknown,   TIconType::iconNone,
                                       TIconType::iconNone};
    ASSERT_EQ(batch.Added.size(), icons.size());
    for (std::size_t i = 0; i < icons.size(); ++i) EXPECT_EQ(batch.Added[i].Icon, icons[i]) << i;
    ClearCommandLines();
    EXPECT_EQ(commands.LineCount(), 0);
    ClearLog();
    EXPECT_TRUE(lines.TakeBatch().Cleared);
    SetLogTargets(nullptr, nullptr);
}

}  // namespace
