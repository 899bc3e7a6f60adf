#include "environment/layer_report.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "settings/language.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* CdromGroup = "cdrom";

std::string FirstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return Trim(line);
}

TStringList FileLines(const std::string& path) {
    std::ifstream file(path);
    TStringList lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

TStringList Words(const std::string& text) {
    std::istringstream stream(text);
    TStringList words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

bool IsCdName(const std::string& name) {
    return name.size() > 2 && StartsWith(name, "sr") &&
           std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The kernel's CD capability table: one column per drive, named in the "drive name" row.
std::map<std::string, TStringList> WritableMedia(const std::string& procRoot) {
    static constexpr const char* Media[] = {"CD-R", "CD-RW", "DVD-R", "DVD-RAM"};
    TStringList names;
    std::map<std::string, TStringList> writes;
    for (const std::string& line : FileLines(procRoot + "/sys/dev/cdrom/info")) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string label = Trim(line.substr(0, colon));
        const TStringList values = Words(line.substr(colon + 1));
        if (label == "drive name") {
            names = values;
            for (const std::string& name : names) writes[name];
        }
        for (const char* medium : Media) {
            if (label != std::string("Can write ") + medium) continue;
            for (std::size_t i = 0; i < values.size() && i < names.size(); ++i)
                if (values[i] == "1") writes[names[i]].push_back(medium);
        }
    }
    return writes;
}

std::vector<TDriveFacts> KnownDrives(const TLayerProbe& probe) {
    std::map<std::string, TStringList> writes = WritableMedia(probe.ProcRoot);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(probe.SysRoot + "/class/block", error)) {
        const std::string name = entry.path().filename().string();
        if (IsCdName(name)) writes[name];
    }
    std::vector<TDriveFacts> drives;
    for (const auto& [name, media] : writes) {
        if (!IsCdName(name)) continue;
        TDriveFacts drive;
        drive.Name = name;
        drive.Node = probe.DevRoot + "/" + name;
        drive.Writes = media;
        const std::string device = probe.SysRoot + "/class/block/" + name + "/device/";
        drive.Vendor = FirstLine(device + "vendor");
        drive.Model = FirstLine(device + "model");
        drives.push_back(drive);
    }
    // sr2 before sr10.
    std::sort(drives.begin(), drives.end(), [](const TDriveFacts& a, const TDriveFacts& b) {
        return a.Name.size() != b.Name.size() ? a.Name.size() < b.Name.size() : a.Name < b.Name;
    });
    return drives;
}

struct TGroupEntry {
    std::string Name;
    unsigned Id = 0;
    TStringList Members;
};

std::vector<TGroupEntry> ReadGroups(const std::string& path) {
    std::vector<TGroupEntry> groups;
    for (const std::string& line : FileLines(path)) {
        std::vector<std::string> fields;
        std::stringstream stream(line);
        for (std::string field; std::getline(stream, field, ':');) fields.push_back(field);
        if (fields.size() < 3 || fields[0].empty()) continue;
        TGroupEntry group;
        group.Name = fields[0];
        group.Id = static_cast<unsigned>(std::strtoul(fields[2].c_str(), nullptr, 10));
        if (fields.size() > 3) {
            std::stringstream members(fields[3]);
            for (std::string member; std::getline(members, member, ',');)
                if (!Trim(member).empty()) group.Members.push_back(Trim(member));
        }
        groups.push_back(group);
    }
    return groups;
}

std::string GroupName(const std::vector<TGroupEntry>& groups, unsigned id) {
    for (const TGroupEntry& group : groups)
        if (group.Id == id) return group.Name;
    return std::to_string(id);
}

std::string UserNameOf(uid_t uid) {
    const passwd* entry = getpwuid(uid);
    return entry ? entry->pw_name : std::to_string(uid);
}

std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISBLK(mode) ? "b" : S_ISDIR(mode) ? "d" : S_ISLNK(mode) ? "l" : "-";
    static constexpr const char Letters[] = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400 >> bit)) ? Letters[bit] : '-';
    return text;
}

