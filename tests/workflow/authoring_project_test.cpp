#include "workflow/authoring_project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "environment/detected_tools.h"
#include "services/services.h"
#include "settings/gui_settings.h"
#include "support/folders_scope.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "writers/project_file.h"

namespace fs = std::filesystem;

namespace {

class AuthoringProject : public ::testing::Test {
protected:
    TTempFolder Folder;
    TFoldersScope Folders{Folder.File("program"), Folder.File("config")};
    TLoopMainThread Loop;
    TScriptedDialogs Dialogs;
    TServicesScope Scope{&Loop, &Dialogs};
    TSettings Settings;
    std::unique_ptr<TAuthoringProject> Project;
    TCommandsManager Manager;

    void SetUp() override {
        DeclareGuiSettings(Settings, "");
        Project = std::make_unique<TAuthoringProject>(Settings);
    }
};

TEST_F(AuthoringProject, DiscTypeRulesForPlaybackControlAndTheVolumeLabel) {
    struct TStep {
        TVideoCdType Type;
        std::string LabelBefore;
        bool PbcChecked;
        std::string LabelAfter;
    };
    const TStep steps[] = {
        {TVideoCdType::Vcd11, "VIDEOCD", false, "VIDEOCD"},
        {TVideoCdType::Vcd20, "VIDEOCD", true, "VIDEOCD"},  // back from VCD 1.1: checked again
        {TVideoCdType::Svcd10, "videocd", true, "SUPER_VIDEOCD"},
        {TVideoCdType::Vcd20, "Super_VideoCD", true, "VIDEOCD"},
        {TVideoCdType::Svcd10, "HOLIDAYS", true, "HOLIDAYS"},  // one's own label is never touched
    };
    for (const TStep& step : steps) {
        Project->Pages.VolumeLabel = step.LabelBefore;
        Project->SelectVideoCdType(step.Type);
        EXPECT_EQ(Project->UsePbc(), step.PbcChecked) << VideoCdTypeText(step.Type);
        EXPECT_EQ(Project->Pages.VolumeLabel, step.LabelAfter) << VideoCdTypeText(step.Type);
    }
    Project->SelectVideoCdType(TVideoCdType::Vcd11);
    EXPECT_FALSE(Project->PlaybackControlEnabled());
}

TEST_F(AuthoringProject, NamesTakenFromTheFirstFile) {
    const struct {
        const char* Path;
        const char* Album;
        const char* Label;
    } cases[] = {
        {"/films/my_movie_01.mpg", "MY_MOVIE", "my_movie_01"},
        {"/films/Été 2024.mpg", "_T", "Été 2024"},
        {"/films/ééééééééééééééééééééééé.mpg", "", "éééééééééééééééééééé"},
        {"/films/a_very_long_name_of_a_film.mpg", "A_VERY_LONG_NAME", "a_very_long_name_of_"},
        {"/films/2024.mpg", "", "2024"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AlbumNameFromFileName(c.Path), c.Album) << c.Path;
        EXPECT_EQ(VolumeLabelFromFileName(c.Path), c.Label) << c.Path;
    }
}

TEST_F(AuthoringProject, OutputKindFollowsTheImageType) {
    EXPECT_EQ(OutputKind(true, TCdImageType::Toc), "Xml");
    EXPECT_EQ(OutputKind(false, TCdImageType::AdvCue), "Bin");
    EXPECT_EQ(OutputKind(false, TCdImageType::Toast), "Toc");
}

TEST_F(AuthoringProject, AnEmptyProjectIsRefusedBeforeAnythingIsTouched) {
    const std::string output = Folder.Write("videocd.bin", "old image");
    Project->Pages.OutputFile = output;
    EXPECT_EQ(Project->BuildProjectProperties(true, Manager), nullptr);
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_NE(Dialogs.Messages()[0].find("Please, add at least one MPEG file"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(output), "old image");
}

TEST_F(AuthoringProject, ATocBuildClearsOnlyThePreviousTrackImages) {
    DetectedTools().VcdImagerAvailable = true;
    Settings.SetValue("CdImageType", std::string("Toc"));
    const std::string film = Folder.Write("film.mpg", std::string(100000, 'x'));
    Project->Files.Add(std::make_unique<TMpegFile>(film, true));
    for (const char* name : {"videocd_01.img", "videocd_02.img", "videocd_02_pregap.img", "videocd_backup.img"})
        Folder.Write(name, "old");
    Project->Pages.OutputFile = Folder.File("videocd.toc");
    Dialogs.Answer(TModalResult::No);  // not asked: nothing exists under the TOC name

    const auto properties = Project->BuildProjectProperties(true, Manager);
    ASSERT_NE(properties, nullptr) << (Dialogs.Messages().empty() ? "" : Dialogs.Messages()[0]);
    EXPECT_EQ(properties->OutputBaseName, Folder.File("videocd"));
    EXPECT_EQ(properties->XmlPath, Folder.File("videocd.xml"));
    for (const char* name : {"videocd_01.img", "videocd_02.img", "videocd_02_pregap.img"})
        EXPECT_FALSE(fs::exists(Folder.File(name))) << name;
    EXPECT_TRUE(fs::exists(Folder.File("videocd_backup.img")));
    DetectedTools() = TDetectedTools();
}

TEST_F(AuthoringProject, AProjectWhoseFileIsGoneIsRefusedAndTheCurrentOneKept) {
    const std::string film = Folder.Write("film.mpg", std::string(100000, 'x'));
    Project->Files.Add(std::make_unique<TMpegFile>(film, true));
    Project->ProjectFileName = Folder.File("current.dsv");

    TVideoCdDescription description;
    TDescriptionFile gone;
    gone.FullPath = Folder.File("gone.mpg");
    gone.Entries.resize(1);
    description.Files.push_back(gone);
    const std::string path = Folder.File("other.dsv");
    ASSERT_TRUE(SaveProjectFile(path, description, false));

    EXPECT_FALSE(Project->QueueOpenProject(path, Manager, nullptr));
    EXPECT_TRUE(Manager.IsEmpty());
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_NE(Dialogs.Messages()[0].find(Folder.File("gone.mpg")), std::string::npos);
    EXPECT_EQ(Project->Files.Count(), 1);
    EXPECT_EQ(Project->ProjectFileName, Folder.File("current.dsv"));
}

// The comments setting is the program's, not the project's: opening a
// project written with comments leaves a user's "off" as it is.
TEST_F(AuthoringProject, OpeningAProjectLeavesTheCommentsSettingAlone) {
    Settings.SetValue("XmlComments", false);
    TVideoCdDescription description;
    description.XmlComments = true;
    const std::string path = Folder.File("commented.dsv");
    ASSERT_TRUE(SaveProjectFile(path, description, false));
    ASSERT_TRUE(Project->QueueOpenProject(path, Manager, nullptr));
    Project->EndFileBatch();
    EXPECT_TRUE(Project->OpenedProject());
    EXPECT_FALSE(Settings.GetBool("XmlComments", true));
}

}  // namespace
