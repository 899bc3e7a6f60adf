#include "environment/layer_report.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

const std::string CdromInfo =
    "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n"
    "\n"
    "drive name:\t\tsr1\tsr0\n"
    "drive speed:\t\t24\t48\n"
    "Can write CD-R:\t\t0\t1\n"
    "Can write CD-RW:\t0\t1\n"
    "Can read DVD:\t\t1\t1\n"
    "Can write DVD-R:\t0\t1\n"
    "Can write DVD-RAM:\t0\t0\n"
    "\n";

// A sysfs, proc and dev tree with the drives sr0 and sr1 and the node of sr0 only.
struct TFakeSystem {
    TTempFolder Root;
    TLayerProbe Probe;
    std::set<std::string> Refused;          // nodes that refuse read-write
    std::set<std::string> RefusedEntirely;  // nodes that refuse every open

    TFakeSystem() {
        Probe.SysRoot = Root.File("sys");
        Probe.ProcRoot = Root.File("proc");
        Probe.DevRoot = Root.File("dev");
        Probe.GroupFile = Root.File("group");
        Probe.UserName = "ann";
        Probe.UserId = 1000;
        Probe.PrimaryGroup = 1000;
        Probe.SessionGroups = std::vector<unsigned>{1000, 24};
        Probe.OpenError = [this](const std::string& node, int flags) {
            if (RefusedEntirely.count(node) || ((flags & O_ACCMODE) == O_RDWR && Refused.count(node))) return EACCES;
            return ::access(node.c_str(), F_OK) == 0 ? 0 : ENOENT;
        };
        Drive("sr0", "HL-DT-ST", "DVDRAM GH24NSD1 ");
        Drive("sr1", "ASUS    ", "DRW-24F1ST   b");
        fs::create_directories(Probe.DevRoot);
        Root.Write("dev/sr0", "");
        Root.Write("group", "root:x:0:\ncdrom:x:24:bob,ann\nann:x:1000:\n");
        Root.Write("proc/self/mounts", "/dev/vda1 / ext4 rw 0 0\nproc /proc proc rw 0 0\n");
        Root.Write("proc/sys/dev/cdrom/info", CdromInfo);
    }

    void Drive(const std::string& name, const std::string& vendor, const std::string& model) {
        fs::create_directories(Root.Path() / "sys/class/block" / name / "device");
        Root.Write("sys/class/block/" + name + "/device/vendor", vendor + "\n");
        Root.Write("sys/class/block/" + name + "/device/model", model + "\n");
    }

    std::string Node(const std::string& name) const { return Probe.DevRoot + "/" + name; }
};

