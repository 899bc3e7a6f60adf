#include "writers/video_cd_xml_writer.h"

#include <gtest/gtest.h>

#include "model/iso_tree.h"
#include "support/temp_folder.h"

namespace {

TDescriptionEntry Entry(const std::string& time) {
    TDescriptionEntry entry;
    entry.TimeText = time;
    entry.Selection.Return = {{TPbcTargetKind::End, -1}, false};
    entry.Selection.WaitTime = 2;
    return entry;
}

TDescriptionFile Motion(const std::string& path, std::vector<std::string> times) {
    TDescriptionFile file;
    file.FullPath = path;
    file.Crc = "0A1B2C3D";
    file.Size = 1234567;
    for (const std::string& time : times) file.Entries.push_back(Entry(time));
    return file;
}

// Two motion videos (three and two entries) and a still, automatic links.
TVideoCdDescription SampleProject() {
    TVideoCdDescription d;
    d.ProgramNameVersion = "Lumora v1.1.6";
    d.UsePBC = true;
    d.XmlComments = false;
    d.AlbumName = "Holidays";
    d.VolumeLabel = "SUMMER";
    d.ApplicationID = "CDI/CDI_VCD.APP;1";
    d.Files.push_back(Motion("/media/a.mpg", {"0:00:00.000", "0:01:05.500", "0:02:00.000"}));
    d.Files.push_back(Motion("/media/b.mpg", {"0:00:00.000", "0:00:30.250"}));
    TDescriptionFile still = Motion("/media/still.mpg", {"0:00:00.000"});
    still.IsStill = true;
    d.Files.push_back(still);
    const int count = 6;
    for (int i = 0; i < count; ++i) {
        const std::size_t f = i < 3 ? 0 : i < 5 ? 1 : 2;
        const std::size_t e = i < 3 ? static_cast<std::size_t>(i) : i < 5 ? static_cast<std::size_t>(i - 3) : 0;
        TSelectionState& s = d.Files[f].Entries[e].Selection;
        s.Prev.Target = i == 0 ? TPbcTarget{TPbcTargetKind::End, -1} : TPbcTarget::To(i - 1);
        s.Next.Target = i == count - 1 ? TPbcTarget{TPbcTargetKind::End, -1} : TPbcTarget::To(i + 1);
        s.Timeout.Target = f == 0   ? TPbcTarget::To(3)
                           : f == 1 ? TPbcTarget::To(5)
                                    : TPbcTarget{TPbcTargetKind::End, -1};
    }
    return d;
}

std::string Text(const TStringList& lines) { return JoinLines(lines, "\n") + "\n"; }

// The lines of one selection element, from its opening line to its end.
TStringList SelectionLines(const TStringList& lines, const std::string& id) {
    TStringList found;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line.find("<selection id=\"" + id + "\"") != std::string::npos) inside = true;
        if (inside) found.push_back(Trim(line));
        if (inside && line.find("</selection>") != std::string::npos) break;
    }
    return found;
}

}  // namespace

TEST(VideoCdXmlWriter, PlainDescriptionOfAProject) {
    const std::string expected = R"(<?xml version="1.0"?>
<!DOCTYPE videocd PUBLIC "-//GNU//DTD VideoCD//EN" "http://www.gnu.org/software/vcdimager/videocd.dtd">
<!-- Made with Lumora v1.1.6 - Video CD authoring for GNU VCDImager -->
<!-- See http://www.gnu.org/software/vcdimager/ to have details -->
<videocd xmlns="http://www.gnu.org/software/vcdimager/1.0/" class="vcd" version="2.0">
  <option name="relaxed aps" value="false"/>
  <info>
    <album-id>Holidays</album-id>
    <volume-count>1</volume-count>
    <volume-number>1</volume-number>
    <restriction>0</restriction>
  </info>
  <pvd>
    <volume-id>SUMMER</volume-id>
    <system-id>CD-RTOS CD-BRIDGE</system-id>
    <application-id>CDI/CDI_VCD.APP;1</application-id>
    <preparer-id/>
    <publisher-id>LUMORA_V116</publisher-id>
  </pvd>
  <segment-items>
    <segment-item src="/media/still.mpg" id="Segment-0003"/>
  </segment-items>
  <sequence-items>
    <sequence-item src="/media/a.mpg" id="Sequence-0001-01">
      <default-entry id="Chapter-0001-01"/>
      <entry id="Chapter-0001-02">65.500</entry>
      <entry id="Chapter-0001-03">120.000</entry>
    </sequence-item>
    <sequence-item src="/media/b.mpg" id="Sequence-0002-01">
      <default-entry id="Chapter-0002-01"/>
      <entry id="Chapter-0002-02">30.250</entry>
    </sequence-item>
  </sequence-items>
  <pbc>
    <selection id="Selection-000">
      <prev ref="Selection-end"/>
      <next ref="Selection-001"/>
      <return ref="Selection-end"/>
      <timeout ref="Selection-003"/>
      <wait>2</wait>
      <loop jump-timing="immediate">1</loop>
      <play-item ref="Sequence-0001-01"/>
    </selection>
)";
    const std::string text = Text(WriteVideoCdXml(SampleProject(), TXmlMode::Plain));
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    const std::string tail = R"(    <selection id="Selection-005">
      <prev ref="Selection-004"/>
      <next ref="Selection-end"/>
      <return ref="Selection-end"/>
      <timeout ref="Selection-end"/>
      <wait>2</wait>
      <loop jump-timing="immediate">1</loop>
      <play-item ref="Segment-0003"/>
    </selection>
    <endlist id="Selection-end" rejected="true"/>
  </pbc>
