// IPv4 addresses: host names and dotted addresses resolved, and a socket's local port. These
// calls are the same on both systems (Winsock has them from the BSD sockets, socklen_t
// included); only their headers differ.
#include "kestro/wire/socket_system.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace kestro::wire {

std::uint16_t LocalPort(const Socket& socket) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(socket.descriptor(), reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        local.sin_family != AF_INET) {
        return 0;
    }
    return ntohs(local.sin_port);
}

namespace sockets {

bool ResolveIPv4(const std::string& host, std::vector<std::uint32_t>& addresses) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) {
        return false;
    }
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            addresses.push_back(
                reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
        }
    }
    freeaddrinfo(found);
    return !addresses.empty();
}

bool ParseIPv4(const std::string& dotted, std::uint32_t& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, dotted.c_str(), &parsed) != 1) {
        return false;
    }
    address = parsed.s_addr;
    return true;
}

}  // namespace sockets

}  // namespace kestro::wire
