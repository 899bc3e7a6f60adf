#include <gtest/gtest.h>

#include <algorithm>

#include "environment/tools_detection.h"
#include "fake_tools.h"
#include "services/services.h"
#include "settings/gui_settings.h"
#include "support/folders_scope.h"
#include "support/scripted_dialogs.h"

TEST(DetectionState, TheChoicesComeBackAtTheNextStartThroughTheIniFile) {
    TTempFolder program;
    TFoldersScope folders{program.Path().string(), program.File("config")};
    program.Write("Lumora.ini", "[Lumora]\nForceCdrdao=1\nDoNotShowBadCdrDaoAgain=1\nPreferredAspi= Nero \n");

    TDetectionOptions first = ReadDetectionOptions();
    EXPECT_TRUE(first.Keys.ForceCdrdao);
    EXPECT_FALSE(first.Keys.ForceNoCdrdao);
    EXPECT_EQ(first.Keys.PreferredAspi, TPreferredAspi::Nero);
    EXPECT_TRUE(first.DoNotShow.BadCdrdao);
    EXPECT_FALSE(first.DoNotShow.CdrdaoDisabled);

    TDetectedTools tools;
    tools.DoNotShow.BadCdrdao = true;
    tools.DoNotShow.CdrdaoDisabled = true;  // ticked during this run
    tools.DoNotShow.NoMjpeg = true;
    tools.ForceNoCdrdao = true;
    tools.ForceCdrdao = false;
    tools.AspiNeroPresent = true;
    TSettings store;
    DeclareGuiSettings(store, "");
    store.Load();
    StoreDetectionChoices(tools, store);
    ASSERT_TRUE(store.Save());

    const TDetectionOptions next = ReadDetectionOptions();
    EXPECT_TRUE(next.DoNotShow.BadCdrdao);
    EXPECT_TRUE(next.DoNotShow.CdrdaoDisabled);
    EXPECT_TRUE(next.DoNotShow.NoMjpeg);
    EXPECT_FALSE(next.DoNotShow.NoAspiDll);
    EXPECT_FALSE(next.DoNotShow.BadVcdImager);
    EXPECT_TRUE(next.Keys.ForceNoCdrdao);
    EXPECT_FALSE(next.Keys.ForceCdrdao);
    EXPECT_TRUE(next.Keys.AspiNeroWasOk);
    EXPECT_FALSE(next.Keys.AspiWindowsWasOk);
    EXPECT_EQ(next.Keys.PreferredAspi, TPreferredAspi::Nero);  // not the detection's to write
}

TEST(DetectionState, TheCheckLinesTellWhatWasFound) {
    TScriptedDialogs dialogs;
    TServicesScope services{nullptr, &dialogs};
    TFakeTools fake;
    fake.VcdImager();
    fake.Cdrdao();
    TDetectionOptions options;
    options.ProgramFolder = fake.Folder();
    options.SearchPath = "";
    options.DoNotShow.NoMjpeg = true;
    TDetectedTools tools;
    ASSERT_TRUE(DetectTools(options, tools));
    const std::string folder = fake.Folder();
    EXPECT_EQ(ToolsCheckLines(tools), (TStringList{
                                          "Program folder: " + folder,
                                          "VCDImager folder: " + folder + "VCDImager/",
                                          "VCDImager version: GNU VCDImager 2.0.1",
                                          "VCDImager available: yes",
                                          "cdrdao folder: " + folder + "CDRDAO/",
                                          "cdrdao version: Cdrdao version 1.2.4",
                                          "cdrdao version code: 3",
                                          "cdrdao installed: yes",
                                          "cdrdao status: Cdrdao version 1.2.4",
                                          "mjpegtools folder: (none)",
                                          "mplex version: (none)",
                                          "mjpegtools version code: 0",
                                          "mjpegtools available: no",
                                          "SCSI layer: Linux SG_IO (code 5)",
                                          "SCSI drive tools allowed: yes",
                                          "SCSI drive tools enabled: no",
                                          "Media player: checked by the window front end",
                                      }));
}

TEST(DetectionState, TheRealToolsOnThePath) {
    TScriptedDialogs dialogs;
    TServicesScope services{nullptr, &dialogs};
    TTempFolder program;  // no sub-folders: everything comes from PATH
    TDetectionOptions options;
    options.ProgramFolder = program.Path().string();
    options.Keys.EnableAspiTools = true;
    ASSERT_TRUE(DetectTools(options));
    const TDetectedTools& tools = DetectedTools();
    EXPECT_TRUE(dialogs.Asked.empty()) << dialogs.Asked.front().Message;

    EXPECT_TRUE(tools.VcdImagerAvailable);
    EXPECT_TRUE(StartsWith(tools.VcdImagerVersion, "GNU VCDImager 2.0.")) << tools.VcdImagerVersion;
    EXPECT_TRUE(StartsWith(tools.VcdImagerFolder, "/")) << tools.VcdImagerFolder;
    EXPECT_TRUE(StartsText(tools.VcdImagerBanner.front(), "vcdxbuild"));

    EXPECT_TRUE(tools.CdrdaoInstalled);
    EXPECT_EQ(tools.CdrdaoVersionCode, 3);
    EXPECT_TRUE(StartsWith(tools.CdrdaoVersion, "Cdrdao version 1.2.")) << tools.CdrdaoVersion;
    EXPECT_EQ(tools.AspiLayer, TAspiLayer::LinuxSgIo);
    EXPECT_TRUE(tools.ScsiToolsEnabled);

    EXPECT_TRUE(tools.MjpegToolsAvailable);
    EXPECT_EQ(tools.MjpegToolsVersionCode, 2);
    EXPECT_TRUE(StartsWith(tools.MplexVersion, "2.")) << tools.MplexVersion;

    const TStringList lines = ToolsCheckLines(tools);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "cdrdao version code: 3"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "SCSI layer: Linux SG_IO (code 5)"), lines.end());
}