bool HasLine(const TStringList& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(LayerReport, ListsTheKernelsDrivesWithTheirNodesAndWhatTheyWrite) {
    TFakeSystem fake;
    const TLayerReport report = CheckLinuxLayer(fake.Probe);
    ASSERT_EQ(report.Drives.size(), 2u);
    const TDriveFacts& sr0 = report.Drives[0];
    EXPECT_EQ(sr0.Name, "sr0");
    EXPECT_EQ(sr0.Node, fake.Node("sr0"));
    EXPECT_EQ(sr0.Vendor, "HL-DT-ST");
    EXPECT_EQ(sr0.Model, "DVDRAM GH24NSD1");
    EXPECT_EQ(sr0.Writes, (TStringList{"CD-R", "CD-RW", "DVD-R"}));
    EXPECT_TRUE(sr0.NodeExists);
    EXPECT_EQ(sr0.Access, TNodeAccess::ReadWrite);
    EXPECT_TRUE(sr0.MountPoints.empty());
    EXPECT_TRUE(StartsWith(sr0.Permissions, "-rw"));
    const TDriveFacts& sr1 = report.Drives[1];
    EXPECT_EQ(sr1.Writes, TStringList{});
    EXPECT_FALSE(sr1.NodeExists);
    EXPECT_TRUE(report.CdromGroupExists && report.InCdromGroup && report.InCdromGroupThisSession);
    EXPECT_EQ(report.Hints, TStringList{"the node " + fake.Node("sr1") + " is missing: check udev"});

    const TStringList lines = LayerReportLines(report);
    EXPECT_EQ(lines.front(), std::string(52, '='));
    EXPECT_TRUE(HasLine(lines, "SCSI layer:\tLinux SG_IO"));
    EXPECT_TRUE(HasLine(lines, "Group cdrom:\tmember"));
    EXPECT_TRUE(HasLine(lines, "Drive:\t\tsr0"));
    EXPECT_TRUE(HasLine(lines, "Model:\t\tHL-DT-ST DVDRAM GH24NSD1"));
    EXPECT_TRUE(HasLine(lines, "Writes:\t\tCD-R, CD-RW, DVD-R"));
    EXPECT_TRUE(HasLine(lines, "Access:\t\tread-write"));
    EXPECT_TRUE(HasLine(lines, "Mounted:\t\tno"));
    EXPECT_TRUE(HasLine(lines, " * Node:\t\t" + fake.Node("sr1") + " missing"));
    EXPECT_EQ(lines.back(), " * the node " + fake.Node("sr1") + " is missing: check udev");
}

TEST(LayerReport, ADriveOnlyInSysfsOrOnlyInTheCapabilityTableIsStillListed) {
    TFakeSystem fake;
    fake.Root.Write("proc/sys/dev/cdrom/info", "drive name:\t\tsr0\nCan write CD-R:\t\t1\n");
    fake.Drive("sr10", "X", "Y");
    fake.Drive("sr2", "X", "Z");
    fs::create_directories(fake.Root.Path() / "sys/class/block/vda");
    fs::remove_all(fake.Root.Path() / "sys/class/block/sr0");
    const TLayerReport report = CheckLinuxLayer(fake.Probe);
    TStringList names;
    for (const TDriveFacts& drive : report.Drives) names.push_back(drive.Name);
    EXPECT_EQ(names, (TStringList{"sr0", "sr1", "sr2", "sr10"}));
    EXPECT_EQ(report.Drives[0].Writes, TStringList{"CD-R"});
    EXPECT_EQ(report.Drives[0].Vendor, "");
}

TEST(LayerReport, NoDriveAtAllSaysWhatToCheck) {
    TFakeSystem fake;
    fs::remove_all(fake.Root.Path() / "sys");
    fs::remove_all(fake.Root.Path() / "proc");
    const TLayerReport report = CheckLinuxLayer(fake.Probe);
    EXPECT_TRUE(report.Drives.empty());
    ASSERT_EQ(report.Hints.size(), 1u);
    EXPECT_TRUE(StartsWith(report.Hints[0], "no CD drive is known to the kernel"));
    EXPECT_TRUE(HasLine(LayerReportLines(report), " * Drives:\t\tnone"));
}

TEST(LayerReport, ARefusedNodeGetsTheHintThatFitsTheUsersGroups) {
    struct TCase {
        const char* Name;
        std::string Groups;
        std::vector<unsigned> Session;
        gid_t NodeGroup;
        const char* GroupLine;
        const char* Hint;
    };
    const TCase cases[] = {
        {"not a member",
         "cdrom:x:24:bob\n",
         {1000},
         24,
         " * Group cdrom:\t\tnot a member",
         "add yourself to the cdrom group and log in again"},
        {"added after the login",
         "cdrom:x:24:bob,ann\n",
         {1000},
         24,
         " * Group cdrom:\t\tmember from the next login",
         "you joined the cdrom group after this login: log in again"},
        {"the primary group counts",
         "cdrom:x:1000:\n",
         {7},
         1000,
         " * Group cdrom:\t\tmember from the next login",
         "you joined the cdrom group after this login: log in again"},
        {"a member whose group may not write",
         "cdrom:x:24:ann\n",
         {1000, 24},
         24,
         "Group cdrom:\tmember",
         "the group cdrom may not write to %s: check the permissions set by udev"},
        {"no such group",
         "disk:x:6:\n",
         {1000},
         24,
         " * Group cdrom:\t\tno such group",
         "the node %s belongs to the group 24: ask the administrator for access"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeSystem fake;
        fake.Root.Write("group", c.Groups);
        fake.Probe.SessionGroups = c.Session;
        if (::chown(fake.Node("sr0").c_str(), static_cast<uid_t>(-1), c.NodeGroup) != 0)
            GTEST_SKIP() << "giving the node another group needs root";
        fake.Refused.insert(fake.Node("sr0"));
        const TLayerReport report = CheckLinuxLayer(fake.Probe);
        ASSERT_FALSE(report.Drives.empty());
        EXPECT_EQ(report.Drives[0].Access, TNodeAccess::ReadOnly);
        EXPECT_EQ(report.Drives[0].AccessError, EACCES);
        const std::string hint = Format(c.Hint, fake.Node("sr0"));
        EXPECT_TRUE(HasLine(report.Hints, hint)) << JoinLines(report.Hints, "\n");
        const TStringList lines = LayerReportLines(report);
        EXPECT_TRUE(HasLine(lines, c.GroupLine)) << JoinLines(lines, "\n");
        EXPECT_TRUE(HasLine(lines, " * Access:\t\tread-only (Permission denied)")) << JoinLines(lines, "\n");
        EXPECT_TRUE(HasLine(lines, " * " + hint));
    }
}

TEST(LayerReport, ANodeThatRefusesEveryOpenHasNoAccess) {
    TFakeSystem fake;
    fake.RefusedEntirely.insert(fake.Node("sr0"));
    const TLayerReport report = CheckLinuxLayer(fake.Probe);
    EXPECT_EQ(report.Drives[0].Access, TNodeAccess::None);
    EXPECT_TRUE(HasLine(LayerReportLines(report), " * Access:\t\tnone (Permission denied)"));
}

TEST(LayerReport, AMountedDiscIsFoundByItsNodeOrALinkToIt) {
    TFakeSystem fake;
    fs::create_symlink("sr0", fake.Root.Path() / "dev/cdrom");
    const std::string asLink = "/dev/cdrom /media/ann/My\\040Disc iso9660 ro 0 0\n";
    const std::string asNode = fake.Node("sr0") + " /mnt/vcd udf ro 0 0\n";
    fake.Root.Write("proc/self/mounts", "/dev/vda1 / ext4 rw 0 0\n" + asLink + asNode + "/dev/sr10 /x udf ro 0 0\n");
    const TLayerReport report = CheckLinuxLayer(fake.Probe);
    EXPECT_EQ(report.Drives[0].MountPoints, (TStringList{"/media/ann/My Disc", "/mnt/vcd"}));
    EXPECT_TRUE(report.Drives[1].MountPoints.empty());
    EXPECT_TRUE(HasLine(report.Hints, "the disc is mounted: unmount it first"));
    EXPECT_TRUE(HasLine(LayerReportLines(report), " * Mounted:\t\ton /media/ann/My Disc, /mnt/vcd"));
}

TEST(LayerReport, RootNeedsNoGroup) {
    TFakeSystem fake;
    fake.Probe.UserId = 0;
    fake.Root.Write("group", "cdrom:x:24:\n");
    const TLayerReport report = CheckLinuxLayer(fake.Probe);
    EXPECT_TRUE(report.Root);
    EXPECT_TRUE(HasLine(LayerReportLines(report), "Group cdrom:\tnot needed (root)"));
}

TEST(LayerReport, ThisSystemAnswersWithoutFailing) {
    // No drive here; the report still tells how the layer stands.
    const TLayerReport report = CheckLinuxLayer();
    const TStringList lines = LayerReportLines(report);
    EXPECT_TRUE(HasLine(lines, "SCSI layer:\tLinux SG_IO"));
    EXPECT_EQ(report.Drives.empty(), HasLine(lines, " * Drives:\t\tnone"));
}
