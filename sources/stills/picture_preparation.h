// Everything a picture command needs from its picture, computed in one go so
// that it can run on a worker thread ahead of the command: the source's size,
// the still JPEG, the square-pixel view and its JPEG.
#pragma once

#include <future>
#include <memory>
#include <string>

#include "stills/still_picture.h"

struct TPreparedPicture {
    bool Readable = false;  // the picture was decoded and fitted
    bool Encoded = false;   // the JPEG files' bytes are ready
    std::string Reason;     // why not, for the log
    TSourcePicturePtr Source;
    TRgbPicture View;
    std::string StillJpeg;
    std::string ViewingJpeg;  // empty unless asked for
};
using TPreparedFuture = std::shared_future<std::shared_ptr<const TPreparedPicture>>;

// Thread-safe: touches no program state.
std::shared_ptr<const TPreparedPicture> PreparePicture(const std::string& input, const TStillConversion& conversion,
                                                       bool wantViewingJpeg);
