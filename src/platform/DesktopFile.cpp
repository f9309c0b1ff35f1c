#include "DesktopFile.h"

#include "RegularFile.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace tavlin {

namespace {

// Locale keys from the most to the least specific, as desktop entries look them up.
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

bool needsNoQuoting(const QString& argument)
{
    if (argument.isEmpty())
        return false;
    for (const QChar character : argument) {
        const char16_t c = character.unicode();
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'/'
            || c == u'.' || c == u'_' || c == u'-' || c == u'+';
        if (!plain)
            return false;
    }
    return true;
}

} // namespace

std::optional<DesktopFile> DesktopFile::read(const QString& path)
{
    const std::optional<QByteArray> contents = RegularFile::read(path, maximumBytes);
    return contents ? parse(*contents) : std::nullopt;
}

std::optional<DesktopFile> DesktopFile::parse(const QByteArray& contents)
{
    std::optional<DesktopFile> file;
    bool inEntryGroup = false;
    const QString text = QString::fromUtf8(contents);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed(); // also the '\r' of a CRLF line
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            // Only the first [Desktop Entry] group counts; the group after it ends it.
            if (inEntryGroup)
                break;
            inEntryGroup = line == u"[Desktop Entry]";
            if (inEntryGroup)
                file.emplace();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntryGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        if (!file->values.contains(key))
            file->values.insert(key, unescaped(line.mid(equals + 1).trimmed().toString()));
    }
    return file;
}

QString DesktopFile::localizedValue(const QString& key, const QString& localeName) const
{
    for (const QString& locale : localeCandidates(localeName)) {
        const QString localized = value(key + u'[' + locale + u']');
        if (!localized.isEmpty())
            return localized;
    }
    return value(key);
}

QString DesktopFile::unescaped(const QString& value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar character = value.at(i);
        if (character != u'\\' || i + 1 == value.size()) {
            result += character;
            continue;
        }
        const QChar escaped = value.at(++i);
        switch (escaped.unicode()) {
        case u's': result += u' '; break;
        case u'n': result += u'\n'; break;
        case u't': result += u'\t'; break;
        case u'r': result += u'\r'; break;
        case u'\\': result += u'\\'; break;
        default:
            result += character;
            result += escaped;
            break;
        }
    }
    return result;
}

QString DesktopFile::escaped(const QString& value)
{
    QString result;
    result.reserve(value.size());
    for (const QChar character : value) {
        switch (character.unicode()) {
        case u'\\': result += QStringLiteral("\\\\"); break;
        case u'\n': result += QStringLiteral("\\n"); break;
        case u'\t': result += QStringLiteral("\\t"); break;
        case u'\r': result += QStringLiteral("\\r"); break;
        default: result += character; break;
        }
    }
    return result;
}

QString DesktopFile::execProgram() const
{
    const QString exec = value(QStringLiteral("Exec"));
    qsizetype i = 0;
    while (i < exec.size() && exec.at(i).isSpace())
        ++i;
    QString program;
    if (i < exec.size() && exec.at(i) == u'"') {
        // Quoted: up to the closing quote; a backslash escapes " ` $ and itself.
        for (++i; i < exec.size() && exec.at(i) != u'"'; ++i) {
            if (exec.at(i) == u'\\' && i + 1 < exec.size())
                ++i;
            program += exec.at(i);
        }
        if (i == exec.size())
            return {}; // no closing quote: not a valid command line
    } else {
        for (; i < exec.size() && !exec.at(i).isSpace(); ++i)
            program += exec.at(i);
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

QString DesktopFile::execArgument(const QString& argument)
{
    QString quoted = argument;
    quoted.replace(u'%', QStringLiteral("%%"));
    if (!needsNoQuoting(argument)) {
        QString escapedQuoted;
        for (const QChar character : quoted) {
            if (character == u'"' || character == u'`' || character == u'$' || character == u'\\')
                escapedQuoted += u'\\';
            escapedQuoted += character;
        }
        quoted = u'"' + escapedQuoted + u'"';
    }
    return escaped(quoted);
}

QString DesktopFile::resolveProgram(const QString& program)
{
    if (program.isEmpty())
        return {};
    const QString path = program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return {};
    return QFileInfo(path).canonicalFilePath();
}

} // namespace tavlin
