#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace tavlin {

// The [Desktop Entry] group of a freedesktop desktop file (an installed application's entry, an
// autostart entry): its values, their localized forms and the program its Exec line starts.
// Other groups (actions, vendor extensions) are skipped.
struct DesktopFile {
    // Desktop files are a few kilobytes, even with a hundred translations; a larger file is not
    // one to read whole.
    static constexpr qint64 maximumBytes = 1024 * 1024;

    // Values by key ("Exec", "Name[ru]"), string escapes resolved; the first occurrence of a key
    // counts.
    QHash<QString, QString> values;

    bool operator==(const DesktopFile&) const = default;

    // Nothing when the file cannot be read, is larger than `maximumBytes` or has no
    // [Desktop Entry] group.
    static std::optional<DesktopFile> read(const QString& path);
    static std::optional<DesktopFile> parse(const QByteArray& contents);

    QString value(const QString& key) const { return values.value(key); }
    // The translation for `localeName` ("ru_RU.UTF-8@mod" tries key[ru_RU@mod], key[ru_RU],
    // key[ru@mod], key[ru]), else the plain key. An empty translation does not count.
    QString localizedValue(const QString& key, const QString& localeName) const;
    // The key holds exactly "true" (or "false").
    bool isTrue(const QString& key) const { return value(key).trimmed() == u"true"; }
    bool isFalse(const QString& key) const { return value(key).trimmed() == u"false"; }

    // The string escapes of a value: \s \n \t \r \\. Any other backslash stays as written, since
    // Exec and other keys give it meanings of their own.
    static QString unescaped(const QString& value);
    static QString escaped(const QString& value);

    // The first argument of Exec, unquoted; empty when there is none.
    QString execProgram() const;
    // One Exec argument as a desktop file stores it: quoted and escaped where needed, and with
    // the string escapes of a value applied.
    static QString execArgument(const QString& argument);
    // The existing file a program name starts: an absolute path as it is, a bare name looked up
    // on PATH; made canonical. Empty when there is no such file.
    static QString resolveProgram(const QString& program);
};

} // namespace tavlin
