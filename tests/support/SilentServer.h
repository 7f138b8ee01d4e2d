#pragma once

#include <QString>

namespace quorvane::test {

// A TCP port on 127.0.0.1 that takes connections and never answers: a database server that
// hangs. The system completes each connection from the listen queue, so a client gets as far
// as sending its first message and then waits for a reply that never comes.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int port() const { return port_; }
    // "host=127.0.0.1 port=…": a libpq connection string naming this server.
    QString conninfo() const;

private:
    int socket_ = -1;
    int port_ = 0;
};

}  // namespace quorvane::test
