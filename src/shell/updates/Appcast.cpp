#include "Appcast.h"

#include <QXmlStreamReader>

namespace tavlin {

namespace {

struct VersionPart {
    QStringView digits; // leading zeros dropped
    QStringView suffix;
};

VersionPart versionPart(QStringView part)
{
    qsizetype end = 0;
    while (end < part.size() && part.at(end).isDigit())
        ++end;
    QStringView digits = part.left(end);
    while (!digits.isEmpty() && digits.front() == u'0')
        digits = digits.mid(1);
    return {digits, part.mid(end)};
}

// Numbers of any length, compared without converting them.
int compareNumbers(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int comparePart(QStringView a, QStringView b)
{
    const VersionPart left = versionPart(a);
    const VersionPart right = versionPart(b);
    if (const int numbers = compareNumbers(left.digits, right.digits))
        return numbers;
    if (left.suffix.isEmpty() != right.suffix.isEmpty())
        return left.suffix.isEmpty() ? 1 : -1; // a release comes after its pre-releases
    return left.suffix.compare(right.suffix);
}

bool isVersion(const QString& text)
{
    return !text.isEmpty() && text.front().isDigit();
}

QUrl pageLink(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const bool web = url.scheme() == u"https" || url.scheme() == u"http";
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

AppcastItem readItem(QXmlStreamReader& reader)
{
    AppcastItem item;
    while (reader.readNextStartElement()) {
        const bool sparkle = reader.namespaceUri() == Appcast::sparkleNamespace;
        if (sparkle && reader.name() == u"version")
            item.version = reader.readElementText().trimmed();
        else if (sparkle && reader.name() == u"shortVersionString")
            item.shortVersion = reader.readElementText().trimmed();
        else if (reader.namespaceUri().isEmpty() && reader.name() == u"link")
            item.link = pageLink(reader.readElementText().trimmed());
        else
            reader.skipCurrentElement();
    }
    return item;
}

} // namespace

std::optional<QList<AppcastItem>> Appcast::parse(const QByteArray& document)
{
    QXmlStreamReader reader(document);
    if (!reader.readNextStartElement() || reader.name() != u"rss" || !reader.namespaceUri().isEmpty())
        return std::nullopt;
    QList<AppcastItem> items;
    while (reader.readNextStartElement()) {
        if (reader.name() != u"channel") {
            reader.skipCurrentElement();
            continue;
        }
        while (reader.readNextStartElement()) {
            if (reader.name() != u"item") {
                reader.skipCurrentElement();
                continue;
            }
            AppcastItem item = readItem(reader);
            if (isVersion(item.version))
                items.append(std::move(item));
        }
    }
    // Anything after the root element must still be well-formed.
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError() || items.isEmpty())
        return std::nullopt;
    return items;
}

AppcastItem Appcast::newest(const QList<AppcastItem>& items)
{
    AppcastItem best = items.value(0);
    for (const AppcastItem& item : items) {
        if (compareVersions(item.version, best.version) > 0)
            best = item;
    }
    return best;
}

int Appcast::compareVersions(const QString& a, const QString& b)
{
    const QList<QStringView> left = QStringView(a).split(u'.');
    const QList<QStringView> right = QStringView(b).split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const int result = comparePart(left.value(i), right.value(i));
        if (result != 0)
            return result < 0 ? -1 : 1;
    }
    return 0;
}

} // namespace tavlin
