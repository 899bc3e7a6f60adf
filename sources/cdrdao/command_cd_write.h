// TCommandCdWrite burns a CUE or TOC image with cdrdao, or simulates the burn.
#pragma once

#include <string>

#include "cdrdao/command_cd_disc.h"

class TCdWriteInfo : public TCdrDaoParam {
public:
    std::string ImagePath;  // the ".cue" or ".toc" file
    bool Simulate = true;
    bool SimulatedBefore = false;
    bool Eject = true;
    bool Reload = true;
    bool Overburn = false;
    bool DeleteImageFiles = false;
    bool DeleteXmlFile = false;  // only together with the image files
    bool Force = false;
    TCdDiskInfoPtr DiskInfo;  // taken before this burn, or none
};

class TCommandCdWrite : public TCommandCd {
public:
    TCommandCdWrite(TCommandSetup setup, TCdrDaoSettingsPtr settings);

    void GetWorkingFolder(std::string& folder) override;
    void BeforeStart(bool& proceed) override;
    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;

protected:
    std::string BuildParameters(std::string& why) override;
    std::vector<std::string> ToolPaths() const override;
    void FilterCdLine(std::string& line) override;
};

// The data files a CUE sheet or a TOC file names, as full paths (relative
// names are taken in the image's folder).
TStringList ImageDataFiles(const std::string& imagePath);
