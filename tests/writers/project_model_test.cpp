#include "writers/project_model.h"

#include <gtest/gtest.h>

#include "model/iso_tree.h"
#include "model/mpeg_files.h"
#include "support/temp_folder.h"
#include "writers/project_file.h"
#include "writers/vcd_properties_xml.h"

namespace {

// Saves the project of `files` and `tree` and returns the file's bytes.
std::string SavedBytes(const TTempFolder& disk, const std::string& name, TVcdProperties& properties, TMpegFiles& files,
                       TCdTreeView& tree, bool scrambled = true) {
    properties.Files = &files;
    properties.IsoTree = &tree;
    const std::string path = disk.File(name);
    EXPECT_TRUE(SaveProjectFile(path, DescriptionFromProperties(properties), scrambled));
    return ReadWholeFile(path);
}

}  // namespace

TEST(ProjectModel, AProjectOpenedFromItsFileSavesTheSameFile) {
    TTempFolder disk;
    const std::string a = disk.Write("a.mpg", std::string(3000, 'a'));
    const std::string still = disk.Write("still.mpg", std::string(500, 's'));
    const std::string b = disk.Write("b.mpg", std::string(2000, 'b'));
    const std::string notes = disk.Write("notes.txt", "n");
    const std::string raw = disk.Write("raw.dat", std::string(4672, 'r'));

    std::string first;
    {
        TMpegFiles files;
        TNavigationRegistration navigation(files);
        TCdTreeView tree;
        TVcdProperties properties;
        properties.UsePBC = true;
        properties.ProgramNameVersion = "Lumora v1.1.6";
        properties.AlbumName = "Album";
        properties.VolumeLabel = "LABEL";
        properties.GapsCustomized = true;
        properties.LeadoutPreGap = 100;
        TMpegFile* fa = files.Add(std::make_unique<TMpegFile>(a, true));
        fa->AddEntryPoint("0:00:10.000", true);
        fa->AddEntryPoint("0:00:20.500", true);
        files.Add(std::make_unique<TMpegFile>(still, false));
        files.Add(std::make_unique<TMpegFile>(b, true));
        TPbcSelection* s0 = fa->EntryPoints().SelectionAt(0);
        TPbcSelection* s4 = files.Get(2)->EntryPoints().SelectionAt(0);
        s0->SetNext(s4);
        s0->SetDefaultKey(&ItselfSelection());
        s0->SetNumericMode(TNumericMode::Custom);
        s0->SetNumericKey(5, files.Get(1)->EntryPoints().SelectionAt(0));
        s0->SetNumericKey(6, &DisabledSelection());
        fa->EntryPoints().SelectionAt(2)->SetWaitTime(-1);
        s4->SetLoopCount(0);
        s4->SetJumpImmediate(false);
        s4->SetTimeout(s0);
        TIsoTreeNode* docs = tree.CreateFolder(nullptr, "docs", false, false);
        tree.AddFileFromDisk(docs, notes, "", false, false);
        tree.SetMixed(*tree.AddFileFromDisk(nullptr, raw, "", false, false), true);
        first = SavedBytes(disk, "first.dsv", properties, files, tree);
    }

    const TVideoCdDescription read = TProjectFileReader().Read(disk.File("first.dsv"));
    TMpegFiles files;
    TNavigationRegistration navigation(files);
    TCdTreeView tree;
    TVcdProperties properties;
    PropertiesFromDescription(read, properties);
    properties.ProgramNameVersion = read.ProgramNameVersion;
    const TProjectLoadReport report = FilesFromDescription(read, files);
    IsoTreeFromDescription(read.FileSystem, tree);
    EXPECT_TRUE(report.MissingFiles.empty());
    EXPECT_TRUE(report.ChangedFiles.empty());
    EXPECT_EQ(files.Count(), 3);
    EXPECT_EQ(files.Get(0)->EntryPoints().Count(), 3);
    // A disabled key and the end list are one "Selection-end" in the file.
    EXPECT_EQ(files.Get(0)->EntryPoints().SelectionAt(0)->NumericKey(6), &EndSelection());
    EXPECT_EQ(files.Get(0)->EntryPoints().SelectionAt(0)->NextTarget(), files.Get(2)->EntryPoints().SelectionAt(0));
    EXPECT_EQ(SavedBytes(disk, "second.dsv", properties, files, tree), first);
}

