#include "writers/project_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "lib/safe_file.h"
#include "support/temp_folder.h"
#include "writers/integrity_text_file.h"
#include "writers/video_cd_xml_writer.h"

namespace {

TDescriptionEntry Entry(const std::string& time) {
    TDescriptionEntry entry;
    entry.TimeText = time;
    entry.Selection.Prev = {{}, false};
    entry.Selection.Next = {{}, false};
    entry.Selection.Return = {{TPbcTargetKind::End, -1}, false};
    entry.Selection.DefaultKey = {{}, false};
    entry.Selection.WaitTime = 2;
    return entry;
}

TDescriptionFile File(const std::string& path, bool still, std::vector<std::string> times) {
    TDescriptionFile file;
    file.FullPath = path;
    file.IsStill = still;
    file.Crc = still ? "FFFF0000" : "0A1B2C3D";
    file.Size = still ? 40960 : 3456789;
    for (const std::string& time : times) file.Entries.push_back(Entry(time));
    return file;
}

// A VCD 2.0 project using every element and attribute the project form has.
TVideoCdDescription FullProject() {
    TVideoCdDescription d;
    d.ProgramNameVersion = "Lumora v1.1.6";
    d.Options.TvSystem = TTvSystem::Ntsc;
    d.Options.CdImageType = TCdImageType::Toc;
    d.Options.Image2336 = true;
    d.Options.GapsCustomized = true;
    d.Options.DefaultWaitTime = 5;
    d.Options.NumericKeysByDefault = false;
    d.Options.AlwaysSegmentFolder = false;
    d.Options.DefaultCdiApplication = true;
    d.Options.DefaultCdiConfigFile = false;
    d.Options.ExpertMode = true;
    d.Options.ComplianceChecks = false;
    d.Options.XmlOnly = false;
    d.Options.OutputBaseName = "/out/Tom & Jerry";
    d.UsePBC = true;
    d.XmlComments = true;
    d.RelaxedAps = true;
    d.LeadoutPreGap = 150;
    d.TrackPreGap = 160;
    d.TrackFrontMargin = 15;
    d.TrackRearMargin = 20;
    d.AlbumName = "Tom & Jerry";
    d.VolumeCount = 3;
    d.VolumeNumber = 2;
    d.NextVolumeUseSequence2 = true;
    d.NextVolumeUseLid2 = true;
    d.RestrictionCategory = 2;
    d.VolumeLabel = "CARTOONS";
    d.ApplicationID = "CDI/CDI_VCD.APP;1";
    TFileSystemItem folder{true, "EXTRAS", "", false, {}};
    folder.Children.push_back({true, "DEEP", "", false, {{false, "A.TXT", "/docs/a <1>.txt", false, {}}}});
    folder.Children.push_back({false, "RAW.DAT", "/docs/raw.dat", true, {}});
    d.FileSystem = {folder, {false, "README.TXT", "/docs/readme.txt", false, {}}};

    d.Files.push_back(File("/media/a.mpg", false, {"0:00:00.000", "0:01:05.500", "1:02:03.004"}));
    d.Files.push_back(File("/media/still \"one\".mpg", true, {"0:00:00.000"}));
    d.Files.push_back(File("/media/b.mpg", false, {"0:00:00.000", "0:00:30.250"}));
    // Flat positions: 0 1 2 (a.mpg), 3 (still), 4 5 (b.mpg).
    TSelectionState& s0 = d.Files[0].Entries[0].Selection;
    s0.Prev = {{TPbcTargetKind::End, -1}, true};
    s0.Next = {TPbcTarget::To(1), true};
    s0.DefaultKey = {{TPbcTargetKind::Itself, -1}, false};
    s0.Timeout = {TPbcTarget::To(3), true};
    s0.NumericMode = TNumericMode::Automatic;
    for (int k = 0; k < 6; ++k) s0.NumericKeys[static_cast<std::size_t>(k)] = TPbcTarget::To(k);
    TSelectionState& s1 = d.Files[0].Entries[1].Selection;
    s1.Prev = {TPbcTarget::To(0), true};
    s1.Next = {TPbcTarget::To(5), false};
    s1.WaitTime = -1;
    s1.WaitAuto = false;
    s1.Timeout = {{TPbcTargetKind::End, -1}, true};
    s1.NumericMode = TNumericMode::Custom;
    s1.NumericKeys[2] = TPbcTarget::To(4);
    s1.NumericKeys[4] = {TPbcTargetKind::End, -1};
    s1.NumericKeys[6] = {TPbcTargetKind::Itself, -1};
    TSelectionState& s2 = d.Files[0].Entries[2].Selection;
    s2.LoopCount = 0;
    s2.JumpImmediate = false;
    s2.WaitAuto = true;
    s2.WaitTime = 0;
    s2.Return = {{TPbcTargetKind::Itself, -1}, true};
    s2.NumericMode = TNumericMode::Automatic;  // without any key target
    d.Files[2].FirstNumericKey = 5;
    TSelectionState& s3 = d.Files[1].Entries[0].Selection;
    s3.NumericMode = TNumericMode::Custom;  // without any key yet
    s3.LoopCount = 1;
    s3.Timeout = {{}, false};
    s3.WaitTime = 10;
    TSelectionState& s5 = d.Files[2].Entries[1].Selection;
    s5.Timeout = {TPbcTarget::To(0), false};
    s5.WaitTime = 65534;
    return d;
}

TVideoCdDescription SvcdProject() {
    TVideoCdDescription d = FullProject();
    d.VideoCdType = TVideoCdType::Svcd10;
    d.SvcdMpegavEntrysvd = true;
    d.UpdateScanOffsets = true;
    d.ApplicationID = "";
    d.Options.DefaultCdiApplication = false;  // not written for an SVCD
    d.Options.DefaultCdiConfigFile = true;
    d.Options.OutputBaseName = "";
    d.XmlComments = false;
    return d;
}

class ProjectFileTest : public ::testing::Test {
protected:
    TTempFolder Folder;
    TProjectFileReader Reader;

