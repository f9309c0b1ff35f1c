#include "Error.h"

namespace tavlin {

const char* Error::what() const noexcept
{
    try {
        whatCache_ = (typeName() + QStringLiteral(": ") + failureReason()).toStdString();
    } catch (...) {
        return "tavlin::Error";
    }
    return whatCache_.c_str();
}

} // namespace tavlin
