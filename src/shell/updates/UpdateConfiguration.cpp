#include "UpdateConfiguration.h"

#include <QFile>
#include <QStandardPaths>

namespace tavlin {

namespace {

// The configuration is a few lines; anything larger is not ours.
constexpr qint64 maximumFileBytes = 64 * 1024;

// Spaces and tabs only: a line break inside a value is not something to forgive.
QString trimSpacesAndTabs(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text.at(start) == u' ' || text.at(start) == u'\t'))
        ++start;
    while (end > start && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t'))
        --end;
    return text.mid(start, end - start);
}

std::optional<QString> stringValue(const QVariantMap& info, const QString& key)
{
    const QVariant value = info.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return trimSpacesAndTabs(value.toString());
}

} // namespace

bool UpdateConfiguration::isTrustedFeedURL(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme();
    const QString host = url.host();
    return scheme == u"https" || (scheme == u"http" && (host == u"127.0.0.1" || host == u"localhost"));
}

std::optional<UpdateConfiguration> UpdateConfiguration::from(const QVariantMap& info)
{
    const std::optional<QString> feed = stringValue(info, feedURLKey);
    if (!feed)
        return std::nullopt;
    const QUrl url(*feed, QUrl::StrictMode);
    if (!isTrustedFeedURL(url))
        return std::nullopt;

    const std::optional<QString> key = stringValue(info, publicKeyKey);
    if (!key || key->size() % 4 != 0)
        return std::nullopt;
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        key->toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != 32)
        return std::nullopt;
    return UpdateConfiguration{url, *key};
}

std::optional<UpdateConfiguration> UpdateConfiguration::read(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray contents = file.read(maximumFileBytes + 1);
    if (contents.size() > maximumFileBytes)
        return std::nullopt;
    QVariantMap info;
    for (QString line : QString::fromUtf8(contents).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype equals = line.indexOf(u'=');
        if (line.trimmed().startsWith(u'#') || equals <= 0)
            continue;
        info.insert(line.left(equals).trimmed(), line.mid(equals + 1));
    }
    return from(info);
}

QString UpdateConfiguration::installedPath()
{
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("tavlin/update.conf"));
}

} // namespace tavlin
