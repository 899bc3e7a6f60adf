#include "environment/tools_detection.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fake_platform.h"
#include "fake_tools.h"
#include "services/services.h"
#include "support/folders_scope.h"
#include "support/scripted_dialogs.h"

namespace {

const char* const DontShowCaption = "Don't show this message again";

class ToolsDetection : public ::testing::Test {
protected:
    TScriptedDialogs Dialogs;
    TServicesScope Services{nullptr, &Dialogs};
    TFakeTools Fake;
    TDetectionOptions Options;
    TDetectedTools Tools;

    void SetUp() override {
        Options.ProgramFolder = Fake.Folder();
        Options.SearchPath = "";  // the sub-folders only, never the tools on PATH
        Options.QueryTimeoutMs = 5000;
    }

    bool Detect() { return DetectTools(Options, Tools); }
    // Runs again with the answers the user gave last time remembered.
    bool DetectAgain() {
        Options.DoNotShow = Tools.DoNotShow;
        Dialogs.Asked.clear();
        return Detect();
    }
};

}  // namespace

TEST_F(ToolsDetection, ToolsInTheProgramSubFoldersAreFoundWithoutAWord) {
    Fake.All();
    Options.Keys.EnableAspiTools = true;
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_EQ(Tools.ProgramFolder, Fake.Folder());
    EXPECT_EQ(Tools.VcdImagerFolder, Fake.Folder() + "VCDImager/");
    EXPECT_EQ(Tools.VcdImagerVersion, "GNU VCDImager 2.0.1");
    EXPECT_TRUE(Tools.VcdImagerAvailable);
    EXPECT_EQ(Tools.VcdImagerBanner, banners::VcdxBuild201);
    EXPECT_EQ(Tools.CdrdaoFolder, Fake.Folder() + "CDRDAO/");
    EXPECT_EQ(Tools.CdrdaoVersion, "Cdrdao version 1.2.4");
    EXPECT_EQ(Tools.CdrdaoVersionCode, 3);
    EXPECT_TRUE(Tools.CdrdaoInstalled);
    EXPECT_EQ(Tools.CdrdaoBanner, (TStringList{"Cdrdao version 1.2.4 - (C) Andreas Mueller <andreas@daneb.de>"}));
    EXPECT_EQ(Tools.AspiLayer, TAspiLayer::LinuxSgIo);
    EXPECT_TRUE(Tools.AspiFolder.empty());
    EXPECT_TRUE(Tools.ScsiToolsAllowed);
    EXPECT_TRUE(Tools.ScsiToolsEnabled);
    EXPECT_EQ(Tools.MjpegToolsFolder, Fake.Folder() + "Mjpegtools/");
    EXPECT_EQ(Tools.MplexVersion, "2.1.0 (2.2.7)");
    EXPECT_EQ(Tools.MjpegToolsVersionCode, 2);
    EXPECT_TRUE(Tools.MjpegToolsAvailable);
    EXPECT_EQ(VcdImagerStatusText(Tools), "GNU VCDImager 2.0.1");
    EXPECT_EQ(CdrdaoStatusText(Tools), "Cdrdao version 1.2.4");

    Options.Keys.EnableAspiTools = false;
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(Tools.ScsiToolsAllowed);
    EXPECT_FALSE(Tools.ScsiToolsEnabled);
}

TEST_F(ToolsDetection, ToolsOnTheSearchPathWhenTheSubFoldersLackThem) {
    Fake.VcdImager(banners::VcdxBuild201, "bin");
    Fake.Cdrdao(banners::Cdrdao124, "bin");
    Fake.MjpegTools(banners::Mplex210, "other");
    Fake.VcdImager(banners::VcdxBuild0711, "later");  // a later PATH entry does not count
    Options.SearchPath = "relative/bin:" + Fake.Folder() + "bin:" + Fake.Folder() + "other/:" + Fake.Folder() + "later";
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_EQ(Tools.VcdImagerFolder, Fake.Folder() + "bin/");
    EXPECT_EQ(Tools.CdrdaoFolder, Fake.Folder() + "bin/");
    EXPECT_EQ(Tools.MjpegToolsFolder, Fake.Folder() + "other/");
}

