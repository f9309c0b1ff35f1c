#include "DesktopEntry.h"

#include <QFile>
#include <QHash>
#include <QStringList>

namespace tavlin {

namespace {

// Desktop files are a few kilobytes; anything far larger is not one.
constexpr qint64 maximumFileSize = 1024 * 1024;

QString unescaped(const QString& value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            result.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case u's': result.append(u' '); break;
        case u'n': result.append(u'\n'); break;
        case u't': result.append(u'\t'); break;
        case u'r': result.append(u'\r'); break;
        case u'\\': result.append(u'\\'); break;
        default: result.append(c).append(next); break;
        }
    }
    return result;
}

// Locale keys in the order the specification of desktop entries looks them up.
QStringList localeCandidates(const QString& localeName)
{
    QString base = localeName;
    base.truncate(base.indexOf(u'.') < 0 ? base.size() : base.indexOf(u'.')); // drop an encoding
    QString modifier;
    if (const qsizetype at = base.indexOf(u'@'); at >= 0) {
        modifier = base.mid(at);
        base.truncate(at);
    }
    const QString language = base.section(u'_', 0, 0);
    QStringList candidates;
    if (!modifier.isEmpty())
        candidates << base + modifier;
    candidates << base;
    if (!modifier.isEmpty())
        candidates << language + modifier;
    candidates << language;
    candidates.removeDuplicates();
    candidates.removeAll(QString());
    return candidates;
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::read(const QString& path, const QString& desktopID, const QString& localeName)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumFileSize)
        return std::nullopt;
    const QString text = QString::fromUtf8(file.readAll());

    QHash<QString, QString> values;
    bool inGroup = false;
    bool sawGroup = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        // The first occurrence of a key counts.
        if (!values.contains(key))
            values.insert(key, unescaped(line.mid(equals + 1).trimmed().toString()));
    }
    if (!sawGroup)
        return std::nullopt;

    DesktopEntry entry;
    entry.desktopID = desktopID;
    entry.path = path;
    entry.type = values.value(QStringLiteral("Type"));
    entry.iconName = values.value(QStringLiteral("Icon"));
    entry.startupWMClass = values.value(QStringLiteral("StartupWMClass"));
    entry.hidden = values.value(QStringLiteral("Hidden")) == QStringLiteral("true");
    entry.name = values.value(QStringLiteral("Name"));
    for (const QString& locale : localeCandidates(localeName)) {
        const QString localized = values.value(QStringLiteral("Name[%1]").arg(locale));
        if (!localized.isEmpty()) {
            entry.name = localized;
            break;
        }
    }
    return entry;
}

} // namespace tavlin