    std::string Saved(const TVideoCdDescription& d, bool scrambled, const std::string& name = "p.dsv") {
        const std::string path = Folder.File(name);
        std::string error;
        EXPECT_TRUE(SaveProjectFile(path, d, scrambled, &error)) << error;
        return path;
    }

    // The message of the load error, or "no error".
    std::string LoadError(std::string_view bytes) {
        try {
            Reader.ReadBytes(bytes, "p.dsv");
        } catch (const ELoadProjectError& e) {
            return e.what();
        }
        return "no error";
    }
};

// The project text with one line replaced, and a fresh integrity line.
std::string WithLine(const TVideoCdDescription& d, const std::string& from, const std::string& to) {
    TStringList lines = WriteVideoCdXml(d, TXmlMode::Project);
    bool replaced = false;
    for (std::string& line : lines) {
        if (line.find(from) == std::string::npos || replaced) continue;
        line = ReplaceAll(line, from, to);
        replaced = true;
    }
    EXPECT_TRUE(replaced) << from;
    const std::string text = LinesToText(lines);
    return text + IntegrityLine(text) + "\r\n";
}

}  // namespace

TEST_F(ProjectFileTest, RoundTripGivesTheSameProjectAndTheSameBytes) {
    for (const TVideoCdDescription& project : {FullProject(), SvcdProject()}) {
        for (const bool scrambled : {true, false}) {
            const std::string first = Saved(project, scrambled, "first.dsv");
            const TVideoCdDescription read = Reader.Read(first);
            EXPECT_TRUE(read == project) << ReadWholeFile(first);
            const std::string second = Saved(read, scrambled, "second.dsv");
            EXPECT_EQ(ReadWholeFile(first), ReadWholeFile(second));
        }
    }
}

