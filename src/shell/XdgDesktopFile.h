#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace tavlin {

// The [Desktop Entry] group of a freedesktop desktop file (an installed application's entry, an
// autostart entry), with what the login item and the installed-application check need of it:
// plain values, Booleans and the program that Exec starts.
struct XdgDesktopFile {
    // Values by key ("Exec", "Name[ru]"), string escapes (\s \n \t \r \\) resolved.
    QHash<QString, QString> values;

    bool operator==(const XdgDesktopFile&) const = default;

    // Nothing when the file cannot be read or has no [Desktop Entry] group.
    static std::optional<XdgDesktopFile> read(const QString& path);
    static std::optional<XdgDesktopFile> parse(const QByteArray& contents);

    QString value(const QString& key) const { return values.value(key); }
    // The key holds exactly "true" (or "false").
    bool isTrue(const QString& key) const { return value(key).trimmed() == u"true"; }
    bool isFalse(const QString& key) const { return value(key).trimmed() == u"false"; }

    // The first argument of Exec, unquoted; empty when there is none.
    QString execProgram() const;
    // One Exec argument as a desktop file stores it: quoted and escaped where needed, and with
    // the string escapes of a desktop file value applied.
    static QString execArgument(const QString& argument);
    // The existing file a program name starts: an absolute path as it is, a bare name looked up
    // on PATH; made canonical. Empty when there is no such file.
    static QString resolveProgram(const QString& program);
};

} // namespace tavlin
