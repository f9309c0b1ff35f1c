#pragma once

#include "Defaults.h"

namespace tavlin::test {

// A user-defaults store in memory that remembers which keys were written, so a test can tell a
// save from no save.
class InMemoryDefaults : public Defaults {
public:
    explicit InMemoryDefaults(QVariantMap values = {});

    QVariantMap dictionaryRepresentation() const override { return values_; }
    // Keys in the order they were set or removed.
    const QStringList& writtenKeys() const { return writtenKeys_; }
    int writeCount(const QString& key) const { return writtenKeys_.count(key); }

protected:
    QVariant storedValue(const QString& key) const override { return values_.value(key); }
    void store(const QString& key, const QVariant& value) override;

private:
    QVariantMap values_;
    QStringList writtenKeys_;
};

} // namespace tavlin::test
