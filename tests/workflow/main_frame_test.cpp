#include "workflow/main_frame.h"

#include <gtest/gtest.h>

#include "settings/gui_settings.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"
#include "workflow/settings_pages.h"

namespace {

TEST(MainFrame, PagesBelongToTheirGroups) {
    for (int id : {0, 1, 2, 3, 8}) EXPECT_EQ(GroupOfPage(id), GroupSvcd) << id;
    for (int id : {4, 5, 6, 10}) EXPECT_EQ(GroupOfPage(id), GroupTools) << id;
    for (int id : {7, 9}) EXPECT_EQ(GroupOfPage(id), GroupLog) << id;
    EXPECT_FALSE(GroupOfPage(11).has_value());
    EXPECT_FALSE(GroupOfPage(-1).has_value());
}

TEST(MainFrame, ToolsGroupAndTabsFollowTheTools) {
    TFrameAvailability none;
    EXPECT_FALSE(ToolsGroupVisible(none));
    for (int id : {4, 5, 6, 10}) EXPECT_FALSE(TabVisible(id, none)) << id;
    TFrameAvailability cdrdaoOnly;
    cdrdaoOnly.CdrdaoVersionCode = 3;
    EXPECT_TRUE(ToolsGroupVisible(cdrdaoOnly));
    EXPECT_TRUE(TabVisible(PageCdrdaoTools, cdrdaoOnly));
    EXPECT_FALSE(TabVisible(PageBuildRip, cdrdaoOnly));
    TFrameAvailability noPbc;
    noPbc.PbcEnabledAndChecked = false;
    EXPECT_FALSE(TabVisible(PageNavigation, noPbc));
    EXPECT_TRUE(TabVisible(PageLog, noPbc));
}

TEST(MainFrame, GoPanelFollowsTheGroupUnlessCancelling) {
    EXPECT_TRUE(GoPanelVisible(false, GroupSvcd));
    EXPECT_FALSE(GoPanelVisible(false, GroupTools));
    EXPECT_TRUE(GoPanelVisible(false, GroupLog));
    EXPECT_TRUE(GoPanelVisible(true, GroupTools));
}

TEST(MainFrame, OneCancelPerQueue) {
    using TAction = TGoCancelState::TAction;
    TGoCancelState state;
    EXPECT_EQ(state.Click(false), TAction::Start);
    EXPECT_EQ(state.Click(true), TAction::None);  // running but not cancellable
    state.QueueBegin();
    state.CancelEnable(true);
    EXPECT_EQ(state.Click(true), TAction::Cancel);
    EXPECT_EQ(state.Click(true), TAction::None);
    state.AllDone();
    EXPECT_FALSE(state.CancelMode());
    state.QueueBegin();
    state.CancelEnable(true);
    EXPECT_EQ(state.Click(true), TAction::Cancel);
}

TEST(MainFrame, MainSettingsRoundTripThroughTheIniFile) {
    TTempFolder folder;
    TFoldersScope folders{folder.File("program"), folder.File("config")};
    TMainWindowSettings state;
    {
        TSettings store;
        DeclareGuiSettings(store, "");
        SetMainDefaults(store);
        store.Load();
        state = ApplyMainSettings(store);
        EXPECT_EQ(state.VcdType, "Vcd20");
        EXPECT_TRUE(state.PerformComplianceChecks);
        state.VcdType = "Svcd";
        state.CdImageTypeAsTool = "toc";
        state.RipNoFiles = true;
        state.TvSystem = "NTSC";
        state.UsePbc = false;
        state.UsePbcEnabled = false;  // not written
        StoreMainSettings(state, store);
        ASSERT_TRUE(store.Save());
    }
    TSettings store;
    DeclareGuiSettings(store, "");
    SetMainDefaults(store);
    store.Load();
    const TMainWindowSettings loaded = ApplyMainSettings(store);
    EXPECT_EQ(loaded.VcdType, "Svcd");
    EXPECT_EQ(loaded.CdImageTypeAsTool, "Toc");
    EXPECT_TRUE(loaded.RipNoFiles);
    EXPECT_EQ(loaded.TvSystem, "NTSC");
    EXPECT_TRUE(loaded.UsePbc);
}

TEST(MainFrame, StoredNamesAreReadLeniently) {
    EXPECT_EQ(NormalVcdType("Vcd11"), "Vcd11");
    EXPECT_EQ(NormalVcdType("svcd"), "Vcd20");
    EXPECT_EQ(NormalImageTypeAsTool("ADVCUE"), "AdvCue");
    EXPECT_EQ(NormalImageTypeAsTool("toast"), "Cue");
}

TEST(SettingsPages, ToastThenBinCueGivesThePregapBackAndKeepsTheStoredValue) {
    TToastPregap pregap;
    pregap.SetUserValue(175);
    pregap.CdImageTypeChanged(true);
    EXPECT_EQ(pregap.Shown(), 152);
    EXPECT_EQ(pregap.Stored(), 175);
    pregap.CdImageTypeChanged(false);
    EXPECT_EQ(pregap.Shown(), 175);
}

TEST(SettingsPages, AspiToolsStoredFalseWhenNotAllowed) {
    TSettings store;
    DeclareGuiSettings(store, "");
    TAuthoringSettingsModel model;
    model.Availability = {.CdrdaoFolderFound = true, .CdrdaoSupported = true, .ScsiToolsAllowed = false};
    model.DefaultSettings(store);
    model.LoadSettings(store);
    EXPECT_TRUE(model.IntegratedBurning);
    model.EnableAspiTools = true;
    EXPECT_FALSE(model.AspiToolsEnabled());
    model.SaveSettings(store);
    EXPECT_FALSE(store.GetBool("EnableAspiTools", true));
    EXPECT_TRUE(store.GetBool("ForceCdrdao"));
}

TEST(SettingsPages, ImageTypesByName) {
    TSettings store;
    DeclareGuiSettings(store, "");
    TCdImageSettingsModel model;
    store.SetValue("CdImageType", std::string("toast"));
    model.LoadSettings(store);
    EXPECT_EQ(model.ImageType, 3);
    model.ImageType = 1;
    model.SaveSettings(store);
    EXPECT_EQ(store.GetString("CdImageType"), "AdvCue");
    EXPECT_EQ(ImageTypeCode("bogus"), 0);
}

}  // namespace
