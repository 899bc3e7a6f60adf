// Stills made by the real jpeg2yuv, mpeg2enc and mplex, checked by vcdxminfo.
#include "stills/still_batch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "environment/detected_tools.h"
#include "lib/console_runner.h"
#include "picture_fixtures.h"
#include "services/services.h"
#include "stills/mjpeg_command.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// What vcdxminfo says of an MPEG file's video streams.
struct TStream {
    std::string Kind;  // "still picture stream", "secondary still picture stream"...
    int Width = 0;
    int Height = 0;
    bool operator==(const TStream&) const = default;
};

void PrintTo(const TStream& stream, std::ostream* out) {
    *out << stream.Kind << " " << stream.Width << "x" << stream.Height;
}

std::string Between(const std::string& line, const std::string& open, const std::string& close) {
    const std::size_t start = line.find(open);
    if (start == std::string::npos) return "";
    const std::size_t end = line.find(close, start + open.size());
    return line.substr(start + open.size(), end - start - open.size());
}

std::vector<TStream> StreamsOf(const std::string& path) {
    std::vector<std::string> lines;
    CaptureConsoleOutput("vcdxminfo", "-i " + ShellWord(path), &lines);
    std::vector<TStream> streams;
    for (const std::string& line : lines) {
        if (line.find("<video-stream") != std::string::npos) streams.emplace_back();
        if (streams.empty()) continue;
        if (line.find("<!--") != std::string::npos) streams.back().Kind = Trim(Between(line, "<!--", "-->"));
        if (line.find("<horizontal-size>") != std::string::npos)
            streams.back().Width = std::atoi(Between(line, "<horizontal-size>", "<").c_str());
        if (line.find("<vertical-size>") != std::string::npos)
            streams.back().Height = std::atoi(Between(line, "<vertical-size>", "<").c_str());
    }
    return streams;
}

class StillBatch : public ::testing::Test {
protected:
    TLoopMainThread Loop;
    TScriptedDialogs Dialogs;
    TServicesScope Scope{&Loop, &Dialogs};
    TDetectedTools SavedTools = DetectedTools();
    TTempFolder Folder;
    std::vector<std::string> Lines;

    StillBatch() {
        DetectedTools().MjpegToolsFolder = fs::path(FindProgram("mplex")).parent_path().string() + "/";
        DetectedTools().MjpegToolsAvailable = true;
        DetectedTools().MjpegToolsVersionCode = 2;
    }
    ~StillBatch() override { DetectedTools() = SavedTools; }

    // A picture with detail everywhere: gradients, stripes and two halves.
    std::string Picture(const std::string& name, int width = 800, int height = 600) {
        fixtures::StartVips();
        const vips::VImage xy = vips::VImage::xyz(width, height);
        const vips::VImage x = xy.extract_band(0);
        const vips::VImage y = xy.extract_band(1);
        const vips::VImage stripes = ((x + y * 3) % 7) * 36;
        const vips::VImage noise = (x * (255.0 / width))
                                       .bandjoin({y * (255.0 / height), stripes})
                                       .cast(VIPS_FORMAT_UCHAR)
                                       .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
        const std::string plain =
            Folder.File("fixture-" + std::to_string(Serial++) + fs::path(name).extension().string());
        fixtures::Save(noise, plain);
        const std::string path = (Folder.Path() / name).string();
        fs::rename(plain, path);
        return path;
    }

    struct TRun {
        std::unique_ptr<TStillBatch> Batch;
        bool Queued = false;
        int Commands = 0;
    };

    TRun Run(TStillOptions options, const std::vector<std::string>& files, bool batchMode = true) {
        TRun run;
        run.Batch = std::make_unique<TStillBatch>(std::move(options));
        run.Batch->OnOutput = [this](TCommandInterface&, const std::string& line) { Lines.push_back(line); };
        TCommandsManager manager;
        run.Queued = run.Batch->Queue(manager, files, batchMode);
        run.Commands = manager.Count();
        if (!run.Queued) return run;
        bool finished = false;
        manager.Run(false, nullptr, nullptr, [&](TCommandsManager&, bool) { finished = true; });
        EXPECT_TRUE(Loop.RunUntil([&] { return finished; }, 120s));
        return run;
    }

