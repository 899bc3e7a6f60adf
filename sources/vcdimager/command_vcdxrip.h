// TCommandVcdXRip runs vcdxrip on a disc image: it writes the VideoCD XML
// description and extracts the sequences, segments and other files into the
// description's folder. Nothing there is replaced unless the rip succeeded
// and the user agreed to replace what exists.
#pragma once

#include <memory>
#include <string>

#include "lib/output_files.h"
#include "vcdimager/command_vcd.h"

class TRipParam : public TVcdImagerParam {
public:
    bool Sector2336 = false;
    bool NoExtPsd = false;
    bool NoSequences = false;
    bool NoSegments = false;
    bool NoFiles = false;
    bool XmlOnly = false;
    std::string XmlFile;
    std::string ImageFile;              // a BIN or NRG image
    bool DeleteImageOnFailure = false;  // the image is a temporary one read from a disc
};

class TCommandVcdXRip : public TCommandVcd {
public:
    explicit TCommandVcdXRip(TCommandSetup setup);

    std::shared_ptr<TRipParam> RipParam;

    void GetExecutable(std::string& path) override;
    void GetParameters(std::string& arguments) override;
    void GetWorkingFolder(std::string& folder) override;
    void BeforeStart(bool& proceed) override;
    void FilterLine(std::string& line) override;
    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;

protected:
    std::vector<std::string> ToolPaths() const override;

private:
    TOutputFiles Outputs;
    std::string WorkFolder;

    const std::string& TemporaryFolder();
    std::string TemporaryXml();
    void DeleteOutputs();
};

struct TRipOptions {
    bool DeleteImageOnFailure = false;
    bool NoFiles = false;
    bool NoSegments = false;
    bool NoSequences = false;
    bool XmlOnly = false;
    bool NoExtPsd = false;
    bool Sector2336 = false;
};

// The rip command as the tools page queues it; `onOutput` receives the status lines.
std::unique_ptr<TCommandVcdXRip> RipBinFile(const std::string& imageFile, const std::string& xmlFile,
                                            const TRipOptions& options, TCommandOutputEvent onOutput);
