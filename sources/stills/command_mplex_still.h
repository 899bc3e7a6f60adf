// TCommandMplexStill wraps the stream(s) of a picture command into the MPEG
// still file with mplex. A VCD high-resolution still carries two streams; the
// normal-resolution one goes first, as mplex refuses most stills otherwise.
#pragma once

#include <functional>
#include <string>

#include "stills/mjpeg_command.h"

class TMplexStillData : public TCommandParam {
public:
    std::string InputPicture;  // labels the batch summary
    std::int32_t Index = 0;
    std::int32_t Count = 0;
    bool Quiet = false;
    std::string FirstStream;   // the picture command's stream
    std::string SecondStream;  // the normal-resolution stream of a dual still, or empty
    std::string OutputStill;   // the .mpg file
    bool Vcd = true;
    bool Pal = true;
    bool DeleteTempFiles = false;
    std::function<void(const std::string& fileName)> OnStart;
    // Set when the user already agreed to replace the still.
    std::shared_ptr<bool> ReplaceConfirmed;
};

class TCommandMplexStill : public TCommandMjpeg {
public:
    explicit TCommandMplexStill(TCommandSetup setup);

    void GetParameters(std::string& arguments) override;
    void BeforeStart(bool& proceed) override;
    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;

protected:
    bool CommitResults() override;
    std::string ErrorLineText(const std::string& text) const override;

private:
    TMplexStillData* Data = nullptr;
    TOutputFiles Outputs;
    std::string TempStill;

    void DeleteStreams();
};
