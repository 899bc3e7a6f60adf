// TCommandCd is the base of the commands that run cdrdao: it knows where
// cdrdao lives, which recorder settings the run uses, and cleans, classifies
// and translates cdrdao's lines before the log shows them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cdrdao/cdrdao_lines.h"
#include "exec/command_gui2console.h"

// Base of the parameter records of the cdrdao commands.
class TCdrDaoParam : public TCommandParam {
public:
    std::uint8_t VersionCode = 0;  // 0: no usable cdrdao
};

// The recorder settings one command runs with, as cdrdao options (each with
// its leading blank, or empty).
struct TCdrDaoSettings {
    std::string WriterDevice;   // " --device /dev/sr0"
    std::string WriterDriver;   // " --driver generic-mmc:0x00000040"
    std::string WriterBuffers;  // " --buffers 64"
    std::string WriterSpeed;    // " --speed 4"
    std::string ReaderDevice;
    std::string ReaderDriver;
    // Open the tray when cdrdao gave up waiting for a disc.
    bool EjectWhenNoDisc = false;
    // The drive tools' tray eject of the writer and of the reader; empty: none.
    std::function<void()> EjectWriter;
    std::function<void()> EjectReader;
    // The eject of the drive the running command addresses.
    std::function<void()> EjectCurrent;
};
using TCdrDaoSettingsPtr = std::shared_ptr<TCdrDaoSettings>;

// The cdrdao program as the runner starts it.
std::string CdrdaoProgram();

// Empty when the path may go onto cdrdao's command line; otherwise the
// message that refuses it (it would break the quoting or read as an option).
std::string RefusedCdrdaoPath(const std::string& path);

class TCommandCd : public TCommandGui2Console {
public:
    TCommandCd(TCommandSetup setup, TCdrDaoSettingsPtr settings);

    TCdrDaoSettingsPtr Settings;
    std::uint8_t VersionCode = 0;
    TCdrdaoFilterState FilterState;

    void GetExecutable(std::string& path) override;
    void GetParameters(std::string& arguments) override;
    void GetWorkingFolder(std::string& folder) override;
    void BeforeStart(bool& proceed) override;
    void FilterLine(std::string& line) override;
    void TranslateLine(const std::string& line, std::string& result) override;
    void OnSuccess() override {}
    void OnFailure() override {}
    void OnCancel() override {}

protected:
    // The command's own part of the command line; empty with `why` set when
    // the command cannot run.
    virtual std::string BuildParameters(std::string& why) = 0;
    // The paths that go onto the command line, checked before cdrdao starts.
    virtual std::vector<std::string> ToolPaths() const { return {}; }
    // The command's own rules, applied to a line the base filter kept.
    virtual void FilterCdLine(std::string& line) { (void)line; }
    // Ends the run before cdrdao starts, failed, with `message` as the reason.
    void RefuseRun(const std::string& message);
    void EmitDeviceLockWarning();
    // Why the command line is empty (empty when it is not).
    const std::string& GetEmptyReason() const { return EmptyReason; }
    // The options of the writer or the reader; sets the drive a tray eject addresses.
    std::string DriveOptions(bool writer);

private:
    std::string EmptyReason;
};

// "ERROR: " lines for cdrdao troubles that are often a driver's.
void EmitDriverHint(TCommandInterface& command, bool simulatedBefore);
