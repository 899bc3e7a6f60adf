#include "environment/drive_access.h"

#include <algorithm>

namespace {

constexpr std::uint8_t OpInquiry = 0x12;
constexpr std::uint8_t OpStartStopUnit = 0x1B;
constexpr std::uint8_t OpPreventAllowMediumRemoval = 0x1E;
constexpr std::size_t InquiryLength = 255;

// The text of a fixed-width field: up to its first control character, without trailing blanks.
std::string InquiryField(const std::vector<std::uint8_t>& data, std::size_t from, std::size_t length) {
    std::string text;
    for (std::size_t i = from; i < from + length && i < data.size(); ++i) {
        if (data[i] < 0x20 || data[i] == 0x7F) break;
        text += static_cast<char>(data[i]);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

TInquiryData ParseInquiry(const std::vector<std::uint8_t>& data) {
    TInquiryData inquiry;
    if (!data.empty()) inquiry.DeviceType = data[0] & 0x1F;
    inquiry.Vendor = InquiryField(data, 8, 8);
    inquiry.Product = InquiryField(data, 16, 16);
    inquiry.Revision = InquiryField(data, 32, 4);
    inquiry.VendorSpecific = InquiryField(data, 36, 20);
    return inquiry;
}

std::vector<std::uint8_t> InquiryBlock() { return {OpInquiry, 0x00, 0x00, 0x00, InquiryLength, 0x00}; }

std::vector<std::uint8_t> StartStopBlock(bool immediate, bool loadEject, bool start) {
    const auto power = static_cast<std::uint8_t>((loadEject ? 2 : 0) + (start ? 1 : 0));
    return {OpStartStopUnit, static_cast<std::uint8_t>(immediate ? 1 : 0), 0x00, 0x00, power, 0x00};
}

std::vector<std::uint8_t> PreventAllowBlock(bool prevent) {
    return {OpPreventAllowMediumRemoval, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(prevent ? 1 : 0), 0x00};
}

TkseCDDrive::TkseCDDrive(std::string node, std::unique_ptr<TScsiTransport> transport, const TDriveConfig& config)
    : DeviceNode(std::move(node)), Transport(std::move(transport)), Configuration(config) {}

TkseCDDrive::~TkseCDDrive() {
    // A tray left locked by a program that has gone would need a reboot or a root tool.
    if (LockedHere && !KeepLock) Unlock();
}

TScsiError TkseCDDrive::Execute(const std::vector<std::uint8_t>& block, unsigned timeout_ms,
                                std::vector<std::uint8_t>* dataIn) {
    if (dataIn) std::fill(dataIn->begin(), dataIn->end(), 0);
    if (Configuration.BeforeCommand) Configuration.BeforeCommand(DeviceNode, block);
    std::span<std::uint8_t> buffer;
    if (dataIn) buffer = *dataIn;
    const TScsiOutcome outcome = Transport->Execute({block, timeout_ms}, buffer);
    Configuration.Sense.fill(0);
    std::copy_n(outcome.Sense.begin(), std::min(outcome.Sense.size(), Configuration.Sense.size()),
                Configuration.Sense.begin());
    SystemError = outcome.SystemError;
    OpenFailed = outcome.OpenFailed;
    Result = ScsiErrorOf(outcome);
    if (Configuration.AfterCommand) Configuration.AfterCommand(DeviceNode, block, Result);
    return Result;
}

bool TkseCDDrive::Perform(TDriveAction action, bool wait) {
    const bool immediate = !wait;
    const unsigned startStopTimeout = Configuration.LongTimeouts_ms.back();
    switch (action) {
        case TDriveAction::Load:
            Execute(StartStopBlock(immediate, true, true), startStopTimeout, nullptr);
            break;
        case TDriveAction::Eject:
            Execute(StartStopBlock(immediate, true, false), startStopTimeout, nullptr);
            break;
        case TDriveAction::StartRotate:
            Execute(StartStopBlock(immediate, false, true), startStopTimeout, nullptr);
            break;
        case TDriveAction::StopRotate:
            Execute(StartStopBlock(immediate, false, false), startStopTimeout, nullptr);
            break;
        case TDriveAction::Lock:
            Execute(PreventAllowBlock(true), Configuration.CommandTimeout_ms, nullptr);
            if (ScsiSucceeded(Result)) LockedHere = true;
            break;
        case TDriveAction::Unlock:
            Execute(PreventAllowBlock(false), Configuration.CommandTimeout_ms, nullptr);
            if (ScsiSucceeded(Result)) LockedHere = false;
            break;
    }
    return ScsiSucceeded(Result);
}

std::optional<TInquiryData> TkseCDDrive::Inquiry() {
    std::vector<std::uint8_t> data(InquiryLength);
    if (!ScsiSucceeded(Execute(InquiryBlock(), Configuration.CommandTimeout_ms, &data))) return std::nullopt;
    return ParseInquiry(data);
}

TGuardedAction PerformOnCdDrive(TkseCDDrive& drive, TDriveAction action) {
    TGuardedAction result;
    const std::optional<TInquiryData> inquiry = drive.Inquiry();
    result.Reached = inquiry.has_value();
    if (!inquiry) return result;
    result.DeviceType = inquiry->DeviceType;
    result.IsCdDrive = inquiry->DeviceType == CdDeviceType;
    if (result.IsCdDrive) result.Done = drive.Perform(action);
    return result;
}

std::unique_ptr<TkseCDDrive> OpenCdDrive(const std::string& node, const TDriveConfig& config) {
    return std::make_unique<TkseCDDrive>(node, std::make_unique<TSgIoTransport>(node), config);
}
