// How a command block reaches a drive. The drive tools talk to a transport;
// this system's transport is the kernel's SG_IO on the drive's node, the
// tests script one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "environment/scsi_error.h"

struct TScsiCommand {
    std::vector<std::uint8_t> Block;  // 6, 10 or 12 bytes
    unsigned Timeout_ms = 0;
};

class TScsiTransport {
public:
    virtual ~TScsiTransport() = default;
    // Sends one command; `dataIn` (possibly empty) receives what the drive
    // returns. No data goes out to the drive from these tools.
    virtual TScsiOutcome Execute(const TScsiCommand& command, std::span<std::uint8_t> dataIn) = 0;
};

// SG_IO on a device node, opened read-write and without waiting for a disc,
// read-only when read-write is refused.
class TSgIoTransport : public TScsiTransport {
public:
    explicit TSgIoTransport(const std::string& node);
    ~TSgIoTransport() override;
    TSgIoTransport(const TSgIoTransport&) = delete;
    TSgIoTransport& operator=(const TSgIoTransport&) = delete;

    TScsiOutcome Execute(const TScsiCommand& command, std::span<std::uint8_t> dataIn) override;

    int OpenError() const { return OpenErrno; }
    bool ReadOnly() const { return OpenedReadOnly; }

private:
    int Descriptor = -1;
    int OpenErrno = 0;
    bool OpenedReadOnly = false;
};
