#include "environment/aspi_layer.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

const std::string CdrdaoToolFolder = "C:\\Lumora\\CDRDAO\\";
const std::string NeroFolder = "C:\\Program Files\\ahead\\Nero";

TStartupKeys Keys(TPreferredAspi preferred = TPreferredAspi::None, bool force = false) {
    TStartupKeys keys;
    keys.PreferredAspi = preferred;
    keys.ForceCdrdao = force;
    return keys;
}

}  // namespace

TEST(AspiLayer, ThisSystemGoesThroughSgIoWithoutAnyLibrary) {
    const TAspiChoice choice = ChooseAspiLayer(SystemDetectionPlatform(), Keys(TPreferredAspi::Cdrdao), "/opt/x/");
    EXPECT_EQ(choice.Layer, TAspiLayer::LinuxSgIo);
    EXPECT_EQ(static_cast<int>(choice.Layer), 5);
    EXPECT_FALSE(choice.WindowsPresent || choice.AdaptecPresent || choice.NeroPresent || choice.CdrdaoPresent);
    EXPECT_EQ(choice.InstallationClass, 11);
    EXPECT_TRUE(choice.DllPath.empty());
    EXPECT_TRUE(choice.Folder.empty());
    EXPECT_TRUE(ScsiToolsAllowedOn(choice.Layer));
    EXPECT_EQ(AspiStatusLabel(choice.Layer, choice.InstallationClass), "Linux SG_IO");
}

TEST(AspiLayer, ADllInTheCdrdaoFolderWinsWhateverIsPreferred) {
    TFakeSystem system;
    system.SystemFiles = {"WnAspi32.dll"};
    system.InstallationClass = 0;
    system.NeroFolders = {NeroFolder};
    system.DllFolders = {NeroFolder, "C:\\Lumora\\CDRDAO"};
    system.Kernel = true;
    for (TPreferredAspi preferred :
         {TPreferredAspi::None, TPreferredAspi::Windows, TPreferredAspi::Adaptec, TPreferredAspi::Nero}) {
        const TAspiChoice choice = ChooseAspiLayer(system.Platform(), Keys(preferred, true), CdrdaoToolFolder);
        EXPECT_EQ(choice.Layer, TAspiLayer::CdrdaoFolder);
        EXPECT_FALSE(choice.WindowsPresent || choice.AdaptecPresent || choice.NeroPresent);
        EXPECT_EQ(choice.Folder, "C:\\Lumora\\CDRDAO");
        EXPECT_EQ(choice.DllPath, "C:\\Lumora\\CDRDAO\\WnAspi32.dll");
    }
}

namespace {

struct TChoiceCase {
    const char* Name;
    TWindowsFamily Family;
    bool SystemDll;
    int InstallationClass;
    bool NeroDll;
    bool NeroVxd;
    TPreferredAspi Preferred;
    bool Force;
    TAspiLayer Expected;
    const char* Folder;
};

}  // namespace

