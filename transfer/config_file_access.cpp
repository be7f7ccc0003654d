// Reading checks of a configuration file: what both systems share. Opening and the checks on
// the opened file are per system (config_file_access_posix.cpp, config_file_access_win32.cpp).
#include "transfer/config_file_access.h"

#include <cstring>

bool ConfigFileReadable(const char* iniFile) {
    return OpenConfigFile(iniFile) != nullptr;
}

void ReportReadError(const char* iniFile, int error) {
    std::printf("Cannot read the file %s - %s.\n", iniFile, std::strerror(error));
}
