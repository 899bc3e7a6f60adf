// TCommandCdxaToMpeg runs cdxa2mpeg, which turns a ".dat" file of a Video CD
// (MPEG data in a RIFF/CDXA wrapper) into a plain MPEG file. The tool has no
// "--gui" mode: its prefixed plain lines become status lines here.
#pragma once

#include <memory>
#include <string>

#include "lib/output_files.h"
#include "vcdimager/command_vcd.h"

class TDatToMpgParam : public TVcdImagerParam {
public:
    std::string DatFile;
    std::string MpgFile;
};

class TCommandCdxaToMpeg : public TCommandVcd {
public:
    explicit TCommandCdxaToMpeg(TCommandSetup setup);

    std::shared_ptr<TDatToMpgParam> DatParam;

    void BeforeStart(bool& proceed) override;
    void GetExecutable(std::string& path) override;
    void GetParameters(std::string& arguments) override;
    void GetWorkingFolder(std::string& folder) override;
    void FilterLine(std::string& line) override;
    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;

protected:
    std::vector<std::string> ToolPaths() const override;

private:
    TOutputFiles Outputs;
    std::string TemporaryFile;
    const std::string& TemporaryMpg();
};

// Readies a tool's output file: an existing file is replaced only when the user
// confirms it (it stays until the new one is complete), and the file must be
// writable. Shows the refusal and returns false otherwise.
bool PrepareToolOutputFile(const std::string& path);

// The conversion command as the tools page runs it; `onOutput` receives the status lines.
std::unique_ptr<TCommandCdxaToMpeg> CdxaToMpeg(const std::string& datFile, const std::string& mpgFile,
                                               TCommandOutputEvent onOutput);

// The input and output name the same file (ignoring case, as the dialogs do):
// shows "The files must be different" and returns true.
bool RefuseSameCdxaFiles(const std::string& datFile, const std::string& mpgFile);
