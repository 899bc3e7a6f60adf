// TCommandVcdXBuild runs vcdxbuild on a VideoCD XML description to make the
// disc image, watches its output for what the user must know (chapters that
// share an entry point, renamed ".dat" files, an image too big for a CD),
// adapts the CUE or TOC file on success and removes partial files otherwise.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "lib/output_files.h"
#include "model/vcd_properties.h"
#include "model/video_cd.h"
#include "vcdimager/command_vcd.h"

class TBuildParam : public TVcdImagerParam {
public:
    bool Sector2336 = false;
    TCdImageType ImageType = TCdImageType::Cue;
    std::string ImageBase;  // the image path without extension
    std::string XmlFile;
    bool SameEntryPoint = true;  // two chapters fell onto one entry point
    bool ShowUnknownTagRemark = true;
    bool ShowUserDataRemark = true;
    bool BareBinFileName = false;  // the CUE sheet names the BIN file without its folder
    // The image is written under WorkBase, a temporary base beside ImageBase,
    // and moved into place with every other file of `Outputs` (the XML of an
    // authoring run too) only when the build succeeded. Made by the command
    // when not given.
    std::shared_ptr<TOutputFiles> Outputs;
    std::string WorkBase;
};

class TCommandVcdXBuild : public TCommandVcd {
public:
    explicit TCommandVcdXBuild(TCommandSetup setup);

    std::shared_ptr<TBuildParam> BuildParam;
    std::string LastEntryKey;
    std::string PendingLine;  // emitted before the next line

    void BeforeStart(bool& proceed) override;
    void GetExecutable(std::string& path) override;
    void GetParameters(std::string& arguments) override;
    void GetWorkingFolder(std::string& folder) override;
    void FilterLine(std::string& line) override;
    void OnSuccess() override;
    void OnFailure() override;
    void ExplainFailure(std::uint32_t exitCode) override;
    void OnCancel() override;

protected:
    std::vector<std::string> ToolPaths() const override;

private:
    TStringList Warnings;  // vcdxbuild says why it failed in some warnings

    const std::string& WorkBase();
    void FilterLogLine(std::string& line);
    std::string PlaceImageFiles();
    void DeletePartialFiles();
};

// Empty when the files vcdxbuild wrote under `base` make a whole image: the
// BIN (or every file the TOC names) a non-empty whole number of sectors, the
// CUE or TOC naming only files that exist. Otherwise what is wrong.
std::string ImageFilesProblem(const std::string& base, TCdImageType type, bool sector2336);

// The key that tells two "closest possible entry point" remarks of one
// sequence at one place apart from others.
std::string EntryPointKey(std::string_view text);

// The track images of a TOC or Toast build of `base`: base + "_" + the track
// number (+ "_pregap") + ".img", and no other file of the folder.
TStringList TrackImageFiles(const std::string& base);

// The image file the main window shows for a build: ".toc" or ".bin".
std::string ImageFileName(const TBuildParam& param);

// A parameter record for a build, with the tools state and the CUE option of
// the program's INI file; the image goes to a temporary base of `outputs`
// (a new set when none is given).
std::shared_ptr<TBuildParam> MakeBuildParam(const std::string& xmlFile, const std::string& imageBase,
                                            TCdImageType imageType, bool sector2336,
                                            std::shared_ptr<TOutputFiles> outputs = nullptr);
// The same for the project: its XML path, output base name, image type and sector size.
std::shared_ptr<TBuildParam> MakeBuildParam(const TVcdProperties& properties,
                                            std::shared_ptr<TOutputFiles> outputs = nullptr);

// The build command as the authoring queue runs it; `onOutput` receives the
// status lines. Its end handler is BuildCdImageEnded.
std::unique_ptr<TCommandVcdXBuild> BuildCdImage(std::shared_ptr<TBuildParam> param, TCommandOutputEvent onOutput);

// After the build: stops the queue when it failed, and tells about chapters
// that share an entry point (asking whether to go on to burning).
void BuildCdImageEnded(TCommandInterface& sender, const TExecuteStatus& status, bool& continueQueue,
                       const TCommandParamPtr& param);