TEST_F(ToolsDetection, WithoutVcdImagerTheProgramEndsAfterAnErrorBox) {
    Fake.Cdrdao();
    EXPECT_FALSE(Detect());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "message");
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Error);
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "\"vcdxbuild\" (from GNU VCDImager) not found... \r\rSome files required by Lumora are missing... \r"
              "Please, install the Lumora full distribution to have all the required files.     ");
    EXPECT_FALSE(Fake.Ran("CDRDAO/cdrdao"));
    EXPECT_FALSE(Tools.VcdImagerAvailable);
}

TEST_F(ToolsDetection, AMissingCompanionToolEndsTheProgram) {
    Fake.VcdImager();
    std::filesystem::remove(Fake.Folder() + "VCDImager/vcdxrip");
    EXPECT_FALSE(Detect());
    EXPECT_EQ(Dialogs.Messages(), (std::vector<std::string>{"\r\"vcdxrip\" must be in the folder \"" + Fake.Folder() +
                                                            "VCDImager/\".  \r"}));
    EXPECT_FALSE(Tools.VcdImagerAvailable);
}

TEST_F(ToolsDetection, AnOldVcdImagerEndsTheProgramAfterItsMessageOrSilentlyWhenSuppressed) {
    Fake.VcdImager(banners::VcdxBuild0711);
    Fake.Cdrdao();
    Dialogs.Answer(TModalResult::OK, true);  // the user ticks "don't show again"
    EXPECT_FALSE(Detect());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "advanced");
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Information);
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "\rThis Lumora version supports only the version 0.7.12, 2.0.x of \"GNU VCDImager\"...   ");
    EXPECT_EQ(Dialogs.Asked[0].CheckBoxCaption, DontShowCaption);
    EXPECT_TRUE(Dialogs.Asked[0].HelpPage.empty());
    EXPECT_TRUE(Tools.DoNotShow.BadVcdImager);
    EXPECT_TRUE(Tools.VcdImagerFolder.empty());
    EXPECT_TRUE(Tools.VcdImagerVersion.empty());
    EXPECT_FALSE(Fake.Ran("CDRDAO/cdrdao"));

    EXPECT_FALSE(DetectAgain());
    EXPECT_TRUE(Dialogs.Asked.empty());
}

TEST_F(ToolsDetection, AVersionQueryThatFailsOrHangsCountsAsUnsupported) {
    struct TCase {
        const char* Name;
        int ExitCode;
        std::string Extra;
    };
    const TCase cases[] = {
        {"exit code 1", 1, ""},
        {"hangs", 0, "exec sleep 30\n"},
    };
    Options.QueryTimeoutMs = 300;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Fake.VcdImager();
        Fake.Tool("VCDImager/vcdxbuild", banners::VcdxBuild201, c.ExitCode, c.Extra);
        Dialogs.Asked.clear();
        EXPECT_FALSE(Detect());
        ASSERT_EQ(Dialogs.Asked.size(), 1u);
        EXPECT_TRUE(ContainsText(Dialogs.Asked[0].Message, "supports only the version")) << Dialogs.Asked[0].Message;
    }
}

TEST_F(ToolsDetection, ForceNoCdrdaoKeepsCdrdaoOffSilently) {
    Fake.All();
    Options.Keys.ForceNoCdrdao = true;
    Options.Keys.ForceCdrdao = true;
    Options.Keys.EnableAspiTools = true;
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_FALSE(Fake.Ran("CDRDAO/cdrdao"));
    EXPECT_FALSE(Tools.CdrdaoInstalled);
    EXPECT_EQ(Tools.CdrdaoVersionCode, 0);
    EXPECT_TRUE(Tools.ForceNoCdrdao);
    EXPECT_FALSE(Tools.ForceCdrdao);
    EXPECT_FALSE(Tools.ScsiToolsEnabled);
    EXPECT_EQ(CdrdaoStatusText(Tools), "CDRDAO disabled");
    EXPECT_TRUE(Tools.MjpegToolsAvailable);
}

TEST_F(ToolsDetection, OnlyWindowsOwnLayerDisablesCdrdaoWithAMessageUntilTicked) {
    Fake.All();
    Fake.Root.Write("Lumora/Docs/UnknownAspi.htm", "<html></html>");
    TFakeSystem system;
    system.SystemFiles = {"WnAspi32.dll"};
    const TDetectionPlatform platform = system.Platform();
    Options.Platform = &platform;
    Dialogs.Answer(TModalResult::OK, false);
    Dialogs.Answer(TModalResult::OK, true);

    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(DetectAgain());
        EXPECT_FALSE(Fake.Ran("CDRDAO/cdrdao"));
        EXPECT_FALSE(Tools.CdrdaoInstalled);
        EXPECT_EQ(Tools.AspiLayer, TAspiLayer::None);
        EXPECT_EQ(CdrdaoStatusText(Tools), "CDRDAO disabled");
    }
    // Shown at the first two starts (ticked at the second), not at the third.
    ASSERT_TRUE(DetectAgain());
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_TRUE(Tools.DoNotShow.CdrdaoDisabled);
}

