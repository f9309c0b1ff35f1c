#include "Workspace.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace tavlin {

namespace {

bool isIdentifierCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// The same test the exclusion list applies: 3 to 255 bytes of letters, digits, '-' and '.', at
// least two dot-separated pieces, none empty.
bool isReverseDNS(const QString& id)
{
    if (id.size() < 3 || id.size() > 255)
        return false;
    for (QChar c : id) {
        if (!isIdentifierCharacter(c))
            return false;
    }
    const QStringList pieces = id.split(u'.');
    if (pieces.size() < 2)
        return false;
    for (const QString& piece : pieces) {
        if (piece.isEmpty())
            return false;
    }
    return true;
}

// Password managers whose copies are never kept go by their reverse-DNS identifier on every
// desktop; on Linux their desktop files and window classes often carry a plain name instead.
std::optional<QString> protectedApplicationAlias(const QString& desktopID)
{
    static const QHash<QString, QString> aliases{
        {QStringLiteral("bitwarden"), QStringLiteral("com.bitwarden.desktop")},
        {QStringLiteral("bitwarden_bitwarden"), QStringLiteral("com.bitwarden.desktop")},
        {QStringLiteral("1password"), QStringLiteral("com.1password.1password")},
        {QStringLiteral("1password_1password"), QStringLiteral("com.1password.1password")},
    };
    const auto found = aliases.constFind(desktopID.toLower());
    return found == aliases.cend() ? std::nullopt : std::optional<QString>(*found);
}

} // namespace

QString Workspace::applicationIDForDesktopID(const QString& desktopID)
{
    if (desktopID.isEmpty())
        return {};
    if (const std::optional<QString> alias = protectedApplicationAlias(desktopID))
        return *alias;
    if (isReverseDNS(desktopID))
        return desktopID;

    // Every character (UTF-16 unit) outside the identifier set becomes one '-'.
    QString cleaned = desktopID;
    for (QChar& c : cleaned) {
        if (!isIdentifierCharacter(c))
            c = u'-';
    }
    QStringList pieces = cleaned.split(u'.', Qt::SkipEmptyParts);
    static const QString suffix = QStringLiteral(".desktop");
    QString id = pieces.join(u'.');
    // Keep the result within 255 bytes, and never let the cut leave a trailing dot.
    id.truncate(255 - suffix.size());
    while (id.endsWith(u'.'))
        id.chop(1);
    if (id.isEmpty())
        id = QStringLiteral("application");
    return id + suffix;
}

} // namespace tavlin
