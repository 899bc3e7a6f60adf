// What a Linux user needs to know before cdrdao and the drive tools can reach
// a CD drive: the drives the kernel knows, their nodes and permissions,
// whether this user can open them read-write, whether a disc is mounted, and
// whether the user is in the `cdrom` group; with the hint for each problem.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lib/text.h"

// Where the facts come from; the tests point the roots at a fake tree.
struct TLayerProbe {
    std::string SysRoot = "/sys";
    std::string ProcRoot = "/proc";
    std::string DevRoot = "/dev";
    std::string GroupFile = "/etc/group";
    std::string UserName;                                // empty: this process's user
    std::optional<unsigned> UserId;                      // none: this process's effective user
    std::optional<unsigned> PrimaryGroup;                // none: this process's user's
    std::optional<std::vector<unsigned>> SessionGroups;  // none: this process's groups
    // errno of opening a node with these flags, 0 when it opens; empty: the real open.
    std::function<int(const std::string& node, int flags)> OpenError;
};

enum class TNodeAccess { ReadWrite, ReadOnly, None };

struct TDriveFacts {
    std::string Name;  // "sr0"
    std::string Node;  // "/dev/sr0"
    std::string Vendor;
    std::string Model;
    TStringList Writes;  // "CD-R", "CD-RW", ... as the kernel's capability table says
    bool NodeExists = false;
    std::string Permissions;  // "crw-rw---- root:cdrom"
    std::string NodeGroup;    // the node's group name, or its number
    TNodeAccess Access = TNodeAccess::None;
    int AccessError = 0;      // errno of the read-write open
    TStringList MountPoints;  // where a disc of the drive is mounted
};

struct TLayerReport {
    std::vector<TDriveFacts> Drives;
    bool Root = false;  // needs no group to open a node
    bool CdromGroupExists = false;
    bool InCdromGroup = false;             // as the group file says
    bool InCdromGroupThisSession = false;  // as this login's groups say
    TStringList Hints;
};

TLayerReport CheckLinuxLayer(const TLayerProbe& probe = {});
// The report as plain lines for the log page or a terminal.
TStringList LayerReportLines(const TLayerReport& report);