</videocd>
)";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(VideoCdXmlWriter, SelectionTemplates) {
    struct TCase {
        const char* name;
        std::function<void(TSelectionState&)> change;
        TXmlMode mode;
        TStringList expected;  // the lines of Selection-001, trimmed
    };
    const TCase cases[] = {
        {"next disabled, prev itself",
         [](TSelectionState& s) {
             s.Next = {{TPbcTargetKind::Disabled, -1}, false};
             s.Prev = {{TPbcTargetKind::Itself, -1}, false};
         },
         TXmlMode::Project,
         {R"(<selection id="Selection-001" keys="false">)",
          R"(<prev ref="Selection-001" default="false" itself="true"/>)",
          R"(<return ref="Selection-end" default="false"/>)", R"(<timeout ref="Selection-003" default="true"/>)",
          R"(<wait default="true">2</wait>)", R"(<loop jump-timing="immediate">1</loop>)",
          R"(<play-item ref="Chapter-0001-02"/>)", "</selection>"}},
        {"loop forever: no timeout, no wait",
         [](TSelectionState& s) {
             s.LoopCount = 0;
             s.JumpImmediate = false;
         },
         TXmlMode::Plain,
         {R"(<selection id="Selection-001">)", R"(<prev ref="Selection-000"/>)", R"(<next ref="Selection-002"/>)",
          R"(<return ref="Selection-end"/>)", R"(<loop jump-timing="delayed">0</loop>)",
          R"(<play-item ref="Chapter-0001-02"/>)", "</selection>"}},
        {"wait forever: no timeout",
         [](TSelectionState& s) {
             s.WaitTime = -1;
             s.Return = {};
             s.DefaultKey = {TPbcTarget::To(4), false};
         },
         TXmlMode::Plain,
         {R"(<selection id="Selection-001">)", R"(<prev ref="Selection-000"/>)", R"(<next ref="Selection-002"/>)",
          R"(<default ref="Selection-004"/>)", R"(<wait>-1</wait>)", R"(<loop jump-timing="immediate">1</loop>)",
          R"(<play-item ref="Chapter-0001-02"/>)", "</selection>"}},
    };
    for (const TCase& c : cases) {
        TVideoCdDescription d = SampleProject();
        c.change(d.Files[0].Entries[1].Selection);
        const TStringList lines = SelectionLines(WriteVideoCdXml(d, c.mode), "Selection-001");
        EXPECT_EQ(lines, c.expected) << c.name << "\n" << JoinLines(lines, "\n");
    }
}