    static TStillOptions Options(bool vcd, bool pal, bool high, bool dual = false) {
        TStillOptions options;
        options.Vcd = vcd;
        options.Pal = pal;
        options.High = high;
        options.Dual = dual;
        options.Quality = 100;
        options.ContinueOnErrors = true;
        options.Conversion.AspectCorrection = 1;
        return options;
    }

    int Serial = 0;
};

TEST_F(StillBatch, EveryStillTypeGivesAStillOfItsSize) {
    struct TCase {
        bool Vcd, Pal, High, Dual;
        std::vector<TStream> Expected;
    };
    const TCase cases[] = {
        {true, true, false, false, {{"still picture stream", 352, 288}}},
        {true, false, false, false, {{"still picture stream", 352, 240}}},
        // A high-resolution picture alone is the disc's secondary kind.
        {true, true, true, false, {{"secondary still picture stream", 704, 576}}},
        {true, false, true, false, {{"secondary still picture stream", 704, 480}}},
        {false, true, false, false, {{"still picture stream", 480, 576}}},
        {false, false, false, false, {{"still picture stream", 480, 480}}},
        {false, true, true, false, {{"still picture stream", 704, 576}}},
        {false, false, true, false, {{"still picture stream", 704, 480}}},
        // Dual: the normal-resolution stream first, the high-resolution one second.
        {true, true, true, true, {{"still picture stream", 352, 288}, {"secondary still picture stream", 704, 576}}},
        {true, false, true, true, {{"still picture stream", 352, 240}, {"secondary still picture stream", 704, 480}}},
    };
    const std::string picture = Picture("photo.jpg");
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Vcd ? "VCD" : "SVCD") + (c.Pal ? " PAL" : " NTSC") + (c.High ? " high" : " low") +
                     (c.Dual ? " dual" : ""));
        const TRun run = Run(Options(c.Vcd, c.Pal, c.High, c.Dual), {picture});
        ASSERT_TRUE(run.Queued);
        EXPECT_EQ(run.Commands, c.Dual ? 3 : 2);
        ASSERT_TRUE(run.Batch->Succeeded(0)) << run.Batch->Entries()[0];
        const std::string still = run.Batch->Files()[0].Still;
        EXPECT_EQ(StreamsOf(still), c.Expected);
        // Temporary files were deleted; only the picture and the still remain.
        EXPECT_EQ(FileNames(Folder.Path()), (std::vector<std::string>{"photo.jpg", "photo.mpg"}));
        fs::remove(still);
    }
}

TEST_F(StillBatch, OddNamesMakeStillsAndNothingElse) {
    const std::string names[] = {
        "a\";touch X;\"b.png", "it's.jpg",      "back\\slash.jpg", "dollar $HOME.jpg",
        "back`id`quote.jpg",   "new\nline.jpg", "latin\xE9.jpg",   "percent %d %s.jpg",
    };
    std::vector<std::string> pictures;
    for (const std::string& name : names) pictures.push_back(Picture(name, 200, 150));
    TStillOptions options = Options(true, true, false);
    const TRun run = Run(options, pictures);
    ASSERT_TRUE(run.Queued);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(names[i]);
        ASSERT_TRUE(run.Batch->Succeeded(i)) << run.Batch->Entries()[i];
        const std::string still = fs::path(pictures[i]).replace_extension(".mpg").string();
        EXPECT_EQ(run.Batch->Files()[i].Still, still);
        EXPECT_EQ(StreamsOf(still), (std::vector<TStream>{{"still picture stream", 352, 288}}));
    }
    EXPECT_FALSE(fs::exists(Folder.Path() / "X"));
    EXPECT_FALSE(fs::exists("X"));
    EXPECT_FALSE(fs::exists(fs::path(DetectedTools().MjpegToolsFolder) / "X"));
    EXPECT_EQ(FileNames(Folder.Path()).size(), 2 * pictures.size());
}

