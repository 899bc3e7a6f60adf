#include "model/vcd_properties.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "model/mpeg_files.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

std::unique_ptr<TMpegFile> NewFile(bool motion) { return std::make_unique<TMpegFile>("", motion); }

// Whether the validation refuses, and with which message (shown boxes aside).
std::optional<std::string> Refusal(const TVcdProperties& properties, const TMpegFiles& files) {
    try {
        ValidateProject(properties, files);
    } catch (const EAuthoringError& error) {
        return error.Message();
    }
    return std::nullopt;
}

}  // namespace

TEST(VcdProperties, ResetRestoresANewRecord) {
    TVcdProperties properties;
    EXPECT_EQ(properties.VideoCdType, TVideoCdType::Vcd20);
    EXPECT_EQ(properties.TrackPreGap, 150);
    EXPECT_EQ(properties.LeadoutPreGap, 0);
    EXPECT_TRUE(properties.XmlOnly && properties.Simulate && properties.XmlComments && properties.ComplianceChecks);

    TMpegFiles files;
    properties.Files = &files;
    properties.CdImageType = TCdImageType::Toast;
    properties.AlbumName = "Holidays";
    properties.Lines = {"<?xml version=\"1.0\"?>"};
    properties.SetOutputBaseName("/discs/summer");
    EXPECT_EQ(properties.XmlPath, "/discs/summer.xml");
    properties.Reset();
    EXPECT_EQ(properties.Files, nullptr);
    EXPECT_EQ(properties.CdImageType, TCdImageType::Cue);
    EXPECT_EQ(properties.AlbumName, "");
    EXPECT_TRUE(properties.Lines.empty());
    EXPECT_EQ(properties.XmlPath, "");
}

TEST(VcdProperties, VolumeAndGapRules) {
    EXPECT_EQ(VolumeNumberWithinCount(3, 2), 2);
    EXPECT_EQ(VolumeNumberWithinCount(2, 3), 2);
    EXPECT_EQ(VolumeNumberWithinCount(0, 0), 1);
    EXPECT_EQ(VolumeNumberWithinCount(70000, 70000), MaxVolumeCount);
    EXPECT_EQ(TrackPreGapFor(TCdImageType::Toast, 150), 152);
    EXPECT_EQ(TrackPreGapFor(TCdImageType::Toast, 1), 152);
    EXPECT_EQ(TrackPreGapFor(TCdImageType::Toc, 175), 175);
    EXPECT_EQ(TrackMarginsFor(TVideoCdType::Svcd10, {30, 45}, {0, 0}).Front, 0);
    EXPECT_EQ(TrackMarginsFor(TVideoCdType::Vcd11, {30, 45}, {0, 0}).Rear, 45);
    EXPECT_EQ(ApplicationIdFor(true, "MINE"), "CDI/CDI_VCD.APP;1");
    EXPECT_EQ(ApplicationIdFor(false, "MINE"), "MINE");
    EXPECT_TRUE(SvcdOnlyOption(true, TVideoCdType::Svcd10));
    EXPECT_FALSE(SvcdOnlyOption(true, TVideoCdType::Vcd20));
    EXPECT_FALSE(SvcdOnlyOption(false, TVideoCdType::Svcd10));
    EXPECT_TRUE(CdiOptionsApply(TVideoCdType::Vcd11));
    EXPECT_FALSE(CdiOptionsApply(TVideoCdType::Svcd10));
}

TEST(VcdProperties, NextVolumeFlags) {
    struct TCase {
        bool Pbc;
        int Count, Number;
        const char* Album;
        TVideoCdType Type;
        bool Enabled, Written;
    };
    const TCase cases[] = {
        {true, 3, 2, "Album", TVideoCdType::Vcd20, true, true},     // a middle volume
        {true, 3, 1, "Album", TVideoCdType::Vcd20, true, false},    // the first volume
        {true, 3, 3, "Album", TVideoCdType::Vcd20, false, false},   // the last volume
        {true, 3, 2, "  ", TVideoCdType::Svcd10, false, false},     // no album name
        {false, 3, 2, "Album", TVideoCdType::Vcd20, false, false},  // no playback control
        {true, 3, 2, "Album", TVideoCdType::Vcd11, false, false},
        {true, 1, 1, "Album", TVideoCdType::Vcd20, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextVolumeChecksEnabled(c.Pbc, c.Count, c.Number, c.Album, c.Type), c.Enabled) << c.Number;
        TVcdProperties properties;
        properties.UsePBC = c.Pbc;
        properties.VolumeCount = c.Count;
        properties.VolumeNumber = c.Number;
        properties.AlbumName = c.Album;
        properties.VideoCdType = c.Type;
        properties.NextVolumeUseSequence2 = properties.NextVolumeUseLid2 = true;
        ApplyNextVolumeFlags(properties, true, false);
        EXPECT_EQ(properties.NextVolumeUseSequence2, c.Written) << c.Count << "/" << c.Number;
        EXPECT_FALSE(properties.NextVolumeUseLid2);
    }
}