TEST_F(ToolsDetection, TheCdrdaoDisabledMessageNamesItsHelpPage) {
    // Help pages are looked up in the program's own folder.
    TFoldersScope folders{(Fake.Root.Path() / "Lumora").string(), Fake.Root.File("config")};
    Fake.All();
    Fake.Root.Write("Lumora/Docs/UnknownAspi.htm", "<html></html>");
    TFakeSystem system;
    system.SystemFiles = {"WnAspi32.dll"};
    const TDetectionPlatform platform = system.Platform();
    Options.Platform = &platform;
    ASSERT_TRUE(Detect());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "advanced");
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "CDRDAO (burning) has been disabled, as I am not sure it will work with your ASPI drivers    \r\r"
              "Go to the \"settings\" page to enable it yourself if you want to try...    ");
    EXPECT_EQ(Dialogs.Asked[0].HelpPage, Fake.Folder() + "Docs/UnknownAspi.htm");
    EXPECT_EQ(Dialogs.Asked[0].CheckBoxCaption, DontShowCaption);

    // Without any library in the system folder the message is about the missing library.
    system.SystemFiles.clear();
    Dialogs.Asked.clear();
    ASSERT_TRUE(Detect());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "\"WnAspi32.dll\" not found... \rThe ASPI layer (required by CDRDAO) may be missing or not be installed "
              "correctly    \r\r\rCDRDAO support is disabled");
    EXPECT_TRUE(Dialogs.Asked[0].HelpPage.empty());  // no WinAspi page shipped in this folder
}

TEST_F(ToolsDetection, WindowsOwnLayerWithForceCdrdaoRunsCdrdaoWithoutDriveTools) {
    Fake.Cdrdao(banners::Cdrdao("1.1.7", true));
    Fake.VcdImager(banners::VcdxBuild0712);
    TFakeSystem system;
    system.SystemFiles = {"WnAspi32.dll"};
    const TDetectionPlatform platform = system.Platform();
    Options.Platform = &platform;
    Options.Rules = TVersionRules::Windows;
    Options.Keys.ForceCdrdao = true;
    Options.Keys.EnableAspiTools = true;
    Options.DoNotShow.NoMjpeg = true;
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_EQ(Tools.AspiLayer, TAspiLayer::Windows);
    EXPECT_EQ(Tools.AspiDllPath, "C:\\WINDOWS\\SYSTEM32\\WnAspi32.dll");
    EXPECT_TRUE(Tools.CdrdaoInstalled);
    EXPECT_EQ(Tools.CdrdaoVersionCode, 2);
    EXPECT_FALSE(Tools.ScsiToolsAllowed);
    EXPECT_FALSE(Tools.ScsiToolsEnabled);

    Options.Keys.ExpertForceEnableAspiTools = true;
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(Tools.ScsiToolsEnabled);
}

TEST_F(ToolsDetection, ALibraryInTheCdrdaoFolderWinsOverEveryOtherLayer) {
    Fake.All();
    TFakeSystem system;
    system.SystemFiles = {"WnAspi32.dll"};
    system.InstallationClass = 2;
    system.NeroFolders = {"C:\\Nero"};
    system.DllFolders = {"C:\\Nero", Fake.Folder() + "CDRDAO"};
    system.Kernel = true;
    const TDetectionPlatform platform = system.Platform();
    Options.Platform = &platform;
    Options.Keys.PreferredAspi = TPreferredAspi::Nero;
    Options.Keys.EnableAspiTools = true;
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_EQ(Tools.AspiLayer, TAspiLayer::CdrdaoFolder);
    EXPECT_EQ(Tools.AspiFolder, Fake.Folder() + "CDRDAO");
    EXPECT_EQ(Tools.AspiDllPath, Fake.Folder() + "CDRDAO/WnAspi32.dll");
    EXPECT_TRUE(Tools.AspiCdrdaoPresent);
    EXPECT_FALSE(Tools.AspiNeroPresent || Tools.AspiAdaptecPresent || Tools.AspiWindowsPresent);
    EXPECT_TRUE(Tools.CdrdaoInstalled);
    EXPECT_TRUE(Tools.ScsiToolsEnabled);
}