TEST_F(ProjectFileTest, ValuesTheFileCannotTellApartStillGiveTheSameBytes) {
    TVideoCdDescription d = FullProject();
    d.VolumeLabel = "";                                                               // written as VIDEOCD
    d.Files[0].Entries[1].Selection.NumericKeys[4] = {TPbcTargetKind::Disabled, -1};  // as the end list
    d.Files[0].Entries[0].Selection.Prev = {{TPbcTargetKind::Disabled, -1}, false};   // omitted
    d.Files[2].Entries[0].Selection.NumericMode = TNumericMode::None;
    d.Files[2].Entries[0].Selection.NumericKeys[0] = TPbcTarget::To(0);  // kept, not written
    const std::string first = Saved(d, true, "first.dsv");
    const std::string second = Saved(Reader.Read(first), true, "second.dsv");
    EXPECT_EQ(ReadWholeFile(first), ReadWholeFile(second));
}

TEST_F(ProjectFileTest, FileLayout) {
    TVideoCdDescription d = SvcdProject();
    d.Files.clear();
    const std::string plain = ReadWholeFile(Saved(d, false));
    const std::string expected =
        "<?xml version=\"1.0\"?>\r\n"
        "<!-- DO NOT EDIT THIS FILE, MODIFICATIONS TO THIS FILE WILL BE REJECTED -->\r\n"
        "<!-- Made with Lumora v1.1.6 - Video CD authoring for GNU VCDImager -->\r\n"
        "<!-- See http://www.gnu.org/software/vcdimager/ to have details -->\r\n"
        "<lumora format=\"1.0\">\r\n"
        "  <option name=\"tv system\" value=\"NTSC\"/>\r\n"
        "  <option name=\"cd image type\" value=\"toc\"/>\r\n"
        "  <option name=\"cd image as 2336\" value=\"true\"/>\r\n"
        "  <option name=\"only segments\" value=\"false\"/>\r\n"
        "  <option name=\"gaps customized\" value=\"true\"/>\r\n"
        "  <option name=\"pbc default delay\" value=\"5\"/>\r\n"
        "  <option name=\"pbc use numeric keys\" value=\"false\"/>\r\n"
        "  <option name=\"always segment folder\" value=\"false\"/>\r\n"
        "  <option name=\"expert mode\" value=\"true\"/>\r\n"
        "  <option name=\"compliance checks\" value=\"false\"/>\r\n"
        "  <option name=\"xml file only\" value=\"false\"/>\r\n"
        "  <videocd xmlns=\"http://www.gnu.org/software/vcdimager/1.0/\" class=\"svcd\" version=\"1.0\">\r\n";
    EXPECT_EQ(plain.substr(0, expected.size()), expected);
    const std::string end = "    <pbc>\r\n    </pbc>\r\n  </videocd>\r\n</lumora>\r\n";
    const std::string text = plain.substr(0, plain.rfind("<!-- integrity"));
    EXPECT_EQ(text.substr(text.size() - end.size()), end);
    EXPECT_EQ(plain.substr(text.size()), IntegrityLine(text) + "\r\n");

    const std::string scrambled = ReadWholeFile(Saved(d, true));
    EXPECT_EQ(scrambled.substr(0, 7), "BINARY\r");
    EXPECT_EQ(UnscrambleBytes(scrambled), plain);
}

TEST_F(ProjectFileTest, ModifiedOrDamagedFilesAreRejected) {
    const std::string path = Saved(FullProject(), false);
    const std::string good = ReadWholeFile(path);
    std::string changed = good;
    changed[good.find("Tom & Jerry") == std::string::npos ? good.find("CARTOONS") : 0] = 'K';
    EXPECT_NE(LoadError(changed).find("was modified or is damaged"), std::string::npos);
    const std::string noIntegrity = good.substr(0, good.rfind("<!-- integrity"));
    EXPECT_NE(LoadError(noIntegrity).find("has no integrity line"), std::string::npos);

    std::string scrambled = ScrambleText(good);
    scrambled[100] = static_cast<char>(scrambled[100] ^ 0x01);
    EXPECT_NE(LoadError(scrambled).find("was modified or is damaged"), std::string::npos);

    try {
        Reader.Read(Folder.File("missing.dsv"));
        ADD_FAILURE() << "a missing file was read";
    } catch (const ELoadProjectError& e) {
        EXPECT_NE(std::string(e.what()).find("Unable to read the project file"), std::string::npos);
    }
}

