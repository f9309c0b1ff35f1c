#include "DecodingError.h"

#include <QCoreApplication>

namespace tavlin {

QString DecodingError::localizedDescription() const
{
    return QCoreApplication::translate("Core", "The data couldn’t be read because it isn’t in the correct format.");
}

} // namespace tavlin
