#include "model/iso_tree.h"

#include <gtest/gtest.h>

#include "model/iso_details.h"
#include "model/iso_structure.h"
#include "services/services.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

class IsoTreeTest : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TScriptedDialogs Asked;
    TServicesScope Scope{&Loop, &Asked};
    TTempFolder Disk;
    TIsoTree Tree;

    std::vector<std::string> ChildNames(const TIsoTreeNode* node) const {
        std::vector<std::string> names;
        for (const auto& child : node->Children()) names.push_back(child->DisplayName);
        return names;
    }
};

// Structure of the tree as "NAME(child,child)" for short assertions.
std::string Shape(const TIsoTreeNode& node) {
    std::string text = node.DisplayName;
    if (node.Children().empty()) return text;
    text += "(";
    for (std::size_t i = 0; i < node.Children().size(); ++i) text += (i ? "," : "") + Shape(*node.Children()[i]);
    return text + ")";
}

}  // namespace

TEST_F(IsoTreeTest, SameFileTwiceAddsOnceAndADifferentFileConflicts) {
    const std::string first = Disk.Write("a/readme.txt", "12345");
    const std::string other = Disk.Write("b/readme.txt", "other");

    EXPECT_NE(Tree.AddFileFromDisk(nullptr, first, "", false, false), nullptr);
    EXPECT_NE(Tree.AddFileFromDisk(nullptr, first, "", false, false), nullptr);
    EXPECT_TRUE(Tree.Conflicts().empty());
    EXPECT_EQ(Tree.AddFileFromDisk(nullptr, other, "", false, false), nullptr);

    EXPECT_EQ(ChildNames(Tree.Root()), std::vector<std::string>{"README.TXT"});
    ASSERT_EQ(Tree.Conflicts().size(), 1u);
    EXPECT_EQ(Tree.Conflicts()[0], "At the ISO Fullname:  \"/README.TXT\"\r\r   \"" + other + "\"\r   (" + other +
                                       ")\r\ris in conflict with\r\r   \"" + first + "\"\r   (" + first + ")\r");
    EXPECT_EQ(Tree.RealSize(), 5);
    EXPECT_EQ(Tree.CdSize(), 2048);
}

TEST_F(IsoTreeTest, GeneratedFoldersRefuseUserItemsUnlessForced) {
    TIsoTreeNode* vcd = Tree.CreateFolder(nullptr, "VCD", true, true);
    const std::string file = Disk.Write("x.dat", "x");

    EXPECT_EQ(Tree.AddFileFromDisk(vcd, file, "", false, false), nullptr);
    ASSERT_EQ(Asked.Messages().size(), 1u);
    EXPECT_NE(Asked.Messages()[0].find("Forbidden...\r\rThe Folder \"VCD\" is a special (S)VCD folder!"),
              std::string::npos);
    EXPECT_EQ(Asked.Asked[0].Type, TMsgDlgType::Error);

    // Replacing the generated folder itself is refused in the same way.
    EXPECT_EQ(Tree.CreateFolder(nullptr, "vcd", false, false), nullptr);
    EXPECT_EQ(Asked.Messages().size(), 2u);

    EXPECT_NE(Tree.AddFileFromDisk(vcd, file, "", true, false), nullptr);
    EXPECT_EQ(Shape(*Tree.Root()), "CDROM(VCD(X.DAT))");
}

TEST_F(IsoTreeTest, IsoLevelsLimitDepthSilently) {
    TIsoTreeNode* folder = nullptr;
    for (int level = 1; level <= 8; ++level) {
        folder = Tree.CreateFolder(folder, "L" + std::to_string(level), false, false);
        ASSERT_NE(folder, nullptr) << level;
    }
    EXPECT_EQ(folder->Level(), 8);
    EXPECT_EQ(folder->IsoPath, "/L1/L2/L3/L4/L5/L6/L7/L8");
    EXPECT_EQ(Tree.CreateFolder(folder, "L9", false, false), nullptr);
    // A file may still sit in the eighth folder.
    EXPECT_NE(Tree.CreateVirtualFile(folder, "f.txt", "Generated", false, false, 1), nullptr);
    EXPECT_TRUE(Asked.Asked.empty());
    // Nothing was shown, but the tree knows what it left out.
    EXPECT_EQ(Tree.LimitRefusals(), TStringList{"/L1/L2/L3/L4/L5/L6/L7/L8/L9"});
    Tree.ClearLimitRefusals();
    EXPECT_TRUE(Tree.LimitRefusals().empty());
    EXPECT_FALSE(Tree.SetTreeMode(TTreeMode::Joliet));

    TIsoTree joliet;
    ASSERT_TRUE(joliet.SetTreeMode(TTreeMode::Joliet));
    TIsoTreeNode* deep = nullptr;
    for (int level = 1; level <= 9; ++level) deep = joliet.CreateFolder(deep, "Deep folder", false, false);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->DisplayName, "Deep folder");
}

