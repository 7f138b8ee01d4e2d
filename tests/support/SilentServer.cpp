#include "support/SilentServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace quorvane::test {

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("silent test server: ") + what + ": " +
                             std::strerror(errno));
}

}  // namespace

SilentServer::SilentServer() {
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) {
        fail("socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // any free port
    socklen_t length = sizeof address;
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_, 16) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const int error = errno;
        ::close(socket_);
        errno = error;
        fail("listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
}

SilentServer::~SilentServer() {
    ::close(socket_);
}

QString SilentServer::conninfo() const {
    return QStringLiteral("host=127.0.0.1 port=%1").arg(port_);
}

}  // namespace quorvane::test
