#pragma once

#include "Error.h"

namespace tavlin {

// Why an update check did not complete.
class UpdateCheckError : public Error {
public:
    enum class Kind {
        unreachable = 1, // no connection, or the connection broke
        timedOut, // no complete answer within the time limit
        tooManyRedirects, // a redirect loop, or a chain longer than allowed
        untrustedRedirect, // a redirect to an address the feed may not come from
        serverError, // an HTTP status other than 2xx
        tooLarge, // the feed is larger than an update feed can be
        malformed, // not an update feed with at least one version
    };

    UpdateCheckError(Kind kind, QString detail, int httpStatus = 0)
        : kind_(kind), detail_(std::move(detail)), httpStatus_(httpStatus)
    {
    }

    Kind kind() const { return kind_; }

    QString typeName() const override { return QStringLiteral("UpdateCheckError"); }
    QString domain() const override { return QStringLiteral("Tavlin.UpdateCheckError"); }
    long code() const override { return long(kind_); }
    QString failureReason() const override { return detail_; }
    QString localizedDescription() const override;

private:
    Kind kind_;
    QString detail_;
    int httpStatus_;
};

} // namespace tavlin
