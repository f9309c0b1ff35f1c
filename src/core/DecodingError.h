#pragma once

#include "Error.h"

namespace tavlin {

// Stored bytes that do not decode into the value they should hold (a payload file that is no
// property list, a missing key, a value of the wrong type).
class DecodingError : public Error {
public:
    explicit DecodingError(QString detail) : detail_(std::move(detail)) { }

    QString typeName() const override { return QStringLiteral("DecodingError"); }
    QString domain() const override { return QStringLiteral("Tavlin.DecodingError"); }
    long code() const override { return 1; }
    QString failureReason() const override { return detail_; }
    QString localizedDescription() const override;

private:
    QString detail_;
};

} // namespace tavlin
