#include "environment/scsi_error.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "settings/language.h"

namespace {

constexpr std::array<const char*, ScsiErrorCount> ErrorNames = {
    "Err_None",
    "Err_Aborted",
    "Err_InvalidRequest",
    "Err_HAerror",
    "Err_InvalidHostAdapter",
    "Err_NoDevice",
    "Err_InvalidSrb",
    "Err_BufferAlign",
    "Err_AspiIsBusy",
    "Err_BufferTooBig",
    "Err_Unknown",
    "Err_CommandTimeout",
    "Err_SrbTimeout",
    "Err_MessageReject",
    "Err_BusReset",
    "Err_ParityError",
    "Err_RequestSenseFailed",
    "Err_SelectionTimeout",
    "Err_DataOverrun",
    "Err_UnexpectedBusFree",
    "Err_BusPhaseSequence",
    "Err_CheckCondition",
    "Err_TargetBusy",
    "Err_TargetReservationConflict",
    "Err_TargetQueueFull",
    "Err_InvalidDevice",
    "Err_NoEvent",
    "Err_NotifyTimeout",
    "Err_InvalidArgument",
    "Err_SenseUnknown",
    "Err_SenseFileMark",
    "Err_SenseEndOfMedia",
    "Err_SenseIllegalLength",
    "Err_SenseIncorrectLength",
    "Err_SenseNoSense",
    "Err_SenseRecoveredError",
    "Err_SenseNotReady",
    "Err_SenseMediumError",
    "Err_SenseHardwareError",
    "Err_SenseIllegalRequest",
    "Err_SenseUnitAttention",
    "Err_SenseDataProtect",
    "Err_SenseBlankCheck",
    "Err_SenseVendorSpecific",
    "Err_SenseCopyAborted",
    "Err_SenseAbortedCommand",
    "Err_SenseEqual",
    "Err_SenseVolumeOverflow",
    "Err_SenseMiscompare",
    "Err_SenseReserved",
};

// SCSI status bytes.
constexpr std::uint8_t StatusGood = 0x00;
constexpr std::uint8_t StatusCheckCondition = 0x02;
constexpr std::uint8_t StatusBusy = 0x08;
constexpr std::uint8_t StatusReservationConflict = 0x18;
constexpr std::uint8_t StatusTaskSetFull = 0x28;
// The mid-layer's own timeout (the low nibble of the driver status).
constexpr std::uint16_t DriverTimeout = 0x06;

TScsiError ScsiErrorOfHostStatus(std::uint16_t hostStatus) {
    switch (hostStatus) {
        case 0x01:  // DID_NO_CONNECT
            return TScsiError::Err_SelectionTimeout;
        case 0x02:  // DID_BUS_BUSY
            return TScsiError::Err_AspiIsBusy;
        case 0x03:  // DID_TIME_OUT: the command timeout passed
            return TScsiError::Err_NotifyTimeout;
        case 0x04:  // DID_BAD_TARGET
            return TScsiError::Err_NoDevice;
        case 0x05:  // DID_ABORT
            return TScsiError::Err_Aborted;
        case 0x06:  // DID_PARITY
            return TScsiError::Err_ParityError;
        case 0x07:  // DID_ERROR
            return TScsiError::Err_HAerror;
        case 0x08:  // DID_RESET
            return TScsiError::Err_BusReset;
        default:
            return TScsiError::Err_Unknown;
    }
}

bool AllZero(const std::vector<std::uint8_t>& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; });
}

bool PermissionError(int systemError) { return systemError == EACCES || systemError == EPERM; }

}  // namespace

std::string ScsiErrorName(TScsiError error) {
    const auto index = static_cast<std::size_t>(error);
    return index < ErrorNames.size() ? ErrorNames[index] : "Err_Unknown";
}

bool ScsiSucceeded(TScsiError error) {
    return error == TScsiError::Err_None || error == TScsiError::Err_DataOverrun ||
           error == TScsiError::Err_SenseRecoveredError;
}