TEST_F(ProjectFileTest, MalformedContentNamesTheLineAndTheProblem) {
    const TVideoCdDescription d = FullProject();
    struct TCase {
        std::string from, to, message;
    };
    const TCase cases[] = {
        {"<lumora format=\"1.0\">", "<lumora format=\"2.0\">", "Line 5: unsupported project format \"2.0\""},
        {"<lumora format=\"1.0\">", "<project>", "Start-end tags mismatch"},  // no longer well-formed
        {"value=\"toc\"", "value=\"iso\"", "Line 7: unknown CD image type \"iso\""},
        {"\"cd image as 2336\" value=\"true\"", "\"cd image as 2336\" value=\"yes\"",
         "Line 8: The option \"cd image as 2336\" must be \"true\" or \"false\", not \"yes\""},
        {"class=\"vcd\" version=\"2.0\"", "class=\"vcd\" version=\"3.0\"", "unknown disc type \"vcd\" version \"3.0\""},
        {"<volume-count>3</volume-count>", "<volume-count>three</volume-count>",
         "The volume count must be a number from 1 to 65534, not \"three\""},
        {"crc=\"0A1B2C3D\"", "crc=\"xyz\"", "the CRC \"xyz\" is not 8 hexadecimal digits"},
        {"pos=\"3\"", "pos=\"4\"", "the MPEG file at position 3 is missing"},
        {">65.500<", ">65.5<", "the chapter time \"65.5\" is not a number of seconds with three decimals"},
        {">65.500<", ">3800.000<", "the chapter at 3723.004 seconds is not after the one before it"},
        {"<next ref=\"Selection-001\"", "<next ref=\"Selection-077\"", "unknown selection \"Selection-077\""},
        {"<play-item ref=\"Chapter-0001-02\"/>", "<play-item ref=\"Chapter-0009-02\"/>",
         "the play item \"Chapter-0009-02\" is not an MPEG file or chapter of the project"},
        {"<loop jump-timing=\"delayed\">", "<loop jump-timing=\"later\">", "unknown jump timing \"later\""},
        {"<wait default=\"false\">-1</wait>", "<wait default=\"false\">-2</wait>",
         "The wait time must be a number from -1 to 65534, not \"-2\""},
    };
    for (const TCase& c : cases) {
        const std::string message = LoadError(WithLine(d, c.from, c.to));
        EXPECT_NE(message.find("Unable to load the project \"p.dsv\""), std::string::npos) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.to << "\n" << message;
    }
    // The line number points at the element at fault.
    const std::string bytes = WithLine(d, "crc=\"0A1B2C3D\"", "crc=\"xyz\"");
    const TStringList lines = SplitLines(bytes);
    int line = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find("crc=\"xyz\"") != std::string::npos) line = static_cast<int>(i) + 1;
    EXPECT_NE(LoadError(bytes).find("Line " + std::to_string(line) + ": "), std::string::npos);
}

TEST_F(ProjectFileTest, AFileSystemNestedTooDeeplyIsRefused) {
    for (const int depth : {8, 9}) {
        TVideoCdDescription d = FullProject();
        TFileSystemItem folder{true, "LEVEL", "", false, {}};
        for (int level = 1; level < depth; ++level) folder = TFileSystemItem{true, "LEVEL", "", false, {folder}};
        d.FileSystem = {folder};
        const std::string path = Saved(d, false);
        const std::string message = LoadError(ReadWholeFile(path));
        if (depth == 8)
            EXPECT_EQ(message, "no error");
        else
            EXPECT_NE(message.find("nested deeper than 8 folders"), std::string::npos) << message;
    }
}

TEST_F(ProjectFileTest, AFailedSaveKeepsTheOldProject) {
    const std::string path = Saved(FullProject(), true);
    const std::string before = ReadWholeFile(path);
    TVideoCdDescription other = FullProject();
    other.AlbumName = "Other";

    // The disk fills up while writing: the file size limit makes write() fail.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    const bool ok = SaveProjectFile(path, other, true, &error);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(Reader.Read(path).AlbumName, "Tom & Jerry");
}
