#include "Diagnostics.h"

#include "Error.h"
#include "Log.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace tavlin {

namespace {

QString demangledName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                     &std::free);
    return QString::fromUtf8(status == 0 && name ? name.get() : type.name());
}

} // namespace

QString Diagnostics::userMessage(const std::exception& error)
{
    if (const auto* known = dynamic_cast<const Error*>(&error)) {
        Log::error(QStringLiteral("%1 %2 %3: %4")
                       .arg(known->typeName(), known->domain())
                       .arg(known->code())
                       .arg(known->failureReason()));
        return known->localizedDescription();
    }
    const QString reason = QString::fromUtf8(error.what());
    Log::error(
        QStringLiteral("%1 %2 %3: %4").arg(demangledName(typeid(error)), QStringLiteral("std")).arg(0).arg(reason));
    return reason;
}

} // namespace tavlin
