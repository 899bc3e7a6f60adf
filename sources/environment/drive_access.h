// The drive tools: a CD drive reached through a SCSI transport, with the few
// commands the program sends itself (tray, rotation, medium lock, inquiry).
// Every command leaves its result in the drive; nothing throws.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "environment/scsi_error.h"
#include "environment/scsi_transport.h"

// What each drive copies at creation.
struct TDriveConfig {
    unsigned CommandTimeout_ms = 1000;
    // The last one bounds the start/stop commands, which move the tray or the disc.
    std::array<unsigned, 3> LongTimeouts_ms = {10000, 10000, 10000};
    // Called around every command with the drive's node and the command block.
    std::function<void(const std::string& node, const std::vector<std::uint8_t>& block)> BeforeCommand;
    std::function<void(const std::string& node, const std::vector<std::uint8_t>& block, TScsiError result)>
        AfterCommand;
    std::array<std::uint8_t, 128> Sense{};  // of the last command
};

// The actions of the tools panel, in their historical numbering.
enum class TDriveAction { Load = 0, Eject = 1, StartRotate = 2, StopRotate = 3, Lock = 4, Unlock = 5 };

struct TInquiryData {
    int DeviceType = 0;  // 5: CD/DVD drive
    std::string Vendor;
    std::string Product;
    std::string Revision;
    std::string VendorSpecific;
};

// The text fields of an INQUIRY answer; up to the first control character,
// trailing blanks removed.
TInquiryData ParseInquiry(const std::vector<std::uint8_t>& data);

// The command blocks (LUN 0: a node addresses one unit).
std::vector<std::uint8_t> InquiryBlock();
std::vector<std::uint8_t> StartStopBlock(bool immediate, bool loadEject, bool start);
std::vector<std::uint8_t> PreventAllowBlock(bool prevent);

class TkseCDDrive {
public:
    TkseCDDrive(std::string node, std::unique_ptr<TScsiTransport> transport, const TDriveConfig& config = {});
    // Allows medium removal again when this drive prevented it, unless the
    // lock is meant to outlive the drive. A lock taken by someone else (the
    // kernel keeps a mounted disc's tray shut) is left alone.
    ~TkseCDDrive();
    TkseCDDrive(const TkseCDDrive&) = delete;
    TkseCDDrive& operator=(const TkseCDDrive&) = delete;

    // True when the last result counts as success. Without `wait` the tray
    // and rotation commands return before the drive has finished.
    bool Perform(TDriveAction action, bool wait = true);
    bool Eject() { return Perform(TDriveAction::Eject); }
    bool Load() { return Perform(TDriveAction::Load); }
    bool StartRotate() { return Perform(TDriveAction::StartRotate); }
    bool StopRotate() { return Perform(TDriveAction::StopRotate); }
    bool Lock() { return Perform(TDriveAction::Lock); }
    bool Unlock() { return Perform(TDriveAction::Unlock); }
    std::optional<TInquiryData> Inquiry();

    // A command-line "lock" must survive the program's end.
    void KeepLockAtEnd() { KeepLock = true; }

    const std::string& Node() const { return DeviceNode; }
    TScsiError LastResult() const { return Result; }
    // The errno behind the last result, 0 when the command reached the drive.
    int LastSystemError() const { return SystemError; }
    // Whether that errno came from opening the node.
    bool LastOpenFailed() const { return OpenFailed; }
    std::string LastResultText() const { return ScsiResultText(Result, SystemError, OpenFailed); }
    std::string LastResultHint() const { return ScsiResultHint(Result, SystemError, OpenFailed); }
    const TDriveConfig& Config() const { return Configuration; }

private:
    TScsiError Execute(const std::vector<std::uint8_t>& block, unsigned timeout_ms, std::vector<std::uint8_t>* dataIn);

    std::string DeviceNode;
    std::unique_ptr<TScsiTransport> Transport;
    TDriveConfig Configuration;
    TScsiError Result = TScsiError::Err_None;
    int SystemError = 0;
    bool OpenFailed = false;
    bool LockedHere = false;
    bool KeepLock = false;
};

// Device type of CD and DVD drives in an INQUIRY answer.
inline constexpr int CdDeviceType = 5;

// An action for a node the user typed: it goes out only after an INQUIRY has
// shown a CD drive, as a stop or an eject must never reach a disk.
struct TGuardedAction {
    bool Reached = false;    // the INQUIRY succeeded
    bool IsCdDrive = false;  // and named a CD drive
    int DeviceType = -1;
    bool Done = false;  // the action succeeded
};
TGuardedAction PerformOnCdDrive(TkseCDDrive& drive, TDriveAction action);

// A drive on this system's node, through SG_IO.
std::unique_ptr<TkseCDDrive> OpenCdDrive(const std::string& node, const TDriveConfig& config = {});