TEST(ProjectModel, MissingAndChangedFilesAreReported) {
    TTempFolder disk;
    TVideoCdDescription d;
    TDescriptionFile kept;
    kept.FullPath = disk.Write("kept.mpg", "same");
    kept.Size = 4;
    kept.Crc = "00000000";  // not the file's fingerprint any more
    kept.Entries.push_back({});
    TDescriptionFile gone = kept;
    gone.FullPath = disk.File("gone.mpg");
    d.Files = {gone, kept};
    d.Files[1].Entries[0].Selection.Next = {TPbcTarget::To(0), false};  // points at the missing file

    TMpegFiles files;
    TNavigationRegistration navigation(files);
    const TProjectLoadReport report = FilesFromDescription(d, files);
    EXPECT_EQ(report.MissingFiles, TStringList{gone.FullPath});
    EXPECT_EQ(report.ChangedFiles, TStringList{kept.FullPath});
    ASSERT_EQ(files.Count(), 1);
    EXPECT_EQ(files.Get(0)->EntryPoints().SelectionAt(0)->NextTarget(), nullptr);
}

namespace {

// The model of a project read back from `path`, as opening it builds it.
struct TOpenedProject {
    TMpegFiles Files;
    TNavigationRegistration Navigation{Files};
    TCdTreeView Tree;
    TVcdProperties Properties;

    explicit TOpenedProject(const std::string& path) {
        const TVideoCdDescription read = TProjectFileReader().Read(path);
        PropertiesFromDescription(read, Properties);
        Properties.ProgramNameVersion = read.ProgramNameVersion;
        FilesFromDescription(read, Files);
        IsoTreeFromDescription(read.FileSystem, Tree);
    }
    TPbcSelection* At(int file, int entry) const { return Files.Get(file)->EntryPoints().SelectionAt(entry); }
};

}  // namespace

