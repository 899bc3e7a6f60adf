#include "writers/project_file.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <pugixml.hpp>

#include "lib/bounded_file.h"
#include "lib/safe_file.h"
#include "model/entry_points.h"
#include "settings/language.h"
#include "writers/integrity_text_file.h"
#include "writers/video_cd_xml_writer.h"

bool SaveProjectFile(const std::string& path, const TVideoCdDescription& project, bool scrambled, std::string* error) {
    // The placeholder of a disc of stills only is the program's own file,
    // looked for again at each generation: a project never names it.
    TVideoCdDescription saved = project;
    saved.PlaceholderSequence.clear();
    const TStringList lines = WriteVideoCdXml(saved, TXmlMode::Project);
    if (lines.empty()) return false;
    return Strings_SaveToFile(path, lines, scrambled, error);
}

namespace {

struct TEntryRef {
    int File = 0;  // position in the list
    int Entry = 0;
};

class TParser {
public:
    TParser(const std::string& text, const std::string& name) : Text(text), Name(name) {}

    TVideoCdDescription Parse() {
        const pugi::xml_parse_result result =
            Doc.load_buffer(Text.data(), Text.size(), pugi::parse_default | pugi::parse_comments);
        if (!result) Fail(static_cast<std::ptrdiff_t>(result.offset), result.description());
        const pugi::xml_node root = Doc.child("lumora");
        if (!root) Fail(0, Translate("this is not a project file (no <lumora> element)"));
        if (std::string(root.attribute("format").value()) != "1.0")
            Fail(root,
                 Format(Translate("unsupported project format \"%s\""), std::string(root.attribute("format").value())));
        for (const pugi::xml_node comment : Doc.children()) {
            if (comment.type() != pugi::node_comment) continue;
            const std::string value = comment.value();
            const std::size_t start = value.find("Made with ");
            if (start == std::string::npos) continue;
            const std::size_t from = start + std::string_view("Made with ").size();
            const std::size_t end = value.find(" - ", from);
            D.ProgramNameVersion = value.substr(from, end == std::string::npos ? std::string::npos : end - from);
        }
        ProjectOptions(root);
        const pugi::xml_node videocd = root.child("videocd");
        if (!videocd) Fail(root, Translate("the <videocd> element is missing"));
        DiscType(videocd);
        DiscOptions(videocd);
        Info(Required(videocd, "info"));
        Pvd(Required(videocd, "pvd"));
        if (const pugi::xml_node fs = videocd.child("filesystem")) FileSystem(fs, D.FileSystem);
        Items(videocd);
        if (const pugi::xml_node pbc = videocd.child("pbc")) Pbc(pbc);
        return std::move(D);
    }

private:
    const std::string& Text;
    const std::string& Name;
    pugi::xml_document Doc;
    TVideoCdDescription D;
    std::map<std::string, TEntryRef> PlayItems;
    std::map<std::string, int> SelectionPositions;
    std::vector<int> FirstPosition;  // flat position of each file's first entry

    int LineAt(std::ptrdiff_t offset) const {
        if (offset < 0) return 0;
        const auto end = Text.begin() + std::min<std::ptrdiff_t>(offset, static_cast<std::ptrdiff_t>(Text.size()));
        return 1 + static_cast<int>(std::count(Text.begin(), end, '\n'));
    }

    [[noreturn]] void Fail(std::ptrdiff_t offset, const std::string& what) const {
        throw ELoadProjectError(Format(Translate("Unable to load the project \"%s\""), Name) + "\r\r" +
                                Format(Translate("Line %d: %s"), LineAt(offset), what));
    }
    [[noreturn]] void Fail(const pugi::xml_node& node, const std::string& what) const {
        Fail(node.offset_debug(), what);
    }

    pugi::xml_node Required(const pugi::xml_node& parent, const char* name) const {
        const pugi::xml_node child = parent.child(name);
        if (!child)
            Fail(parent, Format(Translate("the <%s> element is missing in <%s>"), std::string(name),
                                std::string(parent.name())));
        return child;
    }

