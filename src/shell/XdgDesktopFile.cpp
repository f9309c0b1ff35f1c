#include "XdgDesktopFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavlin {

namespace {

// Desktop files are small; a larger one is not an entry of ours to read whole.
constexpr qint64 maximumFileBytes = 256 * 1024;

QString unescapeString(const QString& value)
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
        case 's': result += u' '; break;
        case 'n': result += u'\n'; break;
        case 't': result += u'\t'; break;
        case 'r': result += u'\r'; break;
        case '\\': result += u'\\'; break;
        default: result += character; result += escaped; break;
        }
    }
    return result;
}

QString escapeString(const QString& value)
{
    QString result;
    for (const QChar character : value) {
        switch (character.unicode()) {
        case '\\': result += QStringLiteral("\\\\"); break;
        case '\n': result += QStringLiteral("\\n"); break;
        case '\t': result += QStringLiteral("\\t"); break;
        case '\r': result += QStringLiteral("\\r"); break;
        default: result += character; break;
        }
    }
    return result;
}

bool needsNoQuoting(const QString& argument)
{
    if (argument.isEmpty())
        return false;
    for (const QChar character : argument) {
        const char16_t c = character.unicode();
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
            || c == u'/' || c == u'.' || c == u'_' || c == u'-' || c == u'+';
        if (!plain)
            return false;
    }
    return true;
}

} // namespace

std::optional<XdgDesktopFile> XdgDesktopFile::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray contents = file.read(maximumFileBytes + 1);
    if (contents.size() > maximumFileBytes)
        return std::nullopt;
    return parse(contents);
}

std::optional<XdgDesktopFile> XdgDesktopFile::parse(const QByteArray& contents)
{
    std::optional<XdgDesktopFile> entry;
    bool inEntryGroup = false;
    const QStringList lines = QString::fromUtf8(contents).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[')) {
            // Only the first [Desktop Entry] group counts; actions and other groups end it.
            if (entry && inEntryGroup)
                break;
            inEntryGroup = trimmed == u"[Desktop Entry]";
            if (inEntryGroup)
                entry.emplace();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntryGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!entry->values.contains(key))
            entry->values.insert(key, unescapeString(line.mid(equals + 1).trimmed()));
    }
    return entry;
}

QString XdgDesktopFile::execProgram() const
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

QString XdgDesktopFile::execArgument(const QString& argument)
{
    QString quoted = argument;
    quoted.replace(u'%', QStringLiteral("%%"));
    if (!needsNoQuoting(argument)) {
        QString escaped;
        for (const QChar character : quoted) {
            if (character == u'"' || character == u'`' || character == u'$' || character == u'\\')
                escaped += u'\\';
            escaped += character;
        }
        quoted = u'"' + escaped + u'"';
    }
    return escapeString(quoted);
}

QString XdgDesktopFile::resolveProgram(const QString& program)
{
    if (program.isEmpty())
        return {};
    const QString path = program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return {};
    return QFileInfo(path).canonicalFilePath();
}

} // namespace tavlin