TEST(AspiLayer, PreferenceThenCdrdaoNeroAdaptecAndWindowsOnlyWhenForced) {
    using enum TAspiLayer;
    const auto nt = TWindowsFamily::Nt;
    const auto w95 = TWindowsFamily::Win95;
    const std::string system = "C:\\WINDOWS\\SYSTEM32";
    const TChoiceCase cases[] = {
        {"nothing", nt, false, 10, false, false, TPreferredAspi::None, true, None, ""},
        {"windows only", nt, true, 10, false, false, TPreferredAspi::None, false, None, ""},
        {"windows only, forced", nt, true, 10, false, false, TPreferredAspi::None, true, Windows,
         "C:\\WINDOWS\\SYSTEM32"},
        {"windows preferred, not forced", nt, true, 10, false, false, TPreferredAspi::Windows, false, None, ""},
        {"adaptec full", nt, true, 2, false, false, TPreferredAspi::None, false, Adaptec, "C:\\WINDOWS\\SYSTEM32"},
        {"adaptec minimal on NT", nt, false, 6, false, false, TPreferredAspi::None, false, Adaptec,
         "C:\\WINDOWS\\SYSTEM32"},
        {"adaptec minimal on 95 does not count", w95, true, 6, false, false, TPreferredAspi::None, false, None, ""},
        {"adaptec only dll (8) does not count", nt, true, 8, false, false, TPreferredAspi::None, true, Windows,
         "C:\\WINDOWS\\SYSTEM32"},
        {"nero before adaptec", nt, true, 0, true, false, TPreferredAspi::None, false, Nero, "D:\\Nero"},
        {"adaptec preferred over nero", nt, true, 0, true, false, TPreferredAspi::Adaptec, false, Adaptec,
         "C:\\WINDOWS\\SYSTEM32"},
        {"windows preferred and forced beside nero", nt, true, 10, true, false, TPreferredAspi::Windows, true, Windows,
         "C:\\WINDOWS\\SYSTEM32"},
        {"windows preferred but superseded by adaptec", nt, true, 1, false, false, TPreferredAspi::Windows, true,
         Adaptec, "C:\\WINDOWS\\SYSTEM32"},
        {"nero on 95 needs its vxd", w95, false, 10, true, false, TPreferredAspi::Nero, false, None, ""},
        {"nero on 95 with its vxd", w95, false, 10, true, true, TPreferredAspi::Nero, false, Nero, "D:\\Nero"},
        {"windows family other ignores the system dll", TWindowsFamily::Other, true, 11, false, false,
         TPreferredAspi::None, true, None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeSystem fake;
        fake.Family = c.Family;
        fake.SystemFolder = system;
        if (c.SystemDll) fake.SystemFiles.insert("WnAspi32.dll");
        if (c.NeroVxd) fake.SystemFiles.insert("IOSUBSYS\\NEROAPIX.VXD");
        fake.InstallationClass = c.InstallationClass;
        // The first Nero place has no dll; the second one has it when asked.
        fake.NeroFolders = {"", "C:\\Program Files\\ahead\\Nero", "D:\\Nero\\"};
        if (c.NeroDll) fake.DllFolders.insert("D:\\Nero");
        const TAspiChoice choice = ChooseAspiLayer(fake.Platform(), Keys(c.Preferred, c.Force), CdrdaoToolFolder);
        EXPECT_EQ(choice.Layer, c.Expected);
        EXPECT_EQ(choice.Folder, c.Folder);
        EXPECT_EQ(choice.DllPath, std::string(c.Folder).empty() ? "" : std::string(c.Folder) + "\\WnAspi32.dll");
    }
}

TEST(AspiLayer, ForceNoCdrdaoHoldsUntilANewLayerAppears) {
    TFakeSystem fake;
    fake.NeroFolders = {NeroFolder};
    fake.DllFolders = {NeroFolder};
    TStartupKeys keys = Keys(TPreferredAspi::Nero, true);
    keys.ForceNoCdrdao = true;

    keys.AspiNeroWasOk = true;  // Nero was there last time: the user's switch stands
    TAspiChoice choice = ChooseAspiLayer(fake.Platform(), keys, CdrdaoToolFolder);
    EXPECT_TRUE(choice.ForceNoCdrdao);
    EXPECT_FALSE(choice.ForceCdrdao);
    EXPECT_EQ(choice.Preferred, TPreferredAspi::Nero);

    keys.AspiNeroWasOk = false;  // Nero is new: try cdrdao again, preference forgotten
    choice = ChooseAspiLayer(fake.Platform(), keys, CdrdaoToolFolder);
    EXPECT_FALSE(choice.ForceNoCdrdao);
    EXPECT_TRUE(choice.ForceCdrdao);
    EXPECT_EQ(choice.Preferred, TPreferredAspi::None);
    EXPECT_EQ(choice.Layer, TAspiLayer::Nero);
}

TEST(AspiLayer, ReportingNamesAndLabels) {
    struct TCase {
        TAspiLayer Layer;
        int Class;
        const char* Name;
        const char* Label;
    };
    const TCase cases[] = {
        {TAspiLayer::None, 10, "AspiNone", "No ASPI"},
        {TAspiLayer::Windows, 10, "AspiWindows", "Windows ASPI"},
        {TAspiLayer::Adaptec, 0, "AspiAdaptec460Full", "Adaptec v4.60 ASPI"},
        {TAspiLayer::Adaptec, 3, "AspiAdaptecSup471Full", "Adaptec v > 4.71 ASPI"},
        {TAspiLayer::Adaptec, 5, "AspiAdaptec470Min", "Adaptec v4.70 Min ASPI"},
        {TAspiLayer::Adaptec, 6, "AspiAdaptec471Min", "Adaptec v4.71 Min ASPI"},
        {TAspiLayer::Nero, 10, "AspiNero", "Nero ASPI"},
        {TAspiLayer::CdrdaoFolder, 10, "AspiCdrdao", "CDRDAO ASPI"},
        {TAspiLayer::LinuxSgIo, 11, "Linux SG_IO", "Linux SG_IO"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AspiReportingName(c.Layer, c.Class), c.Name);
        EXPECT_EQ(AspiStatusLabel(c.Layer, c.Class), c.Label);
    }
    EXPECT_FALSE(ScsiToolsAllowedOn(TAspiLayer::None));
    EXPECT_FALSE(ScsiToolsAllowedOn(TAspiLayer::Windows));
    EXPECT_TRUE(ScsiToolsAllowedOn(TAspiLayer::Adaptec));
    EXPECT_TRUE(ScsiToolsAllowedOn(TAspiLayer::Nero));
    EXPECT_TRUE(ScsiToolsAllowedOn(TAspiLayer::CdrdaoFolder));
}