TEST(VcdProperties, PlaceholderSequence) {
    EXPECT_EQ(PlaceholderSequenceName(TTvSystem::Pal, TVideoCdType::Vcd20), "PhotoVCD2-PAL.mpg");
    EXPECT_EQ(PlaceholderSequenceName(TTvSystem::Pal, TVideoCdType::Svcd10), "PhotoSVCD-PAL.mpg");
    EXPECT_EQ(PlaceholderSequenceName(TTvSystem::Ntsc, TVideoCdType::Vcd20), "PhotoVCD2-NTSC.mpg");
    EXPECT_EQ(PlaceholderSequenceName(TTvSystem::Ntsc, TVideoCdType::Svcd10), "PhotoSVCD-NTSC.mpg");

    TTempFolder program;
    std::filesystem::create_directory(program.Path() / "Extra");
    const std::string ntsc = program.Write("Extra/PhotoSVCD-NTSC.mpg", "mpeg");
    EXPECT_EQ(PlaceholderSequenceFor(program.Path(), TTvSystem::Ntsc, TVideoCdType::Svcd10, false, true), ntsc);
    EXPECT_EQ(PlaceholderSequenceFor(program.Path(), TTvSystem::Ntsc, TVideoCdType::Svcd10, true, true), "");
    EXPECT_EQ(PlaceholderSequenceFor(program.Path(), TTvSystem::Ntsc, TVideoCdType::Svcd10, false, false), "");
    EXPECT_EQ(PlaceholderSequenceFor(program.Path(), TTvSystem::Pal, TVideoCdType::Svcd10, false, true), "");

    const std::filesystem::path comma = program.Path() / "a,b";
    std::filesystem::create_directories(comma / "Extra");
    program.Write("a,b/Extra/PhotoSVCD-NTSC.mpg", "mpeg");
    EXPECT_EQ(PlaceholderSequenceFor(comma, TTvSystem::Ntsc, TVideoCdType::Svcd10, false, true), "");

    // Several data folders: the first that has the file, a folder with ","
    // passed over.
    TTempFolder installed;
    const std::string pal = installed.Write("Extra/PhotoSVCD-PAL.mpg", "mpeg");
    const TStringList folders{comma.string(), program.Path().string(), installed.Path().string()};
    EXPECT_EQ(PlaceholderSequenceFor(folders, TTvSystem::Ntsc, TVideoCdType::Svcd10, false, true), ntsc);
    EXPECT_EQ(PlaceholderSequenceFor(folders, TTvSystem::Pal, TVideoCdType::Svcd10, false, true), pal);
    EXPECT_EQ(PlaceholderSequenceFor(folders, TTvSystem::Pal, TVideoCdType::Vcd20, false, true), "");
}

TEST(VcdProperties, CdiFilesAreTakenFromTheFirstDataFolderThatHasThemAll) {
    TTempFolder program;
    TTempFolder user;
    TTempFolder installed;
    program.Write("Cdi/CDI_VCD.APP", "app");  // incomplete
    for (const char* name : {"Cdi/CDI_VCD.APP", "Cdi/CDI_TEXT.FNT", "Cdi/CDI_IMAG.RTF"}) {
        user.Write(name, "x");
        installed.Write(name, "x");
    }
    const TStringList folders{program.Path().string(), user.Path().string(), installed.Path().string()};
    EXPECT_EQ(CdiDataFolder(folders), user.Path());
    EXPECT_TRUE(CdiApplicationAvailable(CdiDataFolder(folders)));
    EXPECT_EQ(CdiDataFolder({program.Path().string()}), program.Path());
    EXPECT_FALSE(CdiApplicationAvailable(CdiDataFolder({program.Path().string()})));
}

TEST(VcdProperties, CdiFiles) {
    TTempFolder program;
    std::filesystem::create_directory(program.Path() / "Cdi");
    program.Write("Cdi/CDI_VCD.APP", "app");
    program.Write("Cdi/CDI_TEXT.FNT", "font");
    EXPECT_FALSE(CdiApplicationAvailable(program.Path()));
    program.Write("Cdi/CDI_IMAG.RTF", "image");
    EXPECT_TRUE(CdiApplicationAvailable(program.Path()));
    EXPECT_FALSE(CdiConfigFileAvailable(program.Path(), true));
    const std::string config = program.Write("Cdi/CDI_VCD.CFG", "CONTROLS=1\r\n");
    EXPECT_TRUE(CdiConfigFileAvailable(program.Path(), true));
    EXPECT_FALSE(CdiConfigFileAvailable(program.Path(), false));

    TCdiConfigText text(CdiConfigFilePath(program.Path()));
    ASSERT_TRUE(text.Refresh());
    EXPECT_EQ(text.Text(), "CONTROLS=1\r\n");
    program.Write("Cdi/CDI_VCD.CFG", "CONTROLS=2\r\n");
    std::filesystem::last_write_time(config, std::filesystem::last_write_time(config) + std::chrono::seconds(5));
    ASSERT_TRUE(text.Refresh());
    EXPECT_EQ(text.Text(), "CONTROLS=2\r\n");
    std::filesystem::remove(config);
    EXPECT_FALSE(text.Refresh());
    EXPECT_EQ(text.Text(), "");
}

