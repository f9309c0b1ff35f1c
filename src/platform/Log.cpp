#include "Log.h"

namespace tavlin {

const QLoggingCategory& Log::errors()
{
    static const QLoggingCategory category("org.tavlin.Tavlin.errors", QtWarningMsg);
    return category;
}

void Log::error(const QString& message)
{
    qCCritical(errors).noquote() << message;
}

} // namespace tavlin