TEST_F(IsoTreeTest, IsoPathsOfTwoHundredFiftySixCharactersAreRefused) {
    TIsoTree tree;
    ASSERT_TRUE(tree.SetTreeMode(TTreeMode::IsoLevel2));
    TIsoTreeNode* folder = nullptr;
    for (int i = 0; i < 7; ++i)
        folder = tree.CreateFolder(folder, std::string(31, static_cast<char>('A' + i)), false, false);
    ASSERT_EQ(folder->IsoPathLength, 7 * 32);
    EXPECT_EQ(tree.CreateFolder(folder, std::string(31, 'Z'), false, false), nullptr);   // 256 characters
    TIsoTreeNode* last = tree.CreateFolder(folder, std::string(30, 'Z'), false, false);  // 255
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->IsoPathLength, 255);
    EXPECT_EQ(tree.CreateVirtualFile(last, "A.B", "o", false, false, 0), nullptr);
}

TEST_F(IsoTreeTest, DeleteKeepsGeneratedItemsAndTheirFolders) {
    TIsoTreeNode* user = Tree.CreateFolder(nullptr, "user", false, false);
    TIsoTreeNode* kept = Tree.CreateFolder(user, "kept", false, false);
    Tree.CreateVirtualFile(kept, "gen.dat", "Generated", true, true, 3000);
    Tree.CreateVirtualFile(user, "mine.txt", "o", false, false, 5000);
    Tree.CreateFolder(user, "empty", false, false);
    EXPECT_EQ(user->SubTreeSize, 8000);
    EXPECT_EQ(user->SubTreeCdSize, 4096 + 6144);

    EXPECT_EQ(Tree.DeleteSelected(user), Tree.Root());
    EXPECT_EQ(Shape(*Tree.Root()), "CDROM(USER(KEPT(GEN.DAT)))");
    EXPECT_EQ(user->SubTreeSize, 3000);
    EXPECT_EQ(Tree.RealSize(), 3000);
    EXPECT_EQ(Tree.CdSize(), 4096);

    EXPECT_TRUE(Tree.RemoveNamed(nullptr, "USER", true));
    EXPECT_EQ(Shape(*Tree.Root()), "CDROM");
    EXPECT_EQ(Tree.RealSize(), 0);
    EXPECT_EQ(Tree.NodeCount(), 1u);
}

TEST_F(IsoTreeTest, OnlyNonEmptyMultiplesOf2336CanBeMixed) {
    struct TCase {
        std::int64_t size;
        bool allowed;
    };
    for (const TCase& c : {TCase{4672, true}, TCase{2336, true}, TCase{4000, false}, TCase{0, false}}) {
        TIsoTreeNode* node = Tree.CreateVirtualFile(nullptr, "f" + std::to_string(c.size), "o", false, false, c.size);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(Tree.SetMixed(*node, true), c.allowed) << c.size;
        EXPECT_EQ(node->Mixed, c.allowed);
    }
    EXPECT_EQ(Asked.Messages().size(), 2u);
}

