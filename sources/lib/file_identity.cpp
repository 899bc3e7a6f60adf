#include "lib/file_identity.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

bool SameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    const bool firstExists = stat(first.c_str(), &a) == 0;
    const bool secondExists = stat(second.c_str(), &b) == 0;
    if (firstExists && secondExists) return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (firstExists != secondExists) return false;
    // Neither exists: the same name once "." and ".." are resolved, with case.
    std::error_code error;
    const auto normal = [&](const std::string& name) {
        return std::filesystem::weakly_canonical(std::filesystem::absolute(name, error), error).lexically_normal();
    };
    return normal(first) == normal(second);
}
