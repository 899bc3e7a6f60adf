#include "model/mpeg_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

// A file not on disk, named by its path so that tests can tell files apart.
std::unique_ptr<TMpegFile> Video(const std::string& name = "") { return std::make_unique<TMpegFile>(name, true); }

std::vector<std::string> Ids(const TMpegFiles& files) {
    std::vector<std::string> ids;
    for (int i = 0; i < files.Count(); ++i) ids.push_back(files.Get(i)->Id());
    return ids;
}

}  // namespace

TEST(MpegFiles, NbMaxFilesRefusesFurtherFiles) {
    TMpegFiles files;
    EXPECT_EQ(files.NbMaxFiles(), 99);
    files.SetNbMaxFiles(2);
    int added = 0;
    files.OnNewNotify = [&](TMpegFiles&, TMpegFile&) { ++added; };
    EXPECT_NE(files.Add(Video()), nullptr);
    EXPECT_NE(files.Add(Video()), nullptr);
    files.UpdateNotify(false);
    EXPECT_EQ(files.Add(Video()), nullptr);
    EXPECT_EQ(files.Add(nullptr), nullptr);
    EXPECT_EQ(files.Count(), 2);
    EXPECT_EQ(added, 2);
    EXPECT_FALSE(files.Changed());
    files.SetNbMaxFiles(-5);
    EXPECT_EQ(files.NbMaxFiles(), -1);
    EXPECT_NE(files.Add(Video()), nullptr);
}

TEST(MpegFiles, MoveRenumbersEveryFile) {
    TMpegFiles files;
    TMpegFile* a = files.Add(Video());
    TMpegFile* b = files.Add(Video());
    TMpegFile* c = files.Add(Video());
    std::vector<std::pair<int, int>> moves;
    files.OnMoveNotify = [&](TMpegFiles&, int from, int to) { moves.emplace_back(from, to); };

    files.Move(0, 2);
    EXPECT_EQ(files.Get(0), b);
    EXPECT_EQ(files.Get(1), c);
    EXPECT_EQ(files.Get(2), a);
    EXPECT_EQ(Ids(files), (std::vector<std::string>{"0001", "0002", "0003"}));
    EXPECT_EQ(a->EntryPoints().SelectionAt(0)->PlayItemId(), "Sequence-0003-01");
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 2}}));

    files.Move(2, 0);
    EXPECT_EQ(files.Get(0), a);
    EXPECT_EQ(files.Get(2), c);
    EXPECT_EQ(c->Number(), 3);
    files.Move(1, 1);
    files.Move(0, 7);
    EXPECT_EQ(moves.size(), 2u);
}

TEST(MpegFiles, DeleteNotifiesBeforeFreeing) {
    TMpegFiles files;
    files.Add(Video());
    TMpegFile* second = files.Add(Video());
    second->AddEntryPoint("0:00:04.000", true);
    std::string seenId;
    files.OnDeleteNotify = [&](TMpegFiles& sender, TMpegFile& file) {
        EXPECT_EQ(sender.Count(), 1);
        seenId = file.EntryPoints().SelectionAt(0)->PlayItemId();  // still alive here
    };
    files.Delete(0);
    EXPECT_EQ(seenId, "Sequence-0001-01");
    EXPECT_EQ(files.Get(0), second);
    EXPECT_EQ(second->Id(), "0001");
    EXPECT_EQ(second->EntryPoints().SelectionAt(1)->PlayItemId(), "   Chapter-0001-02");
    files.Delete(5);
    EXPECT_EQ(files.Count(), 1);
}

TEST(MpegFiles, UpdateNotifyOnlyAfterChanges) {
    TMpegFiles files;
    int updates = 0, clears = 0;
    files.OnUpdateNotify = [&](TMpegFiles&) { ++updates; };
    files.OnClearNotify = [&](TMpegFiles&) { ++clears; };
    files.Add(Video());
    files.UpdateNotify(false);
    EXPECT_EQ(updates, 1);
    files.Clear();
    EXPECT_EQ(clears, 1);
    files.UpdateNotify(false);
    EXPECT_EQ(updates, 1);
    files.UpdateNotify(true);
    EXPECT_EQ(updates, 2);
    files.Add(Video());
    files.Clear();
    files.UpdateNotify(false);  // the add before the clear still counts
    EXPECT_EQ(updates, 3);
}

