// TCommandsManager is the single queue every job runs through: it launches the
// queued commands one after another, decides after each whether to go on,
// prints elapsed times, cancels, plays the end sound and shows the results.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "exec/command_interface.h"
#include "services/sound_player.h"

// "07s 250ms", "02m 05s 003ms", "1h 02m 05s 000ms" for an elapsed fraction of a day.
std::string FormatDuration(double days);

class TCommandsManager {
public:
    using TEvent = std::function<void(TCommandsManager& sender)>;
    using TFlagEvent = std::function<void(TCommandsManager& sender, bool flag)>;
    using TMessageEvent = std::function<void(TCommandsManager& sender, const std::string& text)>;

    struct TEvents {
        TEvent OnBegin;
        TFlagEvent OnCommandEnded;  // flag: stop the waiting indicator
        TEvent OnAllDone;
        TMessageEvent OnMessage;
        TFlagEvent OnCancelEnable;  // flag: the user may cancel
    };

    explicit TCommandsManager(TEvents events = {});
    ~TCommandsManager();
    TCommandsManager(const TCommandsManager&) = delete;
    TCommandsManager& operator=(const TCommandsManager&) = delete;

    bool IsRunning() const { return Running; }
    bool IsEmpty() const { return Commands.empty(); }
    int Count() const { return static_cast<int>(Commands.size()); }
    TCommandInterface* Get(int index) const;

    // Queues the command; ignored while running.
    void Add(std::unique_ptr<TCommandInterface> command);
    void Run(bool stopOnFailure, TCommandLinesView* commandLineMemo, TEvent onStarted = nullptr,
             TFlagEvent onFinished = nullptr, TSoundEventCode successSound = 0, TSoundEventCode failureSound = 0);
    void Cancel();
    void Clear();

    TDateTime StartTime = 0;
    bool StopOnFailure = true;

private:
    TEvents Events;
    bool Running = false;
    TEvent OnStarted;
    TFlagEvent OnFinished;
    TSoundEventCode SuccessSound = 0;
    TSoundEventCode FailureSound = 0;
    std::vector<std::unique_ptr<TCommandInterface>> Commands;
    // Released commands of the last queue, freed when the next one starts.
    std::vector<std::unique_ptr<TCommandInterface>> Retired;
    int CurrentIndex = -1;
    TCommandLinesView* CommandLineMemo = nullptr;
    bool Cancelled = false;

    void Launch(int index);
    void CommandDone(TCommandInterface& sender, const TExecuteStatus& status, const TCommandParamPtr& param);
    void Finish();
    void ShowResult(const TCommandInterface& command) const;
    void CancelEnable(bool canCancel);
};