// What the user chose in the navigation comes back as chosen, even where the
// disc itself would not use it (a wait that loop 0 makes pointless, a custom
// numeric mode without any key yet), and the file is saved again byte for byte.
TEST(ProjectModel, EveryNavigationChoiceSurvivesSaveOpenSave) {
    TTempFolder disk;
    const std::string a = disk.Write("a.mpg", std::string(3000, 'a'));
    const std::string b = disk.Write("b.mpg", std::string(2000, 'b'));
    const std::string still = disk.Write("still.mpg", std::string(500, 's'));
    const std::string notes = disk.Write("notes.txt", "n");

    std::string first;
    {
        TMpegFiles files;
        TNavigationRegistration navigation(files);
        TCdTreeView tree;
        TVcdProperties properties;
        properties.UsePBC = true;
        properties.ProgramNameVersion = "Lumora v1.1.6";
        TMpegFile* fa = files.Add(std::make_unique<TMpegFile>(a, true));
        fa->AddEntryPoint("0:00:10.000", true);
        fa->AddEntryPoint("0:00:20.000", true);
        TMpegFile* fb = files.Add(std::make_unique<TMpegFile>(b, true));
        fb->AddEntryPoint("0:00:05.000", true);
        fb->SetFirstNumericKey(3);  // its automatic keys start at 3
        files.Add(std::make_unique<TMpegFile>(still, false));
        TPbcSelection* a0 = fa->EntryPoints().SelectionAt(0);
        TPbcSelection* a1 = fa->EntryPoints().SelectionAt(1);
        TPbcSelection* a2 = fa->EntryPoints().SelectionAt(2);
        TPbcSelection* b0 = fb->EntryPoints().SelectionAt(0);
        // Keys 1 and 2 free, 3 and 5 set: the first key is 3.
        a0->SetNumericMode(TNumericMode::Custom);
        for (int k = 1; k <= NumericKeyCount; ++k) a0->SetNumericKey(k, nullptr);
        a0->SetNumericKey(3, b0);
        a0->SetNumericKey(5, &EndSelection());
        // Custom mode, no key chosen yet.
        a1->SetNumericMode(TNumericMode::Custom);
        for (int k = 1; k <= NumericKeyCount; ++k) a1->SetNumericKey(k, nullptr);
        // Played forever: the wait and timeout the user set are kept for later.
        a2->SetLoopCount(0);
        a2->SetWaitTime(7);
        a2->SetTimeout(b0);
        // Waits forever: the timeout target is kept too.
        b0->SetWaitTime(-1);
        b0->SetTimeout(a0);
        b0->SetJumpImmediate(false);
        TIsoTreeNode* docs = tree.CreateFolder(nullptr, "docs", false, false);
        tree.AddFileFromDisk(docs, notes, "", false, false);
        first = SavedBytes(disk, "first.dsv", properties, files, tree, false);
    }

    TOpenedProject opened(disk.File("first.dsv"));
    TPbcSelection* a0 = opened.At(0, 0);
    TPbcSelection* b0 = opened.At(1, 0);
    EXPECT_EQ(a0->NumericMode(), TNumericMode::Custom);
    EXPECT_EQ(a0->NumericKey(1), nullptr);
    EXPECT_EQ(a0->NumericKey(2), nullptr);
    EXPECT_EQ(a0->NumericKey(3), b0);
    EXPECT_EQ(a0->NumericKey(5), &EndSelection());
    EXPECT_EQ(opened.At(0, 1)->NumericMode(), TNumericMode::Custom);
    EXPECT_EQ(opened.At(0, 1)->NumericKey(1), nullptr);
    EXPECT_EQ(opened.At(0, 2)->LoopCount(), 0);
    EXPECT_EQ(opened.At(0, 2)->WaitTime(), 7);
    EXPECT_FALSE(opened.At(0, 2)->WaitAuto());
    EXPECT_EQ(opened.At(0, 2)->TimeoutTarget(), b0);
    EXPECT_FALSE(opened.At(0, 2)->TimeoutAuto());
    EXPECT_EQ(b0->WaitTime(), -1);
    EXPECT_EQ(b0->TimeoutTarget(), a0);
    EXPECT_FALSE(b0->TimeoutAuto());
    EXPECT_EQ(opened.Files.Get(1)->FirstNumericKey(), 3);
    EXPECT_EQ(b0->NumericMode(), TNumericMode::Automatic);
    EXPECT_EQ(b0->NumericKey(2), nullptr);
    EXPECT_EQ(b0->NumericKey(3), b0);
    EXPECT_EQ(b0->NumericKey(4), opened.At(1, 1));
    EXPECT_EQ(SavedBytes(disk, "second.dsv", opened.Properties, opened.Files, opened.Tree, false), first);
}

// A disc of stills only is saved without its placeholder sequence: that is
// the program's own file, found again at each generation.
TEST(ProjectModel, AStillsOnlyProjectIsSavedWithoutThePlaceholder) {
    TTempFolder disk;
    const std::string still = disk.Write("still.mpg", std::string(500, 's'));
    const std::string placeholder = disk.Write("Extra/PhotoVCD2-PAL.mpg", std::string(700, 'p'));
    TMpegFiles files;
    TNavigationRegistration navigation(files);
    TCdTreeView tree;
    TVcdProperties properties;
    properties.UsePBC = true;
    properties.PlaceholderSequence = placeholder;
    files.Add(std::make_unique<TMpegFile>(still, false));
    properties.Files = &files;
    properties.IsoTree = &tree;
    const std::string path = disk.File("stills.dsv");
    ASSERT_TRUE(SaveProjectFile(path, DescriptionFromProperties(properties), false));
    const std::string text = ReadWholeFile(path);
    EXPECT_EQ(text.find("PhotoVCD2"), std::string::npos) << text;
    EXPECT_NE(text.find("<option name=\"only segments\" value=\"false\"/>"), std::string::npos) << text;

    TOpenedProject opened(path);
    EXPECT_EQ(opened.Properties.PlaceholderSequence, "");
    ASSERT_EQ(opened.Files.Count(), 1);
    EXPECT_TRUE(opened.Files.Get(0)->IsStill());
    opened.Properties.Files = &opened.Files;
    opened.Properties.IsoTree = &opened.Tree;
    const std::string again = disk.File("again.dsv");
    ASSERT_TRUE(SaveProjectFile(again, DescriptionFromProperties(opened.Properties), false));
    EXPECT_EQ(ReadWholeFile(again), text);
}
