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

TEST_F(AuthoringProject, EveryExistingOutputIsConfirmedAndNothingIsDeletedByTheChecks) {
    DetectedTools().VcdImagerAvailable = true;
    const std::string film = Folder.Write("film.mpg", std::string(100000, 'x'));
    Project->Files.Add(std::make_unique<TMpegFile>(film, true));
    struct TCase {
        const char* Name;
        const char* ImageType;
        const char* Output;
        std::vector<std::string> Existing;
        std::vector<TModalResult> Answers;
        bool Accepted;
        std::size_t Questions;
    };
    const std::vector<TCase> cases = {
        {"nothing there", "Cue", "videocd.bin", {}, {}, true, 0},
        {"an older CUE alone, no", "Cue", "videocd.bin", {"videocd.cue"}, {TModalResult::No}, false, 1},
        {"an older XML alone, yes", "Cue", "videocd.bin", {"videocd.xml"}, {TModalResult::Yes}, true, 1},
        {"the image, no", "Cue", "videocd.bin", {"videocd.bin"}, {}, false, 1},
        {"all of them, yes",
         "Cue",
         "videocd.bin",
         {"videocd.bin", "videocd.cue", "videocd.xml"},
         {TModalResult::OK, TModalResult::Yes},
         true,
         2},
        {"track images, no",
         "Toc",
         "videocd.toc",
         {"videocd_01.img", "videocd_02_pregap.img"},
         {TModalResult::No},
         false,
         1},
        {"XML only: the XML, no", "Cue", "videocd.xml", {"videocd.xml"}, {}, false, 1},
    };
    for (const TCase& c : cases) {
        TTempFolder out;
        Settings.SetValue("CdImageType", std::string(c.ImageType));
        Project->Pages.XmlOnly = EndsWith(c.Output, ".xml");
        Project->OutputConfirmation = {};
        for (const std::string& name : c.Existing) out.Write(name, "previous");
        out.Write("videocd_backup.img", "the user's");
        Project->Pages.OutputFile = out.File(c.Output);
        Dialogs.Asked.clear();
        for (const TModalResult answer : c.Answers) {
            if (answer == TModalResult::OK)
                Dialogs.AnswerFiles({out.File(c.Output)});  // the save dialog that confirms the output
            else
                Dialogs.Answer(answer);
        }
        const auto properties = Project->BuildProjectProperties(true, Manager);
        EXPECT_EQ(properties != nullptr, c.Accepted) << c.Name;
        EXPECT_EQ(Dialogs.Asked.size(), c.Questions) << c.Name;
        for (const std::string& name : c.Existing) EXPECT_EQ(ReadWholeFile(out.File(name)), "previous") << c.Name;
        EXPECT_EQ(ReadWholeFile(out.File("videocd_backup.img")), "the user's");
        if (!properties) continue;
        EXPECT_EQ(properties->OutputBaseName, out.File("videocd")) << c.Name;
    }
    DetectedTools() = TDetectedTools();
}

TEST_F(AuthoringProject, AProjectIsSavedOnlyAsADsvFileAndReplacedOnlyWhenConfirmed) {
    const std::string film = Folder.Write("film.mpg", std::string(100000, 'x'));
    Project->Files.Add(std::make_unique<TMpegFile>(film, true));
    const std::string image = Folder.Write("other.bin", "another disc");
    for (const std::string& refused : {film, image, Folder.File("notes.txt")}) {
        Dialogs.Asked.clear();
        EXPECT_FALSE(Project->SaveProject(refused, Manager)) << refused;
        ASSERT_EQ(Dialogs.Messages().size(), 1u);
        EXPECT_NE(Dialogs.Messages()[0].find("Invalid DSV filename"), std::string::npos) << Dialogs.Messages()[0];
    }
    EXPECT_EQ(ReadWholeFile(film), std::string(100000, 'x'));
    EXPECT_EQ(ReadWholeFile(image), "another disc");

    const std::string project = Folder.Write("project.dsv", "previous project");
    EXPECT_FALSE(Project->SaveProject(project, Manager)) << "not confirmed";
    EXPECT_EQ(ReadWholeFile(project), "previous project");
    Dialogs.AnswerFiles({project});
    EXPECT_TRUE(Project->SaveProject(project, Manager));
    EXPECT_NE(ReadWholeFile(project), "previous project");

    // A name that fills the file-name limit saves like any other.
    const std::string longest = Folder.File(std::string(251, 'p') + ".dsv");
    EXPECT_TRUE(Project->SaveProject(longest, Manager));
    EXPECT_TRUE(fs::exists(longest));

    // An output name that a project file cannot carry is refused before writing.
    Project->Pages.OutputFile = Folder.File("bell\a.bin");
    EXPECT_FALSE(Project->SaveProject(Folder.File("bell.dsv"), Manager));
    EXPECT_FALSE(fs::exists(Folder.File("bell.dsv")));
    for (const auto& entry : fs::directory_iterator(Folder.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".lumora-tmp-"), std::string::npos);
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

TEST_F(AuthoringProject, AProjectWithValuesBeyondTheirLimitsIsRefusedAndTheCurrentOneKept) {
    const std::string film = Folder.Write("film.mpg", std::string(100000, 'x'));
    Project->Files.Add(std::make_unique<TMpegFile>(film, true));
    Project->Pages.AlbumName = "MINE";

    TVideoCdDescription description;
    TDescriptionFile file;
    file.FullPath = film;
    file.Entries.resize(1);
    description.Files.push_back(file);
    description.AlbumName = "AN_ALBUM_NAME_OF_20";  // 16 fit; vcdxbuild would cut the rest
    description.VolumeLabel = "HOLIDAYS";
    description.Options.GapsCustomized = true;
    description.TrackFrontMargin = 151;
    const std::string path = Folder.File("limits.dsv");
    ASSERT_TRUE(SaveProjectFile(path, description, false));

    EXPECT_FALSE(Project->QueueOpenProject(path, Manager, nullptr));
    EXPECT_TRUE(Manager.IsEmpty());
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    const std::string message = Dialogs.Messages()[0];
    EXPECT_NE(message.find("The album name \"AN_ALBUM_NAME_OF_20\" is longer than 16 characters"), std::string::npos)
        << message;
    EXPECT_NE(message.find("The track front margin must be between 0 and 150, not 151"), std::string::npos) << message;
    EXPECT_NE(message.find(path), std::string::npos);
    EXPECT_EQ(Project->Files.Count(), 1);
    EXPECT_EQ(Project->Pages.AlbumName, "MINE");
}

}  // namespace
