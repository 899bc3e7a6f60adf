#include "environment/drive_access.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "scripted_transport.h"
#include "support/temp_folder.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

struct TDriveUnderTest {
    std::shared_ptr<TTransportLog> Log = std::make_shared<TTransportLog>();
    std::unique_ptr<TkseCDDrive> Drive;

    explicit TDriveUnderTest(const TDriveConfig& config = {})
        : Drive(std::make_unique<TkseCDDrive>("/dev/sr0", std::make_unique<TScriptedTransport>(Log), config)) {}
};

TScsiOutcome CheckCondition(TBytes sense) {
    TScsiOutcome outcome;
    outcome.Status = 0x02;
    outcome.DriverStatus = 0x08;
    outcome.Sense = std::move(sense);
    return outcome;
}

TScsiOutcome SystemError(int error, bool openFailed = true) {
    TScsiOutcome outcome;
    outcome.SystemError = error;
    outcome.OpenFailed = openFailed;
    return outcome;
}

}  // namespace

TEST(DriveAccess, EachActionSendsItsBlockWithItsTimeout) {
    struct TCase {
        TDriveAction Action;
        bool Wait;
        TBytes Block;
        unsigned Timeout_ms;
    };
    const TCase cases[] = {
        {TDriveAction::Load, true, {0x1B, 0x00, 0x00, 0x00, 0x03, 0x00}, 10000},
        {TDriveAction::Eject, true, {0x1B, 0x00, 0x00, 0x00, 0x02, 0x00}, 10000},
        {TDriveAction::StartRotate, true, {0x1B, 0x00, 0x00, 0x00, 0x01, 0x00}, 10000},
        {TDriveAction::StopRotate, true, {0x1B, 0x00, 0x00, 0x00, 0x00, 0x00}, 10000},
        {TDriveAction::Load, false, {0x1B, 0x01, 0x00, 0x00, 0x03, 0x00}, 10000},
        {TDriveAction::Eject, false, {0x1B, 0x01, 0x00, 0x00, 0x02, 0x00}, 10000},
        {TDriveAction::StartRotate, false, {0x1B, 0x01, 0x00, 0x00, 0x01, 0x00}, 10000},
        {TDriveAction::StopRotate, false, {0x1B, 0x01, 0x00, 0x00, 0x00, 0x00}, 10000},
        // The medium lock has no immediate form and the short timeout.
        {TDriveAction::Lock, true, {0x1E, 0x00, 0x00, 0x00, 0x01, 0x00}, 1000},
        {TDriveAction::Lock, false, {0x1E, 0x00, 0x00, 0x00, 0x01, 0x00}, 1000},
        {TDriveAction::Unlock, true, {0x1E, 0x00, 0x00, 0x00, 0x00, 0x00}, 1000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Action) * 10 + c.Wait);
        TDriveUnderTest under;
        under.Drive->KeepLockAtEnd();  // one command each
        EXPECT_TRUE(under.Drive->Perform(c.Action, c.Wait));
        EXPECT_EQ(under.Drive->LastResult(), TScsiError::Err_None);
        under.Drive.reset();
        ASSERT_EQ(under.Log->Sent.size(), 1u);
        EXPECT_EQ(under.Log->Sent[0].Block, c.Block);
        EXPECT_EQ(under.Log->Sent[0].Timeout_ms, c.Timeout_ms);
        EXPECT_EQ(under.Log->Sent[0].DataInLength, 0u);
    }
}

