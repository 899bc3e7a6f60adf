#include "writers/vcd_properties_xml.h"

#include <gtest/gtest.h>

#include "model/iso_tree.h"
#include "model/mpeg_files.h"
#include "support/temp_folder.h"
#include "writers/project_file.h"
#include "writers/video_cd_xml_writer.h"

namespace {

TStringList Trimmed(const TStringList& lines, const std::string& from, const std::string& to) {
    TStringList found;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line.find(from) != std::string::npos) inside = true;
        if (inside) found.push_back(Trim(line));
        if (inside && line.find(to) != std::string::npos) break;
    }
    return found;
}

class VcdPropertiesXmlTest : public ::testing::Test {
protected:
    TTempFolder Disk;
    TMpegFiles Files;
    TNavigationRegistration Navigation{Files};
    TCdTreeView Tree;
    TVcdProperties Properties;

    void SetUp() override {
        TMpegFile* a = Files.Add(std::make_unique<TMpegFile>(Disk.Write("a.mpg", std::string(3000, 'a')), true));
        a->AddEntryPoint("0:00:10.000", true);
        Files.Add(std::make_unique<TMpegFile>(Disk.Write("still.mpg", std::string(500, 's')), false));
        Files.Add(std::make_unique<TMpegFile>(Disk.Write("b.mpg", std::string(2000, 'b')), true));
        Tree.CreateFolder(nullptr, "VCD", true, true);
        Tree.AddFileFromDisk(Tree.CreateFolder(nullptr, "docs", false, false), Disk.Write("notes.txt", "n"), "", false,
                             false);
        Properties.Files = &Files;
        Properties.IsoTree = &Tree;
        Properties.UsePBC = true;
        Properties.XmlComments = false;
        Properties.ProgramNameVersion = "Lumora v1.1.6";
    }
};

}  // namespace

TEST_F(VcdPropertiesXmlTest, WritesTheProjectListWithItsSelections) {
    TPbcSelection* first = Files.Get(0)->EntryPoints().SelectionAt(0);
    first->SetNext(Files.Get(2)->EntryPoints().SelectionAt(0));
    first->SetDefaultKey(&ItselfSelection());
    first->SetNumericMode(TNumericMode::Custom);
    for (int k = 1; k <= NumericKeyCount; ++k) first->SetNumericKey(k, nullptr);
    first->SetNumericKey(2, Files.Get(1)->EntryPoints().SelectionAt(0));
    first->SetNumericKey(3, &DisabledSelection());

    WriteVideoCdXml(&Properties, true);
    const TStringList& lines = Properties.Lines;
    EXPECT_EQ(
        Trimmed(lines, "<filesystem>", "</filesystem>"),
        (TStringList{"<filesystem>", "<folder>", "<name>DOCS</name>", "<file src=\"" + Disk.File("notes.txt") + "\">",
                     "<name>NOTES.TXT</name>", "</file>", "</folder>", "</filesystem>"}));
    EXPECT_EQ(Trimmed(lines, "<segment-items>", "</segment-items>")[1],
              "<segment-item src=\"" + Disk.File("still.mpg") + "\" id=\"Segment-0002\" pos=\"2\" crc=\"" +
                  Files.Get(1)->Crc() + "\" size=\"500\"/>");
    EXPECT_EQ(Trimmed(lines, "<sequence-items>", "</sequence-items>").size(), 9u);
    EXPECT_EQ(Trimmed(lines, "<selection id=\"Selection-000\"", "</selection>"),
              (TStringList{"<selection id=\"Selection-000\" keys=\"true\">", "<bsn default=\"false\">2</bsn>",
                           "<prev ref=\"Selection-end\" default=\"true\"/>",
                           "<next ref=\"Selection-003\" default=\"false\"/>",
                           "<return ref=\"Selection-end\" default=\"false\"/>",
                           "<default ref=\"Selection-000\" default=\"false\" itself=\"true\"/>",
                           "<timeout ref=\"Selection-002\" default=\"true\"/>", "<wait default=\"true\">2</wait>",
                           "<loop jump-timing=\"immediate\">1</loop>", "<play-item ref=\"Sequence-0001-01\"/>",
                           "<select ref=\"Selection-002\"/>", "<select ref=\"Selection-end\"/>", "</selection>"}));
    EXPECT_EQ(first->SelectionId(), "Selection-000");
    EXPECT_EQ(Files.Get(2)->EntryPoints().SelectionAt(0)->SelectionId(), "Selection-003");

    // The project form reads back into a description that writes the same file.
    const std::string path = Disk.File("p.dsv");
    const std::string again = Disk.File("again.dsv");
    ASSERT_TRUE(SaveProjectFile(path, DescriptionFromProperties(Properties), true));
    ASSERT_TRUE(SaveProjectFile(again, TProjectFileReader().Read(path), true));
    EXPECT_EQ(ReadWholeFile(path), ReadWholeFile(again));
}

TEST_F(VcdPropertiesXmlTest, NullRecordAndPlainMode) {
    WriteVideoCdXml(nullptr, false);  // nothing to do, nothing to crash
    WriteVideoCdXml(&Properties, false);
    ASSERT_FALSE(Properties.Lines.empty());
    EXPECT_EQ(Properties.Lines[1].substr(0, 9), "<!DOCTYPE");
    EXPECT_EQ(Trimmed(Properties.Lines, "<sequence-item src=\"" + Disk.File("a.mpg"), "</sequence-item>"),
              (TStringList{"<sequence-item src=\"" + Disk.File("a.mpg") + "\" id=\"Sequence-0001-01\">",
                           "<default-entry id=\"Chapter-0001-01\"/>", "<entry id=\"Chapter-0001-02\">10.000</entry>",
                           "</sequence-item>"}));
}
