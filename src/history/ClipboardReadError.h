#pragma once

#include "Error.h"

namespace tavlin {

// The error of the clipboard reader and of the preview maker: it carries the text a window shows.
class ClipboardReadError : public Error {
public:
    explicit ClipboardReadError(QString description) : errorDescription_(std::move(description)) { }

    // "The record is larger than 32 MB and wasn’t saved.", the size in the running language.
    static ClipboardReadError tooLarge(qint64 limitBytes);
    // "Could not build the image preview."
    static ClipboardReadError imagePreviewUnavailable();

    const QString& errorDescription() const { return errorDescription_; }

    QString typeName() const override { return QStringLiteral("ClipboardReadError"); }
    QString domain() const override { return QStringLiteral("Tavlin.ClipboardReadError"); }
    long code() const override { return 1; }
    QString failureReason() const override { return errorDescription_; }
    QString localizedDescription() const override { return errorDescription_; }

    bool operator==(const ClipboardReadError& other) const { return errorDescription_ == other.errorDescription_; }

private:
    QString errorDescription_;
};

} // namespace tavlin