TEST(DriveAccess, TheConfiguredTimeoutsAreTheOnesSent) {
    TDriveConfig config;
    config.CommandTimeout_ms = 250;
    config.LongTimeouts_ms = {1, 2, 30000};
    TDriveUnderTest under(config);
    under.Drive->Eject();
    under.Drive->Lock();
    under.Drive->Inquiry();
    under.Drive.reset();  // unlocks on the way out
    ASSERT_EQ(under.Log->Sent.size(), 4u);
    EXPECT_EQ(under.Log->Sent[0].Timeout_ms, 30000u);
    EXPECT_EQ(under.Log->Sent[1].Timeout_ms, 250u);
    EXPECT_EQ(under.Log->Sent[2].Timeout_ms, 250u);
    EXPECT_EQ(under.Log->Sent[3].Block, (TBytes{0x1E, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(under.Log->Sent[3].Timeout_ms, 250u);
}

TEST(DriveAccess, InquiryAsksForAllItsBytesAndReadsTheTextFields) {
    TBytes answer(96, 0);
    answer[0] = 0x05;
    const std::string text = "HL-DT-STDVDRAM GH24NSD1 LG00Vendor  specific  text\x01junk";
    std::copy(text.begin(), text.end(), answer.begin() + 8);
    TDriveUnderTest under;
    under.Log->Answers.push_back({{}, answer});
    const std::optional<TInquiryData> inquiry = under.Drive->Inquiry();
    ASSERT_TRUE(inquiry);
    EXPECT_EQ(inquiry->DeviceType, 5);
    EXPECT_EQ(inquiry->Vendor, "HL-DT-ST");
    EXPECT_EQ(inquiry->Product, "DVDRAM GH24NSD1");
    EXPECT_EQ(inquiry->Revision, "LG00");
    EXPECT_EQ(inquiry->VendorSpecific, "Vendor  specific  te");
    ASSERT_FALSE(under.Log->Sent.empty());
    EXPECT_EQ(under.Log->Sent[0].Block, (TBytes{0x12, 0x00, 0x00, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(under.Log->Sent[0].DataInLength, 255u);
    EXPECT_EQ(under.Log->Sent[0].Timeout_ms, 1000u);
}

TEST(DriveAccess, InquiryFieldsStopAtAControlCharacterAndLoseTrailingBlanks) {
    TBytes answer(56, ' ');
    answer[0] = 0x05;
    const std::string vendor = "AB\tCDEFG";
    std::copy(vendor.begin(), vendor.end(), answer.begin() + 8);
    answer[16] = 0;  // an empty product
    const TInquiryData inquiry = ParseInquiry(answer);
    EXPECT_EQ(inquiry.Vendor, "AB");
    EXPECT_EQ(inquiry.Product, "");
    EXPECT_EQ(inquiry.Revision, "");
    EXPECT_EQ(ParseInquiry({}).Vendor, "");  // a short answer reads no further than it goes
}

TEST(DriveAccess, AFailedInquiryGivesNothingAndKeepsItsResult) {
    TDriveUnderTest under;
    under.Log->Answers.push_back({CheckCondition({0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A}), {}});
    EXPECT_FALSE(under.Drive->Inquiry());
    EXPECT_EQ(under.Drive->LastResult(), TScsiError::Err_SenseNotReady);
    EXPECT_EQ(under.Drive->Config().Sense[12], 0x3A);
}

TEST(DriveAccess, TheSenseDataDecidesTheResultOfACheckCondition) {
    struct TCase {
        TBytes Sense;
        TScsiError Expected;
    };
    const TCase cases[] = {
        {{}, TScsiError::Err_None},
        {TBytes(18, 0), TScsiError::Err_None},
        {{0x72, 0, 0x05}, TScsiError::Err_SenseUnknown},
        {{0x70, 0, 0x01}, TScsiError::Err_SenseRecoveredError},
        {{0xF0, 0, 0x02}, TScsiError::Err_SenseNotReady},  // the valid bit is not part of the code
        {{0x71, 0, 0x05}, TScsiError::Err_SenseIllegalRequest},
        {{0x70, 0, 0x06}, TScsiError::Err_SenseUnitAttention},
        {{0x70, 0, 0x0F}, TScsiError::Err_SenseReserved},
        {{0x70, 0, 0x80}, TScsiError::Err_SenseFileMark},
        {{0x70, 0, 0x40}, TScsiError::Err_SenseEndOfMedia},
        {{0x70, 0, 0x20}, TScsiError::Err_SenseIllegalLength},
        {{0x70, 0, 0x00, 0x80}, TScsiError::Err_SenseIncorrectLength},
        {{0x70, 0, 0x00, 0x00}, TScsiError::Err_SenseNoSense},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(ScsiErrorName(c.Expected));
        EXPECT_EQ(ScsiErrorOf(CheckCondition(c.Sense)), c.Expected);
    }
}

TEST(DriveAccess, TheKernelsAnswerMapsOntoTheResultKinds) {
    struct TCase {
        TScsiOutcome Outcome;
        TScsiError Expected;
        const char* Text;
    };
    TScsiOutcome busy;
    busy.Status = 0x08;
    TScsiOutcome reserved;
    reserved.Status = 0x18;
    TScsiOutcome full;
    full.Status = 0x28;
    TScsiOutcome timedOut;
    timedOut.HostStatus = 0x03;
    TScsiOutcome driverTimeout;
    driverTimeout.DriverStatus = 0x06;
    TScsiOutcome reset;
    reset.HostStatus = 0x08;
    TScsiOutcome noConnect;
    noConnect.HostStatus = 0x01;
    const TCase cases[] = {
        {SystemError(ENOENT), TScsiError::Err_NoDevice, "no device"},
        {SystemError(ENXIO), TScsiError::Err_NoDevice, "no device"},
        {SystemError(EACCES), TScsiError::Err_InvalidRequest, "no permission"},
        {SystemError(EPERM), TScsiError::Err_InvalidRequest, "no permission"},
        {SystemError(EPERM, false), TScsiError::Err_InvalidRequest, "the kernel refused the command"},
        {SystemError(EACCES, false), TScsiError::Err_InvalidRequest, "the kernel refused the command"},
        {SystemError(EBUSY), TScsiError::Err_TargetBusy, "the drive is busy"},
        {SystemError(ENOTTY), TScsiError::Err_InvalidDevice, "invalid device"},
        {SystemError(EINVAL), TScsiError::Err_InvalidDevice, "invalid device"},
        {SystemError(EISDIR), TScsiError::Err_InvalidDevice, "invalid device"},
        {SystemError(EIO), TScsiError::Err_Unknown, "Input/output error"},
        {busy, TScsiError::Err_TargetBusy, "the drive is busy"},
        {reserved, TScsiError::Err_TargetReservationConflict, "Err_TargetReservationConflict"},
        {full, TScsiError::Err_TargetQueueFull, "Err_TargetQueueFull"},
        {timedOut, TScsiError::Err_NotifyTimeout, "the drive did not answer in time"},
        {driverTimeout, TScsiError::Err_NotifyTimeout, "the drive did not answer in time"},
        {reset, TScsiError::Err_BusReset, "Err_BusReset"},
        {noConnect, TScsiError::Err_SelectionTimeout, "Err_SelectionTimeout"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TScsiError error = ScsiErrorOf(c.Outcome);
        EXPECT_EQ(error, c.Expected);
        EXPECT_EQ(ScsiResultText(error, c.Outcome.SystemError, c.Outcome.OpenFailed), c.Text);
    }
    EXPECT_EQ(ScsiResultHint(TScsiError::Err_InvalidRequest, EACCES, true),
              "add yourself to the cdrom group and log in again");
    EXPECT_EQ(ScsiResultHint(TScsiError::Err_InvalidRequest, EPERM, false),
              "the command needs the node open for writing, or rights this user lacks");
    EXPECT_EQ(ScsiResultHint(TScsiError::Err_SenseNotReady, 0, false), "");
}

TEST(DriveAccess, OnlyNoErrorAnOverrunAndARecoveredErrorCountAsSuccess) {
    for (int value = 0; value < ScsiErrorCount; ++value) {
        const auto error = static_cast<TScsiError>(value);
        SCOPED_TRACE(ScsiErrorName(error));
        EXPECT_EQ(ScsiSucceeded(error), error == TScsiError::Err_None || error == TScsiError::Err_DataOverrun ||
                                            error == TScsiError::Err_SenseRecoveredError);
    }
    EXPECT_EQ(ScsiErrorName(TScsiError::Err_None), "Err_None");
    EXPECT_EQ(ScsiErrorName(TScsiError::Err_InvalidDevice), "Err_InvalidDevice");
    EXPECT_EQ(ScsiErrorName(TScsiError::Err_SenseReserved), "Err_SenseReserved");
    EXPECT_EQ(static_cast<int>(TScsiError::Err_SenseReserved), 49);

    TDriveUnderTest recovered;
    recovered.Log->Answers.push_back({CheckCondition({0x70, 0, 0x01}), {}});
    EXPECT_TRUE(recovered.Drive->Eject());
    EXPECT_EQ(recovered.Drive->LastResult(), TScsiError::Err_SenseRecoveredError);
}

TEST(DriveAccess, TheHooksSeeEveryCommandAndItsResult) {
    std::vector<std::string> calls;
    TDriveConfig config;
    config.BeforeCommand = [&](const std::string& node, const TBytes& block) {
        calls.push_back("before " + node + " " + std::to_string(block[0]));
    };
    config.AfterCommand = [&](const std::string& node, const TBytes& block, TScsiError result) {
        calls.push_back("after " + node + " " + std::to_string(block[0]) + " " + ScsiErrorName(result));
    };
    TDriveUnderTest under(config);
    under.Log->Answers.push_back({SystemError(EBUSY), {}});
    EXPECT_FALSE(under.Drive->Lock());
    EXPECT_EQ(under.Drive->LastSystemError(), EBUSY);
    EXPECT_TRUE(under.Drive->Eject());
    under.Drive.reset();  // the failed lock leaves nothing to undo
    EXPECT_EQ(calls, (std::vector<std::string>{"before /dev/sr0 30", "after /dev/sr0 30 Err_TargetBusy",
                                               "before /dev/sr0 27", "after /dev/sr0 27 Err_None"}));
}

TEST(DriveAccess, AtItsEndADriveUndoesOnlyItsOwnLock) {
    const TBytes unlock = {0x1E, 0x00, 0x00, 0x00, 0x00, 0x00};
    struct TCase {
        const char* Name;
        std::vector<TDriveAction> Actions;
        bool Keep;
        bool UnlocksAtEnd;
    };
    const TCase cases[] = {
        {"never locked (a mounted disc's kernel lock stays)", {TDriveAction::Eject}, false, false},
        {"locked", {TDriveAction::Lock, TDriveAction::Eject}, false, true},
        {"locked and unlocked", {TDriveAction::Lock, TDriveAction::Unlock}, false, false},
        {"unlocked and locked again", {TDriveAction::Unlock, TDriveAction::Lock}, false, true},
        {"locked to stay locked", {TDriveAction::Lock}, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDriveUnderTest under;
        if (c.Keep) under.Drive->KeepLockAtEnd();
        for (TDriveAction action : c.Actions) EXPECT_TRUE(under.Drive->Perform(action));
        under.Drive.reset();
        ASSERT_EQ(under.Log->Sent.size(), c.Actions.size() + (c.UnlocksAtEnd ? 1 : 0));
        if (c.UnlocksAtEnd) {
            EXPECT_EQ(under.Log->Sent.back().Block, unlock);
        }
    }
}

TEST(DriveAccess, ATypedNodeGetsTheActionOnlyWhenItIsACdDrive) {
    const TBytes inquiry = {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};
    const TBytes stop = {0x1B, 0x00, 0x00, 0x00, 0x00, 0x00};
    struct TCase {
        const char* Name;
        TScriptedAnswer Inquiry;
        bool Reached;
        bool IsCdDrive;
        bool Done;
        std::vector<TBytes> Sent;
    };
    TScsiOutcome busy;
    busy.Status = 0x08;
    const TCase cases[] = {
        {"a CD drive", {{}, {0x05}}, true, true, true, {inquiry, stop}},
        {"a disk", {{}, {0x00}}, true, false, false, {inquiry}},
        {"a disk with the peripheral qualifier set", {{}, {0x20}}, true, false, false, {inquiry}},
        {"nothing answers", {SystemError(ENOENT), {}}, false, false, false, {inquiry}},
        {"a busy drive", {busy, {0x05}}, false, false, false, {inquiry}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDriveUnderTest under;
        under.Log->Answers.push_back(c.Inquiry);
        const TGuardedAction result = PerformOnCdDrive(*under.Drive, TDriveAction::StopRotate);
        EXPECT_EQ(result.Reached, c.Reached);
        EXPECT_EQ(result.IsCdDrive, c.IsCdDrive);
        EXPECT_EQ(result.Done, c.Done);
        std::vector<TBytes> sent;
        for (const TSentCommand& command : under.Log->Sent) sent.push_back(command.Block);
        EXPECT_EQ(sent, c.Sent);
    }
}

TEST(DriveAccess, TheRealKernelTellsNoDeviceFromAnInvalidOne) {
    TTempFolder folder;
    const std::string regularFile = folder.Write("not-a-drive", "x");
    struct TCase {
        std::string Node;
        TScsiError Expected;
        const char* Text;
    };
    const TCase cases[] = {
        {"/dev/null", TScsiError::Err_InvalidDevice, "invalid device"},
        {regularFile, TScsiError::Err_InvalidDevice, "invalid device"},
        {folder.Path().string(), TScsiError::Err_InvalidDevice, "invalid device"},
        {folder.File("sr9"), TScsiError::Err_NoDevice, "no device"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Node);
        std::unique_ptr<TkseCDDrive> drive = OpenCdDrive(c.Node);
        EXPECT_FALSE(drive->Eject());
        EXPECT_EQ(drive->LastResult(), c.Expected);
        EXPECT_EQ(drive->LastResultText(), c.Text);
        EXPECT_FALSE(drive->Inquiry());
        EXPECT_EQ(drive->LastResult(), c.Expected);
    }
    EXPECT_EQ(ReadWholeFile(regularFile), "x");  // a wrong node is left as it was
}