    long long Number(const pugi::xml_node& node, const std::string& text, const std::string& what, long long min,
                     long long max) const {
        const std::string trimmed = Trim(text);
        long long value = 0;
        const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
        if (trimmed.empty() || error != std::errc() || end != trimmed.data() + trimmed.size() || value < min ||
            value > max)
            Fail(node, Format(Translate("%s must be a number from %s to %s, not \"%s\""), what, std::to_string(min),
                              std::to_string(max), text));
        return value;
    }
    int Int(const pugi::xml_node& node, const std::string& text, const std::string& what, int min = -1,
            int max = 65535) const {
        return static_cast<int>(Number(node, text, what, min, max));
    }

    bool Boolean(const pugi::xml_node& node, const std::string& text, const std::string& what) const {
        if (text == "true") return true;
        if (text == "false") return false;
        Fail(node, Format(Translate("%s must be \"true\" or \"false\", not \"%s\""), what, text));
    }
    bool BoolAttribute(const pugi::xml_node& node, const char* name, bool absent) const {
        const pugi::xml_attribute attribute = node.attribute(name);
        if (!attribute) return absent;
        return Boolean(node, attribute.value(), Format(Translate("The attribute \"%s\""), std::string(name)));
    }

    void ProjectOptions(const pugi::xml_node& root) {
        TProjectOptions& o = D.Options;
        for (const pugi::xml_node option : root.children("option")) {
            const std::string name = option.attribute("name").value();
            const std::string value = option.attribute("value").value();
            const std::string what = Format(Translate("The option \"%s\""), name);
            if (name == "tv system") {
                if (value != "PAL" && value != "NTSC")
                    Fail(option, Format(Translate("unknown TV system \"%s\""), value));
                o.TvSystem = ParseTvSystem(value);
            } else if (name == "cd image type") {
                const TCdImageType type = ParseCdImageType(value);
                if (LowerCase(CdImageTypeName(type)) != value)
                    Fail(option, Format(Translate("unknown CD image type \"%s\""), value));
                o.CdImageType = type;
            } else if (name == "cd image as 2336") {
                o.Image2336 = Boolean(option, value, what);
            } else if (name == "only segments") {
                Boolean(option, value, what);  // follows from the sequence items
            } else if (name == "gaps customized") {
                o.GapsCustomized = Boolean(option, value, what);
            } else if (name == "pbc default delay") {
                o.DefaultWaitTime = Int(option, value, what, 0, 65534);
                D.UsePBC = true;
            } else if (name == "pbc use numeric keys") {
                o.NumericKeysByDefault = Boolean(option, value, what);
            } else if (name == "always segment folder") {
                o.AlwaysSegmentFolder = Boolean(option, value, what);
            } else if (name == "default cdi application") {
                o.DefaultCdiApplication = Boolean(option, value, what);
            } else if (name == "default cdi config file") {
                o.DefaultCdiConfigFile = Boolean(option, value, what);
            } else if (name == "expert mode") {
                o.ExpertMode = Boolean(option, value, what);
            } else if (name == "compliance checks") {
                o.ComplianceChecks = Boolean(option, value, what);
            } else if (name == "xml file only") {
                o.XmlOnly = Boolean(option, value, what);
            } else if (name == "output filename without extension") {
                o.OutputBaseName = value;
            } else {
                Fail(option, Format(Translate("unknown option \"%s\""), name));
            }
        }
    }

    void DiscType(const pugi::xml_node& videocd) {
        const std::string cls = videocd.attribute("class").value();
        const std::string version = videocd.attribute("version").value();
        for (const TVideoCdType type : {TVideoCdType::Vcd11, TVideoCdType::Vcd20, TVideoCdType::Svcd10}) {
            if (VideoCdTypeClass(type) == cls && VideoCdTypeVersion(type) == version) {
                D.VideoCdType = type;
                return;
            }
        }
        Fail(videocd, Format(Translate("unknown disc type \"%s\" version \"%s\""), cls, version));
    }

