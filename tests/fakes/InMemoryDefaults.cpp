#include "InMemoryDefaults.h"

namespace tavlin::test {

InMemoryDefaults::InMemoryDefaults(QVariantMap values)
{
    // Seeded values take the stored kinds, as anything read back from a real file would.
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QVariant value = normalized(it.value());
        if (value.isValid())
            values_.insert(it.key(), value);
    }
}

void InMemoryDefaults::store(const QString& key, const QVariant& value)
{
    writtenKeys_.append(key);
    if (value.isValid())
        values_.insert(key, value);
    else
        values_.remove(key);
}

} // namespace tavlin::test
