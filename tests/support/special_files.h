// Files that are no regular file, made by a test in its own folder.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

namespace test_support {

// Binds a Unix socket at `path` (and closes it: the node stays); false when it cannot.
inline bool MakeSocketNode(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(socket);
    return bound;
}

}  // namespace test_support