    void DiscOptions(const pugi::xml_node& videocd) {
        for (const pugi::xml_node option : videocd.children("option")) {
            const std::string name = option.attribute("name").value();
            const std::string value = option.attribute("value").value();
            const std::string what = Format(Translate("The option \"%s\""), name);
            if (name == "svcd vcd30 mpegav" || name == "svcd vcd30 entrysvd")
                D.SvcdMpegavEntrysvd = Boolean(option, value, what);
            else if (name == "update scan offsets")
                D.UpdateScanOffsets = Boolean(option, value, what);
            else if (name == "relaxed aps")
                D.RelaxedAps = Boolean(option, value, what);
            else if (name == "leadout pregap")
                D.LeadoutPreGap = Int(option, value, what, 0, 65535);
            else if (name == "track pregap")
                D.TrackPreGap = Int(option, value, what, 0, 65535);
            else if (name == "track front margin")
                D.TrackFrontMargin = Int(option, value, what, 0, 65535);
            else if (name == "track rear margin")
                D.TrackRearMargin = Int(option, value, what, 0, 65535);
            else
                Fail(option, Format(Translate("unknown option \"%s\""), name));
        }
    }

    void Info(const pugi::xml_node& info) {
        D.AlbumName = info.child("album-id").text().get();
        if (const pugi::xml_node n = info.child("volume-count"))
            D.VolumeCount = Int(n, n.text().get(), Translate("The volume count"), 1, 65534);
        if (const pugi::xml_node n = info.child("volume-number"))
            D.VolumeNumber = Int(n, n.text().get(), Translate("The volume number"), 1, 65534);
        D.NextVolumeUseSequence2 = static_cast<bool>(info.child("next-volume-use-sequence2"));
        D.NextVolumeUseLid2 = static_cast<bool>(info.child("next-volume-use-lid2"));
        if (const pugi::xml_node n = info.child("restriction"))
            D.RestrictionCategory = Int(n, n.text().get(), Translate("The restriction category"), 0, 3);
    }

    void Pvd(const pugi::xml_node& pvd) {
        D.VolumeLabel = pvd.child("volume-id").text().get();
        D.ApplicationID = pvd.child("application-id").text().get();
    }

    // ISO 9660 has eight levels of folders; a deeper file is malformed (and
    // must not exhaust the stack).
    static constexpr int MaxFolderDepth = 8;

    void FileSystem(const pugi::xml_node& parent, std::vector<TFileSystemItem>& items, int depth = 0) {
        if (depth > MaxFolderDepth)
            Fail(parent, Format(Translate("the file system is nested deeper than %d folders"), MaxFolderDepth));
        for (const pugi::xml_node node : parent.children()) {
            if (node.type() != pugi::node_element) continue;
            const std::string kind = node.name();
            if (kind == "name" && parent.name() != std::string("filesystem")) continue;
            if (kind != "folder" && kind != "file")
                Fail(node, Format(Translate("unexpected <%s> element in the file system"), kind));
            TFileSystemItem item;
            item.IsFolder = kind == "folder";
            item.Name = Required(node, "name").text().get();
            if (Trim(item.Name).empty()) Fail(node, Translate("a file system item has no name"));
            if (item.IsFolder) {
                FileSystem(node, item.Children, depth + 1);
            } else {
                item.SourcePath = node.attribute("src").value();
                if (item.SourcePath.empty()) Fail(node, Translate("a file has no source path (src)"));
                const std::string format = node.attribute("format").value();
                if (!format.empty() && format != "mixed" && format != "form1")
                    Fail(node, Format(Translate("unknown file format \"%s\""), format));
                item.Mixed = format == "mixed";
            }
            items.push_back(std::move(item));
        }
    }

    // pos, crc and size of a play item, and its place in the list.
    TDescriptionFile& ItemFile(const pugi::xml_node& item, std::map<int, TDescriptionFile>& files, bool still) {
        const int pos = Int(item, item.attribute("pos").value(), Translate("The position (pos)"), 1, 100000);
        if (files.count(pos) != 0)
            Fail(item, Format(Translate("two MPEG files have the position %s"), std::to_string(pos)));
        TDescriptionFile& file = files[pos];
        file.IsStill = still;
        file.FullPath = item.attribute("src").value();
        if (file.FullPath.empty()) Fail(item, Translate("an MPEG file has no source path (src)"));
        file.Crc = item.attribute("crc").value();
        if (file.Crc.size() != 8 || file.Crc.find_first_not_of("0123456789ABCDEF") != std::string::npos)
            Fail(item, Format(Translate("the CRC \"%s\" is not 8 hexadecimal digits"), file.Crc));
        file.Size = Number(item, item.attribute("size").value(), Translate("The size"), -1, INT64_MAX);
        if (const pugi::xml_attribute firstKey = item.attribute("first-key"))
            file.FirstNumericKey = Int(item, firstKey.value(), Translate("The first numeric key"), 1, NumericKeyCount);
        file.Entries.push_back({});
        PlayItems[Trim(item.attribute("id").value())] = {pos, 0};
        return file;
    }