TEST_F(IsoTreeTest, FolderScanSortsSkipsRecycledAndRefusesBadPaths) {
    Disk.Write("src/b.txt", "b");
    Disk.Write("src/A.txt", "a");
    Disk.Write("src/Recycled/trash.txt", "t");
    Disk.Write("src/sub/c.mpg", "c");
    Disk.Write("src/sub/d.txt", "d");
    Disk.Write("src/bad & name.txt", "x");
    Tree.ScanFilesFilter = "*.txt;*.MPG";

    TIsoTreeNode* node = Tree.AddFolderFromDisk(nullptr, Disk.File("src"), false, false);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Shape(*Tree.Root()), "CDROM(SRC(SUB(C.MPG,D.TXT),A.TXT,B.TXT))");
    ASSERT_EQ(Asked.Messages().size(), 1u);
    EXPECT_NE(Asked.Messages()[0].find("bad && name.txt"), std::string::npos);
    EXPECT_FALSE(node->Virtual);
    EXPECT_EQ(node->SubTreeSize, 4);
    EXPECT_EQ(Tree.RealSize(), 4);

    TIsoTree limited;
    limited.ScanPenetrationMax = 0;
    limited.AddFolderContent(nullptr, Disk.File("src"), false, false);
    EXPECT_EQ(Shape(*limited.Root()), "CDROM(A.TXT,B.TXT)");
}

TEST_F(IsoTreeTest, FolderScanServesPendingEventsAndStops) {
    for (int i = 0; i < 120; ++i) Disk.Write("many/f" + std::to_string(i) + ".txt", "x");
    int served = 0;
    int refreshes = 0;
    Tree.OnScanRefresh = [&] { ++refreshes; };
    // Each pending event posts the next one; the tenth asks the scan to stop.
    std::function<void()> event = [&] {
        if (++served == 10)
            Tree.RequestStop();
        else
            Loop.Post(event);
    };
    Loop.Post(event);

    EXPECT_FALSE(Tree.AddFolderContent(nullptr, Disk.File("many"), false, false));
    EXPECT_EQ(served, 10);
    EXPECT_EQ(Tree.NodeCount(), 1u + 9u);

    served = 100;  // no more stops
    EXPECT_TRUE(Tree.AddFolderContent(nullptr, Disk.File("many"), false, false));
    EXPECT_EQ(Tree.NodeCount(), 121u);
    EXPECT_GE(refreshes, 2);
}

TEST_F(IsoTreeTest, RequestedIsoNameOnlyWhenAlreadyValid) {
    const std::string file = Disk.Write("long file name.txt", "x");
    struct TCase {
        std::string requested;
        std::string expected;
    };
    for (const TCase& c :
         {TCase{"", "LONG_FIL.TXT"}, TCase{"cdi_vcd.app", "CDI_VCD.APP"}, TCase{"bad name.txt", "LONG_FIL.TXT"}}) {
        TIsoTree tree;
        const TIsoTreeNode* node = tree.AddFileFromDisk(nullptr, file, c.requested, false, false);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->IsoName, c.expected) << c.requested;
        EXPECT_EQ(node->OriginalName, "long file name.txt");
    }
    EXPECT_EQ(Tree.AddFileFromDisk(nullptr, Disk.File("missing.txt"), "", false, false), nullptr);
    EXPECT_EQ(Asked.Messages().size(), 1u);
}

