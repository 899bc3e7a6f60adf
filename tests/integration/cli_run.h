// lumora-cli run as a script runs it: its lines and exit code, from a copy of
// the program that may carry its own settings file and tools.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_folder.h"

class TCliTest : public ::testing::Test {
protected:
    TTempFolder Folder;
    std::string CliPath = LUMORA_CLI;

    // Every question answered yes.
    TProgramRun Cli(const std::string& parameters) const { return RunProgramFor(CliPath, "--yes " + parameters); }

    // A portable copy of the program whose own folder holds its settings file.
    std::filesystem::path UsePortableCli(const std::string& iniText) {
        const std::filesystem::path folder = Folder.Path() / "portable";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(LUMORA_CLI, folder / "lumora-cli",
                                   std::filesystem::copy_options::overwrite_existing);
        std::ofstream(folder / "Lumora.ini") << iniText;
        CliPath = (folder / "lumora-cli").string();
        return folder;
    }

    // A copy of a fixture, so that the stored analyses and edits stay here.
    std::filesystem::path Sample(const std::string& name) {
        const std::filesystem::path target = Folder.Path() / name;
        if (!std::filesystem::exists(target)) std::filesystem::copy_file(FixturesFolder() / name, target);
        return target;
    }
};
