// TCommandCdRead reads a whole disc into a BIN file and its TOC file. cdrdao
// writes under temporary names; the files replace the previous ones only
// when the read succeeded.
#pragma once

#include <string>

#include "cdrdao/command_cd.h"
#include "lib/output_files.h"

class TCdReadInfo : public TCdrDaoParam {
public:
    bool FromWriter = false;
    bool Sector2336 = false;
    std::string DataFile;  // the BIN file
    std::string TocFile;
};

class TCommandCdRead : public TCommandCd {
public:
    TCommandCdRead(TCommandSetup setup, TCdrDaoSettingsPtr settings);

    int DiscLengthSeconds = 0;
    std::string DiscLengthText;

    void GetWorkingFolder(std::string& folder) override;
    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;

protected:
    std::string BuildParameters(std::string& why) override;
    std::vector<std::string> ToolPaths() const override;
    void FilterCdLine(std::string& line) override;

private:
    TOutputFiles Outputs;
    std::string TemporaryData;  // full paths of what cdrdao writes
    std::string TemporaryToc;
};

// The TOC text with the data file name `from` (in FILE and DATAFILE lines
// only) replaced by `to`; nothing else of the text changes.
std::string RenameTocDataFile(const std::string& toc, const std::string& from, const std::string& to);