TEST_F(StillBatch, SameNamedPicturesDoNotOverwriteEachOther) {
    const std::string jpg = Picture("a.jpg", 200, 150);
    const std::string png = Picture("a.png", 150, 200);
    // Earlier outputs are no new pictures.
    fs::copy_file(jpg, Folder.File("a_for_still.jpg"));
    fs::copy_file(jpg, Folder.File("a_for_pc.jpg"));
    const std::vector<std::string> pictures = CollectPictures({Folder.Path().string()}, false);
    EXPECT_EQ(pictures, (std::vector<std::string>{jpg, png}));
    const TRun run = Run(Options(true, true, false), pictures);
    // Temporary files are deleted at the end: they replace nothing, so nothing is asked.
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_EQ(ReadWholeFile(Folder.File("a_for_still.jpg")), ReadWholeFile(jpg));
    ASSERT_EQ(run.Batch->Entries().size(), 2u);
    EXPECT_TRUE(run.Batch->Succeeded(0));
    EXPECT_TRUE(run.Batch->Succeeded(1));
    EXPECT_EQ(run.Batch->Files()[0].Still, Folder.File("a.mpg"));
    EXPECT_EQ(run.Batch->Files()[1].Still, Folder.File("a_png.mpg"));
    EXPECT_TRUE(ReadWholeFile(Folder.File("a.mpg")) != ReadWholeFile(Folder.File("a_png.mpg")));
}

TEST_F(StillBatch, BadPicturesFailAloneAndLeaveNothing) {
    const std::string good = Picture("good.jpg", 300, 200);
    const std::string bytes = ReadWholeFile(good);
    const std::string truncated = Folder.Write("truncated.jpg", bytes.substr(0, bytes.size() / 3));
    const std::string text = Folder.Write("text.jpg", "no picture here\n");
    const std::string huge = Folder.Write("huge.jpg", fixtures::WithJpegSize(bytes, 20000, 20000));
    std::vector<std::string> before = FileNames(Folder.Path());
    // A VCD PAL high batch: three commands a picture; a failed picture skips its own two.
    TStillOptions options = Options(true, true, true, true);
    const TRun run = Run(options, {truncated, good, text, huge});
    EXPECT_EQ(run.Commands, 12);
    const std::vector<std::string>& entries = run.Batch->Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[3],
              "[ERROR]   \t" + huge + "  -  Invalid picture file: The picture is too large (20000 x 20000 pixels)");
    EXPECT_EQ(entries[0].rfind("[ERROR]   \t" + truncated + "  -  Invalid picture file", 0), 0u) << entries[0];
    EXPECT_TRUE(run.Batch->Succeeded(1)) << entries[1];
    EXPECT_EQ(entries[2].rfind("[ERROR]   \t" + text + "  -  Invalid picture file", 0), 0u) << entries[2];
    before.push_back("good.mpg");
    std::sort(before.begin(), before.end());
    EXPECT_EQ(FileNames(Folder.Path()), before);
    const TStillSummary summary = run.Batch->Summary();
    EXPECT_EQ(summary.Count, 4);
    EXPECT_EQ(summary.Succeeded, 1);
    EXPECT_EQ(summary.Failed, 3);
    EXPECT_EQ(summary.Skipped, 0);
    EXPECT_NE(summary.Text.find("Failed: 3"), std::string::npos) << summary.Text;
    // Quiet: no box and no question.
    EXPECT_TRUE(Dialogs.Asked.empty()) << Dialogs.Asked.front().Message;
}

TEST_F(StillBatch, AnsweringNoStopsTheBatchAndLeavesTheRestSkipped) {
    const std::string text = Folder.Write("bad.jpg", "no picture here\n");
    const std::string good = Picture("good.jpg", 300, 200);
    TStillOptions options = Options(true, true, false);
    options.ContinueOnErrors = false;
    Dialogs.Answer(TModalResult::OK);  // the error box
    Dialogs.Answer(TModalResult::No);  // "Do you want to continue ?"
    const TRun run = Run(options, {text, good});
    ASSERT_EQ(run.Batch->Entries().size(), 2u);
    EXPECT_EQ(run.Batch->Entries()[1], "[SKIPPED] \t" + good);
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_NE(Dialogs.Asked[0].Message.find("creation failed"), std::string::npos);
    EXPECT_NE(Dialogs.Asked[1].Message.find("Do you want to continue ?"), std::string::npos);
    EXPECT_FALSE(fs::exists(Folder.File("good.mpg")));
}

