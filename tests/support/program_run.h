// Runs a program as a user would and keeps its exit code and output lines;
// sets environment variables for a test and puts them back afterwards.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lib/console_runner.h"

struct TProgramRun {
    std::uint32_t ExitCode = 0;
    std::vector<std::string> Lines;
    std::string Text() const {
        std::string text;
        for (const std::string& line : Lines) text += line + "\n";
        return text;
    }
};

inline TProgramRun RunProgramFor(const std::string& program, const std::string& parameters,
                                 std::uint32_t timeoutMs = 600000) {
    TProgramRun run;
    run.ExitCode = CaptureConsoleOutput(program, parameters, &run.Lines, nullptr, true, false, timeoutMs);
    return run;
}

inline std::string QuotedPath(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

class TEnvironmentScope {
public:
    TEnvironmentScope() = default;
    TEnvironmentScope(const TEnvironmentScope&) = delete;
    TEnvironmentScope& operator=(const TEnvironmentScope&) = delete;
    void Set(const std::string& name, const std::string& value) {
        Remember(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string& name) {
        Remember(name);
        unsetenv(name.c_str());
    }
    ~TEnvironmentScope() {
        for (const auto& [name, value] : Saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    void Remember(const std::string& name) {
        if (Saved.contains(name)) return;
        const char* old = std::getenv(name.c_str());
        Saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    std::map<std::string, std::optional<std::string>> Saved;
};
