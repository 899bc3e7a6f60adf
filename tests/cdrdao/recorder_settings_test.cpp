#include "cdrdao/recorder_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(RecorderSettings, Options) {
    EXPECT_EQ(DeviceOption("/dev/sr0: HL-DT-ST, DVDRAM GH24NSD1, LG00"), " --device /dev/sr0");
    EXPECT_EQ(DeviceOption(""), "");
    struct TSpeed {
        std::string Entry;
        std::string Option;
    };
    for (const TSpeed& s : std::vector<TSpeed>{{"MAX", " --speed 0"},
                                               {"32x", " --speed 32"},
                                               {"  8x", " --speed 8"},
                                               {"4x", " --speed 4"},
                                               {"7x", " --speed 0"},
                                               {"fast", " --speed 0"}})
        EXPECT_EQ(SpeedOption(s.Entry), s.Option) << s.Entry;
    EXPECT_EQ(BuffersOption("  64"), " --buffers 64");
    EXPECT_EQ(BuffersOption("100"), " --buffers 32");
    struct TDriver {
        std::string Driver;
        bool DisableBurnProof;
        std::string Option;
    };
    for (const TDriver& d : std::vector<TDriver>{{" default", true, ""},
                                                 {"", false, ""},
                                                 {"generic-mmc", false, " --driver generic-mmc"},
                                                 {"generic-mmc", true, " --driver generic-mmc:0x00000040"},
                                                 {"generic-mmc-raw", true, " --driver generic-mmc-raw:0x00000040"},
                                                 {"cdd2600", true, " --driver cdd2600"}})
        EXPECT_EQ(DriverOption(d.Driver, d.DisableBurnProof), d.Option) << d.Driver;
}

TEST(RecorderSettings, SnapshotWithAndWithoutDevices) {
    TRecorderChoices choices;
    choices.WriterDevice = "/dev/sr0: HL-DT-ST, DVDRAM GH24NSD1, LG00";
    choices.WriterDriver = "generic-mmc";
    choices.DisableBurnProof = true;
    choices.ReaderDriver = "plextor";  // no reader: no reader options
    const TCdrDaoSettingsPtr settings = MakeCdrDaoSettings(choices);
    EXPECT_EQ(settings->WriterDevice + settings->WriterDriver + settings->WriterSpeed + settings->WriterBuffers,
              " --device /dev/sr0 --driver generic-mmc:0x00000040 --speed 4 --buffers 64");
    EXPECT_EQ(settings->ReaderDevice + settings->ReaderDriver, "");
}

}  // namespace
