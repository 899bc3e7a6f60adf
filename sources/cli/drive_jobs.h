// "lumora-cli drive ...": the drive tools and the SCSI layer report.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "cli/cli_session.h"

struct TDriveCliOptions {
    std::string Action;  // eject, load, lock, unlock, spin-up, spin-down, info, report
    std::string Device;  // empty: the stored writer
};

void AddDriveCommand(CLI::App& app, TDriveCliOptions& options);
int RunDrive(TCliSession& session, const TDriveCliOptions& options);
