// The result of every command sent to a drive, and how the kernel's answer to
// one command (SG_IO: errno, host, driver and SCSI status, sense data) maps
// onto it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The order is fixed: the value names are also the text form.
enum class TScsiError : std::uint8_t {
    Err_None,
    Err_Aborted,
    Err_InvalidRequest,
    Err_HAerror,
    Err_InvalidHostAdapter,
    Err_NoDevice,
    Err_InvalidSrb,
    Err_BufferAlign,
    Err_AspiIsBusy,
    Err_BufferTooBig,
    Err_Unknown,
    Err_CommandTimeout,
    Err_SrbTimeout,
    Err_MessageReject,
    Err_BusReset,
    Err_ParityError,
    Err_RequestSenseFailed,
    Err_SelectionTimeout,
    Err_DataOverrun,
    Err_UnexpectedBusFree,
    Err_BusPhaseSequence,
    Err_CheckCondition,
    Err_TargetBusy,
    Err_TargetReservationConflict,
    Err_TargetQueueFull,
    Err_InvalidDevice,
    Err_NoEvent,
    Err_NotifyTimeout,
    Err_InvalidArgument,
    Err_SenseUnknown,
    Err_SenseFileMark,
    Err_SenseEndOfMedia,
    Err_SenseIllegalLength,
    Err_SenseIncorrectLength,
    Err_SenseNoSense,
    Err_SenseRecoveredError,
    Err_SenseNotReady,
    Err_SenseMediumError,
    Err_SenseHardwareError,
    Err_SenseIllegalRequest,
    Err_SenseUnitAttention,
    Err_SenseDataProtect,
    Err_SenseBlankCheck,
    Err_SenseVendorSpecific,
    Err_SenseCopyAborted,
    Err_SenseAbortedCommand,
    Err_SenseEqual,
    Err_SenseVolumeOverflow,
    Err_SenseMiscompare,
    Err_SenseReserved,
};
constexpr int ScsiErrorCount = 50;

// "Err_None", "Err_Aborted", ...
std::string ScsiErrorName(TScsiError error);
// A data overrun and a recovered error still did what was asked.
bool ScsiSucceeded(TScsiError error);

// What the kernel answered to one command.
struct TScsiOutcome {
    int SystemError = 0;             // errno of the open or of the ioctl; 0 when the command reached the drive
    bool OpenFailed = false;         // the errno is the open's: the command never left
    std::uint8_t Status = 0;         // SCSI status byte
    std::uint16_t HostStatus = 0;    // the adapter's view (DID_*)
    std::uint16_t DriverStatus = 0;  // the mid-layer's view (DRIVER_*)
    std::vector<std::uint8_t> Sense;
};

// The result kind of an errno from opening a node or from the SG_IO ioctl.
TScsiError ScsiErrorOfSystemError(int systemError);
// The result kind of fixed-format sense data after a check condition.
TScsiError ScsiErrorOfSense(const std::vector<std::uint8_t>& sense);
TScsiError ScsiErrorOf(const TScsiOutcome& outcome);

// What the user reads about a result: "no device", "invalid device", "no
// permission", ..., the value name for the rarer kinds. `systemError` and
// `openFailed` refine the kinds that came from errno: a node the user may not
// open is not a command the kernel refused.
std::string ScsiResultText(TScsiError error, int systemError, bool openFailed);
// What the user can do about it; empty when there is nothing to suggest.
std::string ScsiResultHint(TScsiError error, int systemError, bool openFailed);