TEST(VideoCdXmlWriter, NumericKeysFromTheFirstToTheLastKeyWithATarget) {
    TVideoCdDescription d = SampleProject();
    TSelectionState& s = d.Files[0].Entries[0].Selection;
    s.NumericMode = TNumericMode::Custom;
    s.NumericKeys[2] = TPbcTarget::To(2);               // key 3
    s.NumericKeys[6] = {TPbcTargetKind::Disabled, -1};  // key 7
    s.NumericKeys[7] = {TPbcTargetKind::Itself, -1};    // key 8
    const TStringList keys[] = {
        {R"(<bsn default="false">3</bsn>)", R"(<select ref="Selection-002"/>)", R"(<select ref=""/>)",
         R"(<select ref=""/>)", R"(<select ref=""/>)", R"(<select ref="Selection-end"/>)",
         R"(<select ref="Selection-000" itself="true"/>)"},
        {R"(<bsn>3</bsn>)", R"(<select ref="Selection-002"/>)", R"(<select ref="Selection-000"/>)",
         R"(<select ref="Selection-000"/>)", R"(<select ref="Selection-000"/>)", R"(<select ref="Selection-end"/>)",
         R"(<select ref="Selection-000"/>)"},
    };
    int index = 0;
    for (const TXmlMode mode : {TXmlMode::Project, TXmlMode::Plain}) {
        TStringList found;
        for (const std::string& line : SelectionLines(WriteVideoCdXml(d, mode), "Selection-000"))
            if (StartsWith(line, "<bsn") || StartsWith(line, "<select ")) found.push_back(line);
        EXPECT_EQ(found, keys[index++]) << JoinLines(found, "\n");
    }
    // The keys are kept but not written without numeric keys.
    s.NumericMode = TNumericMode::None;
    for (const std::string& line : SelectionLines(WriteVideoCdXml(d, TXmlMode::Plain), "Selection-000"))
        EXPECT_FALSE(StartsWith(line, "<bsn") || StartsWith(line, "<select ")) << line;
}

TEST(VideoCdXmlWriter, CommentsNameTheTargetsCleaned) {
    TVideoCdDescription d = SampleProject();
    d.XmlComments = true;
    d.Files[0].FullPath = "/media/Été -- à Noël (1).mpg";
    TSelectionState& s = d.Files[0].Entries[0].Selection;
    s.NumericMode = TNumericMode::Automatic;
    s.NumericKeys[0] = {TPbcTargetKind::Itself, -1};
    s.NumericKeys[1] = {};
    s.NumericKeys[2] = {TPbcTargetKind::Disabled, -1};
    const TStringList lines = SelectionLines(WriteVideoCdXml(d, TXmlMode::Plain), "Selection-000");
    const std::string self = "Sequence-0001-01 - 0:00:00.000 - Ete - a Noel _1_.mpg";
    const TStringList expected = {
        "<selection id=\"Selection-000\"> <!-- " + self + " -->",
        "<bsn>1</bsn>",
        "<prev ref=\"Selection-end\"/> <!-- Key Prev: VideoCD END -->",
        "<next ref=\"Selection-001\"/> <!-- Key Next: Chapter-0001-02 - 0:01:05.500 - Ete - a Noel _1_.mpg -->",
        "<return ref=\"Selection-end\"/> <!-- Key Return: VideoCD END -->",
        "<timeout ref=\"Selection-003\"/> <!-- On Timeout: Sequence-0002-01 - 0:00:00.000 - b.mpg -->",
        "<wait>2</wait>",
        "<loop jump-timing=\"immediate\">1</loop>",
        "<play-item ref=\"Sequence-0001-01\"/> <!-- Item to Play: " + self + " -->",
        "<select ref=\"Selection-000\"/> <!-- Key 1: " + self + " -->",
        "<select ref=\"Selection-000\"/> <!-- Key 2: " + self + " (no action normally) -->",
        "<select ref=\"Selection-end\"/> <!-- Key 3: VideoCD END -->",
        "</selection>",
    };
    EXPECT_EQ(lines, expected) << JoinLines(lines, "\n");
}

