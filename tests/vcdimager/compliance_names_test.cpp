#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "model/mpeg_file.h"
#include "model/mpeg_files.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "vcdimager/command_vcd.h"
#include "vcdimager/compliance_file_names.h"
#include "vcdimager/mpeg_compliance.h"

namespace {

namespace fs = std::filesystem;

class NameChecks : public ::testing::Test {
protected:
    TTempFolder Folder;
    TScriptedDialogs Dialogs;
    TServicesScope Services{nullptr, &Dialogs};
};

TEST_F(NameChecks, CreateCheckedMpegFile) {
    struct TCase {
        const char* Name;  // written into the folder unless it starts with "!"
        bool Created;
        bool Refused;
        const char* Message;  // part of the error shown, when refused
    };
    const TCase cases[] = {
        {"movie.mpg", true, false, ""},
        {"MOVIE.MPEG", true, false, ""},
        {"clip.m1p", true, false, ""},
        {"clip.m2p", true, false, ""},
        {"one, two.mpg", true, false, ""},
        {"movie.avi", false, false, ""},
        {"!missing.mpg", false, false, ""},
        {"rock & roll.mpg", false, true, "\"&\" in filenames are not allowed:\r\r   "},
        {"caf\xC3\xA9 \xC3\xA9t\xC3\xA9 \xE2\x82\xAC.mpg", false, true,
         "Forbidden characters: \xC3\xA9\xE2\x82\xAC\r\r\r"},
        {"say \"hi\".mpg", false, true, "Double quotes, backslashes, tabs and line breaks"},
        {"back\\slash.mpg", false, true, "Double quotes, backslashes, tabs and line breaks"},
        {"tab\there.mpg", false, true, "Double quotes, backslashes, tabs and line breaks"},
        {"line\nbreak.mpg", false, true, "Double quotes, backslashes, tabs and line breaks"},
    };
    for (const TCase& test : cases) {
        Dialogs.Asked.clear();
        const bool missing = test.Name[0] == '!';
        const std::string path = missing ? Folder.File(test.Name + 1) : Folder.Write(test.Name, "x");
        bool refused = false;
        const auto file = CreateCheckedMpegFile("  " + path + " ", true, refused);
        EXPECT_EQ(file != nullptr, test.Created) << test.Name;
        EXPECT_EQ(refused, test.Refused) << test.Name;
        EXPECT_EQ(Dialogs.Asked.size(), test.Refused ? 1u : 0u) << test.Name;
        if (test.Refused && !Dialogs.Asked.empty()) {
            EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Error);
            EXPECT_NE(Dialogs.Asked[0].Message.find(test.Message), std::string::npos) << Dialogs.Asked[0].Message;
            // The name is shown as it is; only invisible characters are spelled out.
            const std::string shown = ReplaceAll(ReplaceAll(path, "\t", "\\t"), "\n", "\\n");
            EXPECT_NE(Dialogs.Asked[0].Message.find(shown), std::string::npos) << Dialogs.Asked[0].Message;
        }
        if (file) {
            EXPECT_TRUE(file->SequenceFlag());
            EXPECT_EQ(file->FullPath(), path);
        }
    }
    // Without a folder part nothing is made, and nothing is said.
    bool refused = true;
    const fs::path saved = fs::current_path();
    fs::current_path(Folder.Path());
    EXPECT_EQ(CreateCheckedMpegFile("movie.mpg", true, refused), nullptr);
    fs::current_path(saved);
    EXPECT_FALSE(refused);
}