TEST(MpegFiles, CountersFollowTheKindAtAddAndDelete) {
    TMpegFiles files;
    TMpegFile* file = files.Add(Video());
    files.Add(std::make_unique<TMpegFile>("", false));
    EXPECT_EQ(files.SequenceCount(), 1);
    EXPECT_EQ(files.SegmentCount(), 1);

    // Analysed as a still after having been added as a motion video.
    file->SetVideoHorizontalSize("704", "1");
    file->SetAnalysed(true);
    EXPECT_EQ(files.SequenceCount(), 1);
    EXPECT_EQ(files.StillCount(), 2);
    files.Delete(0);
    EXPECT_EQ(files.SequenceCount(), 1);  // taken off by the kind now
    EXPECT_EQ(files.SegmentCount(), 0);
    files.Clear();
    EXPECT_EQ(files.SequenceCount(), 0);
}

TEST(MpegFiles, PathsAndSizes) {
    TTempFolder folder;
    TMpegFiles files;
    files.Add(std::make_unique<TMpegFile>(folder.Write("a.mpg", std::string(1000000, 'a')), true));
    files.Add(std::make_unique<TMpegFile>(folder.Write("b.mpg", std::string(2023, 'b')), false));
    files.Add(std::make_unique<TMpegFile>(folder.Write("c.mpg", ""), true));
    EXPECT_EQ(files.SequencePaths(), (TStringList{folder.File("a.mpg"), folder.File("c.mpg")}));
    EXPECT_EQ(files.SegmentPaths(), (TStringList{folder.File("b.mpg")}));
    EXPECT_EQ(files.SequenceSizes(), (TStringList{"1046528", "0"}));
    EXPECT_EQ(files.SegmentSizes(), (TStringList{"4096"}));
    EXPECT_EQ(files.TotalSequenceSize(), 1046528);
}

TEST(MpegFiles, TotalSizeOverflowIsReported) {
    TTempFolder folder;
    const std::string big = folder.Write("big.mpg", "head");
    std::filesystem::resize_file(big, 1200000000);  // sparse: nothing is written
    TScriptedDialogs dialogs;
    TServicesScope scope(nullptr, &dialogs);
    TMpegFiles files;
    files.Add(std::make_unique<TMpegFile>(big, true));
    EXPECT_EQ(files.TotalSequenceSize(), 1214760960);  // 1.0123 times the size, in whole sectors
    EXPECT_TRUE(dialogs.Asked.empty());
    files.Add(std::make_unique<TMpegFile>(big, true));
    EXPECT_EQ(files.TotalSequenceSize(), 0);
    ASSERT_EQ(dialogs.Asked.size(), 1u);
    EXPECT_NE(dialogs.Asked[0].Message.find("Too big total size... by far..."), std::string::npos);

    // One file above 2 GiB keeps its true size.
    const std::string huge = folder.Write("huge.mpg", "head");
    std::filesystem::resize_file(huge, 3000000000LL);
    TMpegFile file(huge, true);
    EXPECT_EQ(file.Size(), 3000000000LL);
}

namespace {

// Two motion videos with a chapter at one minute each, refreshed through the
// registered callbacks as the navigation page does it.
struct TTwoFileProject {
    TMpegFiles Files;
    TNavigationRegistration Registration{Files};
    TPbcSelection* S[4] = {};

    TTwoFileProject() {
        for (int i = 0; i < 2; ++i) {
            TMpegFile* file = Files.Add(Video());
            file->AddEntryPoint("0:01:00.000", true);
        }
        Refetch();
    }
    void Refetch() {
        for (int i = 0; i < 4; ++i) S[i] = Files.Get(i / 2)->EntryPoints().SelectionAt(i % 2);
    }
};

}  // namespace

