#include "Defaults.h"

#include "Log.h"

#include <cmath>
#include <limits>

namespace tavlin {

namespace {

// The stored value when it has exactly the type asked for; a value of another type reads as none.
template <typename T>
std::optional<T> storedAs(const QVariant& value)
{
    if (value.typeId() != QMetaType::fromType<T>().id())
        return std::nullopt;
    return value.value<T>();
}

} // namespace

QVariant Defaults::object(const QString& key) const
{
    return storedValue(key);
}

std::optional<bool> Defaults::boolValue(const QString& key) const
{
    return storedAs<bool>(storedValue(key));
}

std::optional<qint64> Defaults::integer(const QString& key) const
{
    const QVariant value = storedValue(key);
    if (value.typeId() == QMetaType::LongLong)
        return value.toLongLong();
    if (value.typeId() == QMetaType::Double) {
        const double number = std::trunc(value.toDouble());
        // 2^63 itself is out of range; a NaN fails both comparisons.
        if (number >= -9223372036854775808.0 && number < 9223372036854775808.0)
            return static_cast<qint64>(number);
    }
    return std::nullopt;
}

std::optional<double> Defaults::doubleValue(const QString& key) const
{
    const QVariant value = storedValue(key);
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
        return value.toDouble();
    return std::nullopt;
}

std::optional<QString> Defaults::string(const QString& key) const
{
    return storedAs<QString>(storedValue(key));
}

std::optional<QByteArray> Defaults::data(const QString& key) const
{
    return storedAs<QByteArray>(storedValue(key));
}

std::optional<QVariantList> Defaults::array(const QString& key) const
{
    return storedAs<QVariantList>(storedValue(key));
}

std::optional<QStringList> Defaults::stringArray(const QString& key) const
{
    const std::optional<QVariantList> list = array(key);
    if (!list)
        return std::nullopt;
    QStringList strings;
    strings.reserve(list->size());
    for (const QVariant& element : *list) {
        if (element.typeId() != QMetaType::QString)
            return std::nullopt;
        strings.append(element.toString());
    }
    return strings;
}

std::optional<QVariantMap> Defaults::dictionary(const QString& key) const
{
    return storedAs<QVariantMap>(storedValue(key));
}

void Defaults::setObject(const QString& key, const QVariant& value)
{
    if (!value.isValid()) {
        removeObject(key);
        return;
    }
    const QVariant stored = normalized(value);
    if (!stored.isValid()) {
        Log::error(QStringLiteral("Defaults: refused a value of type %1 for \"%2\"")
                       .arg(QString::fromLatin1(value.typeName()), key));
        return;
    }
    store(key, stored);
    Q_EMIT changed(key);
}

void Defaults::setBool(const QString& key, bool value)
{
    setObject(key, QVariant(value));
}

void Defaults::setInteger(const QString& key, qint64 value)
{
    setObject(key, QVariant(static_cast<qlonglong>(value)));
}

void Defaults::setDouble(const QString& key, double value)
{
    setObject(key, QVariant(value));
}

void Defaults::setString(const QString& key, const QString& value)
{
    setObject(key, QVariant(value));
}

void Defaults::setData(const QString& key, const QByteArray& value)
{
    setObject(key, QVariant(value));
}

void Defaults::setStringArray(const QString& key, const QStringList& value)
{
    setObject(key, QVariant(value));
}

void Defaults::setDictionary(const QString& key, const QVariantMap& value)
{
    setObject(key, QVariant(value));
}

void Defaults::removeObject(const QString& key)
{
    store(key, QVariant());
    Q_EMIT changed(key);
}

QVariant Defaults::normalized(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QByteArray: return value;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: return QVariant(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return {};
        return QVariant(static_cast<qlonglong>(number));
    }
    case QMetaType::Float: return QVariant(value.toDouble());
    case QMetaType::QStringList: {
        QVariantList list;
        for (const QString& string : value.toStringList())
            list.append(string);
        return list;
    }
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant& element : value.toList()) {
            QVariant stored = normalized(element);
            if (!stored.isValid())
                return {};
            list.append(stored);
        }
        return list;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it) {
            QVariant stored = normalized(it.value());
            if (!stored.isValid())
                return {};
            map.insert(it.key(), stored);
        }
        return map;
    }
    default: return {};
    }
}

} // namespace tavlin