    void Items(const pugi::xml_node& videocd) {
        std::map<int, TDescriptionFile> files;
        for (const pugi::xml_node item : videocd.child("segment-items").children("segment-item"))
            ItemFile(item, files, true);
        for (const pugi::xml_node item : videocd.child("sequence-items").children("sequence-item")) {
            if (std::string(item.attribute("pos").value()) == "0") {
                D.PlaceholderSequence = item.attribute("src").value();
                continue;
            }
            TDescriptionFile& file = ItemFile(item, files, false);
            const int pos = PlayItems[Trim(item.attribute("id").value())].File;
            for (const pugi::xml_node entry : item.children("entry")) {
                const std::string time = SecondsTextToTimeText(Trim(entry.text().get()));
                if (!IsValidTimeText(time) || TimeTextToSecondsText(time) != Trim(entry.text().get()))
                    Fail(entry,
                         Format(Translate("the chapter time \"%s\" is not a number of seconds with three decimals"),
                                std::string(entry.text().get())));
                if (time <= file.Entries.back().TimeText)
                    Fail(entry, Format(Translate("the chapter at %s seconds is not after the one before it"),
                                       std::string(entry.text().get())));
                if (file.Entries.size() >= static_cast<std::size_t>(MaxEntriesPerFile))
                    Fail(entry, Translate("an MPEG file has more than 99 entry points"));
                PlayItems[Trim(entry.attribute("id").value())] = {pos, static_cast<int>(file.Entries.size())};
                file.Entries.push_back({time, {}});
            }
        }
        int expected = 1;
        for (auto& [pos, file] : files) {
            if (pos != expected)
                Fail(videocd, Format(Translate("the MPEG file at position %s is missing"), std::to_string(expected)));
            ++expected;
            D.Files.push_back(std::move(file));
        }
        int flat = 0;
        for (const TDescriptionFile& file : D.Files) {
            FirstPosition.push_back(flat);
            flat += static_cast<int>(file.Entries.size());
        }
        for (auto& [id, ref] : PlayItems) ref.File -= 1;  // positions count from 1
    }

    TDescriptionEntry& EntryOf(const pugi::xml_node& node, const std::string& playItem) {
        const auto found = PlayItems.find(playItem);
        if (found == PlayItems.end())
            Fail(node,
                 Format(Translate("the play item \"%s\" is not an MPEG file or chapter of the project"), playItem));
        return D.Files[static_cast<std::size_t>(found->second.File)]
            .Entries[static_cast<std::size_t>(found->second.Entry)];
    }

    int PositionOf(const std::string& playItem) const {
        const TEntryRef ref = PlayItems.at(playItem);
        return FirstPosition[static_cast<std::size_t>(ref.File)] + ref.Entry;
    }

    TPbcTarget Target(const pugi::xml_node& node) const {
        const std::string ref = node.attribute("ref").value();
        if (BoolAttribute(node, "itself", false)) return {TPbcTargetKind::Itself, -1};
        if (ref.empty()) return {};
        if (ref == "Selection-end") return {TPbcTargetKind::End, -1};
        const auto found = SelectionPositions.find(ref);
        if (found == SelectionPositions.end()) Fail(node, Format(Translate("unknown selection \"%s\""), ref));
        return TPbcTarget::To(found->second);
    }

    void Key(const pugi::xml_node& selection, const char* name, TPbcKey& key) const {
        const pugi::xml_node node = selection.child(name);
        if (!node) {
            key = {{}, false};
            return;
        }
        key.Target = Target(node);
        if (key.Target.Kind == TPbcTargetKind::None)
            Fail(node, Format(Translate("<%s> has no reference"), std::string(name)));
        key.Auto = BoolAttribute(node, "default", false);
    }

