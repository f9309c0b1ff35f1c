#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

namespace tavlin {

// The user-defaults store: one persistent domain of typed values under string keys. A value is a
// Bool, an integer (64-bit), a double, a string, data, an array or a dictionary (arrays and
// dictionaries hold values of the same kinds); each keeps its kind, so a Bool never reads back as
// an integer and data never as a string. Main thread.
class Defaults : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The stored value, or an invalid QVariant when the key is missing. Its metatype is one of
    // bool, qlonglong, double, QString, QByteArray, QVariantList and QVariantMap.
    QVariant object(const QString& key) const;
    // The whole domain, key by key.
    virtual QVariantMap dictionaryRepresentation() const = 0;

    // Typed reads: nothing when the key is missing or holds another kind.
    std::optional<bool> boolValue(const QString& key) const;
    // An integer, or a double with its fraction dropped (a number of either kind, as stored).
    std::optional<qint64> integer(const QString& key) const;
    // A double, or an integer converted.
    std::optional<double> doubleValue(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;
    std::optional<QVariantList> array(const QString& key) const;
    // An array whose every element is a string.
    std::optional<QStringList> stringArray(const QString& key) const;
    std::optional<QVariantMap> dictionary(const QString& key) const;

    // Stores `value` under `key` and emits changed(key). An invalid QVariant removes the key. A
    // value of another kind than those above (also inside an array or dictionary) is refused:
    // nothing is stored, and the refusal is logged.
    void setObject(const QString& key, const QVariant& value);
    void setBool(const QString& key, bool value);
    void setInteger(const QString& key, qint64 value);
    void setDouble(const QString& key, double value);
    void setString(const QString& key, const QString& value);
    void setData(const QString& key, const QByteArray& value);
    void setStringArray(const QString& key, const QStringList& value);
    void setDictionary(const QString& key, const QVariantMap& value);
    void removeObject(const QString& key);

    // `value` converted to the stored kinds (int -> qlonglong, QStringList -> QVariantList, ...),
    // or an invalid QVariant when it holds anything else.
    static QVariant normalized(const QVariant& value);

Q_SIGNALS:
    // After every set or removal of `key`, also when the value did not change.
    void changed(const QString& key);

protected:
    virtual QVariant storedValue(const QString& key) const = 0;
    // `value` is normalized; an invalid one means removal.
    virtual void store(const QString& key, const QVariant& value) = 0;
};

} // namespace tavlin
