#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tavlin {

// Files that other programs name or put in place (desktop entries, icons, icon themes) are read
// only when they are regular files, links followed: a pipe, a device or a socket, or a link to one,
// would hold the reader until its other end decides. Main thread or worker.
struct RegularFile {
    // The whole file when it is a regular file of at most `maximumBytes`; nothing for anything
    // else, for a larger file, or when it cannot be read.
    static std::optional<QByteArray> read(const QString& path, qint64 maximumBytes);
};

} // namespace tavlin