TScsiError ScsiErrorOfSystemError(int systemError) {
    switch (systemError) {
        case 0:
            return TScsiError::Err_None;
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return TScsiError::Err_NoDevice;
        case EACCES:
        case EPERM:
            return TScsiError::Err_InvalidRequest;
        case EBUSY:
            return TScsiError::Err_TargetBusy;
        case ENOTTY:
        case EINVAL:
        case EISDIR:
        case ENOTDIR:
        case ENOTBLK:
            return TScsiError::Err_InvalidDevice;
        case ETIMEDOUT:
            return TScsiError::Err_NotifyTimeout;
        case ENOMEM:
            return TScsiError::Err_BufferTooBig;
        default:
            return TScsiError::Err_Unknown;
    }
}

TScsiError ScsiErrorOfSense(const std::vector<std::uint8_t>& sense) {
    if (AllZero(sense)) return TScsiError::Err_None;
    const std::uint8_t responseCode = sense[0] & 0x7F;
    if ((responseCode != 0x70 && responseCode != 0x71) || sense.size() < 3) return TScsiError::Err_SenseUnknown;
    const int key = sense[2] & 0x0F;
    if (key > 0) return static_cast<TScsiError>(static_cast<int>(TScsiError::Err_SenseRecoveredError) + key - 1);
    if (sense[2] & 0x80) return TScsiError::Err_SenseFileMark;
    if (sense[2] & 0x40) return TScsiError::Err_SenseEndOfMedia;
    if (sense[2] & 0x20) return TScsiError::Err_SenseIllegalLength;
    if (sense.size() > 3 && (sense[3] & 0x80)) return TScsiError::Err_SenseIncorrectLength;
    return TScsiError::Err_SenseNoSense;
}

TScsiError ScsiErrorOf(const TScsiOutcome& outcome) {
    if (outcome.SystemError != 0) return ScsiErrorOfSystemError(outcome.SystemError);
    if (outcome.HostStatus != 0) return ScsiErrorOfHostStatus(outcome.HostStatus);
    if ((outcome.DriverStatus & 0x0F) == DriverTimeout) return TScsiError::Err_NotifyTimeout;
    switch (outcome.Status) {
        case StatusGood:
        case StatusCheckCondition:
            return ScsiErrorOfSense(outcome.Sense);
        case StatusBusy:
            return TScsiError::Err_TargetBusy;
        case StatusReservationConflict:
            return TScsiError::Err_TargetReservationConflict;
        case StatusTaskSetFull:
            return TScsiError::Err_TargetQueueFull;
        default:
            return TScsiError::Err_Unknown;
    }
}

std::string ScsiResultText(TScsiError error, int systemError, bool openFailed) {
    if (PermissionError(systemError))
        return openFailed ? Translate("no permission") : Translate("the kernel refused the command");
    switch (error) {
        case TScsiError::Err_None:
            return Translate("done");
        case TScsiError::Err_NoDevice:
            return Translate("no device");
        case TScsiError::Err_InvalidDevice:
            return Translate("invalid device");
        case TScsiError::Err_TargetBusy:
            return Translate("the drive is busy");
        case TScsiError::Err_NotifyTimeout:
            return Translate("the drive did not answer in time");
        case TScsiError::Err_SenseNotReady:
            return Translate("the drive is not ready (no disc, or the disc is still spinning up)");
        case TScsiError::Err_SenseIllegalRequest:
            return Translate("the drive refused the command");
        case TScsiError::Err_SenseUnitAttention:
            return Translate("the drive reported a change (disc or reset): try again");
        default:
            break;
    }
    if (systemError != 0 && error == TScsiError::Err_Unknown) return std::strerror(systemError);
    return ScsiErrorName(error);
}

std::string ScsiResultHint(TScsiError error, int systemError, bool openFailed) {
    if (PermissionError(systemError))
        return openFailed ? Translate("add yourself to the cdrom group and log in again")
                          : Translate("the command needs the node open for writing, or rights this user lacks");
    if (error == TScsiError::Err_TargetBusy) return Translate("another program is using the drive: wait for it to end");
    if (error == TScsiError::Err_InvalidDevice) return Translate("name the CD drive's own node, such as /dev/sr0");
    return {};
}
