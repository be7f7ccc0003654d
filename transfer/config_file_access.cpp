// Reading checks of a configuration file, made before any document is opened on it.
#include "transfer/config_file_access.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ConfigFileReadable(const char* iniFile) {
    struct stat status {};
    if (stat(iniFile, &status) != 0) {
        std::printf("Cannot read the file %s - %s.\n", iniFile, std::strerror(errno));
        return false;
    }
    // Checked before opening: a pipe would block the open, a device never end.
    if (!S_ISREG(status.st_mode)) {
        std::printf("Cannot read the file %s - not a regular file.\n", iniFile);
        return false;
    }
    std::FILE* file = std::fopen(iniFile, "rbe");
    if (file == nullptr) {
        std::printf("Cannot read the file %s - %s.\n", iniFile, std::strerror(errno));
        return false;
    }
    std::fclose(file);
    return true;
}

std::string ConfigFileUpdateError(const char* iniFile) {
    std::FILE* file = std::fopen(iniFile, "r+be");
    if (file == nullptr) {
        return std::strerror(errno);
    }
    std::fclose(file);
    return {};
}
