#include "environment/scsi_transport.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr std::size_t SenseBufferSize = 128;

bool RefusedForWriting(int error) { return error == EACCES || error == EPERM || error == EROFS; }

}  // namespace

TSgIoTransport::TSgIoTransport(const std::string& node) {
    // O_NONBLOCK: an empty drive or an open tray must not fail the open.
    Descriptor = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (Descriptor < 0 && RefusedForWriting(errno)) {
        Descriptor = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        OpenedReadOnly = Descriptor >= 0;
    }
    if (Descriptor < 0) OpenErrno = errno;
}

TSgIoTransport::~TSgIoTransport() {
    if (Descriptor >= 0) ::close(Descriptor);
}

TScsiOutcome TSgIoTransport::Execute(const TScsiCommand& command, std::span<std::uint8_t> dataIn) {
    TScsiOutcome outcome;
    if (Descriptor < 0) {
        outcome.SystemError = OpenErrno;
        outcome.OpenFailed = true;
        return outcome;
    }
    std::vector<std::uint8_t> block = command.Block;
    outcome.Sense.assign(SenseBufferSize, 0);
    sg_io_hdr_t header{};
    header.interface_id = 'S';
    header.dxfer_direction = dataIn.empty() ? SG_DXFER_NONE : SG_DXFER_FROM_DEV;
    header.cmd_len = static_cast<unsigned char>(block.size());
    header.cmdp = block.data();
    header.dxfer_len = static_cast<unsigned>(dataIn.size());
    header.dxferp = dataIn.empty() ? nullptr : dataIn.data();
    header.mx_sb_len = static_cast<unsigned char>(outcome.Sense.size());
    header.sbp = outcome.Sense.data();
    header.timeout = command.Timeout_ms;
    int result = 0;
    do result = ::ioctl(Descriptor, SG_IO, &header);
    while (result < 0 && errno == EINTR);
    if (result < 0) {
        outcome.SystemError = errno;
        outcome.Sense.clear();
        return outcome;
    }
    outcome.Status = header.status;
    outcome.HostStatus = header.host_status;
    outcome.DriverStatus = header.driver_status;
    outcome.Sense.resize(header.sb_len_wr);
    return outcome;
}
