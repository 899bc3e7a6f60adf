// The sub-commands of lumora-cli; each returns the program's exit code.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_session.h"
#include "model/video_cd.h"

int RunCheck(TCliSession& session);
int RunAnalyse(TCliSession& session, const std::vector<std::string>& files, bool relaxedAps);

struct TAuthorOptions {
    std::string Type = "vcd20";
    std::string Tv;  // empty: the first file's
    std::string Image = "cue";
    std::vector<std::string> Chapters;
    std::string ChaptersEvery;  // empty: none
    bool NoPbc = false;
    std::string Label;
    std::string Album;
    std::string Output;
    bool XmlOnly = false;
    bool Sector2336 = false;
    std::string SaveProject;
    std::vector<std::string> Files;
    std::vector<std::string> IsoFiles;  // for the root of the disc's file system
    bool Expert = false;
};
int RunAuthor(TCliSession& session, const TAuthorOptions& options);
int RunBuildProject(TCliSession& session, const std::string& project, const std::string& output);
int RunBuildXml(TCliSession& session, const std::string& xml, const std::string& output, const std::string& image,
                bool sector2336);

struct TRipCliOptions {
    std::string Image;
    std::string Xml;
    bool XmlOnly = false;
    bool NoSequences = false;
    bool NoSegments = false;
    bool NoFiles = false;
    bool NoExtPsd = false;
    bool Sector2336 = false;
};
int RunRip(TCliSession& session, const TRipCliOptions& options);

struct TStillsCliOptions {
    std::string Type;  // empty: the stored settings' choice
    std::string Tv;
    int Quality = -1;  // -1: stored
    std::string Filter;
    int Crop = -1;
    std::string Aspect;
    bool NoEnlarge = false;
    std::string Background;
    double AntiFlicker = -1;
    int Jobs = 0;  // 0: one per core
    std::string OutputFolder;
    std::vector<std::string> Pictures;
};
int RunStills(TCliSession& session, const TStillsCliOptions& options);
// The pictures among `files` become stills of the disc's kind in
// `outputFolder` (kept when newer than their picture) and take their places.
bool AuthorStills(TCliSession& session, bool svcd, bool pal, const std::string& outputFolder,
                  std::vector<std::string>& files);
int RunDatToMpg(TCliSession& session, const std::string& input, const std::string& output);

struct TCdCliOptions {
    std::string Device;  // a device node; empty: the stored writer or reader
    bool Reader = false;
    bool Full = false;
    bool Eject = false;
    bool Sector2336 = false;
    std::string Output;  // the BIN file of a read
    std::string Image;   // the CUE or TOC file of a burn
    int Speed = -1;      // -1: the stored speed; 0: the drive's best
    bool Simulate = false;
    bool Overburn = false;
    int Buffers = 0;  // 0: the stored count
};
// `action`: scan, info, blank, read, unlock or burn.
int RunCd(TCliSession& session, const std::string& action, const TCdCliOptions& options);

// A path made absolute and normal; the tools and the checks want full paths.
std::string AbsolutePath(const std::string& path);

// The image type named on the command line ("cue", "advcue", "toc", "toast").
TCdImageType CliImageType(const std::string& name);
