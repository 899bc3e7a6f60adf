// The cdrdao commands that ask or change the drive and its disc: the device
// scan, the disc information, the blank of a CD-RW and the unlock.
#pragma once

#include <memory>
#include <string>

#include "cdrdao/command_cd.h"
#include "lib/text.h"

class TCdScanInfo : public TCdrDaoParam {
public:
    TStringList Devices;  // one entry per device line
};

class TCdDiskInfo : public TCdrDaoParam {
public:
    bool FromWriter = true;
    bool NoDisc = false;  // cdrdao gave up waiting for a disc
    bool CdRw = false;
    bool Empty = false;
    // cdrdao answers "n/a" when it cannot tell: unknown is neither empty nor written.
    bool CdRwKnown = false;
    bool EmptyKnown = false;
};
using TCdDiskInfoPtr = std::shared_ptr<TCdDiskInfo>;

class TCdBlankInfo : public TCdrDaoParam {
public:
    bool Minimal = true;
    bool Eject = false;
    bool Reload = true;
    TCdDiskInfoPtr DiskInfo;  // the disc information taken before, or none
};

class TCdUnlockInfo : public TCdrDaoParam {
public:
    bool ToWriter = true;
};

class TCommandCdScan : public TCommandCd {
public:
    TCommandCdScan(TCommandSetup setup, TCdrDaoSettingsPtr settings);

protected:
    std::string BuildParameters(std::string& why) override;
    void FilterCdLine(std::string& line) override;
};

class TCommandCdDiskInfo : public TCommandCd {
public:
    TCommandCdDiskInfo(TCommandSetup setup, TCdrDaoSettingsPtr settings);

protected:
    std::string BuildParameters(std::string& why) override;
    void FilterCdLine(std::string& line) override;
};

class TCommandCdBlank : public TCommandCd {
public:
    TCommandCdBlank(TCommandSetup setup, TCdrDaoSettingsPtr settings);
    void BeforeStart(bool& proceed) override;
    void FilterLine(std::string& line) override;
    void OnSuccess() override;

protected:
    std::string BuildParameters(std::string& why) override;
};

class TCommandCdUnlock : public TCommandCd {
public:
    TCommandCdUnlock(TCommandSetup setup, TCdrDaoSettingsPtr settings);
    void OnSuccess() override;

protected:
    std::string BuildParameters(std::string& why) override;
};

// "No CD writer is selected" or "No CD reader is selected".
std::string NoDeviceReason(bool writer);
