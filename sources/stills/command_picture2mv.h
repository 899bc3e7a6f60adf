// TCommandPicture2Mv turns one picture into the one-frame MPEG video stream of
// a still: it prepares the picture (fit, background, anti-flicker) as the
// still JPEG, then runs "jpeg2yuv | mpeg2enc" on it.
#pragma once

#include <functional>
#include <string>

#include "stills/mjpeg_command.h"
#include "stills/picture_preparation.h"

class TPicture2MvData : public TCommandParam {
public:
    std::string InputPicture;
    std::int32_t Index = 0;  // 1-based position in the batch
    std::int32_t Count = 0;
    bool Quiet = false;        // "On error, continue without asking": no boxes
    std::string StillJpeg;     // the prepared frame, read by jpeg2yuv
    std::string ViewingJpeg;   // the frame with square pixels; may be empty
    std::string OutputStream;  // .m1v for a VCD still, .m2v for an SVCD still
    std::int32_t Quality = 100;
    bool Vcd = true;
    bool SvcdHack = false;
    bool Pal = true;
    TStillConversion Conversion;
    bool DeleteTempFiles = false;
    std::function<void(const std::string& input)> OnPictureStart;
    std::function<void(const std::string& folder)> OnOutputFolder;
    std::function<void(const TSourcePicture& source)> OnSourceLoaded;
    std::function<void(const TRgbPicture& view)> OnResultReady;
    std::uint8_t SvcdDisplayOption = 2;  // the mjpegtools version code
    // Further results of the same picture (the still, a second stream), asked
    // about with this command's own; the answer is kept in ReplaceConfirmed.
    std::vector<std::string> OtherOutputs;
    std::shared_ptr<bool> ReplaceConfirmed;
    // The preparation when a batch started it ahead; otherwise it runs at start.
    TPreparedFuture Prepared;
};

class TCommandPicture2Mv : public TCommandMjpeg {
public:
    explicit TCommandPicture2Mv(TCommandSetup setup);

    void GetParameters(std::string& arguments) override;
    void BeforeStart(bool& proceed) override;
    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;

protected:
    bool CommitResults() override;

private:
    TPicture2MvData* Data = nullptr;
    TOutputFiles Outputs;
    std::string TempStillJpeg;
    std::string TempViewingJpeg;
    std::string TempStream;

    bool Refuse(const std::string& message);
    std::shared_ptr<const TPreparedPicture> TakePrepared();
};

// The mpeg2enc options after "-T size": aspect, SVCD display, format.
std::string Mpeg2EncOptions(const TPicture2MvData& data);
