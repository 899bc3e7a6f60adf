// A batch of pictures turned into MPEG stills: which files are pictures, the
// output names of each, the queue of commands per picture (one or two picture
// commands and a multiplexing command), what happens when one fails, and the
// summary at the end. Front ends show what it reports and answer its
// questions through TDialogs.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "exec/commands_manager.h"
#include "stills/still_options.h"
#include "stills/still_picture.h"

class TPreparationPool;

// The files of one picture's still; the second ones only for a dual still.
struct TStillFiles {
    std::string Picture;
    std::string ViewingJpeg;
    std::string StillJpeg;
    std::string SecondStillJpeg;
    std::string Stream;
    std::string SecondStream;
    std::string Still;
};

// `base` is the name the outputs start with, `folder` ends with "/".
TStillFiles StillFilesFor(const std::string& picture, const std::string& folder, const std::string& base, bool vcd,
                          bool dual);

// Files the program wrote itself, never taken as new pictures: viewing and
// still JPEGs and results in the making.
bool IsStillByProduct(const std::string& path);

// The pictures among `paths`: files with a picture extension, and those of
// the folders (with their sub-folders when `recursive`), each folder sorted.
std::vector<std::string> CollectPictures(const std::vector<std::string>& paths, bool recursive);

struct TStillSummary {
    int Count = 0;
    int Succeeded = 0;
    int Failed = 0;
    int Skipped = 0;
    std::vector<std::string> LogLines;  // status lines, in order
    std::string Text;                   // the closing message
};

class TStillBatch {
public:
    explicit TStillBatch(TStillOptions options);
    ~TStillBatch();
    TStillBatch(const TStillBatch&) = delete;
    TStillBatch& operator=(const TStillBatch&) = delete;

    // Status lines of the batch itself (the commands' lines go to OnOutput).
    std::function<void(const std::string& statusLine)> Log;
    TCommandOutputEvent OnOutput;
    // What the page shows while the batch runs.
    std::function<void(const std::string& input)> OnPictureStart;
    std::function<void(const std::string& folder)> OnOutputFolder;
    std::function<void(const TSourcePicture& source)> OnSourceLoaded;
    std::function<void(const TRgbPicture& view)> OnResultReady;
    std::function<void(const std::string& fileName)> OnMplexStart;

    // Checks the files and queues their commands; false when no picture was
    // accepted. In batch mode unusable files are skipped; in single mode the
    // one file must be a picture. Reused stills count as succeeded at once.
    bool Queue(TCommandsManager& manager, const std::vector<std::string>& files, bool batchMode);

    // One entry per accepted picture: "[SUCCESS] \t", "[ERROR]   \t" or
    // "[SKIPPED] \t", the picture's path, maybe "  -  " and details.
    const std::vector<std::string>& Entries() const { return SummaryEntries; }
    // The files of each accepted picture, in order.
    const std::vector<TStillFiles>& Files() const { return PictureFiles; }
    bool Succeeded(std::size_t picture) const;
    TStillSummary Summary() const;

private:
    TStillOptions Options;
    std::vector<std::string> SummaryEntries;
    std::vector<TStillFiles> PictureFiles;
    std::unique_ptr<TPreparationPool> Pool;
    int PreparationCount = 0;
    bool Stopped = false;

    void LogLine(const std::string& level, const std::string& text) const;
    std::vector<std::string> AcceptedPictures(const std::vector<std::string>& files, bool batchMode);
    std::string UniqueBase(const std::string& folder, const std::string& picture, std::vector<std::string>& used) const;
    bool IsUpToDate(const TStillFiles& files) const;
    void QueuePicture(TCommandsManager& manager, std::size_t index, std::size_t count);
    std::unique_ptr<TCommandInterface> PictureCommand(std::size_t index, std::size_t count, bool second);
    std::unique_ptr<TCommandInterface> MplexCommand(std::size_t index, std::size_t count);
    void PictureEnded(std::size_t index, TCommandInterface& sender, const TExecuteStatus& status, bool& continueQueue);
    void MplexEnded(std::size_t index, TCommandInterface& sender, const TExecuteStatus& status, bool& continueQueue);
    void AskToContinue(std::size_t index, std::size_t count, bool& continueQueue);
};