int RealOpenError(const std::string& node, int flags) {
    const int descriptor = ::open(node.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return errno;
    ::close(descriptor);
    return 0;
}

void ReadNode(const TLayerProbe& probe, const std::vector<TGroupEntry>& groups, TDriveFacts& drive) {
    struct stat status {};
    drive.NodeExists = ::stat(drive.Node.c_str(), &status) == 0;
    if (!drive.NodeExists) return;
    drive.NodeGroup = GroupName(groups, status.st_gid);
    drive.Permissions = ModeText(status.st_mode) + " " + UserNameOf(status.st_uid) + ":" + drive.NodeGroup;
    const auto openError = probe.OpenError ? probe.OpenError : RealOpenError;
    drive.AccessError = openError(drive.Node, O_RDWR);
    if (drive.AccessError == 0)
        drive.Access = TNodeAccess::ReadWrite;
    else if (openError(drive.Node, O_RDONLY) == 0)
        drive.Access = TNodeAccess::ReadOnly;
}

bool OctalEscapeAt(const std::string& field, std::size_t i) {
    if (field[i] != '\\' || i + 3 >= field.size()) return false;
    for (std::size_t k = i + 1; k <= i + 3; ++k)
        if (field[k] < '0' || field[k] > '7') return false;
    return true;
}

// "\040" and the like in a mounts field.
std::string Unescaped(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (OctalEscapeAt(field, i)) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// A mount names the drive by its node or by a link to it (/dev/cdrom).
bool SameNode(const std::string& mounted, const TDriveFacts& drive, const std::string& devRoot) {
    if (mounted == drive.Node) return true;
    std::error_code error;
    if (!StartsWith(mounted, devRoot + "/") && !StartsWith(mounted, "/dev/")) return false;
    const std::string local = StartsWith(mounted, devRoot + "/") ? mounted : devRoot + mounted.substr(4);
    const fs::path resolved = fs::weakly_canonical(local, error);
    return !error && resolved == fs::weakly_canonical(drive.Node, error);
}

void ReadMounts(const TLayerProbe& probe, std::vector<TDriveFacts>& drives) {
    for (const std::string& line : FileLines(probe.ProcRoot + "/self/mounts")) {
        const TStringList fields = Words(line);
        if (fields.size() < 2) continue;
        const std::string source = Unescaped(fields[0]);
        for (TDriveFacts& drive : drives)
            if (SameNode(source, drive, probe.DevRoot)) drive.MountPoints.push_back(Unescaped(fields[1]));
    }
}

std::vector<unsigned> ProcessGroups() {
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> ids(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (count > 0 && getgroups(count, ids.data()) < 0) ids.clear();
    std::vector<unsigned> groups(ids.begin(), ids.end());
    groups.push_back(getegid());
    return groups;
}

void ReadMembership(const TLayerProbe& probe, const std::vector<TGroupEntry>& groups, TLayerReport& report) {
    const std::string user = probe.UserName.empty() ? UserNameOf(getuid()) : probe.UserName;
    const unsigned primary = probe.PrimaryGroup.value_or([] {
        const passwd* entry = getpwuid(getuid());
        return entry ? static_cast<unsigned>(entry->pw_gid) : static_cast<unsigned>(getgid());
    }());
    const std::vector<unsigned> session = probe.SessionGroups.value_or(ProcessGroups());
    report.Root = probe.UserId.value_or(static_cast<unsigned>(geteuid())) == 0;
    for (const TGroupEntry& group : groups) {
        if (group.Name != CdromGroup) continue;
        report.CdromGroupExists = true;
        report.InCdromGroup =
            group.Id == primary || std::find(group.Members.begin(), group.Members.end(), user) != group.Members.end();
        report.InCdromGroupThisSession = std::find(session.begin(), session.end(), group.Id) != session.end();
    }
}

void AddHint(TLayerReport& report, const std::string& hint) {
    if (std::find(report.Hints.begin(), report.Hints.end(), hint) == report.Hints.end()) report.Hints.push_back(hint);
}

std::string RefusalHint(const TLayerReport& report, const TDriveFacts& drive) {
    if (drive.NodeGroup != CdromGroup)
        return Format(Translate("the node %s belongs to the group %s: ask the administrator for access"), drive.Node,
                      drive.NodeGroup);
    if (!report.InCdromGroup) return Translate("add yourself to the cdrom group and log in again");
    if (!report.InCdromGroupThisSession) return Translate("you joined the cdrom group after this login: log in again");
    return Format(Translate("the group cdrom may not write to %s: check the permissions set by udev"), drive.Node);
}

void CollectHints(TLayerReport& report) {
    if (report.Drives.empty())
        AddHint(report, Translate("no CD drive is known to the kernel: check that the drive is connected and that "
                                  "the sr_mod module is loaded"));
    for (const TDriveFacts& drive : report.Drives) {
        if (!drive.NodeExists) {
            AddHint(report, Format(Translate("the node %s is missing: check udev"), drive.Node));
            continue;
        }
        const bool refused = drive.AccessError == EACCES || drive.AccessError == EPERM;
        if (refused) AddHint(report, RefusalHint(report, drive));
        if (!drive.MountPoints.empty()) AddHint(report, Translate("the disc is mounted: unmount it first"));
    }
}

// The forms of the labelled lines of the report: a problem stands out with " * ".
std::string Labelled(const std::string& label, const std::string& value) {
    return label + ":" + (label.size() > 8 ? "\t" : "\t\t") + value;
}

std::string Failed(const std::string& label, const std::string& value) {
    return " * " + label + ":" + (label.size() > 11 ? "\t" : "\t\t") + value;
}

std::string Separator() { return std::string(52, '='); }

std::string AccessText(const TDriveFacts& drive) {
    switch (drive.Access) {
        case TNodeAccess::ReadWrite:
            return Translate("read-write");
        case TNodeAccess::ReadOnly:
            return Translate("read-only") + " (" + std::strerror(drive.AccessError) + ")";
        case TNodeAccess::None:
            break;
    }
    return Translate("none") + " (" + std::strerror(drive.AccessError) + ")";
}

void DriveLines(const TDriveFacts& drive, TStringList& lines) {
    lines.push_back(Labelled(Translate("Drive"), drive.Name));
    const std::string model = Trim(drive.Vendor + " " + drive.Model);
    if (!model.empty()) lines.push_back(Labelled(Translate("Model"), model));
    lines.push_back(
        Labelled(Translate("Writes"), drive.Writes.empty() ? Translate("nothing") : JoinLines(drive.Writes, ", ")));
    if (!drive.NodeExists) {
        lines.push_back(Failed(Translate("Node"), drive.Node + " " + Translate("missing")));
        return;
    }
    lines.push_back(Labelled(Translate("Node"), drive.Node));
    lines.push_back(Labelled(Translate("Permissions"), drive.Permissions));
    const std::string access = AccessText(drive);
    lines.push_back(drive.Access == TNodeAccess::ReadWrite ? Labelled(Translate("Access"), access)
                                                           : Failed(Translate("Access"), access));
    lines.push_back(drive.MountPoints.empty()
                        ? Labelled(Translate("Mounted"), Translate("no"))
                        : Failed(Translate("Mounted"), Translate("on") + " " + JoinLines(drive.MountPoints, ", ")));
}

std::string GroupLine(const TLayerReport& report) {
    const std::string label = Translate("Group cdrom");
    if (report.Root) return Labelled(label, Translate("not needed (root)"));
    if (report.InCdromGroupThisSession) return Labelled(label, Translate("member"));
    if (!report.CdromGroupExists) return Failed(label, Translate("no such group"));
    return Failed(label, report.InCdromGroup ? Translate("member from the next login") : Translate("not a member"));
}

}  // namespace

TLayerReport CheckLinuxLayer(const TLayerProbe& probe) {
    TLayerReport report;
    const std::vector<TGroupEntry> groups = ReadGroups(probe.GroupFile);
    report.Drives = KnownDrives(probe);
    for (TDriveFacts& drive : report.Drives) ReadNode(probe, groups, drive);
    ReadMounts(probe, report.Drives);
    ReadMembership(probe, groups, report);
    CollectHints(report);
    return report;
}

TStringList LayerReportLines(const TLayerReport& report) {
    TStringList lines = {Separator(), Labelled(Translate("SCSI layer"), "Linux SG_IO")};
    lines.push_back(GroupLine(report));
    lines.push_back(Separator());
    for (const TDriveFacts& drive : report.Drives) {
        DriveLines(drive, lines);
        lines.push_back(Separator());
    }
    if (report.Drives.empty()) {
        lines.push_back(Failed(Translate("Drives"), Translate("none")));
        lines.push_back(Separator());
    }
    for (const std::string& hint : report.Hints) lines.push_back(" * " + hint);
    return lines;
}