TEST_F(ToolsDetection, CdrdaoVersionsUnderBothRules) {
    struct TCase {
        const char* Name;
        TStringList Banner;
        TVersionRules Rules;
        std::uint8_t Code;
        const char* Message;  // empty: none
    };
    const std::string only1 = "\rThis Lumora version supports only the versions 1.1.5 and 1.1.7 of \"CDRDAO\"";
    const std::string only2 = "\rThis Lumora version supports only the versions 1.1.5, 1.1.7 and 1.2.x of \"CDRDAO\"";
    const TCase cases[] = {
        {"1.1.5", banners::Cdrdao("1.1.5", false), TVersionRules::Windows, 1, ""},
        {"1.1.6 on Windows", banners::Cdrdao("1.1.6", true), TVersionRules::Windows, 0, only1.c_str()},
        {"1.1.6 here", banners::Cdrdao("1.1.6", true), TVersionRules::Posix, 0, only2.c_str()},
        {"1.1.7", banners::Cdrdao("1.1.7", true), TVersionRules::Posix, 2, ""},
        {"1.2.4 on Windows", banners::Cdrdao124, TVersionRules::Windows, 0, ""},
        {"1.2.4 here", banners::Cdrdao124, TVersionRules::Posix, 3, ""},
    };
    Fake.VcdImager(banners::VcdxBuild0712);
    Fake.MjpegTools();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Fake.Cdrdao(c.Banner);
        Options.Rules = c.Rules;
        Options.Keys.ForceCdrdao = true;
        Dialogs.Asked.clear();
        ASSERT_TRUE(Detect());
        EXPECT_EQ(Tools.CdrdaoVersionCode, c.Code);
        EXPECT_EQ(Tools.CdrdaoInstalled, c.Code != 0);
        EXPECT_EQ(Tools.ScsiToolsAllowed, c.Code != 0);
        // An unusable cdrdao is not forced on again.
        EXPECT_EQ(Tools.ForceCdrdao, c.Code != 0);
        const std::string message = c.Message;
        std::vector<std::string> expected;
        if (!message.empty()) expected.push_back(message);
        // mplex 2.x is refused on Windows rules: that message comes after.
        if (c.Rules == TVersionRules::Windows)
            expected.push_back("\rThis Lumora version supports only the version 1.6.x of \"Mjpegtools Mplex\"");
        EXPECT_EQ(Dialogs.Messages(), expected);
        EXPECT_EQ(CdrdaoStatusText(Tools), c.Code ? Tools.CdrdaoVersion : std::string("No CDRDAO"));
    }
}

TEST_F(ToolsDetection, WithoutCdrdaoOnlyBurningIsOff) {
    Fake.VcdImager();
    Fake.MjpegTools();
    Dialogs.Answer(TModalResult::OK, true);
    ASSERT_TRUE(Detect());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "advanced");
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "\"CDRDAO\" not found. \r\rIf you want to burn with Lumora... \r"
              "Please, install the Lumora full distribution to have all the required files.     ");
    EXPECT_TRUE(Tools.DoNotShow.NoCdrdao);
    EXPECT_EQ(CdrdaoStatusText(Tools), "No CDRDAO");
    EXPECT_EQ(Tools.AspiLayer, TAspiLayer::None);
    EXPECT_TRUE(Tools.MjpegToolsAvailable);
    ASSERT_TRUE(DetectAgain());
    EXPECT_TRUE(Dialogs.Asked.empty());
}

TEST_F(ToolsDetection, TheWin95FamilyIsWarnedAboutAutoInsertNotification) {
    Fake.All();
    TFakeSystem system;
    system.Family = TWindowsFamily::Win95;
    system.SystemFolder = "C:\\WINDOWS\\SYSTEM";
    system.InstallationClass = 1;
    const TDetectionPlatform platform = system.Platform();
    Options.Platform = &platform;
    ASSERT_TRUE(Detect());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Warning);
    EXPECT_EQ(Dialogs.Asked[0].Message,
              "\rIf the \"Auto Insert Notification\" of your CD device is ON, your PC may hang during CD read "
              "operations.\rIf so, check OFF \"Auto Insert Notification\" of your CD device.\r");
    EXPECT_EQ(Tools.AspiLayer, TAspiLayer::Adaptec);
    EXPECT_TRUE(Tools.CdrdaoInstalled);
}

