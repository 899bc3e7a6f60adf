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
                       TCdTreeView& tree) {
    properties.Files = &files;
    properties.IsoTree = &tree;
    const std::string path = disk.File(name);
    EXPECT_TRUE(SaveProjectFile(path, DescriptionFromProperties(properties), true));
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