TEST(VideoCdXmlWriter, CommentCleaning) {
    const std::pair<std::string, std::string> cases[] = {
        {"àâãä èéêë îï ôõö ùûü", "aaaa eeee ii ooo uuu"},
        {"ÀÂÃÄ ÈÉÊË ÎÏ ÔÕÖ ÙÛÜ", "AAAA EEEE II OOO UUU"},
        {"áíóú ÁÍÓÚ ìò", "____ ____ __"},  // not among the plain vowels
        {"a--b---c", "a-b-c"},
        {"x<!-->y&z\"", "x__-_y_z_"},
        {"Chapter-0001-02 - 1:00:00.000 - my_file.mpg", "Chapter-0001-02 - 1:00:00.000 - my_file.mpg"},
        {"日本", "__"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(CleanCommentText(in), out) << in;
}

TEST(VideoCdXmlWriter, ValuesAreEscaped) {
    TVideoCdDescription d = SampleProject();
    d.AlbumName = "Tom & Jerry <\"best\">";
    d.VolumeLabel = "A&B";
    d.Files[0].FullPath = "/media/Tom & Jerry.mpg";
    d.FileSystem.push_back({false, "README.TXT", "/docs/a&b.txt", false, {}});
    d.Options.OutputBaseName = "/out/Tom & Jerry";
    const std::string text = Text(WriteVideoCdXml(d, TXmlMode::Project));
    EXPECT_NE(text.find("<album-id>Tom &amp; Jerry &lt;&quot;best&quot;&gt;</album-id>"), std::string::npos);
    EXPECT_NE(text.find("<volume-id>A&amp;B</volume-id>"), std::string::npos);
    EXPECT_NE(text.find("src=\"/media/Tom &amp; Jerry.mpg\""), std::string::npos);
    EXPECT_NE(text.find("<file src=\"/docs/a&amp;b.txt\">"), std::string::npos);
    EXPECT_NE(text.find("value=\"/out/Tom &amp; Jerry\""), std::string::npos);
    EXPECT_EQ(text.find("Tom & Jerry"), std::string::npos);
}

TEST(VideoCdXmlWriter, DiscTypeRules) {
    TVideoCdDescription d = SampleProject();
    d.VideoCdType = TVideoCdType::Vcd11;
    d.Files.pop_back();  // no stills on a VCD 1.1
    for (const TXmlMode mode : {TXmlMode::Plain, TXmlMode::Project}) {
        const std::string text = Text(WriteVideoCdXml(d, mode));
        EXPECT_EQ(text.find("<pbc>"), std::string::npos);
        EXPECT_EQ(text.find("<restriction>"), std::string::npos);
        EXPECT_EQ(text.find("pbc default delay"), std::string::npos);
        EXPECT_NE(text.find("class=\"vcd\" version=\"1.1\""), std::string::npos);
    }

    d = SampleProject();
    d.VideoCdType = TVideoCdType::Svcd10;
    d.VolumeLabel = "";
    d.SvcdMpegavEntrysvd = true;
    d.UpdateScanOffsets = true;
    d.Options.GapsCustomized = true;
    d.LeadoutPreGap = 150;
    const TStringList lines = WriteVideoCdXml(d, TXmlMode::Project);
    const std::string text = Text(lines);
    EXPECT_NE(text.find("    <volume-id>VIDEOCD</volume-id>\n"), std::string::npos);
    EXPECT_NE(text.find("    <application-id></application-id>\n"), std::string::npos);
    EXPECT_EQ(text.find("default cdi"), std::string::npos);
    const std::string options = R"(    <option name="svcd vcd30 mpegav" value="true"/>
    <option name="svcd vcd30 entrysvd" value="true"/>
    <option name="update scan offsets" value="true"/>
    <option name="relaxed aps" value="false"/>
    <option name="leadout pregap" value="150"/>
    <option name="track pregap" value="150"/>
    <option name="track front margin" value="30"/>
    <option name="track rear margin" value="45"/>
)";
    EXPECT_NE(text.find(options), std::string::npos) << text;

    // Toast needs its track pregap even without customised gaps.
    d.Options.GapsCustomized = false;
    d.Options.CdImageType = TCdImageType::Toast;
    d.TrackPreGap = 152;
    const std::string toast = Text(WriteVideoCdXml(d, TXmlMode::Plain));
    EXPECT_NE(toast.find("  <option name=\"relaxed aps\" value=\"false\"/>\n  <option name=\"track pregap\" "
                         "value=\"152\"/>\n  <info>"),
              std::string::npos);
}

TEST(VideoCdXmlWriter, StillsOnlyDiscGetsThePlaceholderSequence) {
    TTempFolder folder;
    TVideoCdDescription d = SampleProject();
    d.Files.erase(d.Files.begin(), d.Files.begin() + 2);
    d.Files[0].Entries[0].Selection = {};
    d.Files.push_back(d.Files[0]);
    d.PlaceholderSequence = folder.Write("Photo VCD2-PAL.mpg", std::string(5000, 'p'));
    const std::string plain = Text(WriteVideoCdXml(d, TXmlMode::Plain));
    EXPECT_NE(plain.find("  <sequence-items>\n    <sequence-item src=\"" + d.PlaceholderSequence +
                         "\" id=\"Sequence-0003\">\n      <default-entry id=\"Chapter-0003-01\"/>\n    "
                         "</sequence-item>\n  </sequence-items>\n"),
              std::string::npos)
        << plain;
    const std::string project = Text(WriteVideoCdXml(d, TXmlMode::Project));
    EXPECT_NE(project.find("id=\"Sequence-0003\" pos=\"0\" crc=\"00000000\" size=\"5000\">"), std::string::npos);
    EXPECT_NE(project.find("<option name=\"only segments\" value=\"true\"/>"), std::string::npos);
    d.PlaceholderSequence = folder.File("missing.mpg");
    EXPECT_NE(Text(WriteVideoCdXml(d, TXmlMode::Project)).find("size=\"-1\">"), std::string::npos);
}

TEST(VideoCdXmlWriter, EmptyProjectKeepsAnEmptyPbcInProjectModeOnly) {
    TVideoCdDescription d = SampleProject();
    d.Files.clear();
    EXPECT_EQ(Text(WriteVideoCdXml(d, TXmlMode::Plain)).find("<pbc>"), std::string::npos);
    EXPECT_NE(Text(WriteVideoCdXml(d, TXmlMode::Project)).find("    <pbc>\n    </pbc>\n  </videocd>\n</lumora>\n"),
              std::string::npos);
}

TEST(VideoCdXmlWriter, FileSystemFromTheIsoTree) {
    TTempFolder disk;
    TIsoTree tree;
    TIsoTreeNode* user = tree.CreateFolder(nullptr, "extras", false, false);
    tree.AddFileFromDisk(user, disk.Write("notes.txt", "n"), "", false, false);
    tree.CreateVirtualFile(user, "virtual.txt", "o", false, false, 10);
    TIsoTreeNode* mixed =
        tree.AddFileFromDisk(nullptr, disk.Write("raw.dat", std::string(2336, 'r')), "", false, false);
    ASSERT_TRUE(tree.SetMixed(*mixed, true));
    TIsoTreeNode* cdi = tree.CreateFolder(nullptr, "CDI", true, true);
    tree.AddFileFromDisk(cdi, disk.Write("CDI_VCD.APP", "app"), "", true, true);
    TIsoTreeNode* segment = tree.CreateFolder(nullptr, "SEGMENT", true, true);
    tree.CreateVirtualFile(segment, "ITEM0001.DAT", "/m/s.mpg", true, true, 4096);
    tree.CreateFolder(nullptr, "VCD", true, true);

    TVideoCdDescription d = SampleProject();
    d.FileSystem = FileSystemItems(tree, tree.Root(), true);
    const std::string expected =
        "  <filesystem>\n"
        "    <folder>\n      <name>CDI</name>\n      <file src=\"" +
        disk.File("CDI_VCD.APP") +
        "\">\n        <name>CDI_VCD.APP</name>\n      </file>\n    </folder>\n"
        "    <folder>\n      <name>EXTRAS</name>\n      <file src=\"" +
        disk.File("notes.txt") +
        "\">\n        <name>NOTES.TXT</name>\n      </file>\n    </folder>\n"
        "    <folder>\n      <name>SEGMENT</name>\n    </folder>\n"
        "    <file src=\"" +
        disk.File("raw.dat") +
        "\" format=\"mixed\">\n"
        "      <name>RAW.DAT</name>\n    </file>\n"
        "  </filesystem>\n";
    EXPECT_NE(Text(WriteVideoCdXml(d, TXmlMode::Plain)).find(expected), std::string::npos)
        << Text(WriteVideoCdXml(d, TXmlMode::Plain));
    EXPECT_EQ(FileSystemItems(tree, tree.Root(), false).size(), 3u);  // no SEGMENT

    TIsoTree generatedOnly;
    generatedOnly.CreateFolder(nullptr, "VCD", true, true);
    d.FileSystem = FileSystemItems(generatedOnly, nullptr, false);
    EXPECT_EQ(Text(WriteVideoCdXml(d, TXmlMode::Plain)).find("<filesystem>"), std::string::npos);
}

TEST(VideoCdXmlWriter, NetworkPathsAndSmallHelpers) {
    EXPECT_EQ(ToolPath("\\\\server\\share\\a.mpg"), "//server/share/a.mpg");
    EXPECT_EQ(ToolPath("C:\\media\\a.mpg"), "C:\\media\\a.mpg");
    EXPECT_EQ(PublisherId("Lumora v1.1.6"), "LUMORA_V116");
    EXPECT_EQ(SelectionIdAt(0), "Selection-000");
    EXPECT_EQ(SelectionIdAt(1000), "Selection-1000");
}