TEST_F(ToolsDetection, MjpegToolsProblemsOnlyTurnStillCreationOff) {
    struct TCase {
        const char* Name;
        bool Install;
        TStringList Banner;
        const char* Remove;
        std::string Message;
    };
    const TCase cases[] = {
        {"missing",
         false,
         {},
         "",
         "\"MJPEG Tools\" not found. \r\rIf you want to create some MPEG pictures with Lumora... \r"
         "Please, install the Lumora full distribution to have all the required files.     "},
        {"old mplex",
         true,
         {"mjpegtools mplex version 1.4.1"},
         "",
         "\rThis Lumora version supports only the version 1.6.x, 2.x of \"Mjpegtools Mplex\""},
        {"no mpeg2enc", true, banners::Mplex210, "mpeg2enc",
         "\r\"mpeg2enc\" must be in the folder \"" + Fake.Folder() + "Mjpegtools/\".  \r"},
    };
    Fake.VcdImager();
    Fake.Cdrdao();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove_all(Fake.Folder() + "Mjpegtools");
        if (c.Install) Fake.MjpegTools(c.Banner);
        if (*c.Remove) std::filesystem::remove(Fake.Folder() + "Mjpegtools/" + c.Remove);
        Dialogs.Asked.clear();
        ASSERT_TRUE(Detect());
        EXPECT_EQ(Dialogs.Messages(), (std::vector<std::string>{c.Message}));
        EXPECT_FALSE(Tools.MjpegToolsAvailable);
        EXPECT_TRUE(Tools.MjpegToolsFolder.empty());
        EXPECT_EQ(Tools.MjpegToolsVersionCode, 0);
        EXPECT_TRUE(Tools.CdrdaoInstalled);
    }
}

TEST(ToolsDetectionFolders, AFolderThatWouldBreakACommandLineIsRefused) {
    struct TCase {
        const char* Program;
        const char* Shown;
        bool VcdImagerRefused;
    };
    const TCase cases[] = {
        {"Lu\"mora", "\"", true},         {"Lu\\mora", "\\", true}, {"Lu\tmora", "tab", true},
        {"Lu\nmora", "line break", true}, {"Lu$mora", "$", false},  // only the shell lines of the stills mind it
        {"Lu'mora", "'", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Shown);
        TScriptedDialogs dialogs;
        TServicesScope services{nullptr, &dialogs};
        TFakeTools fake(c.Program);
        fake.All();
        TDetectionOptions options;
        options.ProgramFolder = fake.Folder();
        options.SearchPath = "";
        TDetectedTools tools;
        EXPECT_EQ(DetectTools(options, tools), !c.VcdImagerRefused);
        ASSERT_EQ(dialogs.Asked.size(), 1u);
        EXPECT_EQ(dialogs.Asked[0].Type, TMsgDlgType::Error);
        const std::string folder = fake.Folder() + (c.VcdImagerRefused ? "VCDImager/" : "Mjpegtools/");
        EXPECT_EQ(dialogs.Asked[0].Message,
                  "\rThe " + std::string(c.Shown) + " character is not allowed in:\r\r   " + folder + "\r");
        EXPECT_FALSE(tools.MjpegToolsAvailable);
        EXPECT_FALSE(fake.Ran("VCDImager/vcdxbuild") && c.VcdImagerRefused);
    }
}

TEST_F(ToolsDetection, ForcingCdrdaoWithoutAnyLayerStillTurnsItOffWithAPlainBox) {
    Fake.All();
    TFakeSystem system;  // no library, no installed layer, no kernel access
    const TDetectionPlatform platform = system.Platform();
    Options.Platform = &platform;
    Options.Keys.ForceCdrdao = true;
    ASSERT_TRUE(Detect());
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, "message");
    EXPECT_EQ(Dialogs.Asked[0].Type, TMsgDlgType::Information);
    EXPECT_TRUE(StartsWith(Dialogs.Asked[0].Message, "\"WnAspi32.dll\" not found... \r"));
    EXPECT_FALSE(Fake.Ran("CDRDAO/cdrdao"));
    EXPECT_FALSE(Tools.CdrdaoInstalled);
    EXPECT_FALSE(Tools.ForceCdrdao);
    EXPECT_EQ(CdrdaoStatusText(Tools), "CDRDAO disabled");
}
