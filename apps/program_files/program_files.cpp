// Finds the files that come with a program, beside it in the build tree or the installed tree.
#include "apps/program_files/program_files.h"

#include <filesystem>
#include <system_error>

namespace forecourt {
namespace {

// The first candidate (relative to the program's folder) that exists, normalised; else "".
std::string FirstExisting(std::initializer_list<std::filesystem::path> candidates) {
    const std::string folder = ProgramFolder();
    if (folder.empty())
        return {};
    for (const auto& candidate : candidates) {
        const auto path = (std::filesystem::path(folder) / candidate).lexically_normal();
        std::error_code ignored;
        if (std::filesystem::exists(path, ignored))
            return path.string();
    }
    return {};
}

}  // namespace

std::string ProgramFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

std::string FindModule(const std::string& buildRelative, const std::string& name) {
    // FORECOURT_MODULES_FROM_PROGRAMS is the private library folder seen from bin/
    // ("../lib/forecourt"), given by the build from the install layout.
    return FirstExisting(
        {buildRelative, std::filesystem::path(FORECOURT_MODULES_FROM_PROGRAMS) / name});
}

std::string FindProgram(const std::string& buildRelative, const std::string& name) {
    return FirstExisting({buildRelative, name});
}

}  // namespace forecourt