TEST_F(NameChecks, AFileNamedForAnAnalysisIsRefusedWithItsReason) {
    fs::create_directory(Folder.Path() / "folder.mpg");
    ASSERT_EQ(mkfifo((Folder.Path() / "pipe.mpg").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", Folder.Path() / "zero.mpg");
    fs::create_symlink(Folder.Path() / "gone.mpg", Folder.Path() / "dangling.mpg");
    const std::string movie = Folder.Write("movie.mpg", "x");
    fs::create_symlink(movie, Folder.Path() / "link.mpg");
    Folder.Write("clip.vob", "x");
    Folder.Write("Tom & Jerry.mpg", "x");

    struct TCase {
        const char* Name;
        const char* Reason;  // empty: accepted
    };
    const TCase cases[] = {
        {"movie.mpg", ""},
        {"link.mpg", ""},
        {"nothere.mpg", "The file \"%\" does not exist"},
        {"dangling.mpg", "The file \"%\" does not exist"},
        {"folder.mpg", "\"%\" is not a regular file"},
        {"pipe.mpg", "\"%\" is not a regular file"},
        {"zero.mpg", "\"%\" is not a regular file"},
        {"clip.vob", "Invalid MPEG/MPG/M1P/M2P filename:\r%"},
        {"Tom & Jerry.mpg", "\"&\" in filenames are not allowed:\r\r   %\r"},
    };
    for (const TCase& test : cases) {
        Dialogs.Asked.clear();
        const std::string path = Folder.File(test.Name);
        const bool accepted = CheckMpegInputFile(path);
        EXPECT_EQ(accepted, std::string(test.Reason).empty()) << test.Name;
        if (accepted) {
            EXPECT_TRUE(Dialogs.Asked.empty()) << test.Name;
            continue;
        }
        ASSERT_EQ(Dialogs.Asked.size(), 1u) << test.Name;
        EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Error);
        EXPECT_EQ(Dialogs.Asked[0].Message, ReplaceAll(test.Reason, "%", path)) << test.Name;
    }
    Dialogs.Asked.clear();
    EXPECT_FALSE(CheckMpegInputFile("movie.mpg"));
    EXPECT_EQ(Dialogs.Messages(), std::vector<std::string>{"The filename must contain the full path:\rmovie.mpg"});
}

TEST_F(NameChecks, TheSpecialCharacterMessage) {
    const std::string path = Folder.Write("\xC3\xA9t\xC3\xA9.mpg", "x");
    bool refused = false;
    EXPECT_EQ(CreateCheckedMpegFile(path, true, refused), nullptr);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "Special characters in filenames are not allowed\r(GNU VCDImager known bug)\r\r   In \"" + path +
                  "\"\r\r   Forbidden characters: \xC3\xA9\r\r\rRename or/and move the file in order to not have "
                  "forbidden characters in the full filemane.");
}

TEST_F(NameChecks, EntryPointsAreCountedOverTheMotionVideos) {
    EXPECT_FALSE(CheckMaxEntryPoints(nullptr));
    EXPECT_TRUE(Dialogs.Asked.empty());

    TMpegFiles files;
    // Five videos of 99 entries and one of 5: exactly 500.
    for (int f = 0; f < 6; ++f) {
        auto file = std::make_unique<TMpegFile>(Folder.Write("v" + std::to_string(f) + ".mpg", "x"), true);
        const int entries = f < 5 ? 99 : 5;
        for (int e = 1; e < entries; ++e)
            ASSERT_TRUE(file->AddEntryPoint("0:00:" + ZeroPad(e / 10, 2) + "." + ZeroPad(e % 10, 3), true));
        ASSERT_EQ(file->EntryPoints().Count(), entries);
        files.Add(std::move(file));
    }
    files.Add(std::make_unique<TMpegFile>(Folder.Write("still.mpg", "x"), false));
    EXPECT_TRUE(CheckMaxEntryPoints(&files));
    EXPECT_TRUE(Dialogs.Asked.empty());

    ASSERT_TRUE(files.Get(5)->AddEntryPoint("0:00:09.000", true));
    EXPECT_FALSE(CheckMaxEntryPoints(&files));
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_NE(Dialogs.Asked[0].Message.find("No more than a total of 500 entrypoints can be referenced in a (S)VCD..."),
              std::string::npos);
}

TEST(ToolFileNames, NetworkSharesGetForwardSlashes) {
    EXPECT_EQ(ToolFileName("\\\\server\\share\\a.mpg"), "//server/share/a.mpg");
    EXPECT_EQ(ToolFileName("/home/me/a.mpg"), "/home/me/a.mpg");
}

TEST_F(NameChecks, InputFileNames) {
    const std::string existing = Folder.Write("movie.mpg", "x");
    struct TCase {
        std::string Name;
        bool MustExist;
        const char* Error;  // empty: accepted
    };
    const TCase cases[] = {
        {existing, true, ""},
        {"  " + existing + "  ", true, ""},
        {Folder.File("new.mpg"), false, ""},
        {"   ", true, "\rInvalid MPEG/MPG/M1P/M2P filename   "},
        {"movie.mpg", true, "\rThe filename must contain the full path   "},
        {Folder.File("gone.mpg"), true, ""},  // message checked below
        {Folder.File("movie.avi"), false, "\rInvalid MPEG/MPG/M1P/M2P filename   "},
        {Folder.File("a\"b.mpg"), false, "Double quotes"},
    };
    for (const TCase& test : cases) {
        Dialogs.Asked.clear();
        const bool accepted = CheckInputFileNameExt(test.Name, {"mpeg", "mpg", "m1p", "m2p"}, test.MustExist);
        const bool gone = test.Name == Folder.File("gone.mpg");
        EXPECT_EQ(accepted, std::string(test.Error).empty() && !gone) << test.Name;
        if (gone) {
            ASSERT_EQ(Dialogs.Asked.size(), 1u);
            EXPECT_EQ(Dialogs.Asked[0].Message, "\rThe file \"" + test.Name + "\" does not exist   ");
        } else if (!accepted) {
            ASSERT_EQ(Dialogs.Asked.size(), 1u) << test.Name;
            EXPECT_NE(Dialogs.Asked[0].Message.find(test.Error), std::string::npos) << Dialogs.Asked[0].Message;
        }
    }
}

