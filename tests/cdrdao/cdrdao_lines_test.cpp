#include "cdrdao/cdrdao_lines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Lines as cdrdao 1.2.4 prints them, and what the log shows of each.
TEST(CdrdaoLines, CleaningAndDropping) {
    struct TCase {
        std::string Raw;
        std::string Shown;
        std::string Error;
    };
    const std::vector<TCase> cases = {
        {"Cdrdao version 1.2.4 - (C) Andreas Mueller <andreas@daneb.de>", "", ""},
        {"  SCSI interface library - (C) Joerg Schilling", "", ""},
        {"  Paranoia DAE library - (C) Monty", "", ""},
        {"Check http://cdrdao.sourceforge.net/drives.html#dt for current driver tables.", "", ""},
        {"Using libscg version 'schily-0.8'", "", ""},
        {"Process can be aborted with QUIT signal (usually CTRL-\\).", "", ""},
        {"CDB:  2A 00 FF FF FF D2 00 00 1A 00", "", ""},
        {"Sense Key: 0x2 Not Ready, Segment 0", "", ""},
        {"   \t ", "", ""},
        {"CD-RW                : no", "CD-RW: no", ""},
        {"Wrote 2 of 3 MB (Buffers 100%  97%).", "Wrote 2 of 3 MB (Buffers 100% 97%).", ""},
        {" 1      MODE2_RAW 4    00:00:00(     0)     00:04:00(   300)", "1 MODE2_RAW 4 00:00:00(0) 00:04:00(300)", ""},
        {"( a  b )", "(a b )", ""},
        {"ERROR: Cannot setup device /dev/nonexistent-sr9.", "ERROR: Cannot setup device /dev/nonexistent-sr9.",
         "Cannot setup device /dev/nonexistent-sr9."},
        {"ERROR: Inserted disk is not empty and not appendable.",
         "ERROR: Inserted disk is not empty and not appendable.", "Inserted disk is not empty and not appendable."},
        {"WARNING: Unit not ready, still trying...", "WARNING: Unit not ready, still trying...", ""},
    };
    for (const TCase& c : cases) {
        TCdrdaoFilterState state;
        const TCdrdaoLine line = FilterCdrdaoLine(c.Raw, state, false);
        EXPECT_EQ(line.Text, c.Shown) << c.Raw;
        EXPECT_EQ(line.ErrorText, c.Error) << c.Raw;
    }
}

TEST(CdrdaoLines, UsageAndDriverListAreHiddenButLaterErrorsShow) {
    TCdrdaoFilterState state;
    EXPECT_EQ(FilterCdrdaoLine("ERROR: Illegal option: --bogus", state, false).ErrorText, "Illegal option: --bogus");
    EXPECT_EQ(FilterCdrdaoLine("Usage: cdrdao write [options] toc-file", state, false).Text, "");
    EXPECT_TRUE(state.UsageSeen);
    EXPECT_EQ(FilterCdrdaoLine("  --device [proto:]{<x,y,z>|device} - sets SCSI device", state, false).Text, "");
    EXPECT_EQ(FilterCdrdaoLine("ERROR: later", state, false).Text, "ERROR: later");

    TCdrdaoFilterState driver;
    const TCdrdaoLine error =
        FilterCdrdaoLine("ERROR: No driver found for 'ACME CDR-1000', available drivers:", driver, true);
    EXPECT_TRUE(driver.DriverErrorSeen);
    EXPECT_EQ(error.Text.find(", available drivers:"), std::string::npos);
    EXPECT_NE(error.Text.find("(Use \"Force Driver\" in the \"CD Writer/Reader\" settings page"), std::string::npos);
    EXPECT_EQ(FilterCdrdaoLine("generic-mmc", driver, true).Text, "");
    EXPECT_EQ(FilterCdrdaoLine("ERROR: Writing failed.", driver, true).Text, "ERROR: Writing failed.");
}

TEST(CdrdaoLines, MissingDiscLines) {
    TCdrdaoFilterState info;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(FilterCdrdaoLine("WARNING: Unit not ready, still trying...", info, false).DiscRequired);
    EXPECT_EQ(info.NotReadyCount, 3);
    EXPECT_TRUE(FilterCdrdaoLine("ERROR: Unit not ready, giving up.", info, false).GaveUp);
    TCdrdaoFilterState write;
    FilterCdrdaoLine("WARNING: Unit not ready, still trying...", write, true);
    EXPECT_EQ(write.NotReadyCount, 0);
}