TEST_F(IsoTreeTest, GeneratedStructureByDiscType) {
    struct TCase {
        TIsoStructure structure;
        std::string shape;
    };
    const std::vector<TIsoStructureItem> stills = {{"/m/still.mpg", 4096}};
    const std::vector<TIsoStructureItem> videos = {{"/m/a.mpg", 10240}, {"/m/b.mpg", 20480}};
    const TCase cases[] = {
        {{false, false, false, false, false, "", {}, videos},
         "CDROM(CDDA,EXT,MPEGAV(AVSEQ01.DAT,AVSEQ02.DAT),SEGMENT,USER,VCD(ENTRIES.VCD,INFO.VCD))"},
        {{false, true, false, false, false, "", stills, videos},
         "CDROM(CDDA,EXT(LOT_X.VCD,PSD_X.VCD),MPEGAV(AVSEQ01.DAT,AVSEQ02.DAT),SEGMENT(ITEM0001.DAT),USER,"
         "VCD(ENTRIES.VCD,INFO.VCD,LOT.VCD,PSD.VCD))"},
        {{true, true, false, false, false, "", stills, videos},
         "CDROM(EXT(SCANDATA.DAT),MPEG2(AVSEQ01.MPG,AVSEQ02.MPG),SEGMENT(ITEM0001.MPG),"
         "SVCD(ENTRIES.SVD,INFO.SVD,LOT.SVD,PSD.SVD,SEARCH.DAT,TRACKS.SVD),USER)"},
        {{true, false, true, false, false, "", {}, videos},
         "CDROM(EXT(SCANDATA.DAT),MPEGAV(AVSEQ01.MPG,AVSEQ02.MPG),SEGMENT,"
         "SVCD(ENTRIES.SVD,INFO.SVD,SEARCH.DAT,TRACKS.SVD),USER)"},
    };
    for (const TCase& c : cases) {
        TIsoTree tree;
        tree.CreateFolder(nullptr, "user", false, false);
        BuildGeneratedStructure(tree, cases[0].structure);  // a rebuild replaces the earlier one
        BuildGeneratedStructure(tree, c.structure);
        EXPECT_EQ(Shape(*tree.Root()), c.shape);
        EXPECT_EQ(tree.Root()->FindChild("USER")->Generated, false);
    }
    TIsoTree tree;
    BuildGeneratedStructure(tree, cases[1].structure);
    const TIsoTreeNode* second = tree.Root()->FindChild("MPEGAV")->FindChild("AVSEQ02.DAT");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->Generated);
    EXPECT_TRUE(second->Virtual);
    EXPECT_EQ(second->SourcePath, "/m/b.mpg");
    EXPECT_EQ(second->Size, 20480);
    EXPECT_EQ(tree.Root()->FindChild("EXT")->FindChild("PSD_X.VCD")->SourcePath, "Generated");
    EXPECT_EQ(tree.RealSize(), 4096 + 10240 + 20480 + 65536 + 1024 + 2048 + 2048 + 65536 + 1024);
}

TEST_F(IsoTreeTest, CdiFilesComeFromTheProgramFolder) {
    for (const char* name : {"CDI_VCD.APP", "CDI_TEXT.FNT", "CDI_VCD.CFG"})
        Disk.Write(std::string("Cdi/") + name, "app");
    Disk.Write("Cdi/CDI_IMAG.RTF", std::string(2336, 'r'));
    TIsoStructure structure;
    structure.CdiAvailable = true;
    structure.CdiFolder = Disk.File("Cdi");
    BuildGeneratedStructure(Tree, structure);
    const TIsoTreeNode* cdi = Tree.Root()->FindChild("CDI");
    ASSERT_NE(cdi, nullptr);
    EXPECT_EQ(ChildNames(cdi), (std::vector<std::string>{"CDI_IMAG.RTF", "CDI_TEXT.FNT", "CDI_VCD.APP"}));
    EXPECT_TRUE(cdi->FindChild("CDI_IMAG.RTF")->Mixed);
    EXPECT_TRUE(cdi->FindChild("CDI_VCD.APP")->Generated);
    EXPECT_FALSE(cdi->FindChild("CDI_VCD.APP")->Virtual);

    structure.CdiConfigFile = true;
    BuildGeneratedStructure(Tree, structure);
    EXPECT_EQ(Tree.Root()->FindChild("CDI")->Children().size(), 4u);
    structure.CdiAvailable = false;
    BuildGeneratedStructure(Tree, structure);
    EXPECT_EQ(Tree.Root()->FindChild("CDI"), nullptr);
}

TEST(IsoSize, SectorsAndTheSixHundredFiftyMegabyteMark) {
    EXPECT_EQ(RoundToCdSectors(0), 0);
    EXPECT_EQ(RoundToCdSectors(1), 2048);
    EXPECT_EQ(RoundToCdSectors(2048), 2048);
    EXPECT_EQ(RoundToCdSectors(2049), 4096);
    EXPECT_FALSE(IsoSizeTooBig(650LL * 1048576 - 1));
    EXPECT_TRUE(IsoSizeTooBig(650LL * 1048576));
}