TEST_F(NameChecks, ShellCharacters) {
    EXPECT_TRUE(CheckShellCharacters("/pics/a b (1).jpg"));
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_FALSE(CheckShellCharacters("/pics/$it's.jpg"));
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Message, "\rThe ' character is not allowed in:\r\r/pics/$it's.jpg   ");
}

TEST_F(NameChecks, OutputFileNames) {
    struct TCase {
        std::string Name;
        const char* Result;  // expected cleaned name, or nullptr
        const char* Error;
    };
    const std::string good = Folder.File("disc.bin");
    const TCase cases[] = {
        {good, good.c_str(), ""},
        {" \"" + good + "\" ", good.c_str(), ""},
        {Folder.File("DISC.BIN"), nullptr, nullptr},  // accepted, see below
        {"", nullptr, "Please enter a BIN filename"},
        {"disc.bin", nullptr, "Invalid BIN filename:\rdisc.bin"},
        {Folder.File(".bin"), nullptr, "Invalid BIN filename:\r"},
        {Folder.File("disc.cue"), nullptr, "\rInvalid BIN filename   "},
    };
    for (const TCase& test : cases) {
        Dialogs.Asked.clear();
        const auto result = CheckOutputFileName(test.Name, "bin");
        if (test.Result) {
            ASSERT_TRUE(result) << test.Name;
            EXPECT_EQ(*result, test.Result);
        } else if (test.Error) {
            EXPECT_FALSE(result) << test.Name;
            ASSERT_EQ(Dialogs.Asked.size(), 1u) << test.Name;
            EXPECT_NE(Dialogs.Asked[0].Message.find(test.Error), std::string::npos) << Dialogs.Asked[0].Message;
        } else {
            EXPECT_TRUE(result) << test.Name;
        }
    }
}

TEST_F(NameChecks, PreparingAnOutputFileTouchesNothing) {
    const std::string existing = Folder.Write("old.bin", "old");
    EXPECT_TRUE(PrepareOutputFile(existing));
    EXPECT_EQ(ReadWholeFile(existing), "old") << "replaced only when the new file is complete";
    EXPECT_TRUE(PrepareOutputFile(Folder.File("new.bin")));
    EXPECT_FALSE(fs::exists(Folder.File("new.bin")));
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder.Path()), fs::directory_iterator()), 1)
        << "the probe leaves nothing";
    EXPECT_TRUE(Dialogs.Asked.empty());

    const std::string folder = Folder.File("is-a-folder.bin");
    fs::create_directory(folder);
    EXPECT_FALSE(PrepareOutputFile(folder, true));
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_FALSE(PrepareOutputFile(folder));
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_NE(Dialogs.Asked[0].Message.find("Unable to overwrite:\r" + folder), std::string::npos);

    Dialogs.Asked.clear();
    EXPECT_FALSE(PrepareOutputFile(Folder.File("no-such-folder/x.bin")));
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_NE(Dialogs.Asked[0].Message.find("Unable to create:"), std::string::npos);

    if (geteuid() != 0) {
        // A file the user made read-only is not replaced behind their back.
        Dialogs.Asked.clear();
        fs::permissions(existing, fs::perms::owner_read);
        EXPECT_FALSE(PrepareOutputFile(existing));
        ASSERT_EQ(Dialogs.Asked.size(), 1u);
        EXPECT_NE(Dialogs.Asked[0].Message.find("not ReadOnly"), std::string::npos);
    }
}

