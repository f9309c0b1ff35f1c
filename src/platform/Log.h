#pragma once

#include <QLoggingCategory>
#include <QString>

namespace tavlin {

// The application's error log: the "org.tavlin.Tavlin.errors" category at critical level, which
// reaches stderr and, under systemd, the journal.
struct Log {
    static const QLoggingCategory& errors();
    static void error(const QString& message);
};

} // namespace tavlin
