// Reading checks of a configuration file on Windows, made on the handle that is then read.
#include "transfer/config_file_access.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/text_conversion.h"

ConfigFileStream OpenConfigFile(const char* iniFile) {
    auto refuse = [iniFile](const char* reason) {
        std::printf("Cannot read the file %s - %s.\n", iniFile, reason);
        return nullptr;
    };
    const std::wstring path = Utf8ToUtf16(iniFile);
    // Tested on the path first, so that a device named as the file is not even opened, and
    // again on the handle: the path may name another file by the time it is opened.
    struct _stat64 status {};
    if (_wstat64(path.c_str(), &status) != 0) {
        return refuse(std::strerror(errno));
    }
    if ((status.st_mode & _S_IFMT) != _S_IFREG) {
        return refuse("not a regular file");
    }
    std::FILE* file = _wfopen(path.c_str(), L"rbN");
    if (file == nullptr) {
        return refuse(std::strerror(errno));
    }
    ConfigFileStream stream(file);
    // A disk file, not a console, pipe or other device.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        return refuse("not a regular file");
    }
    return stream;
}

std::string ConfigFileUpdateError(const char* iniFile) {
    const int descriptor = _wopen(Utf8ToUtf16(iniFile).c_str(), _O_RDWR | _O_BINARY | _O_NOINHERIT);
    if (descriptor < 0) {
        return std::strerror(errno);
    }
    _close(descriptor);
    return {};
}