TEST(Navigation, AutomaticTargetsOfTwoFiles) {
    TTwoFileProject project;
    TPbcSelection* end = &EndSelection();
    TPbcSelection* const* s = project.S;
    struct TCase {
        int Selection;
        TPbcSelection *Next, *Prev, *Timeout;
    };
    const TCase cases[] = {
        {0, s[1], end, s[2]},
        {1, s[2], s[0], s[2]},
        {2, s[3], s[0], end},  // the start of file 2 goes back to the start of file 1
        {3, end, s[2], end},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(s[c.Selection]->NextTarget(), c.Next) << c.Selection;
        EXPECT_EQ(s[c.Selection]->PrevTarget(), c.Prev) << c.Selection;
        EXPECT_EQ(s[c.Selection]->TimeoutTarget(), c.Timeout) << c.Selection;
    }
}

TEST(Navigation, UserChoiceSurvivesUntilReset) {
    TTwoFileProject project;
    project.S[0]->SetNext(project.S[3]);
    project.Files.Get(0)->AddEntryPoint("0:00:30.000", true);
    EXPECT_EQ(project.S[0]->NextTarget(), project.S[3]);
    EXPECT_EQ(project.S[0]->NumericKey(2), project.Files.Get(0)->EntryPoints().SelectionAt(1));

    project.S[0]->ResetToDefaults();
    EXPECT_TRUE(project.S[0]->NextAuto());
    EXPECT_EQ(project.S[0]->NextTarget(), project.Files.Get(0)->EntryPoints().SelectionAt(1));
    EXPECT_EQ(project.S[0]->ReturnTarget(), &EndSelection());
    EXPECT_FALSE(project.S[0]->ReturnAuto());
}

TEST(Navigation, MovesAndDeletesRefreshTheTargets) {
    TTwoFileProject project;
    TPbcSelection* const* s = project.S;
    project.Files.Move(1, 0);
    EXPECT_EQ(s[1]->NextTarget(), &EndSelection());  // file 1 is now second: its chapter ends the disc
    EXPECT_EQ(s[3]->NextTarget(), s[0]);
    EXPECT_EQ(s[0]->PrevTarget(), s[2]);
    EXPECT_EQ(s[2]->PrevTarget(), &EndSelection());
    EXPECT_EQ(s[3]->TimeoutTarget(), s[0]);
    EXPECT_EQ(s[0]->PlayItemId(), "Sequence-0002-01");

    project.Files.Delete(0);  // the former second file, now first
    EXPECT_EQ(s[0]->PrevTarget(), &EndSelection());
    EXPECT_EQ(s[1]->NextTarget(), &EndSelection());
    EXPECT_EQ(s[0]->TimeoutTarget(), &EndSelection());
}

TEST(Navigation, UpdateSkipsAProjectWithoutEntries) {
    TMpegFiles files;
    UpdateAllSelections_NextPrevTimeout(files);  // empty: nothing to do
    TNavigationRegistration registration(files);
    files.Add(Video());
    TPbcSelection* start = files.Get(0)->EntryPoints().SelectionAt(0);
    EXPECT_EQ(start->NextTarget(), &EndSelection());
    EXPECT_EQ(start->PrevTarget(), &EndSelection());
}

TEST(Navigation, CleanReferencesWalksTheProject) {
    TTwoFileProject project;
    TPbcSelection outside(nullptr);
    project.S[1]->SetReturn(&outside);
    project.S[3]->SetNumericMode(TNumericMode::Custom);
    project.S[3]->SetNumericKey(50, &outside);
    UpdateAllSelections_CleanReferencesTo(project.Files, outside);
    EXPECT_EQ(project.S[1]->ReturnTarget(), nullptr);
    EXPECT_EQ(project.S[3]->NumericKey(50), nullptr);
}
