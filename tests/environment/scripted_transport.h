// A transport that records every command sent to it and answers from a script.
#pragma once

#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

#include "environment/scsi_transport.h"

struct TSentCommand {
    std::vector<std::uint8_t> Block;
    unsigned Timeout_ms = 0;
    std::size_t DataInLength = 0;
};

struct TScriptedAnswer {
    TScsiOutcome Outcome;
    std::vector<std::uint8_t> Data;  // copied into the data-in buffer
};

struct TTransportLog {
    std::vector<TSentCommand> Sent;
    std::deque<TScriptedAnswer> Answers;  // an empty script answers "good"
};

class TScriptedTransport : public TScsiTransport {
public:
    explicit TScriptedTransport(std::shared_ptr<TTransportLog> log) : Log(std::move(log)) {}

    TScsiOutcome Execute(const TScsiCommand& command, std::span<std::uint8_t> dataIn) override {
        Log->Sent.push_back({command.Block, command.Timeout_ms, dataIn.size()});
        if (Log->Answers.empty()) return {};
        TScriptedAnswer answer = Log->Answers.front();
        Log->Answers.pop_front();
        std::copy_n(answer.Data.begin(), std::min(answer.Data.size(), dataIn.size()), dataIn.begin());
        return answer.Outcome;
    }

private:
    std::shared_ptr<TTransportLog> Log;
};