    void Pbc(const pugi::xml_node& pbc) {
        D.UsePBC = true;
        D.XmlComments = false;
        for (const pugi::xml_node child : pbc.children("selection")) {
            const std::string playItem = Required(child, "play-item").attribute("ref").value();
            EntryOf(child.child("play-item"), playItem);
            const std::string id = child.attribute("id").value();
            if (id.empty() || id == "Selection-end" || SelectionPositions.count(id) != 0)
                Fail(child, Format(Translate("the selection id \"%s\" is empty or used twice"), id));
            SelectionPositions[id] = PositionOf(playItem);
        }
        for (const pugi::xml_node child : pbc.children()) {
            if (child.type() == pugi::node_comment) D.XmlComments = true;
            if (std::string(child.name()) != "selection") continue;
            for (const pugi::xml_node inner : child.children())
                if (inner.type() == pugi::node_comment) D.XmlComments = true;
            const std::string playItem = child.child("play-item").attribute("ref").value();
            Selection(child, EntryOf(child, playItem).Selection, PositionOf(playItem));
        }
    }

    void Selection(const pugi::xml_node& node, TSelectionState& s, int self) const {
        const bool keys = BoolAttribute(node, "keys", false);
        const pugi::xml_node bsn = node.child("bsn");
        int first = 0;
        s.NumericMode = TNumericMode::None;
        if (keys) {
            s.NumericMode = TNumericMode::Automatic;
            if (bsn) {
                first = Int(bsn, bsn.text().get(), Translate("The first numeric key (bsn)"), 1, NumericKeyCount);
                s.NumericMode = BoolAttribute(bsn, "default", true) ? TNumericMode::Automatic : TNumericMode::Custom;
            }
        }
        Key(node, "prev", s.Prev);
        Key(node, "next", s.Next);
        Key(node, "return", s.Return);
        Key(node, "default", s.DefaultKey);
        if (const pugi::xml_node wait = node.child("wait")) {
            s.WaitTime = Int(wait, wait.text().get(), Translate("The wait time"), -1, 65534);
            s.WaitAuto = BoolAttribute(wait, "default", false);
        }
        // Kept in the project even where the disc does not use it (played
        // forever, or waiting forever); files without either keep the default.
        if (node.child("wait") || node.child("timeout")) Key(node, "timeout", s.Timeout);
        const pugi::xml_node loop = Required(node, "loop");
        s.LoopCount = Int(loop, loop.text().get(), Translate("The loop count"), 0, 65535);
        const std::string timing = loop.attribute("jump-timing").value();
        if (timing != "immediate" && timing != "delayed")
            Fail(loop, Format(Translate("unknown jump timing \"%s\""), timing));
        s.JumpImmediate = timing == "immediate";

        int key = first;
        for (const pugi::xml_node select : node.children("select")) {
            if (first == 0 || key > NumericKeyCount)
                Fail(select, Translate("a numeric key (select) without a key number (bsn) or beyond key 99"));
            s.NumericKeys[static_cast<std::size_t>(key - 1)] = Target(select);
            ++key;
        }
        (void)self;
    }
};

}  // namespace

// Far above any real project; a bigger file is not read.
constexpr std::uint64_t MaxProjectFileBytes = 64 * 1024 * 1024;

TVideoCdDescription TProjectFileReader::Read(const std::string& path) const {
    // Refused before it is read whole: a huge or endless file would exhaust the memory.
    const TBoundedFile file = ReadBoundedFile(path, MaxProjectFileBytes);
    if (file.Result == TFileReadResult::TooLarge || file.Result == TFileReadResult::NotRegular)
        throw ELoadProjectError(Format(Translate("Unable to read the project file \"%s\""), path) + ": " +
                                BoundedReadProblem(file, MaxProjectFileBytes));
    if (!file.Ok()) throw ELoadProjectError(Format(Translate("Unable to read the project file \"%s\""), path));
    return ReadBytes(file.Bytes, path);
}

TVideoCdDescription TProjectFileReader::ReadBytes(std::string_view bytes, const std::string& name) const {
    const TStoredText stored = ParseStoredText(bytes);
    if (!stored.HasIntegrity)
        throw ELoadProjectError(Format(Translate("The project file \"%s\" has no integrity line"), name) + "\r\r" +
                                Translate("It is damaged or was not saved by this program"));
    if (!stored.IntegrityOk)
        throw ELoadProjectError(Format(Translate("The project file \"%s\" was modified or is damaged"), name) + "\r\r" +
                                Translate("Its integrity check failed: project files must not be edited"));
    const std::string text = JoinLines(stored.Lines, "\n");
    return TParser(text, name).Parse();
}
