#include "cdrdao/recorder_settings.h"

#include <array>
#include <charconv>

#include "lib/settings.h"
#include "lib/text.h"

namespace {

constexpr std::array OfferedBuffers{"32", "64", "128", "256", "512"};
constexpr std::array OfferedSpeeds{32, 24, 20, 16, 12, 10, 8, 6, 4, 2, 1};

}  // namespace

TRecorderChoices RecorderChoicesFrom(const TSettings& store) {
    TRecorderChoices choices;
    choices.WriterDevice = Trim(store.GetString("CdWriterDevice"));
    choices.WriterDriver = store.GetString("CdWriterDriver", choices.WriterDriver);
    choices.WriterSpeed = store.GetString("CdWriterSpeed", choices.WriterSpeed);
    choices.WriterBuffer = store.GetString("CdWriterBuffer", choices.WriterBuffer);
    choices.DisableBurnProof = store.GetBool("DisableBurnProof");
    choices.ReaderDevice = Trim(store.GetString("CdReaderDevice"));
    choices.ReaderDriver = store.GetString("CdReaderDriver", choices.ReaderDriver);
    choices.EjectWhenNoDisc = store.GetBool("EjectWhenNoDisc");
    choices.DisableReload = store.GetBool("DisableReload");
    return choices;
}

std::string DeviceOption(const std::string& entry) {
    const std::string device = CdrdaoDeviceOfEntry(entry);
    return device.empty() ? "" : " --device " + device;
}

std::string SpeedOption(const std::string& speed) {
    std::string text = LowerCase(Trim(speed));
    if (!text.empty() && text.back() == 'x') text.pop_back();
    int value = 0;
    const auto [at, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    bool offered = error == std::errc() && at == text.data() + text.size();
    if (offered) {
        offered = false;
        for (const int s : OfferedSpeeds) offered = offered || s == value;
    }
    return " --speed " + std::to_string(offered ? value : 0);
}

std::string BuffersOption(const std::string& buffers) {
    const std::string text = Trim(buffers);
    for (const char* offered : OfferedBuffers)
        if (text == offered) return " --buffers " + text;
    return std::string(" --buffers ") + OfferedBuffers.front();
}

std::string DriverOption(const std::string& driver, bool disableBurnProof) {
    const std::string name = Trim(driver);
    if (name.empty() || SameText(name, "default")) return "";
    std::string option = " --driver " + name;
    if (disableBurnProof && ContainsText(name, "generic-mmc")) option += ":0x00000040";
    return option;
}

TCdrDaoSettingsPtr MakeCdrDaoSettings(const TRecorderChoices& choices) {
    auto settings = std::make_shared<TCdrDaoSettings>();
    settings->WriterDevice = DeviceOption(choices.WriterDevice);
    if (!settings->WriterDevice.empty()) {
        settings->WriterDriver = DriverOption(choices.WriterDriver, choices.DisableBurnProof);
        settings->WriterSpeed = SpeedOption(choices.WriterSpeed);
        settings->WriterBuffers = BuffersOption(choices.WriterBuffer);
    }
    settings->ReaderDevice = DeviceOption(choices.ReaderDevice);
    if (!settings->ReaderDevice.empty()) settings->ReaderDriver = DriverOption(choices.ReaderDriver, false);
    settings->EjectWhenNoDisc = choices.EjectWhenNoDisc;
    return settings;
}