TEST(VcdProperties, DependentValues) {
    TTempFolder program;
    TMpegFiles files;
    files.Add(NewFile(true));
    TVcdProperties properties;
    properties.CdImageType = TCdImageType::Toast;
    ApplyDependentValues(properties, files, {program.Path().string()});
    EXPECT_EQ(properties.TrackPreGap, 152);
    EXPECT_TRUE(properties.EmptySegmentFolder);
    EXPECT_EQ(properties.PlaceholderSequence, "");

    files.Add(NewFile(false));
    properties.AlwaysSegmentFolder = true;
    ApplyDependentValues(properties, files, {program.Path().string()});
    EXPECT_FALSE(properties.EmptySegmentFolder);
}

TEST(VcdProperties, ChangedDefaultsReachEverySelection) {
    const TPbcDefaults saved = PbcDefaults();
    TMpegFiles files;
    TMpegFile* file = files.Add(NewFile(true));
    TPbcSelection* chapter = file->AddEntryPoint("0:00:10.000", true);
    TPbcSelection* start = file->EntryPoints().SelectionAt(0);
    chapter->SetWaitTime(30);
    start->SetNumericMode(TNumericMode::Custom);

    ApplyDefaultWaitTime(files, 9);
    ApplyNumericKeysByDefault(files, false);
    EXPECT_EQ(start->WaitTime(), 9);
    EXPECT_EQ(chapter->WaitTime(), 30);  // the user's choice
    EXPECT_EQ(start->NumericMode(), TNumericMode::Custom);
    EXPECT_EQ(chapter->NumericMode(), TNumericMode::None);
    EXPECT_EQ(file->AddEntryPoint("0:00:20.000", true)->WaitTime(), 9);
    PbcDefaults() = saved;
}

TEST(VcdProperties, ValidationMessages) {
    TTempFolder program;
    TMpegFiles files;
    TVcdProperties properties;
    properties.UsePBC = true;
    EXPECT_EQ(Refusal(properties, files), "Please, add at least one MPEG file");

    files.Add(NewFile(false));
    EXPECT_EQ(Refusal(properties, files), "Please, add at least one non MPEG still file\r\r(i.e. one MPEG video file)");
    properties.VideoCdType = TVideoCdType::Vcd11;
    EXPECT_EQ(Refusal(properties, files),
              "VCD1.1 does not allow the use of MPEG pictures\r\rRemove them or choose VCD2.0");
    properties.VideoCdType = TVideoCdType::Svcd10;
    properties.UsePBC = false;
    EXPECT_EQ(Refusal(properties, files),
              "You need to activate Interactivity (Playback Control) in order to play MPEG pictures");
    properties.UsePBC = true;
    properties.VolumeCount = 4;
    EXPECT_EQ(Refusal(properties, files),
              "The volume name must not be empty when there are more than one volumes\r\r"
              "You entered a total of 4 volumes for the album");
    properties.VolumeCount = 1;

    // Stills only on an NTSC SVCD: the placeholder from "Extra" makes it a disc.
    properties.TvSystem = TTvSystem::Ntsc;
    std::filesystem::create_directory(program.Path() / "Extra");
    program.Write("Extra/PhotoSVCD-NTSC.mpg", "mpeg");
    ApplyDependentValues(properties, files, {program.Path().string()});
    EXPECT_NE(properties.PlaceholderSequence, "");
    EXPECT_EQ(Refusal(properties, files), std::nullopt);
}