TEST(IsoDetails, SizeTexts) {
    const std::pair<std::int64_t, std::string> cases[] = {
        {0, "0 bytes"},        {1000, "1000 bytes"}, {1001, "0.98 KB"},
        {102400, "100.00 KB"}, {102401, "0.10 MB"},  {5 * 1048576 + 1048576 / 4, "5.25 MB"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(IsoSizeText(size), text) << size;
    EXPECT_EQ(ApproximateIsoSizeText(2048), "Approximate ISO File System size:  2.00 KB");
    // 2026-12-11 13:45:30
    const auto dos =
        static_cast<std::int32_t>((46u << 25) | (12u << 21) | (11u << 16) | (13u << 11) | (45u << 5) | 15u);
    EXPECT_EQ(DosTimeText(dos), "2026-12-11 13:45:30");
}

TEST_F(IsoTreeTest, DetailRowOfAFileAndOfTheRoot) {
    TIsoTreeNode* folder = Tree.CreateFolder(nullptr, "docs", false, false);
    TIsoTreeNode* file = Tree.CreateVirtualFile(folder, "notes.txt", "/home/u/notes.txt", false, false, 4672);
    const TStringList row = IsoDetailRow(Tree, *file);
    ASSERT_EQ(row.size(), IsoDetailColumns().size());
    const TStringList expected = {"NOTES.TXT",         "notes.txt",  "4.56 KB", "4.56 KB",
                                  "6144 bytes",        "6144 bytes", "Yes",     row[7],
                                  "/home/u/notes.txt", "15",         "2",       "/DOCS/NOTES.TXT"};
    EXPECT_EQ(row, expected);
    EXPECT_TRUE(IsoDetailHasMixedBox(*file));
    EXPECT_FALSE(IsoDetailHasMixedBox(*folder));
    const TStringList root = IsoDetailRow(Tree, *Tree.Root());
    EXPECT_EQ(root[0], "CDROM");
    EXPECT_EQ(root[2], "4.56 KB");
    EXPECT_EQ(root[4], "6144 bytes");
}

TEST_F(IsoTreeTest, DroppedPathsAreAddedSortedAndConflictsCollected) {
    const std::string b = Disk.Write("drop/b.txt", "b");
    const std::string folder = Disk.File("drop/sub");
    Disk.Write("drop/sub/inner.txt", "i");
    const std::string clash = Disk.Write("other/b.txt", "x");
    Disk.Write("other/sub/inner.txt", "y");
    TIsoTreeNode* target = Tree.CreateFolder(nullptr, "target", false, false);
    TIsoTreeNode* file = Tree.CreateVirtualFile(target, "v.txt", "o", false, false, 1);
    int started = 0;
    int ended = 0;
    Tree.OnFileDroppedStarted = [&] { ++started; };
    Tree.OnFileDroppedEnded = [&] { ++ended; };

    // Dropped onto a file: its folder takes the items.
    Tree.DropPaths(file, {folder, b});
    EXPECT_EQ(Shape(*Tree.Root()), "CDROM(TARGET(SUB(INNER.TXT),B.TXT,V.TXT))");
    Tree.DropPaths(target, {clash, Disk.File("other/sub")});
    ASSERT_EQ(Tree.Conflicts().size(), 2u);  // b.txt, then the folder sub
    EXPECT_NE(Tree.Conflicts()[0].find("\"" + clash + "\""), std::string::npos);
    EXPECT_NE(Tree.Conflicts()[1].find("\"" + Disk.File("other/sub") + "\""), std::string::npos);
    EXPECT_EQ(started, 2);
    EXPECT_EQ(ended, 2);

    TIsoTreeNode* generated = Tree.CreateFolder(nullptr, "VCD", true, true);
    Tree.DropPaths(generated, {b});
    EXPECT_TRUE(generated->Children().empty());
    EXPECT_EQ(started, 2);
}

TEST_F(IsoTreeTest, TitleIsCutToThirtyTwoCharactersWhole) {
    int changes = 0;
    Tree.OnTitleChanged = [&] { ++changes; };
    Tree.SetTitle(std::string(40, 'T'));
    EXPECT_EQ(Tree.Title(), std::string(32, 'T'));
    Tree.SetTitle(std::string(31, 'T') + "é");  // the 32nd byte is inside "é"
    EXPECT_EQ(Tree.Title(), std::string(31, 'T'));
    Tree.SetTitle("MY DISC");
    EXPECT_EQ(Tree.Root()->DisplayName, "MY DISC");
    EXPECT_EQ(changes, 3);
}

TEST_F(IsoTreeTest, ShortenedNamesThatMeetGetNumberedEndings) {
    const std::string one = Disk.Write("holiday photos 1.txt", "1");
    const std::string two = Disk.Write("holiday photos 2.txt", "22");
    const std::string three = Disk.Write("holiday photos 3.txt", "333");

    TIsoTreeNode* first = Tree.AddFileFromDisk(nullptr, one, "", false, false);
    TIsoTreeNode* second = Tree.AddFileFromDisk(nullptr, two, "", false, false);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->IsoName, "HOLIDAY_.TXT");
    EXPECT_EQ(second->IsoName, "HOLIDA_1.TXT");
    EXPECT_EQ(second->IsoPath, "/HOLIDA_1.TXT");
    // The same files again are the same items; a third one takes the next ending.
    EXPECT_EQ(Tree.AddFileFromDisk(nullptr, two, "", false, false), second);
    EXPECT_EQ(Tree.AddFileFromDisk(nullptr, one, "", false, false), first);
    EXPECT_EQ(Tree.AddFileFromDisk(nullptr, three, "", false, false)->IsoName, "HOLIDA_2.TXT");
    EXPECT_TRUE(Tree.Conflicts().empty());
    EXPECT_TRUE(Asked.Asked.empty());
    EXPECT_EQ(Tree.RealSize(), 6);

    // Folders too, created or from the disk.
    Disk.Write("trip summer a/a.txt", "a");
    Disk.Write("trip summer b/b.txt", "b");
    TIsoTreeNode* tripA = Tree.AddFolderFromDisk(nullptr, Disk.File("trip summer a"), false, false);
    TIsoTreeNode* tripB = Tree.AddFolderFromDisk(nullptr, Disk.File("trip summer b"), false, false);
    ASSERT_NE(tripA, nullptr);
    ASSERT_NE(tripB, nullptr);
    EXPECT_EQ(Shape(*tripA), "TRIP_SUM(A.TXT)");
    EXPECT_EQ(Shape(*tripB), "TRIP_S_1(B.TXT)");
    EXPECT_EQ(tripB->Children()[0]->IsoPath, "/TRIP_S_1/B.TXT");
    EXPECT_EQ(Tree.CreateFolder(nullptr, "year 2021 a", false, false)->IsoName, "YEAR_202");
    EXPECT_EQ(Tree.CreateFolder(nullptr, "year 2021 b", false, false)->IsoName, "YEAR_2_1");
    EXPECT_EQ(Tree.CreateFolder(nullptr, "year 2021 a", false, false)->IsoName, "YEAR_202");
}

TEST_F(IsoTreeTest, NamesThatWereNotShortenedStillConflict) {
    // Different files whose names are already ISO names: a real conflict,
    // even with the different case of the disk.
    const std::string first = Disk.Write("a/notes.txt", "1");
    const std::string other = Disk.Write("b/NOTES.TXT", "2");
    ASSERT_NE(Tree.AddFileFromDisk(nullptr, first, "", false, false), nullptr);
    EXPECT_EQ(Tree.AddFileFromDisk(nullptr, other, "", false, false), nullptr);
    ASSERT_EQ(Tree.Conflicts().size(), 1u);
    EXPECT_NE(Tree.Conflicts()[0].find("is in conflict with"), std::string::npos);
    EXPECT_EQ(ChildNames(Tree.Root()), std::vector<std::string>{"NOTES.TXT"});

    // Generated items keep their own rule: a user's shortened name is not
    // numbered past them, it is refused.
    TIsoTreeNode* vcd = Tree.CreateFolder(nullptr, "VCD", true, true);
    ASSERT_NE(vcd, nullptr);
    EXPECT_EQ(Tree.CreateFolder(nullptr, "v.c.d", false, false), nullptr);
    EXPECT_NE(Asked.Messages().back().find("is a special (S)VCD folder"), std::string::npos);

    // Joliet keeps the names of the disk: nothing is shortened.
    TIsoTree joliet;
    ASSERT_TRUE(joliet.SetTreeMode(TTreeMode::Joliet));
    EXPECT_EQ(joliet.AddFileFromDisk(nullptr, Disk.Write("holiday photos 1.txt", "1"), "", false, false)->DisplayName,
              "holiday photos 1.txt");
    EXPECT_EQ(joliet.AddFileFromDisk(nullptr, Disk.Write("holiday photos 2.txt", "2"), "", false, false)->DisplayName,
              "holiday photos 2.txt");
}
