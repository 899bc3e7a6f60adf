#include "stills/picture_preparation.h"

std::shared_ptr<const TPreparedPicture> PreparePicture(const std::string& input, const TStillConversion& conversion,
                                                       bool wantViewingJpeg) {
    auto prepared = std::make_shared<TPreparedPicture>();
    prepared->Source = LoadSourcePicture(input, prepared->Reason);
    if (!prepared->Source) return prepared;
    std::optional<TRgbPicture> frame = FitPicture(*prepared->Source, conversion, prepared->Reason);
    // The bytes are not needed any more; a batch may hold many prepared pictures.
    prepared->Source = std::make_shared<TSourcePicture>(TSourcePicture{
        prepared->Source->Path, "", prepared->Source->Width, prepared->Source->Height, prepared->Source->Orientation});
    if (!frame) return prepared;
    prepared->Readable = true;
    prepared->View = SquarePixels(*frame, conversion.StillType, conversion.AspectCorrection);
    std::optional<std::string> still = EncodeStillJpeg(*frame, prepared->Reason);
    if (!still) return prepared;
    prepared->StillJpeg = std::move(*still);
    if (wantViewingJpeg) {
        std::optional<std::string> viewing = EncodeStillJpeg(prepared->View, prepared->Reason);
        if (!viewing) return prepared;
        prepared->ViewingJpeg = std::move(*viewing);
    }
    prepared->Encoded = true;
    return prepared;
}