TEST(VcdProperties, DiscLimits) {
    TScriptedDialogs dialogs;
    TServicesScope scope(nullptr, &dialogs);
    TVcdProperties properties;
    properties.UsePBC = true;
    TMpegFiles files;
    files.SetNbMaxFiles(MainWindowMaxFiles);
    {
        TNavigationUpdateScope bulk;
        for (int i = 0; i < MaxMotionVideos; ++i) files.Add(NewFile(true));
        for (int i = 0; i < MaxStills; ++i) files.Add(NewFile(false));
    }
    EXPECT_EQ(Refusal(properties, files), std::nullopt);

    files.Add(NewFile(false));
    EXPECT_EQ(Refusal(properties, files), "");
    ASSERT_EQ(dialogs.Asked.size(), 1u);
    EXPECT_NE(dialogs.Asked[0].Message.find("more than 1980 MPEG stills"), std::string::npos);
    files.Delete(files.Count() - 1);

    // A 99th motion video, added as one but analysed as a still, is not counted.
    TMpegFile* extra = files.Add(NewFile(true));
    EXPECT_EQ(files.SequenceCount(), 99);
    extra->SetVideoHorizontalSize("704", "1");
    extra->SetAnalysed(true);
    files.Delete(files.Count() - 2);  // one still less, to stay within 1980
    EXPECT_EQ(Refusal(properties, files), std::nullopt);
    extra->ResetAnalysis();
    extra->SetVideoHorizontalSize("352", "0");
    extra->SetAnalysed(true);
    EXPECT_EQ(Refusal(properties, files), "");
    EXPECT_NE(dialogs.Asked.back().Message.find("more than 98 MPEG videos"), std::string::npos);
    files.Delete(extra->Index());

    // Entry points of the motion videos, start entries included: 500 pass, 501 are refused.
    int total = MaxMotionVideos;
    for (int f = 0; total < MaxEntryPointsOnDisc; ++f)
        for (int second = 1; total < MaxEntryPointsOnDisc && files.Get(f)->EntryPoints().Count() < 99;
             ++second, ++total)
            ASSERT_NE(files.Get(f)->AddEntryPoint(MsToTimeText(second * 1000), true), nullptr);
    EXPECT_EQ(Refusal(properties, files), std::nullopt);
    files.Get(50)->AddEntryPoint("0:59:00.000", true);
    EXPECT_EQ(Refusal(properties, files), "");
    EXPECT_NE(dialogs.Asked.back().Message.find("total of 500 entrypoints"), std::string::npos);
}

TEST(VcdProperties, LimitsOfTheValuesAProjectTakes) {
    EXPECT_EQ(AlbumNameProblem(std::string(16, 'A')), "");
    EXPECT_EQ(AlbumNameProblem(std::string(17, 'A')),
              "The album name \"" + std::string(17, 'A') + "\" is longer than 16 characters");
    EXPECT_EQ(VolumeLabelProblem(std::string(32, 'L')), "");
    EXPECT_NE(VolumeLabelProblem(std::string(33, 'L')).find("is longer than 32 characters"), std::string::npos);
    // vcdxbuild cuts after 32 bytes: "É" takes two of them.
    EXPECT_NE(VolumeLabelProblem("\xC3\x89" + std::string(31, 'L')), "");

    // Each value at both ends of its range, and one step outside.
    struct TCase {
        const char* Name;
        int TVcdProperties::*Field;
        int Minimum;
        int Maximum;
    };
    const TCase cases[] = {
        {"The default wait time", &TVcdProperties::DefaultWaitTime, 0, 65534},
        {"The volume count", &TVcdProperties::VolumeCount, 1, 65534},
        {"The volume number", &TVcdProperties::VolumeNumber, 1, 65534},
        {"The restriction category", &TVcdProperties::RestrictionCategory, 0, 3},
        {"The leadout pregap", &TVcdProperties::LeadoutPreGap, 0, 300},
        {"The track pregap", &TVcdProperties::TrackPreGap, 1, 300},
        {"The track front margin", &TVcdProperties::TrackFrontMargin, 0, 150},
        {"The track rear margin", &TVcdProperties::TrackRearMargin, 0, 150},
    };
    for (const TCase& c : cases) {
        for (const int fits : {c.Minimum, c.Maximum}) {
            TVcdProperties properties;
            properties.*c.Field = fits;
            EXPECT_TRUE(PropertyLimitProblems(properties).empty()) << c.Name << " " << fits;
        }
        for (const int outside : {c.Minimum - 1, c.Maximum + 1}) {
            TVcdProperties properties;
            properties.*c.Field = outside;
            const TStringList problems = PropertyLimitProblems(properties);
            ASSERT_EQ(problems.size(), 1u) << c.Name << " " << outside;
            EXPECT_EQ(problems[0], std::string(c.Name) + " must be between " + std::to_string(c.Minimum) + " and " +
                                       std::to_string(c.Maximum) + ", not " + std::to_string(outside));
        }
    }

    // A generation refuses them, all named at once, before anything else.
    TMpegFiles files;
    files.Add(NewFile(true));
    TVcdProperties properties;
    properties.AlbumName = std::string(20, 'A');
    properties.TrackPreGap = 0;
    EXPECT_EQ(Refusal(properties, files),
              AlbumNameProblem(properties.AlbumName) + "\r" + "The track pregap must be between 1 and 300, not 0");
}