TEST(CdrdaoLines, WriteProgress) {
    struct TCase {
        std::string Line;
        std::string Message;
        int Position;
    };
    const std::vector<TCase> cases = {
        {"Wrote 10 of 600 MB (Buffers 100% 96%).", "Written 10 MB of 600 MB - (Buffers 100% 96%)", 1},
        {"Wrote 579 of 579 MB (Buffer 100%).", "Written 579 MB of 579 MB - (Buffer 100%)", 100},
        // The lead-out has no buffer part.
        {"Wrote 15 of 15 MB.", "Written 15 MB of 15 MB", 100},
        {"Wrote 3 of 0 MB (Buffers 100% 96%).", "Written 3 MB of 0 MB - (Buffers 100% 96%)", 0},
        {"Wrote 700 of 600 MB (Buffers 100% 96%).", "Written 700 MB of 600 MB - (Buffers 100% 96%)", 100},
    };
    for (const TCase& c : cases) {
        const auto progress = CdrdaoWriteProgress(c.Line);
        ASSERT_TRUE(progress) << c.Line;
        EXPECT_EQ(progress->Message, c.Message) << c.Line;
        EXPECT_EQ(progress->Position, c.Position) << c.Line;
    }
    EXPECT_FALSE(CdrdaoWriteProgress("Wrote 1588 blocks. Buffer fill min 96%/max 100%."));
    EXPECT_FALSE(CdrdaoWriteProgress("Writing track 01 (mode MODE2_RAW/MODE2_RAW)..."));
}

TEST(CdrdaoLines, ReadLengthAndProgress) {
    const auto length = CdrdaoLeadoutLength("Leadout MODE2_RAW 4 01:04:00(4800)");
    ASSERT_TRUE(length);
    EXPECT_EQ(length->Text, "01:04");
    EXPECT_EQ(length->Seconds, 64);
    EXPECT_FALSE(CdrdaoLeadoutLength("1 MODE2_RAW 4 00:00:00(0) 00:04:00(300)"));

    const auto before = CdrdaoReadProgress("00:32:00", TCdTime{});
    ASSERT_TRUE(before);
    EXPECT_EQ(before->Message, "00:32s");
    EXPECT_EQ(before->Position, 0);
    const auto half = CdrdaoReadProgress("00:32:00", *length);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->Message, "00:32 / 01:04");
    EXPECT_EQ(half->Position, 50);
    EXPECT_FALSE(CdrdaoReadProgress("Track 2...", *length));
}

TEST(CdrdaoLines, DeviceLines) {
    struct TCase {
        std::string Line;  // as the filter leaves it
        bool Device;
        std::string Option;
    };
    const std::vector<TCase> cases = {
        {"/dev/sr0: HL-DT-ST, DVDRAM GH24NSD1, LG00", true, "/dev/sr0"},
        {"/dev/sr1: PLEXTOR, DVDR PX-716A, 1.11", true, "/dev/sr1"},
        {"0,1,0: HL-DT-ST, DVDRAM GP60NB60, 1.00", true, "0,1,0"},
        {"10,1,0: HL-DT-ST, DVDRAM GP60NB60, 1.00", false, ""},
        // The drive line of the other commands is no scan line.
        {"/dev/sr0: HL-DT-ST DVDRAM GH24NSD1 Rev: LG00", false, ""},
        {"ERROR: Unable to access sysfs filesystem at /sys/bus/scsi/devices", false, ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(IsCdrdaoDeviceLine(c.Line), c.Device) << c.Line;
        if (c.Device) {
            EXPECT_EQ(CdrdaoDeviceOfEntry(c.Line), c.Option);
        }
    }
}

TEST(CdrdaoLines, TranslationKeepsEnglishAndTheBurnProofPhrase) {
    EXPECT_EQ(TranslateCdrdaoLine("Turning BURN-Proof on"), "Turning BURN-Proof on");
    EXPECT_EQ(TranslateCdrdaoLine("  Writing track 01 (mode MODE2_RAW/MODE2_RAW)... "),
              "Writing track 01 (mode MODE2_RAW/MODE2_RAW)...");
}

}  // namespace
