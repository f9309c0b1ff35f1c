#pragma once

#include <QString>

#include <sys/types.h>

namespace tavlin::test {

// Another local user's program (nobody's, when the tests run as root) listening on a Unix socket
// at `path` and answering "ok" to whoever connects: what a hostile user can put where Tavlin
// looks for its running instance. The folder of `path` must be writable by nobody.
class SocketSquatter {
public:
    explicit SocketSquatter(const QString& path);
    ~SocketSquatter();
    SocketSquatter(const SocketSquatter&) = delete;
    SocketSquatter& operator=(const SocketSquatter&) = delete;

    // True once the socket answers, within a generous deadline; never at a path too long for a
    // socket.
    bool waitUntilListening();

private:
    QString path_;
    pid_t child_ = -1;
};

} // namespace tavlin::test
