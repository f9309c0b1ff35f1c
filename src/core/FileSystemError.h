#pragma once

#include "Error.h"

namespace tavlin {

// A failed file-system call (create, chmod, write, read, list, remove), with its errno and path.
// The store lets these pass through unchanged; their description is what the user sees.
class FileSystemError : public Error {
public:
    FileSystemError(int errorNumber, QString path);

    int errorNumber() const { return errorNumber_; }
    const QString& path() const { return path_; }

    QString typeName() const override { return QStringLiteral("FileSystemError"); }
    QString domain() const override { return QStringLiteral("POSIX"); }
    long code() const override { return errorNumber_; }
    QString failureReason() const override;
    QString localizedDescription() const override;

    // Throws FileSystemError for the current errno and `path`.
    [[noreturn]] static void throwErrno(const QString& path);

private:
    int errorNumber_;
    QString path_;
};

} // namespace tavlin