TEST_F(StillBatch, NothingIsReplacedWithoutConsent) {
    const std::string picture = Picture("photo.jpg", 300, 200);
    Folder.Write("photo.mpg", "older still");
    TStillOptions options = Options(true, true, false);
    Dialogs.Answer(TModalResult::No);
    TRun run = Run(options, {picture});
    EXPECT_FALSE(run.Batch->Succeeded(0));
    EXPECT_EQ(ReadWholeFile(Folder.File("photo.mpg")), "older still");
    EXPECT_EQ(FileNames(Folder.Path()), (std::vector<std::string>{"photo.jpg", "photo.mpg"}));

    Dialogs.Answer(TModalResult::Yes);
    run = Run(options, {picture});
    EXPECT_TRUE(run.Batch->Succeeded(0)) << run.Batch->Entries()[0];
    EXPECT_EQ(StreamsOf(Folder.File("photo.mpg")).size(), 1u);
}

TEST_F(StillBatch, ReadOnlyOutputFolderIsAClearMessage) {
    const std::string picture = Picture("photo.jpg", 300, 200);
    const fs::path locked = Folder.Path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (geteuid() == 0) std::system(("chattr +i " + ShellWord(locked.string()) + " 2>/dev/null").c_str());
    if (std::ofstream((locked / "probe").string()).good()) {
        fs::remove(locked / "probe");
        GTEST_SKIP() << "cannot make a read-only folder here";
    }
    TStillOptions options = Options(true, true, false);
    options.OutputFolder = locked.string();
    const TRun run = Run(options, {picture});
    const std::string entry = run.Batch->Entries().at(0);
    if (geteuid() == 0) std::system(("chattr -i " + ShellWord(locked.string()) + " 2>/dev/null").c_str());
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_NE(entry.find("Unable to save the picture to \"" + (locked / "photo_for_still.jpg").string() + "\""),
              std::string::npos)
        << entry;
    EXPECT_TRUE(fs::is_empty(locked));
}

TEST_F(StillBatch, AnErrorLineFailsARunThatEndsWell) {
    // A jpeg2yuv that does its work, then reports an error and exits 0, as it does for odd JPEG layouts.
    const fs::path tools = Folder.Path() / "tools";
    fs::create_directory(tools);
    const std::string real = DetectedTools().MjpegToolsFolder;
    std::ofstream(tools / "jpeg2yuv") << "#!/bin/sh\n\"" << real << "jpeg2yuv\" \"$@\"\n"
                                      << "echo '**ERROR: [jpeg2yuv] Unsupported sampling factors!' >&2\nexit 0\n";
    fs::permissions(tools / "jpeg2yuv", fs::perms::owner_all);
    for (const char* name : {"mpeg2enc", "mplex"}) fs::create_symlink(real + name, tools / name);
    DetectedTools().MjpegToolsFolder = tools.string() + "/";
    const std::string picture = Picture("photo.jpg", 300, 200);
    const TRun run = Run(Options(true, true, false), {picture});
    EXPECT_EQ(run.Batch->Entries().at(0), "[ERROR]   \t" + picture + "  -  [jpeg2yuv] Unsupported sampling factors!");
    EXPECT_EQ(FileNames(Folder.Path()), (std::vector<std::string>{"photo.jpg", "tools"}));
}

TEST_F(StillBatch, PreparingSeveralAtOnceKeepsOrderAndResults) {
    std::vector<std::string> pictures;
    for (int i = 0; i < 5; ++i) pictures.push_back(Picture("p" + std::to_string(i) + ".jpg", 640, 480));
    pictures.insert(pictures.begin() + 2, Folder.Write("broken.jpg", "broken"));
    TStillOptions options = Options(true, true, true, true);
    options.Jobs = 3;
    const TRun run = Run(options, pictures);
    ASSERT_EQ(run.Batch->Entries().size(), 6u);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_NE(run.Batch->Entries()[i].find(pictures[i]), std::string::npos);
        EXPECT_EQ(run.Batch->Succeeded(i), i != 2) << run.Batch->Entries()[i];
    }
    EXPECT_EQ(StreamsOf(Folder.File("p4.mpg")).size(), 2u);
}

}  // namespace