TEST_F(NameChecks, ReplacingExistingFilesIsAskedOnceAndOnlyYesAgrees) {
    const std::string a = Folder.Write("disc.cue", "old");
    const std::string b = Folder.Write("disc.xml", "old");
    const TStringList existing = ExistingFiles({a, Folder.File("disc.bin"), b, a});
    EXPECT_EQ(existing, (TStringList{a, b}));
    EXPECT_TRUE(ConfirmReplacing({}));
    EXPECT_TRUE(Dialogs.Asked.empty()) << "nothing to replace, nothing asked";
    for (const TModalResult answer : {TModalResult::Yes, TModalResult::No, TModalResult::None}) {
        Dialogs.Asked.clear();
        if (answer != TModalResult::None) Dialogs.Answer(answer);
        EXPECT_EQ(ConfirmReplacing(existing), answer == TModalResult::Yes);
        ASSERT_EQ(Dialogs.Asked.size(), 1u);
        EXPECT_NE(Dialogs.Asked[0].Message.find(a), std::string::npos);
        EXPECT_NE(Dialogs.Asked[0].Message.find(b), std::string::npos);
    }
    EXPECT_EQ(ReadWholeFile(a), "old");
}

TEST_F(NameChecks, NamesThatCannotBeCarriedFaithfullyAreRefused) {
    const struct {
        std::string Name;
        bool Refused;
    } cases[] = {
        {Folder.File("disc.bin"), false},
        {Folder.File("Café, été.bin"), false},
        {Folder.File("a\"b.bin"), true},
        {Folder.File("bell\a.bin"), true},
        {Folder.File("esc\x1b.bin"), true},
        {Folder.File("del\x7f.bin"), true},
        {Folder.File("latin1 \xe9.bin"), true},
        {Folder.File("overlong \xc0\xaf.bin"), true},
        {Folder.File("surrogate \xed\xa0\x80.bin"), true},
    };
    for (const auto& c : cases) {
        Dialogs.Asked.clear();
        EXPECT_EQ(!CheckOutputFileName(c.Name, "bin"), c.Refused) << c.Name;
        if (!c.Refused) continue;
        ASSERT_EQ(Dialogs.Asked.size(), 1u);
        // The refusal itself can be shown and logged as text.
        EXPECT_TRUE(IsValidUtf8(Dialogs.Asked[0].Message)) << c.Name;
        EXPECT_FALSE(HasControlCharacter(ReplaceAll(ReplaceAll(Dialogs.Asked[0].Message, "\r", ""), "\n", "")));
    }
    EXPECT_EQ(StripSurroundingQuotes(" \"/a/b.bin\" "), "/a/b.bin");
    EXPECT_EQ(StripSurroundingQuotes("/a/\"b\".bin"), "/a/\"b\".bin") << "a quote inside is part of the name";
}

TEST_F(NameChecks, ConfirmingAnExistingOutputFile) {
    const std::string existing = Folder.Write("disc.bin", "old");
    std::string edit = existing;
    TOutputConfirmation confirmation;
    EXPECT_FALSE(ConfirmOutputFile(edit, "bin", confirmation));  // the save dialog is cancelled
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "save");
    EXPECT_EQ(Dialogs.Asked[0].Message, "BIN file already exists... Confirm overwrite ");
    EXPECT_TRUE(fs::exists(existing));

    Dialogs.AnswerFiles({existing});
    EXPECT_TRUE(ConfirmOutputFile(edit, "bin", confirmation));
    EXPECT_EQ(edit, existing);
    EXPECT_TRUE(fs::exists(existing)) << "kept until the new image replaces it";

    // Confirmed once, the same name is not asked about again.
    Dialogs.Asked.clear();
    Folder.Write("disc.bin", "newer");
    EXPECT_TRUE(ConfirmOutputFile(edit, "bin", confirmation));
    EXPECT_TRUE(Dialogs.Asked.empty());
}

TEST_F(NameChecks, BrowsingRemembersTheFolder) {
    const std::string chosen = Folder.Write("movie.mpg", "x");
    std::string edit;
    std::string last = "/nowhere";
    Dialogs.AnswerFiles({chosen});
    EXPECT_TRUE(BrowseInputFile("MPEG", "MPEG files|*.mpg", edit, last));
    EXPECT_EQ(edit, chosen);
    EXPECT_EQ(last, Folder.Path().string());
    EXPECT_EQ(Dialogs.Asked[0].Message, "Open a MPEG file");

    std::string output;
    Dialogs.Asked.clear();
    EXPECT_FALSE(BrowseOutputFile(output, "CD image", "bin", "videocd", last));
    // Cancelled without a usable name: offered once more with the default.
    EXPECT_EQ(Dialogs.Asked.size(), 2u);
    Dialogs.AnswerFiles({Folder.File("videocd.bin")});
    EXPECT_TRUE(BrowseOutputFile(output, "CD image", "bin", "videocd", last));
    EXPECT_EQ(output, Folder.File("videocd.bin"));
}

}  // namespace
